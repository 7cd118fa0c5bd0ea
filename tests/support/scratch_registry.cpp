#include "tests/support/scratch_registry.h"

#include <cstdio>
#include <stdexcept>

#include "classlib/wide.h"
#include "tests/support/child_process.h"

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
  const std::wstring place = std::wstring(L"HKEY_CURRENT_USER\\") + name_;
  const std::wstring command = L"reg.exe query \"" + place + L"\\" + classlib::Widen(key) + L"\" /s";
  ChildRun run;
  // A machine under load has once let reg end without a word: one more try before failing.
  for (int attempt = 0; attempt < 2; ++attempt) {
    run = RunChild(command);
    if (run.Problem.empty() && run.Output.empty()) run.Problem = "reg.exe ended without output";
    if (run.Problem.empty()) break;
  }
  if (!run.Problem.empty()) throw std::runtime_error("reg query " + key + ", tried twice: " + run.Problem);
  // reg writes the console's code page when its output is a file.
  std::string text = classlib::FromCodePage(run.Output, GetOEMCP());
  const std::string from = classlib::Narrow(place), to = "HKEY_CURRENT_USER";
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

}  // namespace testing_support
