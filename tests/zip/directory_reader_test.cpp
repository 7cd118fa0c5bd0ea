#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/zip/archive_fixtures.h"
#include "tests/zip/peer_tools.h"
#include "zip/message_pump.h"
#include "zip/zip_exceptions.h"
#include "zip/zip_reader.h"
#include "zip/zip_writer.h"

using namespace zip;
using archive_fixtures::BuildStored;
using archive_fixtures::Listed;
using archive_fixtures::MessageOf;
using archive_fixtures::RawArchive;
using archive_fixtures::RawEntry;
using archive_fixtures::ReaderListing;
using archive_fixtures::TestReader;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

constexpr const char* kZip64Message = "Archives with Zip64 records are not supported";

const std::vector<RawEntry> kThreeEntries = {{"one.txt", "first"}, {"dir/", ""}, {"dir/two.txt", "second!"}};

std::vector<std::string> Names(const TZipReader& reader) {
  std::vector<std::string> names;
  for (int i = 0; i < reader.EntryCount(); ++i) names.push_back(reader.EntryPath(i));
  return names;
}

void PatchByte(std::string& bytes, std::size_t at, std::uint8_t value) { bytes[at] = static_cast<char>(value); }

void Patch16(std::string& bytes, std::size_t at, std::uint16_t value) {
  PatchByte(bytes, at, static_cast<std::uint8_t>(value));
  PatchByte(bytes, at + 1, static_cast<std::uint8_t>(value >> 8));
}

class DirectoryReaderTest : public ::testing::Test {
 protected:
  // Writes the bytes as the archive and reads its directory.
  void Load(const std::string& bytes, const std::string& name = "test.zip") {
    path_ = dir_ / name;
    WriteFile(path_, bytes);
    reader_.ClearArchive();
    reader_.SetZipName(path_);
    reader_.LoadDirectory();
  }

  TempDir dir_;
  std::string path_;
  TestReader reader_;
};

TEST_F(DirectoryReaderTest, EmptyFilesAndEmptyArchivesHaveNoEntries) {
  for (const std::string& bytes : {std::string(), BuildStored({}, "only a comment").bytes}) {
    Load(bytes);
    EXPECT_EQ(reader_.EntryCount(), 0);
    EXPECT_EQ(reader_.DiskCount(), 1);
  }
  EXPECT_EQ(reader_.ArchiveComment(), "only a comment");
}

TEST_F(DirectoryReaderTest, ArchiveOrderAndSortModes) {
  const std::vector<RawEntry> entries = {{"b/small.txt", "1", "", 0x5A8C0000},
                                         {"a/large.txt", "1234567", "", 0x4A8C0000},
                                         {"c/medium.txt", "1234", "", 0x5B8C0000}};
  struct Case {
    TZipSortMode mode;
    std::vector<std::string> names;
  };
  for (const Case& c : std::vector<Case>{
           {TZipSortMode::ByNone, {"b\\small.txt", "a\\large.txt", "c\\medium.txt"}},
           {TZipSortMode::ByName, {"a\\large.txt", "b\\small.txt", "c\\medium.txt"}},
           {TZipSortMode::ByFileName, {"a\\large.txt", "c\\medium.txt", "b\\small.txt"}},
           {TZipSortMode::ByDate, {"c\\medium.txt", "b\\small.txt", "a\\large.txt"}},
           {TZipSortMode::ByUnCompressedSize, {"a\\large.txt", "c\\medium.txt", "b\\small.txt"}}}) {
    reader_.ClearArchive();
    reader_.SetSortMode(c.mode);
    Load(BuildStored(entries).bytes);
    EXPECT_EQ(Names(reader_), c.names) << static_cast<int>(c.mode);
  }
}

TEST_F(DirectoryReaderTest, AnUnchangedArchiveIsReadOnceAndATouchedOneAgain) {
  Load(BuildStored(kThreeEntries).bytes);
  const auto stamp = std::filesystem::last_write_time(std::filesystem::u8path(path_));
  WriteFile(path_, BuildStored({{"other.txt", "x"}}).bytes);
  std::filesystem::last_write_time(std::filesystem::u8path(path_), stamp);
  reader_.LoadDirectory();
  EXPECT_EQ(reader_.EntryCount(), 3);
  std::filesystem::last_write_time(std::filesystem::u8path(path_), stamp + std::chrono::hours(1));
  reader_.LoadDirectory();
  EXPECT_EQ(Names(reader_), std::vector<std::string>{"other.txt"});
}

// Without an end record the mode decides; by default the caller hears of it.
TEST_F(DirectoryReaderTest, AFileWithoutEndRecordIsReportedAsTheModeSays) {
  const RawArchive raw = BuildStored(kThreeEntries);
  const std::string cut = raw.bytes.substr(0, raw.directoryOffset + 10);
  struct Case {
    std::string bytes;
    TIncompleteZipMode mode;
    std::string message;
  };
  for (const Case& c : std::vector<Case>{
           {cut, TIncompleteZipMode::izAssumeMulti, "Incomplete Zip File"},
           {cut, TIncompleteZipMode::izAssumeNotAZip, "Not a valid zip file!"},
           {std::string(3000, 'x'), TIncompleteZipMode::izAssumeMulti, "Incomplete Zip File"},
           {std::string(3000, 'x'), TIncompleteZipMode::izAssumeBad, "Not a valid zip file!"}}) {
    reader_.SetIncompleteZipMode(c.mode);
    EXPECT_EQ(MessageOf<classlib::Exception>([&] { Load(c.bytes); }), c.message);
    EXPECT_EQ(reader_.EntryCount(), 0);
    EXPECT_EQ(reader_.ZipName(), "");
  }
}

TEST_F(DirectoryReaderTest, TheScanRecoversAnArchiveWithoutEndRecord) {
  const RawArchive raw = BuildStored(kThreeEntries);
  reader_.SetIncompleteZipMode(TIncompleteZipMode::izAssumeBad);
  // Cut inside the second central record: the first one still lends its data.
  Load(raw.bytes.substr(0, raw.centralOffsets[1] + 20));
  EXPECT_EQ(Names(reader_), (std::vector<std::string>{"one.txt", "dir\\", "dir\\two.txt"}));
  EXPECT_EQ(reader_.Entry(0).ExternalAttributes, 0x20u);
  EXPECT_EQ(reader_.Entry(1).ExternalAttributes, 0u);
  EXPECT_EQ(reader_.EntryUnpackedSize(2), 7u);
  EXPECT_EQ(reader_.DiskCount(), 1);
}

TEST_F(DirectoryReaderTest, AnEndRecordOfAnImpossiblePartIsNoEndRecord) {
  std::string bytes = BuildStored(kThreeEntries).bytes;
  Patch16(bytes, bytes.size() - 22 + 4, 1000);
  Patch16(bytes, bytes.size() - 22 + 6, 1000);
  EXPECT_THROW(Load(bytes), EIncompleteZip);
  reader_.SetIncompleteZipMode(TIncompleteZipMode::izAssumeBad);
  Load(bytes);
  EXPECT_EQ(reader_.EntryCount(), 3);
}

TEST_F(DirectoryReaderTest, OnInCompleteZipMayAskToReadAgain) {
  const RawArchive raw = BuildStored(kThreeEntries);
  int calls = 0;
  reader_.OnInCompleteZip = [&](TIncompleteZipMode& mode) {
    if (++calls == 3) mode = TIncompleteZipMode::izAssumeBad;
  };
  Load(raw.bytes.substr(0, raw.directoryOffset));
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(reader_.EntryCount(), 3);
}

TEST_F(DirectoryReaderTest, TheCentralCopyInTheConfigFileStandsInForAMissingEndRecord) {
  const RawArchive raw = BuildStored(kThreeEntries, "from the copy");
  std::string copy = raw.bytes.substr(raw.directoryOffset);
  WriteFile(dir_ / "test.zfc", copy);
  Load(raw.bytes.substr(0, raw.directoryOffset));
  EXPECT_EQ(Names(reader_), (std::vector<std::string>{"one.txt", "dir\\", "dir\\two.txt"}));
  EXPECT_EQ(reader_.ArchiveComment(), "from the copy");
}

// The retry after a bad extra length steps back to where the next record really starts, and the
// comment is the one that follows the name, also when the archive is written again.
TEST_F(DirectoryReaderTest, ARecordClaimingExtraBytesThatAreNotThereIsReadPast) {
  for (const std::string comment : {"", "abc", "real comment"}) {
    SCOPED_TRACE(comment);
    std::vector<RawEntry> entries = kThreeEntries;
    entries[0].comment = comment;
    entries[2].comment = "last";
    const RawArchive raw = BuildStored(entries);
    std::string bytes = raw.bytes;
    Patch16(bytes, raw.centralOffsets[0] + 30, 9);
    Load(bytes);
    EXPECT_EQ(Names(reader_), (std::vector<std::string>{"one.txt", "dir\\", "dir\\two.txt"}));
    EXPECT_EQ(reader_.Entry(0).CentralExtraLength, 0u);
    EXPECT_EQ(reader_.Entry(0).ExternalAttributes, 0x20u);
    EXPECT_EQ(reader_.EntryComment(0), comment);
    EXPECT_EQ(reader_.EntryComment(2), "last");

    TZipWriter writer;
    writer.SetZipName(path_);
    WriteFile(dir_ / "new.txt", "added");
    writer.FilesList().Add(dir_ / "new.txt");
    writer.ArchiveFiles();
    Load(ReadFile(path_));
    ASSERT_EQ(reader_.EntryCount(), 4);
    EXPECT_EQ(reader_.EntryComment(0), comment);
    EXPECT_EQ(reader_.EntryComment(2), "last");
  }
}

TEST_F(DirectoryReaderTest, TheEntryCountIsACheckNotTheEnd) {
  // An entry count that disagrees with the directory means damage: the scan lists every entry.
  std::string bytes = BuildStored(kThreeEntries).bytes;
  Patch16(bytes, bytes.size() - 22 + 8, 2);
  Patch16(bytes, bytes.size() - 22 + 10, 2);
  Load(bytes);
  EXPECT_EQ(reader_.EntryCount(), 3);
  // A count kept in 16 bits wraps; the directory's size still says where it ends.
  std::vector<RawEntry> many;
  for (int i = 0; i < 65536 + 2; ++i) many.emplace_back("f" + std::to_string(i), "");
  Load(BuildStored(many).bytes);
  EXPECT_EQ(reader_.EntryCount(), 65538);
}

TEST_F(DirectoryReaderTest, Zip64ArchivesAreRefusedClearly) {
  const RawArchive raw = BuildStored(kThreeEntries);
  std::string locator = std::string("PK\x06\x07", 4) + std::string(16, '\0');
  std::string withLocator = raw.bytes.substr(0, raw.endOffset) + locator + raw.bytes.substr(raw.endOffset);
  std::string bigEntry = raw.bytes;
  Patch16(bigEntry, raw.centralOffsets[2] + 24, 0xFFFF);
  Patch16(bigEntry, raw.centralOffsets[2] + 26, 0xFFFF);
  for (const std::string& bytes : {withLocator, bigEntry}) {
    EXPECT_EQ(MessageOf<EBadZipFile>([&] { Load(bytes); }), kZip64Message);
    EXPECT_EQ(reader_.EntryCount(), 0);
  }
}

// A self-extracting archive's program part may hold what looks like a local header.
TEST_F(DirectoryReaderTest, TheScanPassesOverTheProgramPartOfAnExe) {
  std::string stub(15000, 'S');
  const RawArchive fake = BuildStored({{"fake.txt", "in the program part"}});
  stub.replace(100, fake.directoryOffset, fake.bytes.substr(0, fake.directoryOffset));
  const RawArchive raw = BuildStored(kThreeEntries, "", stub);
  const std::string noEnd = raw.bytes.substr(0, raw.directoryOffset);
  reader_.SetIncompleteZipMode(TIncompleteZipMode::izAssumeBad);
  Load(noEnd, "setup.EXE");
  EXPECT_EQ(Names(reader_), (std::vector<std::string>{"one.txt", "dir\\", "dir\\two.txt"}));
  Load(noEnd, "setup.zip");
  EXPECT_EQ(reader_.EntryName(0), "fake.txt");
  // Whole, with its offsets counting the program part, it reads as any archive.
  Load(raw.bytes, "whole.exe");
  EXPECT_EQ(reader_.EntryCount(), 3);
}

TEST_F(DirectoryReaderTest, TheScanCanBeCancelled) {
  int pumps = 0;
  SetMessagePump([&] {
    if (++pumps == 3) reader_.RequestCancel();
  });
  reader_.SetIncompleteZipMode(TIncompleteZipMode::izAssumeBad);
  EXPECT_EQ(MessageOf<EUserCanceled>([&] { Load(std::string(200000, 'x')); }), "User Aborted Operation");
  SetMessagePump(nullptr);
  EXPECT_EQ(pumps, 3);
  EXPECT_EQ(reader_.ZipName(), "");
  EXPECT_FALSE(reader_.Busy());
}

#ifndef _WIN32

// Archives made by other tools, as Python's zipfile lists them.
class PeerCorpusTest : public ::testing::TestWithParam<std::string> {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir;
    const std::string src = *dir_ / "src";
    std::filesystem::create_directories(src + "/sub/deeper");
    std::filesystem::create_directories(src + "/emptydir");
    std::string text;
    for (int i = 0; i < 3000; ++i) text += "line " + std::to_string(i) + "\n";
    WriteFile(src + "/a.txt", text);
    WriteFile(src + "/empty.txt", "");
    WriteFile(src + "/sub/deeper/c.txt", "deep");
    std::string noise;
    for (unsigned i = 0, x = 12345; i < 20000; ++i) noise += static_cast<char>((x = x * 1103515245 + 12345) >> 16);
    WriteFile(src + "/sub/b.bin", noise);
    const std::string at = "cd " + peer_tools::Quote(src) + " && ";
    const std::string files = " a.txt empty.txt sub emptydir";
    const std::string out = dir_->Path() + "/";
    Make(at + "zip -q -r -0 ../stored.zip" + files);
    Make(at + "zip -q -r -9 ../deflated.zip" + files);
    Make(at + "zip -q -r -P secret ../encrypted.zip" + files);
    Make(at + "zip -q -r -" + files + " | cat > ../piped.zip");
    Make(at + "7z a -tzip -bd ../seven.zip" + files + " >/dev/null");
    archive_fixtures::RunPython(R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1] + 'python.zip', 'w', zipfile.ZIP_DEFLATED) as z:
    z.writestr(zipfile.ZipInfo('folder/', (2020, 1, 2, 3, 4, 6)), b'')
    z.writestr('folder/inner.bin', bytes(range(256)) * 40, zipfile.ZIP_STORED)
    z.writestr('Größe.txt', 'Umlaute ÄÖÜ ' * 500)
    z.comment = b'made by python'
with zipfile.ZipFile(sys.argv[1] + 'empty.zip', 'w') as z:
    pass
with zipfile.ZipFile(sys.argv[1] + 'longcomment.zip', 'w') as z:
    z.writestr('x.txt', 'x')
    z.comment = bytes(ord('a') + i % 26 for i in range(65000))
)",
                                {out});
    WriteFile(out + "stub.bin", std::string(16000, 'S'));
    Make("cat " + peer_tools::Quote(out + "stub.bin") + " " + peer_tools::Quote(out + "deflated.zip") + " > " +
         peer_tools::Quote(out + "setup.exe") + " && zip -q -A " + peer_tools::Quote(out + "setup.exe"));
  }

  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }

  static void Make(const std::string& command) {
    std::string output;
    ASSERT_EQ(peer_tools::Run(command, output), 0) << command << "\n" << output;
  }

  static std::string At(const std::string& name) { return *dir_ / name; }

  static TempDir* dir_;
  TestReader reader_;
};

TempDir* PeerCorpusTest::dir_ = nullptr;

TEST_P(PeerCorpusTest, ListsWhatPythonLists) {
  reader_.SetZipName(At(GetParam()));
  reader_.LoadDirectory();
  EXPECT_EQ(ReaderListing(reader_), archive_fixtures::PythonListing(At(GetParam())));
}

INSTANTIATE_TEST_SUITE_P(Peers, PeerCorpusTest,
                         ::testing::Values("stored.zip", "deflated.zip", "encrypted.zip", "piped.zip", "seven.zip",
                                           "python.zip", "empty.zip", "longcomment.zip", "setup.exe"));

TEST_F(PeerCorpusTest, CommentsArriveWhole) {
  reader_.SetZipName(At("longcomment.zip"));
  reader_.LoadDirectory();
  EXPECT_EQ(reader_.ArchiveComment().size(), 65000u);
  EXPECT_EQ(reader_.ArchiveComment().substr(0, 3), "abc");
  reader_.SetZipName(At("python.zip"));
  reader_.LoadDirectory();
  EXPECT_EQ(reader_.ArchiveComment(), "made by python");
}

// Damaged archives: what the scan of the local headers finds, with the central data of every
// record that can still be read.
TEST_F(PeerCorpusTest, DamagedArchivesRecoverWhatTheScanFinds) {
  const std::string whole = ReadFile(At("deflated.zip"));
  const std::vector<Listed> all = archive_fixtures::PythonListing(At("deflated.zip"));
  const std::uint32_t directory = static_cast<std::uint32_t>(whole.find("PK\x01\x02"));
  std::vector<Listed> byOffset = all;
  std::sort(byOffset.begin(), byOffset.end(), [](const Listed& a, const Listed& b) { return a.headerOffset < b.headerOffset; });
  // Cut inside the third entry's data: its header still reads, the rest is gone.
  const std::uint32_t dataCut = byOffset[2].headerOffset + 30 + static_cast<std::uint32_t>(byOffset[2].path.size()) + 2;
  std::vector<Listed> firstThree(byOffset.begin(), byOffset.begin() + 3);
  std::sort(firstThree.begin(), firstThree.end());
  std::string overwritten = whole;
  overwritten.replace(whole.find("PK\x01\x02", directory + 1), 4, "XXXX");
  struct Case {
    std::string name, bytes;
    std::vector<Listed> expected;
  };
  reader_.SetIncompleteZipMode(TIncompleteZipMode::izAssumeBad);
  for (const Case& c : std::vector<Case>{{"cut-in-data.zip", whole.substr(0, dataCut), firstThree},
                                         {"cut-in-directory.zip", whole.substr(0, directory + 100), all},
                                         {"overwritten.zip", overwritten, all}}) {
    WriteFile(At(c.name), c.bytes);
    reader_.SetZipName(At(c.name));
    reader_.LoadDirectory();
    EXPECT_EQ(ReaderListing(reader_), c.expected) << c.name;
  }
}

// Python writes Zip64 records past 65,535 entries; Info-ZIP for any input from a pipe, even a
// small one. The message names the records, not a size the archive does not have.
TEST_F(PeerCorpusTest, PeersZip64RecordsGetAClearError) {
  archive_fixtures::RunPython(R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w') as z:
    for i in range(65537):
        z.writestr('f%d' % i, b'')
)",
                              {At("zip64.zip")});
  std::string output;
  ASSERT_EQ(peer_tools::Run("echo klein | zip -q " + peer_tools::Quote(At("pipe.zip")) + " -", output), 0) << output;
  for (const char* name : {"zip64.zip", "pipe.zip"}) {
    reader_.SetZipName(At(name));
    EXPECT_EQ(MessageOf<EBadZipFile>([&] { reader_.LoadDirectory(); }), kZip64Message) << name;
  }
}

#endif

}  // namespace
