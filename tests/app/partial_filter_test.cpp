#include <windows.h>

#include <gtest/gtest.h>

#include "app/partial_filter.h"
#include "classlib/wide.h"
#include "tests/app/app_fixture.h"

using namespace app;
using namespace app_testing;

namespace {

// A date before 1980 has no DOS form, so the file's date cannot be read as one.
void SetDateBefore1980(const std::string& path) {
  SYSTEMTIME old = {};
  old.wYear = 1975;
  old.wMonth = 6;
  old.wDay = 1;
  FILETIME time;
  SystemTimeToFileTime(&old, &time);
  const std::wstring file = classlib::Widen(path);
  const HANDLE h = CreateFileW(file.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  SetFileTime(h, nullptr, nullptr, &time);
  CloseHandle(h);
}

}  // namespace

class PartialFilters : public AppFixture {
 protected:
  // Each mode on files dated just on and just beyond its boundary (set through SetFileTime).
  struct Case {
    const char* name;
    std::uint32_t date;
    bool taken;
  };
  void ExpectTaken(const PartialFilter& filter, const std::vector<Case>& cases) {
    classlib::TStringList files, expected;
    for (const Case& c : cases) {
      files.Add(MakeFile(c.name, c.date));
      if (c.taken) expected.Add(files[files.Count() - 1]);
    }
    const std::string unreadable = MakeFile("alt.txt");
    SetDateBefore1980(unreadable);
    files.Add(unreadable);
    expected.Add(unreadable);  // a date that cannot be read always counts as changed
    std::vector<std::uint32_t> dates;
    for (const std::string& file : files) dates.push_back(GetFileDate(file));
    EXPECT_EQ(ApplyPartialFilter(files, dates, filter), expected);
  }
};

TEST_F(PartialFilters, SinceTheLastFullBackup) {
  PartialFilter filter;
  filter.Mode = PartialMode::SinceLastFull;
  const std::uint32_t stored = DosTime(2024, 2, 1, 10, 0, 0);
  for (const char* name : {"gleich.txt", "neuer.txt", "aelter.txt", "alt.txt"})
    AddFileState(filter.States, dir / name, stored);
  AddFileState(filter.States, dir / "GROSS.TXT", stored);
  SortFileStates(filter.States);
  ExpectTaken(filter, {{"gleich.txt", stored, false},
                       {"gross.txt", stored, false},  // found without regard to case
                       {"neuer.txt", DosTime(2024, 2, 1, 10, 0, 2), true},
                       {"aelter.txt", DosTime(2024, 2, 1, 9, 59, 58), true},
                       {"unbekannt.txt", stored, true}});
}

TEST_F(PartialFilters, SinceADate) {
  PartialFilter filter;
  filter.Mode = PartialMode::SinceDate;
  filter.SinceDate = DosTime(2024, 3, 1, 12, 0, 0);
  ExpectTaken(filter, {{"genau.txt", DosTime(2024, 3, 1, 12, 0, 0), true},
                       {"davor.txt", DosTime(2024, 3, 1, 11, 59, 58), false},
                       {"zukunft.txt", DosTime(2050, 1, 1, 0, 0, 0), true}});  // top bit set: still later
}

TEST_F(PartialFilters, WithinDays) {
  PartialFilter filter;
  filter.Mode = PartialMode::WithinDays;
  filter.SinceDays = 3;
  filter.Today = classlib::EncodeDate(2024, 3, 5) + classlib::EncodeTime(14, 22, 0, 0);
  ExpectTaken(filter, {{"drei.txt", DosTime(2024, 3, 2, 0, 0, 0), true},  // calendar days, not hours
                       {"vier.txt", DosTime(2024, 3, 1, 23, 59, 58), false},
                       {"heute.txt", DosTime(2024, 3, 5, 23, 0, 0), true}});
}

class ChangeTest : public AppFixture {
 protected:
  ChangeTest() {
    def.Option = BackupOption::Folders;
    def.Folder = dir / "quelle\\";
    def.Subfolders = true;
    a = MakeFile("quelle\\a.txt", DosTime(2024, 1, 1, 8, 0));
    b = MakeFile("quelle\\unter\\b.txt", DosTime(2024, 1, 2, 8, 0));
  }
  void SaveStates() {
    TLogData states = TakeFileStates({a, b});
    ASSERT_TRUE(SaveFileStates(stateFile, states));
  }
  bool Changed() { return FilesChangedSinceLastFull(def, stateFile); }

  BackupDefinition def;
  std::string a, b;
  std::string stateFile = dir / "job.ini";
};

TEST_F(ChangeTest, NothingNewOrChanged) {
  SaveStates();
  EXPECT_FALSE(Changed());
  DeleteFileW(classlib::Widen(b).c_str());  // a file that went away changes nothing
  EXPECT_FALSE(Changed());
  DeleteFileW(classlib::Widen(a).c_str());  // nor does an empty collection
  EXPECT_FALSE(Changed());
}

TEST_F(ChangeTest, WhatCountsAsChanged) {
  EXPECT_TRUE(Changed());  // no state file
  testing_support::WriteFile(stateFile, "kaputt");
  EXPECT_TRUE(Changed());  // a damaged one
  SaveStates();
  ASSERT_FALSE(Changed());

  ASSERT_TRUE(zip::fs::SetFileDate(b, DosTime(2024, 1, 2, 8, 0, 2)));
  EXPECT_TRUE(Changed());
  ASSERT_TRUE(zip::fs::SetFileDate(b, DosTime(2024, 1, 2, 8, 0)));
  const std::string c = MakeFile("quelle\\c.txt");
  EXPECT_TRUE(Changed());  // a new file
  DeleteFileW(classlib::Widen(c).c_str());
  ASSERT_FALSE(Changed());

  SetDateBefore1980(a);  // stored with its date, now unreadable
  EXPECT_TRUE(Changed());
  SaveStates();  // stored as 0, still unreadable
  EXPECT_TRUE(Changed());
}

TEST_F(ChangeTest, AFolderThatCannotBeCollectedCountsAsChanged) {
  SaveStates();
  def.Folder = dir / "fehlt\\";
  EXPECT_TRUE(Changed());
}
