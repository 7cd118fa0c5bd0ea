// What goes into the archive: FilesList expanded to existing files, and on an update the old
// entries kept, replaced or dropped.
#include <vector>

#include "classlib/text.h"
#include "zip/dir_search.h"
#include "zip/dos_date.h"
#include "zip/fs.h"
#include "zip/match.h"
#include "zip/messages.h"
#include "zip/path_strings.h"
#include "zip/writer_run_state.h"
#include "zip/zip_records.h"

namespace zip {
namespace {

constexpr std::uint32_t kDescriptorSignature = 0x08074B50;

std::int64_t FileSizeOf(const std::string& name) {
  const fs::Handle h = fs::Open(name, fs::kOpenRead | fs::kShareDenyNone);
  if (h == fs::kInvalidHandle) return 0;
  const std::int64_t size = fs::Seek(h, 0, fs::kFromEnd);
  fs::Close(h);
  return size < 0 ? 0 : size;
}

bool MatchesAny(const classlib::TStringList& patterns, std::string name) {
  SlashesToBackslashes(name);
  name = classlib::LowerAscii(name);
  const std::string fileName = name.substr(ExtractFilePath(name).size());
  for (const std::string& pattern : patterns) {
    const std::string p = classlib::LowerAscii(pattern);
    if (IsMatch(p, p.find('\\') != std::string::npos ? name : fileName)) return true;
  }
  return false;
}

std::string WithoutTrailingBackslash(const std::string& name) {
  return !name.empty() && (name.back() == '\\' || name.back() == '/') ? name.substr(0, name.size() - 1) : name;
}

}  // namespace

bool TZipWriter::IsExcluded(const std::string& name) const { return MatchesAny(excludeList_, name); }

bool TZipWriter::IsStoredOnly(const std::string& name) const { return MatchesAny(noCompressList_, name); }

bool TZipWriter::InLoadedDirectory(const std::string& name) const {
  return run_->loadedNames.count(StoredKeyOf(name)) != 0;
}

void TZipWriter::ExpandFileList() {
  auto& r = *run_;
  auto& list = FilesList();
  totalBytes_ = 0;
  doneBytes_ = 0;
  if (zipAction_ == TZipAction::zaFreshen) {
    if (MultiMode() == TMultiMode::mmNone && fs::FileExists(ZipName())) OpenArchive();
    for (int i = 0; i < EntryCount(); ++i) r.loadedNames.insert(classlib::LowerAscii(EntryPath(i)));
  }
  std::vector<std::string> wildcards;
  for (int i = 0; i < list.Count();) {
    std::string name = list[i];
    if (name.empty() || name.back() == '\\') {
      if (name.empty()) list.Delete(i); else ++i;
      continue;
    }
    if (HasWildcards(name)) {
      wildcards.push_back(name);
      list.Delete(i);
      continue;
    }
    if (ExtractFilePath(name).empty()) {
      name = RootDir() + name;
      list[i] = name;
    }
    const auto found = foundFiles_.find(name);
    const bool known = found != foundFiles_.end();
    const std::int64_t attributes = known ? found->second.Attributes : fs::FileAttributes(name);
    bool drop = IsExcluded(name);
    if (!drop && attributes < 0) {
      if (OnNoSuchFile) OnNoSuchFile(name);
      drop = true;
    }
    drop = drop || (skipIfArchiveBitNotSet_ && (attributes & fs::kAttrArchive) == 0) ||
           (zipAction_ == TZipAction::zaFreshen && !InLoadedDirectory(name));
    if (drop) {
      list.Delete(i);
      continue;
    }
    const std::int64_t size = known ? found->second.Size : FileSizeOf(name);
    if (size > kLargestField) RaiseTooLarge();
    if (!known) foundFiles_[name] = {size, static_cast<std::uint32_t>(attributes)};
    totalBytes_ += size;
    ++i;
  }
  for (const std::string& name : wildcards) ExpandWildcardName(name);
}

void TZipWriter::ExpandWildcardName(std::string name) {
  bool recurse = recurse_;
  if (name[0] == '|' || name[0] == '>') {
    recurse = name[0] == '>';
    name.erase(0, 1);
  }
  std::string directory = ExtractFilePath(name);
  std::string pattern = name.substr(directory.size());
  if (directory.empty()) directory = RootDir();
  if (!HasWildcards(directory) && !fs::DirectoryExists(directory)) return;
  for (std::size_t at; (at = pattern.find("*.*")) != std::string::npos;) pattern.replace(at, 3, "*");
  std::string archive = ZipName();
  SlashesToBackslashes(archive);

  TDirSearch search(directory, recurse, pattern);
  fs::FindData record;
  for (std::string found; !(found = search.NextFile(record)).empty();) {
    if (OnRecursingFile) OnRecursingFile(found);
    if (found.back() == '\\') {
      if (recurse && addDirEntriesOnRecurse_) FilesList().Add(found);
      continue;
    }
    if (IsExcluded(found)) continue;
    CheckCancel();
    std::string normalized = found;
    SlashesToBackslashes(normalized);
    if (classlib::SameTextAscii(normalized, archive)) continue;
    if (skipIfArchiveBitNotSet_ && (record.attributes & fs::kAttrArchive) == 0) continue;
    if (zipAction_ == TZipAction::zaFreshen && !InLoadedDirectory(found)) continue;
    if (record.size > kLargestField) RaiseTooLarge();
    FilesList().Add(found);
    foundFiles_[found] = {record.size, record.attributes};
    totalBytes_ += record.size;
  }
}

void TZipWriter::MergeExistingEntries() {
  auto& list = FilesList();
  // Each stored name of FilesList, first occurrence, so matching costs one look-up per entry.
  std::unordered_map<std::string, int> names;
  for (int j = 0; j < list.Count(); ++j) names.emplace(StoredKeyOf(list[j]), j);
  std::vector<bool> consumed(static_cast<std::size_t>(list.Count()), false);

  for (int i = 0; i < archiveOrder_->Count(); ++i) {
    const TZipHeaderInfo& old = *archiveOrder_->Items(i);
    if (old.Status == TZipHeaderInfo::kDropOnRewrite) continue;
    auto entry = NewEntry();
    entry->Assign(old);
    // Written back as it was read: OEM only where the reader decoded it from OEM.
    entry->SetOEMConvert(OEMConvert() && old.VersionMadeBy >> 8 == 0 && (old.Flags & kFlagUtf8Name) == 0);
    const auto match = names.find(classlib::LowerAscii(old.Path()));
    if (match == names.end()) {
      KeepEntry(old, std::move(entry), {});
      continue;
    }
    const std::string name = list[match->second];
    consumed[static_cast<std::size_t>(match->second)] = true;
    names.erase(match);
    std::uint32_t fileDate = 0;
    const bool dated = fs::FileAge(WithoutTrailingBackslash(name), fileDate);
    fileDate = RepairDosDate(fileDate);
    if (zipAction_ != TZipAction::zaReplace && dated && old.DateTime >= fileDate) {
      if (OnUpdate) OnUpdate(TUpdateAction::uaKeeping, i);
      // Only a source whose very content is in the archive may go.
      const bool same = old.DateTime == fileDate && old.UncompressedSize == FileSizeOf(name);
      KeepEntry(old, std::move(entry), same ? name : std::string());
      continue;
    }
    if (OnUpdate) OnUpdate(TUpdateAction::uaReplacing, i);
    // A replacing file that cannot be read leaves the old entry in place.
    if (!WriteNamedEntry(name)) KeepEntry(old, std::move(entry), {});
  }
  for (int j = list.Count() - 1; j >= 0; --j)
    if (consumed[static_cast<std::size_t>(j)]) list.Delete(j);
}

void TZipWriter::KeepEntry(const TZipHeaderInfo& old, std::unique_ptr<TZipHeaderInfo> entry,
                           const std::string& disposeName) {
  auto& r = *run_;
  CheckCancel();
  CopyKeptEntry(old, *entry);
  if (r.endCentral.TotalEntries >= kMaxEntries) RaiseTooLarge();
  ++r.endCentral.EntriesOnThisDisk;
  ++r.endCentral.TotalEntries;
  r.byName[classlib::LowerAscii(entry->Path())] = entry.get();
  r.archiveOrder->Add(entry.get());
  TZipHeaderInfo* kept = entry.release();
  if (dispose_ && !disposeName.empty()) r.disposeList.push_back(disposeName);

  THugeStream& archive = *archiveStream_;
  const std::int64_t extraAt = static_cast<std::int64_t>(old.CentralRecordOffset) + kCentralRecordSize + old.FileNameLength;
  if (old.CentralExtraLength != 0) {
    std::string extra(old.CentralExtraLength, '\0');
    archive.SetPosition(extraAt);
    archive.ReadBuffer(extra.data(), static_cast<std::int64_t>(extra.size()));
    r.keptExtras[kept] = extra;
  }
  if (old.HasComment() && !old.CommentLoaded()) {
    std::string comment(old.CommentLength, '\0');
    archive.SetPosition(extraAt + old.CentralExtraLength);
    archive.ReadBuffer(comment.data(), static_cast<std::int64_t>(comment.size()));
    kept->SetComment(comment);
  }
}

void TZipWriter::CopyKeptEntry(const TZipHeaderInfo& old, TZipHeaderInfo& entry) {
  auto& r = *run_;
  THugeStream& archive = *archiveStream_;
  archive.SetPosition(old.LocalHeaderOffset);
  std::uint8_t local[kLocalHeaderSize];
  archive.ReadBuffer(local, kLocalHeaderSize);
  const std::int64_t dataStart = static_cast<std::int64_t>(old.LocalHeaderOffset) + kLocalHeaderSize + Get16(local + 26);
  entry.LocalExtraLength = Get16(local + 28);
  if (r.output->Position() > kLargestField) RaiseTooLarge();
  entry.SaveLocalToStream(*r.output);
  std::int64_t count = static_cast<std::int64_t>(entry.LocalExtraLength) + old.CompressedSize;
  archive.SetPosition(dataStart);
  if (old.HasDescriptor()) {
    // Bit 3 stays set, so readers look for the descriptor after the data: it must come along.
    std::uint8_t signature[4];
    archive.SetPosition(dataStart + count);
    archive.ReadBuffer(signature, 4);
    count += Get32(signature) == kDescriptorSignature ? kDescriptorSize : kDescriptorSize - 4;
    archive.SetPosition(dataStart);
  }
  if (count > 0 && r.output->CopyFrom(archive, count) != count) throw ENotEnoughRoom(LoadZipString(kMsgNotEnoughRoom));
}

}  // namespace zip
