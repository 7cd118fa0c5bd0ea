#include "zip/zip_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/clock.h"
#include "classlib/exceptions.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/temp_dir.h"
#include "tests/zip/archive_fixtures.h"
#include "zip/zip_exceptions.h"

using namespace zip;
using archive_fixtures::BuildStored;
using archive_fixtures::MessageOf;
using archive_fixtures::RawEntry;
using archive_fixtures::TestReader;
using classlib::PromptResult;
using testing_support::ScriptedPrompts;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

constexpr std::uint32_t kFebruary31 = (41u << 25) | (2u << 21) | (31u << 16);  // 2021-02-31 00:00:00

// Three entries in one folder and the root, loaded into a reader.
class LoadedReader : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(path_, BuildStored({{"b.txt", "bbbb"}, {"docs/a.txt", "a", "first comment"}, {"c.txt", "cc", "", kFebruary31}},
                                 "archive comment")
                         .bytes);
    reader_.SetZipName(path_);
    reader_.LoadDirectory();
  }

  TempDir dir_;
  std::string path_ = dir_ / "three.zip";
  TestReader reader_;
};

TEST(ZipReaderTest, DefaultsAreThoseOfANewComponent) {
  TZipReader r;
  EXPECT_EQ(r.ThisVersion(), 300);
  EXPECT_EQ(r.ZipName(), "");
  EXPECT_EQ(r.SortMode(), TZipSortMode::ByNone);
  EXPECT_EQ(r.OverwriteMode(), TUZOverwriteMode::Prompt);
  EXPECT_EQ(r.IncompleteZipMode(), TIncompleteZipMode::izAssumeMulti);
  EXPECT_EQ(r.MultiMode(), TMultiMode::mmNone);
  EXPECT_FALSE(r.RecreateDirs() || r.DoAll() || r.KeepZipOpen() || r.ReplaceReadOnly() || r.FlushFilesOnClose());
  EXPECT_TRUE(r.DoProcessMessages() && r.RetainAttributes() && r.OEMConvert() && r.CheckDiskLabels());
  EXPECT_EQ(r.DiskCount(), 1);
  EXPECT_EQ(r.EntryCount(), 0);
  EXPECT_TRUE(static_cast<bool>(r.OnGetNextDisk));
  r.SetThisVersion(5);
  EXPECT_EQ(r.ThisVersion(), 300);
}

TEST(ZipReaderTest, FoldersAreStoredInTheirFinalForm) {
  TZipReader r;
  r.SetDestDir("C:\\restore\\");
  EXPECT_EQ(r.DestDir(), "C:\\restore");
  r.SetRootDir("data");
  EXPECT_EQ(r.RootDir(), "data\\");
  r.SetRootDir("");
  EXPECT_EQ(r.RootDir(), "");
}

TEST(ZipReaderTest, AQuestionMarkAsksForTheArchiveAndTheFolder) {
  ScriptedPrompts prompts;
  TZipReader r;
  prompts.ChooseNextFile("chosen.zip");
  r.SetZipName("?");
  EXPECT_EQ(r.ZipName(), "chosen.zip");
  ASSERT_EQ(prompts.fileRequests.size(), 1u);
  EXPECT_EQ(prompts.fileRequests[0].title, "Open a Zip File");
  EXPECT_EQ(prompts.fileRequests[0].filter,
            "Zip Files (*.ZIP)|*.zip|SFX Files (*.EXE)|*.exe|Jar Files (*.JAR)|*.jar|All Files (*.*)|*.*");

  prompts.ChooseNextFile(std::nullopt);
  EXPECT_EQ(MessageOf<EUserCanceled>([&] { r.SetZipName("other?"); }), "User canceled setting zip file name.");
  EXPECT_EQ(r.ZipName(), "chosen.zip");

  prompts.ChooseNextFolder("D:\\target\\");
  r.SetDestDir("?");
  EXPECT_EQ(r.DestDir(), "D:\\target");
  ASSERT_EQ(prompts.folderRequests.size(), 1u);
  EXPECT_TRUE(prompts.folderRequests[0].allowCreate);
  prompts.ChooseNextFolder(std::nullopt);
  EXPECT_EQ(MessageOf<EUserCanceled>([&] { r.SetDestDir("?"); }), "User canceled Set Desination Directory");
}

TEST_F(LoadedReader, TheSameNameInOtherLettersKeepsTheDirectory) {
  std::string upper = path_;
  for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  reader_.SetZipName(upper);
  EXPECT_EQ(reader_.EntryCount(), 3);
  EXPECT_EQ(reader_.ZipName(), path_);
  reader_.SetZipName(dir_ / "other.zip");
  EXPECT_EQ(reader_.EntryCount(), 0);
  EXPECT_EQ(reader_.ArchiveComment(), "");
}

TEST_F(LoadedReader, EntriesShowNamesSizesDatesAndComments) {
  ASSERT_EQ(reader_.EntryCount(), 3);
  EXPECT_EQ(reader_.EntryName(1), "a.txt");
  EXPECT_EQ(reader_.EntryPath(1), "docs\\a.txt");
  EXPECT_EQ(reader_.EntryUnpackedSize(0), 4u);
  EXPECT_EQ(reader_.EntryPackedSize(2), 2u);
  EXPECT_EQ(reader_.EntryComment(1), "first comment");
  EXPECT_EQ(reader_.EntryComment(0), "");
  EXPECT_EQ(reader_.ArchiveComment(), "archive comment");
  const classlib::DateParts d = classlib::DecodeDate(reader_.EntryDate(0));
  EXPECT_EQ(d.year, 2025);
  EXPECT_EQ(d.month, 4);
  EXPECT_EQ(d.day, 12);
}

TEST_F(LoadedReader, AnImpossibleDateReadsAsNow) {
  classlib::SetClockForTesting([] { return 45000.25; });
  EXPECT_EQ(reader_.EntryDate(2), 45000.25);
  classlib::SetClockForTesting(nullptr);
}

TEST_F(LoadedReader, IndexesOutsideTheListAreRefused) {
  for (int index : {-1, 3}) {
    EXPECT_EQ(MessageOf<classlib::EListError>([&] { reader_.EntryName(index); }),
              "Index " + std::to_string(index) + " is out of range");
    EXPECT_THROW(reader_.SetEntryMarked(index, true), classlib::EListError);
  }
}

TEST_F(LoadedReader, MarksCountOncePerChange) {
  reader_.SetEntryMarked(1, true);
  reader_.SetEntryMarked(1, true);
  reader_.SetEntryMarked(2, true);
  EXPECT_EQ(reader_.MarkedCount(), 2);
  EXPECT_TRUE(reader_.EntryMarked(1));
  reader_.SetEntryMarked(1, false);
  reader_.SetEntryMarked(1, false);
  EXPECT_EQ(reader_.MarkedCount(), 1);
}

TEST_F(LoadedReader, ChangedCommentsAreFlaggedForTheWriter) {
  reader_.SetEntryComment(1, "first comment");
  reader_.SetArchiveComment("archive comment");
  EXPECT_FALSE(reader_.CommentsChanged());
  reader_.SetEntryComment(0, "new");
  EXPECT_TRUE(reader_.CommentsChanged());
  EXPECT_EQ(reader_.EntryComment(0), "new");
  reader_.SetArchiveComment("other");
  EXPECT_EQ(reader_.ArchiveComment(), "other");
}

TEST_F(LoadedReader, ClearArchiveForgetsEverything) {
  reader_.SetEntryMarked(0, true);
  reader_.ClearArchive();
  EXPECT_EQ(reader_.ZipName(), "");
  EXPECT_EQ(reader_.EntryCount(), 0);
  EXPECT_EQ(reader_.MarkedCount(), 0);
  EXPECT_EQ(reader_.DiskCount(), 1);
  EXPECT_EQ(reader_.MultiMode(), TMultiMode::mmNone);
}

// Handlers run while the component works; they may read it and cancel it, nothing else.
TEST(ZipReaderTest, WhileBusyOnlyGettersAndCancelAreAccepted) {
  TempDir dir;
  const std::string path = dir / "cut.zip";
  const archive_fixtures::RawArchive raw = BuildStored({{"a.txt", "a"}});
  WriteFile(path, raw.bytes.substr(0, raw.directoryOffset));
  TZipReader r;
  r.SetZipName(path);
  bool refused = false;
  r.OnInCompleteZip = [&](TIncompleteZipMode& mode) {
    EXPECT_TRUE(r.Busy());
    EXPECT_EQ(r.ZipName(), path);
    try {
      r.SetZipName(dir / "other.zip");
    } catch (const EZipBusy&) {
      refused = true;
    }
    EXPECT_THROW(r.LoadDirectory(), EZipBusy);
    EXPECT_THROW(r.ClearArchive(), EZipBusy);
    mode = TIncompleteZipMode::izAssumeBad;
  };
  r.LoadDirectory();
  EXPECT_TRUE(refused);
  EXPECT_FALSE(r.Busy());
  EXPECT_EQ(r.EntryCount(), 1);
  r.SetZipName(dir / "other.zip");
}

TEST(ZipReaderTest, AssignCopiesSettingsAndKeepsItsOwnDiskQuestion) {
  TZipReader source;
  source.SetDestDir("out");
  source.SetDoAll(true);
  source.SetIncompleteZipMode(TIncompleteZipMode::izAssumeBad);
  source.FilesList().Add("*.txt");
  int completed = 0;
  source.OnUnZipComplete = [&](int) { ++completed; };
  source.SetMultiMode(TMultiMode::mmSpan);

  TZipReader copy;
  copy.Assign(source);
  EXPECT_EQ(copy.DestDir(), "out");
  EXPECT_TRUE(copy.DoAll());
  EXPECT_EQ(copy.IncompleteZipMode(), TIncompleteZipMode::izAssumeBad);
  EXPECT_EQ(copy.FilesList().Count(), 1);
  copy.OnUnZipComplete(0);
  EXPECT_EQ(completed, 1);
  // The copy reads numbered parts; the source's handler would ask for a spanned disk.
  std::string name = "backup.zip";
  copy.OnGetNextDisk(2, name);
  EXPECT_EQ(name, "");
}

}  // namespace
