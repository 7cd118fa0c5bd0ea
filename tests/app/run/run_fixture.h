// A world for the backup run and the scheduler: the windows a run uses, the job list, a scheduler
// whose runs are recorded, a clock the test moves, a system that only records shut-downs and
// opened files, and the peer tools that check what was written.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/backup_definition.h"
#include "app/backup_run.h"
#include "app/job_list.h"
#include "app/scheduler.h"
#include "app/system_actions.h"
#include "app/wizards/form_popup.h"
#include "app/wizards/form_progress.h"
#include "app/wizards/form_recover.h"
#include "tests/app/folder_job.h"
#include "tests/app/wizards/wizard_fixture.h"

namespace run_testing {

extern const char kStartLines[];  // the start block of "Job" at 05.03.2024 14:22
extern const char kCompleted[];   // the end of a completed run at 05.03.2024 14:22
extern const char kAborted[];     // the end of a cancelled or failed run at 05.03.2024 14:22

using app_testing::RandomBytes;

// The files (not folders) of a folder with their contents.
using Files = std::map<std::string, std::string>;
Files Snapshot(const std::string& folder);

// The archive's entry name of a file: its path without the drive, with "/".
std::string EntryName(const std::string& path);

// Tests an archive (its parts in order, the ".zip" file last) with unzip -t, Python's zipfile and
// 7z t, a split set joined by zip -s 0 first; returns one line per entry, sorted: the name, a tab,
// and the content when it is at most 64 bytes, else its size as "<n> bytes". Fails the test when a
// tool rejects the archive.
std::string PeerListing(const std::vector<std::string>& files, const std::string& password = {});

class RunFixture : public wizard_testing::WizardFixture {
 protected:
  RunFixture();
  ~RunFixture() override;

  // 2024-03-<day> hour:minute:second; Tuesday the 5th at 14:22 until a test moves it.
  void SetNow(int day, int hour, int minute, int second = 0);
  // A folder job named name on the folder "src" with its subfolders, written to "ziel", one
  // generation, no confirmation, every 60 minutes.
  app::BackupDefinition Definition(const std::string& name = "Job") const;
  // A file below the scratch folder (folders created) with its last-write time on the given day of
  // March 2024 at 9:30.
  std::string MakeFile(const std::string& relative, const std::string& content, int day = 1);
  // Stores the definition afresh and runs it now, as the list's "Durchführen" does.
  void RunJob(const app::BackupDefinition& def);
  // The log written so far, and afresh from here.
  std::string TakeLog();

  classlib::TDateTime now = 0;
  const std::string source = dir / "src\\";
  const std::string target = dir / "ziel\\";

  app::TFormProgress* progress = new app::TFormProgress(nullptr);
  app::TFormPopup* popup = new app::TFormPopup(nullptr);
  app::TFormRecover* recover = new app::TFormRecover(nullptr);
  app::BackupRunner runner{*progress, *popup};
  app::JobList jobs;
  // Jobs the scheduler ran, in order; execute does the run (the real one unless a test replaces it).
  std::vector<std::string> ran;
  std::function<void(const std::string&)> execute = [this](const std::string& job) { runner.ExecuteBackup(job); };
  app::Scheduler scheduler{jobs, *recover, [this](const std::string& job) {
                             ran.push_back(job);
                             execute(job);
                           }};

  // What the system was asked to do after runs.
  std::vector<unsigned> exits;
  std::vector<std::string> opened;

 private:
  std::string logRead_;
};

}  // namespace run_testing
