#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "classlib/clock.h"
#include "classlib/datetime.h"
#ifdef _WIN32
#include <windows.h>

#include "classlib/wide.h"
#endif
#include "classlib/exceptions.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/temp_dir.h"
#include "zip/fs.h"
#include "zip/fs_helpers.h"
#include "zip/numbers.h"
#include "zip/path_strings.h"

using namespace zip;
using testing_support::TempDir;

namespace {

// The engine's spelling of a test folder path.
std::string EnginePath(std::string host) {
  SlashesToBackslashes(host);
  return host;
}

}  // namespace

TEST(Numbers, PercentRoundsHalvesToEvenAndCapsAt100) {
  struct Case {
    std::int64_t part, whole;
    int expected;
  } cases[] = {
      {0, 0, 0},       {5, 0, 0},         {1, 8, 12},  // 12.5 -> 12
      {3, 8, 38},      // 37.5 -> 38
      {1, 3, 33},      {2, 3, 67},        {150, 100, 100},
      {-5, 100, 0},    {5, -100, 0},      {INT64_MAX / 2, INT64_MAX, 50},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Percent(c.part, c.whole), c.expected) << c.part << "/" << c.whole;
    if (c.part >= 0 && c.whole >= 0 && c.whole <= UINT32_MAX && c.part <= UINT32_MAX) {
      EXPECT_EQ(Percent(static_cast<std::uint32_t>(c.part), static_cast<std::uint32_t>(c.whole)), c.expected);
    }
  }
  // Sizes near the 32-bit limit must not overflow the product.
  EXPECT_EQ(Percent(std::uint32_t{0xFFFFFFFE}, std::uint32_t{0xFFFFFFFF}), 100);
  EXPECT_EQ(Percent(std::uint32_t{0x80000000}, std::uint32_t{0xFFFFFFFF}), 50);
}

TEST(PathStrings, CutsCountCharactersAndWildcardsAreRecognised) {
  EXPECT_EQ(LeftStr("abc", 5), "abc");
  EXPECT_EQ(RightStr("abc", 5), "abc");
  EXPECT_EQ(LeftStr("abc", 2), "ab");
  EXPECT_EQ(RightStr("abc", 2), "bc");
  EXPECT_EQ(LeftStr("äöü", 2), "äö");
  EXPECT_EQ(RightStr("äöü", 1), "ü");
  for (const char* s : {"*.txt", "a?", "d<0-9>", "x>y", "dir|"}) EXPECT_TRUE(HasWildcards(s)) << s;
  EXPECT_FALSE(HasWildcards("C:\\data\\[1].txt"));
  std::string name = "a\\b\\c";
  BackslashesToSlashes(name);
  EXPECT_EQ(name, "a/b/c");
  SlashesToBackslashes(name);
  EXPECT_EQ(name, "a\\b\\c");
  EXPECT_EQ(ExtractDrive("c:\\x\\y"), "c:");
  EXPECT_EQ(ExtractDrive("\\\\server\\share\\dir\\f"), "\\\\server\\share");
  EXPECT_EQ(ExtractDrive("relative\\f"), "");
}

TEST(FsHelpers, ConvertPathNamesKeepsTheShapeOfThePath) {
  // Components that do not exist stay as written; the shape rules hold on every host.
  EXPECT_EQ(ConvertPathNames("Q:nowhere\\file.txt"), "Q:\\nowhere\\file.txt");
  EXPECT_EQ(ConvertPathNames("\\nowhere\\deeper\\"), "\\nowhere\\deeper\\");
  EXPECT_EQ(ConvertPathNames("nowhere\\x"), "nowhere\\x");
}

#ifdef _WIN32
TEST(FsHelpers, ConvertPathNamesUsesShortNamesWhereTheHostHasThem) {
  TempDir dir;
  const std::string longName = dir / "A long folder name";
  ASSERT_TRUE(ForceDirectories(longName));
  const std::string shortName = fs::ShortNameOf(longName);
  const std::string converted = ConvertPathNames(longName + "\\");
  EXPECT_EQ(converted.back(), '\\');
  if (!shortName.empty()) {
    EXPECT_NE(converted.find(shortName), std::string::npos) << converted;
  }
}
#endif

TEST(FsHelpers, ForceDirectoriesCreatesEveryMissingLevel) {
  TempDir dir;
  const std::string deep = EnginePath(dir.Path()) + "\\one\\two\\three\\";
  EXPECT_TRUE(ForceDirectories(deep));
  EXPECT_TRUE(fs::DirectoryExists(deep.substr(0, deep.size() - 1)));
  EXPECT_TRUE(ForceDirectories(deep));  // already there
  testing_support::WriteFile(dir / "file", "x");
  EXPECT_FALSE(ForceDirectories(EnginePath(dir / "file") + "\\sub"));

  // Deeper than any file system goes: refused, however deep (an archive can name this).
  std::string absurd = EnginePath(dir.Path());
  for (int i = 0; i < 32000; ++i) absurd += "\\a";
  EXPECT_FALSE(ForceDirectories(absurd));
}

TEST(FsHelpers, RenameWithBackupReplacesTheTargetAndKeepsItOnFailure) {
  TempDir dir;
  const std::string source = EnginePath(dir / "new.zip"), target = EnginePath(dir / "old.zip");
  testing_support::WriteFile(dir / "new.zip", "new");
  testing_support::WriteFile(dir / "old.zip", "old");
  EXPECT_TRUE(RenameWithBackup(source, target));
  EXPECT_EQ(testing_support::ReadFile(dir / "old.zip"), "new");
  EXPECT_FALSE(fs::FileExists(source));
  EXPECT_FALSE(fs::FileExists(target + "$$$"));

  // A source that is gone: the old target must stay under its own name.
  EXPECT_FALSE(RenameWithBackup(source, target));
  EXPECT_EQ(testing_support::ReadFile(dir / "old.zip"), "new");
  EXPECT_FALSE(fs::FileExists(target + "$$$"));

  // Different drives are refused at once.
  EXPECT_FALSE(RenameWithBackup("C:\\a.zip", "D:\\a.zip"));

  // A backup left by an earlier crash neither blocks the rename nor is touched.
  testing_support::WriteFile(dir / "old.zip$$$", "left over");
  testing_support::WriteFile(dir / "newer.zip", "newer");
  EXPECT_TRUE(RenameWithBackup(EnginePath(dir / "newer.zip"), target));
  EXPECT_EQ(testing_support::ReadFile(dir / "old.zip"), "newer");
  EXPECT_EQ(testing_support::ReadFile(dir / "old.zip$$$"), "left over");

  // Where every name tried is taken (as for a device, whatever follows its name) the search ends,
  // and so does the rename, leaving both files as they were.
  for (int n = 1; n <= 100; ++n) testing_support::WriteFile(dir / ("old.zip$$$" + std::to_string(n)), "taken");
  testing_support::WriteFile(dir / "newest.zip", "newest");
  EXPECT_FALSE(RenameWithBackup(EnginePath(dir / "newest.zip"), target));
  EXPECT_EQ(testing_support::ReadFile(dir / "old.zip"), "newer");
  EXPECT_EQ(testing_support::ReadFile(dir / "newest.zip"), "newest");
}

TEST(FsHelpers, MoveOrCopyFileRenamesOnTheSameDrive) {
  TempDir dir;
  testing_support::WriteFile(dir / "a.txt", "payload");
  MoveOrCopyFile(EnginePath(dir / "a.txt"), EnginePath(dir / "b.txt"));
  EXPECT_FALSE(testing_support::FileExists(dir / "a.txt"));
  EXPECT_EQ(testing_support::ReadFile(dir / "b.txt"), "payload");
}

#ifdef _WIN32
// Wine maps the prefix to C: and the host's root to Z:, so a copy between them crosses drives.
TEST(FsHelpers, MoveOrCopyFileCopiesAcrossDrivesAndReportsAnEmptyCopy) {
  TempDir onC;
  const std::string zFolder = "Z:\\tmp\\orvanta-copy-" + std::to_string(GetCurrentProcessId());
  ASSERT_TRUE(ForceDirectories(zFolder));

  testing_support::WriteFile(onC / "full.txt", "payload");
  MoveOrCopyFile(EnginePath(onC / "full.txt"), zFolder + "\\full.txt");
  EXPECT_EQ(testing_support::ReadFile(zFolder + "\\full.txt"), "payload");
  EXPECT_TRUE(testing_support::FileExists(onC / "full.txt"));  // a copy keeps its source

  testing_support::ScriptedPrompts prompts;
  prompts.AnswerNext(classlib::PromptResult::Ok);
  testing_support::WriteFile(onC / "empty.txt", "");
  MoveOrCopyFile(EnginePath(onC / "empty.txt"), zFolder + "\\empty.txt");
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_NE(prompts.messages[0].text.find(" -> "), std::string::npos);
  EXPECT_TRUE(testing_support::FileExists(zFolder + "\\empty.txt"));

  fs::Delete(zFolder + "\\full.txt");
  fs::Delete(zFolder + "\\empty.txt");
  RemoveDirectoryW(classlib::Widen(zFolder).c_str());
}
#endif

TEST(FsHelpers, MakeTempFileNameCreatesAUniqueFileOrRaises) {
  TempDir dir;
  const std::string first = MakeTempFileName(EnginePath(dir.Path()));
  const std::string second = MakeTempFileName(EnginePath(dir.Path()));
  EXPECT_NE(first, second);
  EXPECT_TRUE(fs::FileExists(first));
  EXPECT_TRUE(fs::FileExists(second));
  EXPECT_NE(first.find("KPZ"), std::string::npos);
  EXPECT_THROW(MakeTempFileName(EnginePath(dir / "missing")), classlib::EFCreateError);
}

TEST(FsHelpers, FileDateTimeIsTheFilesDateOrNow) {
  TempDir dir;
  const classlib::TDateTime pinned = classlib::EncodeDate(2031, 5, 6) + classlib::EncodeTime(7, 8, 10, 0);
  classlib::SetClockForTesting([pinned] { return pinned; });
  EXPECT_DOUBLE_EQ(FileDateTime(EnginePath(dir / "missing.txt")), pinned);
  classlib::SetClockForTesting(nullptr);

  testing_support::WriteFile(dir / "present.txt", "x");
  const classlib::TDateTime written = FileDateTime(EnginePath(dir / "present.txt"));
  EXPECT_LT(std::abs(written - classlib::Now()), 1.0 / 24);  // within the hour, on DOS's 2 s grid
}
