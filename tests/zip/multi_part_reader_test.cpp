#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "classlib/format.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/temp_dir.h"
#include "tests/zip/archive_fixtures.h"
#include "tests/zip/peer_tools.h"
#include "zip/message_pump.h"
#include "zip/path_strings.h"
#include "zip/zip_exceptions.h"
#include "zip/zip_reader.h"

using namespace zip;
using archive_fixtures::BuildStored;
using archive_fixtures::Listed;
using archive_fixtures::MessageOf;
using archive_fixtures::RawArchive;
using archive_fixtures::ReaderListing;
using archive_fixtures::SplitIntoParts;
using archive_fixtures::TestReader;
using classlib::PromptResult;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

const RawArchive kFiveEntries = BuildStored({{"a.txt", std::string(300, 'a')},
                                             {"b.txt", std::string(200, 'b')},
                                             {"docs/", ""},
                                             {"docs/c.txt", std::string(400, 'c')},
                                             {"docs/d.txt", "d"}},
                                            "split comment");

// The handler of the restore window: the last part carries the archive's own ".zip" name.
void LastPartIsTheZip(TZipReader& reader, int nextDisk, std::string& name) {
  name = ChangeFileExt(name, nextDisk == reader.DiskCount() ? ".zip" : classlib::Format(".%3.3d", nextDisk));
}

class MultiPartReaderTest : public ::testing::Test {
 protected:
  // Writes the parts as base.001, base.002, ... with the last one named lastExtension, and
  // returns the last part's name.
  std::string WriteParts(const std::vector<std::string>& parts, const std::string& lastExtension) {
    std::string name;
    for (std::size_t i = 0; i < parts.size(); ++i) {
      const bool last = i + 1 == parts.size();
      name = dir_ / ("base" + (last ? lastExtension : classlib::Format(".%3.3d", static_cast<int>(i + 1))));
      WriteFile(name, parts[i]);
    }
    return name;
  }

  std::vector<Listed> UnsplitListing(const std::string& bytes) {
    TestReader whole;
    WriteFile(dir_ / "whole.zip", bytes);
    whole.SetZipName(dir_ / "whole.zip");
    whole.LoadDirectory();
    return ReaderListing(whole);
  }

  // Records the parts asked for, and whether the part count was known then.
  void RecordRequests(const std::function<void(int, std::string&)>& answer) {
    reader_.OnGetNextDisk = [this, answer](int nextDisk, std::string& name) {
      asked_.push_back(nextDisk);
      EXPECT_EQ(reader_.DiskCount(), 3);
      answer(nextDisk, name);
    };
  }

  TempDir dir_;
  TestReader reader_;
  std::vector<int> asked_;
};

// The directory starts in the second part and crosses into the last.
TEST_F(MultiPartReaderTest, ASplitSetListsAsTheWholeArchive) {
  const RawArchive& raw = kFiveEntries;
  struct Case {
    const char* what;
    std::vector<std::uint32_t> cuts;
  };
  for (const Case& c : std::vector<Case>{
           {"between records", {raw.localOffsets[2], raw.centralOffsets[3]}},
           {"inside a record", {raw.localOffsets[2], raw.centralOffsets[3] + 10}},
           {"directory opens a part", {raw.directoryOffset, raw.centralOffsets[2]}}}) {
    const std::vector<std::string> parts = SplitIntoParts(raw.bytes, c.cuts);
    for (bool numberedLast : {true, false}) {
      asked_.clear();
      reader_.ClearArchive();
      if (numberedLast) {
        RecordRequests([this](int n, std::string& name) { reader_.AskForDisk(n, name); });
      } else {
        RecordRequests([this](int n, std::string& name) { LastPartIsTheZip(reader_, n, name); });
      }
      reader_.SetZipName(WriteParts(parts, numberedLast ? ".003" : ".zip"));
      reader_.LoadDirectory();
      EXPECT_EQ(ReaderListing(reader_), UnsplitListing(raw.bytes)) << c.what;
      EXPECT_EQ(asked_, (std::vector<int>{2, 3})) << c.what;
      EXPECT_EQ(reader_.DiskCount(), 3);
      EXPECT_EQ(reader_.MultiMode(), TMultiMode::mmBlocks);
      EXPECT_EQ(reader_.ArchiveComment(), "split comment");
    }
  }
}

// A split archive cannot be scanned for its local headers: a second record naming a header keeps
// out of the directory, so the header is listed, and read, once.
TEST_F(MultiPartReaderTest, ASecondRecordForOneHeaderIsLeftOut) {
  std::vector<archive_fixtures::RawEntry> entries = {
      {"a.txt", std::string(300, 'a')}, {"kopie.txt", std::string(300, 'a')}, {"c.txt", std::string(400, 'c')}};
  entries[1].headerOf = 0;
  const RawArchive raw = BuildStored(entries);
  reader_.SetZipName(WriteParts(SplitIntoParts(raw.bytes, {raw.localOffsets[2], raw.centralOffsets[1]}), ".003"));
  reader_.LoadDirectory();
  ASSERT_EQ(reader_.EntryCount(), 2);
  EXPECT_EQ(reader_.EntryName(0), "a.txt");
  EXPECT_EQ(reader_.EntryName(1), "c.txt");
  EXPECT_FALSE(reader_.Entry(0).Overlaps);
}

TEST_F(MultiPartReaderTest, AMissingPartEndsTheReadingAsCancelled) {
  const RawArchive& raw = kFiveEntries;
  const std::string last = WriteParts(SplitIntoParts(raw.bytes, {raw.localOffsets[2], raw.centralOffsets[3]}), ".003");
  std::remove((dir_ / "base.002").c_str());
  reader_.SetZipName(last);
  EXPECT_EQ(MessageOf<EUserCanceled>([&] { reader_.LoadDirectory(); }), "User canceled loading new disk.");
  EXPECT_EQ(reader_.EntryCount(), 0);
  EXPECT_EQ(reader_.ZipName(), "");

  // A handler that keeps naming the missing part can still be cancelled.
  reader_.SetZipName(last);
  reader_.OnGetNextDisk = [](int, std::string& name) { name = "base.002"; };
  int pumps = 0;
  SetMessagePump([&] {
    if (++pumps == 3) reader_.RequestCancel();
  });
  EXPECT_THROW(reader_.LoadDirectory(), EUserCanceled);
  SetMessagePump(nullptr);
  EXPECT_EQ(pumps, 3);
}

TEST_F(MultiPartReaderTest, TheFirstPartAloneIsAnError) {
  const RawArchive& raw = kFiveEntries;
  WriteParts(SplitIntoParts(raw.bytes, {raw.localOffsets[2], raw.centralOffsets[3]}), ".zip");
  reader_.SetZipName(dir_ / "base.001");
  EXPECT_THROW(reader_.LoadDirectory(), EIncompleteZip);
}

TEST_F(MultiPartReaderTest, NoPartBeyondTheLastIsAskedFor) {
  const RawArchive& raw = kFiveEntries;
  std::vector<std::string> parts = SplitIntoParts(raw.bytes, {raw.localOffsets[2], raw.centralOffsets[3]});
  RecordRequests([this](int n, std::string& name) { reader_.AskForDisk(n, name); });
  reader_.SetZipName(WriteParts(parts, ".003"));
  reader_.LoadDirectory();
  asked_.clear();
  EXPECT_THROW(reader_.SwitchDisk(4), EBadZipFile);
  EXPECT_THROW(reader_.SwitchDisk(0), EBadZipFile);
  EXPECT_TRUE(asked_.empty());

  // A directory said to be larger than it is runs into the end of the last part.
  std::string& last = parts.back();
  const std::size_t end = last.size() - 22 - std::string("split comment").size();
  last[end + 12] = static_cast<char>(last[end + 12] + 100);
  reader_.ClearArchive();
  reader_.SetZipName(WriteParts(parts, ".003"));
  EXPECT_THROW(reader_.LoadDirectory(), EBadZipFile);
  EXPECT_EQ(asked_, (std::vector<int>{2, 3}));
}

TEST_F(MultiPartReaderTest, SpannedDisksAreAskedForWithAQuestion) {
  testing_support::ScriptedPrompts prompts;
  reader_.SetMultiMode(TMultiMode::mmSpan);
  prompts.AnswerNext(PromptResult::Ok);
  prompts.AnswerNext(PromptResult::Cancel);
  std::string name = "A:\\backup.zip";
  reader_.AskForDisk(2, name);
  EXPECT_EQ(name, "A:\\backup.zip");
  reader_.AskForDisk(2, name);
  EXPECT_EQ(name, "");
  ASSERT_EQ(prompts.messages.size(), 2u);
  EXPECT_EQ(prompts.messages[0].text, "Please insert disk 2 of the multi-disk set.");
  EXPECT_EQ(prompts.messages[0].caption, "");
  EXPECT_EQ(prompts.messages[0].buttons, classlib::PromptButtons::OkCancel);
}

// A disk whose label does not end in the part's number is not taken, however often it is named.
TEST_F(MultiPartReaderTest, AWrongDiskLabelIsAskedAgain) {
  const std::string part = dir_ / "backup.zip";
  WriteFile(part, kFiveEntries.bytes);
  reader_.SetZipName(part);
  reader_.SetDiskCount(3);
  EXPECT_TRUE(reader_.DiskLabelMatches(2));
  reader_.SetMultiMode(TMultiMode::mmSpan);
  EXPECT_FALSE(reader_.DiskLabelMatches(2));
  int calls = 0;
  reader_.OnGetNextDisk = [&](int, std::string& name) {
    if (++calls == 3) name.clear();
  };
  EXPECT_THROW(reader_.SwitchDisk(2), EUserCanceled);
  EXPECT_EQ(calls, 3);
  reader_.SetCheckDiskLabels(false);
  ASSERT_NE(reader_.SwitchDisk(2), nullptr);
  EXPECT_EQ(reader_.ZipName(), part);
}

#ifndef _WIN32

TEST_F(MultiPartReaderTest, APeersArchiveSplitByHandListsAsPythonListsTheWhole) {
  TempDir src;
  std::string text;
  for (int i = 0; i < 4000; ++i) text += std::to_string(i * 7919) + " ";
  for (const char* name : {"one.txt", "two.txt", "three.txt", "four.txt"}) WriteFile(src / name, text + name);
  std::string output;
  ASSERT_EQ(peer_tools::Run("cd " + peer_tools::Quote(src.Path()) + " && zip -q -9 " +
                                peer_tools::Quote(dir_ / "peer.zip") + " one.txt two.txt three.txt four.txt",
                            output),
            0)
      << output;
  const std::string whole = testing_support::ReadFile(dir_ / "peer.zip");
  std::vector<Listed> python = archive_fixtures::PythonListing(dir_ / "peer.zip");
  std::vector<std::uint32_t> offsets;
  for (const Listed& e : python) offsets.push_back(e.headerOffset);
  std::sort(offsets.begin(), offsets.end());
  const std::uint32_t second = static_cast<std::uint32_t>(whole.find("PK\x01\x02", whole.find("PK\x01\x02") + 1));
  reader_.OnGetNextDisk = [this](int n, std::string& name) { LastPartIsTheZip(reader_, n, name); };
  reader_.SetZipName(WriteParts(SplitIntoParts(whole, {offsets[2] + 100, second + 20}), ".zip"));
  reader_.LoadDirectory();
  EXPECT_EQ(ReaderListing(reader_), python);
}

#endif

}  // namespace
