#include "app/program_paths.h"

#include <windows.h>

#include <vector>

#include "classlib/wide.h"
#include "zip/path_strings.h"

namespace app {
namespace {

std::string& TestProgramFile() {
  static std::string path;
  return path;
}

std::string ModuleFile() {
  // A program installed below a deep folder has a path longer than MAX_PATH.
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n < buffer.size()) return classlib::Narrow(buffer.data(), n);
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

std::string ProgramFile() { return TestProgramFile().empty() ? ModuleFile() : TestProgramFile(); }

std::string ProgramFolder() { return zip::ExtractFilePath(ProgramFile()); }

void SetProgramFileForTesting(const std::string& path) { TestProgramFile() = path; }

}  // namespace app
