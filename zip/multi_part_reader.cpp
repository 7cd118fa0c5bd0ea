// Reading archives split into parts: numbered files of fixed size, or one file per removable disk
// known by its volume label. Every switch of part goes through SwitchDisk and OnGetNextDisk.
#include "classlib/format.h"
#include "classlib/prompt.h"
#include "zip/fs.h"
#include "zip/fs_helpers.h"
#include "zip/messages.h"
#include "zip/path_strings.h"
#include "zip/zip_exceptions.h"
#include "zip/zip_reader.h"

namespace zip {
namespace {

constexpr const char* kNoPartGiven = "User canceled loading new disk.";
constexpr std::size_t kVolumeLabelLength = 11;

// Parts as files and in labels: the 1-based number as three digits.
std::string PartNumber(int n) { return classlib::Format("%3.3d", n); }

}  // namespace

void TZipReader::DetectMultiMode() {
  TMultiMode mode = TMultiMode::mmNone;
  if (endCentral_.ThisDisk != 0) {
    const std::string root = LeftStr(zipName_, 3);
    const bool removable = root.size() > 1 && root[1] == ':' && fs::DriveTypeOf(root) == fs::DriveType::kRemovable;
    mode = removable ? TMultiMode::mmSpan : TMultiMode::mmBlocks;
  }
  SetMultiMode(mode);
}

THugeStream* TZipReader::SwitchDisk(int n) {
  if (n < 1 || n > DiskCount()) throw EBadZipFile(LoadZipString(kMsgNotAValidZip));
  archiveStream_.reset();
  std::string name = zipName_;
  for (;;) {
    if (OnGetNextDisk) {
      OnGetNextDisk(n, name);
    } else {
      name.clear();
    }
    if (name.empty()) throw EUserCanceled(kNoPartGiven);
    if (fs::FileExists(name) && (!CheckDiskLabels() || DiskLabelMatches(n))) break;
    // A handler that keeps naming a missing part can still be cancelled.
    CheckCancel();
  }
  OpenArchiveStream(name);
  currentPart_ = n - 1;
  archiveDate_ = FileDateTime(name);
  // Not through SetZipName, which would drop the directory being read.
  zipName_ = name;
  return archiveStream_.get();
}

THugeStream* TZipReader::NextPart() { return currentPart_ + 1 < DiskCount() ? SwitchDisk(currentPart_ + 2) : nullptr; }

bool TZipReader::DiskLabelMatches(int n) const {
  if (MultiMode() != TMultiMode::mmSpan) return true;
  const std::string label = LeftStr(GetVolumeLabel(LeftStr(zipName_, 3)), kVolumeLabelLength);
  return RightStr(label, 3) == PartNumber(n);
}

void TZipReader::AskForDisk(int nextDisk, std::string& fName) {
  if (MultiMode() != TMultiMode::mmSpan) {
    fName = ChangeFileExt(fName, "." + PartNumber(nextDisk));
    // Asking again would only find the same missing file.
    if (!fs::FileExists(fName)) fName.clear();
    return;
  }
  const classlib::MessageRequest request{
      LoadZipString(kMsgInsertDisk) + std::to_string(nextDisk) + LoadZipString(kMsgOfMultiDiskSet), "",
      classlib::PromptButtons::OkCancel};
  if (classlib::Prompts().Message(request) != classlib::PromptResult::Ok) fName.clear();
}

}  // namespace zip
