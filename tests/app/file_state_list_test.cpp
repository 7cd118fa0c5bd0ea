#include <windows.h>

#include <gtest/gtest.h>

#include "app/file_state_list.h"
#include "classlib/format.h"
#include "classlib/wide.h"
#include "tests/app/app_fixture.h"
#include "tests/support/host_python.h"

using namespace app;
using namespace app_testing;
using testing_support::ReadFile;
using testing_support::WriteFile;

namespace {

// The format as an outside reader sees it: every record in file order, path and date in hex.
const char kReadStateFile[] = R"(import struct, sys
data = open(sys.argv[1], 'rb').read()
count, reserved = struct.unpack_from('<iI', data, 0)
assert len(data) == 8 + 268 * count, len(data)
for i in range(count):
    path, date = struct.unpack_from('<261s3xI', data, 8 + 268 * i)
    assert b'\0' in path
    print('%s|%08x' % (path.split(b'\0')[0].decode('cp1252'), date))
)";

// Writes a state file as another program might: junk after each NUL, in the padding and in the
// reserved header field.
const char kWriteStateFile[] = R"(import struct, sys
records = [(b'C:\\Daten\\a.txt', 0x58452c8f), (b'C:\\Daten\\B.TXT', 0x58462d00), (b'C:\\Daten\\\xe4rger.doc', 1)]
out = struct.pack('<iI', len(records), 0xdeadbeef)
for path, date in records:
    out += struct.pack('<261s3sI', (path + b'\0').ljust(261, b'\xcc'), b'\xcc\xcc\xcc', date)
open(sys.argv[1], 'wb').write(out)
)";

std::string Header(std::int32_t count) {
  std::string bytes(8, '\0');
  const auto value = static_cast<std::uint32_t>(count);
  for (std::size_t i = 0; i < 4; ++i) bytes[i] = static_cast<char>(value >> (8 * i));
  return bytes;
}

std::string Record(const std::string& path, std::uint32_t date) {
  std::string record = path;
  record.resize(kStateRecordSize, '\0');
  for (int i = 0; i < 4; ++i) record[264 + static_cast<std::size_t>(i)] = static_cast<char>(date >> (8 * i));
  return record;
}

}  // namespace

class FileStates : public AppFixture {};

TEST_F(FileStates, WrittenStateFileReadsBackThroughAnOutsideParser) {
  ASSERT_EQ(GetACP(), 1252u);
  const char* names[] = {"Zebra.txt", "b.txt", "a_b.txt", "ärger.txt", "AAB.txt", "aa.txt"};
  classlib::TStringList files;
  for (int i = 0; i < 6; ++i) files.Add(MakeFile(names[i], DosTime(2024, 1, 10 + i, 9, 30)));
  int done = 0;
  TLogData list = TakeFileStates(files, [&](int n) { done = n; });
  EXPECT_EQ(done, 6);
  const std::string stateFile = StateFileName("Büro");
  EXPECT_EQ(stateFile, dir / "Logs\\Büro.ini");
  ASSERT_TRUE(SaveFileStates(stateFile, list));
  EXPECT_FALSE(testing_support::FileExists(stateFile + ".tmp"));

  std::string output;
  ASSERT_TRUE(testing_support::RunHostPython(kReadStateFile, {testing_support::HostPath(stateFile)}, output)) << output;
  // Letters fold to capitals, so "_" sorts after them; "ä" is a byte above every ASCII letter.
  std::string expected;
  for (int i : {5, 4, 2, 1, 0, 3})
    expected += classlib::Format("%s|%08x\n", files[i].c_str(), DosTime(2024, 1, 10 + i, 9, 30));
  EXPECT_EQ(output, expected);
}

TEST_F(FileStates, StateFileOfAnotherWriterIsRead) {
  const std::string stateFile = dir / "fremd.ini";
  std::string output;
  ASSERT_TRUE(testing_support::RunHostPython(kWriteStateFile, {testing_support::HostPath(stateFile)}, output))
      << output;
  TLogData list;
  ASSERT_TRUE(LoadFileStates(stateFile, list));
  const TLogData expected = {
      {"C:\\Daten\\a.txt", 0x58452c8f}, {"C:\\Daten\\B.TXT", 0x58462d00}, {"C:\\Daten\\\xe4rger.doc", 1}};
  EXPECT_EQ(list, expected);
  EXPECT_EQ(FindFileState("c:\\daten\\b.txt", list), 1);  // letter case does not matter
  EXPECT_EQ(FindFileState("C:\\Daten\\ärger.doc", list), 2);
  EXPECT_EQ(FindFileState("C:\\Daten\\c.txt", list), -1);
}

TEST_F(FileStates, DamagedStateFilesCountAsAbsent) {
  const std::string two = Record("C:\\a", 5) + Record("C:\\b", 6);
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"shorter than its header", std::string(7, '\0')},
      {"cut short", Header(3) + two},
      {"last record cut", Header(2) + two.substr(0, two.size() - 1)},
      {"negative count", Header(-1) + two},
      {"count far beyond the file", Header(0x7FFFFFFF) + two},
      {"path without its NUL", Header(1) + std::string(261, 'x') + std::string(7, '\0')},
  };
  for (const auto& c : cases) {
    WriteFile(dir / "kaputt.ini", c.bytes);
    TLogData list = {{"C:\\alt", 1}};
    EXPECT_FALSE(LoadFileStates(dir / "kaputt.ini", list)) << c.what;
    EXPECT_TRUE(list.empty()) << c.what;
  }
  TLogData list;
  EXPECT_FALSE(LoadFileStates(dir / "fehlt.ini", list));
  WriteFile(dir / "lang.ini", Header(1) + two);  // more bytes than the count needs are ignored
  EXPECT_TRUE(LoadFileStates(dir / "lang.ini", list));
  EXPECT_EQ(list.size(), 1u);
}

TEST_F(FileStates, SavingNeverLeavesHalfAFile) {
  const std::string stateFile = dir / "job.ini";
  TLogData first = {{"C:\\a", 1}};
  ASSERT_TRUE(SaveFileStates(stateFile, first));
  const std::string before = ReadFile(stateFile);

  TLogData empty;
  EXPECT_TRUE(SaveFileStates(stateFile, empty));  // an empty list keeps the old file
  EXPECT_EQ(ReadFile(stateFile), before);

  TLogData second = {{"C:\\b", 2}, {"C:\\a", 3}};
  {
    LockedFile locked(stateFile);
    EXPECT_FALSE(SaveFileStates(stateFile, second));
  }
  EXPECT_EQ(ReadFile(stateFile), before);
  EXPECT_FALSE(testing_support::FileExists(stateFile + ".tmp"));

  ASSERT_TRUE(SaveFileStates(stateFile, second));
  TLogData loaded;
  ASSERT_TRUE(LoadFileStates(stateFile, loaded));
  EXPECT_EQ(loaded, (TLogData{{"C:\\a", 3}, {"C:\\b", 2}}));
}

TEST_F(FileStates, PathsTheRecordCannotHoldAreLeftOutNotCut) {
  TLogData list;
  const std::string fits = "C:\\" + std::string(257, 'a');
  EXPECT_TRUE(AddFileState(list, fits, 1));
  EXPECT_FALSE(AddFileState(list, fits + "b", 2));                  // 261 bytes
  EXPECT_FALSE(AddFileState(list, "C:\\Ωμέγα.txt", 3));              // no Windows-1252 form
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(FindFileState(fits, list), 0);
  EXPECT_EQ(FindFileState("C:\\Ωμέγα.txt", list), -1);
  EXPECT_EQ(FindFileState(fits + "b", list), -1);
}

TEST_F(FileStates, ComparisonFoldsOnlyAsciiLetters) {
  const struct {
    const char* a;
    const char* b;
    int order;
  } cases[] = {
      {"abc", "ABC", 0}, {"abc", "abd", -1}, {"ab", "abc", -1}, {"aab", "a_b", -1},  // "_" is above "A"
      {"Z", "\xe4", -1}, {"\xe4", "\xc4", 1},                                       // other bytes by value, unfolded
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CompareStatePaths(c.a, c.b), c.order) << c.a << " " << c.b;
    EXPECT_EQ(CompareStatePaths(c.b, c.a), -c.order) << c.b << " " << c.a;
  }
}

TEST_F(FileStates, FileDatesAreReadAlsoFromFilesOthersHoldOpen) {
  const std::string file = MakeFile("offen.txt", DosTime(2023, 7, 1, 12, 0));
  {
    LockedFile locked(file);
    EXPECT_EQ(GetFileDate(file), DosTime(2023, 7, 1, 12, 0));
  }
  EXPECT_EQ(GetFileDate(dir / "fehlt.txt"), 0u);

  // Deeper than MAX_PATH, made through the long form so that it exists on any Windows.
  std::string deep = dir.Path();
  while (deep.size() < 300) {
    deep += "\\" + std::string(40, 'd');
    CreateDirectoryW(classlib::Widen("\\\\?\\" + deep).c_str(), nullptr);
  }
  const std::string longFile = deep + "\\tief.txt";
  const std::wstring longForm = classlib::Widen("\\\\?\\" + longFile);
  const HANDLE h = CreateFileW(longForm.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  EXPECT_NE(GetFileDate(longFile), 0u);
}
