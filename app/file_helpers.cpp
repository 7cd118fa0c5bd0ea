#include "app/file_helpers.h"

#include <windows.h>

#include "app/program_paths.h"
#include "classlib/wide.h"
#include "zip/fs_helpers.h"

namespace app {

std::string LogFileName(const std::string& name) {
  const std::string folder = ProgramFolder() + "Logs\\";
  zip::ForceDirectories(folder);
  return folder + name;
}

std::string SetThousand(const std::string& digits) {
  const std::size_t sign = !digits.empty() && digits[0] == '-' ? 1 : 0;
  std::string out = digits;
  for (std::size_t at = digits.size(); at > sign + 3; at -= 3) out.insert(at - 3, 1, '.');
  return out;
}

std::int64_t GetFileSize64(const std::string& path) {
  WIN32_FIND_DATAW found;
  const HANDLE h = FindFirstFileW(classlib::Widen(ExtendedLengthPath(path)).c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return -1;
  std::int64_t size = -1;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
      size = static_cast<std::int64_t>(found.nFileSizeHigh) << 32 | found.nFileSizeLow;
  } while (size < 0 && FindNextFileW(h, &found));
  FindClose(h);
  return size;
}

double GetFileSizeKB(const std::string& path) {
  const std::int64_t bytes = GetFileSize64(path);
  if (bytes < 0) return -1;
  return static_cast<double>(bytes < 1024 ? 1 : bytes / 1024);
}

bool FolderIsWritable(const std::string& folder) {
  wchar_t probe[MAX_PATH];
  if (folder.empty() || GetTempFileNameW(classlib::Widen(folder).c_str(), L"orv", 0, probe) == 0) return false;
  DeleteFileW(probe);
  return true;
}

std::string ExtendedLengthPath(const std::string& path) {
  // CreateDirectory stops 12 characters short of MAX_PATH, so folders need the form earlier.
  if (classlib::Widen(path).size() < MAX_PATH - 12 || path.find('/') != std::string::npos) return path;
  const bool drive = path.size() >= 3 && path[1] == ':' && path[2] == '\\';
  if (drive) return "\\\\?\\" + path;
  const bool network = path.size() > 2 && path[0] == '\\' && path[1] == '\\' && path[2] != '?' && path[2] != '.';
  return network ? "\\\\?\\UNC\\" + path.substr(2) : path;
}

std::wstring PathKey(const std::string& path) {
  std::wstring key = classlib::Widen(path);
  if (!key.empty()) CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
  return key;
}

}  // namespace app
