#include <windows.h>

#include <map>

#include <gtest/gtest.h>

#include "app/archive_names.h"
#include "app/generations.h"
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
      {"Büro", false, false, true, "Büro.zip"},  // partial since a date or within days
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
      {"orphan parts, and names that are no generation of this job",
       {{"job2.005", "g2e"}, {"job3.001", "g3a"}, {"job3.002", "g3b"}, {"job12.zip", "x"}, {"jobx.zip", "x"},
        {"job.zip", "x"}, {"job1.txt", "x"}, {"job01.zip", "x"}},
       1, 3,
       {{"job1.zip", "neu"}, {"job3.005", "g2e"}, {"job12.zip", "x"}, {"jobx.zip", "x"}, {"job.zip", "x"},
        {"job1.txt", "x"}, {"job01.zip", "x"}}},
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
