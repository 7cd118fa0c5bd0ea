#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/file_state_list.h"
#include "app/schedule.h"
#include "tests/app/run/run_fixture.h"

using namespace app;
using namespace run_testing;

namespace {

using Days = std::array<bool, 7>;  // Monday .. Sunday
const Days kAllDays = {{true, true, true, true, true, true, true}};

classlib::TDateTime March(int day, int hour, int minute) {
  return classlib::EncodeDate(2024, 3, day) + classlib::EncodeTime(hour, minute, 0, 0);
}

std::string StartLines(const std::string& job, const std::string& time) {
  return "Uhrzeit:      05.03.2024 " + time + "\r\nTyp:          Instant Backup\r\nName:         " + job +
         "\r\nArt:          Start der Durchf\xFChrung\r\n";
}

// The scheduler with the run replaced: what a test puts in duringRun happens while a job runs.
class SchedulerTest : public RunFixture {
 protected:
  SchedulerTest() {
    execute = [this](const std::string& job) {
      if (duringRun) duringRun(job);
    };
    // The user at the catch-up question.
    const classlib::TNotifyEvent shown = recover->OnShow;
    recover->OnShow = [this, shown](classlib::TComponent* Sender) {
      shown(Sender);
      ++recoverQuestions;
      recover->FlatComboBoxRecover->SetItemIndex(recoverEntry);
      PostMessageW((recoverOK ? recover->FlatButtonOK : recover->FlatButtonCancel)->Handle(), BM_CLICK, 0, 0);
    };
    scheduler.SetTimerEnabled(true);
  }

  // A job on a time of day only, its NextBackup as the wizard stores it.
  BackupDefinition Timed(const std::string& name, const std::string& time, Days days = kAllDays) {
    BackupDefinition def = Definition(name);
    def.IntEnabled = false;
    def.TimeEnabled = true;
    def.Time = time;
    def.Weekdays = days;
    def.NextBackup = NextBackupDate(def, now);
    return def;
  }

  BackupDefinition Every(const std::string& name, int minutes) {
    BackupDefinition def = Definition(name);
    def.Intervall = minutes;
    return def;
  }

  // Stored afresh: no value of an earlier definition of the name stays.
  void Store(const std::vector<BackupDefinition>& defs) {
    for (const BackupDefinition& def : defs) {
      DeleteBackupDefinition(def.Title);
      WriteBackupDefinition(def);
    }
    scheduler.GetBackups();
  }

  // The timer's tick at that moment of March 2024; the timer must be on.
  void Tick(int day, int hour, int minute, int second = 0) {
    SetNow(day, hour, minute, second);
    ASSERT_TRUE(scheduler.TimerBackup.Enabled());
    scheduler.TimerBackup.Tick();
  }

  classlib::TDateTime NextBackup(const std::string& job) { return ReadBackupDefinition(job)->NextBackup; }

  std::function<void(const std::string&)> duringRun;
  int recoverQuestions = 0;
  int recoverEntry = TFormRecover::kRecoverNow;
  bool recoverOK = true;
};

TEST_F(SchedulerTest, AnIntervalCountsDownAndRunsAtItsLastMinute) {
  Store({Every("Job", 5)});
  EXPECT_EQ(jobs.NextRun("Job"), "5 Minute(n)");
  // After its run the job counts its interval anew.
  const char* const columns[] = {"4 Minute(n)", "3 Minute(n)", "2 Minute(n)", "1 Minute(n)", "5 Minute(n)"};
  for (int tick = 1; tick <= 5; ++tick) {
    Tick(5, 14, 22 + tick);
    EXPECT_EQ(jobs.NextRun("Job"), columns[tick - 1]) << "tick " << tick;
    EXPECT_EQ(ran.size(), tick == 5 ? 1u : 0u) << "tick " << tick;
  }
  EXPECT_EQ(TakeLog(), StartLines("Job", "14:27"));
  EXPECT_EQ(NextBackup("Job"), 0);
  EXPECT_TRUE(scheduler.TimerBackup.Enabled());
}

TEST_F(SchedulerTest, TimesOfDayOnTheirWeekdays) {
  auto without = [](Weekday day) {
    Days days = kAllDays;
    days[day] = false;
    return days;
  };
  const struct {
    const char* what;
    const char* time;
    Days days;
    const char* column;
    bool runs;
    classlib::TDateTime next;
  } cases[] = {
      {"due now", "14:22", kAllDays, "14:22 Uhr", true, March(6, 14, 22)},
      {"today off", "14:22", without(kTuesday), "Mittwoch", false, March(6, 14, 22)},
      {"only today, already past", "09:00", Days{{false, true, false, false, false, false, false}}, "09:00 Uhr", false,
       March(12, 9, 0)},
      {"only today, still ahead", "16:00", Days{{false, true, false, false, false, false, false}}, "16:00 Uhr", false,
       March(5, 16, 0)},
      {"no weekday at all", "14:22", Days{}, "n/a", false, 0},
      {"not a time", "14.22", kAllDays, "n/a", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ran.clear();
    SetNow(5, 14, 21);
    BackupDefinition def = Timed("Job", c.time, c.days);
    // A missed run on the books, to be caught up at once: only a schedule that can come has one.
    def.Recover = RecoverMode::RunAtOnce;
    if (def.NextBackup == 0) def.NextBackup = March(4, 14, 22);
    Store({def});
    Tick(5, 14, 21);
    Tick(5, 14, 22);
    EXPECT_EQ(jobs.NextRun("Job"), c.column);
    EXPECT_EQ(ran.size(), c.runs ? 1u : 0u);
    EXPECT_EQ(NextBackup("Job"), c.next);
    TakeLog();
  }
}

TEST_F(SchedulerTest, AMissedRunIsCaughtUpAsItsDefinitionSays) {
  const struct {
    const char* what;
    std::optional<RecoverMode> mode;
    bool ok;
    int entry;
    bool runs;
  } cases[] = {
      {"at once", RecoverMode::RunAtOnce, true, 0, true},
      {"never", RecoverMode::Skip, true, 0, false},
      {"asked: now", RecoverMode::Ask, true, TFormRecover::kRecoverNow, true},
      {"asked: not", RecoverMode::Ask, true, TFormRecover::kSkipRecovery, false},
      {"asked: cancelled", RecoverMode::Ask, false, TFormRecover::kRecoverNow, false},
      {"no catch-up chosen", std::nullopt, true, 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ran.clear();
    recoverQuestions = 0;
    recoverOK = c.ok;
    recoverEntry = c.entry;
    BackupDefinition def = Timed("Job", "15:00");
    def.Recover = c.mode;
    def.NextBackup = March(4, 15, 0);  // yesterday's run was missed
    Store({def});
    std::string columnDuringRun;
    duringRun = [&](const std::string& job) { columnDuringRun = jobs.NextRun(job); };
    Tick(5, 14, 22);

    EXPECT_EQ(ran.size(), c.runs ? 1u : 0u);
    EXPECT_EQ(recoverQuestions, c.mode == RecoverMode::Ask ? 1 : 0);
    if (c.mode == RecoverMode::Ask) {
      EXPECT_EQ(recover->LabelInfo->Caption(),
                "Sicherung \"Job\" konnte beim letzten Sicherungszeitpunkt nicht durchgeführt werden.");
    }
    EXPECT_EQ(TakeLog(), c.runs ? StartLines("Job", "14:22") : "");
    EXPECT_EQ(columnDuringRun, c.runs ? "Wird durchgeführt..." : "");
    EXPECT_EQ(jobs.NextRun("Job"), "15:00 Uhr");
    // Decided either way: the next time of day is today's; without catch-up the missed one stays.
    EXPECT_EQ(NextBackup("Job"), c.mode ? March(5, 15, 0) : March(4, 15, 0));
    Tick(5, 14, 23);
    EXPECT_EQ(ran.size(), c.runs ? 1u : 0u);
  }
}

TEST_F(SchedulerTest, ASwitchedOffJobWaitsUntilItIsRunByHand) {
  BackupDefinition def = Timed("Job", "14:22");
  def.Recover = RecoverMode::RunAtOnce;
  def.NextBackup = March(4, 14, 22);
  Store({def});
  jobs.SetNextRun("Job", kDeactivated);
  Tick(5, 14, 22);
  EXPECT_TRUE(ran.empty());
  EXPECT_EQ(jobs.NextRun("Job"), "Deaktiviert");
  EXPECT_EQ(NextBackup("Job"), March(4, 14, 22));

  EXPECT_TRUE(scheduler.RunNow({"Job"}));
  EXPECT_EQ(ran, std::vector<std::string>{"Job"});
  EXPECT_EQ(jobs.NextRun("Job"), "Deaktiviert");
  EXPECT_EQ(NextBackup("Job"), March(4, 14, 22));
}

TEST_F(SchedulerTest, AFullBackupOfChangedFilesOnlyRunsWhenAFileChanged) {
  MakeFile("src\\a.txt", "alpha");
  MakeFile("src\\b.txt", "beta");
  SetNow(5, 14, 21);
  BackupDefinition def = Timed("Job", "14:22");
  def.NewOnly = true;
  def.Recover = RecoverMode::RunAtOnce;
  Store({def});
  ASSERT_EQ(NextBackup("Job"), March(5, 14, 22));
  classlib::TStringList files;
  files.Add(dir / "src\\a.txt");
  files.Add(dir / "src\\b.txt");
  TLogData states = TakeFileStates(files);
  ASSERT_TRUE(SaveFileStates(StateFileName("Job"), states));

  std::vector<std::string> columns;
  jobs.OnChange = [&](int index) {
    if (index >= 0) columns.push_back(jobs.Item(index).NextRun);
  };
  Tick(5, 14, 22);
  EXPECT_TRUE(ran.empty());
  EXPECT_EQ(columns, (std::vector<std::string>{"14:22 Uhr", "Wird geprüft...", "14:22 Uhr"}));
  jobs.OnChange = nullptr;
  // The time was served, so no missed run is caught up.
  EXPECT_EQ(NextBackup("Job"), March(6, 14, 22));
  Tick(5, 14, 23);
  EXPECT_TRUE(ran.empty());

  MakeFile("src\\b.txt", "beta, neu", 4);
  Tick(6, 14, 22);
  EXPECT_EQ(ran, std::vector<std::string>{"Job"});
  EXPECT_EQ(NextBackup("Job"), March(7, 14, 22));
}

TEST_F(SchedulerTest, ARunThatOutlastsItsMinuteIsNotRepeated) {
  BackupDefinition def = Timed("Job", "14:22");
  def.Recover = RecoverMode::RunAtOnce;
  Store({def});
  duringRun = [&](const std::string&) { SetNow(5, 14, 23, 30); };
  Tick(5, 14, 22);
  ASSERT_EQ(ran.size(), 1u);
  // Armed for just after the next clock minute, counted from the end of the run.
  EXPECT_EQ(scheduler.TimerBackup.Interval(), 30200u);
  EXPECT_EQ(NextBackup("Job"), March(6, 14, 22));
  Tick(5, 14, 24);
  Tick(5, 14, 25);
  EXPECT_EQ(ran.size(), 1u);
}

TEST_F(SchedulerTest, EveryClockMinuteCountsOnceHoweverTheTicksCome) {
  SetNow(5, 14, 21, 30);
  Store({Every("Zehn", 10), Timed("Halb", "14:23")});
  Tick(5, 14, 22, 10);
  EXPECT_EQ(jobs.NextRun("Zehn"), "9 Minute(n)");
  EXPECT_EQ(scheduler.TimerBackup.Interval(), 50200u);
  Tick(5, 14, 22, 40);  // early: the same minute again
  EXPECT_EQ(jobs.NextRun("Zehn"), "9 Minute(n)");
  Tick(5, 14, 24, 5);  // late: 14:23 was not ticked
  EXPECT_EQ(jobs.NextRun("Zehn"), "7 Minute(n)");
  EXPECT_EQ(ran, std::vector<std::string>{"Halb"});
  Tick(5, 15, 30);  // far too late for a tick: the clock jumped, one minute counts
  EXPECT_EQ(jobs.NextRun("Zehn"), "6 Minute(n)");
}

TEST_F(SchedulerTest, ACountdownSetWhileTheTimerWasOffCountsFromItsOwnMinute) {
  SetNow(5, 14, 21, 30);
  Store({Every("Alt", 10), Every("Bearbeitet", 20)});
  Tick(5, 14, 22);
  // A wizard holds the scheduler from 14:22 to 14:24; saved meanwhile: a new definition and
  // an edited one, as the wizard lists them.
  scheduler.SetTimerEnabled(false);
  SetNow(5, 14, 24);
  WriteBackupDefinition(Every("Neu", 5));
  jobs.Add("Neu", SetMinutesText("Neu"));
  WriteBackupDefinition(Every("Bearbeitet", 15));
  jobs.SetNextRun("Bearbeitet", SetMinutesText("Bearbeitet"));
  EXPECT_EQ(jobs.NextRun("Neu"), "5 Minute(n)");
  EXPECT_EQ(jobs.NextRun("Bearbeitet"), "15 Minute(n)");
  scheduler.SetTimerEnabled(true);

  Tick(5, 14, 25);
  EXPECT_EQ(jobs.NextRun("Neu"), "4 Minute(n)");
  EXPECT_EQ(jobs.NextRun("Bearbeitet"), "14 Minute(n)");
  // A countdown that ran before the wizard opened counts the minutes it was open.
  EXPECT_EQ(jobs.NextRun("Alt"), "6 Minute(n)");
  for (int minute = 26; minute <= 28; ++minute) Tick(5, 14, minute);
  EXPECT_TRUE(ran.empty());
  // Exactly its interval after it was saved.
  Tick(5, 14, 29);
  EXPECT_EQ(ran, std::vector<std::string>{"Neu"});
}

TEST_F(SchedulerTest, NothingStartsARunWhileAnotherRunOrATickIsBusy) {
  Store({Timed("A", "14:22"), Timed("B", "14:22")});
  std::vector<bool> refused;
  duringRun = [&](const std::string& job) {
    if (job != "A") return;
    EXPECT_TRUE(scheduler.Busy());
    refused.push_back(!scheduler.RunNow({"B"}));
    scheduler.TimerBackupTimer(nullptr);
    scheduler.SetTimerEnabled(true);  // as the progress window's cancel path does
    EXPECT_FALSE(scheduler.TimerBackup.Enabled());
  };
  Tick(5, 14, 22);
  EXPECT_EQ(ran, (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(refused, std::vector<bool>{true});
  EXPECT_FALSE(scheduler.Busy());
  EXPECT_TRUE(scheduler.TimerBackup.Enabled());

  // A run started by hand keeps the tick out too, and gives the timer back.
  ran.clear();
  duringRun = [&](const std::string&) {
    EXPECT_FALSE(scheduler.TimerBackup.Enabled());
    scheduler.TimerBackupTimer(nullptr);
  };
  EXPECT_TRUE(scheduler.RunNow({"B"}));
  EXPECT_EQ(ran, std::vector<std::string>{"B"});
  EXPECT_TRUE(scheduler.TimerBackup.Enabled());

  // A wish to stop the timer made during a run holds when the run ends.
  duringRun = [&](const std::string&) { scheduler.SetTimerEnabled(false); };
  EXPECT_TRUE(scheduler.RunNow({"B"}));
  EXPECT_FALSE(scheduler.TimerBackup.Enabled());
}

TEST_F(SchedulerTest, JobsDeletedOrRenamedDuringARunAreNotActedOn) {
  Store({Timed("A", "14:22"), Timed("B", "14:22"), Timed("C", "14:22")});
  duringRun = [&](const std::string& job) {
    if (job != "A") return;
    jobs.Remove("B");
    DeleteBackupDefinition("B");
    WriteBackupDefinition(Timed("C2", "14:22"));
    DeleteBackupDefinition("C");
    jobs.Rename("C", "C2");
  };
  Tick(5, 14, 22);
  EXPECT_EQ(ran, std::vector<std::string>{"A"});
  EXPECT_EQ(jobs.Names(), (std::vector<std::string>{"A", "C2"}));
  EXPECT_EQ(jobs.NextRun("A"), "14:22 Uhr");
  EXPECT_EQ(jobs.NextRun("C2"), "14:22 Uhr");
  EXPECT_EQ(TakeLog(), StartLines("A", "14:22"));
}

TEST_F(SchedulerTest, AFailingJobNeitherStopsTheOthersNorTheTimer) {
  Store({Timed("A", "14:22"), Timed("B", "14:22")});
  duringRun = [&](const std::string& job) {
    if (job == "A") throw std::runtime_error("kaputt");
  };
  Tick(5, 14, 22);
  EXPECT_EQ(ran, (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(jobs.NextRun("A"), "14:22 Uhr");
  EXPECT_TRUE(scheduler.TimerBackup.Enabled());
  EXPECT_FALSE(scheduler.Busy());
  EXPECT_TRUE(scheduler.RunNow({"A", "B"}));
  EXPECT_EQ(ran.size(), 4u);
  EXPECT_TRUE(scheduler.TimerBackup.Enabled());
}

TEST_F(SchedulerTest, TheUpdateCheckStartsOncePerProgramRun) {
  int asked = 0;
  MainWindow().StartAutomaticUpdateCheck = [&] { return ++asked == 2; };  // offline at first
  for (int minute = 23; minute < 27; ++minute) Tick(5, 14, minute);
  EXPECT_EQ(asked, 2);
}

TEST_F(SchedulerTest, RunNowRunsTheJobsInOrderWithTheirStartInTheLog) {
  Store({Timed("Abend", "20:00"), Every("Stündlich", 60)});
  EXPECT_EQ(jobs.Names(), (std::vector<std::string>{"Abend", "Stündlich"}));
  EXPECT_EQ(jobs.NextRun("Abend"), "20:00 Uhr");
  EXPECT_EQ(jobs.NextRun("Stündlich"), "60 Minute(n)");
  std::vector<std::string> columns;
  duringRun = [&](const std::string& job) {
    columns.push_back(jobs.NextRun(job));
    EXPECT_FALSE(scheduler.TimerBackup.Enabled());
  };
  EXPECT_TRUE(scheduler.RunNow({"Stündlich", "Abend", "Gibt es nicht"}));
  EXPECT_EQ(ran, (std::vector<std::string>{"Stündlich", "Abend"}));
  EXPECT_EQ(columns, (std::vector<std::string>{"Wird durchgeführt...", "Wird durchgeführt..."}));
  EXPECT_EQ(jobs.NextRun("Abend"), "20:00 Uhr");
  EXPECT_EQ(TakeLog(), StartLines("St\xFCndlich", "14:22") + StartLines("Abend", "14:22"));
  EXPECT_EQ(NextBackup("Abend"), March(5, 20, 0));
  EXPECT_TRUE(scheduler.TimerBackup.Enabled());
}

}  // namespace
