// Reading an archive's directory: the end record, the central records (across parts), the ".zfc"
// copy of the directory, and the recovery of a damaged archive from its local headers.
#include <unordered_set>
#include <vector>

#include "classlib/text.h"
#include "zip/fs.h"
#include "zip/fs_helpers.h"
#include "zip/messages.h"
#include "zip/path_strings.h"
#include "zip/zip_exceptions.h"
#include "zip/zip_reader.h"
#include "zip/zip_records.h"

namespace zip {
namespace {

constexpr std::uint32_t kZip64LocatorSignature = 0x07064B50;
constexpr int kZip64LocatorSize = 20;
constexpr std::uint16_t kHighestPartNumber = 999;
// A self-extracting archive's program part, passed over by the recovery scan.
constexpr std::int64_t kSfxStubSize = 14000;
constexpr std::int64_t kScanPumpInterval = 10240;
constexpr unsigned kArchiveOpenMode = fs::kOpenRead | fs::kShareDenyWrite;

[[noreturn]] void RaiseNotAValidZip() { throw EBadZipFile(LoadZipString(kMsgNotAValidZip)); }
[[noreturn]] void RaiseZip64() { throw EBadZipFile(LoadZipString(kMsgZip64Records)); }

// Up to length bytes from the position.
std::string ReadText(THugeStream& stream, std::uint16_t length) {
  std::string text(length, '\0');
  const std::int64_t got = stream.Read(&text[0], length);
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return text;
}

// Up to length bytes at position; the stream is put back.
std::string ReadTextAt(THugeStream& stream, std::int64_t position, std::uint16_t length) {
  const std::int64_t here = stream.Position();
  stream.SetPosition(position);
  std::string text = ReadText(stream, length);
  stream.SetPosition(here);
  return text;
}

bool HasZip64Locator(THugeStream& stream, const TEndCentral& end) {
  const std::int64_t locator = end.CommentOffset - kEndRecordSize - kZip64LocatorSize;
  if (locator < 0) return false;
  const std::string signature = ReadTextAt(stream, locator, 4);
  return signature.size() == 4 && Get32(reinterpret_cast<const std::uint8_t*>(signature.data())) == kZip64LocatorSignature;
}

// The 0xFFFF.. values that stand for numbers kept in a Zip64 extra field.
bool HasZip64Markers(const TZipHeaderInfo& entry) {
  return entry.CompressedSize == 0xFFFFFFFF || entry.UncompressedSize == 0xFFFFFFFF ||
         entry.LocalHeaderOffset == 0xFFFFFFFF || entry.DiskNumberStart == 0xFFFF;
}

}  // namespace

void TZipReader::LoadDirectory() {
  TBusyScope busy(*this);
  ReadDirectory();
}

void TZipReader::ReadDirectory() {
  ClearCancel();
  for (bool again = false;; again = true) {
    try {
      if (again) CheckCancel();
      OpenArchive();
      break;
    } catch (const EIncompleteZip&) {
      archiveStream_.reset();
      // The handler asked to read again (say, once the user brought the last part).
      if (OnInCompleteZip) continue;
      ResetArchive();
      throw;
    } catch (...) {
      ResetArchive();
      throw;
    }
  }
  CloseArchive();
}

void TZipReader::OpenArchiveStream(const std::string& name) {
  archiveStream_ = std::make_unique<TLFNFileStream>(name, kFileBufferSize, flushFilesOnClose_, kArchiveOpenMode);
}

void TZipReader::OpenArchive() {
  if (!archiveStream_) OpenArchiveStream(zipName_);
  if (archiveOrder_ && FileDateTime(zipName_) == archiveDate_) return;
  ParseDirectory();
}

void TZipReader::CloseArchive() {
  if (!keepZipOpen_) archiveStream_.reset();
}

bool TZipReader::FindEndRecord(THugeStream& stream) {
  endCentral_.Reset();
  if (!endCentral_.FindEndCentral(stream)) return false;
  if (HasZip64Locator(stream, endCentral_) || endCentral_.DirectorySize == 0xFFFFFFFF ||
      endCentral_.DirectoryOffset == 0xFFFFFFFF)
    RaiseZip64();
  if (endCentral_.ThisDisk > kHighestPartNumber || endCentral_.DirectoryDisk > kHighestPartNumber ||
      endCentral_.ThisDisk < endCentral_.DirectoryDisk) {
    endCentral_.Reset();
    return false;
  }
  // Read now, while the part that holds it is open.
  if (endCentral_.HasComment())
    endCentral_.SetComment(ReadTextAt(stream, endCentral_.CommentOffset, endCentral_.CommentLength));
  return true;
}

void TZipReader::ParseDirectory() {
  archiveDate_ = FileDateTime(zipName_);
  DropDirectory();
  THugeStream* in = archiveStream_.get();
  std::unique_ptr<TLFNFileStream> configFile;
  bool found = FindEndRecord(*in);
  if (!found) {
    const std::string configName = ChangeFileExt(zipName_, ".zfc");
    if (fs::FileExists(configName)) {
      configFile = std::make_unique<TLFNFileStream>(configName, kFileBufferSize, false, kArchiveOpenMode);
      found = FindEndRecord(*configFile);
      if (found) {
        in = configFile.get();
      } else {
        configFile.reset();
      }
    }
  }
  if (found) {
    // Known before any part switch, so a handler can tell the last part from the others.
    SetDiskCount(endCentral_.ThisDisk + 1);
    currentPart_ = configFile ? 0 : endCentral_.ThisDisk;
    DetectMultiMode();
    if (endCentral_.DirectorySize != 0) {
      if (!configFile && endCentral_.ThisDisk != 0 && endCentral_.DirectoryDisk != currentPart_)
        in = SwitchDisk(endCentral_.DirectoryDisk + 1);
      in->SetPosition(configFile ? 0 : endCentral_.DirectoryOffset);
    }
  } else {
    TIncompleteZipMode mode = incompleteZipMode_;
    if (OnInCompleteZip) OnInCompleteZip(mode);
    if (mode == TIncompleteZipMode::izAssumeNotAZip) throw ENotAZipFile(LoadZipString(kMsgNotAValidZip));
    if (mode == TIncompleteZipMode::izAssumeMulti) throw EIncompleteZip(LoadZipString(kMsgIncompleteZip));
    if (!ScanLocalHeaders()) {
      ResetArchive();
      RaiseNotAValidZip();
    }
  }
  if (!archiveOrder_) archiveOrder_ = std::make_unique<TSortedZip>(TDuplicates::Error);
  while (!ReadCentralRecords(in, configFile != nullptr)) {
    RecoverOrRaise();
    // The scan leaves the archive where its entries end, which is where a directory would start.
    in = archiveStream_.get();
    configFile.reset();
  }
  MarkOverlappingEntries();
  ApplySortMode(sortMode_);
}

bool TZipReader::ReadCentralRecords(THugeStream*& in, bool fromConfigFile) {
  const bool split = endCentral_.ThisDisk != 0;
  const bool acrossParts = !merging_ && !fromConfigFile && split;
  const NextPartCallback nextPart = [this] { return NextPart(); };
  auto readRecord = [&](TZipHeaderInfo& record) {
    return acrossParts ? record.ReadCentralFromStream(in, nextPart) : record.ReadCentralFromStream(*in);
  };
  // The directory's size, not its 16-bit entry count, says where it ends; the count is a check.
  std::int64_t used = 0;
  int count = 0;
  // The listed record that took the last central record's data, and where that record's name
  // ended: its extra length is trusted only once the next record reads behind it.
  TZipHeaderInfo* previous = nullptr;
  std::int64_t previousNameEnd = 0;
  int previousPart = 0;
  // Scanned entries that took a record's data already.
  std::unordered_set<const TZipHeaderInfo*> merged;
  while (merging_ || used < endCentral_.DirectorySize) {
    auto record = NewEntry();
    bool read = readRecord(*record);
    if (!read && previous && previous->CentralExtraLength != 0 && currentPart_ == previousPart) {
      // The last record may claim extra bytes that are not there: then its comment follows its
      // name, and the next record that comment.
      in->SetPosition(previousNameEnd);
      const std::string comment = ReadText(*in, previous->CommentLength);
      read = readRecord(*record);
      if (read) {
        used -= previous->CentralExtraLength;
        previous->CentralExtraLength = 0;
        if (previous->HasComment()) previous->SetComment(comment);
      }
    }
    previous = nullptr;
    if (!read) return merging_;
    if (HasZip64Markers(*record)) RaiseZip64();
    used += record->CentralSize();
    ++count;
    const std::int64_t nameEnd = in->Position();
    in->Seek(record->CentralExtraLength, fs::kFromCurrent);
    if (record->HasComment()) record->SetComment(ReadText(*in, record->CommentLength));
    int index;
    const bool named = archiveOrder_->Find(*record, index);
    if (merging_) {
      // The first record naming a scanned header lends it its data; a later one is the duplicate.
      TZipHeaderInfo* scanned = named ? archiveOrder_->Items(index) : nullptr;
      if (!scanned || !merged.insert(scanned).second) continue;
      const std::uint16_t localExtra = scanned->LocalExtraLength;
      scanned->Assign(*record);
      scanned->LocalExtraLength = localExtra;
      previous = scanned;
    } else if (named) {
      // A second record for one local header: the scan finds that header once. A split archive
      // cannot be scanned; it keeps the first record.
      if (!split) return false;
      continue;
    } else {
      archiveOrder_->Add(record.get());
      previous = record.release();
    }
    previousNameEnd = nameEnd;
    previousPart = currentPart_;
  }
  return merging_ || (count & 0xFFFF) == endCentral_.TotalEntries;
}

void TZipReader::RecoverOrRaise() {
  if (endCentral_.ThisDisk != 0 || !ScanLocalHeaders()) {
    ResetArchive();
    RaiseNotAValidZip();
  }
}

bool TZipReader::ScanLocalHeaders() {
  if (merging_) return false;
  merging_ = true;
  DropDirectory();
  THugeStream& in = *archiveStream_;
  in.SetPosition(classlib::SameTextAscii(ExtractFileExt(zipName_), ".exe") ? kSfxStubSize : 0);
  if (!FindLocalSignature(in)) return false;
  archiveOrder_ = std::make_unique<TSortedZip>(TDuplicates::Error);
  for (;;) {
    auto entry = NewEntry();
    if (!entry->ReadLocalFromStream(in)) break;
    const std::int64_t data =
        std::int64_t{entry->LocalExtraLength} + entry->CompressedSize + (entry->HasDescriptor() ? kDescriptorSize : 0);
    // Offsets only grow, so no two entries share a key.
    archiveOrder_->Add(entry.get());
    entry.release();
    in.Seek(data, fs::kFromCurrent);
  }
  endCentral_.ThisDisk = 0;
  endCentral_.DirectoryOffset = static_cast<std::uint32_t>(in.Position());
  endCentral_.TotalEntries = static_cast<std::uint16_t>(archiveOrder_->Count());
  currentPart_ = 0;
  SetDiskCount(1);
  return true;
}

bool TZipReader::FindLocalSignature(THugeStream& in) {
  const std::uint8_t* signature = LocalSignatureBytes();
  int matched = 0;
  std::int64_t passed = 0;
  std::uint8_t byte;
  while (in.Read(&byte, 1) == 1) {
    if (++passed % kScanPumpInterval == 0) CheckCancel();
    matched = byte == signature[matched] ? matched + 1 : byte == signature[0] ? 1 : 0;
    if (matched < 4) continue;
    const std::int64_t start = in.Position() - 4;
    std::uint8_t versionNeeded[2];
    if (in.Read(versionNeeded, 2) != 2) return false;
    if (versionNeeded[1] < 10) {
      in.SetPosition(start);
      return true;
    }
    in.SetPosition(start + 1);
    matched = 0;
  }
  return false;
}

void TZipReader::MarkOverlappingEntries() {
  // Folder entries are never read, so they neither hold nor end a region.
  std::vector<TZipHeaderInfo*> files;
  for (int i = 0; i < archiveOrder_->Count(); ++i)
    if (!archiveOrder_->Items(i)->FileName().empty()) files.push_back(archiveOrder_->Items(i));
  const std::int64_t directory = endCentral_.DirectoryOffset;
  const std::int64_t directoryEnd = directory + endCentral_.DirectorySize;
  for (std::size_t i = 0; i < files.size(); ++i) {
    TZipHeaderInfo& entry = *files[i];
    const std::int64_t offset = entry.LocalHeaderOffset;
    bool overlaps = false;
    std::int64_t limit =
        i + 1 < files.size() && files[i + 1]->DiskNumberStart == entry.DiskNumberStart ? files[i + 1]->LocalHeaderOffset : -1;
    // After a recovery scan the end record no longer tells where the directory stands.
    if (!merging_ && entry.DiskNumberStart == endCentral_.DirectoryDisk) {
      if (offset >= directory && offset < directoryEnd) overlaps = true;
      if (offset < directory && (limit < 0 || directory < limit)) limit = directory;
    }
    entry.RegionEnd = limit;
    // The data starts after the header's fixed part at the earliest.
    entry.Overlaps = overlaps || (limit >= 0 && offset + kLocalHeaderSize + entry.CompressedSize > limit);
  }
}

void TZipReader::InstallDirectory(std::unique_ptr<TSortedZip> archiveOrder, const TEndCentral& end) {
  DropDirectory();
  endCentral_.Assign(end);
  archiveOrder_ = std::move(archiveOrder);
  archiveDate_ = FileDateTime(zipName_);
  currentPart_ = end.ThisDisk;
  merging_ = false;
  SetDiskCount(end.ThisDisk + 1);
  MarkOverlappingEntries();
  ApplySortMode(sortMode_);
}

void TZipReader::ApplySortMode(TZipSortMode mode) {
  separateView_.reset();
  if (mode != TZipSortMode::ByNone && archiveOrder_) {
    separateView_ = std::make_unique<TSortedZip>(TDuplicates::Accept, mode, false);
    for (int i = 0; i < archiveOrder_->Count(); ++i) separateView_->Add(archiveOrder_->Items(i));
  }
  sortMode_ = mode;
}

}  // namespace zip
