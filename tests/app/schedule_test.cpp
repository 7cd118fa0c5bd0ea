#include <windows.h>

#include <gtest/gtest.h>

#include <array>

#include "app/backup_definition.h"
#include "app/schedule.h"
#include "classlib/clock.h"
#include "classlib/date_format.h"
#include "classlib/exceptions.h"
#include "classlib/registry.h"
#include "tests/support/scratch_registry.h"

using namespace app;

namespace {

using Days = std::array<bool, 7>;  // Monday .. Sunday
const Days kAllDays = {{true, true, true, true, true, true, true}};
const Days kNoDays = {};

classlib::TDateTime At(int year, int month, int day, int hour, int minute) {
  return classlib::EncodeDate(year, month, day) + classlib::EncodeTime(hour, minute, 0, 0);
}

// Tuesday, 5 March 2024, 14:22.
const classlib::TDateTime kNow = At(2024, 3, 5, 14, 22);

Days Only(std::initializer_list<Weekday> days) {
  Days result = {};
  for (Weekday d : days) result[d] = true;
  return result;
}

BackupDefinition Job(bool intEnabled, int interval, bool timeEnabled, const std::string& time, Days days = kAllDays) {
  BackupDefinition def;
  def.IntEnabled = intEnabled;
  def.Intervall = interval;
  def.TimeEnabled = timeEnabled;
  def.Time = time;
  def.Weekdays = days;
  return def;
}

TEST(Schedule, TimesOfDayAndTheMinutesBetweenThem) {
  const struct {
    const char* target;
    const char* now;
    int minutes;
    bool over;
  } cases[] = {
      {"14:30", "14:22", 8, false},
      {"14:22", "14:22", 0, true},
      {"14:10", "14:22", 12, true},    // earlier within the hour: no wrap to tomorrow
      {"13:50", "14:22", 1408, true},  // an earlier hour is tomorrow
      {"00:00", "23:59", 1, true},
      {"23:59", "00:00", 1439, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GetMinutes(c.target, c.now), c.minutes) << c.target << " from " << c.now;
    EXPECT_EQ(GetDateOver(c.target, c.now), c.over) << c.target << " at " << c.now;
  }
  for (const char* bad : {"", "1430", "14.30", "24:00", "14:60", "ab:cd", " 9:30", "14:30:00", "14:3"}) {
    EXPECT_FALSE(TimeOfDayMinutes(bad)) << bad;
    EXPECT_THROW(GetMinutes(bad, "14:22"), classlib::EConvertError) << bad;
    EXPECT_THROW(GetDateOver("14:22", bad), classlib::EConvertError) << bad;
  }
  EXPECT_EQ(TimeOfDayMinutes("07:05"), 425);
}

TEST(Schedule, TheColumnShowsCountdownTimeWeekdayOrNothing) {
  const struct {
    const char* what;
    BackupDefinition def;
    const char* text;
  } cases[] = {
      {"interval", Job(true, 30, false, ""), "30 Minute(n)"},
      {"time within the interval", Job(true, 30, true, "14:40"), "14:40 Uhr"},
      {"time beyond the interval", Job(true, 30, true, "15:00"), "30 Minute(n)"},
      {"time only", Job(false, 0, true, "09:00"), "09:00 Uhr"},
      {"neither", Job(false, 30, false, "09:00"), "n/a"},
      {"today off: the next day on", Job(true, 30, false, "", Only({kThursday, kMonday})), "Donnerstag"},
      {"today off: the week wraps", Job(true, 30, false, "", Only({kMonday})), "Montag"},
      {"no day at all", Job(true, 30, true, "15:00", kNoDays), "n/a"},
      {"time only, not a time", Job(false, 0, true, "25:99"), "n/a"},
      {"interval beside a time that is not one", Job(true, 30, true, "bad"), "30 Minute(n)"},
      {"interval of no minutes", Job(true, 0, false, ""), "n/a"},
  };
  for (const auto& c : cases) EXPECT_EQ(NextRunText(c.def, kNow), c.text) << c.what;
}

TEST(Schedule, NextTimeOfDayRun) {
  const struct {
    const char* what;
    BackupDefinition def;
    classlib::TDateTime next;
  } cases[] = {
      {"no time of day", Job(true, 30, false, "15:00"), 0},
      {"later today", Job(false, 0, true, "15:00"), At(2024, 3, 5, 15, 0)},
      {"this very minute is over", Job(false, 0, true, "14:22"), At(2024, 3, 6, 14, 22)},
      {"only today, already past", Job(false, 0, true, "09:00", Only({kTuesday})), At(2024, 3, 12, 9, 0)},
      {"only today, still ahead", Job(false, 0, true, "15:00", Only({kTuesday})), At(2024, 3, 5, 15, 0)},
      {"today off", Job(false, 0, true, "09:00", Only({kFriday})), At(2024, 3, 8, 9, 0)},
      {"across the weekend", Job(false, 0, true, "09:00", Only({kMonday})), At(2024, 3, 11, 9, 0)},
      {"no weekday", Job(false, 0, true, "09:00", kNoDays), 0},
      {"not a time", Job(false, 0, true, "9:00"), 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NextBackupDate(c.def, kNow), c.next)
        << c.what << ": " << classlib::DateTimeToStr(NextBackupDate(c.def, kNow));
    EXPECT_EQ(HasTimeOfDaySchedule(c.def), c.next != 0) << c.what;
  }
}

TEST(Schedule, StoredJobsThatCannotBeReadShowNothingAndNeverRaise) {
  testing_support::ScratchRegistry registry;
  classlib::SetClockForTesting([] { return kNow; });
  BackupDefinition def = Job(false, 0, true, "15:00");
  def.Title = "Abends";
  WriteBackupDefinition(def);
  EXPECT_EQ(SetMinutesText("Abends"), "15:00 Uhr");
  EXPECT_EQ(GetBackupDate("Abends"), At(2024, 3, 5, 15, 0));

  EXPECT_EQ(SetMinutesText("Gibt es nicht"), "n/a");
  EXPECT_EQ(GetBackupDate("Gibt es nicht"), 0);

  // A value of the wrong type, as a hand-edited registry may hold.
  {
    classlib::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Norvex\\Orvanta\\Backups\\Abends", false));
    reg.WriteString("Instances", "drei");
  }
  EXPECT_EQ(SetMinutesText("Abends"), "n/a");
  EXPECT_EQ(GetBackupDate("Abends"), 0);
  classlib::SetClockForTesting(nullptr);
}

}  // namespace
