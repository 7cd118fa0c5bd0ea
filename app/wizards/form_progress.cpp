#include "app/wizards/form_progress.h"

#include <windows.h>

#include "app/activity_log.h"
#include "app/wizards/main_window_hooks.h"
#include "app/wizards/run_feedback.h"
#include "app/wizards/window_style.h"

namespace app {

const char kCancelAndQuitQuestion[] =
    "Orvanta führt momentan eine Sicherung durch.\r\rMöchten Sie die Sicherung abbrechen und Orvanta beenden?";

using classlib::Bind;

namespace {

constexpr int kWidth = 440;
constexpr int kHeaderHeight = 56;
constexpr int kBoxHeight = 120;
constexpr int kBoxInnerWidth = kWidth - 2 * kMargin - 20;
const char kPreparing[] = "Backup wird vorbereitet...";

}  // namespace

TFormProgress::TFormProgress(classlib::TComponent* AOwner) : TForm(AOwner), OrvBurner(new TCDWriter(this)) {
  BeginLoading();
  SetCaption("Backup wird erstellt...");
  SetBorderIcons(classlib::biSystemMenu);
  SetPosition(classlib::TPosition::poMainFormCenter);
  SetClientSize(kWidth, kHeaderHeight + 1 + kMargin + kBoxHeight + kMargin + kButtonHeight + kMargin);
  OnShow = Bind(this, &TFormProgress::FormShow);
  OnClose = Bind(this, &TFormProgress::FormClose);
  OnCloseQuery = Bind(this, &TFormProgress::FormCloseQuery);

  const THeader header = NewHeader(this, this, "Backup-Erstellung", kHeaderHeight);
  NewLabel(this, header.Panel, kHeaderTextLeft, kHeaderTextTop,
           "Das Backup wird momentan erstellt. Bitte warten Sie einen Moment...", kWidth - kHeaderTextLeft - kMargin);

  auto* body = NewPanel(this, this, kLightColor, classlib::TAlign::alClient);
  auto* box = NewFramedPanel(this, body, kMargin, kMargin, kWidth - 2 * kMargin, kBoxHeight);
  NewBoldLabel(this, box, 10, 10, "Backup wird erstellt...");
  LabelAction = Place(new classlib::TLabel(this), box, 10, 30, kBoxInnerWidth, 13);
  LabelAction->SetAutoSize(false);
  LabelAction->SetShowAccelChar(false);
  LabelAction->SetCaption(kPreparing);
  FlatProgressBarActual = NewProgressBar(this, box, 10, 48, kBoxInnerWidth, 16);
  NewLabel(this, box, 10, 74, "Gesamtfortschritt");
  FlatProgressBarArchive = NewProgressBar(this, box, 10, 92, kBoxInnerWidth, 16);

  FlatButtonCancel =
      NewFlatButton(this, body, kWidth - kMargin - kButtonWidth, kMargin + kBoxHeight + kMargin, "Abbrechen");
  FlatButtonCancel->SetCancel(true);
  FlatButtonCancel->OnClick = Bind(this, &TFormProgress::FlatButtonCancelClick);
  EndLoading();

  ZipArchive.SetRecurse(true);
  ZipArchive.SetStorePaths(true);
  ZipArchive.SetAddDirEntriesOnRecurse(true);
  ZipArchive.SetPackLevel(MainWindow().PackLevel());
  ZipArchive.SetTempPath(MainWindow().TempFolder());
  ZipArchive.OnStartZip = Bind(this, &TFormProgress::ZipArchiveStartZip);
  fileStatus_ = std::make_unique<TFileStatusLine>(*LabelAction);
  ConnectRunDisplay(ZipArchive, *OrvBurner, *fileStatus_, *FlatProgressBarActual, *FlatProgressBarArchive);
}

void TFormProgress::FormShow(classlib::TComponent*) { MainWindow().SetEnabled(false); }

void TFormProgress::FormClose(classlib::TComponent*, classlib::TCloseAction&) {
  LabelAction->SetCaption(kPreparing);
  fileStatus_->Clear();
  FlatProgressBarActual->SetUserValue(0);
  FlatProgressBarArchive->SetUserValue(0);
  // The run is over: the next one starts without a request or an abort in the log.
  cancelRequested_ = false;
  abortLogged_ = false;
}

void TFormProgress::FormCloseQuery(classlib::TComponent*, bool& CanClose) { CanClose = MainWindow().Enabled(); }

void TFormProgress::FlatButtonCancelClick(classlib::TComponent*) { RequestCancel(); }

void TFormProgress::RequestCancel() {
  cancelRequested_ = true;
  ZipArchive.RequestCancel();
  OrvBurner->Tag = 0;
  OrvBurner->AbortWriting();
  if (!MainWindow().BackupRunning() && !ZipArchive.Busy()) EndCancelledRun();
}

void TFormProgress::EndCancelledRun() {
  ZipArchive.ClearArchive();
  OrvBurner->Tag = 0;
  MainWindow().RecomputeRunningJobs();
  const bool logAbort = MainWindow().BackupRunning();
  // Logging pumps messages: the end of the session must no longer find a run to ask about.
  MainWindow().SetBackupRunning(false);
  if (logAbort) LogAbortOnce();
  MainWindow().StopTrayAnimation();
  MainWindow().SetEnabled(true);
  MainWindow().SetSchedulerEnabled(true);
  Close();
}

void TFormProgress::LogAbortOnce() {
  if (abortLogged_) return;
  abortLogged_ = true;
  LogRunEnd(RunEnd::Cancelled);
}

// ---- the zip writer

void TFormProgress::ZipArchiveStartZip(const std::string& FName, zip::TZipHeaderInfo&, bool&) {
  // The writer forgets a request made before it started; this one must still stop it.
  if (cancelRequested_) ZipArchive.RequestCancel();
  fileStatus_->StartFile(FName);
}

// ---- the end of the Windows session

void TFormProgress::WndProc(classlib::TMessage& m) {
  TForm::WndProc(m);
  if (m.Msg == WM_QUERYENDSESSION) {
    m.Result = QueryEndSession() ? TRUE : FALSE;
  } else if (m.Msg == WM_ENDSESSION) {
    EndSession(m.WParam != FALSE);
  }
}

bool TFormProgress::QueryEndSession() {
  if (sessionAnswer_ != SessionAnswer::None) return sessionAnswer_ == SessionAnswer::Allowed;
  const bool running = MainWindow().BackupRunning();
  const bool allowed = !running || AskYesNo(kCancelAndQuitQuestion, ReturnAnswers::No);
  sessionAnswer_ = allowed ? SessionAnswer::Allowed : SessionAnswer::Refused;
  SessionEnding = allowed;
  if (!allowed) return false;
  // The run may not get back before Windows ends the program: its block ends here.
  if (running && !MainWindow().CancelSingleBackupForSessionEnd()) {
    RequestCancel();
    LogAbortOnce();
  }
  LogProgramEndBySession();
  MainWindow().SetShutdownLogged();
  return true;
}

void TFormProgress::EndSession(bool ending) {
  sessionAnswer_ = SessionAnswer::None;
  if (!ending) SessionEnding = false;
}

}  // namespace app
