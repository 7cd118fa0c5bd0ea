// The writing run: a new archive, or an existing one rewritten through a temporary file that
// replaces it only once complete. A failed run removes every file it created and nothing else.
#include "classlib/format.h"
#include "classlib/text.h"
#include "zip/fs.h"
#include "zip/fs_helpers.h"
#include "zip/messages.h"
#include "zip/path_strings.h"
#include "zip/writer_run_state.h"

namespace zip {
namespace {

std::string Trim(const std::string& s) {
  const std::size_t first = s.find_first_not_of(" \t");
  return first == std::string::npos ? std::string() : s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

}  // namespace

int TZipWriter::ArchiveFiles() {
  const int count = WriteArchive();
  if (OnZipComplete) OnZipComplete(count);
  return count;
}

int TZipWriter::WriteArchive() {
  ClearCancel();
  if (Trim(ZipName()).empty()) return 0;
  TBusyScope busy(*this);
  run_ = std::make_unique<TRunState>();
  int written = 0;
  try {
    written = RunWriting();
  } catch (...) {
    RemoveWrittenFiles();
    EndRun();
    throw;
  }
  EndRun();
  return written;
}

void TZipWriter::EndRun() {
  run_.reset();
  FilesList().Clear();
  foundFiles_.clear();
  ClearCancel();
  CloseArchive();
}

int TZipWriter::RunWriting() {
  auto& r = *run_;
  const bool split = MultiMode() != TMultiMode::mmNone;
  totalBytes_ = 0;
  doneBytes_ = 0;
  if (FilesList().Count() > 0) ExpandFileList();
  if (FilesList().Count() > kMaxEntries) RaiseTooLarge();

  if (split && multiZipInfo_.SaveZipInfoOnFirstDisk)
    r.firstDiskReserve = multiZipInfo_.SaveOnFirstDisk +
                         static_cast<std::int64_t>(FilesList().Count()) * (storePaths_ ? 83 : 58) +
                         endCentral_.CommentLength + 2070;
  else
    r.firstDiskReserve = multiZipInfo_.SaveOnFirstDisk;
  StartFirstPart();

  r.updating = !split && fs::FileExists(ZipName());
  if (r.updating) {
    StartUpdate();
  } else {
    OpenOutput(MultiMode() == TMultiMode::mmBlocks ? PartName(0) : ZipName());
  }

  if (FilesList().Count() > 0) {
    bool stopNow = false;
    if (OnStartZipInfo) OnStartZipInfo(FilesList().Count(), totalBytes_, r.endCentral, stopNow);
    if (stopNow) throw EUserCanceled(LoadZipString(kMsgCanceledZipOperation));
  }
  if (split) totalBytes_ *= 2;
  const int count = FilesList().Count();
  for (int i = 0; i < count; ++i) WriteNamedEntry(FilesList()[i]);

  WriteCentralDirectory();
  FinishRun();
  return r.written;
}

bool TZipWriter::WriteNamedEntry(const std::string& name) {
  auto header = NewEntry();
  if (!AddEntry(name, *header)) return false;
  ListWrittenEntry(std::move(header), name);
  return true;
}

void TZipWriter::ListWrittenEntry(std::unique_ptr<TZipHeaderInfo> entry, const std::string& name) {
  auto& r = *run_;
  if (r.endCentral.TotalEntries >= kMaxEntries) RaiseTooLarge();
  ++r.endCentral.EntriesOnThisDisk;
  ++r.endCentral.TotalEntries;
  ++r.written;
  r.byName[classlib::LowerAscii(entry->Path())] = entry.get();
  r.archiveOrder->Add(entry.get());
  entry.release();
  if (dispose_) r.disposeList.push_back(name);
}

void TZipWriter::StartUpdate() {
  auto& r = *run_;
  const TMultiMode mode = MultiMode();
  OpenArchive();
  if (DiskCount() > 1 || endCentral_.ThisDisk != 0) {
    // Reading the set switched the split mode; the writer's own setting stays.
    SetMultiMode(mode);
    throw EBadZipFile(LoadZipString(kMsgSplitNotUpdated));
  }
  const std::string temp = MakeTempFileName(TempDirectory());
  r.createdFiles.push_back(temp);
  OpenOutput(temp);
  MergeExistingEntries();
}

void TZipWriter::OpenOutput(const std::string& name) {
  auto& r = *run_;
  r.outputName = name;
  r.output = CreateOutput(name);
  if (r.createdFiles.empty() || r.createdFiles.back() != name) r.createdFiles.push_back(name);
  r.archiveOrder = std::make_unique<TSortedZip>(TDuplicates::Error);
  r.endCentral.Reset();
  if (r.updating || endCentral_.CommentsChanged) {
    // Carries the archive comment over.
    r.endCentral.Assign(endCentral_);
    r.endCentral.EntriesOnThisDisk = 0;
    r.endCentral.TotalEntries = 0;
    r.endCentral.CommentsChanged = false;
  }
}

void TZipWriter::WriteCentralDirectory() {
  auto& r = *run_;
  const bool split = MultiMode() != TMultiMode::mmNone;
  if (r.output->Position() > kLargestField) RaiseTooLarge();
  std::int64_t directoryOffset = r.output->Position();
  int directoryPart = r.part;
  std::int64_t directorySize = 0;
  std::int64_t partStart = directoryOffset;
  for (int i = 0; i < r.archiveOrder->Count(); ++i) {
    TZipHeaderInfo& entry = *r.archiveOrder->Items(i);
    const auto extra = r.keptExtras.find(&entry);
    const std::string extraField = extra == r.keptExtras.end() ? std::string() : extra->second;
    if (split && RoomLeft() < 46 + entry.FileNameLength + static_cast<std::int64_t>(extraField.size()) +
                                   entry.CommentLength) {
      directorySize += r.output->Position() - partStart;
      MakeRoomFor(entry.CentralSize());
      partStart = 0;
      if (i == 0) {
        directoryOffset = 0;
        directoryPart = r.part;
      }
    }
    // The installed directory must read as if loaded from this archive (a later update copies the
    // extra field from here).
    entry.CentralRecordOffset = static_cast<std::uint32_t>(r.output->Position());
    entry.SaveCentralToStream(*r.output, extraField);
  }
  directorySize += r.output->Position() - partStart;
  if (split && RoomLeft() < r.endCentral.RecordSize()) MakeRoomFor(r.endCentral.RecordSize());
  if (directorySize > kLargestField || r.output->Position() > kLargestField) RaiseTooLarge();
  r.endCentral.ThisDisk = static_cast<std::uint16_t>(r.part);
  r.endCentral.DirectoryDisk = static_cast<std::uint16_t>(directoryPart);
  r.endCentral.DirectoryOffset = static_cast<std::uint32_t>(directoryOffset);
  r.endCentral.DirectorySize = static_cast<std::uint32_t>(directorySize);
  r.endCentral.SaveEndCentral(*r.output);
  WriteDiskLabel();
}

void TZipWriter::FinishRun() {
  auto& r = *run_;
  CloseOutput();
  const std::string finalName = ZipName();
  archiveStream_.reset();
  if (MultiMode() == TMultiMode::mmBlocks) {
    if (r.part == 0) {
      if (!RenameWithBackup(PartName(0), finalName))
        throw classlib::EFCreateError(classlib::Format("Datei %s kann nicht erstellt werden", finalName.c_str()));
    } else {
      SetArchiveName(PartName(r.part));
    }
  }
  if (r.updating) ReplaceArchiveFile();
  // The archive is in place: from here on nothing of it is removed again.
  r.createdFiles.clear();
  DisposeSources();
  InstallDirectory(std::move(r.archiveOrder), r.endCentral);
  if (OnTotalPercentDone) OnTotalPercentDone(100);
  if (MultiMode() != TMultiMode::mmNone && multiZipInfo_.SaveZipInfoOnFirstDisk && endCentral_.ThisDisk != 0) {
    if (MultiMode() == TMultiMode::mmSpan) {
      SwitchDisk(1);
      archiveStream_.reset();
    }
    SaveZipConfigFile(ChangeFileExt(ZipName(), ".zfc"));
  }
}

void TZipWriter::ReplaceArchiveFile() {
  auto& r = *run_;
  if (RenameWithBackup(r.outputName, ZipName())) return;
  // Another drive: copy beside the archive first, so the old one is replaced in one step.
  const std::string sibling = MakeTempFileName(ExtractFilePath(ZipName()));
  r.createdFiles.push_back(sibling);
  {
    TLFNFileStream in(r.outputName, kFileBufferSize, false, fs::kOpenRead | fs::kShareDenyWrite);
    TLFNFileStream out(sibling, kFileBufferSize, true, fs::kCreate);
    out.CopyFrom(in, 0);
    out.Close();
  }
  if (!RenameWithBackup(sibling, ZipName()))
    throw classlib::EFCreateError(classlib::Format("Datei %s kann nicht erstellt werden", ZipName().c_str()));
  fs::Delete(r.outputName);
}

void TZipWriter::DisposeSources() {
  for (const std::string& name : run_->disposeList) {
    bool skip = false;
    if (OnDisposeFile) OnDisposeFile(name, skip);
    if (!skip) fs::Delete(name);
  }
}

void TZipWriter::RemoveWrittenFiles() {
  auto& r = *run_;
  r.output.reset();
  if (r.tempData) {
    r.tempData.reset();
    fs::Delete(r.tempDataName);
  }
  for (const std::string& name : r.createdFiles) fs::Delete(name);
}

}  // namespace zip
