// Split archives: numbered parts of fixed size or spanned disks, the room of each part, entry data
// copied across parts, disk labels and the ".zfc" copy of the directory.
#include <vector>

#include "classlib/format.h"
#include "classlib/prompt.h"
#include "zip/fs.h"
#include "zip/fs_helpers.h"
#include "zip/messages.h"
#include "zip/numbers.h"
#include "zip/path_strings.h"
#include "zip/writer_run_state.h"

namespace zip {
namespace {

// The reader and the application count parts in three digits.
constexpr int kMaxParts = 999;
constexpr std::int64_t kCopyPieceSize = 16384;

void ShowConfigFileError(int message) {
  classlib::Prompts().Message(classlib::MessageRequest{LoadZipString(message), LoadZipString(kMsgError)});
}

}  // namespace

std::string TZipWriter::PartName(int part) const {
  return ChangeFileExt(ZipName(), classlib::Format(".%3.3d", part + 1));
}

std::int64_t TZipWriter::RoomLeft() { return run_->room - run_->output->Position(); }

std::int64_t TZipWriter::FreeSpaceOf(const std::string& root) const { return fs::DiskFreeSpace(root); }

std::int64_t TZipWriter::TargetFreeSpace() const {
  const std::string& name = ZipName();
  const std::int64_t free = name.size() >= 2 && name[1] == ':' ? FreeSpaceOf(name.substr(0, 2) + "\\")
                                                              : FreeSpaceOf(ExtractFilePath(name));
  // Offsets within a part are 32-bit: a larger disk still takes no more than they reach.
  return Min64(free, kLargestField);
}

void TZipWriter::StartFirstPart() {
  auto& r = *run_;
  if (MultiMode() == TMultiMode::mmBlocks) {
    if (multiZipInfo_.FirstBlockSize <= 0 || multiZipInfo_.BlockSize <= 0)
      throw ENotEnoughRoom(LoadZipString(kMsgBadPartSize));
    r.room = multiZipInfo_.FirstBlockSize;
  } else if (MultiMode() == TMultiMode::mmSpan) {
    r.room = TargetFreeSpace() - r.firstDiskReserve;
    if (r.room <= 0) throw ENotEnoughRoom(LoadZipString(kMsgNotEnoughRoom));
  }
}

void TZipWriter::CloseOutput() {
  try {
    run_->output->Close();
  } catch (const classlib::EStreamError&) {
    throw ENotEnoughRoom(LoadZipString(kMsgNotEnoughRoom));
  }
}

void TZipWriter::NextVolume() {
  auto& r = *run_;
  if (MultiMode() == TMultiMode::mmNone) return;
  if (r.part + 1 >= kMaxParts) throw EZipTooLarge(LoadZipString(kMsgTooManyParts));
  CloseOutput();
  std::string name;
  if (MultiMode() == TMultiMode::mmBlocks) {
    ++r.part;
    name = PartName(r.part);
    r.room = multiZipInfo_.BlockSize;
  } else {
    WriteDiskLabel();
    name = r.outputName;
    if (OnGetNextDisk) {
      OnGetNextDisk(r.part + 2, name);
    } else {
      AskForDisk(r.part + 2, name);
    }
    if (name.empty()) throw EUserCanceled(LoadZipString(kMsgCanceledZipOperation));
    ++r.part;
    fs::Delete(name);
    if (OnPrepareNextDisk) OnPrepareNextDisk(r.part + 1);
    r.room = TargetFreeSpace();
  }
  r.outputName = name;
  r.output = CreateOutput(name);
  r.createdFiles.push_back(name);
  r.endCentral.EntriesOnThisDisk = 0;
}

void TZipWriter::MakeRoomFor(std::int64_t needed) {
  if (RoomLeft() >= needed) return;
  // A header that does not fit even an empty part would open parts without end.
  if (run_->output->Position() == 0) throw ENotEnoughRoom(LoadZipString(kMsgBadPartSize));
  NextVolume();
  if (RoomLeft() < needed) throw ENotEnoughRoom(LoadZipString(kMsgBadPartSize));
}

void TZipWriter::CopyAcrossVolumes(TBufferStream& data, std::uint32_t uncompressedSize) {
  auto& r = *run_;
  if (RoomLeft() <= 0) NextVolume();
  std::int64_t left = data.Size();
  const std::int64_t fileTotal = left + uncompressedSize;
  std::int64_t fileDone = uncompressedSize;
  totalBytes_ -= static_cast<std::int64_t>(uncompressedSize) - left;
  data.SetPosition(0);
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(kCopyPieceSize));
  while (left > 0) {
    const std::int64_t chunk = Min64(left, RoomLeft());
    if (chunk <= 0) throw ENotEnoughRoom(LoadZipString(kMsgNotEnoughRoom));
    for (std::int64_t copied = 0; copied < chunk;) {
      const std::int64_t piece = Min64(chunk - copied, kCopyPieceSize);
      data.ReadBuffer(buffer.data(), piece);
      if (r.output->Write(buffer.data(), piece) != piece) throw ENotEnoughRoom(LoadZipString(kMsgNotEnoughRoom));
      copied += piece;
      fileDone += piece;
      doneBytes_ += piece;
      if (OnFilePercentDone) OnFilePercentDone(Percent(fileDone, fileTotal));
      if (OnTotalPercentDone) OnTotalPercentDone(Percent(doneBytes_, totalBytes_));
      CheckCancel();
    }
    left -= chunk;
    if (left > 0 || RoomLeft() <= 0) NextVolume();
  }
}

void TZipWriter::WriteDiskLabel() {
  if (MultiMode() != TMultiMode::mmSpan || !multiZipInfo_.WriteDiskLabels || ZipName().empty()) return;
  const char drive = ZipName()[0];
  if (drive != 'A' && drive != 'a' && drive != 'B' && drive != 'b') return;
  SetVolumeLabel(std::string(1, drive) + ":\\", classlib::Format("PKBACK# %3.3d", run_->part + 1));
}

void TZipWriter::SaveZipConfigFile(const std::string& fileName) {
  std::unique_ptr<TLFNFileStream> file;
  try {
    file = std::make_unique<TLFNFileStream>(fileName, kFileBufferSize, FlushFilesOnClose(), fs::kCreate);
  } catch (const classlib::Exception&) {
    ShowConfigFileError(kMsgCreateZipConfig);
    return;
  }
  try {
    for (int i = 0; i < archiveOrder_->Count(); ++i) archiveOrder_->Items(i)->SaveCentralToStream(*file);
    endCentral_.SaveEndCentral(*file);
    file->Close();
  } catch (const classlib::Exception&) {
    ShowConfigFileError(kMsgSaveZipConfig);
  }
}

}  // namespace zip
