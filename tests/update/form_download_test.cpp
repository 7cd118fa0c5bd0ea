#include "update/form_download.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/host_python.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/window_test.h"
#include "tests/update/local_server.h"
#include "tests/update/update_fixture.h"
#include "update/form_update.h"

namespace {

using classlib::PromptResult;
using testing_support::ClickButton;
using testing_support::CloseBox;
using update::TFormDownload;
using update::TFormUpdate;
using update_testing::Pattern;
using update_testing::PumpUntil;
using update_testing::SiteFolder;
using update_testing::VersionFile;

constexpr char kServerError[] = "Server-Fehler: Download nicht möglich!";
constexpr int kSetupSize = 1024 * 1024;

class FormDownload : public update_testing::UpdateTest {
 protected:
  void SetUp() override {
    UpdateTest::SetUp();
    testing_support::InitWindows();
    formUpdate = std::make_unique<TFormUpdate>(nullptr);
    form = std::make_unique<TFormDownload>(nullptr);
    formUpdate->SetDownloadForm(form.get());
  }

  void TearDown() override {
    form.reset();
    formUpdate.reset();
    EXPECT_TRUE(testing_support::TakeBoundaryErrors().empty());
    UpdateTest::TearDown();
  }

  // The update window checks dir as served whole, then "Download" fetches the setup as mode
  // serves it; with the window's own wait, the click returns once the transfer has ended.
  void Download(const std::string& dir, const std::string& mode = "whole") {
    ServeFrom(dir);
    formUpdate->Show();
    ClickButton(*formUpdate->FlatButtonNext);
    ASSERT_TRUE(PumpUntil([&] { return formUpdate->FlatButtonNext->Caption() == "Fertig "; }));
    ASSERT_TRUE(formUpdate->FlatButtonDownload->Enabled()) << formUpdate->LabelAvailableVersion->Caption();
    ServeFrom(dir, mode);
    ClickButton(*formUpdate->FlatButtonDownload);
  }

  // The download window and the update window are gone and the main window is free again.
  void ExpectAllClosed() {
    EXPECT_FALSE(form->Visible());
    EXPECT_FALSE(formUpdate->Visible());
    EXPECT_TRUE(formUpdate->Enabled());
    EXPECT_TRUE(mainEnabled);
    EXPECT_TRUE(schedulerEnabled);
  }

  // The download's file, found below the temporary folder.
  std::string DownloadedFile() const {
    const std::vector<std::string> names = TempContents();
    return names.size() == 1 ? temp / names[0] + "\\orvapp.exe" : "";
  }

  testing_support::ScriptedPrompts prompts;
  std::unique_ptr<TFormUpdate> formUpdate;
  std::unique_ptr<TFormDownload> form;
};

TEST_F(FormDownload, StartsTheSetupOnlyAfterItsDigestMatched) {
  Put("setup-right", {{"update.ini", VersionFile("2.41")}, {"orvapp.exe", Pattern(kSetupSize)}});
  Download("setup-right");

  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_TRUE(form->Visible());
  EXPECT_FALSE(formUpdate->Enabled());
  EXPECT_FALSE(mainEnabled);
  EXPECT_TRUE(form->PanelInstall->Visible());
  EXPECT_TRUE(form->FlatButtonInstall->Visible());
  EXPECT_FALSE(form->FlatButtonDownload->Visible());
  EXPECT_EQ(form->LabelAction->Caption(), "1024 KB von 1024 KB heruntergeladen.");
  EXPECT_EQ(form->FlatProgressBarDownload->UserValue(), 1024);

  const std::string file = DownloadedFile();
  ASSERT_FALSE(file.empty());
  std::string output;
  EXPECT_TRUE(testing_support::RunHostPython(
      "import subprocess, sys\nsys.exit(subprocess.run(['cmp', sys.argv[1], sys.argv[2]]).returncode)\n",
      {testing_support::HostPath(file), testing_support::HostPath(SiteFolder() + "\\setup-right\\orvapp.exe")},
      output))
      << output;
  EXPECT_TRUE(opened.empty());

  ClickButton(*form->FlatButtonInstall);
  EXPECT_EQ(opened, std::vector<std::string>{file});
  EXPECT_EQ(quits, 1);
  // The started setup stays where it is.
  CloseBox(*form);
  EXPECT_TRUE(testing_support::FileExists(file));
}

TEST_F(FormDownload, AnythingButTheWholeSetupWithItsDigestIsDeletedAndNeverStarted) {
  const struct {
    const char* name;
    std::string digestLine;
    bool setupOnServer;
    const char* mode;
  } cases[] = {
      {"wrong digest", "SHA256=" + std::string(64, '0'), true, "whole"},
      {"digest of another file", "SHA256={sha256 other.exe}", true, "whole"},
      {"no digest", "", true, "whole"},
      {"not found", "SHA256={sha256 update.ini}", false, "whole"},
      {"cut short", "SHA256={sha256 orvapp.exe}", true, "short"},
      {"no length", "SHA256={sha256 orvapp.exe}", true, "nolength"},
  };
  int index = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string dir = "setup-" + std::to_string(index++);
    Put(dir, {{"update.ini", VersionFile("2.41", "100 KB", c.digestLine)}, {"other.exe", "other"}});
    if (c.setupOnServer) Put(dir, {{"orvapp.exe", Pattern(100 * 1024)}});
    prompts.messages.clear();
    prompts.AnswerNext(PromptResult::Ok);
    Download(dir, c.mode);

    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, kServerError);
    EXPECT_EQ(prompts.messages[0].caption, "Orvanta");
    EXPECT_TRUE(prompts.messages[0].systemModal);
    EXPECT_EQ(prompts.messages[0].icon, classlib::PromptIcon::Warning);
    ExpectAllClosed();
    EXPECT_TRUE(TempContents().empty());
    ClickButton(*form->FlatButtonInstall);
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(quits, 0);
  }
}

TEST_F(FormDownload, CancellingMidwayClosesSilentlyAndLeavesNothing) {
  Put("setup-slow", {{"update.ini", VersionFile("2.41", "200 KB")}, {"orvapp.exe", Pattern(200 * 1024)}});
  const struct {
    const char* name;
    void (*cancel)(TFormDownload&);
  } cases[] = {
      {"Abbrechen", [](TFormDownload& f) { ClickButton(*f.FlatButtonDownload); }},
      {"close box", [](TFormDownload& f) { CloseBox(f); }},
      {"Escape", [](TFormDownload&) { testing_support::PressKey(GetFocus(), VK_ESCAPE); }},
  };
  const update::TOnProgressEvent progress = form->HTTPFetch->OnProgress;
  int progressSeen = 0;
  void (*cancel)(TFormDownload&) = nullptr;
  form->HTTPFetch->OnProgress = [&](int total, int readed) {
    progress(total, readed);
    if (++progressSeen == 3) cancel(*form);
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    progressSeen = 0;
    cancel = c.cancel;
    Download("setup-slow", "slow");
    // The wait ends with the transfer; the window may close only once it has.
    EXPECT_TRUE(PumpUntil([&] { return TempContents().empty(); }));
    EXPECT_LT(progressSeen, 100);
    EXPECT_TRUE(prompts.messages.empty());
    ExpectAllClosed();
    EXPECT_TRUE(opened.empty());
  }
}

TEST_F(FormDownload, CheckDownloadAndInstallGoByKeyboardAndEveryButtonShowsItsCaption) {
  Put("setup-keys", {{"update.ini", VersionFile("2.41")}, {"orvapp.exe", Pattern(kSetupSize)}});
  ServeFrom("setup-keys");
  SetCursorPos(0, 0);
  auto press = [](WORD key) { testing_support::PressKey(GetFocus(), key); };
  auto focused = [] { return classlib::TWinControl::FindControl(GetFocus()); };
  formUpdate->Show();
  ASSERT_EQ(focused(), formUpdate->FlatButtonNext);
  press(VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return formUpdate->FlatButtonNext->Caption() == "Fertig "; }));
  testing_support::Pump();
  EXPECT_EQ(testing_support::StalePixels(*formUpdate->FlatButtonNext, 2), 0) << "\"Fertig \" is not what it shows";
  press(VK_TAB);
  ASSERT_EQ(focused(), formUpdate->FlatButtonDownload);
  press(VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return form->PanelInstall->Visible(); }));
  EXPECT_EQ(focused(), form->FlatButtonInstall);
  testing_support::Pump();
  EXPECT_EQ(testing_support::StalePixels(*form->FlatButtonInstall, 2), 0);
  press(VK_RETURN);
  EXPECT_EQ(opened, std::vector<std::string>{DownloadedFile()});
  EXPECT_EQ(quits, 1);
  CloseBox(*form);

  // Without a cancel button Escape is the update wizard's close box; shown again it starts over.
  formUpdate->Show();
  press(VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return formUpdate->FlatButtonNext->Caption() == "Fertig "; }));
  press(VK_ESCAPE);
  ExpectAllClosed();
  formUpdate->Show();
  EXPECT_EQ(formUpdate->FlatButtonNext->Caption(), "Überprüfen ");
  EXPECT_EQ(focused(), formUpdate->FlatButtonNext);
}

TEST_F(FormDownload, ProgressCountsWholeKilobytesOfTheOfferedSize) {
  Put("setup-progress", {{"update.ini", VersionFile("2.41", "5 KB")}, {"orvapp.exe", Pattern(5 * 1024 + 10)}});
  const update::TOnProgressEvent progress = form->HTTPFetch->OnProgress;
  std::vector<std::string> before, after;
  std::vector<int> kilobytes;
  form->HTTPFetch->OnProgress = [&](int total, int readed) {
    before.push_back(form->LabelAction->Caption());
    progress(total, readed);
    after.push_back(form->LabelAction->Caption());
    kilobytes.push_back(readed / 1024);
  };
  // Twice: the second download starts from nothing again.
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    before.clear();
    after.clear();
    kilobytes.clear();
    Download("setup-progress");
    ASSERT_TRUE(form->PanelInstall->Visible());
    ASSERT_FALSE(after.empty());
    EXPECT_EQ(before[0], "0 KB von 5 KB heruntergeladen.");
    for (size_t i = 0; i < after.size(); ++i) {
      EXPECT_EQ(after[i], std::to_string(kilobytes[i]) + " KB von 5 KB heruntergeladen.");
    }
    EXPECT_EQ(kilobytes.back(), 5);
    EXPECT_EQ(form->FlatProgressBarDownload->UserValue(), 5);
    CloseBox(*form);
    EXPECT_TRUE(TempContents().empty());
  }
}

TEST_F(FormDownload, ASetupTheShellCannotStartKeepsTheProgramRunning) {
  Put("setup-unstartable", {{"update.ini", VersionFile("2.41", "1 KB")}, {"orvapp.exe", Pattern(1024)}});
  Download("setup-unstartable");
  ASSERT_TRUE(form->FlatButtonInstall->Visible());
  openSucceeds = false;
  prompts.AnswerNext(PromptResult::Ok);
  ClickButton(*form->FlatButtonInstall);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text,
            "Download Wizard konnte die Installation nicht starten:\r\r" + opened.at(0));
  EXPECT_EQ(quits, 0);
  EXPECT_TRUE(form->Visible());
  // Closed without starting, the download goes.
  CloseBox(*form);
  EXPECT_TRUE(TempContents().empty());
  ExpectAllClosed();
}

TEST_F(FormDownload, ATemporaryFolderThatCannotHoldTheDownloadIsReported) {
  Put("setup-nofolder", {{"update.ini", VersionFile("2.41", "1 KB")}, {"orvapp.exe", Pattern(1024)}});
  app::MainWindow().TempFolder = [this] { return temp / "gone\\"; };
  prompts.AnswerNext(PromptResult::Ok);
  Download("setup-nofolder");
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text,
            "Download Wizard konnte im folgenden Verzeichnis keinen Ordner für den Download anlegen:\r\r" +
                (temp / "gone\\"));
  ExpectAllClosed();
}

}  // namespace
