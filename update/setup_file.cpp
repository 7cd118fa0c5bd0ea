#include "update/setup_file.h"

#include <windows.h>

#include "classlib/text.h"
#include "classlib/wide.h"
#include "update/sha256.h"

namespace update {
namespace {

// Folders left behind by earlier runs are passed over, not reused.
constexpr int kFolderTries = 1000;

}  // namespace

TSetupFile::~TSetupFile() { Unlock(); }

bool TSetupFile::Prepare(const std::string& tempFolder) {
  Discard();
  std::string base = tempFolder;
  if (!base.empty() && base.back() != '\\') base += '\\';
  base += "Orvanta-Update-" + std::to_string(GetCurrentProcessId()) + "-";
  for (int i = 1; i <= kFolderTries; ++i) {
    const std::string folder = base + std::to_string(i);
    if (CreateDirectoryW(classlib::Widen(folder).c_str(), nullptr)) {
      folder_ = folder;
      fileName_ = folder + "\\" + kName;
      return true;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
  }
  return false;
}

bool TSetupFile::Verify(const std::string& digest) {
  Unlock();
  if (fileName_.empty() || digest.size() != 64) return false;
  // Readers may share it; nobody may write, rename or delete it while we hold it.
  HANDLE file = CreateFileW(classlib::Widen(fileName_).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  lock_ = file;
  std::string actual;
  if (FileSHA256(file, actual) && classlib::SameTextAscii(actual, digest)) return true;
  Unlock();
  return false;
}

void TSetupFile::Discard() {
  Unlock();
  if (!fileName_.empty()) DeleteFileW(classlib::Widen(fileName_).c_str());
  if (!folder_.empty()) RemoveDirectoryW(classlib::Widen(folder_).c_str());
  folder_.clear();
  fileName_.clear();
}

void TSetupFile::Release() {
  Unlock();
  folder_.clear();
  fileName_.clear();
}

void TSetupFile::Unlock() {
  if (lock_) CloseHandle(lock_);
  lock_ = nullptr;
}

}  // namespace update
