// The main window: the program's one copy per session, its notification-area icon and tray menu,
// the pages (Single Backup, Instant Backup, Restore), the clock, the definition list with the
// scheduler and the backup run it owns, the settings read at start and changed through the main
// menu (form_main_menu.cpp), the hand-over of a second start, and leaving the program. A second
// start only hands its command line to the running copy and ends.
//
// It is created first; the windows it works with come after it and are handed over by
// WindowsCreated, which completes the first start.
#pragma once

#include <memory>
#include <string>

#include "app/backup_run.h"
#include "app/command_line.h"
#include "app/dde_hand_over.h"
#include "app/hand_over.h"
#include "app/instant_backup_page.h"
#include "app/job_list.h"
#include "app/program_settings.h"
#include "app/program_windows.h"
#include "app/restore_page.h"
#include "app/scheduler.h"
#include "app/single_backup_page.h"
#include "app/single_instance.h"
#include "classlib/forms.h"
#include "classlib/icons.h"
#include "classlib/menus.h"
#include "classlib/stdctrls.h"
#include "classlib/timer.h"
#include "controls/flat/browse_for_folder.h"
#include "controls/flat/flat_button.h"
#include "controls/flat/flat_hint.h"
#include "controls/flat/flat_tab_control.h"
#include "controls/flat/tray_icon.h"
#include "controls/panels/vis_simple_panel.h"
#include "update/http_fetch.h"
#include "zip/zip_writer.h"

namespace app {

// What one start of the program is given. Tests give names of their own, so they never meet a
// copy of the program that runs beside them.
struct ProgramStart {
  std::string CommandLine = ProgramCommandLine();
  // The single-instance semaphore.
  std::string InstanceName = kInstanceName;
  // The hand-over's DDE service, offered by the running copy and called by a second start: the
  // program file's name without its extension.
  std::string DdeService = ProgramServiceName();
  HandOverTiming HandOver;
};

class TFormMain : public classlib::TForm {
 public:
  TFormMain(classlib::TComponent* AOwner, const ProgramStart& start = {});
  ~TFormMain() override;

  // The other windows exist: the first start connects them, shows this window unless "Minimiert
  // starten" is stored, switches the scheduler on and carries out its own command line once the
  // message loop runs. Nothing for a second start.
  void WindowsCreated(const ProgramWindows& windows);

  // This process found another copy running: it handed its command line over and ends.
  bool SecondInstance() const { return secondInstance_; }
  bool BackupRunning() const { return backupRunning_; }

  // Received lines of a second start: a definition to run, or paths for the single-backup list.
  // They wait until the main loop pauses with no wizard or dialog open, then are carried out in
  // order of arrival, after the first start's own command line.
  void DdeOrvServerExecuteMacro(const classlib::TStringList& Msg);
  // "Beenden": asks while a backup runs; quits once the run's cancel path has ended it.
  void Beenden1Click(classlib::TComponent* Sender);

  classlib::TMainMenu* MainMenu;
  classlib::TMenuItem* Action1;   // "&Minimieren"
  classlib::TMenuItem* Action2;   // "&Beenden"
  classlib::TMenuItem* Action6;   // "&Konfiguration sichern"
  classlib::TMenuItem* Action7;   // "&Temp-Verzeichnis"
  classlib::TMenuItem* Action11;  // "&Logfile erstellen"
  classlib::TMenuItem* Action12;  // "L&ogfile anzeigen"
  classlib::TMenuItem* Action13;  // "&Keine"
  classlib::TMenuItem* Action14;  // "&Leicht"
  classlib::TMenuItem* Action15;  // "&Mittel"
  classlib::TMenuItem* Action16;  // "&Stark"
  classlib::TMenuItem* Action21;  // "&Animiertes Symbol"
  classlib::TMenuItem* Action10;  // "&Fehler unterdrücken"
  classlib::TMenuItem* Action20;  // "&Fenster anzeigen"
  classlib::TMenuItem* Action19;  // "&Minimiert starten"
  classlib::TMenuItem* MenuUpdate;  // "&Aktualisierung", "UPDATE" once a newer version is known
  classlib::TMenuItem* Action4;   // "&Wizard starten"
  classlib::TMenuItem* Action5;   // "&Automatisch melden"
  classlib::TMenuItem* Action17;  // "&Hilfe" (F1)
  classlib::TMenuItem* Action18;  // "&Info"

  controls::TVisSimplePanel* PanelTop;
  classlib::TImage* ImageLogo;
  classlib::TLabel* LabelTitle;
  classlib::TLabel* LabelVersion;
  classlib::TLabel* LabelTime;
  controls::TVisSimplePanel* PanelMain;
  controls::TFlatTabControl* FlatTabControlMain;
  controls::TVisSimplePanel* PanelSingleBackupHeading;
  controls::TVisSimplePanel* PanelInstantBackupHeading;
  controls::TVisSimplePanel* PanelRestoreHeading;
  TSingleBackupPage* PanelSingleBackup;
  TInstantBackupPage* PanelInstantBackup;
  TRestorePage* PanelRestoreBackup;
  controls::TFlatButton* FlatButtonExit;
  controls::TFlatHint* FlatHintMain;
  controls::TBrowseForFolder* BrowseForFolder;
  // The automatic update check's download of the version file.
  update::THTTPFetch* HTTPFetch;

  classlib::TTimer* TimerTime;
  classlib::TImageList* ImageListTray;
  classlib::TPopupMenu* PopupMenuTray;
  classlib::TMenuItem* Anzeigen1;
  classlib::TMenuItem* Minimieren1;
  classlib::TMenuItem* InstantBackups1;
  classlib::TMenuItem* Beenden1;
  controls::TTrayIcon* TrayIcon;

  // Carries only the compression level, which the other writers copy when they are created.
  zip::TZipWriter ZipArchive;
  // The definitions with the text of their column "Nächste Sicherung".
  JobList Jobs;
  // The scheduler and the run of a definition; they exist once the windows they use do.
  Scheduler* Schedule() const { return scheduler_.get(); }
  const ProgramSettings& Settings() const { return settings_; }
  const std::string& TempFolder() const { return tempFolder_; }

  // The tab indexes of the pages.
  static constexpr int kSingleBackupTab = 0;
  static constexpr int kInstantBackupTab = 1;
  static constexpr int kRestoreTab = 2;

  // The key "Konfiguration sichern" exports; tests point it at their scratch key.
  std::string ConfigurationKey;

 protected:
  void WndProc(classlib::TMessage& Message) override;

 private:
  void FormCreate();
  void FormShow(classlib::TComponent* Sender);
  void FormCloseQuery(classlib::TComponent* Sender, bool& CanClose);
  void FlatTabControlMainTabChanged(classlib::TComponent* Sender);
  void FlatButtonExitClick(classlib::TComponent* Sender);
  void TrayIconClick(classlib::TComponent* Sender);
  void TimerTimeTimer(classlib::TComponent* Sender);

  // The main menu and its entries' actions (form_main_menu.cpp).
  void CreateMainMenu();
  void ShowSettingsInMenu();
  void Action6Execute(classlib::TComponent* Sender);
  void Action7Execute(classlib::TComponent* Sender);
  void Action11Execute(classlib::TComponent* Sender);
  void Action12Execute(classlib::TComponent* Sender);
  void CompressionExecute(classlib::TComponent* Sender);
  void Action21Execute(classlib::TComponent* Sender);
  void Action10Execute(classlib::TComponent* Sender);
  void Action20Execute(classlib::TComponent* Sender);
  void Action19Execute(classlib::TComponent* Sender);
  void Action4Execute(classlib::TComponent* Sender);
  void Action5Execute(classlib::TComponent* Sender);
  void Action17Execute(classlib::TComponent* Sender);
  void Action18Execute(classlib::TComponent* Sender);
  // The level of the three zip writers.
  void SetPackLevel(int level);

  // A second start: the command line goes to the running copy.
  void HandOver();
  void ReadSettings();
  void PointHooksHere();
  void CarryOut(const HandOverAction& action);
  // Appends the files of the paths (a folder with every file below it) to the single-backup list.
  void AddPathList(const classlib::TStringList& paths);
  void SetBackupRunning(bool running);
  // The cancel path of the run on its way: the creation wizard's for a single backup, else the
  // progress window's.
  void CancelRun();

  const ProgramStart start_;
  TInstanceLock instanceLock_;
  bool secondInstance_ = false;
  bool backupRunning_ = false;
  bool shutdownLogged_ = false;
  // "Beenden" was confirmed during a run: the program ends when the run has.
  bool quitAfterRun_ = false;
  ProgramSettings settings_;
  std::string tempFolder_;
  ProgramWindows windows_;
  HandOverQueue handOvers_;
  std::unique_ptr<THandOverServer> DdeOrvServer;
  std::unique_ptr<BackupRunner> runner_;
  std::unique_ptr<Scheduler> scheduler_;
};

}  // namespace app
