// The window of a scheduled run. It owns the run's zip writer and CD writer and turns their events
// into progress, status texts, prompts and log lines; its cancel button stops the run; and it
// answers the end of the Windows session for the whole program.
//
// Cancelling has two halves. RequestCancel (the button, or the end of the session) only asks the
// writers to stop: the zip writer raises EUserCanceled at its next check, a CD write ends as
// cancelled. Nothing is cleaned up then, because the run is still on the stack below the handler.
// The run, once the writer has returned, ends through EndCancelledRun. A run that pumps messages
// outside the writers (collecting files, burning) tests CancelRequested() when that step returns.
#pragma once

#include <memory>
#include <string>

#include "app/cd_writer.h"
#include "app/wizards/run_feedback.h"
#include "classlib/forms.h"
#include "classlib/stdctrls.h"
#include "controls/flat/flat_button.h"
#include "controls/panels/vis_progress_fill.h"
#include "zip/zip_writer.h"

namespace app {

// The question before the program ends during a run, at the end of the session or by "Beenden".
extern const char kCancelAndQuitQuestion[];

class TFormProgress : public classlib::TForm {
 public:
  explicit TFormProgress(classlib::TComponent* AOwner);

  classlib::TLabel* LabelAction;
  controls::TVisProgressFill* FlatProgressBarActual;
  controls::TVisProgressFill* FlatProgressBarArchive;
  controls::TFlatButton* FlatButtonCancel;

  zip::TZipWriter ZipArchive;
  TCDWriter* OrvBurner;

  // The program agreed to the end of the Windows session: closing the main window then quits.
  bool SessionEnding = false;

  // The first half of the cancel path: asks the zip writer and the CD writer to stop. Without a
  // run to notice it, the second half follows at once.
  void RequestCancel();
  bool CancelRequested() const { return cancelRequested_; }
  // The second half, for every early end of a run, once its writer has returned: the list texts
  // of running jobs recomputed, the abort logged (once per run), the running mark, the tray
  // icon, the main window and the scheduler back to rest, this window closed.
  void EndCancelledRun();

  // WM_QUERYENDSESSION for the whole program (the main window passes its own on): true lets the
  // session end. Asks at most once per end of the session.
  bool QueryEndSession();
  // WM_ENDSESSION (the main window passes its own on): the session ends, or goes on.
  void EndSession(bool ending);

 protected:
  void WndProc(classlib::TMessage& Message) override;

 private:
  enum class SessionAnswer { None, Allowed, Refused };

  void FormShow(classlib::TComponent* Sender);
  void FormClose(classlib::TComponent* Sender, classlib::TCloseAction& Action);
  void FormCloseQuery(classlib::TComponent* Sender, bool& CanClose);
  void FlatButtonCancelClick(classlib::TComponent* Sender);

  void ZipArchiveStartZip(const std::string& FName, zip::TZipHeaderInfo& ZipHeader, bool& Skip);

  void LogAbortOnce();

  bool cancelRequested_ = false;
  std::unique_ptr<TFileStatusLine> fileStatus_;
  bool abortLogged_ = false;
  SessionAnswer sessionAnswer_ = SessionAnswer::None;
};

}  // namespace app
