#include "app/wizards/instant_definition.h"

#include <windows.h>

#include <exception>

#include "app/cd_devices.h"
#include "app/destination_clash.h"
#include "app/file_state_list.h"
#include "app/schedule.h"
#include "app/single_backup_name.h"
#include "app/wizards/instant_pages.h"
#include "classlib/exceptions.h"
#include "classlib/text.h"
#include "classlib/wide.h"
#include "zip/fs.h"

namespace app {

const char kNameClashText[] = "Es existiert bereits ein Backup mit dieser Bezeichnung!";
const char kChooseFolderText[] =
    "Bitte wählen Sie ein Verzeichnis aus, das gesichert werden soll.\r\rNur Verzeichnisse auf einem Laufwerk oder "
    "im Netzwerk können gesichert werden.";

namespace {

std::string SourceProblem(const BackupDefinition& def) {
  switch (def.Option) {
    case BackupOption::Files:
      return def.FileList.empty() ? "Bitte wählen Sie mindestens eine Datei aus, die gesichert werden soll." : "";
    case BackupOption::Folders: return IsRealFolder(def.Folder) ? "" : kChooseFolderText;
    case BackupOption::Extended:
      return def.FolderList.empty() ? "Bitte fügen Sie mindestens ein Verzeichnis hinzu, das gesichert werden soll."
                                    : "";
  }
  return {};
}

std::string DestinationProblem(const BackupDefinition& def) {
  if (def.Recording)
    return def.RecDrive == kNoCDWriter ? "Es ist kein CD-Recorder verfügbar. Bitte wählen Sie ein Verzeichnis als "
                                         "Zielort des Backups."
                                       : "";
  return IsRealFolder(def.Create)
             ? ""
             : "Bitte wählen Sie ein Verzeichnis als Zielort des Backups aus.\r\r"
               "Nur Verzeichnisse auf einem Laufwerk oder im Netzwerk können ein Backup aufnehmen.";
}

// The new definition's state file: the old name's when renamed, else none.
std::string MoveStateFile(const std::string& from, const std::string& to) {
  const std::string target = StateFileName(to);
  // A name that breaks the rule has no state file of its own: its file name may lie elsewhere.
  if (!from.empty() && DefinitionNameProblem(from).empty()) {
    const std::string source = StateFileName(from);
    if (zip::fs::FileExists(source)) {
      if (MoveFileExW(classlib::Widen(source).c_str(), classlib::Widen(target).c_str(), MOVEFILE_REPLACE_EXISTING))
        return {};
      zip::fs::Delete(target);
      return "Die Datei \"" + source + "\" mit den Dateidaten der letzten Vollsicherung konnte nicht " +
             "umbenannt werden. Das Backup \"" + to + "\" beginnt ohne sie.";
    }
  }
  if (!zip::fs::FileExists(target) || zip::fs::Delete(target)) return {};
  return "Die Datei \"" + target + "\" eines früheren Backups gleichen Namens konnte nicht gelöscht werden. " +
         "Bitte löschen Sie sie, bevor das Backup \"" + to + "\" zum ersten Mal durchgeführt wird.";
}

}  // namespace

bool NameClashes(const std::string& name, const std::string& editedName) {
  if (!editedName.empty() && classlib::SameTextAscii(name, editedName)) return false;
  const classlib::TStringList names = ListBackupDefinitions();
  for (int i = 0; i < names.Count(); ++i)
    if (classlib::SameTextAscii(names[i], name)) return true;
  return false;
}

std::string TimeProblem(const std::string& time) {
  return TimeOfDayMinutes(time) ? ""
                                : "Bitte geben Sie eine gültige Uhrzeit ein: Stunden von 00 bis 23, Minuten von 00 "
                                  "bis 59.";
}

std::string WeekdayWarning(const BackupDefinition& def) {
  for (bool day : def.Weekdays)
    if (day) return {};
  if (def.TimeEnabled)
    return "Es ist kein Wochentag ausgewählt: Das Backup wird deshalb nie zur angegebenen Uhrzeit durchgeführt.";
  if (def.IntEnabled) return "Es ist kein Wochentag ausgewählt: Das Backup wird deshalb nie automatisch durchgeführt.";
  return {};
}

std::string PasswordProblem(const std::string& password) {
  if (classlib::DecodeUtf8(password).size() > kPasswordLength)
    return "Das Passwort darf höchstens 30 Zeichen lang sein.";
  std::string ansi;
  if (!classlib::TryToCodePage(password, CP_ACP, ansi))
    return "Das Passwort enthält Zeichen, die Windows hier nicht darstellen kann. Bitte verwenden Sie nur Buchstaben, "
           "Ziffern und die Zeichen der Tastatur.";
  return {};
}

bool IsRealFolder(const std::string& path) { return !path.empty() && path != "\\" && zip::fs::DirectoryExists(path); }

std::string PageProblem(const BackupDefinition& def, int page) {
  switch (page) {
    case kSourcePage: return SourceProblem(def);
    case kSchedulePage: return TimeProblem(def.Time);
    case kPasswordPage:
      if (def.Password.empty())
        return def.UsePassword ? "Bitte geben Sie ein Passwort ein, oder verwenden Sie keinen Passwort-Schutz." : "";
      return PasswordProblem(def.Password);
    case kDestinationPage: return DestinationProblem(def);
    case kNamePage: return DefinitionNameProblem(def.Title);
    default: return {};
  }
}

SaveProblem CheckDefinition(const BackupDefinition& def, const std::string& editedName) {
  for (int page : {kSourcePage, kSchedulePage, kPasswordPage, kDestinationPage, kNamePage}) {
    std::string problem = PageProblem(def, page);
    if (!problem.empty()) return {page, problem};
  }
  if (NameClashes(def.Title, editedName)) return {kNamePage, kNameClashText};
  if (!def.Recording)
    if (const std::optional<DestinationClash> clash = FindDestinationClash(def, def.Create, editedName))
      return {kNamePage, WizardClashText(*clash)};
  return {};
}

std::string SaveDefinition(const BackupDefinition& def, const std::string& editedName) {
  const std::string& name = def.Title;
  // The same key (registry names ignore letter case): written over, or put back as it was.
  if (!editedName.empty() && classlib::SameTextAscii(name, editedName)) {
    const StoredDefinitionCopy old(editedName);
    try {
      WriteBackupDefinition(def);
      // Only the letter case changed: the key takes the new name.
      if (name != editedName) StoredDefinitionCopy(editedName).Restore(name);
    } catch (...) {
      old.Restore(editedName);
      throw;
    }
    return {};
  }
  // The key removed again on failure must be this save's own.
  if (NameClashes(name, editedName)) throw classlib::ERegistryException(kNameClashText);
  try {
    WriteBackupDefinition(def);
    if (!editedName.empty()) StoredDefinitionCopy(editedName).RestoreResults(name);
  } catch (...) {
    DeleteBackupDefinition(name);
    throw;
  }
  const std::string warning = MoveStateFile(editedName, name);
  if (!editedName.empty()) DeleteBackupDefinition(editedName);
  return warning;
}

}  // namespace app
