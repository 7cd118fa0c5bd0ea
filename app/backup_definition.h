// One instant backup as the registry keeps it: the key "Backups\<name>" with its values and the
// subkeys "Files" (one value per file) and "Folders" (folder path, 1 with subfolders, 0 without).
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "classlib/datetime.h"
#include "classlib/stringlist.h"

namespace app {

enum class BackupOption { Files, Folders, Extended };
enum class FileTypeFilter { AllFiles = 0, OnlyTypes = 1, AllButTypes = 2 };
enum class RecoverMode { RunAtOnce = 0, Skip = 1, Ask = 2 };
enum class SplitWhen { Always = 0, OnlyWhenBurning = 1 };
enum class AfterBackupAction { None = 0, ShutDown = 1, Restart = 2, OpenFile = 3 };

enum Weekday { kMonday, kTuesday, kWednesday, kThursday, kFriday, kSaturday, kSunday };

struct BackupFolder {
  std::string Path;
  bool Recursive = true;
  bool operator==(const BackupFolder& o) const { return Path == o.Path && Recursive == o.Recursive; }
};

struct BackupDefinition {
  std::string Title;  // the job name, also the key's name
  BackupOption Option = BackupOption::Folders;

  // Option Folders: one base folder; Folders and Extended: the type filter.
  std::string Folder;
  bool Subfolders = false;
  std::string Types;
  FileTypeFilter TypeFilter = FileTypeFilter::AllFiles;
  std::vector<std::string> FileList;      // Option Files
  std::vector<BackupFolder> FolderList;   // Option Extended; stored for Folders too, not run

  bool SizeEnabled = false;
  std::string MaxSize;

  std::string Create;  // destination folder with a trailing "\"
  int Instances = 1;
  bool UseDateTime = false;
  bool User = false;

  std::optional<bool> FullBackup;  // unset: the confirmation dialog keeps its previous choice
  bool NewOnly = false;
  bool PartBackupFull = true;
  bool PartBackupDate = false;
  bool PartBackupDays = false;
  classlib::TDateTime SinceDate = 0;
  int SinceDays = 0;

  bool IntEnabled = true;
  int Intervall = 0;
  bool TimeEnabled = false;
  std::string Time;
  std::array<bool, 7> Weekdays{{true, true, true, true, true, true, true}};
  std::optional<RecoverMode> Recover;  // unset: no catch-up
  classlib::TDateTime NextBackup = 0;

  bool UsePassword = false;
  std::string Password;  // in clear; scrambled only in the registry

  std::string SplitVar;
  std::optional<SplitWhen> SplitEver;  // unset: never split

  bool Recording = false;
  std::string RecDrive;
  std::string RecSpeed;
  bool CDRWDelete = false;
  bool CDRFinalize = false;
  bool CDRWFinalize = false;
  bool Eject = false;

  // Written by the backup run.
  std::optional<AfterBackupAction> AfterBackup;
  std::string AfterFile;
  std::string LastBackup;
  std::string BackupSize;
  std::string BackupFiles;

  std::string Definition;  // time of saving, as text
};

// What a completed run leaves for the information panel.
struct BackupResults {
  std::string LastBackup;
  std::string BackupSize;
  std::string BackupFiles;
};

// The names of the stored definitions, in the order the registry lists them.
classlib::TStringList ListBackupDefinitions();
bool BackupDefinitionExists(const std::string& name);
// Missing values take their stated defaults; a missing value without one raises
// ERegistryException "Ungültiger Datentyp für '<value>'". Unset when there is no such job.
std::optional<BackupDefinition> ReadBackupDefinition(const std::string& name);
// Every value the definition wizard writes, each read when it is stored (the Files or Folders list
// by Option); the others keep their value in base, the wizard's present state. Unset when there is
// no such job; a value stored with another type raises ERegistryException naming it.
std::optional<BackupDefinition> ReadBackupDefinitionForEditing(const std::string& name, const BackupDefinition& base);
// Writes what the definition wizard saves, under def.Title, in the wizard's order; a folder
// definition keeps both choices, the one folder and the extended list. Over an existing key the
// values of the other kind of definition (files or folders) go, and so do Recover and SplitEver
// when unset; the run's results stay.
void WriteBackupDefinition(const BackupDefinition& def);
void WriteBackupResults(const std::string& name, const BackupResults& results);
// The after-action chosen for a run (also one whose burning failed), for the next confirmation.
void WriteAfterBackup(const std::string& name, AfterBackupAction action, const std::string& file);
void WriteNextBackup(const std::string& name, classlib::TDateTime next);
// Deletes the job's key with its subkeys.
bool DeleteBackupDefinition(const std::string& name);

// A copy of a stored job's key, every value and subkey as stored, to put back when a change fails.
class StoredDefinitionCopy {
 public:
  // An empty copy when there is no such job.
  explicit StoredDefinitionCopy(const std::string& name);
  ~StoredDefinitionCopy();
  StoredDefinitionCopy(const StoredDefinitionCopy&) = delete;
  StoredDefinitionCopy& operator=(const StoredDefinitionCopy&) = delete;

  // Replaces the job of that name (in any letter case; the key takes this one) with the copy.
  // Raises ERegistryException.
  void Restore(const std::string& name) const;
  // Writes the results of the last run that the copy holds into the job of that name.
  void RestoreResults(const std::string& name) const;

 private:
  struct Key;
  std::unique_ptr<Key> key_;
};

}  // namespace app
