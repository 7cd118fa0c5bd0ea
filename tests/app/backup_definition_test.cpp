#include <windows.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "app/backup_definition.h"
#include "app/password_coder.h"
#include "classlib/exceptions.h"
#include "classlib/registry.h"
#include "classlib/wide.h"
#include "tests/support/scratch_registry.h"

using namespace app;
using classlib::TRegistry;

namespace {

const wchar_t kJobs[] = L"Software\\Norvex\\Orvanta\\Backups\\";

BackupDefinition EveryValueSet() {
  BackupDefinition d;
  d.Title = "Büro täglich";
  d.Option = BackupOption::Extended;
  d.Types = "*.doc;*.xls";
  d.TypeFilter = FileTypeFilter::AllButTypes;
  d.FolderList = {{"C:\\Daten\\", true}, {"D:\\Fotos\\Ärger\\", false}};
  d.SizeEnabled = true;
  d.MaxSize = "50 MB";
  d.Create = "E:\\Sicherung\\";
  d.Instances = 5;
  d.UseDateTime = true;
  d.User = true;
  d.FullBackup = false;
  d.NewOnly = true;
  d.PartBackupFull = false;
  d.PartBackupDate = true;
  d.PartBackupDays = true;
  d.SinceDate = 46000.0;
  d.SinceDays = 14;
  d.IntEnabled = false;
  d.Intervall = 45;
  d.TimeEnabled = true;
  d.Time = "07:30";
  d.Weekdays = {{true, false, true, false, true, false, false}};
  d.Recover = RecoverMode::Ask;
  d.NextBackup = 46367.3125;
  d.UsePassword = true;
  d.Password = "Geheim-äö";
  d.SplitVar = "CD 650 MB";
  d.SplitEver = SplitWhen::OnlyWhenBurning;
  d.Recording = true;
  d.RecDrive = "(F:) Brenner";
  d.RecSpeed = "8-fach";
  d.CDRWDelete = true;
  d.CDRFinalize = true;
  d.CDRWFinalize = true;
  d.Eject = true;
  d.Definition = "10. Dezember 2026 um 09:15 Uhr";
  return d;
}

std::vector<std::string> Sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

void ExpectSame(const BackupDefinition& a, const BackupDefinition& b) {
  EXPECT_EQ(a.Title, b.Title);
  EXPECT_EQ(a.Option, b.Option);
  EXPECT_EQ(a.Folder, b.Folder);
  EXPECT_EQ(a.Subfolders, b.Subfolders);
  EXPECT_EQ(a.Types, b.Types);
  EXPECT_EQ(a.TypeFilter, b.TypeFilter);
  // The registry lists values in an order of its own.
  EXPECT_EQ(Sorted(a.FileList), Sorted(b.FileList));
  EXPECT_EQ(a.FolderList, b.FolderList);
  EXPECT_EQ(a.SizeEnabled, b.SizeEnabled);
  EXPECT_EQ(a.MaxSize, b.MaxSize);
  EXPECT_EQ(a.Create, b.Create);
  EXPECT_EQ(a.Instances, b.Instances);
  EXPECT_EQ(a.UseDateTime, b.UseDateTime);
  EXPECT_EQ(a.User, b.User);
  EXPECT_EQ(a.FullBackup, b.FullBackup);
  EXPECT_EQ(a.NewOnly, b.NewOnly);
  EXPECT_EQ(a.PartBackupFull, b.PartBackupFull);
  EXPECT_EQ(a.PartBackupDate, b.PartBackupDate);
  EXPECT_EQ(a.PartBackupDays, b.PartBackupDays);
  EXPECT_EQ(a.SinceDate, b.SinceDate);
  EXPECT_EQ(a.SinceDays, b.SinceDays);
  EXPECT_EQ(a.IntEnabled, b.IntEnabled);
  EXPECT_EQ(a.TimeEnabled, b.TimeEnabled);
  EXPECT_EQ(a.Time, b.Time);
  EXPECT_EQ(a.Weekdays, b.Weekdays);
  EXPECT_EQ(a.Recover, b.Recover);
  EXPECT_EQ(a.NextBackup, b.NextBackup);
  EXPECT_EQ(a.UsePassword, b.UsePassword);
  EXPECT_EQ(a.Password, b.Password);
  EXPECT_EQ(a.SplitVar, b.SplitVar);
  EXPECT_EQ(a.SplitEver, b.SplitEver);
  EXPECT_EQ(a.Recording, b.Recording);
  EXPECT_EQ(a.RecDrive, b.RecDrive);
  EXPECT_EQ(a.RecSpeed, b.RecSpeed);
  EXPECT_EQ(a.CDRWDelete, b.CDRWDelete);
  EXPECT_EQ(a.CDRFinalize, b.CDRFinalize);
  EXPECT_EQ(a.CDRWFinalize, b.CDRWFinalize);
  EXPECT_EQ(a.Eject, b.Eject);
  EXPECT_EQ(a.Definition, b.Definition);
}

std::vector<std::string> RawValueNames(HKEY root, const std::wstring& key) {
  std::vector<std::string> names;
  HKEY h;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return names;
  wchar_t name[512];
  for (DWORD i = 0;; ++i) {
    DWORD length = 512;
    if (RegEnumValueW(h, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.push_back(classlib::Narrow(name, length));
  }
  RegCloseKey(h);
  return names;
}

DWORD RawType(HKEY root, const std::wstring& key, const wchar_t* value) {
  DWORD type = 0;
  RegGetValueW(root, key.c_str(), value, RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, nullptr);
  return type;
}

std::string RawString(HKEY root, const std::wstring& key, const wchar_t* value) {
  wchar_t data[256] = {};
  DWORD size = sizeof(data);
  RegGetValueW(root, key.c_str(), value, RRF_RT_REG_SZ, nullptr, data, &size);
  return classlib::Narrow(data);
}

// A key as a hand or an older version may leave it: only the values without a default.
void WriteMinimalFolderJob(const std::string& name) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(std::string("\\Software\\Norvex\\Orvanta\\Backups\\") + name, true));
  reg.WriteString("Option", "Folders");
  reg.WriteString("Folder", "C:\\Daten\\");
  reg.WriteBool("Subfolders", true);
  reg.WriteString("Types", "");
  reg.WriteInteger("Files", 0);
  reg.WriteString("Create", "E:\\");
  reg.WriteInteger("Instances", 1);
  reg.WriteBool("User", false);
  reg.WriteInteger("Intervall", 60);
}

}  // namespace

class Definitions : public ::testing::Test {
 protected:
  testing_support::ScratchRegistry scratch;
};

TEST_F(Definitions, EveryValueRoundTrips) {
  const BackupDefinition written = EveryValueSet();
  WriteBackupDefinition(written);
  const auto read = ReadBackupDefinition(written.Title);
  ASSERT_TRUE(read);
  ExpectSame(*read, written);

  BackupDefinition files;
  files.Title = "Briefe";
  files.Option = BackupOption::Files;
  files.FileList = {"C:\\Briefe\\Mahnung.doc", "C:\\Briefe\\Grüße 😀.txt"};
  files.Create = "E:\\";
  files.FullBackup = true;
  WriteBackupDefinition(files);
  ExpectSame(*ReadBackupDefinition("Briefe"), files);
}

TEST_F(Definitions, EveryValueIsWrittenWithItsType) {
  BackupDefinition d = EveryValueSet();
  d.Option = BackupOption::Folders;
  d.Folder = "C:\\Daten\\";
  WriteBackupDefinition(d);
  const std::wstring key = kJobs + classlib::Widen(d.Title);
  const std::vector<std::string> expected = {
      "Title", "Create", "Instances", "Intervall", "IntEnabled", "Time", "TimeEnabled", "User", "SizeEnabled",
      "MaxSize", "Recording", "RecDrive", "Eject", "RecSpeed", "CDRFinalize", "CDRWFinalize", "CDRWDelete",
      "FullBackup", "NewOnly", "PartBackupFull", "PartBackupDate", "PartBackupDays", "OnMonday", "OnTuesday",
      "OnWednesday", "OnThursday", "OnFriday", "OnSaturday", "OnSunday", "SinceDate", "SinceDays", "Recover",
      "UsePassword", "Password", "SplitVar", "SplitEver", "Definition", "UseDateTime", "NextBackup", "Option",
      "Folder", "Subfolders", "Types", "Files"};
  EXPECT_EQ(Sorted(RawValueNames(scratch.Key(), key)), Sorted(expected));

  EXPECT_EQ(RawType(scratch.Key(), key, L"Title"), static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(RawType(scratch.Key(), key, L"Instances"), static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(RawType(scratch.Key(), key, L"Eject"), static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(RawType(scratch.Key(), key, L"SinceDate"), static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(RawType(scratch.Key(), key, L"NextBackup"), static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(RawString(scratch.Key(), key, L"Option"), "Folders");
  // The password is kept scrambled, from its ANSI bytes.
  EXPECT_EQ(RawString(scratch.Key(), key, L"Password"), Coder("Geheim-\xE4\xF6", kPasswordKey));
}

TEST_F(Definitions, ListSubkeysHoldTheFilesAndFolders) {
  WriteBackupDefinition(EveryValueSet());
  const std::wstring folders = kJobs + classlib::Widen("Büro täglich") + L"\\Folders";
  EXPECT_EQ(Sorted(RawValueNames(scratch.Key(), folders)),
            (std::vector<std::string>{"C:\\Daten\\", "D:\\Fotos\\Ärger\\"}));
  DWORD value = 7, size = sizeof(value);
  RegGetValueW(scratch.Key(), folders.c_str(), L"D:\\Fotos\\\u00C4rger\\", RRF_RT_REG_DWORD, nullptr, &value, &size);
  EXPECT_EQ(value, 0u);

  BackupDefinition files;
  files.Title = "Briefe";
  files.Option = BackupOption::Files;
  files.FileList = {"C:\\a.txt", "C:\\b.txt"};
  WriteBackupDefinition(files);
  const std::wstring fileKey = std::wstring(kJobs) + L"Briefe\\Files";
  EXPECT_EQ(RawType(scratch.Key(), fileKey, L"C:\\a.txt"), static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(RawString(scratch.Key(), fileKey, L"C:\\a.txt"), "");
}

TEST_F(Definitions, SavingAgainReplacesTheListsWhole) {
  BackupDefinition d = EveryValueSet();
  WriteBackupDefinition(d);
  d.FolderList = {{"C:\\Neu\\", true}};
  WriteBackupDefinition(d);
  EXPECT_EQ(ReadBackupDefinition(d.Title)->FolderList, d.FolderList);

  BackupDefinition files;
  files.Title = "Briefe";
  files.Option = BackupOption::Files;
  files.FileList = {"C:\\a.txt", "C:\\b.txt"};
  WriteBackupDefinition(files);
  files.FileList = {"C:\\b.txt"};
  WriteBackupDefinition(files);
  EXPECT_EQ(ReadBackupDefinition("Briefe")->FileList, files.FileList);
}

TEST_F(Definitions, SavingOverTheOtherKindLeavesNoneOfItsValuesButTheRunsResults) {
  BackupDefinition d = EveryValueSet();
  WriteBackupDefinition(d);
  WriteBackupResults(d.Title, {"04. März 2024 - 18:00 Uhr", "1,25 MB", "2"});
  d.Option = BackupOption::Files;
  d.FileList = {"C:\\a.txt"};
  d.Recover.reset();
  WriteBackupDefinition(d);
  const std::wstring key = kJobs + classlib::Widen(d.Title);
  const std::vector<std::string> names = RawValueNames(scratch.Key(), key);
  for (const char* gone : {"Folder", "Subfolders", "Types", "Files", "Recover"})
    EXPECT_EQ(std::count(names.begin(), names.end(), gone), 0) << gone;
  EXPECT_EQ(std::count(names.begin(), names.end(), "BackupSize"), 1);
  EXPECT_TRUE(RawValueNames(scratch.Key(), key + L"\\Folders").empty());

  d.Option = BackupOption::Folders;
  WriteBackupDefinition(d);
  EXPECT_TRUE(RawValueNames(scratch.Key(), key + L"\\Files").empty());
  EXPECT_EQ(RawString(scratch.Key(), key, L"Option"), "Folders");
}

TEST_F(Definitions, TheEditReaderTakesWhatIsStoredAndLeavesTheRest) {
  WriteMinimalFolderJob("Alt");
  BackupDefinition base;
  base.Instances = 1;
  base.Intervall = 10;
  base.Time = "18:00";
  base.MaxSize = "200 MB";
  base.FolderList = {{"C:\\Vorher\\", true}};
  const std::optional<BackupDefinition> d = ReadBackupDefinitionForEditing("Alt", base);
  ASSERT_TRUE(d);
  EXPECT_EQ(d->Title, "Alt");
  EXPECT_EQ(d->Intervall, 60);  // stored
  EXPECT_EQ(d->Time, "18:00");  // missing
  EXPECT_EQ(d->MaxSize, "200 MB");
  EXPECT_TRUE(d->FolderList.empty());  // the list is the stored one, empty or not
  EXPECT_FALSE(ReadBackupDefinitionForEditing("Nicht da", base));

  classlib::TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Software\\Norvex\\Orvanta\\Backups\\Alt", false));
  reg.WriteInteger("Recover", 7);  // no choice of the three: the present one stays
  reg.WriteInteger("Files", 2);
  base.Recover = RecoverMode::Skip;
  EXPECT_EQ(ReadBackupDefinitionForEditing("Alt", base)->Recover, RecoverMode::Skip);
  EXPECT_EQ(ReadBackupDefinitionForEditing("Alt", base)->TypeFilter, FileTypeFilter::AllButTypes);
  reg.WriteString("Instances", "drei");
  EXPECT_THROW(ReadBackupDefinitionForEditing("Alt", base), classlib::ERegistryException);
}

TEST_F(Definitions, ACopyOfAKeyPutsBackEveryValueAndSubkey) {
  WriteBackupDefinition(EveryValueSet());
  WriteBackupResults("Büro täglich", {"04. März 2024 - 18:00 Uhr", "1,25 MB", "2"});
  const StoredDefinitionCopy copy("Büro täglich");
  BackupDefinition changed = EveryValueSet();
  changed.Instances = 9;
  changed.FolderList = {{"X:\\", false}};
  WriteBackupDefinition(changed);
  copy.Restore("BÜRO täglich");
  EXPECT_EQ(ListBackupDefinitions()[0], "BÜRO täglich");
  const std::optional<BackupDefinition> back = ReadBackupDefinition("Büro täglich");
  ASSERT_TRUE(back);
  ExpectSame(*back, EveryValueSet());
  EXPECT_EQ(back->BackupSize, "1,25 MB");

  BackupDefinition other;
  other.Title = "Andere";
  WriteBackupDefinition(other);
  copy.RestoreResults("Andere");
  EXPECT_EQ(ReadBackupDefinition("Andere")->LastBackup, "04. März 2024 - 18:00 Uhr");
  EXPECT_EQ(ReadBackupDefinition("Andere")->Instances, 1);
}

TEST_F(Definitions, MissingValuesTakeTheirDefaults) {
  WriteMinimalFolderJob("Alt");
  const auto d = ReadBackupDefinition("Alt");
  ASSERT_TRUE(d);
  EXPECT_EQ(d->Option, BackupOption::Folders);
  EXPECT_EQ(d->Folder, "C:\\Daten\\");
  EXPECT_FALSE(d->SizeEnabled);
  EXPECT_FALSE(d->UseDateTime);
  EXPECT_FALSE(d->FullBackup.has_value());
  EXPECT_FALSE(d->NewOnly);
  EXPECT_TRUE(d->PartBackupFull);
  EXPECT_FALSE(d->PartBackupDate);
  EXPECT_FALSE(d->PartBackupDays);
  EXPECT_TRUE(d->IntEnabled);
  EXPECT_EQ(d->Intervall, 60);
  EXPECT_FALSE(d->TimeEnabled);
  for (bool day : d->Weekdays) EXPECT_TRUE(day);
  EXPECT_FALSE(d->Recover.has_value());
  EXPECT_EQ(d->NextBackup, 0);
  EXPECT_FALSE(d->UsePassword);
  EXPECT_EQ(d->Password, "");
  EXPECT_EQ(d->SplitVar, "");
  EXPECT_FALSE(d->SplitEver.has_value());
  EXPECT_FALSE(d->Recording);
  EXPECT_FALSE(d->Eject);
  EXPECT_FALSE(d->AfterBackup.has_value());
  EXPECT_EQ(d->LastBackup, "");
  EXPECT_EQ(d->Definition, "");
}

TEST_F(Definitions, OddValuesAreReadAsThePartSays) {
  WriteMinimalFolderJob("Sonderfall");
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Software\\Norvex\\Orvanta\\Backups\\Sonderfall", false));
  reg.WriteString("Option", "Irgendwas");  // anything else is a one-folder job
  reg.WriteBool("OnSunday", false);
  reg.WriteString("SplitVar", "Zip 100 MB");  // without SplitEver: never split
  reg.WriteString("Password", "");
  const auto d = ReadBackupDefinition("Sonderfall");
  EXPECT_EQ(d->Option, BackupOption::Folders);
  EXPECT_FALSE(d->Weekdays[kSunday]);
  EXPECT_TRUE(d->Weekdays[kSaturday]);
  EXPECT_EQ(d->SplitVar, "Zip 100 MB");
  EXPECT_FALSE(d->SplitEver.has_value());
  EXPECT_EQ(d->Password, "");
}

TEST_F(Definitions, AMissingValueWithoutDefaultRaisesWithItsName) {
  WriteMinimalFolderJob("Kaputt");
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Software\\Norvex\\Orvanta\\Backups\\Kaputt", false));
  reg.DeleteValue("Instances");
  try {
    ReadBackupDefinition("Kaputt");
    FAIL() << "nothing raised";
  } catch (const classlib::ERegistryException& e) {
    EXPECT_STREQ(e.what(), "Ungültiger Datentyp für 'Instances'");
  }
}

TEST_F(Definitions, AnEmptyPasswordIsStoredAsEmptyText) {
  BackupDefinition d = EveryValueSet();
  d.Password = "";
  WriteBackupDefinition(d);
  EXPECT_EQ(RawString(scratch.Key(), kJobs + classlib::Widen(d.Title), L"Password"), "");
}

TEST_F(Definitions, PasswordsOutsideTheAnsiCodePageAreRefused) {
  BackupDefinition d = EveryValueSet();
  d.Password = "Ωμέγα";
  EXPECT_THROW(WriteBackupDefinition(d), classlib::EConvertError);
}

TEST_F(Definitions, ResultsAndNextRunAreWrittenBack) {
  WriteBackupDefinition(EveryValueSet());
  BackupResults r;
  r.LastBackup = "10. Dezember 2026 - 09:20 Uhr";
  r.BackupSize = "12,50 MB";
  r.BackupFiles = "1.234";
  WriteBackupResults("Büro täglich", r);
  WriteAfterBackup("Büro täglich", AfterBackupAction::OpenFile, "C:\\Liesmich.txt");
  WriteNextBackup("Büro täglich", 46368.25);
  const auto d = ReadBackupDefinition("Büro täglich");
  EXPECT_EQ(d->AfterBackup, AfterBackupAction::OpenFile);
  EXPECT_EQ(d->AfterFile, "C:\\Liesmich.txt");
  EXPECT_EQ(d->LastBackup, r.LastBackup);
  EXPECT_EQ(d->BackupSize, r.BackupSize);
  EXPECT_EQ(d->BackupFiles, r.BackupFiles);
  EXPECT_EQ(d->NextBackup, 46368.25);
  // Results never bring back a job that was deleted meanwhile.
  EXPECT_THROW(WriteBackupResults("Gelöscht", r), classlib::ERegistryException);
  EXPECT_THROW(WriteAfterBackup("Gelöscht", AfterBackupAction::None, ""), classlib::ERegistryException);
  EXPECT_FALSE(BackupDefinitionExists("Gelöscht"));
}

TEST_F(Definitions, ListingAndDeleting) {
  BackupDefinition a = EveryValueSet();
  WriteBackupDefinition(a);
  WriteMinimalFolderJob("Zweiter");
  EXPECT_EQ(ListBackupDefinitions(), (classlib::TStringList{"Büro täglich", "Zweiter"}));
  EXPECT_TRUE(BackupDefinitionExists(a.Title));
  EXPECT_TRUE(DeleteBackupDefinition(a.Title));
  EXPECT_FALSE(BackupDefinitionExists(a.Title));
  EXPECT_FALSE(ReadBackupDefinition(a.Title).has_value());
  EXPECT_EQ(ListBackupDefinitions(), (classlib::TStringList{"Zweiter"}));
}

TEST_F(Definitions, NamesThatWouldNestKeysAreRefused) {
  BackupDefinition d = EveryValueSet();
  d.Title = "a\\b";
  EXPECT_THROW(WriteBackupDefinition(d), classlib::ERegistryException);
  d.Title = "";
  EXPECT_THROW(WriteBackupDefinition(d), classlib::ERegistryException);
  EXPECT_EQ(ListBackupDefinitions().Count(), 0);
}
