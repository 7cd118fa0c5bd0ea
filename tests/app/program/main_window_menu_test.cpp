// The main window's menu, pages, information window and keyboard: settings stored at once, the
// compression level in every writer, the temporary folder, the configuration export, the log view,
// the help and the update entry.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/config_export.h"
#include "app/single_backup_list.h"
#include "app/wizards/main_window_hooks.h"
#include "classlib/wide.h"
#include "controls/flat/flat_hint.h"
#include "tests/app/program/main_window_fixture.h"
#include "tests/support/child_process.h"
#include "tests/support/host_python.h"
#include "tests/support/scripted_prompts.h"
#include "update/automatic_update.h"

using namespace program_testing;
using testing_support::PressKey;

namespace {

const wchar_t kProgramKeyName[] = L"Software\\Norvex\\Orvanta";

// A value of the program key as stored: its type and its bytes read as a number or a text.
struct Stored {
  DWORD type = REG_NONE;
  DWORD number = 0;
  std::string text;
};

Stored ReadStored(const char* name) {
  Stored s;
  BYTE data[1024] = {};
  DWORD size = sizeof data - 2;
  if (RegGetValueW(HKEY_CURRENT_USER, kProgramKeyName, classlib::Widen(name).c_str(), RRF_RT_ANY | RRF_NOEXPAND,
                   &s.type, data, &size) != ERROR_SUCCESS)
    return s;
  if (s.type == REG_DWORD) s.number = *reinterpret_cast<DWORD*>(data);
  if (s.type == REG_SZ) s.text = classlib::Narrow(reinterpret_cast<wchar_t*>(data));
  return s;
}

// The item list of a folder, as the folder dialog returns it.
PIDLIST_ABSOLUTE ItemListOf(const std::string& folder) {
  return ILCreateFromPathW(classlib::Widen(folder).c_str());
}

class MainMenu : public MainWindow {
 protected:
  MainMenu() {
    app::System().OpenFile = [this](const std::string& file) {
      opened.push_back(file);
      return true;
    };
    app::System().RunProgram = [this](const std::string& program, const std::string& parameters) {
      started.push_back(program + " " + parameters);
      return true;
    };
  }

  // The folder the "user" picks in the folder dialog; the dialog's title is kept.
  void PickFolder(std::function<PIDLIST_ABSOLUTE()> pick) {
    controls::SetBrowseDialogForTesting([this, pick](BROWSEINFOW& info) {
      pickerTitle = classlib::Narrow(info.lpszTitle);
      return pick();
    });
  }

  std::vector<std::string> opened;
  std::vector<std::string> started;
  std::string pickerTitle;
};

TEST_F(MainMenu, EachSettingsEntryIsStoredAtOnceAsADwordAndItsCheckMarkFollows) {
  Start();
  const struct {
    classlib::TMenuItem* app::TFormMain::*item;
    const char* name;
    bool initially;
  } cases[] = {
      {&app::TFormMain::Action11, app::setting::kLogfile, true},
      {&app::TFormMain::Action10, app::setting::kPreventErrors, true},
      {&app::TFormMain::Action5, app::setting::kAutoUpdate, false},
      {&app::TFormMain::Action21, app::setting::kAnimatedIcon, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    classlib::TMenuItem* item = main->*c.item;
    EXPECT_EQ(MenuChecked(item), c.initially);
    EXPECT_EQ(ReadStored(c.name).type, static_cast<DWORD>(REG_NONE));
    Choose(item);
    EXPECT_EQ(ReadStored(c.name).type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(ReadStored(c.name).number, c.initially ? 0u : 1u);
    EXPECT_EQ(MenuChecked(item), !c.initially);
    Choose(item);
    EXPECT_EQ(ReadStored(c.name).number, c.initially ? 1u : 0u);
    EXPECT_EQ(MenuChecked(item), c.initially);
  }
  // They take effect at once.
  Choose(main->Action11);
  EXPECT_FALSE(app::LoggingEnabled());
  Choose(main->Action10);
  EXPECT_FALSE(app::MainWindow().PreventErrors());
  Choose(main->Action5);
  EXPECT_TRUE(app::MainWindow().AutoUpdate());

  // The icon of a run on its way stops or starts turning.
  app::MainWindow().SetBackupRunning(true);
  app::MainWindow().StartTrayAnimation();
  EXPECT_TRUE(main->TrayIcon->CycleIcons());
  Choose(main->Action21);
  EXPECT_FALSE(main->TrayIcon->CycleIcons());
  EXPECT_EQ(main->TrayIcon->IconIndex(), 0);
  Choose(main->Action21);
  EXPECT_TRUE(main->TrayIcon->CycleIcons());
  app::MainWindow().StopTrayAnimation();
  app::MainWindow().SetBackupRunning(false);

  // The window start mode: one of the two, for the next start.
  EXPECT_TRUE(MenuChecked(main->Action20));
  EXPECT_FALSE(MenuChecked(main->Action19));
  Choose(main->Action19);
  EXPECT_EQ(ReadStored(app::setting::kMinimized).type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(ReadStored(app::setting::kMinimized).number, 1u);
  EXPECT_TRUE(MenuChecked(main->Action19));
  EXPECT_FALSE(MenuChecked(main->Action20));
  EXPECT_TRUE(main->Visible());
  Choose(main->Action20);
  EXPECT_EQ(ReadStored(app::setting::kMinimized).number, 0u);
  EXPECT_TRUE(MenuChecked(main->Action20));
  EXPECT_FALSE(MenuChecked(main->Action19));
}

TEST_F(MainMenu, CompressionReachesEveryWriterAndKeineStoresTheEntriesUncompressed) {
  Start();
  EXPECT_TRUE(MenuChecked(main->Action15));
  const struct {
    classlib::TMenuItem* app::TFormMain::*item;
    int level;
  } cases[] = {{&app::TFormMain::Action16, 9}, {&app::TFormMain::Action14, 2}, {&app::TFormMain::Action13, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.level);
    Choose(main->*c.item);
    EXPECT_EQ(ReadStored(app::setting::kCompressRatio).type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(ReadStored(app::setting::kCompressRatio).number, static_cast<DWORD>(c.level));
    EXPECT_EQ(main->ZipArchive.PackLevel(), c.level);
    EXPECT_EQ(windows.FormProgress->ZipArchive.PackLevel(), c.level);
    EXPECT_EQ(windows.FormCreation->ZipArchive.PackLevel(), c.level);
    for (classlib::TMenuItem* item : {main->Action13, main->Action14, main->Action15, main->Action16})
      EXPECT_EQ(MenuChecked(item), item == main->*c.item);
  }

  // The next archive: every entry stored (method 0), though its files compress well.
  testing_support::WriteFile(source + "\\Text.txt", std::string(200000, 'a'));
  testing_support::WriteFile(source + "\\Noch ein Text.txt", std::string(100000, 'b'));
  app::WriteBackupDefinition(FolderJob("Job", source, target + "\\"));
  HandOver({"/start", "Job"});
  std::string output;
  ASSERT_TRUE(testing_support::RunHostPython(
      "import sys, zipfile\n"
      "for i in zipfile.ZipFile(sys.argv[1]).infolist(): print(i.filename.rsplit('/', 1)[-1], i.compress_type)\n",
      {testing_support::HostPath(target + "\\Job.zip")}, output))
      << output;
  EXPECT_EQ(output, "Noch ein Text.txt 0\nText.txt 0\n");
}

TEST_F(MainMenu, TheTemporaryFolderIsTakenWhenFilesCanBeMadeThere) {
  testing_support::ScriptedPrompts prompts;
  Start();
  const std::string creationBefore = windows.FormCreation->ZipArchive.TempPath();

  // A folder with the read-only attribute still takes files: chosen.
  const std::string chosen = dir / "Mit Schreibschutz";
  zip::ForceDirectories(chosen);
  ASSERT_TRUE(SetFileAttributesW(classlib::Widen(chosen).c_str(), FILE_ATTRIBUTE_READONLY));
  PickFolder([&] { return ItemListOf(chosen); });
  Choose(main->Action7);
  EXPECT_EQ(pickerTitle, "Wählen Sie nun das Verzeichnis aus, in welchem temporäre Dateien gespeichert werden sollen.");
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_EQ(ReadStored(app::setting::kTemp).type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(ReadStored(app::setting::kTemp).text, chosen + "\\");
  EXPECT_EQ(main->TempFolder(), chosen + "\\");
  EXPECT_EQ(windows.FormProgress->ZipArchive.TempPath(), chosen + "\\");
  EXPECT_EQ(windows.FormCreation->ZipArchive.TempPath(), creationBefore);
  EXPECT_EQ(main->BrowseForFolder->FolderName(), chosen);
  SetFileAttributesW(classlib::Widen(chosen).c_str(), FILE_ATTRIBUTE_NORMAL);

  // The dialog opens at the current folder. One where no file can be made is refused.
  const std::string gone = dir / "Verschwunden";
  zip::ForceDirectories(gone);
  std::string presetFolder;
  PickFolder([&] {
    presetFolder = main->BrowseForFolder->FolderName();
    PIDLIST_ABSOLUTE list = ItemListOf(gone);
    RemoveDirectoryW(classlib::Widen(gone).c_str());
    return list;
  });
  prompts.AnswerNext(classlib::PromptResult::Ok);
  Choose(main->Action7);
  EXPECT_EQ(presetFolder, chosen + "\\");
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text,
            "Das ausgewählte Verzeichnis ist schreibgeschützt! Die Auswahl wurde zurückgesetzt.");
  EXPECT_EQ(prompts.messages[0].caption, "Orvanta");
  EXPECT_TRUE(prompts.messages[0].systemModal);
  EXPECT_EQ(ReadStored(app::setting::kTemp).text, chosen + "\\");
  EXPECT_EQ(windows.FormProgress->ZipArchive.TempPath(), chosen + "\\");

  // "Computer" has no path: nothing changes, and it never becomes a drive root.
  PickFolder([] {
    PIDLIST_ABSOLUTE list = nullptr;
    SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &list);
    return list;
  });
  Choose(main->Action7);
  EXPECT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(windows.FormProgress->ZipArchive.TempPath(), chosen + "\\");
}

TEST_F(MainMenu, TheExportReplacesAnOlderOneAndTheRegistryEditorRestoresEverythingFromIt) {
  testing_support::ScriptedPrompts prompts;
  app::WriteIntegerSetting(app::setting::kCompressRatio, 9);
  app::WriteStringSetting(app::setting::kTemp, dir / "Zwischen Ablage\\");
  Start();
  main->ConfigurationKey = registry.Place() + "\\Software\\Norvex\\Orvanta";
  app::WriteBackupDefinition(FolderJob("Täglich", source, target + "\\"));
  Choose(main->Action11);
  const std::string file = dir / "orvapp.reg";
  testing_support::WriteFile(file, "ältere Sicherung");

  // The name is exported as it is, but no run takes it: the export says so.
  const std::string note =
      "\r\rDiese Backups haben eine ungültige Bezeichnung und werden nicht durchgeführt, bis Sie sie umbenennen: "
      "\"Täglich\".";
  prompts.AnswerNext(classlib::PromptResult::Ok);
  Choose(main->Action6);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, app::ExportedText(file) + note);
  EXPECT_EQ(prompts.messages[0].caption, "Orvanta");
  EXPECT_TRUE(prompts.messages[0].systemModal);
  EXPECT_FALSE(testing_support::FileExists(file + ".neu"));
  const std::string exported = testing_support::ReadFile(file);
  EXPECT_NE(exported, "ältere Sicherung");

  // A second export replaces the first.
  Choose(main->Action13);
  prompts.AnswerNext(classlib::PromptResult::Ok);
  Choose(main->Action6);
  ASSERT_EQ(prompts.messages.size(), 2u);
  EXPECT_EQ(prompts.messages[1].text, app::ExportedText(file) + note);
  EXPECT_NE(testing_support::ReadFile(file), exported);

  const std::string dumped = registry.Dump("Software\\Norvex\\Orvanta");
  ASSERT_NE(dumped.find("T\xC3\xA4glich"), std::string::npos) << dumped;
  ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Norvex"), ERROR_SUCCESS);
  HKEY gone = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Norvex\\Orvanta", 0, KEY_READ, &gone), ERROR_FILE_NOT_FOUND);
  const testing_support::ChildRun import =
      testing_support::RunChild(L"regedit.exe /S \"" + classlib::Widen(file) + L"\"");
  ASSERT_EQ(import.Problem, "");
  EXPECT_EQ(registry.Dump("Software\\Norvex\\Orvanta"), dumped);
}

TEST_F(MainMenu, AnExportThatProducesNoFileSaysSoAndKeepsTheOlderFile) {
  testing_support::ScriptedPrompts prompts;
  Start();
  main->ConfigurationKey = registry.Place() + "\\Software\\Norvex\\Fehlt";
  const std::string file = dir / "orvapp.reg";
  testing_support::WriteFile(file, "ältere Sicherung");
  prompts.AnswerNext(classlib::PromptResult::Ok);
  Choose(main->Action6);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, app::ExportFailedText(file));
  EXPECT_EQ(testing_support::ReadFile(file), "ältere Sicherung");
  EXPECT_FALSE(testing_support::FileExists(file + ".neu"));
}

TEST_F(MainMenu, TheExportNamesTheDefinitionsWhoseNamesNoRunTakes) {
  testing_support::ScriptedPrompts prompts;
  Start();
  main->ConfigurationKey = registry.Place() + "\\Software\\Norvex\\Orvanta";
  for (const char* name : {"Taeglich", "a/b", "CON"}) app::WriteBackupDefinition(FolderJob(name, source, target + "\\"));
  const std::string file = dir / "orvapp.reg";
  prompts.AnswerNext(classlib::PromptResult::Ok);
  Choose(main->Action6);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text,
            app::ExportedText(file) +
                "\r\rDiese Backups haben eine ungültige Bezeichnung und werden nicht durchgeführt, bis Sie sie "
                "umbenennen: \"a/b\", \"CON\".");
}

TEST_F(MainMenu, TheLogOpensInTheEditorWithItsQuotedPathAndTheHelpFileWithTheShell) {
  testing_support::ScriptedPrompts prompts;
  const std::string folder = dir / "Mein Programm";
  zip::ForceDirectories(folder);
  app::SetProgramFileForTesting(folder + "\\orvapp.exe");
  app::WriteBoolSetting(app::setting::kLogfile, false);
  Start();
  Choose(main->Action12);
  EXPECT_TRUE(started.empty());
  testing_support::WriteFile(folder + "\\orvapp.log", "Protokoll");
  Choose(main->Action12);
  EXPECT_EQ(started, std::vector<std::string>{"notepad \"" + folder + "\\orvapp.log\""});

  // No help file: a short message instead of nothing.
  prompts.AnswerNext(classlib::PromptResult::Ok);
  Choose(main->Action17);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "Die Hilfedatei \"" + folder + "\\orvapp.chm\" konnte nicht geöffnet werden.");
  EXPECT_TRUE(opened.empty());
  testing_support::WriteFile(folder + "\\orvapp.chm", "Hilfe");
  Choose(main->Action17);
  EXPECT_EQ(opened, std::vector<std::string>{folder + "\\orvapp.chm"});
  EXPECT_EQ(prompts.messages.size(), 1u);
}

TEST_F(MainMenu, TheInformationWindowOpensItsLinksAndClosesOnAnyOtherClick) {
  Start();
  app::TFormInfo& info = *windows.FormInfo;
  EXPECT_FALSE(info.Visible());
  Choose(main->Action18);
  ASSERT_TRUE(info.Visible());
  EXPECT_EQ(info.BorderStyle(), classlib::TFormBorderStyle::bsNone);
  EXPECT_EQ(info.FormStyle(), classlib::TFormStyle::fsStayOnTop);
  EXPECT_EQ(info.LabelManufacturerName->Caption(), "Norvex Software");
  EXPECT_EQ(info.LabelVersion->Caption(), "Version 2.4.0.2");
  EXPECT_FALSE(info.ImageInfo->Picture().Empty());

  info.LabelWebsiteLink->Click();
  info.LabelMailLink->Click();
  EXPECT_EQ(opened, (std::vector<std::string>{app::kWebsiteAddress, std::string("mailto:") + app::kSupportAddress}));
  EXPECT_TRUE(info.Visible());
  for (classlib::TControl* plain : std::initializer_list<classlib::TControl*>{
           info.ImageInfo, info.LabelVersion, info.LabelManufacturer, info.LabelManufacturerName, info.LabelWebsite,
           info.LabelMail}) {
    info.Show();
    const RECT r = plain->BoundsRect();
    testing_support::ClickAt(info.Handle(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    EXPECT_FALSE(info.Visible()) << r.left << "," << r.top;
  }
  EXPECT_EQ(opened.size(), 2u);
}

TEST_F(MainMenu, ThreeTabsEachShowTheirPageAndHeading) {
  Start();
  ASSERT_EQ(main->FlatTabControlMain->Tabs().Count(), 3);
  EXPECT_EQ(main->FlatTabControlMain->Tabs()[0], "Single Backup   .");
  EXPECT_EQ(main->FlatTabControlMain->Tabs()[1], "Instant Backup   .");
  EXPECT_EQ(main->FlatTabControlMain->Tabs()[2], "Restore   .");
  const struct {
    int tab;
    classlib::TControl* page;
    classlib::TControl* heading;
    const char* hint;
  } cases[] = {
      {app::TFormMain::kInstantBackupTab, main->PanelInstantBackup, main->PanelInstantBackupHeading,
       "Erstellt fortwährend Backups in frei definierten Zeit-Intervallen."},
      {app::TFormMain::kRestoreTab, main->PanelRestoreBackup, main->PanelRestoreHeading,
       "Öffnet ein Backup und stellt Dateien wieder her."},
      {app::TFormMain::kSingleBackupTab, main->PanelSingleBackup, main->PanelSingleBackupHeading,
       "Erstellt ein einmaliges Backup."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.hint);
    const RECT r = main->FlatTabControlMain->TabRect(c.tab);
    testing_support::ClickAt(main->FlatTabControlMain->Handle(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    EXPECT_EQ(main->FlatTabControlMain->ActiveTab(), c.tab);
    for (const auto& other : cases) {
      EXPECT_EQ(other.page->Visible(), other.tab == c.tab);
      EXPECT_EQ(other.heading->Visible(), other.tab == c.tab);
    }
    EXPECT_EQ(c.heading->Hint(), c.hint);
    EXPECT_TRUE(c.heading->ShowHint());
  }
  EXPECT_EQ(main->FlatHintMain->MaxHintWidth(), 250);
}

TEST_F(MainMenu, AHeadingsHintShowsInTheLightStripWithTheBlackArrowFramedByTheLine) {
  Start();
  ASSERT_TRUE(main->Visible());
  classlib::TWinControl& heading = *main->PanelSingleBackupHeading;
  const POINT at = heading.ClientToScreen({heading.Width() - 20, heading.Height() / 2});
  SetCursorPos(at.x, at.y);
  PostMessageW(heading.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(heading.Width() - 20, heading.Height() / 2));
  testing_support::Pump();
  classlib::Application().HintTimer().Tick();
  auto* hint = dynamic_cast<controls::TFlatHintWindow*>(classlib::Application().HintWindow());
  ASSERT_NE(hint, nullptr);
  ASSERT_TRUE(hint->Visible());
  EXPECT_EQ(hint->Caption(), "Erstellt ein einmaliges Backup.");
  classlib::TBitmap shot;
  testing_support::PaintControl(*hint, shot);
  const int w = shot.Width(), h = shot.Height();
  using Corner = controls::TFlatHintWindow::TArrowCorner;
  const bool left = hint->ArrowCorner() == Corner::TopLeft || hint->ArrowCorner() == Corner::BottomLeft;
  const int stripLeft = left ? 1 : w - 15;
  int light = 0, arrow = 0, other = 0;
  for (int y = 1; y < h - 1; ++y)
    for (int x = stripLeft; x < stripLeft + 14; ++x) {
      const classlib::TColor c = shot.Pixel(x, y);
      (c == 0xF5DEDE ? light : c == 0x000000 ? arrow : other) += 1;
    }
  EXPECT_GT(light, arrow);
  EXPECT_GT(arrow, 20) << "the arrow";
  EXPECT_EQ(other, 0) << "the strip holds its colour and the arrow only";
  EXPECT_EQ(shot.Pixel(0, 0), 0x996633u);
  EXPECT_EQ(shot.Pixel(w - 1, h - 1), 0x996633u);
  EXPECT_EQ(shot.Pixel(left ? w - 2 : 1, 1), 0xFFFFFFu) << "the text area";
  classlib::Application().CancelHint();
}

TEST_F(MainMenu, TheUpdateEntryIsTheHooksCaptionAndQuitMinimierenAndBeendenDoTheirWork) {
  Start();
  EXPECT_EQ(app::MainWindow().UpdateMenuCaption(), "&Aktualisierung");
  app::MainWindow().SetUpdateMenuCaption(update::kNewVersionMenuCaption);
  EXPECT_EQ(main->MenuUpdate->Caption(), "UPDATE");
  EXPECT_EQ(app::MainWindow().UpdateMenuCaption(), "UPDATE");
  wchar_t shown[32] = {};
  GetMenuStringW(GetMenu(main->Handle()), 2, shown, 32, MF_BYPOSITION);
  EXPECT_EQ(classlib::Narrow(shown), "UPDATE");
  // A newer version is known: no further automatic check.
  Choose(main->Action5);
  EXPECT_FALSE(app::MainWindow().StartAutomaticUpdateCheck());
  app::MainWindow().Quit();
  EXPECT_TRUE(classlib::Application().Terminated());

  // "Minimieren" and "Beenden" of the menu.
  classlib::Application().ResetTerminatedForTesting();
  Choose(main->Action1);
  EXPECT_FALSE(main->Visible());
  EXPECT_FALSE(classlib::Application().Terminated());
  Choose(main->Action2);
  EXPECT_TRUE(classlib::Application().Terminated());
}

TEST_F(MainMenu, TheSingleBackupLabelSumsInGermanFormAndSizesSortAsNumbers) {
  Start();
  classlib::TListView& list = *main->PanelSingleBackup->ListViewSingleBackup;
  for (const char* size : {"1.000 KB", "1.232.568 KB", "999 KB"}) {
    classlib::TListItem* item = list.Items().Add();
    item->SetCaption(size);
    item->AddSubItem("C:\\");
    item->AddSubItem(size);
  }
  main->PanelSingleBackup->SetFilesText();
  EXPECT_EQ(main->PanelSingleBackup->LabelSingleBackupCount->Caption(),
            "Zur Archivierung wurde(n) 3 Datei(en) ausgewählt, 1.205,63 MB.");
  NMLISTVIEW click = {};
  click.hdr.hwndFrom = list.Handle();
  click.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list.Handle()));
  click.hdr.code = LVN_COLUMNCLICK;
  click.iItem = -1;
  click.iSubItem = 2;
  SendMessageW(GetParent(list.Handle()), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
  EXPECT_EQ(list.Items()[0]->Caption(), "999 KB");
  EXPECT_EQ(list.Items()[1]->Caption(), "1.000 KB");
  EXPECT_EQ(list.Items()[2]->Caption(), "1.232.568 KB");
}

TEST_F(MainMenu, TheKeyboardReachesTheHelpThePagesAndMinimieren) {
  testing_support::ScriptedPrompts prompts;
  testing_support::WriteFile(dir / "orvapp.chm", "Hilfe");
  Start();
  // F1 anywhere in the window.
  main->PanelSingleBackup->ListViewSingleBackup->SetFocus();
  PressKey(GetFocus(), VK_F1);
  EXPECT_EQ(opened, std::vector<std::string>{dir / "orvapp.chm"});
  EXPECT_TRUE(prompts.messages.empty());
  // The tab strip switches its pages with the arrow keys.
  main->FlatTabControlMain->SetFocus();
  PressKey(GetFocus(), VK_RIGHT);
  EXPECT_EQ(main->FlatTabControlMain->ActiveTab(), app::TFormMain::kInstantBackupTab);
  EXPECT_TRUE(main->PanelInstantBackup->Visible());
  PressKey(GetFocus(), VK_RIGHT);
  EXPECT_EQ(main->FlatTabControlMain->ActiveTab(), app::TFormMain::kRestoreTab);
  PressKey(GetFocus(), VK_LEFT);
  PressKey(GetFocus(), VK_LEFT);
  EXPECT_EQ(main->FlatTabControlMain->ActiveTab(), app::TFormMain::kSingleBackupTab);
  // Tab walks to "Minimieren", and Space presses it.
  std::vector<classlib::TWinControl*> visited;
  for (int i = 0; i < 20 && classlib::TWinControl::FindControl(GetFocus()) != main->FlatButtonExit; ++i) {
    PressKey(GetFocus(), VK_TAB);
    visited.push_back(classlib::TWinControl::FindControl(GetFocus()));
  }
  ASSERT_EQ(classlib::TWinControl::FindControl(GetFocus()), main->FlatButtonExit);
  EXPECT_NE(std::find(visited.begin(), visited.end(), main->PanelSingleBackup->ListViewSingleBackup), visited.end());
  PressKey(GetFocus(), VK_SPACE);
  EXPECT_FALSE(main->Visible());
}

TEST_F(MainMenu, TheInformationWindowClosesWithEscapeAndReturn) {
  Start();
  for (WORD key : {VK_ESCAPE, VK_RETURN}) {
    SCOPED_TRACE(key);
    Choose(main->Action18);
    ASSERT_TRUE(windows.FormInfo->Visible());
    PressKey(GetFocus() ? GetFocus() : windows.FormInfo->Handle(), key);
    EXPECT_FALSE(windows.FormInfo->Visible());
  }
}

}  // namespace
