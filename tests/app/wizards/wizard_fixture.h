// A world for the windows: the application set up, a main window that only records what it is
// told, the program (and so its log) in a scratch folder, a fixed clock, a scratch registry.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/activity_log.h"
#include "app/program_paths.h"
#include "app/wizards/main_window_hooks.h"
#include "classlib/clock.h"
#include "classlib/datetime.h"
#include "tests/support/scratch_registry.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test.h"

namespace wizard_testing {

// Bytes that deflate cannot shrink much, so a file takes many buffers.
inline std::string Bytes(size_t size) {
  std::string bytes(size, '\0');
  unsigned state = 12345;
  for (char& b : bytes) {
    state = state * 1103515245 + 12345;
    b = static_cast<char>(state >> 16);
  }
  return bytes;
}

// The lines that end a run in the log, at the fixture's time, with the reason as the log has it
// (ANSI).
inline std::string RunEndBlock(const std::string& reason) {
  return "Beendet um:   05.03.2024 14:22\r\nGrund:        " + reason + "\r\n" + std::string(73, '-') + "\r\n";
}

struct FakeMainWindow {
  bool visible = false;
  bool enabled = true;
  bool schedulerEnabled = false;
  bool backupRunning = false;
  bool trayStopped = false;
  bool trayAnimating = false;
  bool shutdownLogged = false;
  bool preventErrors = false;
  int recomputedJobLists = 0;
  int panelRefreshes = 0;
  // Called on every change the windows make, before it is recorded.
  std::function<void()> onChange = [] {};

  std::string tempFolder;

  void Install() {
    app::MainWindowHooks& h = app::MainWindow();
    h.Visible = [this] { return visible; };
    h.Enabled = [this] { return enabled; };
    h.SetEnabled = [this](bool value) { Change(enabled, value); };
    h.SetSchedulerEnabled = [this](bool value) { Change(schedulerEnabled, value); };
    h.BackupRunning = [this] { return backupRunning; };
    h.SetBackupRunning = [this](bool value) { Change(backupRunning, value); };
    h.StartTrayAnimation = [this] { Change(trayAnimating, true); };
    h.StopTrayAnimation = [this] {
      Change(trayStopped, true);
      trayAnimating = false;
    };
    h.RecomputeRunningJobs = [this] {
      onChange();
      ++recomputedJobLists;
    };
    h.RefreshInformationPanel = [this] { ++panelRefreshes; };
    h.SetShutdownLogged = [this] { Change(shutdownLogged, true); };
    h.PackLevel = [] { return 9; };
    h.TempFolder = [this] { return tempFolder; };
    h.PreventErrors = [this] { return preventErrors; };
  }

 private:
  void Change(bool& field, bool value) {
    onChange();
    field = value;
  }
};

class WizardFixture : public ::testing::Test {
 protected:
  WizardFixture() {
    testing_support::InitWindows();
    main.tempFolder = dir.Path() + "\\";
    main.Install();
    app::SetProgramFileForTesting(dir / "orvapp.exe");
    app::SetLoggingEnabled(true);
    const classlib::TDateTime now = classlib::EncodeDate(2024, 3, 5) + classlib::EncodeTime(14, 22, 0, 0);
    classlib::SetClockForTesting([now] { return now; });
  }
  ~WizardFixture() override {
    app::MainWindow() = app::MainWindowHooks();
    app::SetProgramFileForTesting("");
    classlib::SetClockForTesting(nullptr);
    EXPECT_EQ(testing_support::TakeBoundaryErrors(), std::vector<std::string>());
  }

  std::string Log() const {
    const std::string path = dir / "orvapp.log";
    return testing_support::FileExists(path) ? testing_support::ReadFile(path) : std::string();
  }

  testing_support::ScratchRegistry registry;
  testing_support::TempDir dir;
  FakeMainWindow main;
};

}  // namespace wizard_testing
