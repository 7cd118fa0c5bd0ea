// The main window's menu: every settings entry is stored at once and takes effect at once (the
// window start mode at the next start), the temporary folder, the compression level of the three
// zip writers, the configuration export, the log, the help and the information window.
#include <windows.h>

#include "app/activity_log.h"
#include "app/config_export.h"
#include "app/file_helpers.h"
#include "app/form_info.h"
#include "app/form_main.h"
#include "app/program_paths.h"
#include "app/system_actions.h"
#include "app/wizards/form_creation.h"
#include "app/wizards/form_progress.h"
#include "app/wizards/main_window_hooks.h"
#include "app/wizards/window_style.h"
#include "classlib/wide.h"
#include "update/automatic_update.h"
#include "update/form_update.h"
#include "zip/fs.h"
#include "zip/path_strings.h"

namespace app {

using classlib::Bind;
using classlib::TMenuItem;

namespace {

constexpr int kLevelNone = 0, kLevelLight = 2, kLevelMedium = 6, kLevelStrong = 9;

TMenuItem* CheckItem(TMenuItem* parent, const std::string& caption, classlib::TNotifyEvent onClick) {
  TMenuItem* item = parent->Add(caption, std::move(onClick));
  item->SetChecked(false);
  return item;
}

TMenuItem* RadioItem(TMenuItem* parent, const std::string& caption, classlib::TNotifyEvent onClick) {
  TMenuItem* item = parent->Add(caption, std::move(onClick));
  item->SetRadioItem(true);
  item->SetGroupIndex(1);
  return item;
}

}  // namespace

void TFormMain::CreateMainMenu() {
  MainMenu = new classlib::TMainMenu(this);
  TMenuItem* program = MainMenu->Items()->Add("&Programm");
  Action1 = program->Add("&Minimieren", Bind(this, &TFormMain::FlatButtonExitClick));
  Action2 = program->Add("&Beenden", Bind(this, &TFormMain::Beenden1Click));

  TMenuItem* configuration = MainMenu->Items()->Add("&Konfiguration");
  TMenuItem* backup = configuration->Add("&Backup");
  Action6 = backup->Add("&Konfiguration sichern", Bind(this, &TFormMain::Action6Execute));
  TMenuItem* settings = configuration->Add("&Einstellungen");
  Action7 = settings->Add("&Temp-Verzeichnis", Bind(this, &TFormMain::Action7Execute));
  TMenuItem* logging = settings->Add("P&rotokollierung");
  Action11 = CheckItem(logging, "&Logfile erstellen", Bind(this, &TFormMain::Action11Execute));
  Action12 = logging->Add("L&ogfile anzeigen", Bind(this, &TFormMain::Action12Execute));
  TMenuItem* compression = settings->Add("K&omprimierung");
  Action13 = RadioItem(compression, "&Keine", Bind(this, &TFormMain::CompressionExecute));
  Action14 = RadioItem(compression, "&Leicht", Bind(this, &TFormMain::CompressionExecute));
  Action15 = RadioItem(compression, "&Mittel", Bind(this, &TFormMain::CompressionExecute));
  Action16 = RadioItem(compression, "&Stark", Bind(this, &TFormMain::CompressionExecute));
  Action15->SetChecked(true);
  Action21 = CheckItem(settings, "&Animiertes Symbol", Bind(this, &TFormMain::Action21Execute));
  Action10 = CheckItem(settings, "&Fehler unterdrücken", Bind(this, &TFormMain::Action10Execute));
  TMenuItem* window = settings->Add("Fe&nster");
  Action20 = CheckItem(window, "&Fenster anzeigen", Bind(this, &TFormMain::Action20Execute));
  Action19 = CheckItem(window, "&Minimiert starten", Bind(this, &TFormMain::Action19Execute));

  MenuUpdate = MainMenu->Items()->Add(update::kUpdateMenuCaption);
  Action4 = MenuUpdate->Add("&Wizard starten", Bind(this, &TFormMain::Action4Execute));
  Action5 = CheckItem(MenuUpdate, "&Automatisch melden", Bind(this, &TFormMain::Action5Execute));

  TMenuItem* help = MainMenu->Items()->Add("&Hilfe");
  Action17 = help->Add("&Hilfe", Bind(this, &TFormMain::Action17Execute));
  Action17->SetShortCut(classlib::ShortCut(VK_F1));
  Action18 = help->Add("&Info", Bind(this, &TFormMain::Action18Execute));
  SetMenu(MainMenu);
}

void TFormMain::ShowSettingsInMenu() {
  Action11->SetChecked(settings_.Logfile);
  Action21->SetChecked(settings_.AnimatedIcon);
  Action10->SetChecked(settings_.PreventErrors);
  Action5->SetChecked(settings_.AutoUpdate);
  Action20->SetChecked(!settings_.Minimized);
  Action19->SetChecked(settings_.Minimized);
  const int level = ZipArchive.PackLevel();
  Action13->SetChecked(level == kLevelNone);
  Action14->SetChecked(level == kLevelLight);
  Action15->SetChecked(level == kLevelMedium);
  Action16->SetChecked(level == kLevelStrong);
}

// ----------------------------------------------------------------------------------- settings

void TFormMain::Action11Execute(classlib::TComponent*) {
  WriteBoolSetting(setting::kLogfile, !settings_.Logfile);
  settings_.Logfile = !settings_.Logfile;
  SetLoggingEnabled(settings_.Logfile);
  ShowSettingsInMenu();
}

void TFormMain::Action21Execute(classlib::TComponent*) {
  WriteBoolSetting(setting::kAnimatedIcon, !settings_.AnimatedIcon);
  settings_.AnimatedIcon = !settings_.AnimatedIcon;
  // Also for a run that is on its way.
  if (settings_.AnimatedIcon && backupRunning_) {
    MainWindow().StartTrayAnimation();
  } else {
    MainWindow().StopTrayAnimation();
  }
  ShowSettingsInMenu();
}

void TFormMain::Action10Execute(classlib::TComponent*) {
  WriteBoolSetting(setting::kPreventErrors, !settings_.PreventErrors);
  settings_.PreventErrors = !settings_.PreventErrors;
  ShowSettingsInMenu();
}

void TFormMain::Action5Execute(classlib::TComponent*) {
  WriteBoolSetting(setting::kAutoUpdate, !settings_.AutoUpdate);
  settings_.AutoUpdate = !settings_.AutoUpdate;
  ShowSettingsInMenu();
}

void TFormMain::Action20Execute(classlib::TComponent*) {
  WriteBoolSetting(setting::kMinimized, false);
  settings_.Minimized = false;
  ShowSettingsInMenu();
}

void TFormMain::Action19Execute(classlib::TComponent*) {
  WriteBoolSetting(setting::kMinimized, true);
  settings_.Minimized = true;
  ShowSettingsInMenu();
}

void TFormMain::CompressionExecute(classlib::TComponent* Sender) {
  const int level = Sender == Action13   ? kLevelNone
                    : Sender == Action14 ? kLevelLight
                    : Sender == Action16 ? kLevelStrong
                                         : kLevelMedium;
  WriteIntegerSetting(setting::kCompressRatio, level);
  SetPackLevel(level);
  ShowSettingsInMenu();
}

void TFormMain::SetPackLevel(int level) {
  ZipArchive.SetPackLevel(level);
  if (windows_.FormProgress) windows_.FormProgress->ZipArchive.SetPackLevel(level);
  if (windows_.FormCreation) windows_.FormCreation->ZipArchive.SetPackLevel(level);
}

void TFormMain::Action7Execute(classlib::TComponent*) {
  const std::string current = windows_.FormProgress ? windows_.FormProgress->ZipArchive.TempPath() : tempFolder_;
  BrowseForFolder->SetFolderName(ExpandedFolderText(current));
  if (!BrowseForFolder->ChooseFolder()) return;
  const std::string chosen = BrowseForFolder->FolderName();
  // What counts is whether files can be made there, not the folder's read-only attribute.
  if (!FolderIsWritable(chosen)) {
    Warn("Das ausgewählte Verzeichnis ist schreibgeschützt! Die Auswahl wurde zurückgesetzt.", true);
    return;
  }
  const std::string folder = zip::WithTrailingBackslash(chosen);
  WriteStringSetting(setting::kTemp, folder);
  settings_.Temp = folder;
  tempFolder_ = folder;
  // The creation wizard keeps the folder it copied at start.
  if (windows_.FormProgress) windows_.FormProgress->ZipArchive.SetTempPath(folder);
}

// ----------------------------------------------------------------------------------- files

void TFormMain::Action6Execute(classlib::TComponent*) {
  const std::string target = ConfigurationFile();
  if (ExportConfiguration(ConfigurationKey, target)) {
    Warn(ExportedText(target) + BrokenNamesNote(), true);
  } else {
    Warn(ExportFailedText(target), true);
  }
}

void TFormMain::Action12Execute(classlib::TComponent*) {
  const std::string log = LogFile();
  // Quoted: a program folder with blanks in its name is one parameter.
  if (zip::fs::FileExists(log)) System().RunProgram("notepad", "\"" + log + "\"");
}

void TFormMain::Action17Execute(classlib::TComponent*) {
  const std::string help = ProgramFolder() + "orvapp.chm";
  if (!zip::fs::FileExists(help) || !System().OpenFile(help))
    Warn("Die Hilfedatei \"" + help + "\" konnte nicht geöffnet werden.");
}

// ----------------------------------------------------------------------------------- windows

void TFormMain::Action18Execute(classlib::TComponent*) {
  if (windows_.FormInfo) windows_.FormInfo->Show();
}

void TFormMain::Action4Execute(classlib::TComponent*) {
  if (windows_.FormUpdate) windows_.FormUpdate->Show();
}

}  // namespace app
