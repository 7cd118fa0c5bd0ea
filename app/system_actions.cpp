#include "app/system_actions.h"

#include <windows.h>
#include <wininet.h>

#include "classlib/wide.h"

namespace app {

bool MyExitWindows(unsigned flags) {
  HANDLE token = nullptr;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    TOKEN_PRIVILEGES privileges = {};
    if (LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
      privileges.PrivilegeCount = 1;
      privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
      AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    }
    CloseHandle(token);
  }
  return ExitWindowsEx(flags, 0) != FALSE;
}

bool ShellRunProgram(const std::string& program, const std::string& parameters) {
  const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", classlib::Widen(program).c_str(),
                                                              classlib::Widen(parameters).c_str(), nullptr,
                                                              SW_SHOWNORMAL));
  return result > 32;
}

bool ShellOpenFile(const std::string& file) { return ShellRunProgram(file, ""); }

bool InternetConnected() {
  DWORD flags = 0;
  return InternetGetConnectedState(&flags, 0) != FALSE;
}

SystemActions& System() {
  static SystemActions actions;
  return actions;
}

}  // namespace app
