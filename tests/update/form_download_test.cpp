#include "update/form_download.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/gui_thread.h"
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
using update::THTTPFetch;
using update_testing::Pattern;
using update_testing::PumpUntil;
using update_testing::SiteFolder;
using update_testing::VersionFile;

constexpr char kServerError[] = "Server-Fehler: Download nicht möglich!";
constexpr char kNotTheSignedSetup[] =
    "Download Wizard hat die heruntergeladene Datei gelöscht, da sie nicht die angekündigte neue Version ist.";
constexpr int kSetupSize = 1024 * 1024;

class FormDownload : public update_testing::UpdateTest {
 protected:
  void SetUp() override {
    UpdateTest::SetUp();
    testing_support::InitWindows();
    MakeWindows();
  }

  // The update window and the download window, as the program creates them.
  void MakeWindows() {
    form.reset();
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
  // whileDownloading runs in that wait.
  void Download(const std::string& dir, const std::string& mode = "whole",
                std::function<void()> whileDownloading = nullptr) {
    ServeFrom(dir);
    formUpdate->Show();
    ClickButton(*formUpdate->FlatButtonNext);
    ASSERT_TRUE(PumpUntil([&] { return formUpdate->FlatButtonNext->Caption() == "Fertig "; }));
    ASSERT_TRUE(formUpdate->FlatButtonDownload->Enabled()) << formUpdate->LabelAvailableVersion->Caption();
    ServeFrom(dir, mode);
    if (whileDownloading) classlib::Queue(std::move(whileDownloading));
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
  Put("setup-right",
      {{"update.ini", VersionFile("2.41", "1024 KB", Pattern(kSetupSize))}, {"orvapp.exe", Pattern(kSetupSize)}});
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

TEST_F(FormDownload, AnythingButTheWholeSetupTheVendorSignedIsDeletedAndNeverStarted) {
  const std::string setup = Pattern(100 * 1024);
  std::string swapped = setup;
  swapped[5000] ^= 1;
  const struct {
    const char* name;
    std::string served;  // empty: none on the server
    const char* mode;
    const char* message;
  } cases[] = {
      {"swapped on the server", swapped, "whole", kNotTheSignedSetup},
      {"another file", "other", "whole", kNotTheSignedSetup},
      {"not found", "", "whole", kServerError},
      {"cut short", setup, "short", kServerError},
      {"no length", setup, "nolength", kServerError},
  };
  int index = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string dir = "setup-" + std::to_string(index++);
    Put(dir, {{"update.ini", VersionFile("2.41", "100 KB", setup)}});
    if (!c.served.empty()) Put(dir, {{"orvapp.exe", c.served}});
    prompts.messages.clear();
    prompts.AnswerNext(PromptResult::Ok);
    Download(dir, c.mode);

    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, c.message);
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
  Put("setup-slow",
      {{"update.ini", VersionFile("2.41", "200 KB", Pattern(200 * 1024))}, {"orvapp.exe", Pattern(200 * 1024)}});
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
    // The file goes once the transfer has let go of it.
    EXPECT_TRUE(PumpUntil([&] { return TempContents().empty(); }));
    EXPECT_LT(progressSeen, 100);
    EXPECT_TRUE(prompts.messages.empty());
    ExpectAllClosed();
    EXPECT_TRUE(opened.empty());
  }
}

// Closed during a download and opened again from the menu, a download at once succeeds and the
// cancelled one's file goes, however long its transfer takes to end.
TEST_F(FormDownload, ReopenedAndDownloadedAtOnceTheNewDownloadSucceeds) {
  THTTPFetch::SetStallTimeoutForTesting(1000);
  const std::string setup = Pattern(200 * 1024);
  Put("setup-reopen", {{"update.ini", VersionFile("2.41", "200 KB", setup)}, {"orvapp.exe", setup}});
  for (const std::string mode : {"slow", "silent"}) {
    SCOPED_TRACE(mode);
    // The user's steps, while the first download's transfer runs.
    Download("setup-reopen", mode, [&] {
      // The silent server holds the transfer inside its request.
      if (mode == "silent") {
        ASSERT_TRUE(PumpUntil([] { return Asked("setup-reopen", "orvapp.exe"); }));
      }
      CloseBox(*form);
      Download("setup-reopen");
    });
    ASSERT_TRUE(PumpUntil([&] { return form->PanelInstall->Visible(); }));
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(form->LabelAction->Caption(), "200 KB von 200 KB heruntergeladen.");
    // Only the new download is left.
    EXPECT_EQ(TempContents().size(), 1u);
    CloseBox(*form);
    EXPECT_TRUE(TempContents().empty());
    ExpectAllClosed();
  }
}

// The program ends by freeing its windows: a download under way, with its first data in or still
// waiting for a silent server, ends within the stall timeout and leaves nothing behind.
TEST_F(FormDownload, AQuitDuringADownloadLeavesNothing) {
  constexpr int kStall = 1000;
  THTTPFetch::SetStallTimeoutForTesting(kStall);
  const std::string setup = Pattern(200 * 1024);
  Put("setup-quit", {{"update.ini", VersionFile("2.41", "200 KB", setup)}, {"orvapp.exe", setup}});
  bool quitting = false;
  const auto quit = [&] {
    if (!quitting) PostQuitMessage(0);
    quitting = true;
  };
  for (const std::string mode : {"slow", "silent"}) {
    SCOPED_TRACE(mode);
    MakeWindows();
    quitting = false;
    form->HTTPFetch->OnProgress = [&](int, int) { quit(); };
    Download("setup-quit", mode, [&] {
      if (mode == "silent" && PumpUntil([] { return Asked("setup-quit", "orvapp.exe"); })) quit();
    });
    // The message loop has ended; its end must not reach the tests that follow.
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    ASSERT_EQ(TempContents().size(), 1u);
    const ULONGLONG start = GetTickCount64();
    form.reset();
    EXPECT_LT(GetTickCount64() - start, static_cast<ULONGLONG>(kStall) + 3000);
    EXPECT_TRUE(TempContents().empty());
    EXPECT_TRUE(prompts.messages.empty());
  }
}

// A transfer that outlasts the wait for it: the wait gives up while the transfer still holds its
// file open, and the file goes all the same once the transfer lets go of it.
TEST_F(FormDownload, ATransferOutlastingTheWaitForItLeavesNoFile) {
  THTTPFetch::SetStallTimeoutForTesting(10000);
  const std::string setup = Pattern(200 * 1024);
  Put("setup-held", {{"update.ini", VersionFile("2.41", "200 KB", setup)}, {"orvapp.exe", setup}});
  bool quitting = false;
  form->HTTPFetch->OnProgress = [&](int, int) {
    if (!quitting) PostQuitMessage(0);
    quitting = true;
  };
  // The server sends a first chunk, then nothing for seconds.
  Download("setup-held", "stall");
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  const std::string part = DownloadedFile();
  ASSERT_TRUE(testing_support::FileExists(part));
  // The program ends; its wait for the held transfer gives up long before the transfer ends.
  THTTPFetch::SetStallTimeoutForTesting(200);
  form.reset();
  EXPECT_TRUE(PumpUntil([&] { return !testing_support::FileExists(part); }, 30000)) << part;
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(FormDownload, CheckDownloadAndInstallGoByKeyboardAndEveryButtonShowsItsCaption) {
  Put("setup-keys",
      {{"update.ini", VersionFile("2.41", "1024 KB", Pattern(kSetupSize))}, {"orvapp.exe", Pattern(kSetupSize)}});
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
  Put("setup-progress", {{"update.ini", VersionFile("2.41", "5 KB", Pattern(5 * 1024 + 10))},
                          {"orvapp.exe", Pattern(5 * 1024 + 10)}});
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
  Put("setup-unstartable", {{"update.ini", VersionFile("2.41", "1 KB", Pattern(1024))}, {"orvapp.exe", Pattern(1024)}});
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
  Put("setup-nofolder", {{"update.ini", VersionFile("2.41", "1 KB", Pattern(1024))}, {"orvapp.exe", Pattern(1024)}});
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
