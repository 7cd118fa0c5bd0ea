#include "app/scheduler.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "app/activity_log.h"
#include "app/backup_definition.h"
#include "app/definition_name.h"
#include "app/file_state_list.h"
#include "app/partial_filter.h"
#include "app/schedule.h"
#include "app/wizards/main_window_hooks.h"
#include "classlib/clock.h"
#include "classlib/forms.h"

namespace app {
namespace {

constexpr long long kMillisecondsPerMinute = 60000;
constexpr int kMinutesPerDay = 24 * 60;
// The tick comes this long after the clock's minute, so an early timer never lands before it.
constexpr long long kTickDelay = 200;
// A tick later than this stands for one minute only: the clock jumped or the machine slept, and
// missed times of day are the catch-up's.
constexpr long long kLatestTick = 5;

long long Milliseconds(classlib::TDateTime value) { return std::llround(value * 86400000.0); }

// "n Minute(n)" gives n.
bool ParseCountdown(const std::string& text, int& minutes) {
  static const std::string suffix = " Minute(n)";
  if (text.size() <= suffix.size() || text.compare(text.size() - suffix.size(), suffix.size(), suffix) != 0)
    return false;
  try {
    std::size_t used = 0;
    const std::string number = text.substr(0, text.size() - suffix.size());
    minutes = std::stoi(number, &used);
    return used == number.size();
  } catch (const std::exception&) {
    return false;
  }
}

// A column "hh:mm Uhr" whose time is one of the covered minutes up to minute.
bool TimeOfDayDue(const std::string& text, long long minute, int covered) {
  if (text.size() != 9 || text.compare(5, 4, " Uhr") != 0) return false;
  const std::optional<int> time = TimeOfDayMinutes(text.substr(0, 5));
  for (int back = 0; time && back < covered; ++back)
    if ((minute - back) % kMinutesPerDay == *time) return true;
  return false;
}

}  // namespace

// Marks the scheduler busy with its timer off, and puts the timer back however the work ends.
class Scheduler::BusyScope {
 public:
  explicit BusyScope(Scheduler& s) : s_(s) {
    s_.busy_ = true;
    s_.requested_.reset();
    s_.TimerBackup.SetEnabled(false);
  }
  ~BusyScope() {
    s_.busy_ = false;
    s_.Arm(s_.requested_.value_or(true));
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  Scheduler& s_;
};

Scheduler::Scheduler(JobList& jobs, TFormRecover& recover, std::function<void(const std::string&)> execute)
    : TimerBackup(nullptr), jobs_(jobs), recover_(recover), execute_(std::move(execute)) {
  TimerBackup.SetEnabled(false);
  TimerBackup.OnTimer = [this](classlib::TComponent* Sender) { TimerBackupTimer(Sender); };
}

void Scheduler::GetBackups() {
  jobs_.Clear();
  for (const std::string& job : ListBackupDefinitions()) jobs_.Add(job, SetMinutesText(job));
}

void Scheduler::SetTimerEnabled(bool enabled) {
  if (busy_) {
    requested_ = enabled;
    return;
  }
  Arm(enabled);
}

void Scheduler::Arm(bool enabled) {
  TimerBackup.SetEnabled(false);
  if (!enabled) return;
  const long long intoMinute = Milliseconds(classlib::Now()) % kMillisecondsPerMinute;
  TimerBackup.SetInterval(static_cast<unsigned>(kMillisecondsPerMinute - intoMinute + kTickDelay));
  TimerBackup.SetEnabled(true);
}

int Scheduler::MinutesCovered(long long minute) const {
  if (!lastMinute_) return 1;
  const long long passed = minute - *lastMinute_;
  if (passed == 0) return 0;
  return passed < 0 || passed > kLatestTick ? 1 : static_cast<int>(passed);
}

void Scheduler::TimerBackupTimer(classlib::TComponent*) {
  if (busy_) return;
  BusyScope busy(*this);
  if (!updateCheckStarted_) updateCheckStarted_ = MainWindow().StartAutomaticUpdateCheck();
  const long long minute = Milliseconds(classlib::Now()) / kMillisecondsPerMinute;
  const int covered = MinutesCovered(minute);
  if (covered == 0) return;
  lastMinute_ = minute;
  // Names, not items: a job deleted or renamed while another runs is passed over.
  for (const std::string& job : jobs_.Names()) {
    try {
      TickJob(job, minute, covered);
    } catch (const std::exception&) {
      Recompute(job);
    }
  }
}

void Scheduler::TickJob(const std::string& job, long long minute, int covered) {
  const std::string text = jobs_.NextRun(job);
  if (jobs_.IndexOf(job) < 0 || text == kDeactivated) return;
  int left = 0;
  bool due = false;
  if (ParseCountdown(text, left)) {
    // A countdown set since the last tick (a saved definition, a run that ended) counts only the
    // minutes from its own one on, not those that passed while the timer was off.
    const long long set = Milliseconds(jobs_.NextRunSet(job)) / kMillisecondsPerMinute;
    left -= static_cast<int>(std::min<long long>(covered, std::max(0LL, minute - set)));
    jobs_.SetNextRun(job, std::to_string(left) + " Minute(n)");
    due = left <= 0;
  } else {
    const std::string next = SetMinutesText(job);
    jobs_.SetNextRun(job, next);
    due = TimeOfDayDue(next, minute, covered);
  }
  if (due) RunDue(job);
  CatchUp(job);
}

void Scheduler::RunDue(const std::string& job) {
  jobs_.SetNextRun(job, kChecking);
  if (Changed(job)) RunJob(job);
  // Also when nothing changed: the time of day was served, so it is no missed run.
  WriteNextBackup(job, GetBackupDate(job));
  Recompute(job);
}

// Only a full backup that is to run on new or changed files alone is tested; a definition that
// cannot be read runs, so that its run logs why it fails; so does one whose name breaks the rule,
// before its state file's name reaches elsewhere.
bool Scheduler::Changed(const std::string& job) const {
  if (!DefinitionNameProblem(job).empty()) return true;
  try {
    const std::optional<BackupDefinition> def = ReadBackupDefinition(job);
    return !def || !(def->FullBackup.value_or(false) && def->NewOnly) ||
           FilesChangedSinceLastFull(*def, StateFileName(job));
  } catch (const std::exception&) {
    return true;
  }
}

void Scheduler::CatchUp(const std::string& job) {
  if (jobs_.IndexOf(job) < 0 || jobs_.NextRun(job) == kDeactivated) return;
  const std::optional<BackupDefinition> def = ReadBackupDefinition(job);
  if (!def || !def->Recover || def->NextBackup == 0 || def->NextBackup >= classlib::Now()) return;
  // Without a time of day that can come there was no run to miss.
  bool run = false;
  if (HasTimeOfDaySchedule(*def)) {
    switch (*def->Recover) {
      case RecoverMode::RunAtOnce:
        run = true;
        break;
      case RecoverMode::Ask:
        run = AskRecover(job);
        break;
      case RecoverMode::Skip:
        break;
    }
  }
  if (run) RunJob(job);
  WriteNextBackup(job, GetBackupDate(job));
  if (run) Recompute(job);
}

bool Scheduler::AskRecover(const std::string& job) {
  recover_.LabelInfo->SetCaption("Sicherung \"" + job +
                                 "\" konnte beim letzten Sicherungszeitpunkt nicht durchgeführt werden.");
  return AskUser(recover_) == TChoiceForm::kOK &&
         recover_.FlatComboBoxRecover->ItemIndex() == TFormRecover::kRecoverNow;
}

void Scheduler::RunJob(const std::string& job) {
  // A job that is gone has nothing to run and nothing to log; a program on its way out starts none.
  if (!BackupDefinitionExists(job) || classlib::Application().Terminated()) return;
  jobs_.SetNextRun(job, kRunning);
  LogInstantBackupStart(job);
  execute_(job);
}

// A job switched off meanwhile (during its own run, say) stays off.
void Scheduler::Recompute(const std::string& job) {
  if (jobs_.NextRun(job) != kDeactivated) jobs_.SetNextRun(job, SetMinutesText(job));
}

void Scheduler::RecomputeRunningJobs() {
  for (const std::string& job : jobs_.Names())
    if (jobs_.NextRun(job) == kRunning) Recompute(job);
}

bool Scheduler::RunNow(const std::vector<std::string>& jobs) {
  if (busy_) return false;
  BusyScope busy(*this);
  for (const std::string& job : jobs) {
    // Running a switched-off job by hand leaves it switched off.
    const bool deactivated = jobs_.NextRun(job) == kDeactivated;
    try {
      RunJob(job);
    } catch (const std::exception&) {
      // The run handles its own failures; whatever else goes wrong, the next job still runs.
    }
    if (deactivated) {
      jobs_.SetNextRun(job, kDeactivated);
    } else {
      Recompute(job);
    }
  }
  return true;
}

}  // namespace app
