#include "app/single_backup_name.h"

#include <cstring>
#include <cwchar>

#include "app/archive_names.h"
#include "zip/entry_paths.h"

namespace app {

namespace {

const char kForbidden[] = "\\/:*?\"<>|";

}  // namespace

const char kNoNameText[] = "Bitte geben Sie eine Bezeichnung für das Backup ein.";

std::string DeviceNameProblem(const std::string& name) {
  const std::string base = name.substr(0, name.find('.'));
  if (!zip::IsDeviceName(base)) return {};
  return "\"" + base + "\" ist ein Gerätename von Windows und kann nicht als Bezeichnung des Backups verwendet werden.";
}

std::string SingleBackupFileName(const std::string& typed) {
  return HasZipExtension(typed) ? typed : typed + ".zip";
}

std::string FileNameProblem(const std::string& name) {
  const std::string stem = WithoutZipExtension(name);
  if (stem.find_first_not_of(' ') == std::string::npos) return kNoNameText;
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
      return "Die Bezeichnung des Backups darf keine Steuerzeichen enthalten.";
    if (std::strchr(kForbidden, c))
      return "Die Bezeichnung des Backups darf keines der Zeichen \\ / : * ? \" < > | enthalten.";
  }
  return DeviceNameProblem(name);
}

bool IsRefusedNameKey(wchar_t key) {
  return key != 0 && (std::wcschr(L"\\/:*?\"<>|~", key) != nullptr);
}

}  // namespace app
