#include <windows.h>

#include <functional>
#include <map>

#include <gtest/gtest.h>

#include "app/archive_names.h"
#include "app/free_name.h"
#include "app/generations.h"
#include "classlib/exceptions.h"
#include "classlib/text.h"
#include "classlib/wide.h"
#include "tests/app/app_fixture.h"

using namespace app;
using namespace app_testing;
using testing_support::ReadFile;
using testing_support::WriteFile;

TEST(ArchiveNames, FullPartialAndDateTimeNames) {
  const classlib::TDateTime start = classlib::EncodeDate(2024, 3, 5) + classlib::EncodeTime(14, 7, 59, 0);
  const struct {
    const char* title;
    bool useDateTime;
    bool partBackupFull;
    bool partial;
    const char* name;
  } cases[] = {
      {"Büro", false, true, false, "Büro.zip"},
      {"Büro", false, true, true, "Büro [part].zip"},
      {"Büro", false, false, true, "Büro [part].zip"},  // partial since a date or within days
      {"job.zip", false, true, false, "job.zip"},
      {"job.zip", false, true, true, "job [part].zip"},
      {"job.zip", false, false, true, "job [part].zip"},
      {"job.ZIP", false, true, true, "job [part].ZIP"},
      {"a.zipper", false, true, false, "a.zipper.zip"},
      {"Büro", true, true, false, "2024-03-05 14-07.zip"},
      {"Büro", true, true, true, "2024-03-05 14-07 [part].zip"},
  };
  for (const auto& c : cases) {
    BackupDefinition def;
    def.Title = c.title;
    def.UseDateTime = c.useDateTime;
    def.PartBackupFull = c.partBackupFull;
    EXPECT_EQ(ArchiveName(def, c.partial, start), c.name) << c.title << (c.partial ? " partial" : " full");
  }
}

TEST(ArchiveNames, TheStemsOfEveryRunOfAJob) {
  BackupDefinition named;
  named.Title = "Büro";
  BackupDefinition zipNamed;
  zipNamed.Title = "job.ZIP";
  BackupDefinition timed;
  timed.Title = "Büro";
  timed.UseDateTime = true;
  const struct {
    const BackupDefinition& def;
    const char* stem;
    bool ours;
  } cases[] = {
      {named, "Büro", true},          {named, "büro", true},
      {named, "Büro [part]", true},
      {named, "Büro [PART]", true},   {named, "Büro2", false},
      {named, "Büro [part] [part]", false}, {named, "[part]", false},
      {named, "", false},             {zipNamed, "job", true},
      {zipNamed, "job [part]", true}, {zipNamed, "job.ZIP", false},
      {timed, "2024-03-05 14-07", true}, {timed, "1999-12-31 23-59 [part]", true},
      {timed, "2024-03-05 14-7", false}, {timed, "2024-03-05_14-07", false},
      {timed, "Büro", false},
      {timed, "2024-03-05 14-07 (2)", true}, {timed, "2024-03-05 14-07 [part] (12)", true},
      {timed, "2024-03-05 14-07 (1)", false}, {timed, "2024-03-05 14-07 (02)", false},
      {timed, "2024-03-05 14-07 ()", false}, {named, "Büro (2)", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsRunArchiveStem(c.def, c.stem), c.ours) << c.def.Title << " / " << c.stem;
}

// With generations the kept stems are the name and 1 .. count, also when the name ends in digits.
TEST(ArchiveNames, TheStemsAJobKeeps) {
  BackupDefinition single;
  single.Title = "Daten";
  BackupDefinition three = single;
  three.Instances = 3;
  BackupDefinition numbered;
  numbered.Title = "Backup2";
  numbered.Instances = 3;
  const struct {
    const BackupDefinition& def;
    const char* stem;
    bool kept;
  } cases[] = {
      {single, "Daten", true},     {single, "Daten1", false},   {three, "Daten", false},
      {three, "Daten1", true},     {three, "Daten3 [part]", false}, {three, "Daten [part]2", true},
      {three, "Daten4", false},    {three, "Daten01", false},   {numbered, "Backup21", true},
      {numbered, "Backup23", true}, {numbered, "Backup24", false}, {numbered, "Backup2", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsKeptArchiveStem(c.def, c.stem), c.kept) << c.def.Title << " / " << c.stem;
}

TEST(ArchiveNames, GenerationsAndParts) {
  BackupDefinition def;
  def.Instances = 3;
  EXPECT_EQ(GenerationsOf(def), 3);
  def.UseDateTime = true;
  EXPECT_EQ(GenerationsOf(def), 1);

  EXPECT_EQ(PartFileName("D:\\Sich\\job.zip", 2), "D:\\Sich\\job.002");
  EXPECT_EQ(PartFileName("D:\\Sich\\job [part].zip", 12), "D:\\Sich\\job [part].012");
  const std::string base = GenerationBase("D:\\Sich", "job.zip");
  EXPECT_EQ(base, "D:\\Sich\\job");
  EXPECT_EQ(GenerationBase("D:\\Sich\\", "job.zip"), base);
  EXPECT_EQ(GenerationFileName(base, 12), "D:\\Sich\\job12.zip");
  EXPECT_EQ(GenerationPartName(base, 1, 3), "D:\\Sich\\job1.003");
}

// The end record of the last file of a set of that many files, as the zip writer leaves it: the
// number of that file (counted from 0) in the record.
std::string EndRecord(int files) {
  std::string record("PK\x05\x06", 4);
  record += static_cast<char>((files - 1) & 0xFF);
  record += static_cast<char>((files - 1) >> 8);
  record.append(16, '\0');
  return record;
}

class Generations : public AppFixture {
 protected:
  using Files = std::map<std::string, std::string>;

  Generations() { zip::fs::MakeDirectory(folder); }

  // Creates each file with its content.
  void Make(const Files& files) {
    for (const auto& [name, content] : files) WriteFile(folder + name, content);
  }
  // Every file of the folder with its content.
  Files Snapshot() const {
    Files files;
    zip::fs::FindData entry;
    const zip::fs::FindHandle h = zip::fs::FindFirst(folder, entry);
    do {
      if ((entry.attributes & zip::fs::kAttrDirectory) == 0) files[entry.name] = ReadFile(folder + entry.name);
    } while (zip::fs::FindNext(h, entry));
    zip::fs::FindClose(h);
    return files;
  }
  // A new set written aside: parts "neu1" .. and the ".zip" "neu".
  ArchiveSet WriteAside(int files) {
    const ArchiveSet set{AsideArchiveName(folder + "job.zip"), files};
    for (int part = 1; part < files; ++part) WriteFile(PartFileName(set.ZipFile, part), "neu" + std::to_string(part));
    WriteFile(set.ZipFile, "neu");
    return set;
  }

  std::string folder = dir / "ziel\\";
  std::string base = folder + "job";
};

TEST_F(Generations, OlderGenerationsMoveUpAndTheOldestGoes) {
  const struct {
    const char* what;
    Files before;
    int written;
    int generations;
    Files after;
  } cases[] = {
      {"three generations",
       {{"job1.zip", "g1"}, {"job2.zip", "g2"}, {"job3.zip", "g3"}},
       1, 3,
       {{"job1.zip", "neu"}, {"job2.zip", "g1"}, {"job3.zip", "g2"}}},
      {"first run", {}, 1, 3, {{"job1.zip", "neu"}}},
      {"gaps stay gaps",
       {{"job2.zip", "g2"}},
       1, 4,
       {{"job1.zip", "neu"}, {"job3.zip", "g2"}}},
      {"split generations move whole",
       {{"job1.001", "g1a"}, {"job1.002", "g1b"}, {"job1.zip", "g1"}, {"job2.zip", "g2"}, {"job3.001", "g3a"},
        {"job3.zip", "g3"}},
       2, 3,
       {{"job1.001", "neu1"}, {"job1.zip", "neu"}, {"job2.001", "g1a"}, {"job2.002", "g1b"}, {"job2.zip", "g1"},
        {"job3.zip", "g2"}}},
      {"a one-part generation beside a part of its name, and names that are no generation of this job",
       {{"job1.zip", EndRecord(1)}, {"job1.001", "fremd"}, {"job2.zip", EndRecord(2)}, {"job2.001", "g2a"},
        {"job12.zip", "x"}, {"jobx.zip", "x"}, {"job.zip", "x"}, {"job1.txt", "x"}, {"job01.zip", "x"},
        {"job1.0001", "x"}, {"job1.2024", "x"}},
       1, 3,
       {{"job1.zip", "neu"}, {"job1.001", "fremd"}, {"job2.zip", EndRecord(1)}, {"job3.zip", EndRecord(2)},
        {"job3.001", "g2a"}, {"job12.zip", "x"}, {"jobx.zip", "x"}, {"job.zip", "x"}, {"job1.txt", "x"},
        {"job01.zip", "x"}, {"job1.0001", "x"}, {"job1.2024", "x"}}},
      {"parts without their archive",
       {{"job2.001", "g2a"}, {"job2.002", "g2b"}, {"job3.001", "g3a"}, {"job3.002", "g3b"}},
       1, 3,
       {{"job1.zip", "neu"}, {"job2.001", "g2a"}, {"job2.002", "g2b"}, {"job3.001", "g3a"}, {"job3.002", "g3b"}}},
  };
  for (const auto& c : cases) {
    Make(c.before);
    const PlacementResult result = RotateGenerations(WriteAside(c.written), base, c.generations);
    EXPECT_TRUE(result.Ok) << c.what << ": " << result.Error;
    EXPECT_EQ(Snapshot(), c.after) << c.what;
    for (const auto& entry : Snapshot()) DeleteFileW(classlib::Widen(folder + entry.first).c_str());
  }
}

TEST_F(Generations, ALockedFileStopsTheRotationAndEverythingStaysAsItWas) {
  const Files before = {
      {"job1.001", "g1a"}, {"job1.002", "g1b"}, {"job1.zip", "g1"}, {"job2.zip", "g2"}, {"job3.zip", "g3"}};
  for (const char* locked : {"job2.zip", "job3.zip", "job1.002"}) {
    Make(before);
    const ArchiveSet written = WriteAside(2);
    const Files withNew = Snapshot();
    PlacementResult result;
    {
      LockedFile lock(folder + locked);
      result = RotateGenerations(written, base, 3);
    }
    EXPECT_FALSE(result.Ok) << locked;
    EXPECT_NE(result.Error.find(locked), std::string::npos) << result.Error;
    EXPECT_EQ(Snapshot(), withNew) << locked;
    for (const auto& entry : Snapshot()) DeleteFileW(classlib::Widen(folder + entry.first).c_str());
  }
}

TEST_F(Generations, ReplacingOneArchiveRemovesTheOldSetOnlyOnceTheNewIsIn) {
  const Files before = {{"job.001", "a1"}, {"job.002", "a2"}, {"job.003", "a3"}, {"job.zip", "a"}, {"job1.zip", "x"}};
  Make(before);
  const ArchiveSet written = WriteAside(2);
  const Files withNew = Snapshot();

  {
    LockedFile lock(folder + "job.003");
    EXPECT_FALSE(ReplaceArchiveSet(written, folder + "job.zip").Ok);
  }
  EXPECT_EQ(Snapshot(), withNew);

  const PlacementResult result = ReplaceArchiveSet(written, folder + "job.zip");
  EXPECT_TRUE(result.Ok) << result.Error;
  EXPECT_TRUE(result.NotDeleted.empty());
  EXPECT_EQ(Snapshot(), (Files{{"job.001", "neu1"}, {"job.zip", "neu"}, {"job1.zip", "x"}}));
}

TEST_F(Generations, OnlyTheFilesOfTheReplacedSetGiveWay) {
  // Named like the archive, but no part of it.
  const Files others = {{"job.2024", "x"}, {"job.0001", "x"}, {"job1.txt", "x"}, {"job.01", "x"}, {"jobs.001", "x"}};
  const struct {
    const char* what;
    Files before;
    int written;
    Files after;
  } cases[] = {
      {"a one-part archive beside a part of its name",
       {{"job.zip", EndRecord(1)}, {"job.001", "fremd"}}, 1,
       {{"job.zip", "neu"}, {"job.001", "fremd"}}},
      {"a three-part archive and a part beyond its count",
       {{"job.001", "a1"}, {"job.002", "a2"}, {"job.zip", EndRecord(3)}, {"job.003", "fremd"}}, 2,
       {{"job.001", "neu1"}, {"job.zip", "neu"}, {"job.003", "fremd"}}},
      {"an archive that cannot be read: the parts in an unbroken run from 1",
       {{"job.001", "a1"}, {"job.002", "a2"}, {"job.004", "fremd"}, {"job.zip", "kaputt"}}, 1,
       {{"job.zip", "neu"}, {"job.004", "fremd"}}},
      {"parts without their archive", {{"job.001", "a1"}, {"job.002", "a2"}}, 1,
       {{"job.zip", "neu"}, {"job.001", "a1"}, {"job.002", "a2"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Make(others);
    Make(c.before);
    const PlacementResult result = ReplaceArchiveSet(WriteAside(c.written), folder + "job.zip");
    EXPECT_TRUE(result.Ok) << result.Error;
    Files after = c.after;
    after.insert(others.begin(), others.end());
    EXPECT_EQ(Snapshot(), after);
    for (const auto& entry : Snapshot()) DeleteFileW(classlib::Widen(folder + entry.first).c_str());
  }
}

TEST_F(Generations, AFileOfTheNewSetsNameThatBelongsToNoSetStopsThePlacement) {
  const Files before = {{"job1.zip", EndRecord(1)}, {"job1.001", "fremd"}, {"job2.zip", EndRecord(1)}};
  const struct {
    const char* what;
    std::function<PlacementResult(const ArchiveSet&)> place;
    const char* inTheWay;
  } cases[] = {
      {"generations", [&](const ArchiveSet& written) { return RotateGenerations(written, base, 3); }, "job1.001"},
      {"one archive", [&](const ArchiveSet& written) { return ReplaceArchiveSet(written, folder + "job1.zip"); },
       "job1.001"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Make(before);
    const ArchiveSet written = WriteAside(2);
    const Files withNew = Snapshot();
    const PlacementResult result = c.place(written);
    EXPECT_FALSE(result.Ok);
    const std::string inTheWay = folder + c.inTheWay + "\" umbenannt werden, da es schon eine Datei dieses Namens gibt.";
    EXPECT_NE(result.Error.find(inTheWay), std::string::npos)
        << result.Error;
    EXPECT_EQ(Snapshot(), withNew);
    for (const auto& entry : Snapshot()) DeleteFileW(classlib::Widen(folder + entry.first).c_str());
  }
}

TEST_F(Generations, AsideNamesMeetNoFileAndSizesCountEveryPart) {
  Make({{"job.zip", "x"}});
  EXPECT_EQ(AsideArchiveName(folder + "job.zip"), folder + "job~neu.zip");
  Make({{"job~neu.003", "x"}});  // a part left over from an interrupted run
  EXPECT_EQ(AsideArchiveName(folder + "job.zip"), folder + "job~neu2.zip");

  const ArchiveSet set = WriteAside(3);
  EXPECT_EQ(ArchiveSetFiles(set),
            (std::vector<std::string>{folder + "job~neu2.001", folder + "job~neu2.002", folder + "job~neu2.zip"}));
  EXPECT_EQ(ArchiveSetSize(set), 4 + 4 + 3);
  DeleteFileW(classlib::Widen(folder + "job~neu2.002").c_str());
  EXPECT_EQ(ArchiveSetSize(set), -1);
}

TEST_F(Generations, ATakenTimeNameGivesWayToTheFirstFreeNumber) {
  const struct {
    const char* what;
    Files present;
    const char* free;
  } cases[] = {
      {"an empty folder", {}, "2024-03-05 14-22.zip"},
      {"other files of the stem", {{"2024-03-05 14-22.txt", "x"}, {"2024-03-05 14-22.zip.bak", "x"}},
       "2024-03-05 14-22.zip"},
      {"the archive", {{"2024-03-05 14-22.ZIP", "x"}}, "2024-03-05 14-22 (2).zip"},
      {"a part alone", {{"2024-03-05 14-22.003", "x"}}, "2024-03-05 14-22 (2).zip"},
      {"numbers taken",
       {{"2024-03-05 14-22.zip", "x"}, {"2024-03-05 14-22 (2).zip", "x"}, {"2024-03-05 14-22 (3).001", "x"}},
       "2024-03-05 14-22 (4).zip"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    for (const auto& entry : Snapshot()) DeleteFileW(classlib::Widen(folder + entry.first).c_str());
    Make(c.present);
    EXPECT_EQ(FreeArchiveName(folder, "2024-03-05 14-22.zip"), c.free);
    EXPECT_EQ(Snapshot(), c.present);
  }
}

// A folder full of like names, or a name whose every variant names a device, ends the search.
TEST_F(Generations, TheSearchForAFreeNameEndsWithAClearError) {
  const auto numbered = [](const std::string& name, int n) { return name + (n > 1 ? std::to_string(n) : ""); };
  for (int n = 1; n <= kFreeNameTries; ++n) WriteFile(folder + numbered("job~neu", n) + ".zip", "");
  try {
    AsideArchiveName(folder + "job.zip");
    ADD_FAILURE() << "a name was found";
  } catch (const classlib::EFCreateError& e) {
    EXPECT_EQ(std::string(e.what()), "Für \"" + folder +
                                         "job~neu.zip\" wurde kein freier Dateiname gefunden: Die ersten 1000 Namen "
                                         "dieser Art sind schon vergeben.");
  }

  for (int n = 1; n <= kFreeNameTries; ++n) WriteFile(folder + numbered("job.zip~alt", n), "");
  Make({{"job.zip", "alt"}, {"neu.zip", "neu"}});
  const Files before = Snapshot();
  const PlacementResult result = ReplaceArchiveSet({folder + "neu.zip", 1}, folder + "job.zip");
  EXPECT_FALSE(result.Ok);
  EXPECT_EQ(result.Error, "Für \"" + folder +
                              "job.zip~alt\" wurde kein freier Dateiname gefunden: Die ersten 1000 Namen dieser Art "
                              "sind schon vergeben.");
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(Generations, WhatAnInterruptedWriteAsideLeftGoesAndNothingElse) {
  Make({{"job~neu.zip", "x"}, {"job~neu.001", "x"}, {"job~neu.002", "x"}, {"JOB~NEU3.003", "x"},
        {"job [part]~neu.zip", "x"}});
  const Files others = {{"job.zip", "x"},         {"job~neu.txt", "x"},  {"job~neu1.zip", "x"}, {"job~neu02.zip", "x"},
                        {"job~neu.0001", "x"},    {"job~neu", "x"},      {"jobs~neu.zip", "x"}, {"job.zip~alt", "x"},
                        {"job~neu.zip.bak", "x"}, {"neu~neu.zip", "x"}};
  Make(others);
  RemoveLeftoverAsideFiles(folder, [](const std::string& stem) {
    return classlib::SameTextAscii(stem, "job") || stem == "job [part]";
  });
  EXPECT_EQ(Snapshot(), others);
  std::string log = ReadFile(dir / "orvapp.log");
  for (const char* removed : {"job~neu.zip", "job~neu.001", "job~neu.002", "JOB~NEU3.003", "job [part]~neu.zip"})
    EXPECT_NE(log.find("Aktion:       " + folder + removed + " einer unterbrochenen Sicherung entfernt.\r\n"),
              std::string::npos)
        << removed << "\n" << log;

  // One that cannot be deleted stays, and says so.
  Make({{"job~neu.zip", "x"}});
  {
    LockedFile lock(folder + "job~neu.zip");
    RemoveLeftoverAsideFiles(folder, [](const std::string& stem) { return stem == "job"; });
  }
  EXPECT_EQ(Snapshot().count("job~neu.zip"), 1u);
  const std::string kept =
      "Fehler:       Die Datei \"" + folder + "job~neu.zip\" einer unterbrochenen Sicherung konnte nicht entfernt werden.";
  EXPECT_NE(ReadFile(dir / "orvapp.log").find(kept + "\r\n"), std::string::npos);
}

// A placement killed after any one of its file operations, for one archive and for generations,
// split or not, with a generation missing and the oldest dropped: the next start leaves every set
// as it was before the placement, or, once the new set was in, as after it, and the next
// placement goes through as ever.
TEST_F(Generations, APlacementKilledAfterAnyStepIsPutRightAtTheNextStart) {
  struct Killed {};
  // The set's own mark before its end record, so that sets mixed up show.
  const auto zip = [](const char* mark, int files) { return mark + EndRecord(files); };
  const struct {
    const char* what;
    Files before;
    int written;
    int generations;
  } cases[] = {
      {"one archive replaced", {{"job.zip", zip("a", 1)}}, 1, 1},
      {"a split archive replaced by a split one",
       {{"job.001", "a1"}, {"job.002", "a2"}, {"job.zip", zip("a", 3)}}, 3, 1},
      {"one archive, the first", {}, 2, 1},
      {"three split generations, the oldest dropped",
       {{"job1.001", "g1a"}, {"job1.zip", zip("g1", 2)}, {"job2.zip", zip("g2", 1)}, {"job3.001", "g3a"},
        {"job3.002", "g3b"}, {"job3.zip", zip("g3", 3)}},
       2, 3},
      {"three generations, the middle one missing",
       {{"job1.001", "g1a"}, {"job1.002", "g1b"}, {"job1.zip", zip("g1", 3)}, {"job3.zip", zip("g3", 1)}}, 3, 3},
      {"two generations, not split", {{"job1.zip", zip("g1", 1)}, {"job2.zip", zip("g2", 1)}}, 1, 2},
      {"three generations, the first", {}, 2, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    BackupDefinition def;
    def.Title = "job";
    def.Instances = c.generations;
    const auto ours = [&](const std::string& stem) {
      return IsRunArchiveStem(def, stem) || IsKeptArchiveStem(def, stem);
    };
    const auto place = [&](const ArchiveSet& written) {
      return c.generations < 2 ? ReplaceArchiveSet(written, folder + "job.zip")
                               : RotateGenerations(written, base, c.generations);
    };
    const auto clear = [&] {
      for (const auto& entry : Snapshot()) DeleteFileW(classlib::Widen(folder + entry.first).c_str());
    };
    // What a placement that is not stopped gives, once and twice.
    clear();
    Make(c.before);
    ASSERT_TRUE(place(WriteAside(c.written)).Ok);
    const Files after = Snapshot();
    ASSERT_TRUE(place(WriteAside(c.written)).Ok);
    const Files afterTwice = Snapshot();

    bool newSetWasIn = false;
    for (int stop = 0;; ++stop) {
      SCOPED_TRACE("killed after step " + std::to_string(stop + 1));
      clear();
      Make(c.before);
      const ArchiveSet written = WriteAside(c.written);
      int steps = 0;
      SetPlacementStepForTesting([&] {
        if (steps++ == stop) throw Killed();
      });
      bool killed = false;
      try {
        place(written);
      } catch (const Killed&) {
        killed = true;
      }
      SetPlacementStepForTesting(nullptr);
      if (!killed) break;

      // The next start.
      RepairStoppedPlacements(folder, ours);
      RestoreDroppedSets(folder, def);
      RemoveLeftoverAsideFiles(folder, ours);
      const Files repaired = Snapshot();
      // Once the new set was in, every later stop leaves it in.
      if (newSetWasIn || repaired != c.before) {
        EXPECT_EQ(repaired, after);
        newSetWasIn = true;
      }
      const PlacementResult next = place(WriteAside(c.written));
      EXPECT_TRUE(next.Ok) << next.Error;
      EXPECT_EQ(Snapshot(), newSetWasIn ? afterTwice : after);
    }
    EXPECT_TRUE(newSetWasIn);
  }
}

// The list a stopped placement left is followed only when it is whole and names nothing but files
// of this job; else nothing is renamed, and the next placement does not begin over it.
TEST_F(Generations, AListOfRenamesThatIsCutOffOrNamesOtherFilesMovesNothing) {
  const auto ours = [](const std::string& stem) { return stem == "job" || stem == "job1" || stem == "job2"; };
  const Files files = {{"job1.zip", "g2"}, {"other.txt", "x"}};
  const struct {
    const char* what;
    const char* list;
    bool followed;
  } cases[] = {
      {"cut off before its end: no rename was made", "job1.zip|job2.zip\r\njob~neu.zip|job1.zi", true},
      {"another file", "other.txt|job1.zip\r\nEnde\r\n", false},
      {"a file in another folder", "..\\job1.zip|job2.zip\r\nEnde\r\n", false},
      {"no list", "job1.zip job2.zip\r\nEnde\r\n", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    for (const auto& entry : Snapshot()) DeleteFileW(classlib::Widen(folder + entry.first).c_str());
    Make(files);
    Make({{"job~neu.zip~plan", c.list}});
    if (c.followed) {
      RepairStoppedPlacements(folder, ours);
      EXPECT_EQ(Snapshot(), files);
    } else {
      EXPECT_THROW(RepairStoppedPlacements(folder, ours), classlib::EFOpenError);
      Files kept = files;
      kept["job~neu.zip~plan"] = c.list;
      EXPECT_EQ(Snapshot(), kept);
    }
  }
  // Another job's list is left alone.
  DeleteFileW(classlib::Widen(folder + "job~neu.zip~plan").c_str());
  Make({{"jobs~neu.zip~plan", "jobs1.zip|jobs2.zip\r\nEnde\r\n"}, {"jobs2.zip", "x"}});
  RepairStoppedPlacements(folder, ours);
  EXPECT_EQ(Snapshot().count("jobs~neu.zip~plan"), 1u);
  EXPECT_EQ(Snapshot().count("jobs2.zip"), 1u);
}
