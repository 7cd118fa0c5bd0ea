#include "zip/extraction.h"

#include <cstring>
#include <map>
#include <memory>
#include <optional>

#include "classlib/prompt.h"
#include "classlib/text.h"
#include "zip/decompress.h"
#include "zip/dos_date.h"
#include "zip/entry_paths.h"
#include "zip/fs.h"
#include "zip/fs_helpers.h"
#include "zip/match.h"
#include "zip/messages.h"
#include "zip/numbers.h"
#include "zip/path_strings.h"
#include "zip/zip_exceptions.h"
#include "zip/zip_reader.h"
#include "zip/zip_records.h"

namespace zip {

namespace {

constexpr std::uint32_t kRetainedAttributes = fs::kAttrReadOnly | fs::kAttrHidden | fs::kAttrSystem | fs::kAttrArchive;
constexpr int kDamagedNameTries = 100;

bool IsDriveForm(const std::string& d) { return d.size() >= 2 && d[1] == ':'; }

// From fs::FileAttributes: a file, not a folder, is there.
bool IsFile(std::int64_t attributes) { return attributes >= 0 && (attributes & fs::kAttrDirectory) == 0; }

// A new file beside the target; removed again unless it was moved into place.
class TTemporaryOutput {
 public:
  TTemporaryOutput() = default;
  ~TTemporaryOutput() {
    file_.reset();
    if (!name_.empty()) fs::Delete(name_);
  }
  TTemporaryOutput(const TTemporaryOutput&) = delete;
  TTemporaryOutput& operator=(const TTemporaryOutput&) = delete;

  // False when the file cannot be created.
  bool Create(const std::string& folder, bool flushOnClose) {
    try {
      file_ = MakeTempFile(folder, TZipReader::kFileBufferSize, flushOnClose, name_);
      return true;
    } catch (const classlib::EStreamError&) {
      name_.clear();
      return false;
    }
  }
  TLFNFileStream& File() { return *file_; }
  // Writes what is buffered and closes the file; raises ECantWriteUCF when that fails.
  void Close() {
    try {
      file_->Close();
    } catch (const classlib::EStreamError&) {
      throw ECantWriteUCF(LoadZipString(kMsgCantWriteUncompressed));
    }
    file_.reset();
  }
  // Gives the closed file its final name; false (and the file removed) when that fails.
  bool MoveTo(const std::string& target) {
    if (!RenameWithBackup(name_, target)) return false;
    name_.clear();
    return true;
  }
  // The same where nothing has the name yet.
  bool MoveToNew(const std::string& target) {
    if (!fs::Rename(name_, target)) return false;
    name_.clear();
    return true;
  }

 private:
  std::unique_ptr<TLFNFileStream> file_;
  std::string name_;
};

}  // namespace

// One run of ExtractMatching or ExtractMarked over the reader's loaded directory.
class TExtraction {
 public:
  TExtraction(TZipReader& reader, bool markedOnly);

  int Run();

 private:
  // Marks the entries to extract (ProcessFlag) and totals their sizes.
  void Choose();
  void ExtractEntry(int index);
  void ExtractDirectoryEntry(int index);
  // False when an earlier entry of the run went to a name the file system folds name into.
  bool ClaimName(const std::string& name, int index);
  // The folder an entry goes to, with trailing "\" (empty for the current folder when DestDir is
  // empty); none when its stored path would lead outside DestDir or to a device.
  std::optional<std::string> OutputDirOf(const TZipHeaderInfo& entry) const;
  // Positions the archive at the entry's data; false when no local header stands at its offset or
  // the entry overlaps another's (see MarkOverlappingEntries).
  bool SeekToData(const TZipHeaderInfo& entry);
  // Reads the encryption header and settles the password; false when the entry is skipped.
  bool CheckPassword(int index);
  // attributes: the target's, -1 when there is none; read again when a handler names another.
  bool MayOverwrite(int index, std::string& name, std::int64_t& attributes);
  // Why the target cannot be replaced (a folder, or read-only without ReplaceReadOnly); none when
  // it can.
  std::optional<TSkipReason> TargetRefusal(std::int64_t attributes) const;
  // Gives the extracted file its final name, clearing a read-only target's bit first; false when
  // that fails.
  bool PlaceOutput(TTemporaryOutput& output, const std::string& name, std::int64_t attributes) const;
  // Decodes the entry into file; false when its data was bad or ran past its size.
  bool Decode(THugeStream& file);
  // After bad data: true when a new password asks for another try.
  bool RetryWithNewPassword(int index);
  // Reports the damaged unencrypted entry; what came out of it, when anything did, is kept (see
  // KeepDamaged).
  void ReportDamage(TTemporaryOutput& output, const std::string& name, int index, TDamageKind kind);
  // Keeps what came out of a damaged entry under the first free name DamagedMark makes of name;
  // the name it got, empty when none.
  std::string KeepDamaged(TTemporaryOutput& output, const std::string& name);
  // An entry whose data cannot even be found or decrypted: nothing of it is written.
  void ReportUnreadableEntry(int index);
  void Skip(TSkipReason reason, const std::string& name, int index);
  void TakeOffTotals(const TZipHeaderInfo& entry);
  // Reads from the archive, moving on to the next parts of a split archive; fewer bytes only
  // when the archive ends.
  std::int64_t ReadArchive(std::uint8_t* buffer, std::int64_t count);
  void ReportProgress(std::int32_t count, int filePercent);

  TZipReader& r_;
  bool markedOnly_;
  int toDo_ = 0;
  int good_ = 0;
  bool retry_ = false;
  // The folded output names of the run, each with the entry it went to.
  std::map<std::string, int> claimedNames_;
  std::uint8_t encryptionHeader_[kEncryptionHeaderSize] = {};
  // Made once for the run: its entries allocate no buffers of their own.
  TEntryInput input_;
  TEntryOutput output_;
  TInflater inflater_;
};

int RunExtraction(TZipReader& reader, bool markedOnly) { return TExtraction(reader, markedOnly).Run(); }

TExtraction::TExtraction(TZipReader& reader, bool markedOnly)
    : r_(reader),
      markedOnly_(markedOnly),
      input_([this](std::uint8_t* buffer, std::int64_t count) { return ReadArchive(buffer, count); },
             [this] {
               r_.CheckCancel();
               return false;
             }),
      output_([this](std::int32_t count, int filePercent) { ReportProgress(count, filePercent); }) {}

int TExtraction::Run() {
  r_.ClearCancel();
  const bool keepZipOpen = r_.keepZipOpen_;
  r_.keepZipOpen_ = true;
  const TZipSortMode sortMode = r_.SortMode();
  // Parts are visited in order when entries come in archive order.
  const bool archiveOrder = r_.endCentral_.ThisDisk != 0 && sortMode != TZipSortMode::ByNone;
  auto finish = [&] {
    r_.FilesList().Clear();
    if (archiveOrder) r_.ApplySortMode(sortMode);
    if (r_.OnUnZipComplete) r_.OnUnZipComplete(good_);
    r_.keepZipOpen_ = keepZipOpen;
  };
  try {
    if (!r_.DestDir().empty() && !fs::DirectoryExists(r_.DestDir())) ForceDirectories(r_.DestDir());
    if (archiveOrder) r_.ApplySortMode(TZipSortMode::ByNone);
    Choose();
    bool stopNow = false;
    if (r_.OnStartUnZipInfo) r_.OnStartUnZipInfo(toDo_, r_.totalBytes_, stopNow);
    if (toDo_ > 0 && !stopNow) {
      const int count = r_.EntryCount();
      for (int i = 0; i < count; ++i) {
        if (!r_.DoAll() && r_.Entry(i).ProcessFlag == 0) continue;
        do ExtractEntry(i);
        while (retry_);
      }
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
  return good_;
}

void TExtraction::Choose() {
  r_.totalBytes_ = 0;
  r_.doneBytes_ = 0;
  toDo_ = r_.EntryCount();
  for (int i = 0; i < r_.EntryCount(); ++i) {
    TZipHeaderInfo& entry = r_.Entry(i);
    bool selected = r_.DoAll();
    if (markedOnly_) {
      selected = selected || entry.Selected;
      r_.SetMark(entry, false);
    } else {
      for (const std::string& pattern : r_.FilesList()) selected = selected || IsMatch(pattern, entry.Path());
    }
    if (entry.FileName().empty() && !r_.RecreateDirs()) selected = false;
    entry.ProcessFlag = selected ? 1 : 0;
    if (selected)
      r_.totalBytes_ += entry.UncompressedSize;
    else
      --toDo_;
  }
}

std::optional<std::string> TExtraction::OutputDirOf(const TZipHeaderInfo& entry) const {
  const std::string& dest = r_.DestDir();
  std::string d = r_.RecreateDirs() ? entry.Directory() : std::string();
  if (!r_.RootDir().empty() && classlib::StartsTextAscii(d, r_.RootDir())) d.erase(0, r_.RootDir().size());
  const bool absolute = IsDriveForm(d) || (!d.empty() && d[0] == '\\');
  // Below DestDir a drive or a leading "\" is dropped; with no DestDir it would name a place
  // outside the current folder.
  if (absolute && dest.empty()) return std::nullopt;
  if (IsDriveForm(d)) d.erase(0, 2);
  while (!d.empty() && d[0] == '\\') d.erase(0, 1);
  if (!IsSafeRelativePath(d + entry.FileName())) return std::nullopt;
  return (dest.empty() ? std::string() : dest + "\\") + d;
}

void TExtraction::ExtractEntry(int index) {
  retry_ = false;
  TZipHeaderInfo& entry = r_.workingEntry_;
  entry.Assign(r_.Entry(index));
  if (entry.FileName().empty()) return ExtractDirectoryEntry(index);

  const std::optional<std::string> folder = OutputDirOf(entry);
  // A name no file function takes is refused before any is asked (some take long to say no).
  if (!folder || !fs::PathFits(*folder + entry.FileName())) {
    Skip(TSkipReason::srCreateError, entry.Path(), index);
    return TakeOffTotals(entry);
  }
  if (!SeekToData(entry)) return ReportUnreadableEntry(index);

  std::string name = *folder + entry.FileName();
  bool skip = false;
  if (r_.OnStartUnZip) r_.OnStartUnZip(index, name, skip);
  if (skip) return;
  if (!ClaimName(name, index)) {
    Skip(TSkipReason::srSameName, name, index);
    return TakeOffTotals(entry);
  }
  // Checked before anything is created, so an entry that cannot be read touches no file.
  if (!IsSupportedMethod(entry.CompressionMethod)) {
    classlib::Prompts().Message(classlib::MessageRequest{LoadZipString(kMsgUnknownMethod), LoadZipString(kMsgZipError),
                                                         classlib::PromptButtons::Ok, classlib::PromptIcon::Error});
    Skip(TSkipReason::srUnknownMethod, name, index);
    return TakeOffTotals(entry);
  }
  const std::string outputFolder = ExtractFilePath(name);
  if (!outputFolder.empty() && !fs::DirectoryExists(outputFolder)) ForceDirectories(outputFolder);
  if (entry.Encrypted() && !CheckPassword(index)) return;
  std::int64_t attributes = fs::FileAttributes(name);
  if (IsFile(attributes) && !MayOverwrite(index, name, attributes)) {
    Skip(TSkipReason::srNoOverwrite, name, index);
    return TakeOffTotals(entry);
  }

  if (const std::optional<TSkipReason> refusal = TargetRefusal(attributes)) {
    Skip(*refusal, name, index);
    return TakeOffTotals(entry);
  }
  // The data goes to a new file beside the target and takes the target's name only once it came
  // out right: bad data is never found under the entry's name, and a file there stays as it was.
  TTemporaryOutput output;
  if (!output.Create(ExtractFilePath(name), r_.FlushFilesOnClose())) {
    Skip(TSkipReason::srCreateError, name, index);
    return TakeOffTotals(entry);
  }
  const bool intact = Decode(output.File());
  const std::uint32_t crc = r_.crc_;
  output.Close();
  const bool good = intact && crc == entry.CRC32;
  if (good) {
    if (!PlaceOutput(output, name, attributes)) {
      Skip(TSkipReason::srCreateError, name, index);
      return TakeOffTotals(entry);
    }
    fs::SetFileDate(name, RepairDosDate(entry.DateTime));
    if (r_.RetainAttributes()) fs::SetAttributes(name, entry.ExternalAttributes & kRetainedAttributes);
    if (r_.OnEndUnZip) r_.OnEndUnZip(index, name);
    ++good_;
    return;
  }
  if (entry.Encrypted() && RetryWithNewPassword(index)) return;
  if (!entry.Encrypted()) {
    if (r_.OnBadCRC) r_.OnBadCRC(crc, entry.CRC32, index);
    ReportDamage(output, name, index, intact ? TDamageKind::dkBadCRC : TDamageKind::dkBadData);
  } else {
    Skip(TSkipReason::srBadPassword, entry.Path(), index);
  }
  --toDo_;
}

void TExtraction::ExtractDirectoryEntry(int index) {
  const TZipHeaderInfo& entry = r_.workingEntry_;
  if (r_.RecreateDirs()) {
    const std::optional<std::string> folder = OutputDirOf(entry);
    if (!folder || !fs::PathFits(*folder)) {
      Skip(TSkipReason::srCreateError, entry.Path(), index);
      return TakeOffTotals(entry);
    }
    if (!folder->empty() && !fs::DirectoryExists(*folder) && !ForceDirectories(*folder)) {
      const bool taken = IsFile(fs::FileAttributes(folder->substr(0, folder->size() - 1)));
      Skip(taken ? TSkipReason::srNameTaken : TSkipReason::srCreateError, *folder, index);
      return TakeOffTotals(entry);
    }
  }
  ++good_;
}

bool TExtraction::ClaimName(const std::string& name, int index) {
  return claimedNames_.emplace(FoldedPath(name), index).first->second == index;
}

bool TExtraction::SeekToData(const TZipHeaderInfo& entry) {
  if (entry.Overlaps) return false;
  if (r_.DiskCount() > 1 && entry.DiskNumberStart != r_.currentPart_) r_.SwitchDisk(entry.DiskNumberStart + 1);
  r_.archiveStream_->SetPosition(entry.LocalHeaderOffset);
  std::uint8_t header[kLocalHeaderSize];
  if (r_.archiveStream_->Read(header, kLocalHeaderSize) != kLocalHeaderSize || Get32(header) != LocalSignature())
    return false;
  // The local header's own lengths find the data; they may differ from the central record's.
  const std::int64_t data =
      std::int64_t{entry.LocalHeaderOffset} + kLocalHeaderSize + Get16(header + 26) + Get16(header + 28);
  // Only the local header tells where the data starts, and so whether it stays in its region.
  if (entry.RegionEnd >= 0 && data + entry.CompressedSize > entry.RegionEnd) return false;
  r_.archiveStream_->SetPosition(data);
  return true;
}

bool TExtraction::CheckPassword(int index) {
  TZipHeaderInfo& entry = r_.workingEntry_;
  // A size too small for the header would wrap around to some 4 GB of data.
  if (entry.CompressedSize < kEncryptionHeaderSize) {
    ReportUnreadableEntry(index);
    return false;
  }
  if (ReadArchive(encryptionHeader_, kEncryptionHeaderSize) != kEncryptionHeaderSize)
    throw EFatalUnzipError(LoadZipString(kMsgPrematureEnd));
  entry.CompressedSize -= kEncryptionHeaderSize;
  for (;;) {
    std::uint8_t header[kEncryptionHeaderSize];
    std::memcpy(header, encryptionHeader_, sizeof header);
    if (r_.cipher_.DecryptHeader(r_.Password(), header) == ExpectedCheckByte(entry)) return true;
    std::string newPassword = r_.Password();
    if (r_.OnBadPassword) r_.OnBadPassword(index, newPassword);
    if (newPassword == r_.Password()) {
      Skip(TSkipReason::srBadPassword, entry.Path(), index);
      TakeOffTotals(entry);
      return false;
    }
    r_.password_ = newPassword;
  }
}

bool TExtraction::MayOverwrite(int index, std::string& name, std::int64_t& attributes) {
  const TZipHeaderInfo& entry = r_.workingEntry_;
  std::uint32_t fileDate = 0;
  switch (r_.OverwriteMode()) {
    case TUZOverwriteMode::Always:
      return true;
    case TUZOverwriteMode::Never:
      return false;
    case TUZOverwriteMode::ifNewer:
      return fs::FileAge(name, fileDate) && RepairDosDate(entry.DateTime) > fileDate;
    case TUZOverwriteMode::ifOlder:
      return fs::FileAge(name, fileDate) && RepairDosDate(entry.DateTime) < fileDate;
    case TUZOverwriteMode::Prompt:
      break;
  }
  if (r_.OnPromptForOverwrite) {
    bool overwrite = false;
    const std::string asked = name;
    r_.OnPromptForOverwrite(overwrite, index, name);
    if (name != asked) attributes = fs::FileAttributes(name);
    return overwrite;
  }
  const classlib::MessageRequest question{LoadZipString(kMsgReplaceExisting) + entry.FileName() + "?",
                                          LoadZipString(kMsgFileExistsAlert), classlib::PromptButtons::YesNo,
                                          classlib::PromptIcon::Question};
  return classlib::Prompts().Message(question) == classlib::PromptResult::Yes;
}

std::optional<TSkipReason> TExtraction::TargetRefusal(std::int64_t attributes) const {
  if (attributes < 0) return std::nullopt;
  if ((attributes & fs::kAttrDirectory) != 0) return TSkipReason::srCreateError;
  if ((attributes & fs::kAttrReadOnly) != 0 && !r_.ReplaceReadOnly()) return TSkipReason::srReadOnly;
  return std::nullopt;
}

bool TExtraction::PlaceOutput(TTemporaryOutput& output, const std::string& name, std::int64_t attributes) const {
  if (attributes >= 0 && (attributes & fs::kAttrReadOnly) != 0 &&
      !fs::SetAttributes(name, static_cast<std::uint32_t>(attributes) & ~fs::kAttrReadOnly))
    return false;
  return output.MoveTo(name);
}

bool TExtraction::Decode(THugeStream& file) {
  const TZipHeaderInfo& entry = r_.workingEntry_;
  TEntryInput::DecryptFunction decrypt;
  if (entry.Encrypted()) {
    if (r_.OnDecrypt)
      decrypt = [this](std::uint8_t* buffer, std::int32_t count) { r_.OnDecrypt(buffer, count, r_.Password()); };
    else
      decrypt = DecryptWith(r_.cipher_);
  }
  input_.Begin(entry.CompressedSize, std::move(decrypt));
  output_.Begin(file, entry.UncompressedSize);
  bool intact = false;
  try {
    intact = DecompressEntry(entry.CompressionMethod, entry.Flags, input_, output_, inflater_) ==
             TDecodeResult::kComplete;
  } catch (const EBiggerThanUncompressed&) {
    // Bad data like any other: intact stays false.
  }
  r_.crc_ = output_.Crc();
  return intact;
}

bool TExtraction::RetryWithNewPassword(int index) {
  if (!r_.OnBadPassword) return false;
  std::string newPassword = r_.Password();
  r_.OnBadPassword(index, newPassword);
  if (newPassword == r_.Password()) return false;
  r_.password_ = newPassword;
  retry_ = true;
  return true;
}

void TExtraction::ReportDamage(TTemporaryOutput& output, const std::string& name, int index, TDamageKind kind) {
  TDamage damage;
  damage.Kind = kind;
  damage.ReadableBytes = output_.Written();
  // Nothing readable leaves nothing beside the target; the empty file goes with the output.
  if (damage.ReadableBytes > 0) damage.KeptName = KeepDamaged(output, name);
  if (r_.OnDamaged) r_.OnDamaged(index, damage);
}

std::string TExtraction::KeepDamaged(TTemporaryOutput& output, const std::string& name) {
  if (r_.DamagedMark().empty()) return std::string();
  const std::string extension = ExtractFileExt(name);
  const std::string base = name.substr(0, name.size() - extension.size()) + r_.DamagedMark();
  for (int n = 1; n <= kDamagedNameTries; ++n) {
    const std::string kept = base + (n == 1 ? std::string() : " " + std::to_string(n)) + extension;
    if (output.MoveToNew(kept)) return kept;
    // Another name only while the one tried is taken.
    if (!fs::FileExists(kept) && !fs::DirectoryExists(kept)) return std::string();
  }
  return std::string();
}

void TExtraction::ReportUnreadableEntry(int index) {
  if (r_.OnBadCRC) r_.OnBadCRC(0, r_.workingEntry_.CRC32, index);
  if (r_.OnDamaged) r_.OnDamaged(index, TDamage{TDamageKind::dkBadData, 0, std::string()});
  TakeOffTotals(r_.workingEntry_);
}

void TExtraction::Skip(TSkipReason reason, const std::string& name, int index) {
  bool retry = false;
  if (r_.OnSkippingFile) r_.OnSkippingFile(reason, name, index, retry);
}

void TExtraction::TakeOffTotals(const TZipHeaderInfo& entry) {
  r_.totalBytes_ -= entry.UncompressedSize;
  --toDo_;
}

std::int64_t TExtraction::ReadArchive(std::uint8_t* buffer, std::int64_t count) {
  std::int64_t got = r_.archiveStream_->Read(buffer, count);
  while (got < count && r_.DiskCount() > 1 && r_.OnGetNextDisk) {
    THugeStream* next = r_.SwitchDisk(r_.currentPart_ + 2);
    got += next->Read(buffer + got, count - got);
  }
  return got;
}

void TExtraction::ReportProgress(std::int32_t count, int filePercent) {
  if (r_.OnFilePercentDone) r_.OnFilePercentDone(filePercent);
  r_.doneBytes_ += count;
  if (r_.OnTotalPercentDone) r_.OnTotalPercentDone(Percent(r_.doneBytes_, r_.totalBytes_));
}

}  // namespace zip
