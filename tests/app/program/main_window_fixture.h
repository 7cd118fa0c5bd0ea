// The program's windows in this process, as the main window's tests drive them.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/activity_log.h"
#include "app/form_info.h"
#include "app/form_main.h"
#include "app/system_actions.h"
#include "app/wizards/form_instant.h"
#include "controls/flat/browse_for_folder.h"
#include "update/form_download.h"
#include "update/form_update.h"
#include "app/program_paths.h"
#include "app/program_windows.h"
#include "app/wizards/form_add.h"
#include "app/wizards/form_creation.h"
#include "app/wizards/form_extract.h"
#include "app/wizards/form_popup.h"
#include "app/wizards/form_progress.h"
#include "app/wizards/form_recover.h"
#include "classlib/clock.h"
#include "classlib/datetime.h"
#include "classlib/menus.h"
#include "tests/app/program/program_fixture.h"
#include "tests/support/scratch_registry.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test.h"
#include "zip/fs.h"
#include "zip/fs_helpers.h"

namespace program_testing {

inline const char kNow[] = "05.03.2024 14:22";

// The names of the files in a folder.
inline std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  zip::fs::FindData entry;
  const zip::fs::FindHandle h = zip::fs::FindFirst(folder, entry);
  if (h == zip::fs::kInvalidHandle) return names;
  do {
    if ((entry.attributes & zip::fs::kAttrDirectory) == 0) names.push_back(entry.name);
  } while (zip::fs::FindNext(h, entry));
  zip::fs::FindClose(h);
  return names;
}

// The program's windows in this process, on names of their own, with a scratch registry, the
// program (and so its log) in a scratch folder, a fixed clock and the shell's icon calls recorded.
class MainWindow : public ::testing::Test {
 protected:
  MainWindow() {
    testing_support::InitWindows();
    app::SetProgramFileForTesting(dir / "orvapp.exe");
    classlib::SetClockForTesting([] { return classlib::EncodeDate(2024, 3, 5) + classlib::EncodeTime(14, 22, 0, 0); });
    controls::SetShellNotifyIconForTesting([this](DWORD message, const NOTIFYICONDATAW&) {
      shellCalls.push_back(message);
      return true;
    });
    zip::ForceDirectories(source);
    zip::ForceDirectories(target);
  }
  ~MainWindow() override {
    CloseWindows();
    classlib::Application().ResetTerminatedForTesting();
    classlib::SetPopupChooserForTesting(nullptr);
    controls::SetShellNotifyIconForTesting(nullptr);
    classlib::SetClockForTesting(nullptr);
    app::SetProgramFileForTesting("");
    app::System() = app::SystemActions();
    controls::SetBrowseDialogForTesting(nullptr);
    EXPECT_EQ(testing_support::TakeBoundaryErrors(), std::vector<std::string>());
  }

  // The program's start with these arguments.
  void Start(const std::string& arguments = "", const app::HandOverTiming& timing = {}) {
    app::ProgramStart start;
    start.CommandLine = "orvapp.exe" + (arguments.empty() ? "" : " " + arguments);
    start.InstanceName = instance;
    start.DdeService = Unique("orvtest");
    start.HandOver = timing;
    windows = app::CreateProgramWindows(nullptr, start);
    main = windows.FormMain;
  }

  // As the program ends: every window freed, the main window last.
  void CloseWindows() {
    delete windows.FormRecover;
    delete windows.FormDownload;
    delete windows.FormUpdate;
    delete windows.FormInfo;
    delete windows.FormExtract;
    delete windows.FormPopup;
    delete windows.FormCreation;
    delete windows.FormAdd;
    delete windows.FormInstant;
    delete windows.FormProgress;
    delete windows.FormMain;
    windows = {};
    main = nullptr;
  }

  // Lines as the hand-over server passes them on, and the main loop's next pause.
  void HandOver(const classlib::TStringList& lines) {
    main->DdeOrvServerExecuteMacro(lines);
    testing_support::MainLoopPause();
  }

  std::string Log() const {
    const std::string path = dir / "orvapp.log";
    return testing_support::FileExists(path) ? testing_support::ReadFile(path) : std::string();
  }

  // A definition on the source folder, which gets files of the given sizes.
  void MakeJob(const std::string& name, const std::vector<std::size_t>& sizes) {
    for (std::size_t i = 0; i < sizes.size(); ++i)
      testing_support::WriteFile(source + "\\Datei " + std::to_string(i) + ".bin", RandomBytes(sizes[i], i + 1));
    app::WriteBackupDefinition(FolderJob(name, source, target + "\\"));
  }

  // The rows of the Single Backup page: "name|folder".
  std::vector<std::string> ListedRows() const {
    std::vector<std::string> rows;
    classlib::TListView& list = *main->PanelSingleBackup->ListViewSingleBackup;
    for (int i = 0; i < list.Items().Count(); ++i)
      rows.push_back(list.Items()[i]->Caption() + "|" + list.Items()[i]->SubItem(0));
    return rows;
  }

  // The menu entry chosen, as the menu bar reports it to the window.
  void Choose(classlib::TMenuItem* item) {
    SendMessageW(main->Handle(), WM_COMMAND, MAKEWPARAM(item->Command(), 0), 0);
  }
  // The check mark the menu bar shows at item.
  bool MenuChecked(classlib::TMenuItem* item) const {
    return (GetMenuState(GetMenu(main->Handle()), item->Command(), MF_BYCOMMAND) & MF_CHECKED) != 0;
  }

  // A right click on the tray icon, choosing item from its menu.
  void ChooseFromTrayMenu(classlib::TMenuItem* item) {
    classlib::SetPopupChooserForTesting([item](classlib::TPopupMenu&, int, int) { return item; });
    SendMessageW(main->TrayIcon->CallbackWindow(), controls::WM_TRAYICON, 0, WM_RBUTTONDOWN);
  }

  testing_support::ScratchRegistry registry;
  testing_support::TempDir dir;
  const std::string source = dir / "Quelle";
  const std::string target = dir / "Ziel";
  const std::string instance = Unique("OrvantaTest");
  std::vector<DWORD> shellCalls;
  app::ProgramWindows windows;
  app::TFormMain* main = nullptr;
};

}  // namespace program_testing
