#include <windows.h>

#include <gtest/gtest.h>

#include "app/activity_log.h"
#include "app/file_helpers.h"
#include "classlib/wide.h"
#include "tests/app/app_fixture.h"

using namespace app;
using namespace app_testing;
using testing_support::ReadFile;

class ActivityLog : public AppFixture {
 protected:
  std::string Log() const { return ReadFile(dir / "orvapp.log"); }
};

TEST_F(ActivityLog, ARunThatWasCancelledLeavesTheGoldenLog) {
  ASSERT_EQ(GetACP(), 1252u) << "the golden file holds Windows-1252 bytes";
  EXPECT_EQ(LogFile(), dir / "orvapp.log");
  SetNow(2024, 3, 5, 14, 22, 41);
  LogProgramStart();
  SetNow(2024, 3, 5, 14, 30);
  LogInstantBackupStart("Tägliche Sicherung");
  LogSkippedFile("C:\\Daten\\Größe.txt");
  SetNow(2024, 3, 5, 14, 31, 59);
  LogRunEnd(RunEnd::Cancelled);
  SetNow(2024, 3, 6, 0, 0);  // at midnight the time is left out
  LogProgramEndByUser();
  EXPECT_EQ(Log(), ReadFile(TestData("golden/activity.log")));
}

TEST_F(ActivityLog, EveryOtherBlock) {
  const std::string dashes(73, '-'), equals(73, '=');
  const struct {
    void (*write)();
    std::string text;
  } cases[] = {
      {[] { LogProgramEndBySession(); },
       "Uhrzeit:      05.03.2024 14:22\r\nAktion:       Orvanta beendet\r\nArt:          System-ShutDown\r\n" + equals +
           "\r\n"},
      {[] { LogSingleBackupStart(); },
       "Uhrzeit:      05.03.2024 14:22\r\nTyp:          Single Backup\r\nArt:          Start der Durchf\xFChrung\r\n"},
      {[] { LogRunEnd(RunEnd::Completed); },
       "Beendet um:   05.03.2024 14:22\r\nGrund:        Ende der Durchf\xFChrung\r\n" + dashes + "\r\n"},
      {[] { LogRunEnd(RunEnd::Failed); },
       "Beendet um:   05.03.2024 14:22\r\nGrund:        Fehler bei Durchf\xFChrung\r\n" + dashes + "\r\n"},
      {[] { LogError("Ωmega.txt fehlt"); }, "Fehler:       ?mega.txt fehlt\r\n"},
      {[] { LogError("Zu gro\xC3\x9F!\r\rBitte\r\nkleiner."); }, "Fehler:       Zu gro\xDF! Bitte kleiner.\r\n"},
      {[] { LogRefusedRun("Ordner\\Name", "Nicht erlaubt."); },
       "Uhrzeit:      05.03.2024 14:22\r\nTyp:          Instant Backup\r\nName:         Ordner\\Name\r\n"
       "Art:          Start der Durchf\xFChrung\r\nFehler:       Nicht erlaubt.\r\n"
       "Beendet um:   05.03.2024 14:22\r\nGrund:        Abbruch der Durchf\xFChrung\r\n" +
           dashes + "\r\n"},
  };
  for (const auto& c : cases) {
    testing_support::WriteFile(dir / "orvapp.log", "");
    c.write();
    EXPECT_EQ(Log(), c.text);
  }
}

// A name from another program's command line stays on its one line and cannot swell the log.
TEST_F(ActivityLog, AJobsNameIsWrittenOnOneLineAndCutWhenLong) {
  const std::string a99(99, 'a');
  const struct {
    std::string name;
    std::string logged;
  } cases[] = {
      {"Zeile\r\nFehler:       zwei\n", "Zeile Fehler:       zwei "},
      {"Tab\tund\x1B", "Tab und "},
      {a99 + "b", a99 + "b"},
      {a99 + "\xC3\x84" + "bbbb", a99 + "\xC4..."},
      // Never half of a character that takes two UTF-16 units.
      {a99 + "\xF0\x9F\x98\x80", a99 + "..."},
      {std::string(40000, 'x'), std::string(100, 'x') + "..."},
  };
  for (const auto& c : cases) {
    testing_support::WriteFile(dir / "orvapp.log", "");
    LogInstantBackupStart(c.name);
    EXPECT_EQ(Log(), "Uhrzeit:      05.03.2024 14:22\r\nTyp:          Instant Backup\r\nName:         " + c.logged +
                         "\r\nArt:          Start der Durchf\xFChrung\r\n")
        << c.name.substr(0, 120);
  }
}

TEST_F(ActivityLog, SwitchedOffItCreatesNoFileButStillLetsTheWindowsRun) {
  SetLoggingEnabled(false);
  for (auto write : {+[] { LogProgramStart(); }, +[] { WriteLogInfo("eine Zeile"); }}) {
    ASSERT_TRUE(PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0));
    write();
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_APP, WM_APP, PM_NOREMOVE));  // handled meanwhile
  }
  EXPECT_FALSE(testing_support::FileExists(dir / "orvapp.log"));
}

TEST_F(ActivityLog, ALogThatCannotBeWrittenNeverThrowsAndLosesNoLine) {
  const std::wstring log = classlib::Widen(dir / "orvapp.log");
  ASSERT_TRUE(CreateDirectoryW(log.c_str(), nullptr));  // a folder where the file should be
  EXPECT_NO_THROW(WriteLogInfo("erste"));
  ASSERT_TRUE(RemoveDirectoryW(log.c_str()));
  testing_support::WriteFile(dir / "orvapp.log", "");
  {
    LockedFile locked(dir / "orvapp.log");
    EXPECT_NO_THROW(WriteLogInfo("zweite"));
  }
  WriteLogInfo("dritte");
  EXPECT_EQ(Log(), "erste\r\nzweite\r\ndritte\r\n");
}

TEST_F(ActivityLog, LogFileNamesLieInTheLogsFolderBesideTheProgram) {
  EXPECT_EQ(LogFileName("Büro.ini"), dir / "Logs\\Büro.ini");
  EXPECT_TRUE(zip::fs::DirectoryExists(dir / "Logs"));
}

TEST(FileHelpers, SetThousandGroupsFromTheRight) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {{"", ""}, {"7", "7"}, {"123", "123"}, {"1234", "1.234"}, {"123456", "123.456"},
               {"1234567", "1.234.567"}, {"-1234", "-1.234"}, {"-123", "-123"}};
  for (const auto& c : cases) EXPECT_EQ(SetThousand(c.in), c.out) << c.in;
}

TEST(FileHelpers, FileSizesInKilobytes) {
  testing_support::TempDir dir;
  const struct {
    const char* name;
    std::int64_t bytes;
    double kb;
  } cases[] = {{"leer.txt", 0, 1}, {"a.txt", 1023, 1}, {"b.txt", 1024, 1}, {"c.txt", 2047, 1}, {"d.txt", 2048, 2}};
  for (const auto& c : cases) {
    testing_support::WriteFile(dir / c.name, std::string(static_cast<std::size_t>(c.bytes), 'x'));
    EXPECT_EQ(GetFileSizeKB(dir / c.name), c.kb) << c.name;
    EXPECT_EQ(GetFileSize64(dir / c.name), c.bytes) << c.name;
  }
  EXPECT_EQ(GetFileSizeKB(dir / "fehlt.txt"), -1);
  EXPECT_EQ(GetFileSizeKB(dir / "d.*"), 2);  // a pattern takes the first match
  EXPECT_EQ(GetFileSizeKB(dir.Path()), -1);  // a folder is no file

  // 4 GiB and more count right: a sparse file of 5 GiB takes no room.
  const std::string huge = dir / "gross.bin";
  const HANDLE h = CreateFileW(classlib::Widen(huge).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD ignored = 0;
  DeviceIoControl(h, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
  LARGE_INTEGER end;
  end.QuadPart = 5LL << 30;
  ASSERT_TRUE(SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && SetEndOfFile(h));
  CloseHandle(h);
  EXPECT_EQ(GetFileSize64(huge), 5LL << 30);
  EXPECT_EQ(GetFileSizeKB(huge), 5.0 * 1024 * 1024);
}
