#include "app/program_settings.h"

#include <windows.h>

#include <algorithm>

#include "classlib/exceptions.h"
#include "classlib/registry.h"
#include "classlib/wide.h"

namespace app {

const char kProgramKey[] = "\\Software\\Norvex\\Orvanta";
const char kBackupsKey[] = "\\Software\\Norvex\\Orvanta\\Backups";

namespace {

bool BoolOr(const classlib::TRegistry& reg, const char* name, bool fallback) {
  return reg.ValueExists(name) ? reg.ReadBool(name) : fallback;
}

classlib::TRegistry& OpenProgramKey(classlib::TRegistry& reg) {
  if (!reg.OpenKey(kProgramKey, true))
    throw classlib::ERegistryException("Der Registrierungsschlüssel des Programms kann nicht geöffnet werden.");
  return reg;
}

}  // namespace

std::string ExpandedFolderText(const std::string& text) {
  const std::wstring wide = classlib::Widen(text);
  const DWORD size = ExpandEnvironmentStringsW(wide.c_str(), nullptr, 0);
  std::wstring expanded(size, L'\0');
  const DWORD n = size > 0 ? ExpandEnvironmentStringsW(wide.c_str(), &expanded[0], size) : 0;
  expanded = n > 0 && n <= size ? expanded.substr(0, n - 1) : wide;
  const auto blank = [](wchar_t c) { return c <= L' '; };
  const auto first = std::find_if_not(expanded.begin(), expanded.end(), blank);
  const auto last = std::find_if_not(expanded.rbegin(), expanded.rend(), blank).base();
  return first < last ? classlib::Narrow(std::wstring(first, last)) : std::string();
}

std::string DefaultTempFolder() {
  std::wstring folder = classlib::Widen(ExpandedFolderText("%TEMP%"));
  wchar_t longForm[MAX_PATH * 2];
  const DWORD m = GetLongPathNameW(folder.c_str(), longForm, MAX_PATH * 2);
  if (m > 0 && m < MAX_PATH * 2) folder = longForm;
  std::string result = classlib::Narrow(folder);
  if (result.empty() || result.back() != '\\') result += '\\';
  return result;
}

ProgramSettings ReadProgramSettings() {
  classlib::TRegistry reg;
  ProgramSettings s;
  if (reg.OpenKeyReadOnly(kProgramKey)) {
    s.Minimized = BoolOr(reg, setting::kMinimized, s.Minimized);
    s.PreventErrors = BoolOr(reg, setting::kPreventErrors, s.PreventErrors);
    s.AnimatedIcon = BoolOr(reg, setting::kAnimatedIcon, s.AnimatedIcon);
    s.AutoUpdate = BoolOr(reg, setting::kAutoUpdate, s.AutoUpdate);
    s.Logfile = BoolOr(reg, setting::kLogfile, s.Logfile);
    s.Temp = reg.ReadString(setting::kTemp);
    if (reg.ValueExists(setting::kCompressRatio)) s.CompressRatio = reg.ReadInteger(setting::kCompressRatio);
    s.ExpertMode = BoolOr(reg, setting::kExpertMode, s.ExpertMode);
  }
  // An empty folder would put temporary files wherever the program happens to run.
  if (s.Temp.empty()) s.Temp = DefaultTempFolder();
  return s;
}

void WriteBoolSetting(const char* name, bool value) {
  classlib::TRegistry reg;
  OpenProgramKey(reg).WriteBool(name, value);
}

void WriteIntegerSetting(const char* name, int value) {
  classlib::TRegistry reg;
  OpenProgramKey(reg).WriteInteger(name, value);
}

void WriteStringSetting(const char* name, const std::string& value) {
  classlib::TRegistry reg;
  OpenProgramKey(reg).WriteString(name, value);
}

}  // namespace app
