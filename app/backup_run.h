// Carrying out one stored backup definition: the confirmation when it asks for one, the files
// collected and filtered, the archive written under a name aside and put in its place (with its
// generations) only once it is complete, the CD, the state file, the results and the action
// afterwards. Whatever ends a run (completion, the user's cancel, a failure), the older backups
// stay as they were unless the new one took their place, the log closes the run's block, and the
// windows and the scheduler's timer are back at rest.
#pragma once

#include <functional>
#include <string>

#include "app/cd_writer.h"
#include "app/wizards/form_popup.h"
#include "app/wizards/form_progress.h"
#include "classlib/stdctrls.h"
#include "controls/panels/vis_progress_fill.h"

namespace app {

// One file to write to a disc, with the settings of the definition.
struct BurnRequest {
  TCDWriter* Writer = nullptr;
  bool Erase = false;  // a rewritable disc that holds data
  char DriveLetter = 0;
  int Speed = 1;
  controls::TVisProgressFill* ArchiveBar = nullptr;
  controls::TVisProgressFill* ActualBar = nullptr;
  classlib::TLabel* Status = nullptr;
  std::string File;  // deleted once it is on the disc
  bool Eject = false;
  bool FinalizeRewritable = false;
  bool FinalizeWriteOnce = false;
};

// True when the file is on the disc. The user answers disc problems inside.
using BurnStep = std::function<bool(const BurnRequest&)>;

class BackupRunner {
 public:
  BackupRunner(TFormProgress& progress, TFormPopup& popup) : progress_(progress), popup_(popup) {}

  // Writes one disc; unset, no disc can be written and a run that burns ends as if the first disc
  // failed.
  BurnStep BurnOnCD;

  // Runs the job of that name; the caller has logged its start. A job that does not exist ends
  // at once. Handles every failure itself: nothing is thrown.
  void ExecuteBackup(const std::string& job);

 private:
  TFormProgress& progress_;
  TFormPopup& popup_;
};

}  // namespace app
