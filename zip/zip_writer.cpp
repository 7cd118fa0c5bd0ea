#include "zip/zip_writer.h"

#include "classlib/text.h"
#include "zip/fs.h"
#include "zip/path_strings.h"
#include "zip/writer_run_state.h"

namespace zip {

TZipWriter::TZipWriter() : random_(std::random_device{}()) {}

TZipWriter::~TZipWriter() = default;

void TZipWriter::Assign(const TZipReader& source) {
  TZipReader::Assign(source);
  const auto* writer = dynamic_cast<const TZipWriter*>(&source);
  if (writer == nullptr || writer == this) return;
  packLevel_ = writer->packLevel_;
  recurse_ = writer->recurse_;
  dispose_ = writer->dispose_;
  storePaths_ = writer->storePaths_;
  relativePaths_ = writer->relativePaths_;
  storeVolumes_ = writer->storeVolumes_;
  zipAction_ = writer->zipAction_;
  multiZipInfo_.Assign(writer->multiZipInfo_);
  store83Names_ = writer->store83Names_;
  tempPath_ = writer->tempPath_;
  skipIfArchiveBitNotSet_ = writer->skipIfArchiveBitNotSet_;
  resetArchiveBitOnZip_ = writer->resetArchiveBitOnZip_;
  excludeList_ = writer->excludeList_;
  noCompressList_ = writer->noCompressList_;
  addDirEntriesOnRecurse_ = writer->addDirEntriesOnRecurse_;
  OnStartZip = writer->OnStartZip;
  OnStartZipInfo = writer->OnStartZipInfo;
  OnEndZip = writer->OnEndZip;
  OnDisposeFile = writer->OnDisposeFile;
  OnDeleteEntry = writer->OnDeleteEntry;
  OnNoSuchFile = writer->OnNoSuchFile;
  OnZipComplete = writer->OnZipComplete;
  OnUpdate = writer->OnUpdate;
}

void TZipWriter::Loaded() {
  TZipReader::Loaded();
  SetCheckDiskLabels(multiZipInfo_.CheckDiskLabels);
  SetMultiMode(multiZipInfo_.MultiMode);
}

bool TZipWriter::CheckDiskLabels() const { return multiZipInfo_.CheckDiskLabels; }

void TZipWriter::SetCheckDiskLabels(bool value) {
  multiZipInfo_.CheckDiskLabels = value;
  TZipReader::SetCheckDiskLabels(value);
}

TMultiMode TZipWriter::MultiMode() const { return multiZipInfo_.MultiMode; }

void TZipWriter::SetMultiMode(TMultiMode value) {
  multiZipInfo_.MultiMode = value;
  TZipReader::SetMultiMode(value);
}

void TZipWriter::SetPackLevel(int value) {
  CheckNotBusy();
  packLevel_ = value;
}

void TZipWriter::SetRecurse(bool value) {
  CheckNotBusy();
  recurse_ = value;
}

void TZipWriter::SetDispose(bool value) {
  CheckNotBusy();
  dispose_ = value;
}

void TZipWriter::SetStorePaths(bool value) {
  CheckNotBusy();
  if (storePaths_ == value) return;
  storePaths_ = value;
  if (!value) {
    storeVolumes_ = false;
    relativePaths_ = false;
  }
}

void TZipWriter::SetRelativePaths(bool value) {
  CheckNotBusy();
  if (relativePaths_ == value) return;
  relativePaths_ = value;
  if (value) {
    storePaths_ = true;
    recurse_ = true;
  }
}

void TZipWriter::SetStoreVolumes(bool value) {
  CheckNotBusy();
  if (storeVolumes_ == value) return;
  storeVolumes_ = value;
  if (value) storePaths_ = true;
}

void TZipWriter::SetZipAction(TZipAction value) {
  CheckNotBusy();
  zipAction_ = value;
}

void TZipWriter::SetMultiZipInfo(const TMultiZipInfo& value) {
  CheckNotBusy();
  multiZipInfo_.Assign(value);
}

void TZipWriter::SetStore83Names(bool value) {
  CheckNotBusy();
  store83Names_ = value;
}

void TZipWriter::SetTempPath(const std::string& value) {
  CheckNotBusy();
  tempPath_ = value;
}

void TZipWriter::SetSkipIfArchiveBitNotSet(bool value) {
  CheckNotBusy();
  skipIfArchiveBitNotSet_ = value;
}

void TZipWriter::SetResetArchiveBitOnZip(bool value) {
  CheckNotBusy();
  resetArchiveBitOnZip_ = value;
}

void TZipWriter::SetExcludeList(const classlib::TStringList& value) {
  CheckNotBusy();
  excludeList_ = value;
}

void TZipWriter::SetNoCompressList(const classlib::TStringList& value) {
  CheckNotBusy();
  noCompressList_ = value;
}

void TZipWriter::SetAddDirEntriesOnRecurse(bool value) {
  CheckNotBusy();
  addDirEntriesOnRecurse_ = value;
}

std::string TZipWriter::TempDirectory() const {
  if (!tempPath_.empty() && fs::DirectoryExists(tempPath_)) return WithTrailingBackslash(tempPath_);
  return fs::SystemTempDirectory();
}

std::unique_ptr<TBufferStream> TZipWriter::CreateOutput(const std::string& name) {
  // Flushed to the medium on close: an archive counts as written only once its bytes are there.
  return std::make_unique<TLFNFileStream>(name, kFileBufferSize, true, fs::kCreate);
}

std::unique_ptr<TBufferStream> TZipWriter::OpenInput(const std::string& name) {
  return std::make_unique<TLFNFileStream>(name, kFileBufferSize, false, fs::kOpenRead | fs::kShareDenyNone);
}

}  // namespace zip
