#include "update/file_version.h"

#include <windows.h>

#include <vector>

#include "classlib/wide.h"

namespace update {

bool GetFileVersion(const std::string& fileName, TFileVersion& version) {
  const std::wstring path = classlib::Widen(fileName);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return false;
  std::vector<BYTE> info(size);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!GetFileVersionInfoW(path.c_str(), 0, size, info.data()) ||
      !VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || length < sizeof *fixed) {
    return false;
  }
  version.Major = HIWORD(fixed->dwFileVersionMS);
  version.Minor = LOWORD(fixed->dwFileVersionMS);
  version.Release = HIWORD(fixed->dwFileVersionLS);
  version.Build = LOWORD(fixed->dwFileVersionLS);
  return true;
}

TFileVersion OwnFileVersion() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  TFileVersion version;
  GetFileVersion(classlib::Narrow(path), version);
  return version;
}

std::string VersionText(const TFileVersion& version) {
  return std::to_string(version.Major) + "." + std::to_string(version.Minor) + std::to_string(version.Release) +
         std::to_string(version.Build);
}

}  // namespace update
