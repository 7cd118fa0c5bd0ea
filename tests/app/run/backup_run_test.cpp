#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/archive_names.h"
#include "app/file_state_list.h"
#include "app/generations.h"
#include "app/partial_filter.h"
#include "app/split_media.h"
#include "classlib/registry.h"
#include "classlib/wide.h"
#include "tests/app/host_links.h"
#include "tests/app/run/run_fixture.h"
#include "tests/app/wizards/simulated_recorders.h"
#include "tests/support/locked_file.h"
#include "tests/support/scripted_prompts.h"
#include "zip/fs.h"

using namespace app;
using namespace run_testing;
using classlib::PromptResult;
using testing_support::FileExists;

namespace {

const char kLastBackup[] = "05. März 2024 - 14:22 Uhr";

// Holds a file open without sharing, so it can be neither read, renamed nor deleted.
class Locked {
 public:
  explicit Locked(const std::string& path)
      : handle_(CreateFileW(classlib::Widen(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {
    EXPECT_NE(handle_, INVALID_HANDLE_VALUE) << path;
  }
  ~Locked() { Release(); }
  void Release() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

class BackupRun : public RunFixture {
 protected:
  // The small tree most cases back up.
  void MakeTree() {
    a = MakeFile("src\\a.txt", "alpha");
    b = MakeFile("src\\b.TXT", "beta");
    plain = MakeFile("src\\noext", "plain");
    pic = MakeFile("src\\pic.bmp", "bitmap");
    c = MakeFile("src\\sub\\c.doc", "doc");
    e = MakeFile("src\\sub\\deep\\e.txt", "deep");
    f = MakeFile("src\\other\\f.txt", "other");
    g = MakeFile("src\\other\\inner\\g.txt", "inner");
  }

  // The listing PeerListing gives for an archive of these files.
  static std::string Listing(std::vector<std::string> files) {
    std::vector<std::string> lines;
    for (const std::string& file : files) {
      const std::string content = testing_support::ReadFile(file);
      lines.push_back(EntryName(file) + "\t" +
                      (content.size() <= 64 ? content : std::to_string(content.size()) + " bytes") + "\n");
    }
    std::sort(lines.begin(), lines.end());
    std::string listing;
    for (const std::string& line : lines) listing += line;
    return listing;
  }

  static std::vector<std::string> Names(const Files& files) {
    std::vector<std::string> names;
    for (const auto& entry : files) names.push_back(entry.first);
    return names;
  }

  std::optional<BackupDefinition> Stored(const std::string& job = "Job") { return ReadBackupDefinition(job); }

  BackupRun() {
    // The user at the confirmation: sets its controls as the test says, then clicks OK or Cancel.
    const classlib::TNotifyEvent shown = popup->OnShow;
    popup->OnShow = [this, shown](classlib::TComponent* Sender) {
      shown(Sender);
      const std::function<void()> act = std::move(confirm);
      confirm = nullptr;
      if (act) act();
      PostMessageW((confirmOK ? popup->FlatButtonOK : popup->FlatButtonCancel)->Handle(), BM_CLICK, 0, 0);
    };
  }

  void AnswerConfirmation(std::function<void()> act, bool ok = true) {
    confirm = std::move(act);
    confirmOK = ok;
  }

  std::function<void()> confirm;
  bool confirmOK = true;
  std::string a, b, plain, pic, c, e, f, g;
};

TEST_F(BackupRun, EveryKindOfSourceGivesAnArchiveThePeersAccept) {
  MakeTree();
  struct Case {
    const char* what;
    std::function<void(BackupDefinition&)> define;
    const char* archive;
    std::vector<std::string> entries;
    std::string password = {};
  };
  const std::vector<Case> cases = {
      {"listed files, one of them gone",
       [&](BackupDefinition& d) {
         d.Option = BackupOption::Files;
         d.FileList = {a, c, dir / "src\\fehlt.txt"};
       },
       "Job.zip", {a, c}},
      {"a folder with subfolders and a type filter",
       [](BackupDefinition& d) {
         d.TypeFilter = FileTypeFilter::OnlyTypes;
         d.Types = "*.txt;*.doc";
       },
       "Job.zip", {a, b, c, e, f, g}},
      {"a folder without subfolders, all but a type",
       [](BackupDefinition& d) {
         d.Subfolders = false;
         d.TypeFilter = FileTypeFilter::AllButTypes;
         d.Types = "*.txt";
       },
       "Job.zip", {plain, pic}},
      {"a list of folders, with and without their subfolders",
       [&](BackupDefinition& d) {
         d.Option = BackupOption::Extended;
         d.FolderList = {{dir / "src\\sub", true}, {dir / "src\\other\\", false}};
       },
       "Job.zip", {c, e, f}},
      {"a password",
       [](BackupDefinition& d) {
         d.UsePassword = true;
         d.Password = "Geheim 42";
       },
       "Job.zip", {a, b, plain, pic, c, e, f, g}, "Geheim 42"},
      {"named by date and time, generations notwithstanding",
       [](BackupDefinition& d) {
         d.UseDateTime = true;
         d.Instances = 3;
       },
       "2024-03-05 14-22.zip", {a, b, plain, pic, c, e, f, g}},
  };
  main.visible = true;  // the progress window shows, and must go again
  int n = 0;
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    const std::string folder = dir / ("ziel" + std::to_string(++n) + "\\");
    zip::fs::MakeDirectory(folder);
    BackupDefinition def = Definition();
    def.Create = folder;
    test.define(def);
    RunJob(def);

    EXPECT_EQ(Names(Snapshot(folder)), std::vector<std::string>{test.archive});
    EXPECT_EQ(PeerListing({folder + test.archive}, test.password), Listing(test.entries));
    EXPECT_EQ(TakeLog(), std::string(kStartLines) + kCompleted);
    const auto stored = Stored();
    EXPECT_EQ(stored->LastBackup, kLastBackup);
    EXPECT_EQ(stored->BackupSize, "0,00 MB");
    EXPECT_EQ(stored->BackupFiles, std::to_string(test.entries.size()));
    EXPECT_EQ(stored->AfterBackup, AfterBackupAction::None);
    EXPECT_EQ(main.panelRefreshes, n);
    EXPECT_FALSE(progress->Visible());
    EXPECT_TRUE(main.enabled);
  }
  EXPECT_FALSE(main.backupRunning);
  EXPECT_TRUE(scheduler.TimerBackup.Enabled());
}

TEST_F(BackupRun, SplitsForTheChosenMediumOnly) {
  const std::string big = MakeFile("src\\big.bin", RandomBytes(3000000, 1));
  const std::string small = MakeFile("src\\klein.txt", "klein");
  const struct {
    const char* what;
    const char* medium;
    std::optional<SplitWhen> when;
    std::vector<std::string> files;
  } cases[] = {
      {"always", "Diskette 3,5\" (1.44 MB)", SplitWhen::Always, {"Job.001", "Job.002", "Job.zip"}},
      {"only for a CD, written to a folder", "Diskette 3,5\" (1.44 MB)", SplitWhen::OnlyWhenBurning, {"Job.zip"}},
      {"a medium without a size", "Keine", SplitWhen::Always, {"Job.zip"}},
      {"no choice when to split", "Diskette 3,5\" (1.44 MB)", std::nullopt, {"Job.zip"}},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.what);
    BackupDefinition def = Definition();
    def.SplitVar = test.medium;
    def.SplitEver = test.when;
    RunJob(def);
    EXPECT_EQ(Names(Snapshot(target)), test.files);
    std::vector<std::string> files;
    for (const std::string& name : test.files) files.push_back(target + name);
    EXPECT_EQ(PeerListing(files), Listing({big, small}));
    if (files.size() > 1) {
      for (const std::string& file : files) EXPECT_LE(testing_support::ReadFile(file).size(), 1400000u);
    }
    EXPECT_EQ(TakeLog(), std::string(kStartLines) + kCompleted);
  }
}

// Every partial run has a name of its own, so it never takes the place of a full backup.
TEST_F(BackupRun, PartialRunsTakeWhatTheirModeSelectsBesideTheFullBackup) {
  const std::string old = MakeFile("src\\alt.txt", "alt", 1);
  const std::string changed = MakeFile("src\\geaendert.txt", "vorher", 1);
  const std::string state = StateFileName("Job");
  const auto change = [&] {
    MakeFile("src\\geaendert.txt", "nachher", 4);
    return MakeFile("src\\neu.txt", "neu", 4);
  };
  struct Case {
    const char* what;
    std::function<void(BackupDefinition&)> mode;
    int generations = 1;
  };
  const auto sinceDate = [](BackupDefinition& d) {
    d.PartBackupFull = false;
    d.PartBackupDate = true;
    d.SinceDate = classlib::EncodeDate(2024, 3, 3);
  };
  const std::vector<Case> cases = {
      {"since the last full backup", [](BackupDefinition&) {}},
      {"since a date", sinceDate},
      {"within days",
       [](BackupDefinition& d) {
         d.PartBackupFull = false;
         d.PartBackupDays = true;
         d.SinceDays = 2;
       }},
      {"since a date, with generations", sinceDate, 3},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    for (const std::string& name : Names(Snapshot(target))) zip::fs::Delete(target + name);
    MakeFile("src\\geaendert.txt", "vorher", 1);
    zip::fs::Delete(dir / "src\\neu.txt");
    BackupDefinition full = Definition();
    full.Instances = test.generations;
    RunJob(full);  // the full backup, and its state file
    ASSERT_TRUE(FileExists(state));
    const Files fullBackup = Snapshot(target);
    const std::string added = change();

    BackupDefinition def = full;
    def.FullBackup = false;
    test.mode(def);
    RunJob(def);
    const std::string archive = test.generations > 1 ? "Job [part]1.zip" : "Job [part].zip";
    Files written = Snapshot(target);
    ASSERT_EQ(written.count(archive), 1u);
    EXPECT_EQ(PeerListing({target + archive}), Listing({changed, added}));
    written.erase(archive);
    EXPECT_EQ(written, fullBackup);
    TakeLog();
  }

  SCOPED_TRACE("since the last full backup, without a state file: a full backup");
  for (const std::string& name : Names(Snapshot(target))) zip::fs::Delete(target + name);
  zip::fs::Delete(state);
  BackupDefinition def = Definition();
  def.FullBackup = false;
  RunJob(def);
  EXPECT_EQ(Names(Snapshot(target)), std::vector<std::string>{"Job.zip"});
  EXPECT_EQ(PeerListing({target + "Job.zip"}), Listing({old, changed, dir / "src\\neu.txt"}));
  EXPECT_TRUE(FileExists(state));
}

TEST_F(BackupRun, FilesChangedOrSkippedWhileZippingCountAsChangedNextTime) {
  const std::string a = MakeFile("src\\a.txt", "alpha");
  const std::string locked = MakeFile("src\\gesperrt.txt", "gesperrt");
  const std::string b = MakeFile("src\\b.txt", "beta");
  Locked lock(locked);
  // a changes while the archive is written.
  progress->ZipArchive.OnEndZip = [&](const std::string& name, std::uint32_t, std::uint32_t, std::int64_t) {
    if (name == a) MakeFile("src\\a.txt", "alpha neu", 4);
  };
  RunJob(Definition());
  progress->ZipArchive.OnEndZip = nullptr;
  lock.Release();
  EXPECT_EQ(PeerListing({target + "Job.zip"}), EntryName(a) + "\talpha\n" + EntryName(b) + "\tbeta\n");
  EXPECT_EQ(TakeLog(), std::string(kStartLines) + "Fehler:       " + locked + " konnte nicht gesichert werden.\r\n" +
                           kCompleted);
  EXPECT_EQ(Stored()->BackupFiles, "2");

  TLogData states;
  ASSERT_TRUE(LoadFileStates(StateFileName("Job"), states));
  ASSERT_EQ(states.size(), 3u);
  EXPECT_EQ(states[static_cast<std::size_t>(FindFileState(a, states))].DateTime,
            classlib::DateTimeToFileDate(classlib::EncodeDate(2024, 3, 1) + classlib::EncodeTime(9, 30, 0, 0)));
  EXPECT_EQ(states[static_cast<std::size_t>(FindFileState(locked, states))].DateTime, 0u);

  BackupDefinition partial = Definition();
  partial.FullBackup = false;
  RunJob(partial);
  EXPECT_EQ(PeerListing({target + "Job [part].zip"}), Listing({a, locked}));
}

TEST_F(BackupRun, FourRunsKeepThreeGenerationsNewestFirstAndSplitSetsMoveWhole) {
  BackupDefinition def = Definition();
  def.Instances = 3;
  def.SplitVar = "Diskette 3,5\" (1.44 MB)";
  def.SplitEver = SplitWhen::Always;
  const std::size_t sizes[] = {3000000, 2000000, 3000000, 1000};
  const std::vector<std::vector<std::string>> after = {
      {"Job1.001", "Job1.002", "Job1.zip"},
      {"Job1.001", "Job1.zip", "Job2.001", "Job2.002", "Job2.zip"},
      {"Job1.001", "Job1.002", "Job1.zip", "Job2.001", "Job2.zip", "Job3.001", "Job3.002", "Job3.zip"},
      {"Job1.zip", "Job2.001", "Job2.002", "Job2.zip", "Job3.001", "Job3.zip"},
  };
  for (int run = 0; run < 4; ++run) {
    SCOPED_TRACE("run " + std::to_string(run + 1));
    MakeFile("src\\marke.txt", "Lauf " + std::to_string(run + 1));
    MakeFile("src\\daten.bin", RandomBytes(sizes[run], static_cast<unsigned>(run)));
    RunJob(def);
    EXPECT_EQ(Names(Snapshot(target)), after[static_cast<std::size_t>(run)]);
  }
  // Newest first: generation k holds run 5 - k, whole.
  for (int generation = 1; generation <= 3; ++generation) {
    SCOPED_TRACE("generation " + std::to_string(generation));
    std::vector<std::string> files;
    for (const std::string& name : after[3])
      if (name.rfind("Job" + std::to_string(generation) + ".", 0) == 0) files.push_back(target + name);
    const std::string listing = PeerListing(files);
    EXPECT_NE(listing.find(EntryName(dir / "src\\marke.txt") + "\tLauf " + std::to_string(5 - generation) + "\n"),
              std::string::npos)
        << listing;
    EXPECT_NE(listing.find(std::to_string(sizes[4 - generation]) + " bytes"), std::string::npos) << listing;
  }
}

TEST_F(BackupRun, AFailedOrCancelledRunLeavesThePreviousBackupAsItWas) {
  const std::string big = MakeFile("src\\big.bin", RandomBytes(3000000, 7));
  struct Case {
    const char* what;
    std::function<void(BackupDefinition&)> define;
    // Breaks the next run; returns what undoes it before the files are compared.
    std::function<std::function<void()>(BackupDefinition&)> breakIt;
    const char* error;  // the start of the "Fehler:" line; none for a cancel
  };
  const std::vector<Case> cases = {
      {"the output fails after the first part",
       [](BackupDefinition& d) {
         d.SplitVar = "Diskette 3,5\" (1.44 MB)";
         d.SplitEver = SplitWhen::Always;
       },
       [&](BackupDefinition&) {
         const std::string blocker = PartFileName(AsideArchiveName(target + "Job.zip"), 2);
         zip::fs::MakeDirectory(blocker);
         return std::function<void()>([blocker] { RemoveDirectoryW(classlib::Widen(blocker).c_str()); });
       },
       ""},
      {"the user cancels while zipping", [](BackupDefinition&) {},
       [&](BackupDefinition&) {
         progress->ZipArchive.OnEndZip = [this](const std::string&, std::uint32_t, std::uint32_t, std::int64_t) {
           PostMessageW(progress->FlatButtonCancel->Handle(), BM_CLICK, 0, 0);
         };
         return std::function<void()>([this] { progress->ZipArchive.OnEndZip = nullptr; });
       },
       nullptr},
      {"the destination is missing", [](BackupDefinition&) {},
       [&](BackupDefinition& d) {
         d.Create = dir / "fehlt\\";
         WriteBackupDefinition(d);
         return std::function<void()>([] {});
       },
       "Das Zielverzeichnis"},
      {"a generation cannot move", [](BackupDefinition& d) { d.Instances = 3; },
       [&](BackupDefinition&) {
         auto lock = std::make_shared<Locked>(target + "Job2.zip");
         return std::function<void()>([lock] { lock->Release(); });
       },
       "Die Datei"},
      {"the definition cannot be read", [](BackupDefinition&) {},
       [&](BackupDefinition&) {
         classlib::TRegistry reg;
         reg.OpenKey("\\Software\\Norvex\\Orvanta\\Backups\\Job", false);
         reg.WriteString("Instances", "drei");
         return std::function<void()>([] {});
       },
       "Ung\xC3\xBCltiger Datentyp"},
  };
  main.visible = true;
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    for (const std::string& name : Names(Snapshot(target))) zip::fs::Delete(target + name);
    BackupDefinition def = Definition();
    test.define(def);
    RunJob(def);
    RunJob(def);  // two, so generations have something to move
    const Files before = Snapshot(target);
    const std::string lastBackup = "vorher";
    {
      classlib::TRegistry reg;
      reg.OpenKey("\\Software\\Norvex\\Orvanta\\Backups\\Job", false);
      reg.WriteString("LastBackup", lastBackup);
    }
    TakeLog();

    testing_support::ScriptedPrompts prompts;
    if (test.error) prompts.AnswerNext(PromptResult::Ok);
    const std::function<void()> undo = test.breakIt(def);
    EXPECT_TRUE(scheduler.RunNow({"Job"}));
    undo();

    EXPECT_EQ(Snapshot(target), before);
    const std::string log = TakeLog();
    EXPECT_EQ(log.substr(0, std::string(kStartLines).size()), kStartLines);
    EXPECT_EQ(log.substr(log.size() - std::string(kAborted).size()), kAborted) << log;
    EXPECT_EQ(log.find("Fehler:       ") != std::string::npos, test.error != nullptr) << log;
    if (test.error) {
      EXPECT_NE(log.find(classlib::ToCodePage(test.error, CP_ACP)), std::string::npos) << log;
      ASSERT_EQ(prompts.messages.size(), 1u);
      EXPECT_EQ(prompts.messages[0].caption, "Orvanta");
      EXPECT_EQ(prompts.messages[0].text.rfind("Die Sicherung \"Job\" konnte nicht durchgeführt werden:", 0), 0u)
          << prompts.messages[0].text;
    } else {
      EXPECT_TRUE(prompts.messages.empty());
    }
    classlib::TRegistry reg;
    reg.OpenKeyReadOnly("\\Software\\Norvex\\Orvanta\\Backups\\Job");
    EXPECT_EQ(reg.ReadString("LastBackup"), lastBackup);
    EXPECT_FALSE(main.backupRunning);
    EXPECT_TRUE(main.enabled);
    EXPECT_FALSE(progress->Visible());
    EXPECT_TRUE(scheduler.TimerBackup.Enabled());
    EXPECT_TRUE(exits.empty());
  }
}

// A run that could save none of its files is no backup: it fails, and the backups before it, the
// state file and the stored results stay as they were.
TEST_F(BackupRun, ARunThatSavesNoFileFailsAndLeavesThePreviousBackupAsItWas) {
  const std::string file = MakeFile("src\\bericht.txt", "Bericht");
  const std::string reason = "Keine Datei konnte gesichert werden: \"" + file +
                             "\" ließ sich nicht öffnen oder lesen (möglicherweise ist sie exklusiv geöffnet).";
  const struct {
    const char* what;
    int generations;
    bool watched;  // the main window shows, so the user is told
    bool asked;    // errors are not suppressed: the question whether to try again, answered No
  } cases[] = {
      {"one generation, unattended", 1, false, false},
      {"three generations, the user watching", 3, true, false},
      {"the question to try again declined", 1, false, true},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.what);
    for (const std::string& name : Names(Snapshot(target))) zip::fs::Delete(target + name);
    BackupDefinition def = Definition();
    def.Instances = test.generations;
    RunJob(def);
    EXPECT_TRUE(scheduler.RunNow({"Job"}));  // a second, so there are generations to lose
    {
      classlib::TRegistry reg;
      reg.OpenKey("\\Software\\Norvex\\Orvanta\\Backups\\Job", false);
      reg.WriteString("LastBackup", "vorher");
      reg.WriteString("BackupSize", "1,00 MB");
      reg.WriteString("BackupFiles", "7");
    }
    const Files before = Snapshot(target);
    const std::string states = testing_support::ReadFile(StateFileName("Job"));
    TakeLog();
    main.visible = test.watched;
    main.preventErrors = !test.asked;
    testing_support::ScriptedPrompts prompts;
    if (test.asked) prompts.AnswerNext(PromptResult::No);
    if (test.watched) prompts.AnswerNext(PromptResult::Ok);
    {
      testing_support::LockedFile lock(file);
      EXPECT_TRUE(scheduler.RunNow({"Job"}));
    }

    EXPECT_EQ(Snapshot(target), before);
    EXPECT_EQ(testing_support::ReadFile(StateFileName("Job")), states);
    EXPECT_EQ(TakeLog(), std::string(kStartLines) + "Fehler:       " + file + " konnte nicht gesichert werden.\r\n" +
                             "Fehler:       " + classlib::ToCodePage(reason, CP_ACP) + "\r\n" + kAborted);
    std::vector<std::string> told;
    for (const classlib::MessageRequest& message : prompts.messages) told.push_back(message.text);
    std::vector<std::string> expected;
    if (test.asked)
      expected.push_back("Folgende Datei konnte nicht gesichert werden, da sie\rmöglicherweise exklusiv geöffnet "
                         "ist:\r\r" + file + "\r\rVersuch wiederholen?");
    if (test.watched) expected.push_back("Die Sicherung \"Job\" konnte nicht durchgeführt werden:\r\r" + reason);
    EXPECT_EQ(told, expected);
    const auto stored = Stored();
    EXPECT_EQ(stored->LastBackup, "vorher");
    EXPECT_EQ(stored->BackupSize, "1,00 MB");
    EXPECT_EQ(stored->BackupFiles, "7");
    EXPECT_FALSE(main.backupRunning);
    EXPECT_TRUE(main.enabled);
    EXPECT_TRUE(exits.empty());
  }
}

// Files named like the archive that are no part of it are never touched, neither by runs that
// replace their one archive nor by runs that move generations.
TEST_F(BackupRun, FilesNamedLikeTheBackupButNoPartOfItStay) {
  const std::string a = MakeFile("src\\a.txt", "alpha");
  const Files strays = {{"Job.2024", "ein Jahr"},   {"Job.0001", "vier Ziffern"}, {"Job1.txt", "ein Text"},
                        {"Job.001", "kein Teil"}, {"Job2.001", "auch keiner"}};
  const struct {
    int generations;
    std::vector<std::string> archives;
  } cases[] = {{1, {"Job.zip"}}, {3, {"Job1.zip", "Job2.zip", "Job3.zip"}}};
  for (const auto& test : cases) {
    SCOPED_TRACE(std::to_string(test.generations) + " generations");
    for (const std::string& name : Names(Snapshot(target))) zip::fs::Delete(target + name);
    for (const auto& [name, content] : strays) testing_support::WriteFile(target + name, content);
    BackupDefinition def = Definition();
    def.Instances = test.generations;
    for (int run = 0; run < 4; ++run) RunJob(def);

    Files after = Snapshot(target);
    for (const auto& [name, content] : strays) {
      EXPECT_EQ(after[name], content) << name;
      after.erase(name);
    }
    EXPECT_EQ(Names(after), test.archives);
    EXPECT_EQ(PeerListing({target + test.archives[0]}), Listing({a}));
  }
}

// What a run stopped before its end left aside goes with the next run of the job, and the log
// says so; files of other names stay.
TEST_F(BackupRun, WhatAnInterruptedRunLeftAsideGoesWithTheNextRun) {
  const std::string a = MakeFile("src\\a.txt", "alpha");
  RunJob(Definition());
  const std::vector<std::string> left = {"Job~neu.001", "Job~neu.002", "Job~neu.zip", "Job~neu2.001",
                                         "Job [part]~neu.zip"};
  const Files others = {{"Jobs~neu.zip", "x"}, {"Job~neu.txt", "x"}, {"Job.zip~alt", "x"}, {"Job~neu.0001", "x"}};
  for (const std::string& name : left) testing_support::WriteFile(target + name, RandomBytes(2000, 5));
  for (const auto& [name, content] : others) testing_support::WriteFile(target + name, content);
  TakeLog();

  RunJob(Definition());
  Files after = Snapshot(target);
  EXPECT_EQ(PeerListing({target + "Job.zip"}), Listing({a}));
  after.erase("Job.zip");
  EXPECT_EQ(after, others);
  const std::string log = TakeLog();
  std::string removed;
  for (const std::string& name : left)
    removed += "Aktion:       " + target + name + " einer unterbrochenen Sicherung entfernt.\r\n";
  ASSERT_EQ(log.size(), std::string(kStartLines).size() + removed.size() + std::string(kCompleted).size()) << log;
  EXPECT_EQ(log.substr(0, std::string(kStartLines).size()), kStartLines);
  EXPECT_EQ(log.substr(log.size() - std::string(kCompleted).size()), kCompleted);
  for (const std::string& name : left)
    EXPECT_NE(log.find("Aktion:       " + target + name + " einer unterbrochenen Sicherung entfernt.\r\n"),
              std::string::npos)
        << name;
}

TEST_F(BackupRun, TheEndOfTheSessionJustAfterARunLetsTheProgramEndUnasked) {
  MakeFile("src\\a.txt", "alpha");
  testing_support::ScriptedPrompts prompts;
  // Arrives as the run finishes; the run's own last log line pumps it.
  app::MainWindow().RefreshInformationPanel = [this] {
    PostMessageW(progress->Handle(), WM_QUERYENDSESSION, 0, 0);
  };
  RunJob(Definition());
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_TRUE(progress->SessionEnding);
  EXPECT_EQ(TakeLog(), std::string(kStartLines) + kCompleted +
                           "Uhrzeit:      05.03.2024 14:22\r\nAktion:       Orvanta beendet\r\n"
                           "Art:          System-ShutDown\r\n" + std::string(73, '=') + "\r\n");
}

TEST_F(BackupRun, TheConfirmationChoosesDestinationKindAndAfterAction) {
  MakeTree();
  const std::string chosen = dir / "wahl\\";
  zip::fs::MakeDirectory(chosen);
  const std::string document = MakeFile("Liesmich.txt", "lies");
  const std::vector<std::string> all = {a, b, plain, pic, c, e, f, g};
  struct Case {
    const char* what;
    std::function<void()> act;
    bool ok;
    std::vector<unsigned> exits;
    std::vector<std::string> opened;
    AfterBackupAction stored;
    std::string folder = {};  // where the archive goes: the definition's folder unless the user chose
    std::string archive = "Job.zip";
    std::vector<std::string> entries = {};  // all of the tree unless said
  };
  const std::vector<Case> cases = {
      {"cancel", [] {}, false, {}, {}, AfterBackupAction::None},
      {"another folder", [&] { popup->FolderTree->SetPath(chosen); }, true, {}, {}, AfterBackupAction::None, chosen},
      {"a partial backup",
       [&] {
         popup->RadioButtonPart->SetChecked(true);
         MakeFile("src\\a.txt", "alpha neu", 4);
       },
       true, {}, {}, AfterBackupAction::None, target, "Job [part].zip", {a}},
      {"shut down", [&] { popup->RadioButtonShutDown->SetChecked(true); }, true, {EWX_POWEROFF}, {},
       AfterBackupAction::ShutDown},
      {"restart", [&] { popup->RadioButtonReboot->SetChecked(true); }, true, {EWX_REBOOT}, {},
       AfterBackupAction::Restart},
      {"open a file",
       [&] {
         popup->RadioButtonFileStart->SetChecked(true);
         popup->FlatEditFileStart->SetText(document);
       },
       true, {}, {document}, AfterBackupAction::OpenFile},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    exits.clear();
    opened.clear();
    for (const std::string& name : Names(Snapshot(chosen))) zip::fs::Delete(chosen + name);
    for (const std::string& name : Names(Snapshot(target))) zip::fs::Delete(target + name);
    BackupDefinition def = Definition();
    def.User = true;
    def.Recording = true;  // but there is no CD writer
    def.RecDrive = "(E:) Lumatec RW-5200";
    AnswerConfirmation([&] {
      EXPECT_EQ(popup->LabelInfo->Caption(),
                "Sicherung \"Job\" hat das Sicherungs-Intervall erreicht. Wie möchten Sie fortfahren?");
      EXPECT_FALSE(popup->RadioButtonBurn->Enabled());
      EXPECT_TRUE(popup->RadioButtonDir->Checked());
      EXPECT_EQ(popup->FlatComboBoxBurner->Text(), "Kein CD-Recorder verfügbar!");
      EXPECT_TRUE(popup->RadioButtonNoAction->Checked());
      EXPECT_TRUE(popup->RadioButtonFull->Checked());
      test.act();
    }, test.ok);
    RunJob(def);

    EXPECT_EQ(exits, test.exits);
    EXPECT_EQ(opened, test.opened);
    const std::string log = TakeLog();
    const auto stored = Stored();
    if (!test.ok) {
      EXPECT_EQ(log, std::string(kStartLines) + kAborted);
      EXPECT_TRUE(Snapshot(target).empty());
      EXPECT_FALSE(main.trayAnimating || main.trayStopped);
      EXPECT_FALSE(stored->AfterBackup);
      continue;
    }
    EXPECT_EQ(log, std::string(kStartLines) + kCompleted);
    const std::string folder = test.folder.empty() ? target : test.folder;
    EXPECT_EQ(Names(Snapshot(folder)), std::vector<std::string>{test.archive});
    EXPECT_EQ(PeerListing({folder + test.archive}), Listing(test.entries.empty() ? all : test.entries));
    EXPECT_EQ(stored->AfterBackup, test.stored);
    EXPECT_EQ(stored->AfterFile, test.opened.empty() ? "" : document);
    EXPECT_TRUE(main.enabled);
  }
}

TEST_F(BackupRun, AnAfterActionStaysWithItsOwnJob) {
  MakeTree();
  const std::string document = MakeFile("Liesmich.txt", "lies");
  BackupDefinition asked = Definition("Gefragt");
  asked.User = true;
  AnswerConfirmation([&] { popup->RadioButtonShutDown->SetChecked(true); });
  RunJob(asked);
  ASSERT_EQ(exits, std::vector<unsigned>{EWX_POWEROFF});

  // An unattended job never inherits the shut-down chosen for another.
  RunJob(Definition("Still"));
  EXPECT_EQ(exits, std::vector<unsigned>{EWX_POWEROFF});
  EXPECT_EQ(Stored("Still")->AfterBackup, AfterBackupAction::None);

  // A job's own stored choice to open a file is preset, and acts unattended too.
  BackupDefinition opening = Definition("Oeffnend");
  WriteBackupDefinition(opening);
  WriteAfterBackup("Oeffnend", AfterBackupAction::OpenFile, document);
  EXPECT_TRUE(scheduler.RunNow({"Oeffnend"}));
  EXPECT_EQ(opened, std::vector<std::string>{document});
  EXPECT_EQ(popup->FlatEditFileStart->Text(), document);
  EXPECT_TRUE(popup->RadioButtonFileStart->Checked());

  RunJob(Definition("Still"));
  EXPECT_EQ(opened.size(), 1u);
  EXPECT_EQ(popup->FlatEditFileStart->Text(), "");
}

// A destination inside the folders backed up is left out with all below it: no archive ever
// holds an archive, and the log tells once per run, also when two listed folders hold it.
TEST_F(BackupRun, ADestinationInsideTheSourceIsLeftOutOfItsBackups) {
  MakeTree();
  const std::string inside = dir / "src\\sub\\Sicherung\\";
  MakeFile("src\\sub\\Sicherung\\alt\\notiz.txt", "unter dem Ziel");
  const std::vector<std::string> all = {a, b, plain, pic, c, e, f, g};
  const std::string leftOut = "Aktion:       " + inside + " ist das Ziel der Sicherung und wird nicht mitgesichert.\r\n";
  struct Case {
    const char* what;
    std::function<void(BackupDefinition&)> define;
  };
  const std::vector<Case> cases = {
      {"one folder with its subfolders", [](BackupDefinition&) {}},
      {"the folder and one inside it, listed",
       [&](BackupDefinition& d) {
         d.Option = BackupOption::Extended;
         d.FolderList = {{source, true}, {dir / "src\\sub", true}};
       }},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    for (const std::string& name : Names(Snapshot(inside))) zip::fs::Delete(inside + name);
    BackupDefinition def = Definition();
    def.Create = inside;
    def.Instances = 2;
    test.define(def);
    Files before;
    for (int run = 1; run <= 3; ++run) {
      SCOPED_TRACE("run " + std::to_string(run));
      RunJob(def);
      EXPECT_EQ(TakeLog(), std::string(kStartLines) + leftOut + kCompleted);
      const Files after = Snapshot(inside);
      const std::vector<std::string> archives =
          run == 1 ? std::vector<std::string>{"Job1.zip"} : std::vector<std::string>{"Job1.zip", "Job2.zip"};
      EXPECT_EQ(Names(after), archives);
      EXPECT_EQ(PeerListing({inside + "Job1.zip"}), Listing(all));
      if (run > 1) {
        EXPECT_EQ(after.at("Job2.zip"), before.at("Job1.zip"));
      }
      before = after;
    }
    EXPECT_EQ(Stored()->BackupFiles, "8");
    // The scheduler's test for changes sees the same files: nothing changed.
    EXPECT_FALSE(FilesChangedSinceLastFull(def, StateFileName("Job")));
  }
}

// Folders of a list that lie in one another give each file once, and no error.
TEST_F(BackupRun, NestedFoldersOfAListGiveEachFileOnce) {
  MakeTree();
  BackupDefinition def = Definition();
  def.Option = BackupOption::Extended;
  def.FolderList = {{source, true}, {dir / "src\\sub\\", true}, {dir / "SRC\\Other", false}};
  RunJob(def);
  EXPECT_EQ(TakeLog(), std::string(kStartLines) + kCompleted);
  EXPECT_EQ(Names(Snapshot(target)), std::vector<std::string>{"Job.zip"});
  EXPECT_EQ(PeerListing({target + "Job.zip"}), Listing({a, b, plain, pic, c, e, f, g}));
  EXPECT_EQ(Stored()->BackupFiles, "8");
}

// Links to a folder and to one inside it: the files of the inner one come once, by whichever
// link the walk took first. Both ways round, so either link may come first in the listing.
TEST_F(BackupRun, LinksToAFolderAndToOneInsideItGiveEachFileOnce) {
  const std::string a = MakeFile("src\\a.txt", "alpha");
  MakeFile("X\\x.txt", "aus X");
  MakeFile("X\\Y\\y.txt", "aus Y");
  MakeFile("X\\Y\\Z\\z.txt", "aus Z");
  const std::string outer = dir / "X", inner = dir / "X\\Y";
  for (const bool innerFirst : {true, false}) {
    SCOPED_TRACE(innerFirst ? "the link to the inner folder named first" : "the link to the outer folder named first");
    const std::string toInner = source + (innerFirst ? "eins" : "zwei") + "\\";
    const std::string toOuter = source + (innerFirst ? "zwei" : "eins") + "\\";
    const app_testing::HostLinks links({{toInner.substr(0, toInner.size() - 1), inner},
                                        {toOuter.substr(0, toOuter.size() - 1), outer}});
    RunJob(Definition());
    EXPECT_EQ(TakeLog(), std::string(kStartLines) + kCompleted);
    EXPECT_EQ(Names(Snapshot(target)), std::vector<std::string>{"Job.zip"});
    const auto entries = [&](const std::string& innerAt) {
      return Listing({a, toOuter + "x.txt", innerAt + "y.txt", innerAt + "Z\\z.txt"});
    };
    const std::string listing = PeerListing({target + "Job.zip"});
    EXPECT_TRUE(listing == entries(toInner) || listing == entries(toOuter + "Y\\")) << listing;
    EXPECT_EQ(Stored()->BackupFiles, "4");
  }
}

// A folder listed and also reached through a link (in another listed folder, or by the path it is
// listed by), and a listed file also listed by a name through a link: each file once, under the
// name it has without the link, in the archive and in the state file alike, and no file is
// reported as not saved.
TEST_F(BackupRun, AFileReachedAlsoThroughALinkKeepsItsOwnName) {
  const std::string a = MakeFile("A\\a.txt", "aus A");
  const std::string b = MakeFile("B\\b.txt", "aus B");
  const std::string i = MakeFile("B\\innen\\i.txt", "aus B innen");
  const std::string folderA = dir / "A\\", folderB = dir / "B\\", link = dir / "A\\zuB", second = dir / "zuB";
  const auto extended = [](std::vector<BackupFolder> folders) {
    return [folders](BackupDefinition& d) {
      d.Option = BackupOption::Extended;
      d.FolderList = folders;
    };
  };
  const auto files = [](std::vector<std::string> listed) {
    return [listed](BackupDefinition& d) {
      d.Option = BackupOption::Files;
      d.FileList = listed;
    };
  };
  const struct {
    const char* what;
    std::vector<std::pair<std::string, std::string>> links;  // where each is, and where it leads
    std::function<void(BackupDefinition&)> define;
    std::vector<std::string> entries;
  } cases[] = {
      {"the folder with the link listed first", {{link, folderB}}, extended({{folderA, true}, {folderB, true}}),
       {a, b, i}},
      {"the folder the link leads to listed first", {{link, folderB}},
       extended({{folderB, true}, {folderA, true}}), {a, b, i}},
      {"the link leads into the listed folder", {{link, dir / "B\\innen"}},
       extended({{folderA, true}, {folderB, true}}), {a, b, i}},
      // Its subfolder is reached by the link alone, and goes in by that name.
      {"the folder the link leads to listed without its subfolders", {{link, folderB}},
       extended({{folderA, true}, {folderB, false}}), {a, b, link + "\\innen\\i.txt"}},
      {"the folder listed also by the link's path", {{link, folderB}}, extended({{link, true}, {folderB, true}}),
       {b, i}},
      {"a file listed also by the link's path", {{link, folderB}}, files({link + "\\b.txt", b, a}), {b, a}},
      {"a file listed by two links' paths", {{link, folderB}, {second, folderB}},
       files({link + "\\b.txt", second + "\\b.txt"}), {link + "\\b.txt"}},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.what);
    const app_testing::HostLinks links(test.links);
    for (const std::string& name : Names(Snapshot(target))) zip::fs::Delete(target + name);
    BackupDefinition def = Definition();
    test.define(def);
    RunJob(def);
    EXPECT_EQ(TakeLog(), std::string(kStartLines) + kCompleted);
    EXPECT_EQ(PeerListing({target + "Job.zip"}), Listing(test.entries));
    EXPECT_EQ(Stored()->BackupFiles, std::to_string(test.entries.size()));
    TLogData states;
    ASSERT_TRUE(LoadFileStates(StateFileName("Job"), states));
    std::vector<std::string> stated;
    for (const FileStateRecord& state : states) stated.push_back(state.AnsiPath);
    std::vector<std::string> expected = test.entries;
    std::sort(stated.begin(), stated.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(stated, expected);
    EXPECT_FALSE(FilesChangedSinceLastFull(def, StateFileName("Job")));
  }
}

// A run stopped while placing, after the older set went aside under "~alt": the next run moves it
// back, byte for byte, before it removes what was left aside, and later runs go on as ever.
TEST_F(BackupRun, AnOlderSetMovedAsideByAStoppedPlacementGoesBack) {
  MakeFile("src\\big.bin", RandomBytes(3000000, 11));
  const std::string changed = MakeFile("src\\a.txt", "alpha");
  const struct {
    const char* what;
    int generations;
    const char* dropped;  // the stem of the set that went aside
    bool newPartIn;       // the first part of the new set was in place already
  } cases[] = {
      {"one generation", 1, "Job", false},
      {"one generation, a part of the new set in place", 1, "Job", true},
      {"two generations", 2, "Job2", false},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.what);
    for (const std::string& name : Names(Snapshot(target))) zip::fs::Delete(target + name);
    MakeFile("src\\a.txt", "alpha");
    BackupDefinition def = Definition();
    def.Instances = test.generations;
    def.SplitVar = "Diskette 3,5\" (1.44 MB)";
    def.SplitEver = SplitWhen::Always;
    for (int run = 0; run < test.generations; ++run) RunJob(def);
    const Files before = Snapshot(target);
    // What the stopped placement left: the dropped set aside, the new one aside.
    const std::string stem = test.dropped;
    std::vector<std::string> restored;
    for (const std::string& name : Names(before))
      if (name.rfind(stem + ".", 0) == 0) {
        ASSERT_TRUE(zip::fs::Rename(target + name, target + name + "~alt"));
        restored.push_back(name);
      }
    ASSERT_EQ(restored.size(), 3u);
    std::vector<std::string> leftover = {"Job~neu.001", "Job~neu.002", "Job~neu.zip"};
    for (const std::string& name : leftover) testing_support::WriteFile(target + name, RandomBytes(1000, 3));
    if (test.newPartIn) {
      ASSERT_TRUE(zip::fs::Rename(target + "Job~neu.001", target + "Job.001"));
      leftover[0] = "Job.001";
    }
    TakeLog();

    // A partial run: it puts the full backups right and leaves them be.
    MakeFile("src\\a.txt", "alpha neu", 4);
    BackupDefinition partial = def;
    partial.FullBackup = false;
    RunJob(partial);
    Files after = Snapshot(target);
    const std::string part = test.generations > 1 ? "Job [part]1.zip" : "Job [part].zip";
    ASSERT_EQ(after.count(part), 1u);
    EXPECT_EQ(PeerListing({target + part}), Listing({changed}));
    after.erase(part);
    EXPECT_EQ(after, before);

    const std::string log = TakeLog();
    std::string lines;
    std::size_t lastRestore = 0;
    for (const std::string& name : restored) {
      const std::string line = "Aktion:       " + target + name + " einer unterbrochenen Sicherung wiederhergestellt.\r\n";
      lines += line;
      EXPECT_NE(log.find(line), std::string::npos) << log;
      lastRestore = std::max(lastRestore, log.find(line));
    }
    for (const std::string& name : leftover) {
      const std::string line = "Aktion:       " + target + name + " einer unterbrochenen Sicherung entfernt.\r\n";
      lines += line;
      EXPECT_NE(log.find(line), std::string::npos) << log;
      if (name.find("~neu") != std::string::npos) {
        EXPECT_GT(log.find(line), lastRestore) << log;
      }
    }
    EXPECT_EQ(log.substr(0, std::string(kStartLines).size()), kStartLines);
    EXPECT_EQ(log.substr(log.size() - std::string(kCompleted).size()), kCompleted);
    EXPECT_EQ(log.size(), std::string(kStartLines).size() + lines.size() + std::string(kCompleted).size()) << log;

    // The next full run places its set as usual.
    RunJob(def);
    EXPECT_EQ(TakeLog(), std::string(kStartLines) + kCompleted);
    std::vector<std::string> names = Names(Snapshot(target));
    std::vector<std::string> expected = {"Job.001", "Job.002", "Job.zip", "Job [part].zip"};
    if (test.generations > 1)
      expected = {"Job [part]1.zip", "Job1.001", "Job1.002", "Job1.zip", "Job2.001", "Job2.002", "Job2.zip"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
    const std::string newest = test.generations > 1 ? "Job1" : "Job";
    const std::string listing =
        PeerListing({target + newest + ".001", target + newest + ".002", target + newest + ".zip"});
    EXPECT_NE(listing.find(EntryName(changed) + "\talpha neu\n"), std::string::npos) << listing;
  }
}

// A run of three split generations killed while it moves them: the next run puts back what was
// moved, says so, and keeps every older set whole under its name; killed once the new set was in,
// the next run finishes that placement first.
TEST_F(BackupRun, ARunKilledWhileMovingGenerationsLeavesEveryOlderSetWhole) {
  MakeFile("src\\big.bin", RandomBytes(3000000, 11));
  BackupDefinition def = Definition();
  def.Instances = 3;
  def.SplitVar = "Diskette 3,5\" (1.44 MB)";
  def.SplitEver = SplitWhen::Always;
  const auto setOf = [](const Files& files, const std::string& stem) {
    Files set;
    for (const char* extension : {".001", ".002", ".zip"}) {
      const auto file = files.find(stem + extension);
      if (file != files.end()) set[extension] = file->second;
    }
    return set;
  };
  // Steps: the list, the oldest set aside (3), the second up (3), the first up (3), the new set in
  // (3), the oldest set deleted (3).
  const struct {
    int killedAfter;
    bool newSetWasIn;
  } cases[] = {{3, false}, {6, false}, {9, false}, {12, false}, {14, true}};
  for (const auto& test : cases) {
    SCOPED_TRACE("killed after step " + std::to_string(test.killedAfter));
    for (const std::string& name : Names(Snapshot(target))) zip::fs::Delete(target + name);
    for (int run = 1; run <= 3; ++run) {
      MakeFile("src\\a.txt", "run " + std::to_string(run), run);
      RunJob(def);
    }
    const Files before = Snapshot(target);
    ASSERT_EQ(before.size(), 9u);

    // The run killed: what the folder held at that step is put back after the run's own end.
    MakeFile("src\\a.txt", "killed run", 4);
    Files atKill;
    int steps = 0;
    SetPlacementStepForTesting([&] {
      if (++steps == test.killedAfter) {
        atKill = Snapshot(target);
        throw std::runtime_error("killed");
      }
    });
    RunJob(def);
    SetPlacementStepForTesting(nullptr);
    ASSERT_FALSE(atKill.empty());
    for (const std::string& name : Names(Snapshot(target))) zip::fs::Delete(target + name);
    for (const auto& [name, content] : atKill) testing_support::WriteFile(target + name, content);
    TakeLog();

    const std::string latest = MakeFile("src\\a.txt", "next run", 5);
    RunJob(def);
    const Files after = Snapshot(target);
    EXPECT_EQ(after.size(), 9u) << testing::PrintToString(Names(after));
    if (test.newSetWasIn) {
      EXPECT_EQ(setOf(after, "Job3"), setOf(before, "Job1"));
      EXPECT_NE(PeerListing({target + "Job2.001", target + "Job2.002", target + "Job2.zip"})
                    .find(EntryName(latest) + "\tkilled run\n"),
                std::string::npos);
    } else {
      EXPECT_EQ(setOf(after, "Job2"), setOf(before, "Job1"));
      EXPECT_EQ(setOf(after, "Job3"), setOf(before, "Job2"));
    }
    EXPECT_NE(PeerListing({target + "Job1.001", target + "Job1.002", target + "Job1.zip"})
                  .find(EntryName(latest) + "\tnext run\n"),
              std::string::npos);
    const std::string log = TakeLog();
    const std::string put = test.newSetWasIn ? "Job3.002~alt einer unterbrochenen Sicherung entfernt."
                                             : "Job3.001 einer unterbrochenen Sicherung wiederhergestellt.";
    EXPECT_NE(log.find("Aktion:       " + target + put + "\r\n"), std::string::npos) << log;
  }
}

const char kNextDisc[] =
    "Datenträger-Wechsel erforderlich!\r\rBitte legen Sie den nächsten Datenträger ein und klicken Sie\r"
    "auf \"Wiederholen\", um mit dem Schreibvorgang fortzufahren!";

// Runs that burn, on the simulated recorders of the progress window's CD writer.
class BurningRun : public BackupRun {
 protected:
  BurningRun() {
    big = MakeFile("src\\big.bin", RandomBytes(3000000, 3));
    small = MakeFile("src\\klein.txt", "klein");
    document = MakeFile("Liesmich.txt", "lies");
  }

  // Burns on E, split into three parts, then opens a file.
  BackupDefinition BurningDefinition() {
    BackupDefinition def = Definition();
    def.Create.clear();
    def.Recording = true;
    def.RecDrive = "(E:) Lumtec Brenner E";
    def.RecSpeed = "8-fach";
    def.CDRFinalize = true;
    def.Eject = true;
    def.SplitVar = "Diskette 3,5\" (1.44 MB)";
    def.SplitEver = SplitWhen::OnlyWhenBurning;
    return def;
  }

  void Store(const BackupDefinition& def) {
    DeleteBackupDefinition(def.Title);
    WriteBackupDefinition(def);
    WriteAfterBackup(def.Title, AfterBackupAction::OpenFile, document);
    classlib::TRegistry reg;
    reg.OpenKey("\\Software\\Norvex\\Orvanta\\Backups\\" + def.Title, false);
    reg.WriteString("LastBackup", "vorher");
    zip::fs::Delete(StateFileName(def.Title));
  }

  SimulatedDisc& LastDisc() { return *recorders.discs.back(); }

  // The folder the n-th burn since the temporary folder was clear stages its set in.
  std::string BurnFolder(int n = 1) const { return temp + "Orvanta CD " + std::to_string(n) + "\\"; }
  Files Staged(int n = 1) const { return Snapshot(BurnFolder(n)); }

  // True when no run left anything of its own in the temporary folder.
  bool TempClear() const {
    for (const auto& file : Snapshot(temp))
      if (file.first.rfind("Job", 0) == 0) return false;
    return !zip::fs::DirectoryExists(BurnFolder());
  }

  // Removes what burns not wholly done kept.
  void ClearTemp() {
    for (int n = 1; zip::fs::DirectoryExists(BurnFolder(n)); ++n) {
      for (const auto& file : Staged(n)) zip::fs::Delete(BurnFolder(n) + file.first);
      RemoveDirectoryW(classlib::Widen(BurnFolder(n)).c_str());
    }
  }

  const std::string temp = dir.Path() + "\\";
  testing_support::ScriptedPrompts prompts;
  wizard_testing::SimulatedRecorders recorders{dir.Path(), *progress->OrvBurner, prompts};
  SimulatedCDDevice& driveE = *recorders.drives[0];
  SimulatedCDDevice& driveF = *recorders.drives[1];
  std::string big, small, document;
};

TEST_F(BurningRun, EachFileOfTheArchiveGoesOnItsOwnDiscTheArchiveItselfFirst) {
  const struct {
    const char* what;
    int generations;
    bool asked;  // the confirmation shows, and the user keeps its choices
    const char* stem;
  } cases[] = {
      {"one generation", 1, false, "Job"},
      {"generations", 3, false, "Job1"},
      {"asked first", 1, true, "Job"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.what);
    opened.clear();
    prompts.messages.clear();
    recorders.InsertBlankDisc(driveE);
    const std::size_t first = recorders.discs.size() - 1;
    BackupDefinition def = BurningDefinition();
    def.Instances = test.generations;
    def.User = test.asked;
    if (test.asked)
      AnswerConfirmation([this] {
        EXPECT_TRUE(popup->RadioButtonBurn->Checked());
        EXPECT_EQ(popup->FlatComboBoxBurner->Text(), "(E:) Lumtec Brenner E");
      });
    Store(def);
    // The set as the run wrote it, taken when the first disc starts.
    Files written;
    const TTrackWriteStartEvent shown = progress->OrvBurner->OnTrackWriteStart;
    progress->OrvBurner->OnTrackWriteStart = [&](classlib::TComponent* sender, int track, int blocks) {
      if (written.empty()) written = Staged();
      shown(sender, track, blocks);
    };
    prompts.AnswerNext(PromptResult::Retry);
    prompts.AnswerNext(PromptResult::Retry);
    EXPECT_TRUE(scheduler.RunNow({"Job"}));
    progress->OrvBurner->OnTrackWriteStart = shown;

    const std::string stem = test.stem;
    const std::vector<std::string> names = {stem + ".zip", stem + ".001", stem + ".002"};
    ASSERT_EQ(Names(written), (std::vector<std::string>{names[1], names[2], names[0]}));
    ASSERT_EQ(recorders.discs.size(), first + 3);
    for (std::size_t i = 0; i < 3; ++i) {
      const SimulatedDisc& disc = *recorders.discs[first + i];
      EXPECT_EQ(disc.Files, std::vector<std::string>{"\\" + names[i]});
      EXPECT_EQ(disc.VolumeLabel, "Backup 5-3-24");
      EXPECT_TRUE(disc.Closed);
      EXPECT_EQ(Snapshot(disc.HostFolder), (Files{{names[i], written[names[i]]}}));
    }
    const auto onDisc = [&](std::size_t i) { return recorders.discs[first + i]->HostFolder + "\\" + names[i]; };
    EXPECT_EQ(PeerListing({onDisc(1), onDisc(2), onDisc(0)}), Listing({big, small}));
    EXPECT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(driveE.WriteSpeed, 8);
    EXPECT_TRUE(TempClear());
    EXPECT_EQ(Stored()->LastBackup, kLastBackup);
    EXPECT_TRUE(FileExists(StateFileName("Job")));
    EXPECT_EQ(TakeLog(), std::string(kStartLines) + kCompleted);
    EXPECT_EQ(opened, std::vector<std::string>{document});
  }
  EXPECT_EQ(driveE.Ejects, 9);
  EXPECT_EQ(driveF.Ejects, 0);
}

TEST_F(BurningRun, ABackupNotBurnedIsLoggedKeptAndGetsNoResults) {
  const char kNoDisc[] =
      "Kein beschreibbarer Datenträger eingelegt!\r\rLegen Sie einen beschreibbaren Datenträger ein\r"
      "und wiederholen Sie den Vorgang!";
  struct Case {
    const char* what;
    std::function<void(BackupDefinition&)> arrange;
    std::string question;  // the first message
    PromptResult answer;
    std::string notBurned;  // the file that was not burned
    std::string reason;
    bool cancelled = false;  // by the window's cancel: the run ends as cancelled
  };
  const std::vector<Case> cases = {
      {"no disc", [&](BackupDefinition&) { driveE.Disc = nullptr; }, kNoDisc, PromptResult::Cancel, "Job.zip",
       "vom Anwender abgebrochen"},
      {"a full disc", [&](BackupDefinition&) { LastDisc().UsedBlocks = LastDisc().CapacityBlocks - 600; },
       "Speicherkapazität des Datenträgers nicht ausreichend!\r\rBitte legen Sie einen Datenträger mit ausreichend\r"
       "freiem Speicherplatz ein und klicken Sie auf \"Wiederholen\"!",
       PromptResult::Cancel, "Job.zip", "vom Anwender abgebrochen"},
      {"a disc that will not erase",
       [&](BackupDefinition& d) {
         d.RecDrive = "(F:) Lumtec Brenner F";
         d.CDRWDelete = true;
         SimulatedDisc& full = *recorders.InsertBlankDisc(driveF);
         full.UsedBlocks = full.CapacityBlocks;
         full.Sessions = 1;
         full.Closed = true;
         driveF.ErasesFreeingNothing = 2;
       },
       "Datenträger konnte nicht gelöscht werden!\r\rLegen Sie einen beschreibbaren Datenträger ein\r"
       "und wiederholen Sie den Vorgang!",
       PromptResult::Cancel, "Job.zip", "vom Anwender abgebrochen"},
      {"the write fails", [&](BackupDefinition&) { driveE.FailWriteAtBlock = 5; },
       "Der Schreibvorgang ist fehlgeschlagen!\r\rDie Datei Job.zip wurde nicht auf den Datenträger geschrieben.",
       PromptResult::Ok, "Job.zip", "Schreibvorgang fehlgeschlagen"},
      {"no recorder of the drive letter", [](BackupDefinition& d) { d.RecDrive = "(G:) Lumtec Brenner G"; },
       "Der CD-Recorder G: ist nicht verfügbar!\r\rDas Backup kann nicht auf CD gebrannt werden.", PromptResult::Ok,
       "Job.zip", "kein CD-Recorder G:"},
      {"the entry without a recorder stored", [](BackupDefinition& d) { d.RecDrive = "Kein CD-Recorder verfügbar!"; },
       "Kein CD-Recorder verfügbar!\r\rDas Backup kann nicht auf CD gebrannt werden.", PromptResult::Ok, "Job.zip",
       "kein CD-Recorder gewählt"},
      {"Cancel at the disc change", [](BackupDefinition&) {}, kNextDisc, PromptResult::Cancel, "Job.001",
       "vom Anwender abgebrochen"},
      {"the window's cancel while writing",
       [&](BackupDefinition&) {
         progress->OrvBurner->OnTrackWriteStatus = [this, clicked = false](classlib::TComponent*, int, int,
                                                                          int) mutable {
           if (!clicked) PostMessageW(progress->FlatButtonCancel->Handle(), BM_CLICK, 0, 0);
           clicked = true;
         };
       },
       "", PromptResult::Ok, "Job.zip", "Brennen abgebrochen", true},
  };
  const auto status = progress->OrvBurner->OnTrackWriteStatus;
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    ClearTemp();
    opened.clear();
    prompts.messages.clear();
    recorders.InsertBlankDisc(driveE);
    BackupDefinition def = BurningDefinition();
    test.arrange(def);
    Store(def);
    if (!test.question.empty()) prompts.AnswerNext(test.answer);

    EXPECT_TRUE(scheduler.RunNow({"Job"}));
    progress->OrvBurner->OnTrackWriteStatus = status;

    if (!test.question.empty()) {
      ASSERT_FALSE(prompts.messages.empty());
      EXPECT_EQ(prompts.messages[0].text, test.question);
    } else {
      EXPECT_TRUE(prompts.messages.empty());
    }
    const std::string logged =
        BurnFolder() + test.notBurned + " konnte nicht auf CD gebrannt werden: " + test.reason + ".";
    EXPECT_EQ(TakeLog(), std::string(kStartLines) + "Fehler:       " + classlib::ToCodePage(logged, CP_ACP) + "\r\n" +
                             "Aktion:       Die nicht gebrannten Dateien bleiben in " + BurnFolder() + ".\r\n" +
                             (test.cancelled ? kAborted : kCompleted));
    // The set stays where it was written, but for a disc that was burned.
    const Files left = Staged();
    EXPECT_EQ(left.count(test.notBurned), 1u);
    EXPECT_EQ(left.size(), test.notBurned == "Job.001" ? 2u : 3u);
    EXPECT_EQ(Stored()->LastBackup, "vorher");
    EXPECT_FALSE(FileExists(StateFileName("Job")));
    EXPECT_EQ(Stored()->AfterBackup, AfterBackupAction::OpenFile);
    EXPECT_EQ(opened, test.cancelled ? std::vector<std::string>{} : std::vector<std::string>{document});
    EXPECT_FALSE(main.backupRunning);
    EXPECT_TRUE(main.enabled);
    EXPECT_EQ(progress->OrvBurner->Tag, 0);
    driveE.FailWriteAtBlock = -1;
  }
}

// The parts a stopped burn keeps stay in their own folder, where no later run meets them.
TEST_F(BurningRun, ABurnStoppedAfterTheFirstDiscNeverStopsALaterRun) {
  Store(BurningDefinition());
  recorders.InsertBlankDisc(driveE);
  const std::size_t first = recorders.discs.size() - 1;
  // The set as the burn staged it, taken when its first disc starts.
  Files written;
  int burn = 1;
  const TTrackWriteStartEvent shown = progress->OrvBurner->OnTrackWriteStart;
  progress->OrvBurner->OnTrackWriteStart = [&](classlib::TComponent* sender, int track, int blocks) {
    if (written.empty()) written = Staged(burn);
    shown(sender, track, blocks);
  };
  prompts.AnswerNext(PromptResult::Cancel);  // at the change to the second disc
  EXPECT_TRUE(scheduler.RunNow({"Job"}));
  ASSERT_EQ(Names(written), (std::vector<std::string>{"Job.001", "Job.002", "Job.zip"}));
  const std::string notBurned = BurnFolder() + "Job.001 konnte nicht auf CD gebrannt werden: vom Anwender abgebrochen.";
  EXPECT_EQ(TakeLog(), std::string(kStartLines) + "Fehler:       " + classlib::ToCodePage(notBurned, CP_ACP) +
                           "\r\nAktion:       Die nicht gebrannten Dateien bleiben in " + BurnFolder() + ".\r\n" +
                           kCompleted);
  Files kept = written;
  kept.erase("Job.zip");
  EXPECT_TRUE(Staged() == kept);
  EXPECT_TRUE(Snapshot(recorders.discs[first]->HostFolder) == (Files{{"Job.zip", written["Job.zip"]}}));

  written.clear();
  burn = 2;
  const std::size_t second = recorders.discs.size() - 1;  // the blank disc put in at the change
  prompts.AnswerNext(PromptResult::Retry);
  prompts.AnswerNext(PromptResult::Retry);
  EXPECT_TRUE(scheduler.RunNow({"Job"}));
  progress->OrvBurner->OnTrackWriteStart = shown;
  EXPECT_EQ(TakeLog(), std::string(kStartLines) + kCompleted);
  ASSERT_EQ(recorders.discs.size(), second + 3);
  ASSERT_EQ(Names(written), (std::vector<std::string>{"Job.001", "Job.002", "Job.zip"}));
  const std::vector<std::string> names = {"Job.zip", "Job.001", "Job.002"};
  std::vector<std::string> discs;
  for (std::size_t i = 0; i < 3; ++i) {
    const std::string file = recorders.discs[second + i]->HostFolder + "\\" + names[i];
    EXPECT_TRUE(testing_support::ReadFile(file) == written[names[i]]) << names[i];
    discs.push_back(file);
  }
  EXPECT_EQ(PeerListing({discs[1], discs[2], discs[0]}), Listing({big, small}));
  EXPECT_EQ(Stored()->LastBackup, kLastBackup);
  // The second burn's folder went with its files; the first one's parts are as they were.
  EXPECT_TRUE(Staged() == kept);
  EXPECT_FALSE(zip::fs::DirectoryExists(BurnFolder(2)));
  for (const auto& file : Snapshot(temp)) EXPECT_NE(file.first.rfind("Job", 0), 0u) << file.first;
}

TEST_F(BurningRun, ACDSplitSizeWhosePartsWouldNotFitIsRefusedBeforeZipping) {
  const struct {
    const char* what;
    const char* medium;
    bool recording;
    bool refused;
  } cases[] = {
      {"burning", "CD-R/RW 74 (650 MB)", true, true},
      {"a size that fits its disc", "CD-R/RW 80 (700 MB)", true, false},
      {"written to a folder", "CD-R/RW 74 (650 MB)", false, false},
  };
  main.visible = true;
  for (const auto& test : cases) {
    SCOPED_TRACE(test.what);
    prompts.messages.clear();
    for (const auto& file : Snapshot(target)) zip::fs::Delete(target + file.first);
    recorders.InsertBlankDisc(driveE);
    BackupDefinition def = BurningDefinition();
    def.Recording = test.recording;
    def.Create = target;
    def.SplitVar = test.medium;
    def.SplitEver = SplitWhen::Always;
    Store(def);
    if (test.refused) prompts.AnswerNext(PromptResult::Ok);

    EXPECT_TRUE(scheduler.RunNow({"Job"}));
    const std::string log = TakeLog();
    EXPECT_TRUE(TempClear());
    if (!test.refused) {
      EXPECT_EQ(log, std::string(kStartLines) + kCompleted);
      EXPECT_EQ(test.recording ? LastDisc().Files : Names(Snapshot(target)),
                std::vector<std::string>{test.recording ? "\\Job.zip" : "Job.zip"});
      continue;
    }
    const std::string error = SplitDiscError(test.medium);
    std::string line = error;
    for (std::size_t at; (at = line.find("\r\r")) != std::string::npos;) line.replace(at, 2, " ");
    EXPECT_EQ(log, std::string(kStartLines) + "Fehler:       " + classlib::ToCodePage(line, CP_ACP) + "\r\n" + kAborted);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, "Die Sicherung \"Job\" konnte nicht durchgeführt werden:\r\r" + error);
    EXPECT_TRUE(Snapshot(target).empty());
    EXPECT_EQ(LastDisc().Sessions, 0);
    EXPECT_EQ(Stored()->LastBackup, "vorher");
  }
}

}  // namespace
