#include "app/config_export.h"

#include <windows.h>

#include "app/backup_definition.h"
#include "app/definition_name.h"
#include "app/file_helpers.h"
#include "app/program_paths.h"
#include "classlib/wide.h"
#include "zip/path_strings.h"

namespace app {

const char kConfigurationKey[] = "HKEY_CURRENT_USER\\Software\\Norvex\\Orvanta";

namespace {

// The registry editor gets this long to write the file.
constexpr DWORD kExportTimeLimit = 120000;

std::wstring RegistryEditor() {
  wchar_t windows[MAX_PATH];
  const UINT n = GetWindowsDirectoryW(windows, MAX_PATH);
  std::wstring folder = n > 0 && n < MAX_PATH ? windows : L"C:\\Windows";
  if (folder.back() != L'\\') folder += L'\\';
  return folder + L"regedit.exe";
}

// Runs the registry editor's export and waits for its end; true when it ended in time.
bool RunExport(const std::string& key, const std::string& file) {
  const std::wstring editor = RegistryEditor();
  std::wstring command =
      L"\"" + editor + L"\" /E \"" + classlib::Widen(file) + L"\" \"" + classlib::Widen(key) + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(editor.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  const bool ended = WaitForSingleObject(process.hProcess, kExportTimeLimit) == WAIT_OBJECT_0;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return ended;
}

}  // namespace

std::string ConfigurationFile() { return zip::ChangeFileExt(ProgramFile(), ".reg"); }

bool ExportConfiguration(const std::string& key, const std::string& target) {
  const std::string fresh = target + ".neu";
  const std::wstring freshW = classlib::Widen(ExtendedLengthPath(fresh));
  DeleteFileW(freshW.c_str());
  // Only a file the editor wrote now counts; an empty one says the key was not there.
  const bool written = RunExport(key, fresh) && GetFileSize64(fresh) > 0;
  if (written && MoveFileExW(freshW.c_str(), classlib::Widen(ExtendedLengthPath(target)).c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  DeleteFileW(freshW.c_str());
  return false;
}

std::string ExportedText(const std::string& target) {
  return "Die Konfiguration von Orvanta wurde gesichert:\r\r" + target + "\r\r" +
         "Um die Konfiguration auf einem anderen System zu laden," + "\r" +
         "doppelklicken Sie bitte auf die soeben erstellte Reg-Datei.";
}

std::string BrokenNamesNote() {
  std::string names;
  for (const std::string& name : ListBackupDefinitions())
    if (!DefinitionNameProblem(name).empty()) names += (names.empty() ? "\"" : ", \"") + name + "\"";
  if (names.empty()) return {};
  return "\r\rDiese Backups haben eine ungültige Bezeichnung und werden nicht durchgeführt, bis Sie sie umbenennen: " +
         names + ".";
}

std::string ExportFailedText(const std::string& target) {
  return "Die Konfiguration von Orvanta konnte nicht gesichert werden:\r\r" + target + "\r\r" +
         "Bitte prüfen Sie, ob das Programmverzeichnis beschreibbar ist.";
}

}  // namespace app
