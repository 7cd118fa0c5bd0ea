#include "app/command_line.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>

#include "app/file_helpers.h"
#include "classlib/wide.h"

#ifdef GetLongPathName
#undef GetLongPathName
#endif

namespace app {

const char kStartSwitch[] = "/start";

namespace {

constexpr auto npos = std::string::npos;
constexpr char kBlanks[] = " \t";

bool StartsWith(const std::string& s, const char* prefix) { return s.compare(0, std::strlen(prefix), prefix) == 0; }

std::string FullPathName(const std::string& path) {
  const std::wstring wide = classlib::Widen(path);
  const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return {};
  std::wstring full(needed, L'\0');
  const DWORD length = GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return {};
  full.resize(length);
  return classlib::Narrow(full);
}

// What FindFirstFile would expand; past a "\\?\" prefix, whose "?" is none.
bool HasWildcard(const std::string& path) {
  return path.find_first_of("*?<>\"", StartsWith(path, "\\\\?\\") ? 4 : 0) != npos;
}

// The part of a full path that no lookup names: "C:\", "\\server\share\" or their "\\?\" forms.
// npos when the path is no more than that.
std::size_t RootLength(const std::string& full) {
  std::size_t at = 0;
  bool network = false;
  if (StartsWith(full, "\\\\?\\UNC\\")) {
    at = 8;
    network = true;
  } else if (StartsWith(full, "\\\\?\\") || StartsWith(full, "\\\\.\\")) {
    at = 4;
  } else if (StartsWith(full, "\\\\")) {
    at = 2;
    network = true;
  }
  if (!network) return full.size() > at + 2 && full[at + 1] == ':' && full[at + 2] == '\\' ? at + 3 : npos;
  const std::size_t server = full.find('\\', at);
  const std::size_t share = server == npos ? npos : full.find('\\', server + 1);
  return share == npos ? npos : share + 1;
}

// A shell quotes an argument with blanks; a definition's name never holds a quote (it names a file).
std::string Unquoted(const std::string& name) {
  return name.size() >= 2 && name.front() == '"' && name.back() == '"' ? name.substr(1, name.size() - 2) : name;
}

bool IsFullPathStart(const std::string& s) {
  const auto slash = [](char c) { return c == '\\' || c == '/'; };
  return s.size() > 2 && ((slash(s[0]) && slash(s[1])) || (s[1] == ':' && slash(s[2])));
}

bool NamesSomething(const std::string& path) {
  if (HasWildcard(path)) return false;
  const std::string full = FullPathName(path);
  return !full.empty() &&
         GetFileAttributesW(classlib::Widen(ExtendedLengthPath(full)).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

std::string ProgramCommandLine() { return classlib::Narrow(GetCommandLineW()); }

std::vector<std::string> CommandLineArguments(const std::string& commandLine) {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(classlib::Widen(commandLine).c_str(), &count);
  if (!arguments) return {};
  std::vector<std::string> result;
  for (int i = 0; i < count; ++i) result.push_back(classlib::Narrow(arguments[i]));
  LocalFree(arguments);
  return result;
}

bool HasStartSwitch(const std::string& commandLine) {
  const std::vector<std::string> arguments = CommandLineArguments(commandLine);
  return arguments.size() > 1 && arguments[1] == kStartSwitch;
}

std::string StartSwitchName(const std::string& commandLine) {
  if (!HasStartSwitch(commandLine)) return {};
  // The program's name ends at its closing quote, or else at the first blank.
  std::size_t at = StartsWith(commandLine, "\"") ? commandLine.find('"', 1) : commandLine.find_first_of(kBlanks);
  if (at != npos) at = commandLine.find_first_not_of(kBlanks, at + 1);
  if (at == npos) return {};
  const std::string quoted = std::string("\"") + kStartSwitch + "\"";
  for (const std::string& form : {std::string(kStartSwitch), quoted}) {
    if (commandLine.compare(at, form.size(), form) != 0) continue;
    const std::size_t name = at + form.size() + 1;
    return name < commandLine.size() ? Unquoted(commandLine.substr(name)) : std::string();
  }
  return {};
}

void GetFileNamesFromCommandLine(classlib::TStringList& list, const std::string& commandLine) {
  list.Clear();
  const std::vector<std::string> arguments = CommandLineArguments(commandLine);
  std::string pending;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    // A fragment of a name split at a blank never starts like a full path, so such an argument
    // begins a new name instead of hiding behind an earlier one that named nothing.
    pending = pending.empty() || IsFullPathStart(arguments[i]) ? arguments[i] : pending + " " + arguments[i];
    if (NamesSomething(pending)) {
      list.Add(GetLongPathName(pending));
      pending.clear();
    } else if (FullPathName(pending) != pending) {
      pending.clear();
    }
  }
}

std::string GetLongPathName(const std::string& path) {
  const std::string full = FullPathName(path);
  const std::size_t root = RootLength(full);
  if (root == npos) return full.empty() ? path : full;
  std::string result = full.substr(0, root);
  for (std::size_t at = root; at < full.size();) {
    const std::size_t end = std::min(full.find('\\', at), full.size());
    const std::string component = full.substr(at, end - at);
    WIN32_FIND_DATAW found;
    const HANDLE search = component.empty() || HasWildcard(component)
                              ? INVALID_HANDLE_VALUE
                              : FindFirstFileW(classlib::Widen(ExtendedLengthPath(result + component)).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return result + full.substr(at);
    FindClose(search);
    result += classlib::Narrow(found.cFileName);
    if (end < full.size()) result += '\\';
    at = end + 1;
  }
  return result;
}

}  // namespace app
