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

// The lists open their subkey, so they come after every value of the job key.
std::vector<std::string> ListedFiles(TRegistry& reg, const std::string& name) {
  std::vector<std::string> files;
  if (reg.OpenKeyReadOnly(KeyOf(name) + "\\Files"))
    for (const std::string& file : reg.GetValueNames()) files.push_back(file);
  return files;
}

std::vector<BackupFolder> ListedFolders(TRegistry& reg, const std::string& name) {
  std::vector<BackupFolder> folders;
  if (reg.OpenKeyReadOnly(KeyOf(name) + "\\Folders"))
    for (const std::string& folder : reg.GetValueNames()) folders.push_back({folder, reg.ReadInteger(folder) != 0});
  return folders;
}

void ReadSources(TRegistry& reg, const std::string& name, BackupDefinition& def) {
  if (def.Option == BackupOption::Files) {
    def.FileList = ListedFiles(reg, name);
    return;
  }
  ReadFolderJob(reg, def);
  if (def.Option == BackupOption::Extended) def.FolderList = ListedFolders(reg, name);
}

// The list subkey is written afresh, so entries removed in the wizard do not live on.
void RewriteSubkey(TRegistry& reg, const std::string& name, const char* subkey) {
  reg.DeleteKey(KeyOf(name) + "\\" + subkey);
  if (!reg.OpenKey(KeyOf(name) + "\\" + subkey, true))
    throw classlib::ERegistryException("Das Backup '" + name + "' kann nicht gespeichert werden.");
}

// The edit reader's steps: a stored value replaces the field, a missing one leaves it.
void ReadStored(const TRegistry& reg, const char* name, bool& field) {
  if (reg.ValueExists(name)) field = reg.ReadBool(name);
}
void ReadStored(const TRegistry& reg, const char* name, int& field) {
  if (reg.ValueExists(name)) field = reg.ReadInteger(name);
}
void ReadStored(const TRegistry& reg, const char* name, std::string& field) {
  if (reg.ValueExists(name)) field = reg.ReadString(name);
}
void ReadStoredDate(const TRegistry& reg, const char* name, classlib::TDateTime& field) {
  if (reg.ValueExists(name)) field = reg.ReadDateTime(name);
}
// A stored number naming one of count choices; unset for any other.
std::optional<int> StoredChoice(const TRegistry& reg, const char* name, int count) {
  int value = -1;
  ReadStored(reg, name, value);
  return value >= 0 && value < count ? std::optional<int>(value) : std::nullopt;
}

BackupOption OptionOf(const std::string& text) {
  return text == "Files" ? BackupOption::Files : text == "Extended" ? BackupOption::Extended : BackupOption::Folders;
}

const char* const kResultValues[] = {"AfterBackup", "AfterFile", "LastBackup", "BackupSize", "BackupFiles"};

[[noreturn]] void CannotSave(const std::string& name) {
  throw classlib::ERegistryException("Das Backup '" + name + "' kann nicht gespeichert werden.");
}

// The job key's path below HKEY_CURRENT_USER, for the wide API.
std::wstring WideKeyOf(const std::string& name) { return classlib::Widen(KeyOf(name).substr(1)); }

}  // namespace

struct StoredDefinitionCopy::Key {
  struct Value {
    std::wstring Name;
    DWORD Type = REG_NONE;
    std::vector<BYTE> Data;
  };
  std::vector<Value> Values;
  std::vector<std::pair<std::wstring, Key>> Subkeys;

  void Read(HKEY key) {
    DWORD valueCount = 0, nameLength = 0, dataLength = 0, subkeyCount = 0, subkeyLength = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeyCount, &subkeyLength, nullptr, &valueCount,
                         &nameLength, &dataLength, nullptr, nullptr) != ERROR_SUCCESS)
      return;
    for (DWORD i = 0; i < valueCount; ++i) {
      std::wstring valueName(nameLength + 1, L'\0');
      DWORD nameSize = nameLength + 1, dataSize = dataLength;
      Value value;
      value.Data.resize(dataLength);
      if (RegEnumValueW(key, i, &valueName[0], &nameSize, nullptr, &value.Type, value.Data.data(), &dataSize) !=
          ERROR_SUCCESS)
        continue;
      value.Name = valueName.substr(0, nameSize);
      value.Data.resize(dataSize);
      Values.push_back(std::move(value));
    }
    for (DWORD i = 0; i < subkeyCount; ++i) {
      std::wstring subkeyName(subkeyLength + 1, L'\0');
      DWORD size = subkeyLength + 1;
      if (RegEnumKeyExW(key, i, &subkeyName[0], &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) continue;
      subkeyName.resize(size);
      HKEY sub = nullptr;
      if (RegOpenKeyExW(key, subkeyName.c_str(), 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
      Subkeys.emplace_back(subkeyName, Key());
      Subkeys.back().second.Read(sub);
      RegCloseKey(sub);
    }
  }

  bool WriteValue(HKEY key, const Value& value) const {
    return RegSetValueExW(key, value.Name.c_str(), 0, value.Type, value.Data.data(),
                          static_cast<DWORD>(value.Data.size())) == ERROR_SUCCESS;
  }

  bool Write(HKEY parent, const std::wstring& path) const {
    HKEY key = nullptr;
    if (RegCreateKeyExW(parent, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
      return false;
    bool ok = true;
    for (const Value& value : Values) ok = ok && WriteValue(key, value);
    for (const auto& [name, sub] : Subkeys) ok = ok && sub.Write(key, name);
    RegCloseKey(key);
    return ok;
  }
};

StoredDefinitionCopy::StoredDefinitionCopy(const std::string& name) : key_(std::make_unique<Key>()) {
  HKEY key = nullptr;
  if (name.empty() || RegOpenKeyExW(HKEY_CURRENT_USER, WideKeyOf(name).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return;
  key_->Read(key);
  RegCloseKey(key);
}

StoredDefinitionCopy::~StoredDefinitionCopy() = default;

void StoredDefinitionCopy::Restore(const std::string& name) const {
  DeleteBackupDefinition(name);
  if (!key_->Write(HKEY_CURRENT_USER, WideKeyOf(name))) CannotSave(name);
}

void StoredDefinitionCopy::RestoreResults(const std::string& name) const {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, WideKeyOf(name).c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
    CannotSave(name);
  bool ok = true;
  for (const Key::Value& value : key_->Values)
    for (const char* result : kResultValues)
      if (value.Name == classlib::Widen(result)) ok = ok && key_->WriteValue(key, value);
  RegCloseKey(key);
  if (!ok) CannotSave(name);
}

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
  def.Option = OptionOf(reg.ReadString("Option"));
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

std::optional<BackupDefinition> ReadBackupDefinitionForEditing(const std::string& name, const BackupDefinition& base) {
  TRegistry reg;
  if (name.empty() || !reg.OpenKeyReadOnly(KeyOf(name))) return std::nullopt;
  BackupDefinition def = base;
  def.Title = name;
  def.Option = OptionOf(reg.ReadString("Option"));
  ReadStored(reg, "Instances", def.Instances);
  ReadStored(reg, "Intervall", def.Intervall);
  ReadStored(reg, "User", def.User);
  ReadStored(reg, "IntEnabled", def.IntEnabled);
  ReadStored(reg, "TimeEnabled", def.TimeEnabled);
  ReadStored(reg, "Time", def.Time);
  ReadStored(reg, "SizeEnabled", def.SizeEnabled);
  ReadStored(reg, "MaxSize", def.MaxSize);
  ReadStored(reg, "Create", def.Create);
  if (reg.ValueExists("FullBackup")) def.FullBackup = reg.ReadBool("FullBackup");
  ReadStored(reg, "PartBackupFull", def.PartBackupFull);
  ReadStored(reg, "PartBackupDate", def.PartBackupDate);
  ReadStored(reg, "PartBackupDays", def.PartBackupDays);
  ReadStored(reg, "NewOnly", def.NewOnly);
  ReadStored(reg, "Recording", def.Recording);
  ReadStored(reg, "RecDrive", def.RecDrive);
  ReadStored(reg, "RecSpeed", def.RecSpeed);
  ReadStored(reg, "SplitVar", def.SplitVar);
  ReadStored(reg, "Eject", def.Eject);
  ReadStored(reg, "CDRFinalize", def.CDRFinalize);
  ReadStored(reg, "CDRWFinalize", def.CDRWFinalize);
  ReadStored(reg, "CDRWDelete", def.CDRWDelete);
  if (reg.ValueExists("SplitEver"))
    def.SplitEver = reg.ReadInteger("SplitEver") == 0 ? SplitWhen::Always : SplitWhen::OnlyWhenBurning;
  for (int day = 0; day < 7; ++day) ReadStored(reg, kWeekdayValues[day], def.Weekdays[static_cast<size_t>(day)]);
  if (const std::optional<int> recover = StoredChoice(reg, "Recover", 3))
    def.Recover = static_cast<RecoverMode>(*recover);
  ReadStoredDate(reg, "SinceDate", def.SinceDate);
  ReadStored(reg, "SinceDays", def.SinceDays);
  ReadStored(reg, "UsePassword", def.UsePassword);
  if (reg.ValueExists("Password")) def.Password = PlainPassword(reg.ReadString("Password"));
  ReadStored(reg, "UseDateTime", def.UseDateTime);
  if (def.Option == BackupOption::Files) {
    def.FileList = ListedFiles(reg, name);
    return def;
  }
  if (const std::optional<int> filter = StoredChoice(reg, "Files", 3))
    def.TypeFilter = static_cast<FileTypeFilter>(*filter);
  ReadStored(reg, "Subfolders", def.Subfolders);
  ReadStored(reg, "Types", def.Types);
  ReadStored(reg, "Folder", def.Folder);
  def.FolderList = ListedFolders(reg, name);
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
  else reg.DeleteValue("Recover");
  reg.WriteBool("UsePassword", def.UsePassword);
  reg.WriteString("Password", password);
  reg.WriteString("SplitVar", def.SplitVar);
  if (def.SplitEver) reg.WriteInteger("SplitEver", static_cast<int>(*def.SplitEver));
  else reg.DeleteValue("SplitEver");
  reg.WriteString("Definition", def.Definition);
  reg.WriteBool("UseDateTime", def.UseDateTime);
  reg.WriteDateTime("NextBackup", def.NextBackup);
  const char* option = def.Option == BackupOption::Files      ? "Files"
                       : def.Option == BackupOption::Extended ? "Extended"
                                                              : "Folders";
  reg.WriteString("Option", option);
  if (def.Option == BackupOption::Files) {
    for (const char* folderValue : {"Folder", "Subfolders", "Types", "Files"}) reg.DeleteValue(folderValue);
    reg.DeleteKey(KeyOf(def.Title) + "\\Folders");
    RewriteSubkey(reg, def.Title, "Files");
    for (const std::string& file : def.FileList) reg.WriteString(file, "");
    return;
  }
  reg.DeleteKey(KeyOf(def.Title) + "\\Files");
  reg.WriteString("Folder", def.Folder);
  reg.WriteBool("Subfolders", def.Subfolders);
  reg.WriteString("Types", def.Types);
  reg.WriteInteger("Files", static_cast<int>(def.TypeFilter));
  // The extended list is kept for a simple definition too, so switching back finds it again.
  RewriteSubkey(reg, def.Title, "Folders");
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
