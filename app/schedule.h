// When a job runs next: the text of its list column "Nächste Sicherung" and the date of its next
// time-of-day run, which the definition keeps as "NextBackup" so that a run missed while the
// program was not running can be caught up.
#pragma once

#include <optional>
#include <string>

#include "app/backup_definition.h"
#include "classlib/datetime.h"

namespace app {

// Minutes since midnight of a time written "hh:mm"; unset for any other text.
std::optional<int> TimeOfDayMinutes(const std::string& time);

// Minutes from now to target, both "hh:mm": a target hour before now's hour counts as tomorrow,
// otherwise the plain distance (a target a little earlier within the same hour gives a small
// positive number). Raises EConvertError for a text that is no time.
int GetMinutes(const std::string& target, const std::string& now);
// True when now is at or after target, both "hh:mm". Raises EConvertError for a text that is no time.
bool GetDateOver(const std::string& target, const std::string& now);

// Whether the job's weekday switch for dayOfWeek (1 Sunday .. 7 Saturday) is on.
bool RunsOnDay(const BackupDefinition& def, int dayOfWeek);
// A time of day that can come: switched on, a valid Time and at least one weekday.
bool HasTimeOfDaySchedule(const BackupDefinition& def);

// The column text at now: the countdown "n Minute(n)", the time "hh:mm Uhr", the name of the next
// enabled weekday when today is off, or "n/a".
std::string NextRunText(const BackupDefinition& def, classlib::TDateTime now);
// The next time-of-day run: today when its time is still ahead (the minute of now counts as
// over), else the next enabled weekday; 0 without a time-of-day schedule that can come.
classlib::TDateTime NextBackupDate(const BackupDefinition& def, classlib::TDateTime now);

// The same for a stored job, now: a job that is gone or cannot be read gives "n/a" and 0.
std::string SetMinutesText(const std::string& job);
classlib::TDateTime GetBackupDate(const std::string& job);

}  // namespace app
