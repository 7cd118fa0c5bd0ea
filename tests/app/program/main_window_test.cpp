#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/activity_log.h"
#include "app/definition_name.h"
#include "app/form_main.h"
#include "app/hand_over.h"
#include "app/program_paths.h"
#include "app/program_windows.h"
#include "app/resource_ids.h"
#include "app/single_backup_list.h"
#include "app/wizards/main_window_hooks.h"
#include "app/wizards/form_add.h"
#include "app/wizards/form_creation.h"
#include "app/wizards/form_extract.h"
#include "app/wizards/form_popup.h"
#include "app/wizards/form_progress.h"
#include "app/wizards/form_recover.h"
#include "classlib/clock.h"
#include "classlib/datetime.h"
#include "classlib/gui_thread.h"
#include "classlib/wide.h"
#include "tests/app/program/main_window_fixture.h"
#include "tests/support/scratch_registry.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test.h"
#include "zip/fs.h"
#include "zip/fs_helpers.h"

using classlib::PromptResult;
using classlib::TStringList;
using namespace program_testing;

namespace {

TEST_F(MainWindow, TheFirstStartShowsItsIconAndItsWindowUnlessMinimizedIsStoredAndLogsStartAndEnd) {
  const struct {
    const char* stored;
    bool shown;
  } cases[] = {{nullptr, true}, {"1", false}, {"0", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored ? c.stored : "Minimized absent");
    if (c.stored) app::WriteBoolSetting(app::setting::kMinimized, c.stored[0] == '1');
    shellCalls.clear();
    zip::fs::Delete(dir / "orvapp.log");
    Start();
    EXPECT_FALSE(main->SecondInstance());
    EXPECT_EQ(main->Visible(), c.shown);
    EXPECT_TRUE(main->TrayIcon->IconVisible());
    EXPECT_EQ(std::count(shellCalls.begin(), shellCalls.end(), static_cast<DWORD>(NIM_ADD)), 1);
    EXPECT_EQ(main->Caption(), "Orvanta v2.4");
    EXPECT_EQ(Log(), StartBlock(kNow));
    CloseWindows();
    EXPECT_EQ(shellCalls.back(), static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(Log(), StartBlock(kNow) + EndBlock(kNow, "Terminierung durch Anwender"));
  }
}

TEST_F(MainWindow, StoredSettingsReachTheWritersAndTheLog) {
  const std::string temp = dir / "Zwischenablage\\";
  zip::ForceDirectories(temp);
  app::WriteIntegerSetting(app::setting::kCompressRatio, 2);
  app::WriteStringSetting(app::setting::kTemp, temp);
  app::WriteBoolSetting(app::setting::kLogfile, false);
  Start();
  EXPECT_EQ(main->ZipArchive.PackLevel(), 2);
  EXPECT_EQ(windows.FormProgress->ZipArchive.PackLevel(), 2);
  EXPECT_EQ(windows.FormCreation->ZipArchive.PackLevel(), 2);
  EXPECT_EQ(windows.FormProgress->ZipArchive.TempPath(), temp);
  EXPECT_EQ(windows.FormCreation->ZipArchive.TempPath(), temp);
  EXPECT_TRUE(main->Action14->Checked());
  EXPECT_FALSE(main->Action15->Checked());
  EXPECT_FALSE(main->Action11->Checked());
  CloseWindows();
  EXPECT_FALSE(testing_support::FileExists(dir / "orvapp.log"));

  // A level deflate does not know would make every backup fail: the default stays. A temporary
  // folder that is gone gives way to the system's for this run; the stored one stays.
  app::WriteIntegerSetting(app::setting::kCompressRatio, 42);
  RemoveDirectoryW(classlib::Widen(temp).c_str());
  Start();
  EXPECT_EQ(windows.FormProgress->ZipArchive.PackLevel(), 6);
  EXPECT_EQ(windows.FormProgress->ZipArchive.TempPath(), app::DefaultTempFolder());
  EXPECT_EQ(app::ReadProgramSettings().Temp, temp);
}

TEST_F(MainWindow, TheCloseBoxOnlyPutsTheWindowIntoTheTrayAndBeendenWithoutARunQuitsAtOnce) {
  testing_support::ScriptedPrompts prompts;
  Start();
  testing_support::CloseBox(*main);
  EXPECT_FALSE(classlib::Application().Terminated());
  EXPECT_FALSE(main->Visible());
  EXPECT_TRUE(main->TrayIcon->IconVisible());

  // A click on the icon brings it back.
  SendMessageW(main->TrayIcon->CallbackWindow(), controls::WM_TRAYICON, 0, WM_LBUTTONDOWN);
  SendMessageW(main->TrayIcon->CallbackWindow(), controls::WM_TRAYICON, 0, WM_LBUTTONUP);
  EXPECT_TRUE(main->Visible());
  EXPECT_FALSE(IsIconic(main->Handle()));

  ChooseFromTrayMenu(main->Beenden1);
  EXPECT_TRUE(classlib::Application().Terminated());
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(MainWindow, TheFirstStartsOwnStartSwitchRunsOnceAllWindowsExistAlsoWhenMinimized) {
  app::WriteBoolSetting(app::setting::kMinimized, true);
  MakeJob("Name With Blanks", {1000, 2000});
  Start("/start \"Name With Blanks\"");
  testing_support::Pump();
  EXPECT_EQ(Log(), StartBlock(kNow));
  testing_support::MainLoopPause();
  EXPECT_EQ(Log(),
            StartBlock(kNow) + RunStartLines(kNow, "Name With Blanks") + RunEndLines(kNow, "Ende der Durchf\xFChrung"));
  EXPECT_TRUE(testing_support::FileExists(target + "\\Name With Blanks.zip"));
  EXPECT_FALSE(main->Visible());
  EXPECT_FALSE(main->BackupRunning());
}

TEST_F(MainWindow, HandedOverPathsAreAppendedToTheSingleBackupList) {
  const std::string file = dir / "Ein Brief.txt";
  testing_support::WriteFile(file, std::string(3000, 'b'));
  zip::ForceDirectories(source + "\\Unter");
  testing_support::WriteFile(source + "\\Unter\\b.txt", "b");
  app::WriteBoolSetting(app::setting::kMinimized, true);
  Start("\"" + file + "\"");
  testing_support::MainLoopPause();
  EXPECT_EQ(ListedRows(), (std::vector<std::string>{"Ein Brief.txt|" + dir.Path() + "\\"}));

  main->FlatTabControlMain->SetActiveTab(app::TFormMain::kRestoreTab);
  HandOver({source, file, dir / "fehlt.txt"});
  EXPECT_TRUE(main->Visible());
  EXPECT_EQ(main->FlatTabControlMain->ActiveTab(), app::TFormMain::kSingleBackupTab);
  EXPECT_TRUE(main->PanelSingleBackup->Visible());
  EXPECT_EQ(ListedRows(),
            (std::vector<std::string>{"Ein Brief.txt|" + dir.Path() + "\\", "b.txt|" + source + "\\Unter\\",
                                      "Ein Brief.txt|" + dir.Path() + "\\"}));
  EXPECT_EQ(main->PanelSingleBackup->LabelSingleBackupCount->Caption(),
            app::FilesText(*main->PanelSingleBackup->ListViewSingleBackup));
}

TEST_F(MainWindow, HandOversDuringARunWaitForItsEndAndComeInOrder) {
  MakeJob("Job", {300000, 300000});
  app::WriteBackupDefinition(FolderJob("Andere", source, target + "\\"));
  const std::string file = dir / "Brief.txt";
  testing_support::WriteFile(file, "b");
  Start();
  testing_support::ScriptedPrompts prompts;
  std::vector<std::size_t> rowsDuringRun;
  bool handedOver = false;
  windows.FormProgress->ZipArchive.OnEndZip = [&](const std::string&, std::uint32_t, std::uint32_t, std::int64_t) {
    rowsDuringRun.push_back(ListedRows().size());
    // Arriving as the server passes them on: from the run's own pumping of messages.
    if (!std::exchange(handedOver, true)) {
      main->DdeOrvServerExecuteMacro({"/start", "Andere"});
      main->DdeOrvServerExecuteMacro({file});
    }
  };
  HandOver({"/start", "Job"});

  EXPECT_TRUE(prompts.messages.empty());
  // The file came after the run: never in the list while a run read it.
  EXPECT_EQ(rowsDuringRun, (std::vector<std::size_t>{0, 0, 0, 0}));
  EXPECT_EQ(ListedRows(), (std::vector<std::string>{"Brief.txt|" + dir.Path() + "\\"}));
  EXPECT_EQ(Log(), StartBlock(kNow) + RunStartLines(kNow, "Job") + RunEndLines(kNow, "Ende der Durchf\xFChrung") +
                       RunStartLines(kNow, "Andere") + RunEndLines(kNow, "Ende der Durchf\xFChrung"));
  EXPECT_TRUE(testing_support::FileExists(target + "\\Andere.zip"));
}

TEST_F(MainWindow, AStartHandedOverDuringAnExtractionRunsOnceTheRestoreWizardHasClosed) {
  MakeJob("Job", {1000, 2000});
  app::WriteBackupDefinition(FolderJob("Andere", source, target + "\\"));
  Start();
  testing_support::ScriptedPrompts prompts;
  HandOver({"/start", "Job"});
  const std::string logBefore = Log();
  prompts.ChooseNextFile(target + "\\Job.zip");
  testing_support::ClickButton(*main->PanelRestoreBackup->FlatButtonOpen);
  testing_support::ClickButton(*main->PanelRestoreBackup->FlatButtonExtractAll);
  app::TFormExtract& extract = *windows.FormExtract;
  ASSERT_TRUE(extract.Visible());
  const std::string restored = dir / "Wiederhergestellt";
  zip::ForceDirectories(restored);
  ASSERT_TRUE(extract.FolderTree->SetPath(restored));
  // Arriving as the server passes it on: a queued call, which the extraction's pumping runs.
  bool arrivedDuringExtraction = false;
  classlib::Queue([&] {
    arrivedDuringExtraction = extract.Running();
    main->DdeOrvServerExecuteMacro({"/start", "Andere"});
  });
  testing_support::ClickButton(*extract.FlatButtonNext);
  EXPECT_TRUE(arrivedDuringExtraction);
  EXPECT_EQ(extract.LabelCreationStep->Caption(), "Datei(en) erfolgreich extrahiert.");
  // The window still shows its result.
  testing_support::MainLoopPause();
  EXPECT_EQ(Log(), logBefore);

  testing_support::ClickButton(*extract.FlatButtonNext);
  ASSERT_FALSE(extract.Visible());
  testing_support::MainLoopPause();
  EXPECT_EQ(Log(), logBefore + RunStartLines(kNow, "Andere") + RunEndLines(kNow, "Ende der Durchf\xFChrung"));
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(MainWindow, StartsHandedOverDuringTheDefinitionWizardWaitForItAndANameGoneMeanwhileIsTold) {
  MakeJob("Job", {1000});
  app::BackupDefinition old = FolderJob("Alt", source, target + "\\");
  old.Time = "18:00";
  app::WriteBackupDefinition(old);
  Start();
  testing_support::ScriptedPrompts prompts;
  app::TFormInstant& wizard = *windows.FormInstant;
  ASSERT_TRUE(wizard.EditDefinition("Alt"));
  HandOver({"/start", "Job"});
  HandOver({"/start", "Alt"});
  EXPECT_EQ(Log(), StartBlock(kNow));

  // The definition handed over is renamed meanwhile.
  wizard.FlatEditName->SetText("Neu");
  for (int i = 0; i < 12 && wizard.Visible(); ++i) testing_support::ClickButton(*wizard.FlatButtonNext);
  ASSERT_FALSE(wizard.Visible()) << (prompts.messages.empty() ? "" : prompts.messages.back().text);
  EXPECT_EQ(Log(), StartBlock(kNow));
  prompts.AnswerNext(PromptResult::Ok);
  testing_support::MainLoopPause();
  EXPECT_EQ(Log(), StartBlock(kNow) + RunStartLines(kNow, "Job") + RunEndLines(kNow, "Ende der Durchf\xFChrung") +
                       RefusedRunLines(kNow, "Alt", app::kNoSuchDefinitionReason));
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, app::RunFailureText("Alt", app::kNoSuchDefinitionReason));
  EXPECT_EQ(prompts.messages[0].caption, "Orvanta");
}

// A name that breaks the name rule (from the registry, or given by a shortcut or a second start)
// or names no definition runs nowhere: the user is told and the log has its block as for a run
// refused at its start; what comes after it runs as usual.
TEST_F(MainWindow, AHandedOverNameThatCannotRunIsToldAndLoggedAndTheNextStartRuns) {
  MakeJob("Job", {1000});
  app::WriteBackupDefinition(FolderJob("CON", source, target + "\\"));
  Start();
  const std::string characters =
      "Die Bezeichnung darf nur Buchstaben (A-Z, a-z), Ziffern, Leerzeichen und die Zeichen - . _ enthalten.";
  const struct {
    TStringList lines;
    std::string name;    // as told
    std::string logged;  // as the log has it
    std::string reason;
  } cases[] = {
      {{"/start", "CON"}, "CON", "CON",
       "\"CON\" ist ein Gerätename von Windows und kann nicht als Bezeichnung des Backups verwendet werden."},
      {{"/start", "Fehlt"}, "Fehlt", "Fehlt", app::kNoSuchDefinitionReason},
      {{"/start", "Ordner\\Job"}, "Ordner\\Job", "Ordner\\Job", characters},
      {{"/start", "..\\Job"}, "..\\Job", "..\\Job", characters},
      {{"/start", "C:\\x"}, "C:\\x", "C:\\x", characters},
      // A name with a line break arrives split in lines.
      {{"/start", "Job", "Fehler:       x"}, "Job\r\nFehler:       x", "Job Fehler:       x", characters},
  };
  std::string logged = StartBlock(kNow);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.logged);
    testing_support::ScriptedPrompts prompts;
    prompts.AnswerNext(PromptResult::Ok);
    HandOver(c.lines);
    logged += RefusedRunLines(kNow, c.logged, c.reason);
    EXPECT_EQ(Log(), logged);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, app::RunFailureText(c.name, c.reason));
    EXPECT_EQ(prompts.messages[0].caption, "Orvanta");
    EXPECT_FALSE(main->BackupRunning());
    EXPECT_TRUE(main->Enabled());
  }
  testing_support::ScriptedPrompts prompts;
  HandOver({"/start", "Job"});
  EXPECT_EQ(Log(), logged + RunStartLines(kNow, "Job") + RunEndLines(kNow, "Ende der Durchf\xFChrung"));
  EXPECT_EQ(FilesIn(target), std::vector<std::string>{"Job.zip"});
}

// A shortcut's name the program cannot run is told also when it starts in the tray, after the
// start block.
TEST_F(MainWindow, TheFirstStartsOwnNameWithABackslashIsToldAndLoggedAlsoWhenMinimized) {
  app::WriteBoolSetting(app::setting::kMinimized, true);
  MakeJob("Job", {1000});
  testing_support::ScriptedPrompts prompts;
  prompts.AnswerNext(PromptResult::Ok);
  Start("/start \"..\\Job\"");
  testing_support::MainLoopPause();
  const std::string reason =
      "Die Bezeichnung darf nur Buchstaben (A-Z, a-z), Ziffern, Leerzeichen und die Zeichen - . _ enthalten.";
  EXPECT_EQ(Log(), StartBlock(kNow) + RefusedRunLines(kNow, "..\\Job", reason));
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, app::RunFailureText("..\\Job", reason));
  EXPECT_FALSE(main->Visible());
  EXPECT_TRUE(FilesIn(target).empty());
}

TEST_F(MainWindow, FilesHandedOverDuringTheSingleBackupWizardJoinTheListItHandsBack) {
  const std::string chosen = dir / "Gewählt.txt";
  const std::string handed = dir / "Übergeben.txt";
  testing_support::WriteFile(chosen, "g");
  testing_support::WriteFile(handed, "u");
  Start();
  testing_support::ScriptedPrompts prompts;
  testing_support::ClickButton(*main->PanelSingleBackup->FlatButtonSingleAdd);
  app::TFormAdd& add = *windows.FormAdd;
  ASSERT_TRUE(add.Visible());
  HandOver({handed});
  EXPECT_TRUE(ListedRows().empty());

  add.RadioButtonFiles->SetChecked(true);
  testing_support::ClickButton(*add.FlatButtonNext);
  prompts.ChooseNextFiles(std::vector<std::string>{chosen});
  testing_support::ClickButton(*add.FlatButtonFilesAdd);
  testing_support::ClickButton(*add.FlatButtonNext);
  ASSERT_FALSE(add.Visible());
  testing_support::MainLoopPause();
  EXPECT_EQ(ListedRows(), (std::vector<std::string>{"Gewählt.txt|" + dir.Path() + "\\",
                                                    "Übergeben.txt|" + dir.Path() + "\\"}));
  EXPECT_EQ(main->PanelSingleBackup->LabelSingleBackupCount->Caption(),
            app::FilesText(*main->PanelSingleBackup->ListViewSingleBackup));
}

// The icon's colour pixels, top row first; empty without an icon.
std::vector<DWORD> IconPixels(HICON icon) {
  ICONINFO info = {};
  if (!icon || !GetIconInfo(icon, &info)) return {};
  BITMAP bitmap = {};
  GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
  BITMAPINFO format = {};
  format.bmiHeader = {sizeof(BITMAPINFOHEADER), bitmap.bmWidth, -bitmap.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<DWORD> pixels(static_cast<size_t>(bitmap.bmWidth) * static_cast<size_t>(bitmap.bmHeight));
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, info.hbmColor, 0, static_cast<UINT>(bitmap.bmHeight), pixels.data(), &format, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return pixels;
}

std::vector<DWORD> ProgramIconPixels(int size) {
  HICON icon = static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
  std::vector<DWORD> pixels = IconPixels(icon);
  DestroyIcon(icon);
  return pixels;
}

TEST_F(MainWindow, EveryWindowCarriesTheProgramsIconInItsTitleBarAndOnTheTaskBar) {
  Start();
  const std::vector<DWORD> large = ProgramIconPixels(GetSystemMetrics(SM_CXICON));
  const std::vector<DWORD> small = ProgramIconPixels(GetSystemMetrics(SM_CXSMICON));
  ASSERT_FALSE(large.empty());
  ASSERT_FALSE(small.empty());
  const std::vector<std::pair<const char*, classlib::TForm*>> forms = {
      {"main", windows.FormMain},         {"progress", windows.FormProgress},
      {"instant", windows.FormInstant},   {"add", windows.FormAdd},
      {"creation", windows.FormCreation}, {"popup", windows.FormPopup},
      {"extract", windows.FormExtract},   {"info", windows.FormInfo},
      {"update", windows.FormUpdate},     {"download", windows.FormDownload},
      {"select", windows.FormInstant->FormSelect}, {"recover", windows.FormRecover}};
  for (const auto& [name, form] : forms) {
    HWND window = form->Handle();
    EXPECT_EQ(IconPixels(reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0))), large) << name;
    EXPECT_EQ(IconPixels(reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0))), small) << name;
    EXPECT_EQ(IconPixels(reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICON))), large) << name;
    EXPECT_EQ(IconPixels(reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICONSM))), small) << name;
  }
}

TEST_F(MainWindow, ShowingTheWindowHidesAProgressWindowThatNoRunUses) {
  app::WriteBoolSetting(app::setting::kMinimized, true);
  Start();
  windows.FormProgress->Show();
  main->Show();
  EXPECT_FALSE(windows.FormProgress->Visible());
}

TEST_F(MainWindow, BeendenDuringARunAsksAndEndsTheRunThroughItsCancelBeforeTheProgram) {
  MakeJob("Job", {300000, 300000, 300000});
  Start();
  testing_support::ScriptedPrompts prompts;
  prompts.AnswerNext(PromptResult::No);
  prompts.AnswerNext(PromptResult::Yes);
  int files = 0;
  bool runningAfterNo = false;
  windows.FormProgress->ZipArchive.OnEndZip = [&](const std::string&, std::uint32_t, std::uint32_t, std::int64_t) {
    ChooseFromTrayMenu(main->Beenden1);
    if (++files == 1) runningAfterNo = main->BackupRunning() && !classlib::Application().Terminated();
  };
  HandOver({"/start", "Job"});

  EXPECT_TRUE(runningAfterNo);
  EXPECT_EQ(files, 2);
  ASSERT_EQ(prompts.messages.size(), 2u);
  EXPECT_EQ(prompts.messages[1].text, app::kCancelAndQuitQuestion);
  EXPECT_EQ(prompts.messages[1].buttons, classlib::PromptButtons::YesNo);
  EXPECT_TRUE(prompts.messages[1].systemModal);
  // Return answers "Nein": the run goes on.
  EXPECT_EQ(prompts.messages[0].defaultButton, 2);
  EXPECT_EQ(prompts.messages[1].defaultButton, 2);
  EXPECT_TRUE(classlib::Application().Terminated());
  EXPECT_FALSE(main->BackupRunning());
  EXPECT_FALSE(windows.FormProgress->Visible());
  EXPECT_TRUE(FilesIn(target).empty());
  const std::string run =
      StartBlock(kNow) + RunStartLines(kNow, "Job") + RunEndLines(kNow, "Abbruch der Durchf\xFChrung");
  EXPECT_EQ(Log(), run);
  CloseWindows();
  EXPECT_EQ(Log(), run + EndBlock(kNow, "Terminierung durch Anwender"));
}

TEST_F(MainWindow, TheSessionEndDuringASingleBackupCancelsItAndLogsItsAbortBeforeTheEnd) {
  Start();
  for (const char* name : {"a.bin", "b.bin", "c.bin"}) {
    testing_support::WriteFile(source + "\\" + name, RandomBytes(300000, name[0]));
    app::AddFileItem(*main->PanelSingleBackup->ListViewSingleBackup, source + "\\" + name);
  }
  app::TFormCreation& creation = *windows.FormCreation;
  testing_support::ClickButton(*main->PanelSingleBackup->FlatButtonSingleCreate);
  ASSERT_TRUE(creation.Visible());
  testing_support::ClickButton(*creation.FlatButtonNext);
  ASSERT_TRUE(creation.FolderTree->SetPath(target));
  testing_support::ClickButton(*creation.FlatButtonNext);
  creation.FlatEditName->SetText("Sicherung");
  testing_support::ClickButton(*creation.FlatButtonNext);
  ASSERT_EQ(creation.FlatButtonNext->Caption(), "Fertig");
  testing_support::ScriptedPrompts prompts;
  prompts.AnswerNext(PromptResult::Yes);
  LRESULT answer = FALSE;
  int files = 0;
  creation.ZipArchive.OnEndZip = [&](const std::string&, std::uint32_t, std::uint32_t, std::int64_t) {
    if (files++ == 0) answer = SendMessageW(main->Handle(), WM_QUERYENDSESSION, 0, 0);
  };
  testing_support::ClickButton(*creation.FlatButtonNext);

  EXPECT_EQ(answer, TRUE);
  EXPECT_EQ(files, 1);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, app::kCancelAndQuitQuestion);
  EXPECT_EQ(prompts.messages[0].defaultButton, 2);
  EXPECT_FALSE(creation.Creating());
  EXPECT_FALSE(main->BackupRunning());
  EXPECT_TRUE(FilesIn(target).empty());
  const std::string logged = StartBlock(kNow) +
                             "Uhrzeit:      05.03.2024 14:22\r\nTyp:          Single Backup\r\n"
                             "Art:          Start der Durchf\xFChrung\r\n" +
                             RunEndLines(kNow, "Abbruch der Durchf\xFChrung") + EndBlock(kNow, "System-ShutDown");
  EXPECT_EQ(Log(), logged);

  SendMessageW(main->Handle(), WM_ENDSESSION, TRUE, 0);
  EXPECT_TRUE(classlib::Application().Terminated());
  CloseWindows();
  EXPECT_EQ(Log(), logged);
}

TEST_F(MainWindow, ASecondStartThatNobodyAnswersTellsTheUserAndEndsWithoutALog) {
  const app::TInstanceLock running(instance);
  const struct {
    const char* arguments;
    bool told;
  } cases[] = {{"/start Job", true}, {"", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    testing_support::ScriptedPrompts prompts;
    if (c.told) prompts.AnswerNext(PromptResult::Ok);
    Start(c.arguments, {2, 100, 500});
    EXPECT_TRUE(main->SecondInstance());
    EXPECT_TRUE(classlib::Application().Terminated());
    EXPECT_EQ(windows.FormProgress, nullptr);
    ASSERT_EQ(prompts.messages.size(), c.told ? 1u : 0u);
    if (c.told) {
      EXPECT_EQ(prompts.messages[0].text, app::kNoAnswerText);
    }
    EXPECT_EQ(std::count(shellCalls.begin(), shellCalls.end(), static_cast<DWORD>(NIM_ADD)), 0);
    CloseWindows();
    classlib::Application().ResetTerminatedForTesting();
    EXPECT_FALSE(testing_support::FileExists(dir / "orvapp.log"));
  }
}

TEST_F(MainWindow, TheInstantBackupTabListsTheDefinitionsAndTheTrayMenuSwitchesThemAll) {
  MakeJob("Abends", {10});
  MakeJob("Morgens", {10});
  Start();
  app::TInstantBackupPage& page = *main->PanelInstantBackup;
  EXPECT_FALSE(page.Visible());
  main->FlatTabControlMain->SetActiveTab(app::TFormMain::kInstantBackupTab);
  EXPECT_TRUE(page.Visible());
  EXPECT_FALSE(main->PanelSingleBackup->Visible());
  EXPECT_FALSE(main->PanelRestoreBackup->Visible());
  const auto column = [&] {
    std::vector<std::string> texts;
    for (int i = 0; i < page.ListViewInstantBackup->Items().Count(); ++i)
      texts.push_back(page.ListViewInstantBackup->Items()[i]->SubItem(0));
    return texts;
  };
  EXPECT_EQ(page.ListViewInstantBackup->Items()[1]->Caption(), "Morgens");
  EXPECT_EQ(column(), (std::vector<std::string>{"60 Minute(n)", "60 Minute(n)"}));

  ASSERT_EQ(main->InstantBackups1->Count(), 2);
  ChooseFromTrayMenu(main->InstantBackups1->Items(1));
  EXPECT_EQ(column(), (std::vector<std::string>{"Deaktiviert", "Deaktiviert"}));
  ChooseFromTrayMenu(main->InstantBackups1->Items(0));
  EXPECT_EQ(column(), (std::vector<std::string>{"60 Minute(n)", "60 Minute(n)"}));

  // The wizard's save refreshes the information panel through the main window.
  page.ListViewInstantBackup->Items()[0]->SetSelected(true);
  page.ListViewInstantBackup->OnDblClick(page.ListViewInstantBackup);
  ASSERT_TRUE(page.PanelBackupInfo->Visible());
  app::WriteBackupResults("Abends", {"05.03.2024 14:00", "1 KB", "1"});
  app::MainWindow().RefreshInformationPanel();
  EXPECT_EQ(page.LabelBackupInfoLast->Caption(), "05.03.2024 14:00");
  EXPECT_EQ(page.FormInstant, windows.FormInstant);
}

}  // namespace
