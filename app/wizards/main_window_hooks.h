// What the secondary windows, the backup run and the scheduler need of the main window: whether it
// shows, its enabled state, the scheduler's timer, the running mark, the tray icon, the job list, the
// single-backup page and the information panel, the update check and its menu entry, quitting, and the
// settings its writer and menus carry.
// The main window sets these when it is created; until then (and in tests that leave them) they
// behave as if there were no main window, and the settings come from the registry.
#pragma once

#include <functional>
#include <string>

#include "app/program_settings.h"
#include "classlib/forms.h"

namespace app {

class JobList;
class TSingleBackupPage;

struct MainWindowHooks {
  // The main window is on the screen (not only the tray icon).
  std::function<bool()> Visible = [] { return false; };
  std::function<bool()> Enabled = [] { return true; };
  std::function<void(bool)> SetEnabled = [](bool) {};
  // The scheduler's 60-second timer (TimerBackup).
  std::function<void(bool)> SetSchedulerEnabled = [](bool) {};
  // BackupRunning: a scheduled run or a single backup is on its way.
  std::function<bool()> BackupRunning = [] { return false; };
  std::function<void(bool)> SetBackupRunning = [](bool) {};
  // Tray icon cycling on, when "Animiertes Symbol" is checked.
  std::function<void()> StartTrayAnimation = [] {};
  // Tray icon cycling off and icon index 0.
  std::function<void()> StopTrayAnimation = [] {};
  // Every job whose list column reads "Wird durchgeführt..." gets its column recomputed.
  std::function<void()> RecomputeRunningJobs = [] {};
  // The definition list of the Instant Backup page, which the definition wizard updates after saving.
  std::function<JobList*()> Jobs = [] { return nullptr; };
  // The Single Backup page, whose list the single-backup wizards fill and back up.
  std::function<TSingleBackupPage*()> SingleBackupPage = [] { return nullptr; };
  // The information panel of the selected job shows its stored results again, when it is visible.
  std::function<void()> RefreshInformationPanel = [] {};
  // Starts the automatic update check when it is switched on and the machine is online; true when
  // it started, so the scheduler starts it once per program run.
  std::function<bool()> StartAutomaticUpdateCheck = [] { return false; };
  // The caption of the main menu's third entry, "&Aktualisierung" until the automatic update check
  // found a newer version ("UPDATE").
  std::function<std::string()> UpdateMenuCaption = [] { return std::string("&Aktualisierung"); };
  std::function<void(const std::string&)> SetUpdateMenuCaption = [](const std::string&) {};
  // Beenden1Click: ends the program, asking first while a backup runs.
  std::function<void()> Quit = [] { classlib::Application().Terminate(); };
  // ShutdownLogged: the end block for the end of the Windows session is in the log.
  std::function<void()> SetShutdownLogged = [] {};
  // The Windows session ends while a single backup is being created: the creation wizard's cancel
  // path, with the abort logged at once. False when no single backup is being created.
  std::function<bool()> CancelSingleBackupForSessionEnd = [] { return false; };
  // The compression level of the main window's zip writer, which the other writers copy.
  std::function<int()> PackLevel = [] { return ReadProgramSettings().CompressRatio; };
  // TempFolder, with a trailing "\".
  std::function<std::string()> TempFolder = [] { return ReadProgramSettings().Temp; };
  // The check mark of "Fehler unterdrücken".
  std::function<bool()> PreventErrors = [] { return ReadProgramSettings().PreventErrors; };
  // The check mark of "Automatisch melden".
  std::function<bool()> AutoUpdate = [] { return ReadProgramSettings().AutoUpdate; };
};

// The program's one set of hooks; tests assign a fresh MainWindowHooks to start over.
MainWindowHooks& MainWindow();

}  // namespace app
