// Writing one entry: source, header record, local header, encryption header, deflated or stored
// data, and the local header again with the final CRC and sizes.
#include <zlib.h>

#include <vector>

#include "classlib/clock.h"
#include "classlib/datetime.h"
#include "classlib/text.h"
#include "zip/crc32.h"
#include "zip/dos_date.h"
#include "zip/fs.h"
#include "zip/fs_helpers.h"
#include "zip/messages.h"
#include "zip/numbers.h"
#include "zip/oem.h"
#include "zip/path_strings.h"
#include "zip/writer_run_state.h"
#include "zip/zip_records.h"

namespace zip {
namespace {

// Whole pages, so reads of a file stay aligned to them.
constexpr std::int64_t kDeflateBufferSize = 65536;
constexpr std::int64_t kStoreBufferSize = 32768;
constexpr std::int64_t kCrcBufferSize = 65536;
// Passes over a file that keeps changing before it counts as unreadable.
constexpr int kChangedFileAttempts = 3;

// One of the run's buffers, grown to at least size bytes.
std::uint8_t* RunBuffer(std::vector<std::uint8_t>& buffer, std::size_t size) {
  if (buffer.size() < size) buffer.resize(size);
  return buffer.data();
}

std::uint32_t DosDateOf(const std::string& name) {
  std::uint32_t dos = 0;
  if (fs::FileAge(name, dos)) return RepairDosDate(dos);
  return classlib::DateTimeToFileDate(classlib::Now());
}

}  // namespace

void RaiseTooLarge() { throw EZipTooLarge(LoadZipString(kMsgZip64NotSupported)); }

std::string TZipWriter::NameForHeader(const std::string& name) const {
  std::string result = name;
  SlashesToBackslashes(result);
  if (store83Names_) result = ConvertPathNames(result);
  if (OEMConvert()) {
    std::string oem;
    if (TryToOem(result, oem)) result = FromOem(oem);
  }
  return result;
}

std::string TZipWriter::StoredPathOf(const std::string& name) const {
  if (!storePaths_) return {};
  std::string path = ExtractFilePath(NameForHeader(name));
  if (path.size() >= 2 && path.compare(path.size() - 2, 2, "\\\\") == 0) path.pop_back();
  std::string root = RootDir();
  SlashesToBackslashes(root);
  if (store83Names_) root = ConvertPathNames(root);
  if (!root.empty() && relativePaths_ && classlib::StartsTextAscii(path, root))
    return path.substr(root.size());
  if (!storeVolumes_ && !path.empty()) {
    path.erase(0, ExtractDrive(path).size());
    if (!path.empty() && path[0] == '\\') path.erase(0, 1);
  }
  return path;
}

std::string TZipWriter::StoredKeyOf(const std::string& name) const {
  std::string fileName = NameForHeader(name);
  fileName.erase(0, ExtractFilePath(fileName).size());
  return classlib::LowerAscii(StoredPathOf(name) + fileName);
}

TBufferStream& TZipWriter::DataStream() { return run_->tempData ? *run_->tempData : *run_->output; }

bool TZipWriter::AddEntry(const std::string& fName, TZipHeaderInfo& header) {
  run_->fileBytesRead = 0;
  const bool directory = !fName.empty() && (fName.back() == '\\' || fName.back() == '/');
  try {
    const bool added = directory ? AddDirectoryEntry(fName, header) : AddFileEntry(fName, header);
    run_->source.reset();
    return added;
  } catch (...) {
    if (run_->tempData) {
      run_->tempData.reset();
      fs::Delete(run_->tempDataName);
    }
    run_->source.reset();
    throw;
  }
}

bool TZipWriter::AddDirectoryEntry(const std::string& fName, TZipHeaderInfo& header) {
  const std::string folder = fName.substr(0, fName.size() - 1);
  header.SetDirectory(StoredPathOf(fName));
  header.SetFileName("");
  // A folder that records no path would be an entry without a name.
  if (header.Directory().empty()) return false;
  header.DateTime = DosDateOf(folder);
  header.UncompressedSize = 0;
  header.CompressedSize = 0;
  header.CompressionMethod = 0;
  header.InternalAttributes = 0;
  header.CRC32 = 0;
  const std::int64_t attributes = fs::FileAttributes(folder);
  if (attributes >= 0) header.ExternalAttributes = static_cast<std::uint32_t>(attributes);
  const std::string key = classlib::LowerAscii(header.Path());
  if (run_->byName.count(key) != 0) {
    bool retry = false;
    if (OnSkippingFile) OnSkippingFile(TSkipReason::srNoOverwrite, fName, -1, retry);
    return false;
  }
  bool skip = false;
  if (OnStartZip) OnStartZip(fName, header, skip);
  if (skip) return false;
  if (MultiMode() != TMultiMode::mmNone) MakeRoomFor(header.LocalSize() + 1);
  if (run_->output->Position() > kLargestField) RaiseTooLarge();
  header.DiskNumberStart = static_cast<std::uint16_t>(run_->part);
  header.SaveLocalToStream(*run_->output);
  if (OnEndZip) OnEndZip(fName, 0, 0, 0);
  return true;
}

bool TZipWriter::AddFileEntry(const std::string& fName, TZipHeaderInfo& header) {
  auto& r = *run_;
  // A folder is no file to add.
  const auto found = foundFiles_.find(fName);
  const std::int64_t attributes = found != foundFiles_.end() ? found->second.Attributes : fs::FileAttributes(fName);
  if (attributes < 0 || (attributes & fs::kAttrDirectory) != 0) return false;
  for (;;) {
    try {
      r.source = OpenInput(fName);
      break;
    } catch (const classlib::EStreamError&) {
      // Gone since the list was made: nothing to report.
      if (fs::FileAttributes(fName) < 0) return false;
      bool retry = false;
      if (OnSkippingFile) OnSkippingFile(TSkipReason::srFileOpenError, fName, -1, retry);
      if (!retry) return false;
    }
  }
  header.DateTime = DosDateOf(fName);
  const std::int64_t size = r.source->Size();
  if (size > kLargestField) RaiseTooLarge();
  r.sourceSize = static_cast<std::uint32_t>(size);
  header.UncompressedSize = r.sourceSize;
  header.ExternalAttributes = static_cast<std::uint32_t>(attributes);

  std::string fileName = NameForHeader(fName);
  fileName.erase(0, ExtractFilePath(fileName).size());
  header.SetFileName(fileName);
  header.SetDirectory(StoredPathOf(fName));
  header.InternalAttributes = 2;

  const std::string key = classlib::LowerAscii(header.Path());
  bool skip = false;
  if (r.byName.count(key) != 0) {
    bool retry = false;
    if (OnSkippingFile) OnSkippingFile(TSkipReason::srNoOverwrite, fName, -1, retry);
    skip = true;
  } else if (OnStartZip) {
    OnStartZip(fName, header, skip);
  }
  if (skip) {
    totalBytes_ -= size * (MultiMode() != TMultiMode::mmNone ? 2 : 1);
    return false;
  }

  const bool split = MultiMode() != TMultiMode::mmNone;
  if (split) {
    MakeRoomFor(header.LocalSize() + 1);
    r.tempDataName = MakeTempFileName(TempDirectory());
    r.tempData = std::make_unique<TLFNFileStream>(r.tempDataName, kFileBufferSize, false, fs::kCreate);
  } else {
    if (r.output->Position() > kLargestField) RaiseTooLarge();
    header.SaveLocalToStream(*r.output);
  }
  header.DiskNumberStart = static_cast<std::uint16_t>(r.part);
  const std::int64_t localHeaderStart = split ? r.output->Position() : header.LocalHeaderOffset;
  const std::int64_t dataStart = DataStream().Position();

  if (!CompressEntryData(fName, header, dataStart)) {
    // Gave up on a file that could not be read whole: nothing of it stays in the archive.
    if (split) {
      r.tempData.reset();
      fs::Delete(r.tempDataName);
    } else {
      r.output->SetSize(localHeaderStart);
      r.output->SetPosition(localHeaderStart);
    }
    return false;
  }
  const std::int64_t compressed = DataStream().Position() - dataStart;
  if (compressed > kLargestField) RaiseTooLarge();
  header.CompressedSize = static_cast<std::uint32_t>(compressed);
  if (!Password().empty()) header.Flags |= kFlagEncrypted;

  if (split) {
    r.output->SetPosition(localHeaderStart);
    header.SaveLocalToStream(*r.output);
    CopyAcrossVolumes(*r.tempData, header.UncompressedSize);
    r.tempData.reset();
    fs::Delete(r.tempDataName);
  } else {
    const std::int64_t end = r.output->Position();
    r.output->SetPosition(localHeaderStart);
    header.SaveLocalToStream(*r.output);
    r.output->SetPosition(end);
  }
  r.source.reset();
  if (resetArchiveBitOnZip_)
    fs::SetAttributes(fName, static_cast<std::uint32_t>(attributes) & ~fs::kAttrArchive);
  if (OnEndZip) OnEndZip(fName, header.UncompressedSize, header.CompressedSize, r.output->Size());
  return true;
}

// False when a read of the file failed, or the file changed between the CRC pass and the data
// pass every time, and the skip handler did not ask to try again.
bool TZipWriter::CompressEntryData(const std::string& fName, TZipHeaderInfo& header, std::int64_t dataStart) {
  auto& r = *run_;
  const bool encrypted = !Password().empty();
  const std::int64_t doneAtStart = doneBytes_;
  for (int attempt = 1;; ++attempt) {
    std::uint32_t expectedCrc = 0;
    if (encrypted) {
      expectedCrc = PrecomputeCrc(*r.source);
      WriteEncryptionHeader(expectedCrc);
    }
    crc_ = 0xFFFFFFFF;
    if (packLevel_ == 0 || IsStoredOnly(header.FileName())) {
      StoreEntry();
      header.CompressionMethod = 0;
      header.InternalAttributes = 0;
    } else {
      DeflateEntry();
      header.CompressionMethod = 8;
    }
    header.CRC32 = ~crc_;
    if (r.fileBytesRead > kLargestField) RaiseTooLarge();
    // The sizes of what was read, even when the file grew or shrank since it was opened.
    header.UncompressedSize = static_cast<std::uint32_t>(r.fileBytesRead);
    const bool readFailed = r.source->ReadFailed();
    if (!readFailed && (!encrypted || header.CRC32 == expectedCrc)) return true;

    // A read the system refused would pass a cut file as the whole one: the user decides whether
    // to try again or leave the file out. A file that changed between the passes has a wrong
    // check byte in its header: write it again.
    if (readFailed || attempt % kChangedFileAttempts == 0) {
      bool retry = false;
      if (OnSkippingFile) OnSkippingFile(TSkipReason::srFileOpenError, fName, -1, retry);
      if (!retry) return false;
    }
    DataStream().SetSize(dataStart);
    DataStream().SetPosition(dataStart);
    r.source->SetPosition(0);
    r.source->ResetReadFailed();
    r.fileBytesRead = 0;
    doneBytes_ = doneAtStart;
  }
}

std::uint32_t TZipWriter::PrecomputeCrc(TBufferStream& source) {
  std::uint8_t* buffer = RunBuffer(run_->dataIn, kCrcBufferSize);
  std::uint32_t crc = 0xFFFFFFFF;
  for (std::int64_t n; (n = source.Read(buffer, kCrcBufferSize)) > 0;)
    crc = UpdateCrc32(crc, buffer, static_cast<std::size_t>(n));
  source.SetPosition(0);
  return ~crc;
}

void TZipWriter::WriteEncryptionHeader(std::uint32_t crc) {
  cipher_.InitKeys(Password());
  std::uint8_t header[kEncryptionHeaderSize];
  std::uniform_int_distribution<int> byte(0, 255);
  for (int i = 0; i < 10; ++i) header[i] = cipher_.EncryptByte(static_cast<std::uint8_t>(byte(random_)));
  header[10] = cipher_.EncryptByte(static_cast<std::uint8_t>(crc >> 16));
  header[11] = cipher_.EncryptByte(static_cast<std::uint8_t>(crc >> 24));
  if (DataStream().Write(header, kEncryptionHeaderSize) != kEncryptionHeaderSize)
    throw ENotEnoughRoom(LoadZipString(kMsgNotEnoughRoom));
}

std::int64_t TZipWriter::ReadInput(void* buffer, std::int64_t count) {
  auto& r = *run_;
  const std::int64_t n = r.source->Read(buffer, count);
  if (n <= 0) return 0;
  r.fileBytesRead += n;
  if (OnFilePercentDone) {
    const int percent = Percent(r.fileBytesRead, static_cast<std::int64_t>(r.sourceSize));
    OnFilePercentDone(MultiMode() != TMultiMode::mmNone ? percent / 2 : percent);
  }
  doneBytes_ += n;
  if (OnTotalPercentDone) OnTotalPercentDone(Percent(doneBytes_, totalBytes_));
  crc_ = UpdateCrc32(crc_, buffer, static_cast<std::size_t>(n));
  return n;
}

void TZipWriter::WriteOutput(std::uint8_t* buffer, std::int64_t count) {
  if (!Password().empty()) {
    if (OnEncrypt) {
      OnEncrypt(buffer, static_cast<int>(count), Password());
    } else {
      for (std::int64_t i = 0; i < count; ++i) buffer[i] = cipher_.EncryptByte(buffer[i]);
    }
  }
  if (DataStream().Write(buffer, count) != count) throw ENotEnoughRoom(LoadZipString(kMsgNotEnoughRoom));
  CheckCancel();
}

void TZipWriter::StoreEntry() {
  std::uint8_t* buffer = RunBuffer(run_->dataIn, kStoreBufferSize);
  for (std::int64_t n; (n = ReadInput(buffer, kStoreBufferSize)) > 0;) WriteOutput(buffer, n);
}

std::int64_t TZipWriter::DeflateEntry() {
  auto& r = *run_;
  std::uint8_t* in = RunBuffer(r.dataIn, kDeflateBufferSize);
  std::uint8_t* out = RunBuffer(r.dataOut, kDeflateBufferSize);
  if (!r.deflater) r.deflater = std::make_unique<TDeflater>(packLevel_);
  z_stream& stream = r.deflater->Begin();
  std::int64_t written = 0;
  int flush = Z_NO_FLUSH;
  stream.avail_in = 0;
  stream.next_out = out;
  stream.avail_out = static_cast<uInt>(kDeflateBufferSize);
  for (;;) {
    if (stream.avail_in == 0 && flush == Z_NO_FLUSH) {
      const std::int64_t n = ReadInput(in, kDeflateBufferSize);
      stream.next_in = in;
      stream.avail_in = static_cast<uInt>(n);
      // Reads come back short only at the end of the file.
      if (n < kDeflateBufferSize) flush = Z_FINISH;
    }
    const int result = deflate(&stream, flush);
    if (result < 0 && result != Z_BUF_ERROR) throw EZCompressionError("error");
    if (stream.avail_out == 0 || flush == Z_FINISH) {
      const std::int64_t filled = kDeflateBufferSize - stream.avail_out;
      WriteOutput(out, filled);
      written += filled;
      stream.next_out = out;
      stream.avail_out = static_cast<uInt>(kDeflateBufferSize);
    }
    if (result == Z_STREAM_END) break;
  }
  return written;
}

}  // namespace zip
