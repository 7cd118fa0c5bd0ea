// Carrying out one stored backup definition: the confirmation when it asks for one, the files
// collected and filtered, the archive written under a name aside and put in its place (with its
// generations) only once it is complete, the CD, the state file, the results and the action
// afterwards. A run that could save none of its files fails: an empty archive is no backup.
// Whatever ends a run (completion, the user's cancel, a failure), the older backups stay as they
// were unless the new one took their place, the log closes the run's block, and the windows and
// the scheduler's timer are back at rest. What an earlier run of the job stopped before its end
// left aside goes first, after an older set it had moved aside while placing went back. The
// destination is never backed up into itself. A run that burns writes the archive to a fresh
// folder below the temporary folder and burns it with the progress window's CD writer, a disc per
// file; what a stopped burn did not burn stays in that folder.
#pragma once

#include <string>

#include "app/wizards/form_popup.h"
#include "app/wizards/form_progress.h"

namespace app {

class BackupRunner {
 public:
  BackupRunner(TFormProgress& progress, TFormPopup& popup) : progress_(progress), popup_(popup) {}

  // Runs the job of that name; the caller has logged its start. A job that does not exist ends
  // at once. Handles every failure itself: nothing is thrown.
  void ExecuteBackup(const std::string& job);

 private:
  TFormProgress& progress_;
  TFormPopup& popup_;
};

}  // namespace app
