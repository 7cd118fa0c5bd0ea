#include "app/schedule.h"

#include <cstdlib>

#include "app/job_list.h"
#include "classlib/clock.h"
#include "classlib/date_format.h"
#include "classlib/exceptions.h"

namespace app {
namespace {

constexpr int kMinutesPerDay = 24 * 60;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int Minutes(const std::string& time) {
  const std::optional<int> minutes = TimeOfDayMinutes(time);
  if (!minutes) throw classlib::EConvertError("'" + time + "' ist keine gültige Uhrzeit");
  return *minutes;
}

int MinutesOfDay(classlib::TDateTime value) {
  const classlib::TimeParts time = classlib::DecodeTime(value);
  return time.hour * 60 + time.minute;
}

// The day i days after dayOfWeek (1 Sunday .. 7 Saturday).
int DayAfter(int dayOfWeek, int i) { return (dayOfWeek - 1 + i) % 7 + 1; }

std::string IntervalText(const BackupDefinition& def) {
  return def.Intervall > 0 ? std::to_string(def.Intervall) + " Minute(n)" : kNoSchedule;
}

}  // namespace

std::optional<int> TimeOfDayMinutes(const std::string& time) {
  if (time.size() != 5 || time[2] != ':' || !IsDigit(time[0]) || !IsDigit(time[1]) || !IsDigit(time[3]) ||
      !IsDigit(time[4]))
    return std::nullopt;
  const int hour = (time[0] - '0') * 10 + (time[1] - '0');
  const int minute = (time[3] - '0') * 10 + (time[4] - '0');
  if (hour > 23 || minute > 59) return std::nullopt;
  return hour * 60 + minute;
}

int GetMinutes(const std::string& target, const std::string& now) {
  int to = Minutes(target);
  const int from = Minutes(now);
  if (to / 60 < from / 60) to += kMinutesPerDay;
  return std::abs(to - from);
}

bool GetDateOver(const std::string& target, const std::string& now) { return Minutes(now) >= Minutes(target); }

bool RunsOnDay(const BackupDefinition& def, int dayOfWeek) {
  // Weekdays are kept from Monday; DayOfWeek counts from Sunday.
  const int index = dayOfWeek == 1 ? kSunday : dayOfWeek - 2;
  return def.Weekdays[static_cast<std::size_t>(index)];
}

bool HasTimeOfDaySchedule(const BackupDefinition& def) {
  bool anyDay = false;
  for (bool day : def.Weekdays) anyDay = anyDay || day;
  return def.TimeEnabled && TimeOfDayMinutes(def.Time) && anyDay;
}

std::string NextRunText(const BackupDefinition& def, classlib::TDateTime now) {
  const int today = classlib::DayOfWeek(now);
  if (!RunsOnDay(def, today)) {
    for (int i = 1; i <= 7; ++i)
      if (RunsOnDay(def, DayAfter(today, i))) return classlib::LongDayName(DayAfter(today, i));
    return kNoSchedule;
  }
  const std::optional<int> time = def.TimeEnabled ? TimeOfDayMinutes(def.Time) : std::nullopt;
  if (!def.IntEnabled) return time ? def.Time + " Uhr" : kNoSchedule;
  if (time && GetMinutes(def.Time, classlib::FormatDateTime("hh:nn", now)) < def.Intervall) return def.Time + " Uhr";
  return IntervalText(def);
}

classlib::TDateTime NextBackupDate(const BackupDefinition& def, classlib::TDateTime now) {
  if (!HasTimeOfDaySchedule(def)) return 0;
  const int time = *TimeOfDayMinutes(def.Time);
  const classlib::TDateTime at = classlib::EncodeTime(time / 60, time % 60, 0, 0);
  const classlib::TDateTime today = static_cast<double>(static_cast<long long>(now));
  const int dayOfWeek = classlib::DayOfWeek(now);
  if (RunsOnDay(def, dayOfWeek) && MinutesOfDay(now) < time) return today + at;
  for (int i = 1; i <= 7; ++i)
    if (RunsOnDay(def, DayAfter(dayOfWeek, i))) return today + i + at;
  return 0;
}

std::string SetMinutesText(const std::string& job) {
  try {
    const std::optional<BackupDefinition> def = ReadBackupDefinition(job);
    return def ? NextRunText(*def, classlib::Now()) : kNoSchedule;
  } catch (const std::exception&) {
    return kNoSchedule;
  }
}

classlib::TDateTime GetBackupDate(const std::string& job) {
  try {
    const std::optional<BackupDefinition> def = ReadBackupDefinition(job);
    return def ? NextBackupDate(*def, classlib::Now()) : 0;
  } catch (const std::exception&) {
    return 0;
  }
}

}  // namespace app
