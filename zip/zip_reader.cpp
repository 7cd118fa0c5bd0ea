#include "zip/zip_reader.h"

#include "classlib/clock.h"
#include "classlib/exceptions.h"
#include "classlib/format.h"
#include "classlib/prompt.h"
#include "classlib/text.h"
#include "zip/extraction.h"
#include "zip/fs.h"
#include "zip/message_pump.h"
#include "zip/messages.h"
#include "zip/path_strings.h"
#include "zip/zip_exceptions.h"

namespace zip {

TZipReader::TZipReader() {
  workingEntry_.SetOEMConvert(oemConvert_);
  OnGetNextDisk = TDefaultDiskHandler{this};
}

TZipReader::~TZipReader() { ResetArchive(); }

void TZipReader::Assign(const TZipReader& source) {
  CheckNotBusy();
  if (&source == this) return;
  SetZipName(source.zipName_);
  destDir_ = source.destDir_;
  rootDir_ = source.rootDir_;
  sortMode_ = source.sortMode_;
  recreateDirs_ = source.recreateDirs_;
  overwriteMode_ = source.overwriteMode_;
  filesList_ = source.filesList_;
  doAll_ = source.doAll_;
  incompleteZipMode_ = source.incompleteZipMode_;
  keepZipOpen_ = source.keepZipOpen_;
  doProcessMessages_ = source.doProcessMessages_;
  retainAttributes_ = source.retainAttributes_;
  replaceReadOnly_ = source.replaceReadOnly_;
  damagedMark_ = source.damagedMark_;
  OnStartUnZipInfo = source.OnStartUnZipInfo;
  OnFilePercentDone = source.OnFilePercentDone;
  OnTotalPercentDone = source.OnTotalPercentDone;
  OnStartUnZip = source.OnStartUnZip;
  OnEndUnZip = source.OnEndUnZip;
  OnPromptForOverwrite = source.OnPromptForOverwrite;
  OnSkippingFile = source.OnSkippingFile;
  OnBadPassword = source.OnBadPassword;
  OnBadCRC = source.OnBadCRC;
  OnDamaged = source.OnDamaged;
  OnInCompleteZip = source.OnInCompleteZip;
  // The source's own default handler would ask on the source's behalf.
  if (source.OnGetNextDisk.target<TDefaultDiskHandler>()) {
    OnGetNextDisk = TDefaultDiskHandler{this};
  } else {
    OnGetNextDisk = source.OnGetNextDisk;
  }
  OnUnZipComplete = source.OnUnZipComplete;
  OnGetNextBuffer = source.OnGetNextBuffer;
}

void TZipReader::Loaded() { workingEntry_.SetOEMConvert(oemConvert_); }

// ---- properties

void TZipReader::SetZipName(const std::string& value) {
  CheckNotBusy();
  if (classlib::SameTextAscii(value, zipName_)) return;
  std::string name = value;
  if (!name.empty() && name.back() == '?') {
    const std::string folder = ExtractFilePath(name);
    const classlib::FileOpenRequest request{LoadZipString(kMsgOpenZipFile), LoadZipString(kMsgOpenFilter),
                                            !folder.empty() && fs::DirectoryExists(folder) ? folder : "C:\\", ""};
    if (!classlib::Prompts().OpenFile(request, name)) throw EUserCanceled(LoadZipString(kMsgCanceledZipName));
  }
  zipName_ = name;
  DropDirectory();
  archiveDate_ = 0;
  endCentral_.Reset();
  archiveStream_.reset();
  merging_ = false;
}

void TZipReader::SetDestDir(const std::string& value) {
  CheckNotBusy();
  std::string folder = value;
  if (folder == "?") {
    const classlib::FolderRequest request{
        "", fs::DirectoryExists(destDir_) ? destDir_ : fs::CurrentDirectory(""), true};
    if (!classlib::Prompts().SelectFolder(request, folder)) throw EUserCanceled(LoadZipString(kMsgCanceledDestDir));
  }
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  destDir_ = folder;
}

void TZipReader::SetRootDir(const std::string& value) {
  CheckNotBusy();
  // A second separator after a "/" would keep the files directly in the root from matching it.
  rootDir_ = WithTrailingBackslash(value);
}

void TZipReader::SetSortMode(TZipSortMode value) {
  CheckNotBusy();
  sortMode_ = value;
}

void TZipReader::SetRecreateDirs(bool value) {
  CheckNotBusy();
  recreateDirs_ = value;
}

void TZipReader::SetOverwriteMode(TUZOverwriteMode value) {
  CheckNotBusy();
  overwriteMode_ = value;
}

void TZipReader::SetFilesList(const classlib::TStringList& value) {
  CheckNotBusy();
  filesList_ = value;
}

void TZipReader::SetDoAll(bool value) {
  CheckNotBusy();
  doAll_ = value;
}

void TZipReader::SetIncompleteZipMode(TIncompleteZipMode value) {
  CheckNotBusy();
  incompleteZipMode_ = value;
}

void TZipReader::SetKeepZipOpen(bool value) {
  CheckNotBusy();
  keepZipOpen_ = value;
}

void TZipReader::SetDoProcessMessages(bool value) {
  CheckNotBusy();
  doProcessMessages_ = value;
}

void TZipReader::SetDamagedMark(const std::string& value) {
  CheckNotBusy();
  damagedMark_ = value;
}

void TZipReader::SetRetainAttributes(bool value) {
  CheckNotBusy();
  retainAttributes_ = value;
}

void TZipReader::SetReplaceReadOnly(bool value) {
  CheckNotBusy();
  replaceReadOnly_ = value;
}

void TZipReader::SetFlushFilesOnClose(bool value) {
  CheckNotBusy();
  flushFilesOnClose_ = value;
}

void TZipReader::SetOEMConvert(bool value) {
  CheckNotBusy();
  oemConvert_ = value;
}

bool TZipReader::CheckDiskLabels() const { return checkDiskLabels_; }

void TZipReader::SetCheckDiskLabels(bool value) {
  CheckNotBusy();
  checkDiskLabels_ = value;
}

TMultiMode TZipReader::MultiMode() const { return multiMode_; }

// Not guarded: reading a directory sets it from the end record.
void TZipReader::SetMultiMode(TMultiMode value) { multiMode_ = value; }

void TZipReader::SetPassword(const std::string& value) {
  CheckNotBusy();
  password_ = value;
}

// ---- entries

int TZipReader::EntryCount() const { return archiveOrder_ ? archiveOrder_->Count() : 0; }

TZipHeaderInfo& TZipReader::Entry(int index) const {
  if (index < 0 || index >= EntryCount())
    throw classlib::EListError(classlib::Format(LoadZipString(kMsgIndexOutOfRange).c_str(), index));
  return *SortedView()->Items(index);
}

std::string TZipReader::EntryName(int index) const { return Entry(index).FileName(); }

std::string TZipReader::EntryPath(int index) const { return Entry(index).Path(); }

classlib::TDateTime TZipReader::EntryDate(int index) const {
  classlib::TDateTime date;
  return classlib::TryFileDateToDateTime(Entry(index).DateTime, date) ? date : classlib::Now();
}

std::uint32_t TZipReader::EntryPackedSize(int index) const { return Entry(index).CompressedSize; }

std::uint32_t TZipReader::EntryUnpackedSize(int index) const { return Entry(index).UncompressedSize; }

bool TZipReader::EntryMarked(int index) const { return Entry(index).Selected; }

void TZipReader::SetEntryMarked(int index, bool value) {
  CheckNotBusy();
  SetMark(Entry(index), value);
}

void TZipReader::SetMark(TZipHeaderInfo& entry, bool marked) {
  if (entry.Selected == marked) return;
  entry.Selected = marked;
  markedCount_ += marked ? 1 : -1;
}

std::string TZipReader::EntryComment(int index) const { return Entry(index).Comment(); }

void TZipReader::SetEntryComment(int index, const std::string& value) {
  CheckNotBusy();
  TZipHeaderInfo& entry = Entry(index);
  if (entry.Comment() == value) return;
  entry.SetComment(value);
  endCentral_.CommentsChanged = true;
}

std::string TZipReader::ArchiveComment() const { return endCentral_.Comment(); }

void TZipReader::SetArchiveComment(const std::string& value) {
  CheckNotBusy();
  if (endCentral_.Comment() == value) return;
  endCentral_.SetComment(value);
  endCentral_.CommentsChanged = true;
}

// ---- operations

void TZipReader::ClearArchive() {
  CheckNotBusy();
  ResetArchive();
}

void TZipReader::ResetArchive() {
  archiveStream_.reset();
  currentPart_ = 0;
  DropDirectory();
  endCentral_.Reset();
  merging_ = false;
  archiveDate_ = 0;
  diskCount_ = 1;
  SetMultiMode(TMultiMode::mmNone);
  zipName_.clear();
}

void TZipReader::DropDirectory() {
  separateView_.reset();
  archiveOrder_.reset();
  markedCount_ = 0;
}

std::unique_ptr<TZipHeaderInfo> TZipReader::NewEntry() const {
  auto entry = std::make_unique<TZipHeaderInfo>();
  entry->SetOEMConvert(oemConvert_);
  return entry;
}

int TZipReader::ExtractMatching() { return Extract(false); }

int TZipReader::ExtractMarked() { return Extract(true); }

int TZipReader::Extract(bool markedOnly) {
  TBusyScope busy(*this);
  ClearCancel();
  int good = 0;
  try {
    ReadDirectory();
    OpenArchive();
    good = RunExtraction(*this, markedOnly);
  } catch (...) {
    CloseArchive();
    ClearCancel();
    throw;
  }
  CloseArchive();
  ClearCancel();
  return good;
}

// ---- busy and cancel

TZipReader::TBusyScope::TBusyScope(TZipReader& reader) : reader_(reader) {
  reader_.CheckNotBusy();
  reader_.busy_ = true;
}

TZipReader::TBusyScope::~TBusyScope() { reader_.busy_ = false; }

void TZipReader::CheckNotBusy() const {
  if (busy_) throw EZipBusy(LoadZipString(kMsgComponentBusy));
}

void TZipReader::CheckCancel() {
  if (doProcessMessages_) ProcessMessages();
  if (!cancel_) return;
  cancel_ = false;
  throw EUserCanceled(LoadZipString(kMsgUserAborted));
}

}  // namespace zip
