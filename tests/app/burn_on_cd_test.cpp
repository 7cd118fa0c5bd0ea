#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/burn_on_cd.h"
#include "app/cd_devices.h"
#include "app/cd_simulator.h"
#include "app/split_media.h"
#include "classlib/clock.h"
#include "classlib/datetime.h"
#include "classlib/format.h"
#include "classlib/gui_thread.h"
#include "classlib/wide.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/temp_dir.h"

using namespace app;
using classlib::PromptButtons;
using classlib::PromptResult;
using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

const char kNoDisc[] =
    "Kein beschreibbarer Datenträger eingelegt!\r\rLegen Sie einen beschreibbaren Datenträger ein\r"
    "und wiederholen Sie den Vorgang!";
const char kNotErased[] =
    "Datenträger konnte nicht gelöscht werden!\r\rLegen Sie einen beschreibbaren Datenträger ein\r"
    "und wiederholen Sie den Vorgang!";
const char kDiscTooSmall[] =
    "Speicherkapazität des Datenträgers nicht ausreichend!\r\rBitte legen Sie einen Datenträger mit ausreichend\r"
    "freiem Speicherplatz ein und klicken Sie auf \"Wiederholen\"!";
const char kNotStarting[] =
    "Der CD-Recorder startet den Schreibvorgang nicht!\r\rPrüfen Sie den CD-Recorder und den Datenträger\r"
    "und wiederholen Sie den Vorgang!";
const char kWriting[] = "CD wird geschrieben...";
const char kImporting[] = "Sessions werden importiert...";
const char kQuickErase[] = "CD wird gelöscht... (TOC)";
const char kCompleteErase[] = "CD wird gelöscht... (COMPLETE)";

using Statuses = std::vector<std::string>;

std::string Bytes(size_t size, unsigned seed = 1) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 2048 + seed * 31) % 251);
  return bytes;
}

class Prompts : public testing_support::ScriptedPrompts {
 public:
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const classlib::MessageRequest& m : messages) texts.push_back(m.text);
    return texts;
  }
};

struct Progress : IBurnProgress {
  void SetStatus(const std::string& text) override {
    statuses.push_back(text);
    onStatus(text);
  }
  void SetBarMaximum(BurnBar bar, int maximum) override { Of(bar).maximum = maximum; }
  void SetBarValue(BurnBar bar, int value) override { Of(bar).value = value; }
  void FillBar(BurnBar bar) override { Of(bar).value = Of(bar).maximum; }
  bool CancelRequested() override { return cancelRequested; }

  struct Bar {
    int maximum = 100;
    int value = 50;
  };
  Bar& Of(BurnBar bar) { return bar == BurnBar::Archive ? archive : actual; }

  Bar archive, actual;
  Statuses statuses;
  std::function<void(const std::string&)> onStatus = [](const std::string&) {};
  bool cancelRequested = false;
};

class BurnOnCDTest : public ::testing::Test {
 public:
  BurnOnCDTest() {
    classlib::InitGuiThread();
    const classlib::TDateTime now = classlib::EncodeDate(2026, 12, 9) + classlib::EncodeTime(15, 40, 0, 0);
    classlib::SetClockForTesting([now] { return now; });
    drive->DriveLetter = "E";
    drive->MaxWriteSpeed = 24;
    InsertBlankDisc(false);
    writer.SetBackend(std::make_unique<CDSimulator>(std::vector<std::shared_ptr<SimulatedCDDevice>>{drive}));
    settings.DriveLetter = "e";
    settings.Speed = 8;
  }
  ~BurnOnCDTest() override { classlib::SetClockForTesting(nullptr); }

  // A blank disc in drive E, in a fresh host folder.
  std::shared_ptr<SimulatedDisc> InsertBlankDisc(bool rewritable) {
    auto blank = std::make_shared<SimulatedDisc>();
    blank->HostFolder = temp / ("disc" + std::to_string(++discs));
    blank->Rewritable = rewritable;
    CreateDirectoryW(classlib::Widen(blank->HostFolder).c_str(), nullptr);
    drive->Disc = disc = blank;
    return blank;
  }

  std::string Source(const std::string& name, size_t size, unsigned seed = 1) {
    const std::string path = temp / name;
    WriteFile(path, Bytes(size, seed));
    return path;
  }

  // Puts an earlier backup on the disc in the drive, by this program's own burning.
  void BurnEarlierBackup(bool closeDisc = false) {
    BurnSettings earlier = settings;
    earlier.Erase = false;
    earlier.FinalizeRewritable = earlier.FinalizeWriteOnce = closeDisc;
    Progress ignored;
    ASSERT_TRUE(BurnOnCD(writer, earlier, ignored, Source("alt.zip", 6000, 7)).Burned());
  }

  BurnReport Burn() { return BurnOnCD(writer, settings, progress, file); }

  std::string OnDisc(const std::string& name) const { return disc->HostFolder + "\\" + name; }

  void ExpectNothingBurned(const BurnReport& report) {
    EXPECT_FALSE(report.Burned());
    EXPECT_EQ(ReadFile(file), Bytes(100000));
    EXPECT_FALSE(FileExists(OnDisc("job.zip")));
    EXPECT_EQ(report.Text.find(file + " konnte nicht auf CD gebrannt werden: "), 0u) << report.Text;
    EXPECT_EQ(progress.archive.value, progress.archive.maximum);
    EXPECT_EQ(progress.actual.value, progress.actual.maximum);
  }

  TempDir temp;
  int discs = 0;
  std::shared_ptr<SimulatedCDDevice> drive = std::make_shared<SimulatedCDDevice>();
  std::shared_ptr<SimulatedDisc> disc;
  TCDWriter writer{nullptr};
  Prompts prompts;
  Progress progress;
  BurnSettings settings;
  std::string file = Source("job.zip", 100000);
};

TEST_F(BurnOnCDTest, WritesTheFileIntoTheRootWithTheDaysLabelThenDeletesIt) {
  const BurnReport report = Burn();

  ASSERT_TRUE(report.Burned()) << report.Text;
  EXPECT_EQ(report.Text, "");
  EXPECT_EQ(ReadFile(OnDisc("job.zip")), Bytes(100000));
  EXPECT_EQ(disc->Files, std::vector<std::string>{"\\job.zip"});
  EXPECT_EQ(disc->VolumeLabel, "Backup 9-12-26");
  EXPECT_FALSE(FileExists(file));
  EXPECT_EQ(drive->WriteSpeed, 8);
  EXPECT_EQ(drive->Ejects, 0);
  EXPECT_FALSE(disc->Closed);
  EXPECT_EQ(progress.statuses, Statuses{kWriting});
  EXPECT_EQ(progress.archive.maximum, 50);  // the image: 49 blocks of the file, one of the directory
  EXPECT_EQ(progress.archive.value, 50);
  EXPECT_EQ(progress.actual.maximum, 100);
  EXPECT_EQ(progress.actual.value, 100);
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(BurnOnCDTest, SpeedIsTheRequestedOneUpToTheDevicesMaximum) {
  // 0: a speed text without a factor.
  for (const int requested : {8, 24, 52, 0}) {
    SCOPED_TRACE(requested);
    InsertBlankDisc(false);
    settings.Speed = requested;
    ASSERT_TRUE(BurnOnCD(writer, settings, progress, Source("job.zip", 3000)).Burned());
    EXPECT_EQ(drive->WriteSpeed, requested == 0 ? 24 : std::min(requested, 24));
  }
}

TEST_F(BurnOnCDTest, EjectsTheDiscWhenAsked) {
  settings.Eject = true;
  ASSERT_TRUE(Burn().Burned());
  EXPECT_EQ(drive->Ejects, 1);
  EXPECT_EQ(drive->Disc, nullptr);
  EXPECT_EQ(ReadFile(OnDisc("job.zip")), Bytes(100000));
}

TEST_F(BurnOnCDTest, EachKindOfDiscIsClosedByItsOwnFinalizeFlag) {
  struct Case {
    bool rewritable, finalizeRewritable, finalizeWriteOnce;
  };
  for (const Case& c : {Case{false, false, true}, Case{false, true, false}, Case{true, true, false},
                        Case{true, false, true}}) {
    SCOPED_TRACE(testing::Message() << c.rewritable << c.finalizeRewritable << c.finalizeWriteOnce);
    InsertBlankDisc(c.rewritable);
    settings.FinalizeRewritable = c.finalizeRewritable;
    settings.FinalizeWriteOnce = c.finalizeWriteOnce;
    ASSERT_TRUE(BurnOnCD(writer, settings, progress, Source("job.zip", 3000)).Burned());
    EXPECT_EQ(disc->Closed, c.rewritable ? c.finalizeRewritable : c.finalizeWriteOnce);
  }
}

TEST_F(BurnOnCDTest, DiscWithDataKeepsItOrIsErasedAsTheSettingsAndTheDiscSay) {
  struct Case {
    const char* name;
    bool rewritable;
    bool erase;
    bool earlierKept;
    Statuses statuses;
  };
  const Case cases[] = {
      {"write-once: always imported", false, false, true, {kWriting}},
      {"write-once: cannot be erased", false, true, true, {kWriting}},
      {"rewritable, no erase: imported", true, false, true, {kImporting, kWriting}},
      {"rewritable, erase", true, true, false, {kQuickErase, kWriting}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InsertBlankDisc(c.rewritable);
    BurnEarlierBackup();
    progress.statuses.clear();
    settings.Erase = c.erase;
    file = Source("job.zip", 100000);

    ASSERT_TRUE(Burn().Burned());
    EXPECT_EQ(progress.statuses, c.statuses);
    EXPECT_EQ(ReadFile(OnDisc("job.zip")), Bytes(100000));
    EXPECT_EQ(FileExists(OnDisc("alt.zip")), c.earlierKept);
    EXPECT_EQ(disc->Sessions, c.earlierKept ? 2 : 1);
  }
}

TEST_F(BurnOnCDTest, ErasesCompletelyWhenTheQuickEraseLeavesNoRoom) {
  InsertBlankDisc(true);
  BurnEarlierBackup(true);  // closed: no room left
  settings.Erase = true;
  drive->ErasesFreeingNothing = 1;

  ASSERT_TRUE(Burn().Burned());
  EXPECT_EQ(progress.statuses, (Statuses{kQuickErase, kCompleteErase, kWriting}));
  EXPECT_EQ(disc->Files, std::vector<std::string>{"\\job.zip"});
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(BurnOnCDTest, DiscThatWillNotEraseIsAskedAboutUntilItDoesOrTheUserGivesUp) {
  for (const PromptResult answer : {PromptResult::Retry, PromptResult::Cancel}) {
    SCOPED_TRACE(answer == PromptResult::Retry ? "Wiederholen" : "Abbrechen");
    InsertBlankDisc(true);
    BurnEarlierBackup(true);
    prompts.messages.clear();
    progress.statuses.clear();
    file = Source("job.zip", 100000);
    settings.Erase = true;
    drive->ErasesFreeingNothing = 2;
    prompts.AnswerNext(answer);

    const BurnReport report = Burn();
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{kNotErased});
    EXPECT_EQ(prompts.messages[0].caption, "Orvanta");
    EXPECT_EQ(prompts.messages[0].buttons, PromptButtons::RetryCancel);
    EXPECT_EQ(prompts.messages[0].icon, classlib::PromptIcon::Warning);
    EXPECT_TRUE(prompts.messages[0].systemModal);
    if (answer == PromptResult::Retry) {
      EXPECT_TRUE(report.Burned());
      EXPECT_EQ(progress.statuses, (Statuses{kQuickErase, kCompleteErase, kQuickErase, kWriting}));
      EXPECT_EQ(disc->Files, std::vector<std::string>{"\\job.zip"});
    } else {
      ExpectNothingBurned(report);
      EXPECT_EQ(report.Result, BurnResult::Declined);
      EXPECT_EQ(progress.statuses, (Statuses{kQuickErase, kCompleteErase}));
      EXPECT_TRUE(FileExists(OnDisc("alt.zip")));
    }
  }
}

TEST_F(BurnOnCDTest, WithoutARoomyDiscTheUserIsAskedAgainAndAgain) {
  struct Case {
    const char* name;
    std::function<void(BurnOnCDTest&)> disc;
    const char* question;
  };
  const Case cases[] = {
      {"no disc", [](BurnOnCDTest& t) { t.drive->Disc.reset(); }, kNoDisc},
      {"closed write-once disc", [](BurnOnCDTest& t) { t.BurnEarlierBackup(true); }, kNoDisc},
      {"1024 KB free", [](BurnOnCDTest& t) { t.disc->UsedBlocks = t.disc->CapacityBlocks - 512; }, kNoDisc},
      {"too little room", [](BurnOnCDTest& t) { t.disc->UsedBlocks = t.disc->CapacityBlocks - 560; }, kDiscTooSmall},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InsertBlankDisc(false);
    c.disc(*this);
    prompts.messages.clear();
    // Twice the same question, then a blank disc goes in.
    prompts.AnswerNext(PromptResult::Retry);
    prompts.AnswerNext(PromptResult::Retry);
    int asked = 0;
    prompts.onMessage = [&](const std::string&) {
      if (++asked == 2) InsertBlankDisc(false);
    };
    ASSERT_TRUE(Burn().Burned());
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{c.question, c.question}));
    EXPECT_EQ(ReadFile(OnDisc("job.zip")), Bytes(100000));

    // And Cancel gives up, keeping the file.
    InsertBlankDisc(false);
    c.disc(*this);
    file = Source("job.zip", 100000);
    prompts.AnswerNext(PromptResult::Cancel);
    const BurnReport report = Burn();
    ExpectNothingBurned(report);
    EXPECT_EQ(report.Result, BurnResult::Declined);
    EXPECT_EQ(report.Text, file + " konnte nicht auf CD gebrannt werden: vom Anwender abgebrochen.");
    prompts.onMessage = [](const std::string&) {};
  }
}

TEST_F(BurnOnCDTest, FileMustStayBelowTheFreeSpaceLessTheReserve) {
  // 1000 blocks: 2000 KB free, so 975 KB is the most that fits.
  struct Case {
    size_t kilobytes;
    bool fits;
  };
  for (const Case& c : {Case{975, true}, Case{976, false}}) {
    SCOPED_TRACE(c.kilobytes);
    InsertBlankDisc(false)->CapacityBlocks = 1000;
    file = Source("job.zip", c.kilobytes * 1024);
    if (!c.fits) prompts.AnswerNext(PromptResult::Cancel);
    EXPECT_EQ(Burn().Burned(), c.fits);
    EXPECT_EQ(FileExists(OnDisc("job.zip")), c.fits);
  }
  EXPECT_EQ(prompts.Texts(), std::vector<std::string>{kDiscTooSmall});
  EXPECT_TRUE(FitsOnDisc(975, 2000));
  EXPECT_FALSE(FitsOnDisc(976, 2000));
}

TEST_F(BurnOnCDTest, CancelWhileWritingKeepsTheFileAndTheDiscAsTheyWere) {
  // The progress window's cancel: the busy mark cleared, then the writer told to stop.
  int statuses = 0;
  writer.OnTrackWriteStatus = [&](classlib::TComponent*, int, int, int) {
    if (++statuses == 2) {
      writer.Tag = 0;
      writer.AbortWriting();
    }
  };
  settings.Eject = true;

  const BurnReport report = Burn();
  ExpectNothingBurned(report);
  EXPECT_EQ(report.Result, BurnResult::Cancelled);
  EXPECT_EQ(report.Text, file + " konnte nicht auf CD gebrannt werden: Brennen abgebrochen.");
  EXPECT_EQ(disc->Sessions, 0);
  EXPECT_EQ(drive->Ejects, 0);
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(BurnOnCDTest, CancelWhileErasingWritesNothing) {
  InsertBlankDisc(true);
  BurnEarlierBackup();
  settings.Erase = true;
  progress.onStatus = [&](const std::string& text) {
    if (text == kQuickErase) classlib::Queue([&] {
        writer.Tag = 0;
        writer.AbortWriting();
      });
  };

  const BurnReport report = Burn();
  ExpectNothingBurned(report);
  EXPECT_EQ(report.Result, BurnResult::Cancelled);
  EXPECT_EQ(progress.statuses, Statuses{kQuickErase});
  EXPECT_TRUE(FileExists(OnDisc("alt.zip")));
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(BurnOnCDTest, CancelPressedWhileAQuestionShowsEndsTheBurnAfterIt) {
  drive->Disc.reset();
  prompts.AnswerNext(PromptResult::Retry);
  prompts.onMessage = [&](const std::string&) {
    InsertBlankDisc(false);
    progress.cancelRequested = true;
  };
  const BurnReport report = Burn();
  ExpectNothingBurned(report);
  EXPECT_EQ(report.Result, BurnResult::Cancelled);
}

TEST_F(BurnOnCDTest, FailedWriteIsReportedAndKeepsTheFile) {
  drive->FailWriteAtBlock = 20;
  prompts.AnswerNext(PromptResult::Ok);

  const BurnReport report = Burn();
  ExpectNothingBurned(report);
  EXPECT_EQ(report.Result, BurnResult::WriteFailed);
  EXPECT_EQ(report.Text, file + " konnte nicht auf CD gebrannt werden: Schreibvorgang fehlgeschlagen.");
  EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"Der Schreibvorgang ist fehlgeschlagen!\r\rDie Datei job.zip "
                                                      "wurde nicht auf den Datenträger geschrieben."});
  EXPECT_EQ(prompts.messages[0].buttons, PromptButtons::Ok);
  EXPECT_EQ(disc->Sessions, 0);
}

TEST_F(BurnOnCDTest, RecorderRefusingToStartIsRetriedAFewTimesThenAskedAbout) {
  struct Case {
    const char* name;
    int refusals;
    std::vector<PromptResult> answers;
    bool burned;
  };
  const Case cases[] = {
      {"two refusals: no question", 2, {}, true},
      {"three refusals: asked, given up", 3, {PromptResult::Cancel}, false},
      {"asked, three more tries", 5, {PromptResult::Retry}, true},
      {"asked twice", 6, {PromptResult::Retry, PromptResult::Retry}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InsertBlankDisc(false);
    prompts.messages.clear();
    file = Source("job.zip", 100000);
    drive->StartRefusals = c.refusals;
    for (const PromptResult answer : c.answers) prompts.AnswerNext(answer);

    const BurnReport report = Burn();
    EXPECT_EQ(report.Burned(), c.burned);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>(c.answers.size(), kNotStarting));
    if (c.burned) {
      EXPECT_EQ(disc->Files, std::vector<std::string>{"\\job.zip"});  // one file: a fresh image each time
      EXPECT_EQ(disc->UsedBlocks, 50);
    } else {
      ExpectNothingBurned(report);
      EXPECT_EQ(report.Result, BurnResult::StartRefused);
      EXPECT_EQ(drive->StartRefusals, 0);
    }
  }
}

TEST_F(BurnOnCDTest, WithoutARecorderOfThatLetterNothingIsTouched) {
  struct Case {
    std::string letter;
    const char* message;
  };
  const Case cases[] = {
      {"F", "Der CD-Recorder F: ist nicht verfügbar!\r\rDas Backup kann nicht auf CD gebrannt werden."},
      // The entry shown without recorders: its second character is an "e", device E's letter.
      {DriveLetterOfEntry("Kein CD-Recorder verfügbar!"),
       "Kein CD-Recorder verfügbar!\r\rDas Backup kann nicht auf CD gebrannt werden."},
      {"E:", "Kein CD-Recorder verfügbar!\r\rDas Backup kann nicht auf CD gebrannt werden."},
  };
  InsertBlankDisc(true);
  BurnEarlierBackup();
  const SimulatedDisc before = *disc;
  writer.SetBackend(std::make_unique<CDSimulator>(std::vector<std::shared_ptr<SimulatedCDDevice>>{drive}));
  drive->WriteSpeed = 0;
  settings.Erase = true;
  settings.Eject = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.letter);
    prompts.messages.clear();
    settings.DriveLetter = c.letter;
    prompts.AnswerNext(PromptResult::Ok);

    const BurnReport report = Burn();
    ExpectNothingBurned(report);
    EXPECT_EQ(report.Result, BurnResult::NoDevice);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{c.message});
    EXPECT_EQ(writer.GetMaxWriteSpeed(), 0);  // no device was selected
    EXPECT_EQ(drive->WriteSpeed, 0);
    EXPECT_EQ(drive->Ejects, 0);
    EXPECT_EQ(disc->Files, before.Files);
    EXPECT_EQ(disc->Sessions, before.Sessions);
    EXPECT_TRUE(progress.statuses.empty());
  }
}

TEST_F(BurnOnCDTest, MissingFileIsReportedBeforeTheDiscIsTouched) {
  InsertBlankDisc(true);
  BurnEarlierBackup();
  settings.Erase = true;
  DeleteFileW(classlib::Widen(file).c_str());
  prompts.AnswerNext(PromptResult::Ok);

  const BurnReport report = Burn();
  EXPECT_EQ(report.Result, BurnResult::FileMissing);
  EXPECT_EQ(prompts.Texts(),
            std::vector<std::string>{"Die Datei " + file + " wurde nicht gefunden!\r\rSie kann nicht auf CD gebrannt werden."});
  EXPECT_TRUE(FileExists(OnDisc("alt.zip")));
  EXPECT_TRUE(progress.statuses.empty());
}

TEST_F(BurnOnCDTest, SplitArchiveGoesOnOneDiscAPartUnderTheNamesTheRestoreLooksFor) {
  const char kNextDisc[] =
      "Datenträger-Wechsel erforderlich!\r\rBitte legen Sie den nächsten Datenträger ein und klicken Sie\r"
      "auf \"Wiederholen\", um mit dem Schreibvorgang fortzufahren!";
  // The user puts in a blank disc whenever asked to change it.
  std::vector<std::shared_ptr<SimulatedDisc>> burned;
  prompts.onMessage = [&](const std::string& text) {
    if (text == kNextDisc) burned.push_back(InsertBlankDisc(false));
  };
  for (const char* archive : {"job.zip", "job1.zip"}) {  // plain, and generation 1
    SCOPED_TRACE(archive);
    const std::string stem = std::string(archive).substr(0, std::string(archive).size() - 4);
    const std::string last = Source(archive, 30000, 3);
    Source(stem + ".001", 40000, 1);
    Source(stem + ".002", 40000, 2);
    const std::vector<DiscFile> files = DiscFilesOf(last, 3);
    ASSERT_EQ(files.size(), 3u);
    settings.Eject = true;
    burned = {InsertBlankDisc(false)};
    prompts.messages.clear();
    prompts.AnswerNext(PromptResult::Retry);
    prompts.AnswerNext(PromptResult::Retry);

    ASSERT_TRUE(BurnArchiveSet(writer, settings, progress, last, 3).Burned());
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{kNextDisc, kNextDisc}));
    EXPECT_EQ(prompts.messages[0].buttons, PromptButtons::RetryCancel);
    EXPECT_TRUE(prompts.messages[0].systemModal);
    // The first disc holds the archive, the next ones parts 1 and 2.
    const std::vector<std::pair<std::string, unsigned>> expected = {
        {archive, 3}, {stem + ".001", 1}, {stem + ".002", 2}};
    ASSERT_EQ(burned.size(), 3u);
    for (size_t i = 0; i < burned.size(); ++i) {
      EXPECT_EQ(files[i].DiscPath, "\\" + expected[i].first);
      EXPECT_FALSE(FileExists(files[i].Source));
      EXPECT_EQ(burned[i]->Files, std::vector<std::string>{"\\" + expected[i].first});
      EXPECT_EQ(burned[i]->VolumeLabel, "Backup 9-12-26");
      EXPECT_EQ(ReadFile(burned[i]->HostFolder + "\\" + expected[i].first),
                Bytes(i == 0 ? 30000 : 40000, expected[i].second));
    }
    // The restore, opened on the first disc, asks for part n of 3 under the archive's name with
    // ".zip" for the last part and "." and three digits for the others.
    for (int n = 1; n <= 3; ++n) {
      const std::string wanted = "\\" + stem + (n == 3 ? std::string(".zip") : classlib::Format(".%3.3d", n));
      EXPECT_TRUE(std::any_of(burned.begin(), burned.end(), [&](const std::shared_ptr<SimulatedDisc>& d) {
        return d->Files == std::vector<std::string>{wanted};
      })) << wanted;
    }
  }
  EXPECT_EQ(DiscFilesOf("C:\\Temp\\job.zip", 1).size(), 1u);
}

TEST_F(BurnOnCDTest, SplitArchiveStopsAtTheFirstDiscNotBurned) {
  const std::string last = Source("job.zip", 30000, 3);
  const std::string part1 = Source("job.001", 40000, 1);
  const std::string part2 = Source("job.002", 40000, 2);
  // The user cancels the disc change, or says Retry with no disc in and then gives up.
  const std::vector<std::vector<PromptResult>> scripts = {{PromptResult::Cancel},
                                                           {PromptResult::Retry, PromptResult::Cancel}};
  for (const std::vector<PromptResult>& answers : scripts) {
    SCOPED_TRACE(answers.size());
    InsertBlankDisc(false);
    WriteFile(last, Bytes(30000, 3));
    for (const PromptResult answer : answers) prompts.AnswerNext(answer);
    settings.Eject = true;  // no second disc goes in

    const BurnReport report = BurnArchiveSet(writer, settings, progress, last, 3);
    EXPECT_EQ(report.Result, BurnResult::Declined);
    EXPECT_EQ(report.Text, part1 + " konnte nicht auf CD gebrannt werden: vom Anwender abgebrochen.");
    EXPECT_FALSE(FileExists(last));
    EXPECT_TRUE(FileExists(part1));
    EXPECT_TRUE(FileExists(part2));
    EXPECT_EQ(disc->Files, std::vector<std::string>{"\\job.zip"});
  }
}

TEST(SplitMedia, PartSizesByTheDefinitionsTextAndWhetherCDPartsFitTheirDisc) {
  struct Case {
    const char* text;
    std::int64_t size;  // 0: no splitting
    bool fitsItsDisc;
  };
  const Case cases[] = {
      {"Keine", 0, true},
      {"Diskette 3,5\" (1.44 MB)", 1400000, true},
      {"CD-R/RW 74 (650 MB)", 681500000, false},
      {"CD-R/RW 80 (700 MB)", 733900000, true},
      {"CD-R/RW 90 (800 MB)", 838000000, false},
      {"CD-R/RW 99 (900 MB)", 943000000, false},
      {"ZIP 100 (100 MB)", 100000000, true},
      {"ZIP 250 (250 MB)", 250000000, true},
      {"ZIP 750 (750 MB)", 750000000, true},
      {"cd-r/rw 80 (700 MB)", 0, true},
      {"", 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(SplitPartSize(c.text).value_or(0), c.size);
    EXPECT_EQ(SplitDiscError(c.text).empty(), c.fitsItsDisc);
  }
  // 74 minutes of 75 blocks a second: 666,000 KB on the disc, of which 1024 KB stay free.
  EXPECT_EQ(SplitDiscError("CD-R/RW 74 (650 MB)"),
            "Die Split-Größe \"CD-R/RW 74 (650 MB)\" ist zu groß für einen solchen Datenträger!\r\r"
            "Ein Teil hat 665.527 KB, auf den Datenträger passen höchstens 664.975 KB.\r\r"
            "Bitte wählen Sie für diese Sicherung eine kleinere Split-Größe.");
}

}  // namespace
