// Definitions that share a destination folder, and definitions that came from the registry rather
// than from the wizard: no run may cost another definition's backup or a user's file.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/destination_clash.h"
#include "app/definition_list.h"
#include "classlib/wide.h"
#include "tests/app/run/run_fixture.h"
#include "tests/support/scripted_prompts.h"
#include "zip/fs.h"

using namespace app;
using namespace run_testing;
using classlib::PromptResult;

namespace {

class SharedDestination : public RunFixture {
 protected:
  SharedDestination() { main.visible = true; }

  // The start lines of a run of name at 05.03.2024 14:22, as the log has them.
  static std::string StartLines(const std::string& name) {
    std::string lines = kStartLines;
    lines.replace(lines.find("Job\r\n"), 3, name);
    return lines;
  }

  // Every file below the scratch folder but the log, by its path below it, with its content.
  Files Tree(const std::string& folder = {}) const {
    Files files;
    const std::string at = folder.empty() ? dir.Path() + "\\" : folder;
    zip::fs::FindData entry;
    const zip::fs::FindHandle h = zip::fs::FindFirst(at, entry);
    if (h == zip::fs::kInvalidHandle) return files;
    do {
      if (entry.name == "." || entry.name == "..") continue;
      const std::string path = at + entry.name;
      if (entry.attributes & zip::fs::kAttrDirectory) {
        for (const auto& [below, content] : Tree(path + "\\")) files[below] = content;
      } else if (path != dir / "orvapp.log") {
        files[path.substr(dir.Path().size() + 1)] = testing_support::ReadFile(path);
      }
    } while (zip::fs::FindNext(h, entry));
    zip::fs::FindClose(h);
    return files;
  }

  // Runs the stored definition name now; it is to fail with reason, shown to the user and logged,
  // and to change no file.
  void ExpectRefusedRun(const std::string& name, const std::string& reason) {
    const Files before = Tree();
    TakeLog();
    testing_support::ScriptedPrompts prompts;
    prompts.AnswerNext(PromptResult::Ok);
    EXPECT_TRUE(scheduler.RunNow({name}));
    EXPECT_EQ(Tree(), before);
    EXPECT_EQ(TakeLog(), StartLines(name) + "Fehler:       " + classlib::ToCodePage(reason, CP_ACP) + "\r\n" + kAborted);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, "Die Sicherung \"" + name + "\" konnte nicht durchgeführt werden:\r\r" + reason);
    EXPECT_FALSE(main.backupRunning);
    EXPECT_TRUE(scheduler.TimerBackup.Enabled());
  }

  // A run of "Job" that ends as usual.
  void ExpectNormalRun() {
    SetNow(5, 14, 22);
    zip::fs::MakeDirectory(dir / "eigen");
    BackupDefinition job = Definition();
    job.Create = dir / "eigen\\";
    TakeLog();
    RunJob(job);
    EXPECT_EQ(TakeLog(), std::string(kStartLines) + kCompleted);
    EXPECT_TRUE(testing_support::FileExists(dir / "eigen\\Job.zip"));
  }
};

// Which pairs of definitions in one folder would touch each other's archives.
TEST_F(SharedDestination, DefinitionsClashWhereOneRunWouldTouchAnArchiveOfTheOther) {
  struct Side {
    std::string name;
    int instances = 1;
    bool timed = false;
  };
  const struct {
    const char* what;
    Side mine, other;
    std::string otherFolder;  // empty: the same spelling of the folder
    bool burns;
    const char* file;  // the clashing file, empty for none
  } cases[] = {
      {"my second generation is its backup", {"Daten", 3}, {"Daten1"}, "", false, "Daten1.zip"},
      {"its name beyond my generations", {"Daten", 3}, {"Daten4"}, "", false, ""},
      {"one generation each", {"Daten"}, {"Daten1"}, "", false, ""},
      {"my backup is its first generation", {"Daten1"}, {"Daten", 3}, "", false, "Daten1.zip"},
      {"generations of both", {"Daten", 12}, {"Daten1", 3}, "", false, "Daten11.zip"},
      {"its name is my partial backup", {"Daten"}, {"Daten [part]"}, "", false, "Daten [part].zip"},
      {"its name is a time name of mine", {"Daten", 1, true}, {"2024-03-05 14-22"}, "", false,
       "2024-03-05 14-22.zip"},
      {"two time-named definitions take free names", {"Daten", 1, true}, {"Abends", 1, true}, "", false, ""},
      {"its name is my name aside", {"Daten"}, {"Daten~neu"}, "", false, "Daten~neu.zip"},
      {"it burns, away from the folder", {"Daten", 3}, {"Daten1"}, "", true, ""},
      {"it writes elsewhere", {"Daten", 3}, {"Daten1"}, dir / "anderswo\\", false, ""},
      {"the folder in other letters", {"Daten", 3}, {"Daten1"}, dir / "ZIEL\\", false, "Daten1.zip"},
      {"the folder by a detour and without its backslash", {"Daten", 3}, {"Daten1"}, dir / "src\\..\\.\\ziel", false,
       "Daten1.zip"},
      {"the folder with slashes", {"Daten", 3}, {"Daten1"}, dir.Path() + "/ziel/", false, "Daten1.zip"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    for (const std::string& name : ListBackupDefinitions()) DeleteBackupDefinition(name);
    BackupDefinition mine = Definition(c.mine.name);
    mine.Instances = c.mine.instances;
    mine.UseDateTime = c.mine.timed;
    WriteBackupDefinition(mine);
    BackupDefinition other = Definition(c.other.name);
    other.Instances = c.other.instances;
    other.UseDateTime = c.other.timed;
    if (!c.otherFolder.empty()) other.Create = c.otherFolder;
    other.Recording = c.burns;
    other.RecDrive = c.burns ? "(E:) Simuliert Brenner" : "";
    WriteBackupDefinition(other);

    const std::optional<DestinationClash> clash = FindDestinationClash(mine, target);
    EXPECT_EQ(clash ? clash->File : "", c.file);
    if (clash) {
      EXPECT_EQ(clash->Other, c.other.name);
    }
    // The edited definition itself is no other one.
    EXPECT_FALSE(FindDestinationClash(mine, target, c.other.name));
  }
}

TEST_F(SharedDestination, ARunThatWouldRotateAnotherDefinitionsBackupFailsAndBothBackupsStay) {
  MakeFile("src\\brief.txt", "Brief");
  RunJob(Definition("Daten1"));
  ASSERT_TRUE(testing_support::FileExists(target + "Daten1.zip"));
  BackupDefinition daten = Definition("Daten");
  daten.Instances = 3;
  WriteBackupDefinition(daten);

  const std::string clash = "Das Backup \"Daten1\" sichert ebenfalls in das Verzeichnis \"" + target +
                            "\". Diese Sicherung würde seine Datei \"Daten1.zip\" umbenennen, ersetzen oder löschen. "
                            "Bitte ändern Sie die Bezeichnung oder die Anzahl der Backup-Instanzen eines der "
                            "beiden Backups.";
  ExpectRefusedRun("Daten", clash);
  ExpectRefusedRun("Daten", clash);
  // Its own backup would replace the other's first generation: it fails too.
  ExpectRefusedRun("Daten1",
                   "Das Backup \"Daten\" sichert ebenfalls in das Verzeichnis \"" + target +
                       "\". Diese Sicherung würde seine Datei \"Daten1.zip\" umbenennen, ersetzen oder löschen. "
                       "Bitte ändern Sie die Bezeichnung oder die Anzahl der Backup-Instanzen eines der beiden "
                       "Backups.");
  EXPECT_EQ(PeerListing({target + "Daten1.zip"}), EntryName(dir / "src\\brief.txt") + "\tBrief\n");

  // Unattended, the log alone tells.
  main.visible = false;
  TakeLog();
  const Files before = Snapshot(target);
  {
    testing_support::ScriptedPrompts prompts;
    EXPECT_TRUE(scheduler.RunNow({"Daten"}));
    EXPECT_TRUE(prompts.messages.empty());
  }
  EXPECT_EQ(Snapshot(target), before);
  EXPECT_NE(TakeLog().find("Fehler:       Das Backup \"Daten1\""), std::string::npos);
  ExpectNormalRun();
}

TEST_F(SharedDestination, TwoTimeNamedJobsOfOneMinuteKeepBothArchives) {
  const std::string morning = MakeFile("src\\morgens\\a.txt", "Morgen");
  const std::string evening = MakeFile("src\\abends\\b.txt", "Abend");
  const std::string night = MakeFile("src\\nachts\\c.txt", "Nacht");
  BackupDefinition first = Definition("Morgens");
  first.Folder = dir / "src\\morgens\\";
  first.UseDateTime = true;
  BackupDefinition second = first;
  second.Title = "Abends";
  second.Folder = dir / "src\\abends\\";
  BackupDefinition third = first;
  third.Title = "Nachts";
  third.Folder = dir / "src\\nachts\\";

  RunJob(first);
  EXPECT_EQ(TakeLog(), StartLines("Morgens") + kCompleted);
  RunJob(second);
  EXPECT_EQ(TakeLog(), StartLines("Abends") +
                           "Aktion:       Das Backup hei\xDFt 2024-03-05 14-22 (2).zip, da es 2024-03-05 14-22.zip "
                           "schon gibt.\r\n" +
                           kCompleted);
  // A part left of another set counts as taken, and stays.
  testing_support::WriteFile(target + "2024-03-05 14-22 (3).001", "Teil");
  RunJob(third);
  EXPECT_NE(TakeLog().find("hei\xDFt 2024-03-05 14-22 (4).zip"), std::string::npos);

  const Files files = Snapshot(target);
  std::vector<std::string> names;
  for (const auto& entry : files) names.push_back(entry.first);
  EXPECT_EQ(names, (std::vector<std::string>{"2024-03-05 14-22 (2).zip", "2024-03-05 14-22 (3).001",
                                             "2024-03-05 14-22 (4).zip", "2024-03-05 14-22.zip"}));
  EXPECT_EQ(PeerListing({target + "2024-03-05 14-22.zip"}), EntryName(morning) + "\tMorgen\n");
  EXPECT_EQ(PeerListing({target + "2024-03-05 14-22 (2).zip"}), EntryName(evening) + "\tAbend\n");
  EXPECT_EQ(PeerListing({target + "2024-03-05 14-22 (4).zip"}), EntryName(night) + "\tNacht\n");
  EXPECT_EQ(files.at("2024-03-05 14-22 (3).001"), "Teil");
}

// Names put straight into the registry, as an imported registry file does: each run fails at once
// and writes nothing, and the program goes on.
TEST_F(SharedDestination, NamesThatBreakTheNameRuleFailAtOnceAndWriteNothing) {
  MakeFile("src\\brief.txt", "Brief");
  // What the names would reach: a user's files outside the destination and outside "Logs".
  testing_support::WriteFile(dir / "x.zip", "Benutzerdatei");
  testing_support::WriteFile(dir / "x.ini", "Benutzereinstellungen");
  zip::fs::MakeDirectory(target + "a");
  testing_support::WriteFile(target + "a\\b.zip", "Benutzerarchiv");
  const std::string characters =
      "Die Bezeichnung darf nur Buchstaben (A-Z, a-z), Ziffern, Leerzeichen und die Zeichen - . _ enthalten.";
  const struct {
    const char* name;
    std::string reason;
  } cases[] = {
      {"../x", characters},
      {"a/b", characters},
      {"CON",
       "\"CON\" ist ein Gerätename von Windows und kann nicht als Bezeichnung des Backups verwendet werden."},
      {"CONOUT$", characters},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BackupDefinition def = Definition(c.name);
    def.Instances = 3;
    WriteBackupDefinition(def);
    ExpectRefusedRun(c.name, c.reason);
  }
  // The scheduler's test for changed files does not reach the state file either.
  BackupDefinition newOnly = Definition("CON");
  newOnly.NewOnly = true;
  newOnly.Intervall = 5;
  WriteBackupDefinition(newOnly);
  const Files before = Tree();
  scheduler.GetBackups();
  testing_support::ScriptedPrompts prompts;
  prompts.AnswerNext(PromptResult::Ok);
  for (int minute = 23; minute <= 28; ++minute) {
    SetNow(5, 14, minute);
    scheduler.TimerBackupTimer(nullptr);
  }
  EXPECT_EQ(std::count(ran.begin(), ran.end(), "CON"), 2);
  EXPECT_EQ(Tree(), before);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text.rfind("Die Sicherung \"CON\" konnte nicht durchgeführt werden:", 0), 0u);

  // Still listed, and deleted without touching the file its state file name would reach.
  EXPECT_GE(jobs.IndexOf("../x"), 0);
  EXPECT_TRUE(DefinitionList(jobs).Delete({"../x"}).empty());
  EXPECT_FALSE(BackupDefinitionExists("../x"));
  EXPECT_EQ(testing_support::ReadFile(dir / "x.ini"), "Benutzereinstellungen");
  ExpectNormalRun();
}

TEST_F(SharedDestination, AProtectedDefinitionWithoutAPasswordFailsAndWritesNothing) {
  MakeFile("src\\brief.txt", "Brief");
  BackupDefinition def = Definition();
  RunJob(def);
  def.UsePassword = true;
  def.Password.clear();
  WriteBackupDefinition(def);
  ExpectRefusedRun("Job",
                   "Das Backup soll mit einem Passwort geschützt werden, es ist aber kein Passwort gespeichert. Bitte "
                   "geben Sie im Assistenten ein Passwort ein.");
  EXPECT_EQ(PeerListing({target + "Job.zip"}), EntryName(dir / "src\\brief.txt") + "\tBrief\n");
}

}  // namespace
