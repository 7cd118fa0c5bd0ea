#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/burn_on_cd.h"
#include "app/cd_simulator.h"
#include "app/wizards/burn_controls.h"
#include "app/wizards/form_progress.h"
#include "classlib/wide.h"
#include "tests/app/wizards/wizard_fixture.h"
#include "tests/support/scripted_prompts.h"

using namespace app;
using testing_support::FileExists;
using testing_support::ReadFile;

namespace {

// The run's burning: the progress window's writer and its controls.
class BurnInProgressWindow : public wizard_testing::WizardFixture {
 protected:
  BurnInProgressWindow() {
    drive->DriveLetter = "E";
    drive->Disc = std::make_shared<SimulatedDisc>();
    drive->Disc->HostFolder = dir / "disc";
    CreateDirectoryW(classlib::Widen(drive->Disc->HostFolder).c_str(), nullptr);
    progress->OrvBurner->SetBackend(
        std::make_unique<CDSimulator>(std::vector<std::shared_ptr<SimulatedCDDevice>>{drive}));
    testing_support::WriteFile(file, std::string(300000, 'b'));
    settings.DriveLetter = "E";
    main.backupRunning = true;
    progress->Show();
  }
  ~BurnInProgressWindow() override { delete progress; }

  BurnReport Burn() { return BurnOnCD(*progress->OrvBurner, settings, controls, file); }

  std::shared_ptr<SimulatedCDDevice> drive = std::make_shared<SimulatedCDDevice>();
  TFormProgress* progress = new TFormProgress(nullptr);
  TBurnControls controls{progress->LabelAction, progress->FlatProgressBarArchive, progress->FlatProgressBarActual,
                         [this] { return progress->CancelRequested(); }};
  BurnSettings settings;
  std::string file = dir / "Sicherung.zip";
  testing_support::ScriptedPrompts prompts;
};

TEST_F(BurnInProgressWindow, ShowsTheBurnOnTheWindowsControls) {
  ASSERT_TRUE(Burn().Burned());
  EXPECT_EQ(ReadFile(drive->Disc->HostFolder + "\\Sicherung.zip"), std::string(300000, 'b'));
  EXPECT_EQ(progress->LabelAction->Caption(), "Session wird geschlossen...");
  EXPECT_EQ(progress->FlatProgressBarArchive->MaxValue(), 148);  // the image's blocks
  EXPECT_EQ(progress->FlatProgressBarArchive->UserValue(), 148);
  EXPECT_EQ(progress->FlatProgressBarActual->UserValue(), 100);
}

TEST_F(BurnInProgressWindow, WindowsCancelStopsTheWrite) {
  PostMessageW(progress->FlatButtonCancel->Handle(), BM_CLICK, 0, 0);  // handled in the write's wait

  EXPECT_EQ(Burn().Result, BurnResult::Cancelled);
  EXPECT_EQ(progress->OrvBurner->LastOutcome(), TCDOutcome::Cancelled);
  EXPECT_TRUE(FileExists(file));
  EXPECT_EQ(drive->Disc->Sessions, 0);
  EXPECT_EQ(progress->FlatProgressBarArchive->UserValue(), progress->FlatProgressBarArchive->MaxValue());
}

TEST_F(BurnInProgressWindow, CancelPressedBeforeStopsTheBurnBeforeItTouchesTheDevice) {
  progress->RequestCancel();

  EXPECT_EQ(Burn().Result, BurnResult::Cancelled);
  EXPECT_EQ(progress->OrvBurner->LastOutcome(), TCDOutcome::None);
  EXPECT_EQ(drive->WriteSpeed, 0);
  EXPECT_TRUE(FileExists(file));
}

}  // namespace
