// Which files a partial backup takes, and the scheduler's test whether a full backup is due at
// all. Both decide through one rule: a file whose date cannot be read always counts as changed,
// so it is never left out of a backup.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/backup_definition.h"
#include "app/file_state_list.h"
#include "classlib/datetime.h"
#include "classlib/stringlist.h"

namespace app {

enum class PartialMode { SinceLastFull, SinceDate, WithinDays };

struct PartialFilter {
  PartialMode Mode = PartialMode::SinceLastFull;
  TLogData States;              // SinceLastFull: the loaded file state list
  std::uint32_t SinceDate = 0;  // SinceDate: the reference as a DOS date-time
  int SinceDays = 0;            // WithinDays: the most days a file may be old
  classlib::TDateTime Today = 0;  // WithinDays: now
};

// Whether a file with the given DOS date-time belongs in the partial backup: since the last full
// backup, when it is not in the state list or its date differs; since a date, when it is not
// older; within days, when it is at most SinceDays days old (by calendar days).
bool IsNewOrChanged(const std::string& path, std::uint32_t fileDate, const PartialFilter& filter);

// The files of the list that the filter takes, in list order, each judged by its date in dates
// (by the same index), as the collection found it.
classlib::TStringList ApplyPartialFilter(const classlib::TStringList& files, const std::vector<std::uint32_t>& dates,
                                         const PartialFilter& filter);

// The scheduler's test before a full backup with "NewOnly": true when a collected file is new or
// changed since the state file was written, and also when there is no usable state file, a folder
// of the definition cannot be collected, or anything fails.
bool FilesChangedSinceLastFull(const BackupDefinition& def, const std::string& stateFile);

}  // namespace app
