#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/cd_simulator.h"
#include "app/wizards/form_progress.h"
#include "classlib/wide.h"
#include "tests/app/wizards/wizard_fixture.h"
#include "tests/support/scripted_prompts.h"
#include "zip/zip_exceptions.h"

using namespace app;
using classlib::PromptResult;
using testing_support::ClickButton;
using testing_support::CloseBox;
using wizard_testing::Bytes;

namespace {

const std::string kAbortBlock = wizard_testing::RunEndBlock("Abbruch der Durchf\xFChrung");
const std::string kShutdownBlock =
    "Uhrzeit:      05.03.2024 14:22\r\nAktion:       Orvanta beendet\r\n"
    "Art:          System-ShutDown\r\n" +
    std::string(73, '=') + "\r\n";
const char kSessionQuestion[] =
    "Orvanta führt momentan eine Sicherung durch.\r\rMöchten Sie die Sicherung abbrechen und Orvanta beenden?";

class ProgressWindow : public wizard_testing::WizardFixture {
 protected:
  ~ProgressWindow() override { delete progress; }

  std::string MakeFile(const std::string& name, size_t size = 1000) {
    const std::string path = dir / name;
    testing_support::WriteFile(path, Bytes(size));
    return path;
  }

  // The run's call of the writer, up to its return.
  void Zip(const std::vector<std::string>& files) {
    progress->ZipArchive.SetZipName(dir / "Sicherung.zip");
    for (const std::string& f : files) progress->ZipArchive.FilesList().Add(f);
    progress->ZipArchive.ArchiveFiles();
  }

  TFormProgress* progress = new TFormProgress(nullptr);
};

TEST_F(ProgressWindow, TakesTheMainWindowsWriterSettingsWhenCreated) {
  EXPECT_EQ(progress->ZipArchive.PackLevel(), 9);
  EXPECT_EQ(progress->ZipArchive.TempPath(), dir.Path() + "\\");
  EXPECT_TRUE(progress->ZipArchive.Recurse());
  EXPECT_TRUE(progress->ZipArchive.StorePaths());
  EXPECT_TRUE(progress->ZipArchive.AddDirEntriesOnRecurse());
  EXPECT_EQ(progress->LabelAction->Caption(), "Backup wird vorbereitet...");
  EXPECT_FALSE(progress->SessionEnding);
}

TEST_F(ProgressWindow, ZipEventsMoveTheBarsAndNameTheFileShortenedToTheLabel) {
  const std::string deep = "Eigene Dateien\\Ausführliche Berichte des Vertriebs\\Jahresübersichten und Planungen";
  CreateDirectoryW(classlib::Widen(dir / "Eigene Dateien").c_str(), nullptr);
  CreateDirectoryW(classlib::Widen(dir / "Eigene Dateien\\Ausführliche Berichte des Vertriebs").c_str(), nullptr);
  CreateDirectoryW(classlib::Widen(dir / deep).c_str(), nullptr);
  const std::string first = MakeFile(deep + "\\Übersicht März.txt", 200000);
  const std::string second = MakeFile("b.txt", 100000);
  std::vector<std::string> labels;
  std::vector<int> totals;
  progress->ZipArchive.OnEndZip = [&](const std::string&, std::uint32_t, std::uint32_t, std::int64_t) {
    labels.push_back(progress->LabelAction->Caption());
    totals.push_back(progress->FlatProgressBarArchive->UserValue());
  };
  progress->Show();
  Zip({first, second});

  ASSERT_EQ(labels.size(), 2u);
  EXPECT_NE(labels[0], first);
  const std::string fileName = "\\Übersicht März.txt";
  EXPECT_EQ(labels[0].substr(labels[0].size() - fileName.size()), fileName);
  EXPECT_NE(labels[0].find("..."), std::string::npos);
  HDC screen = GetDC(nullptr);
  {
    classlib::TCanvas canvas(screen);
    canvas.Font().Assign(progress->LabelAction->Font());
    EXPECT_LE(canvas.TextWidth(labels[0]), progress->LabelAction->Width());
  }
  ReleaseDC(nullptr, screen);
  EXPECT_GT(totals[0], 0);
  EXPECT_LT(totals[0], 100);
  EXPECT_EQ(progress->FlatProgressBarArchive->UserValue(), 100);
  EXPECT_EQ(progress->FlatProgressBarActual->UserValue(), 100);
}

// Files may start faster than the status line shows their names: the first comes at once, the
// last one started follows with the next progress report once its time has come, and a name
// left waiting is forgotten for a new run.
TEST_F(ProgressWindow, TheStatusLineShowsTheLastFileStartedOnceItsTimeHasCome) {
  TFileStatusLine line(*progress->LabelAction);
  line.StartFile("C:\\a.txt");
  EXPECT_EQ(progress->LabelAction->Caption(), "C:\\a.txt");
  line.StartFile("C:\\b.txt");
  line.StartFile("C:\\c.txt");
  Sleep(2 * TFileStatusLine::kFileNameIntervalMs);
  line.CatchUp();
  EXPECT_EQ(progress->LabelAction->Caption(), "C:\\c.txt");

  line.StartFile("C:\\d.txt");
  line.Clear();
  progress->LabelAction->SetCaption("Backup wird vorbereitet...");
  Sleep(2 * TFileStatusLine::kFileNameIntervalMs);
  line.CatchUp();
  EXPECT_EQ(progress->LabelAction->Caption(), "Backup wird vorbereitet...");
}

// A prompt service that also lets the locked file go after a number of questions.
class LockedFilePrompts : public testing_support::ScriptedPrompts {
 public:
  HANDLE lock = INVALID_HANDLE_VALUE;
  size_t unlockAfter = 0;

  PromptResult Message(const classlib::MessageRequest& request) override {
    const PromptResult answer = ScriptedPrompts::Message(request);
    if (messages.size() == unlockAfter) Unlock();
    return answer;
  }
  void Unlock() {
    if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
    lock = INVALID_HANDLE_VALUE;
  }
};

TEST_F(ProgressWindow, LockedFileIsAskedAboutOrOnlyLoggedAsErrorsArePrevented) {
  struct Case {
    const char* name;
    bool preventErrors;
    std::vector<PromptResult> answers;
    size_t unlockAfter;  // 0: stays locked
    bool logged;
  };
  const Case cases[] = {
      {"errors prevented", true, {}, 0, true},
      {"No", false, {PromptResult::No}, 0, true},
      {"Yes, Yes, No", false, {PromptResult::Yes, PromptResult::Yes, PromptResult::No}, 0, true},
      {"Yes until it is free", false, {PromptResult::Yes, PromptResult::Yes}, 2, false},
  };
  const std::string locked = MakeFile("gesperrt.txt");
  const std::string other = MakeFile("frei.txt");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing_support::WriteFile(dir / "orvapp.log", "");
    DeleteFileW(classlib::Widen(dir / "Sicherung.zip").c_str());
    main.preventErrors = c.preventErrors;
    LockedFilePrompts prompts;
    for (PromptResult a : c.answers) prompts.AnswerNext(a);
    prompts.unlockAfter = c.unlockAfter;
    prompts.lock = CreateFileW(classlib::Widen(locked).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(prompts.lock, INVALID_HANDLE_VALUE);
    progress->ZipArchive.SetZipName(dir / "Sicherung.zip");
    progress->ZipArchive.FilesList().Add(locked);
    progress->ZipArchive.FilesList().Add(other);
    const int written = progress->ZipArchive.ArchiveFiles();
    prompts.Unlock();

    EXPECT_EQ(written, c.logged ? 1 : 2);
    ASSERT_EQ(prompts.messages.size(), c.answers.size());
    for (const classlib::MessageRequest& m : prompts.messages) {
      EXPECT_EQ(m.text,
                "Folgende Datei konnte nicht gesichert werden, da sie\rmöglicherweise exklusiv geöffnet ist:\r\r" +
                    locked + "\r\rVersuch wiederholen?");
      EXPECT_EQ(m.caption, "Orvanta");
      EXPECT_EQ(m.buttons, classlib::PromptButtons::YesNo);
      EXPECT_TRUE(m.systemModal);
    }
    EXPECT_EQ(Log(), c.logged ? "Fehler:       " + locked + " konnte nicht gesichert werden.\r\n" : "");
  }
}

TEST_F(ProgressWindow, OtherSkippedFilesAreOnlyLogged) {
  testing_support::ScriptedPrompts prompts;  // any question would fail the test
  const std::string file = MakeFile("doppelt.txt");
  Zip({file, file});
  EXPECT_EQ(Log(), "Fehler:       " + file + " konnte nicht gesichert werden.\r\n");
}

TEST_F(ProgressWindow, CancelWhileZippingOnlyAsksAndTheRunCleansUpOnceAfterwards) {
  const std::vector<std::string> files = {MakeFile("a.dat", 300000), MakeFile("b.dat", 300000),
                                          MakeFile("c.dat", 300000)};
  main.backupRunning = true;
  progress->Show();
  EXPECT_FALSE(main.enabled);
  bool changedWhileZipping = false;
  main.onChange = [&] { changedWhileZipping = changedWhileZipping || progress->ZipArchive.Busy(); };
  progress->ZipArchive.OnEndZip = [&](const std::string&, std::uint32_t, std::uint32_t, std::int64_t) {
    PostMessageW(progress->FlatButtonCancel->Handle(), BM_CLICK, 0, 0);
  };
  EXPECT_THROW(Zip(files), zip::EUserCanceled);

  EXPECT_TRUE(progress->CancelRequested());
  EXPECT_TRUE(progress->Visible());
  EXPECT_TRUE(main.backupRunning);
  EXPECT_EQ(Log(), "");

  // The run's end after the writer returned; a second call by mistake logs nothing more.
  progress->EndCancelledRun();
  progress->EndCancelledRun();
  EXPECT_FALSE(changedWhileZipping);
  EXPECT_EQ(Log(), kAbortBlock);
  EXPECT_FALSE(progress->Visible());
  EXPECT_FALSE(progress->CancelRequested());
  EXPECT_FALSE(main.backupRunning);
  EXPECT_TRUE(main.enabled);
  EXPECT_TRUE(main.schedulerEnabled);
  EXPECT_TRUE(main.trayStopped);
  EXPECT_GE(main.recomputedJobLists, 1);
  EXPECT_EQ(progress->ZipArchive.ZipName(), "");
}

TEST_F(ProgressWindow, CancelRequestedBeforeTheWriterStartsStillStopsIt) {
  main.backupRunning = true;
  progress->RequestCancel();  // while the run was collecting files
  EXPECT_THROW(Zip({MakeFile("a.dat")}), zip::EUserCanceled);
}

TEST_F(ProgressWindow, CancelWithoutARunEndsAtOnce) {
  progress->Show();
  ClickButton(*progress->FlatButtonCancel);
  EXPECT_FALSE(progress->Visible());
  EXPECT_TRUE(main.enabled);
  EXPECT_EQ(Log(), "");
}

TEST_F(ProgressWindow, CloseBoxIsRefusedWhileTheMainWindowIsDisabled) {
  progress->Show();
  progress->FlatProgressBarArchive->SetUserValue(40);
  progress->LabelAction->SetCaption("C:\\a.txt");
  CloseBox(*progress);
  EXPECT_TRUE(progress->Visible());
  main.enabled = true;
  CloseBox(*progress);
  EXPECT_FALSE(progress->Visible());
  EXPECT_EQ(progress->LabelAction->Caption(), "Backup wird vorbereitet...");
  EXPECT_EQ(progress->FlatProgressBarArchive->UserValue(), 0);
}

TEST_F(ProgressWindow, CdWriterEventsMoveTheBarsAndEndTheWaitTellingHowTheWriteEnded) {
  struct Case {
    const char* name;
    bool closeDisc;
    int failAtBlock;
    bool cancel;
    TCDOutcome outcome;
    const char* label;
  };
  const Case cases[] = {
      {"session", false, -1, false, TCDOutcome::Completed, "Session wird geschlossen..."},
      {"disc", true, -1, false, TCDOutcome::Completed, "CD wird geschlossen..."},
      {"failure", false, 20, false, TCDOutcome::Failed, "Backup wird vorbereitet..."},
      {"Abbrechen", false, -1, true, TCDOutcome::Cancelled, "Backup wird vorbereitet..."},
  };
  const std::string archive = MakeFile("Sicherung.zip", 200000);
  CreateDirectoryW(classlib::Widen(dir / "disc").c_str(), nullptr);
  main.backupRunning = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    delete progress;
    progress = new TFormProgress(nullptr);
    auto drive = std::make_shared<SimulatedCDDevice>();
    drive->DriveLetter = "E";
    drive->Disc = std::make_shared<SimulatedDisc>();
    drive->Disc->HostFolder = dir / "disc";
    drive->FailWriteAtBlock = c.failAtBlock;
    TCDWriter& burner = *progress->OrvBurner;
    burner.SetBackend(std::make_unique<CDSimulator>(std::vector<std::shared_ptr<SimulatedCDDevice>>{drive}));
    ASSERT_TRUE(burner.SelectDevice(0));
    burner.SetCloseDisc(c.closeDisc);
    ASSERT_TRUE(burner.AddFile("\\Sicherung.zip", archive));
    ASSERT_TRUE(burner.PrepareWrite(true));
    progress->FlatProgressBarArchive->SetMaxValue(burner.GetImageBlocks());
    progress->FlatProgressBarActual->SetMaxValue(50);
    progress->Show();
    burner.Tag = 1;
    ASSERT_TRUE(burner.StartWriting());
    if (c.cancel) PostMessageW(progress->FlatButtonCancel->Handle(), BM_CLICK, 0, 0);
    ASSERT_TRUE(classlib::Application().WaitUntil([&] { return burner.Tag != 1; }));

    EXPECT_EQ(burner.Tag, 0);
    EXPECT_EQ(burner.LastOutcome(), c.outcome);
    EXPECT_EQ(progress->LabelAction->Caption(), c.label);
    EXPECT_EQ(progress->FlatProgressBarActual->MaxValue(), 100);
    if (c.outcome == TCDOutcome::Completed) {
      EXPECT_EQ(progress->FlatProgressBarArchive->UserValue(), progress->FlatProgressBarArchive->MaxValue());
    } else {
      EXPECT_LT(progress->FlatProgressBarArchive->UserValue(), progress->FlatProgressBarArchive->MaxValue());
    }
    EXPECT_EQ(progress->CancelRequested(), c.cancel);
    EXPECT_TRUE(progress->Visible());  // the run ends it, not the handler
    testing_support::Pump();
    EXPECT_EQ(burner.LastOutcome(), c.outcome);
  }
}

TEST_F(ProgressWindow, SessionMayEndWithoutARunAndTheProgramLogsItsEnd) {
  testing_support::ScriptedPrompts prompts;
  EXPECT_EQ(SendMessageW(progress->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  EXPECT_TRUE(progress->QueryEndSession());  // the main window passes its own message on
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_TRUE(progress->SessionEnding);
  EXPECT_TRUE(main.shutdownLogged);
  EXPECT_EQ(Log(), kShutdownBlock);
}

TEST_F(ProgressWindow, SessionEndDuringARunIsAskedOncePerSessionEnd) {
  testing_support::ScriptedPrompts prompts;
  main.backupRunning = true;
  prompts.AnswerNext(PromptResult::No);
  EXPECT_EQ(SendMessageW(progress->Handle(), WM_QUERYENDSESSION, 0, 0), FALSE);
  EXPECT_FALSE(progress->QueryEndSession());
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, kSessionQuestion);
  EXPECT_EQ(prompts.messages[0].caption, "Orvanta");
  EXPECT_EQ(prompts.messages[0].buttons, classlib::PromptButtons::YesNo);
  EXPECT_TRUE(prompts.messages[0].systemModal);
  EXPECT_FALSE(progress->SessionEnding);
  EXPECT_FALSE(progress->CancelRequested());
  EXPECT_EQ(Log(), "");

  // The session goes on; the next end asks again.
  SendMessageW(progress->Handle(), WM_ENDSESSION, FALSE, 0);
  prompts.AnswerNext(PromptResult::No);
  EXPECT_FALSE(progress->QueryEndSession());
  EXPECT_EQ(prompts.messages.size(), 2u);
}

TEST_F(ProgressWindow, YesToTheSessionEndCancelsTheRunBeforeTheProgramLogsItsEnd) {
  testing_support::ScriptedPrompts prompts;
  prompts.AnswerNext(PromptResult::Yes);
  main.backupRunning = true;
  progress->Show();
  progress->ZipArchive.OnEndZip = [&](const std::string&, std::uint32_t, std::uint32_t, std::int64_t) {
    PostMessageW(progress->Handle(), WM_QUERYENDSESSION, 0, 0);
  };
  EXPECT_THROW(Zip({MakeFile("a.dat", 300000), MakeFile("b.dat", 300000)}), zip::EUserCanceled);
  EXPECT_TRUE(progress->QueryEndSession());
  EXPECT_EQ(prompts.messages.size(), 1u);
  EXPECT_TRUE(progress->SessionEnding);
  EXPECT_TRUE(main.shutdownLogged);

  // Should Windows leave the program time, the run still ends as usual, without a second abort.
  progress->EndCancelledRun();
  EXPECT_EQ(Log(), kAbortBlock + kShutdownBlock);
  EXPECT_FALSE(main.backupRunning);
}

TEST_F(ProgressWindow, TheEndOfTheSessionWhileACancelledRunEndsIsNotAskedAbout) {
  testing_support::ScriptedPrompts prompts;
  main.backupRunning = true;
  // Pumped by the abort's own log line.
  PostMessageW(progress->Handle(), WM_QUERYENDSESSION, 0, 0);
  progress->EndCancelledRun();
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_TRUE(progress->SessionEnding);
  EXPECT_EQ(Log(), kAbortBlock + kShutdownBlock);
}

}  // namespace
