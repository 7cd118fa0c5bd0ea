#include "app/form_main.h"

#include <windows.h>

#include <exception>
#include <initializer_list>

#include "app/activity_log.h"
#include "app/config_export.h"
#include "app/definition_name.h"
#include "app/file_helpers.h"
#include "app/resource_ids.h"
#include "app/single_backup_list.h"
#include "app/wizards/form_add.h"
#include "app/wizards/form_creation.h"
#include "app/wizards/form_extract.h"
#include "app/wizards/form_instant.h"
#include "app/wizards/form_select.h"
#include "app/wizards/form_popup.h"
#include "app/wizards/form_progress.h"
#include "app/wizards/form_recover.h"
#include "app/wizards/main_window_hooks.h"
#include "app/wizards/run_feedback.h"
#include "app/wizards/window_style.h"
#include "classlib/clock.h"
#include "classlib/date_format.h"
#include "classlib/jpeg_image.h"
#include "classlib/prompt.h"
#include "update/automatic_update.h"
#include "update/form_download.h"
#include "update/form_update.h"
#include "zip/fs.h"

namespace app {

using classlib::Bind;
using classlib::TAlign;

namespace {

constexpr int kWidth = 620;
constexpr int kHeaderHeight = 56;
constexpr int kLogoSize = 40;
constexpr int kTitleLeft = kMargin + kLogoSize + 10;
constexpr int kTimeWidth = 300;
constexpr int kTabsHeight = 400;
constexpr int kHeadingHeight = 28;
constexpr int kHintWidth = 250;
constexpr int kTrayFrameSize = 16;
constexpr unsigned kTrayAnimationStep = 200;

void Tell(const std::string& text, classlib::PromptIcon icon) {
  classlib::MessageRequest request;
  request.text = text;
  request.caption = "Orvanta";
  request.icon = icon;
  request.systemModal = true;
  classlib::Prompts().Message(request);
}

// The band at the top of a page that says what the page is for, also as its hint.
controls::TVisSimplePanel* NewHeading(classlib::TComponent* owner, classlib::TWinControl* parent,
                                      const std::string& text) {
  controls::TVisSimplePanel* panel = NewPanel(owner, parent, kWhiteColor, TAlign::alTop);
  panel->SetHeight(kHeadingHeight);
  classlib::TLabel* label = NewLabel(owner, panel, kMargin, 7, text);
  // The hint shows over the text as well as beside it.
  for (classlib::TControl* control : std::initializer_list<classlib::TControl*>{panel, label}) {
    control->SetHint(text);
    control->SetShowHint(true);
  }
  return panel;
}

}  // namespace

TFormMain::TFormMain(classlib::TComponent* AOwner, const ProgramStart& start)
    : TForm(AOwner),
      ConfigurationKey(kConfigurationKey),
      start_(start),
      instanceLock_(start.InstanceName),
      // Every wizard and dialog disables this window while it shows; work that pumps messages (a
      // run, a burn, an extraction, a folder import, a box) is on the stack whenever the main
      // loop pauses, which is when the queue drains.
      handOvers_([this] { return !Enabled(); },
                 [this](const classlib::TStringList& lines) { CarryOut(DecideHandOver(lines)); }) {
  classlib::Application().SetMainForm(this);
  BeginLoading();
  SetCaption("Orvanta v2.4");
  CreateMainMenu();
  SetClientSize(kWidth, kHeaderHeight + 1 + kMargin + kTabsHeight + kMargin + kButtonHeight + kMargin);
  OnShow = Bind(this, &TFormMain::FormShow);
  OnCloseQuery = Bind(this, &TFormMain::FormCloseQuery);

  const THeader header = NewHeader(this, this, "Orvanta", kHeaderHeight);
  PanelTop = header.Panel;
  ImageLogo = Place(new classlib::TImage(this), PanelTop, kMargin, (kHeaderHeight - kLogoSize) / 2, kLogoSize,
                    kLogoSize);
  classlib::LoadJpegResource(ImageLogo->Picture(), IDR_LOGO);
  ImageLogo->PictureChanged();
  LabelTitle = header.Title;
  LabelTitle->SetLeft(kTitleLeft);
  LabelVersion = NewLabel(this, PanelTop, kTitleLeft, kHeaderTextTop, "Version 2.4");
  LabelTime = NewLabel(this, PanelTop, kWidth - kMargin - kTimeWidth, kHeaderTextTop, "", kTimeWidth);
  LabelTime->SetWordWrap(false);
  LabelTime->SetAlignment(classlib::TAlignment::taRightJustify);

  PanelMain = NewPanel(this, this, kLightColor, TAlign::alClient);
  FlatTabControlMain =
      Place(new controls::TFlatTabControl(this), PanelMain, kMargin, kMargin, kWidth - 2 * kMargin, kTabsHeight);
  FlatTabControlMain->AddTab("Single Backup   .");
  FlatTabControlMain->AddTab("Instant Backup   .");
  FlatTabControlMain->AddTab("Restore   .");
  FlatTabControlMain->SetColorBorder(kLineColor);
  FlatTabControlMain->OnTabChanged = Bind(this, &TFormMain::FlatTabControlMainTabChanged);
  PanelSingleBackupHeading = NewHeading(this, FlatTabControlMain, "Erstellt ein einmaliges Backup.");
  PanelInstantBackupHeading =
      NewHeading(this, FlatTabControlMain, "Erstellt fortwährend Backups in frei definierten Zeit-Intervallen.");
  PanelRestoreHeading = NewHeading(this, FlatTabControlMain, "Öffnet ein Backup und stellt Dateien wieder her.");
  PanelSingleBackup = new TSingleBackupPage(this);
  PanelSingleBackup->SetParent(FlatTabControlMain);
  PanelSingleBackup->SetAlign(TAlign::alClient);
  PanelInstantBackup = Place(new TInstantBackupPage(this), FlatTabControlMain, 0, 0, 0, 0);
  PanelInstantBackup->SetAlign(TAlign::alClient);
  PanelInstantBackup->Hide();
  PanelInstantBackup->SetJobs(&Jobs);
  PanelRestoreBackup = new TRestorePage(this);
  PanelRestoreBackup->SetParent(FlatTabControlMain);
  PanelRestoreBackup->SetAlign(TAlign::alClient);
  FlatButtonExit =
      NewFlatButton(this, PanelMain, kWidth - kMargin - kButtonWidth, kMargin + kTabsHeight + kMargin, "Minimieren");
  FlatButtonExit->OnClick = Bind(this, &TFormMain::FlatButtonExitClick);
  FlatHintMain = new controls::TFlatHint(this);
  FlatHintMain->SetMaxHintWidth(kHintWidth);
  FlatHintMain->SetColorBorder(kLineColor);
  FlatHintMain->SetColorArrowBackground(kLightColor);
  FlatTabControlMainTabChanged(FlatTabControlMain);

  TimerTime = new classlib::TTimer(this);
  TimerTime->SetInterval(1000);
  TimerTime->OnTimer = Bind(this, &TFormMain::TimerTimeTimer);
  BrowseForFolder = new controls::TBrowseForFolder(this);
  BrowseForFolder->SetStatusText("Please select folder");
  BrowseForFolder->SetFolderName("c:\\");
  BrowseForFolder->SetCaption(
      "Wählen Sie nun das Verzeichnis aus, in welchem temporäre Dateien gespeichert werden sollen.");
  HTTPFetch = new update::THTTPFetch(this);

  ImageListTray = new classlib::TImageList(this);
  for (int frame = 0; frame < ICON_FRAME_COUNT; ++frame) {
    classlib::TIcon icon;
    icon.LoadFromResource(IDI_FRAME_FIRST + frame, kTrayFrameSize);
    ImageListTray->AddIcon(icon);
  }
  PopupMenuTray = new classlib::TPopupMenu(this);
  Anzeigen1 = PopupMenuTray->Items()->Add("&Anzeigen", Bind(this, &TFormMain::TrayIconClick));
  Minimieren1 = PopupMenuTray->Items()->Add("&Minimieren", Bind(this, &TFormMain::FlatButtonExitClick));
  InstantBackups1 = PanelInstantBackup->AddTrayMenu(*PopupMenuTray->Items());
  Beenden1 = PopupMenuTray->Items()->Add("B&eenden", Bind(this, &TFormMain::Beenden1Click));
  TrayIcon = new controls::TTrayIcon(this);
  // Only a first start shows it.
  TrayIcon->SetIconVisible(false);
  TrayIcon->SetHint("Orvanta");
  TrayIcon->SetIconList(ImageListTray);
  TrayIcon->SetCycleInterval(kTrayAnimationStep);
  TrayIcon->SetMinimizeToTray(true);
  TrayIcon->SetPopupMenu(PopupMenuTray);
  TrayIcon->OnClick = Bind(this, &TFormMain::TrayIconClick);
  EndLoading();

  FormCreate();
}

TFormMain::~TFormMain() {
  // Nothing may arrive or run while the window goes.
  if (!secondInstance_) classlib::Application().OnIdle = nullptr;
  DdeOrvServer.reset();
  scheduler_.reset();
  runner_.reset();
  if (secondInstance_) return;
  if (!shutdownLogged_) LogProgramEndByUser();
  MainWindow() = MainWindowHooks();
}

// ----------------------------------------------------------------------------------- the start

void TFormMain::FormCreate() {
  secondInstance_ = instanceLock_.SecondInstance();
  if (secondInstance_) {
    HandOver();
    return;
  }
  PointHooksHere();
  TrayIcon->SetIconVisible(true);
  TimerTimeTimer(TimerTime);
  ReadSettings();
  LogProgramStart();
}

void TFormMain::HandOver() {
  const classlib::TStringList lines = HandOverLines(start_.CommandLine);
  // A start with nothing to hand over only ends.
  if (lines.Count() > 0 &&
      HandOverToRunningCopy(lines, start_.DdeService, start_.HandOver) != HandOverResult::Delivered)
    Tell(kNoAnswerText, classlib::PromptIcon::Warning);
  classlib::Application().Terminate();
}

void TFormMain::ReadSettings() {
  settings_ = ReadProgramSettings();
  SetLoggingEnabled(settings_.Logfile);
  // A folder that went away since it was chosen: the system's for this run, the stored one stays.
  tempFolder_ = zip::fs::DirectoryExists(settings_.Temp) ? settings_.Temp : DefaultTempFolder();
  // A level that deflate does not know would make every backup fail.
  const bool knownLevel = settings_.CompressRatio >= 0 && settings_.CompressRatio <= 9;
  ZipArchive.SetPackLevel(knownLevel ? settings_.CompressRatio : ProgramSettings().CompressRatio);
  ShowSettingsInMenu();
}

// The secondary windows, the run and the scheduler reach this window through the hooks; the
// windows created after it copy the compression level and the temporary folder from them.
void TFormMain::PointHooksHere() {
  MainWindowHooks& h = MainWindow();
  h.Visible = [this] { return Visible(); };
  h.Enabled = [this] { return Enabled(); };
  h.SetEnabled = [this](bool value) { SetEnabled(value); };
  h.SetSchedulerEnabled = [this](bool value) {
    if (scheduler_) scheduler_->SetTimerEnabled(value);
  };
  h.BackupRunning = [this] { return backupRunning_; };
  h.SetBackupRunning = [this](bool value) { SetBackupRunning(value); };
  h.StartTrayAnimation = [this] {
    if (settings_.AnimatedIcon) TrayIcon->SetCycleIcons(true);
  };
  h.StopTrayAnimation = [this] {
    TrayIcon->SetCycleIcons(false);
    TrayIcon->SetIconIndex(0);
  };
  h.RecomputeRunningJobs = [this] {
    if (scheduler_) scheduler_->RecomputeRunningJobs();
  };
  h.Jobs = [this] { return &Jobs; };
  h.RefreshInformationPanel = [this] { PanelInstantBackup->RefreshInformationPanel(); };
  h.SingleBackupPage = [this] { return PanelSingleBackup; };
  h.SetShutdownLogged = [this] { shutdownLogged_ = true; };
  h.CancelSingleBackupForSessionEnd = [this] {
    if (!windows_.FormCreation || !windows_.FormCreation->Creating()) return false;
    windows_.FormCreation->CancelForSessionEnd();
    return true;
  };
  h.PackLevel = [this] { return ZipArchive.PackLevel(); };
  h.TempFolder = [this] { return tempFolder_; };
  h.PreventErrors = [this] { return settings_.PreventErrors; };
  h.AutoUpdate = [this] { return settings_.AutoUpdate; };
  h.StartAutomaticUpdateCheck = [this] { return update::StartAutomaticUpdateCheck(*HTTPFetch); };
  h.UpdateMenuCaption = [this] { return MenuUpdate->Caption(); };
  h.SetUpdateMenuCaption = [this](const std::string& caption) { MenuUpdate->SetCaption(caption); };
  h.Quit = [this] { Beenden1Click(this); };
}

void TFormMain::WindowsCreated(const ProgramWindows& windows) {
  if (secondInstance_) return;
  windows_ = windows;
  PanelSingleBackup->FormAdd = windows.FormAdd;
  PanelSingleBackup->FormCreation = windows.FormCreation;
  PanelRestoreBackup->SetExtractForm(windows.FormExtract);
  PanelInstantBackup->FormInstant = windows.FormInstant;
  runner_ = std::make_unique<BackupRunner>(*windows.FormProgress, *windows.FormPopup);
  scheduler_ = std::make_unique<Scheduler>(Jobs, *windows.FormRecover,
                                           [this](const std::string& job) { runner_->ExecuteBackup(job); });
  PanelInstantBackup->Schedule = scheduler_.get();
  scheduler_->GetBackups();
  scheduler_->SetTimerEnabled(true);
  // Only now: a hand-over needs every window a run uses.
  DdeOrvServer = std::make_unique<THandOverServer>(start_.DdeService);
  DdeOrvServer->OnExecuteMacro = [this](const classlib::TStringList& Msg) { DdeOrvServerExecuteMacro(Msg); };
  // Made also when it never shows: the end of the Windows session reaches the program through it.
  HandleNeeded();
  if (!settings_.Minimized) Show();
  // The own command line is the first hand-over; the main loop carries it out once it runs.
  handOvers_.Arrive(HandOverLines(start_.CommandLine));
  classlib::Application().OnIdle = [this] { handOvers_.Drain(); };
}

// ----------------------------------------------------------------------------------- hand-over

void TFormMain::DdeOrvServerExecuteMacro(const classlib::TStringList& Msg) { handOvers_.Arrive(Msg); }

void TFormMain::CarryOut(const HandOverAction& action) {
  switch (action.kind) {
    case HandOverAction::Kind::Ignore:
      return;
    case HandOverAction::Kind::RunBackup:
      // Logged as a run that fails; told also when the program sits in the tray, since a start
      // asked for it.
      if (const std::string refusal = RunRefusal(action.backupName); !refusal.empty()) {
        LogRefusedRun(action.backupName, refusal);
        Tell(RunFailureText(action.backupName, refusal), classlib::PromptIcon::Warning);
        return;
      }
      // Nothing else is on its way while the queue drains, so the scheduler's guard lets it run.
      scheduler_->RunNow({action.backupName});
      break;
    case HandOverAction::Kind::AddPaths:
      AddPathList(action.paths);
      break;
  }
  PanelSingleBackup->SetFilesText();
}

void TFormMain::AddPathList(const classlib::TStringList& paths) {
  Show();
  FlatTabControlMain->SetActiveTab(kSingleBackupTab);
  PanelSingleBackup->LabelSingleBackupCount->SetCaption("Bitte warten Sie einen Moment...");
  classlib::Application().ProcessMessages();
  classlib::TListView& list = *PanelSingleBackup->ListViewSingleBackup;
  for (const std::string& path : paths) {
    if (zip::fs::DirectoryExists(path)) {
      MyFileRead(path, list);
    } else if (zip::fs::FileExists(path)) {
      AddFileItem(list, path);
    }
  }
}

// ----------------------------------------------------------------------------------- the window

void TFormMain::FormShow(classlib::TComponent*) {
  if (!windows_.FormProgress) return;
  // A scheduled run that began while only the tray icon showed gets its progress window now; a
  // single backup shows its progress in the creation wizard.
  const bool singleBackup = windows_.FormCreation && windows_.FormCreation->Creating();
  if (!backupRunning_) {
    windows_.FormProgress->Hide();
  } else if (!singleBackup) {
    windows_.FormProgress->Show();
  }
}

void TFormMain::FlatTabControlMainTabChanged(classlib::TComponent*) {
  const int tab = FlatTabControlMain->ActiveTab();
  PanelSingleBackupHeading->SetVisible(tab == kSingleBackupTab);
  PanelSingleBackup->SetVisible(tab == kSingleBackupTab);
  PanelInstantBackupHeading->SetVisible(tab == kInstantBackupTab);
  PanelInstantBackup->SetVisible(tab == kInstantBackupTab);
  PanelRestoreHeading->SetVisible(tab == kRestoreTab);
  PanelRestoreBackup->SetVisible(tab == kRestoreTab);
}

void TFormMain::FlatButtonExitClick(classlib::TComponent*) { SendMessageW(Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0); }

void TFormMain::TrayIconClick(classlib::TComponent*) {
  Show();
  const ProgramWindows& w = windows_;
  classlib::TForm* select = w.FormInstant ? w.FormInstant->FormSelect : nullptr;
  for (classlib::TForm* form : std::initializer_list<classlib::TForm*>{
           w.FormAdd, w.FormCreation, w.FormInstant, w.FormPopup, w.FormRecover, w.FormProgress, w.FormExtract,
           w.FormUpdate, w.FormDownload, select}) {
    try {
      if (form && form->Visible()) form->BringToFront();
    } catch (const std::exception&) {
      // A window that cannot come to the front stays where it is.
    }
  }
}

void TFormMain::TimerTimeTimer(classlib::TComponent*) {
  LabelTime->SetCaption(classlib::FormatDateTime("dddd, dd. mmmm yyyy - hh\":\"nn \"Uhr\"", classlib::Now()));
}

// ----------------------------------------------------------------------------------- leaving

void TFormMain::FormCloseQuery(classlib::TComponent*, bool& CanClose) {
  // Only the end of the session closes the program; the close box puts it into the tray.
  CanClose = windows_.FormProgress && windows_.FormProgress->SessionEnding;
  if (!CanClose) FlatButtonExitClick(this);
}

void TFormMain::Beenden1Click(classlib::TComponent*) {
  if (quitAfterRun_) return;
  if (backupRunning_ && !AskYesNo(kCancelAndQuitQuestion, ReturnAnswers::No)) return;
  // The run may have ended while the question was open.
  if (!backupRunning_) {
    classlib::Application().Terminate();
    return;
  }
  quitAfterRun_ = true;
  CancelRun();
}

void TFormMain::CancelRun() {
  if (windows_.FormCreation && windows_.FormCreation->Creating()) {
    windows_.FormCreation->RequestCancel();
  } else if (windows_.FormProgress) {
    windows_.FormProgress->RequestCancel();
  }
}

void TFormMain::SetBackupRunning(bool running) {
  backupRunning_ = running;
  // The run is below on the stack; the message loop ends once it has returned.
  if (!running && quitAfterRun_) classlib::Application().Terminate();
}

void TFormMain::WndProc(classlib::TMessage& m) {
  switch (m.Msg) {
    case WM_QUERYENDSESSION:
      m.Result = !windows_.FormProgress || windows_.FormProgress->QueryEndSession() ? TRUE : FALSE;
      return;
    case WM_ENDSESSION:
      if (windows_.FormProgress) windows_.FormProgress->EndSession(m.WParam != FALSE);
      if (m.WParam) classlib::Application().Terminate();
      return;
    default:
      break;
  }
  TForm::WndProc(m);
}

}  // namespace app
