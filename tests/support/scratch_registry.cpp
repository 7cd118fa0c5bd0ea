#include "tests/support/scratch_registry.h"

#include <cstdio>
#include <stdexcept>

#include "classlib/wide.h"
#include "tests/support/temp_dir.h"

namespace testing_support {

ScratchRegistry::ScratchRegistry() {
  static unsigned counter = 0;
  std::swprintf(name_, 96, L"Software\\OrvantaTestScratch\\%lu-%u", GetCurrentProcessId(), counter++);
  if (RegCreateKeyExW(HKEY_CURRENT_USER, name_, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr) !=
          ERROR_SUCCESS ||
      RegOverridePredefKey(HKEY_CURRENT_USER, key_) != ERROR_SUCCESS)
    throw std::runtime_error("cannot set up the scratch registry");
}

ScratchRegistry::~ScratchRegistry() {
  RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  RegCloseKey(key_);
  RegDeleteTreeW(HKEY_CURRENT_USER, name_);
}

std::string ScratchRegistry::Place() const { return "HKEY_CURRENT_USER\\" + classlib::Narrow(name_); }

std::string ScratchRegistry::Dump(const std::string& key) const {
  TempDir dir;
  const std::wstring output = classlib::Widen(dir / "reg.txt");
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE file = CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  const std::wstring place = std::wstring(L"HKEY_CURRENT_USER\\") + name_;
  std::wstring command = L"reg.exe query \"" + place + L"\\" + classlib::Widen(key) + L"\" /s";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = file;
  startup.hStdError = file;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process = {};
  const bool started = CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                      nullptr, &startup, &process);
  CloseHandle(file);
  if (!started) return {};
  WaitForSingleObject(process.hProcess, 60000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  // reg writes the console's code page when its output is a file.
  std::string text = classlib::FromCodePage(ReadFile(dir / "reg.txt"), GetOEMCP());
  const std::string from = classlib::Narrow(place), to = "HKEY_CURRENT_USER";
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

}  // namespace testing_support
