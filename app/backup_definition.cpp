#include "app/backup_definition.h"

#include <windows.h>

#include "app/password_coder.h"
#include "app/program_settings.h"
#include "classlib/exceptions.h"
#include "classlib/registry.h"
#include "classlib/wide.h"

namespace app {
namespace {

using classlib::TRegistry;

const char* const kWeekdayValues[7] = {"OnMonday", "OnTuesday",  "OnWednesday", "OnThursday",
                                       "OnFriday", "OnSaturday", "OnSunday"};

std::string KeyOf(const std::string& name) { return std::string(kBackupsKey) + "\\" + name; }

// Results go only to a job that still exists; saving creates it.
void OpenJobKey(TRegistry& reg, const std::string& name, bool create) {
  // A backslash would silently make a nested key instead of a job.
  if (name.empty() || name.find('\\') != std::string::npos)
    throw classlib::ERegistryException("Ungültige Bezeichnung für ein Backup: '" + name + "'");
  if (!reg.OpenKey(KeyOf(name), create))
    throw classlib::ERegistryException("Das Backup '" + name + "' kann nicht gespeichert werden.");
}

bool BoolOr(const TRegistry& reg, const char* name, bool fallback) {
  return reg.ValueExists(name) ? reg.ReadBool(name) : fallback;
}

std::string StoredPassword(const std::string& password) {
  if (password.empty()) return {};
  std::string ansi;
  if (!classlib::TryToCodePage(password, CP_ACP, ansi))
    throw classlib::EConvertError("Das Kennwort enthält Zeichen, die nicht gespeichert werden können.");
  return Coder(ansi, kPasswordKey);
}

std::string PlainPassword(const std::string& stored) {
  return stored.empty() ? std::string() : classlib::FromCodePage(Decoder(stored, kPasswordKey), CP_ACP);
}

void ReadFolderJob(const TRegistry& reg, BackupDefinition& def) {
  if (def.Option == BackupOption::Folders) {
    def.Folder = reg.ReadString("Folder");
    def.Subfolders = reg.ReadBool("Subfolders");
  }
  def.Types = reg.ReadString("Types");
  def.TypeFilter = static_cast<FileTypeFilter>(reg.ReadInteger("Files"));
}

void ReadPartialMode(const TRegistry& reg, BackupDefinition& def) {
  if (!reg.ValueExists("PartBackupFull")) return;
  def.PartBackupFull = reg.ReadBool("PartBackupFull");
  def.PartBackupDate = reg.ReadBool("PartBackupDate");
  def.PartBackupDays = reg.ReadBool("PartBackupDays");
  if (def.PartBackupDate) def.SinceDate = reg.ReadDateTime("SinceDate");
  if (def.PartBackupDays) def.SinceDays = reg.ReadInteger("SinceDays");
}

void ReadSchedule(const TRegistry& reg, BackupDefinition& def) {
  def.IntEnabled = BoolOr(reg, "IntEnabled", true);
  if (def.IntEnabled) def.Intervall = reg.ReadInteger("Intervall");
  def.TimeEnabled = BoolOr(reg, "TimeEnabled", false);
  if (def.TimeEnabled) def.Time = reg.ReadString("Time");
  for (int day = 0; day < 7; ++day) def.Weekdays[static_cast<size_t>(day)] = BoolOr(reg, kWeekdayValues[day], true);
  if (reg.ValueExists("Recover")) def.Recover = static_cast<RecoverMode>(reg.ReadInteger("Recover"));
  if (reg.ValueExists("NextBackup")) def.NextBackup = reg.ReadDateTime("NextBackup");
}

void ReadMedium(const TRegistry& reg, BackupDefinition& def) {
  def.UsePassword = BoolOr(reg, "UsePassword", false);
  def.Password = PlainPassword(reg.ReadString("Password"));
  def.SplitVar = reg.ReadString("SplitVar");
  if (reg.ValueExists("SplitEver")) def.SplitEver = static_cast<SplitWhen>(reg.ReadInteger("SplitEver"));
  def.Recording = BoolOr(reg, "Recording", false);
  def.RecDrive = reg.ReadString("RecDrive");
  def.RecSpeed = reg.ReadString("RecSpeed");
  def.CDRWDelete = BoolOr(reg, "CDRWDelete", false);
  def.CDRFinalize = BoolOr(reg, "CDRFinalize", false);
  def.CDRWFinalize = BoolOr(reg, "CDRWFinalize", false);
  def.Eject = BoolOr(reg, "Eject", false);
}

void ReadResults(const TRegistry& reg, BackupDefinition& def) {
  if (reg.ValueExists("AfterBackup")) {
    def.AfterBackup = static_cast<AfterBackupAction>(reg.ReadInteger("AfterBackup"));
    def.AfterFile = reg.ReadString("AfterFile");
  }
  def.LastBackup = reg.ReadString("LastBackup");
  def.BackupSize = reg.ReadString("BackupSize");
  def.BackupFiles = reg.ReadString("BackupFiles");
  def.Definition = reg.ReadString("Definition");
}

void ReadSources(TRegistry& reg, const std::string& name, BackupDefinition& def) {
  if (def.Option == BackupOption::Files) {
    if (reg.OpenKeyReadOnly(KeyOf(name) + "\\Files"))
      for (const std::string& file : reg.GetValueNames()) def.FileList.push_back(file);
    return;
  }
  ReadFolderJob(reg, def);
  if (def.Option == BackupOption::Extended && reg.OpenKeyReadOnly(KeyOf(name) + "\\Folders"))
    for (const std::string& folder : reg.GetValueNames())
      def.FolderList.push_back({folder, reg.ReadInteger(folder) != 0});
}

// The list subkey is written afresh, so entries removed in the wizard do not live on.
void RewriteSubkey(TRegistry& reg, const std::string& name, const char* subkey) {
  reg.DeleteKey(KeyOf(name) + "\\" + subkey);
  if (!reg.OpenKey(KeyOf(name) + "\\" + subkey, true))
    throw classlib::ERegistryException("Das Backup '" + name + "' kann nicht gespeichert werden.");
}

}  // namespace

classlib::TStringList ListBackupDefinitions() {
  TRegistry reg;
  return reg.OpenKeyReadOnly(kBackupsKey) ? reg.GetKeyNames() : classlib::TStringList();
}

bool BackupDefinitionExists(const std::string& name) {
  TRegistry reg;
  return !name.empty() && reg.KeyExists(KeyOf(name));
}

std::optional<BackupDefinition> ReadBackupDefinition(const std::string& name) {
  TRegistry reg;
  if (name.empty() || !reg.OpenKeyReadOnly(KeyOf(name))) return std::nullopt;
  BackupDefinition def;
  def.Title = name;
  const std::string option = reg.ReadString("Option");
  def.Option = option == "Files" ? BackupOption::Files
               : option == "Extended" ? BackupOption::Extended
                                      : BackupOption::Folders;
  def.SizeEnabled = BoolOr(reg, "SizeEnabled", false);
  if (def.SizeEnabled) def.MaxSize = reg.ReadString("MaxSize");
  def.Create = reg.ReadString("Create");
  def.Instances = reg.ReadInteger("Instances");
  def.UseDateTime = BoolOr(reg, "UseDateTime", false);
  def.User = reg.ReadBool("User");
  if (reg.ValueExists("FullBackup")) def.FullBackup = reg.ReadBool("FullBackup");
  def.NewOnly = BoolOr(reg, "NewOnly", false);
  ReadPartialMode(reg, def);
  ReadSchedule(reg, def);
  ReadMedium(reg, def);
  ReadResults(reg, def);
  ReadSources(reg, name, def);
  return def;
}

void WriteBackupDefinition(const BackupDefinition& def) {
  TRegistry reg;
  OpenJobKey(reg, def.Title, true);
  const std::string password = StoredPassword(def.Password);
  reg.WriteString("Title", def.Title);
  reg.WriteString("Create", def.Create);
  reg.WriteInteger("Instances", def.Instances);
  reg.WriteInteger("Intervall", def.Intervall);
  reg.WriteBool("IntEnabled", def.IntEnabled);
  reg.WriteString("Time", def.Time);
  reg.WriteBool("TimeEnabled", def.TimeEnabled);
  reg.WriteBool("User", def.User);
  reg.WriteBool("SizeEnabled", def.SizeEnabled);
  reg.WriteString("MaxSize", def.MaxSize);
  reg.WriteBool("Recording", def.Recording);
  reg.WriteString("RecDrive", def.RecDrive);
  reg.WriteBool("Eject", def.Eject);
  reg.WriteString("RecSpeed", def.RecSpeed);
  reg.WriteBool("CDRFinalize", def.CDRFinalize);
  reg.WriteBool("CDRWFinalize", def.CDRWFinalize);
  reg.WriteBool("CDRWDelete", def.CDRWDelete);
  reg.WriteBool("FullBackup", def.FullBackup.value_or(true));
  reg.WriteBool("NewOnly", def.NewOnly);
  reg.WriteBool("PartBackupFull", def.PartBackupFull);
  reg.WriteBool("PartBackupDate", def.PartBackupDate);
  reg.WriteBool("PartBackupDays", def.PartBackupDays);
  for (int day = 0; day < 7; ++day) reg.WriteBool(kWeekdayValues[day], def.Weekdays[static_cast<size_t>(day)]);
  reg.WriteDateTime("SinceDate", def.SinceDate);
  reg.WriteInteger("SinceDays", def.SinceDays);
  if (def.Recover) reg.WriteInteger("Recover", static_cast<int>(*def.Recover));
  reg.WriteBool("UsePassword", def.UsePassword);
  reg.WriteString("Password", password);
  reg.WriteString("SplitVar", def.SplitVar);
  if (def.SplitEver) reg.WriteInteger("SplitEver", static_cast<int>(*def.SplitEver));
  reg.WriteString("Definition", def.Definition);
  reg.WriteBool("UseDateTime", def.UseDateTime);
  reg.WriteDateTime("NextBackup", def.NextBackup);
  const char* option = def.Option == BackupOption::Files      ? "Files"
                       : def.Option == BackupOption::Extended ? "Extended"
                                                              : "Folders";
  reg.WriteString("Option", option);
  if (def.Option == BackupOption::Files) {
    RewriteSubkey(reg, def.Title, "Files");
    for (const std::string& file : def.FileList) reg.WriteString(file, "");
    return;
  }
  reg.WriteString("Folder", def.Folder);
  reg.WriteBool("Subfolders", def.Subfolders);
  reg.WriteString("Types", def.Types);
  reg.WriteInteger("Files", static_cast<int>(def.TypeFilter));
  RewriteSubkey(reg, def.Title, "Folders");
  if (def.Option == BackupOption::Extended)
    for (const BackupFolder& folder : def.FolderList) reg.WriteInteger(folder.Path, folder.Recursive ? 1 : 0);
}

void WriteBackupResults(const std::string& name, const BackupResults& results) {
  TRegistry reg;
  OpenJobKey(reg, name, false);
  reg.WriteString("LastBackup", results.LastBackup);
  reg.WriteString("BackupSize", results.BackupSize);
  reg.WriteString("BackupFiles", results.BackupFiles);
}

void WriteAfterBackup(const std::string& name, AfterBackupAction action, const std::string& file) {
  TRegistry reg;
  OpenJobKey(reg, name, false);
  reg.WriteInteger("AfterBackup", static_cast<int>(action));
  reg.WriteString("AfterFile", file);
}

void WriteNextBackup(const std::string& name, classlib::TDateTime next) {
  TRegistry reg;
  OpenJobKey(reg, name, false);
  reg.WriteDateTime("NextBackup", next);
}

bool DeleteBackupDefinition(const std::string& name) {
  TRegistry reg;
  return !name.empty() && name.find('\\') == std::string::npos && reg.DeleteKey(KeyOf(name));
}

}  // namespace app
