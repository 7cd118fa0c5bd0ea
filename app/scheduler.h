// The schedule of the instant backups. A tick at every clock minute counts each job's interval
// down or compares its time of day, runs the jobs that are due (a full backup that is to run only
// on new or changed files first looks for them), and catches up time-of-day runs that were missed.
// The run-now commands and a "/start" from the command line or from a second start run jobs
// outside the tick. The schedule's state is the text of the job list's column.
//
// One guard covers them all: while a run or a tick is on its way, none of them starts another.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/job_list.h"
#include "app/wizards/form_recover.h"
#include "classlib/timer.h"

namespace app {

class Scheduler {
 public:
  // execute carries out one job whose start is logged (BackupRunner::ExecuteBackup).
  Scheduler(JobList& jobs, TFormRecover& recover, std::function<void(const std::string& job)> execute);
  Scheduler(const Scheduler&) = delete;
  Scheduler& operator=(const Scheduler&) = delete;

  // The tick's timer, armed for just after the next clock minute, so no minute is skipped or
  // counted twice. Off until SetTimerEnabled(true).
  classlib::TTimer TimerBackup;

  // Fills the list from the stored definitions, each with its column text.
  void GetBackups();

  // One tick (TimerBackup's event). Never throws.
  void TimerBackupTimer(classlib::TComponent* Sender);

  // Runs jobs at once, one after the other, each with its start in the log: "Durchführen" and the
  // information panel's "Erstellen", and "/start" with a job name from the first start's command
  // line or a second start's hand-over. False, running nothing, while a run or a tick is on its way.
  bool RunNow(const std::vector<std::string>& jobs);
  bool Busy() const { return busy_; }

  // The main window's switch of the scheduler (MainWindow().SetSchedulerEnabled). While a run or
  // a tick is on its way the timer stays off; when it ends, the last wish since it began holds, and
  // without one the timer runs.
  void SetTimerEnabled(bool enabled);
  // Every job whose column reads "Wird durchgeführt..." gets its column recomputed
  // (MainWindow().RecomputeRunningJobs).
  void RecomputeRunningJobs();

 private:
  class BusyScope;

  void Arm(bool enabled);
  // How many clock minutes this tick stands for: 0 when the minute was handled already, more than
  // one when the tick came late.
  int MinutesCovered(long long minute) const;
  void TickJob(const std::string& job, long long minute, int covered);
  void RunDue(const std::string& job);
  void CatchUp(const std::string& job);
  bool AskRecover(const std::string& job);
  bool Changed(const std::string& job) const;
  void RunJob(const std::string& job);
  void Recompute(const std::string& job);

  JobList& jobs_;
  TFormRecover& recover_;
  std::function<void(const std::string&)> execute_;
  bool busy_ = false;
  std::optional<bool> requested_;
  std::optional<long long> lastMinute_;
  bool updateCheckStarted_ = false;
};

}  // namespace app
