#include "controls/panels/vis_system.h"

#include <lmcons.h>

#include <algorithm>
#include <cmath>

#include "classlib/wide.h"
#include "controls/panels/vis_utils.h"

namespace controls {

bool IsWinNT = false;

void DetectPlatform() {
  OSVERSIONINFOW info = {};
  info.dwOSVersionInfoSize = sizeof info;
  IsWinNT = GetVersionExW(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

int ColorDepth() {
  HDC dc = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
  if (!dc) return 0;
  const int depth = GetDeviceCaps(dc, PLANES) * GetDeviceCaps(dc, BITSPIXEL);
  DeleteDC(dc);
  return depth;
}

std::string CurrentUserName() {
  wchar_t name[UNLEN + 1];
  DWORD size = UNLEN + 1;
  if (!GetUserNameW(name, &size) || size == 0) return "(Unbekannt)";
  return classlib::Narrow(name, size - 1);
}

std::string ProgramFileName() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD got = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (got == 0) return {};
    if (got < path.size()) return classlib::Narrow(path.substr(0, got));
    path.resize(path.size() * 2);
  }
}

std::string AppPath() {
  const std::string path = ProgramFileName();
  return path.substr(0, path.find_last_of("\\/") + 1);
}

namespace {

template <typename Query>
std::string SystemFolder(Query query) {
  std::wstring folder(MAX_PATH, L'\0');
  UINT got = query(folder.data(), static_cast<UINT>(folder.size()));
  if (got >= folder.size()) {
    folder.resize(got);
    got = query(folder.data(), static_cast<UINT>(folder.size()));
  }
  folder.resize(got < folder.size() ? got : 0);
  return classlib::Narrow(folder);
}

}  // namespace

std::string SystemDirectory() { return SystemFolder(GetSystemDirectoryW); }

std::string WindowsDirectory() { return SystemFolder(GetWindowsDirectoryW); }

std::string CreatePathPrefix(TVisPathPrefix Prefix, bool Slash) {
  std::string folder;
  switch (Prefix) {
    case TVisPathPrefix::ppWindows: folder = WindowsDirectory(); break;
    case TVisPathPrefix::ppSystem: folder = SystemDirectory(); break;
    case TVisPathPrefix::ppProgram: folder = AppPath(); break;
    case TVisPathPrefix::ppFixed: return {};
  }
  return Slash ? AddBackslash(folder) : RemoveBackslash(folder);
}

void RectSize(const RECT& Rect, int& W, int& H) {
  W = Rect.right - Rect.left;
  H = Rect.bottom - Rect.top;
}

void FitRect(const RECT& Source, const RECT& Target, RECT& Result) {
  int sw, sh, tw, th;
  RectSize(Source, sw, sh);
  RectSize(Target, tw, th);
  int w = 0, h = 0;
  if (sw > 0 && sh > 0) {
    const double scale = std::min(static_cast<double>(tw) / sw, static_cast<double>(th) / sh);
    w = static_cast<int>(std::trunc(sw * scale));
    h = static_cast<int>(std::trunc(sh * scale));
  }
  Result = {Target.left, Target.top, Target.left + w, Target.top + h};
}

}  // namespace controls
