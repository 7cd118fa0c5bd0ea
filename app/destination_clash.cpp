#include "app/destination_clash.h"

#include <windows.h>

#include <algorithm>
#include <exception>
#include <vector>

#include "app/archive_names.h"
#include "app/generations.h"
#include "classlib/text.h"
#include "classlib/wide.h"
#include "zip/path_strings.h"

namespace app {
namespace {

// The most generations whose names are looked at; the wizard offers no more.
constexpr int kMostGenerations = 999;

// The ".zip" names of def's archives in its folder: full and partial, each generation. Parts have
// the same stems, so the stems stand for them.
std::vector<std::string> ArchiveFiles(const BackupDefinition& def) {
  std::vector<std::string> files;
  const int generations = std::min(GenerationsOf(def), kMostGenerations);
  for (bool partial : {false, true}) {
    const std::string name = ArchiveName(def, partial, 0);
    if (generations < 2) files.push_back(name);
    for (int k = 1; generations >= 2 && k <= generations; ++k) files.push_back(GenerationFileName(WithoutZipExtension(name), k));
  }
  return files;
}

// Whether a run of def creates, renames or deletes files of that stem: its archives and their
// parts, its generations, and its names aside. (The names it gives older files while it replaces
// them end in "~alt", and the list of its renames is its name aside with "~plan": no archive name
// ends so.)
bool Touches(const BackupDefinition& def, const std::string& stem) {
  if (IsRunArchiveStem(def, stem) || IsKeptArchiveStem(def, stem)) return true;
  const std::string aside = AsideArchiveStem(stem + ".zip");
  return !aside.empty() && IsRunArchiveStem(def, aside);
}

// A file name of other's archives that a run of def touches. Time names are endless, so the side
// with fixed names is counted out.
std::optional<std::string> ClashingFile(const BackupDefinition& def, const BackupDefinition& other) {
  if (!other.UseDateTime) {
    for (const std::string& file : ArchiveFiles(other))
      if (Touches(def, WithoutZipExtension(file))) return file;
  } else if (!def.UseDateTime) {
    for (const std::string& file : ArchiveFiles(def))
      if (IsRunArchiveStem(other, WithoutZipExtension(file))) return file;
  }
  return std::nullopt;
}

// The folder's full long path with a trailing "\"; empty when it has none.
std::wstring NormalFolder(const std::string& folder) {
  if (folder.empty()) return {};
  const std::wstring given = classlib::Widen(zip::WithTrailingBackslash(folder));
  std::wstring full(GetFullPathNameW(given.c_str(), 0, nullptr, nullptr), L'\0');
  if (full.empty()) return {};
  full.resize(GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr));
  std::wstring longPath(GetLongPathNameW(full.c_str(), nullptr, 0), L'\0');
  if (!longPath.empty()) {
    longPath.resize(GetLongPathNameW(full.c_str(), &longPath[0], static_cast<DWORD>(longPath.size())));
    if (!longPath.empty()) full = longPath;
  }
  if (full.back() != L'\\') full += L'\\';
  return full;
}

}  // namespace

std::optional<DestinationClash> FindDestinationClash(const BackupDefinition& def, const std::string& folder,
                                                     const std::string& editedName) {
  for (const std::string& name : ListBackupDefinitions()) {
    if (classlib::SameTextAscii(name, def.Title) || (!editedName.empty() && classlib::SameTextAscii(name, editedName)))
      continue;
    std::optional<BackupDefinition> other;
    try {
      other = ReadBackupDefinition(name);
    } catch (const std::exception&) {
      continue;
    }
    // A burning definition keeps its archives only while it burns them, away from any destination.
    if (!other || (other->Recording && !other->RecDrive.empty()) || !SameFolder(other->Create, folder)) continue;
    if (const std::optional<std::string> file = ClashingFile(def, *other)) return DestinationClash{name, *file};
  }
  return std::nullopt;
}

std::string RunClashText(const DestinationClash& clash, const std::string& folder) {
  return "Das Backup \"" + clash.Other + "\" sichert ebenfalls in das Verzeichnis \"" + folder +
         "\". Diese Sicherung würde seine Datei \"" + clash.File +
         "\" umbenennen, ersetzen oder löschen. Bitte ändern Sie die Bezeichnung oder die Anzahl der "
         "Backup-Instanzen eines der beiden Backups.";
}

std::string WizardClashText(const DestinationClash& clash) {
  return "Das Backup \"" + clash.Other + "\" sichert in dasselbe Verzeichnis. Mit dieser Bezeichnung und Anzahl der "
         "Backup-Instanzen würden beide Backups die Datei \"" + clash.File +
         "\" verwenden, und eines würde die Sicherungen des anderen überschreiben oder löschen. Bitte wählen Sie eine "
         "andere Bezeichnung oder Anzahl der Backup-Instanzen.";
}

bool SameFolder(const std::string& a, const std::string& b) {
  const std::wstring first = NormalFolder(a), second = NormalFolder(b);
  return !first.empty() && !second.empty() &&
         CompareStringOrdinal(first.c_str(), -1, second.c_str(), -1, TRUE) == CSTR_EQUAL;
}

}  // namespace app
