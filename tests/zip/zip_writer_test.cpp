#include "zip/zip_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "tests/support/temp_dir.h"
#include "tests/zip/peer_tools.h"
#include "tests/zip/written_archive.h"
#include "classlib/format.h"
#include "zip/fs.h"
#include "zip/path_strings.h"

namespace {

using namespace zip;
using testing_support::Join;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;
using written_archive::ReadEntries;
using written_archive::ReadTree;
namespace fsys = std::filesystem;

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

std::string Text(std::size_t lines) {
  std::string text;
  for (std::size_t i = 0; i < lines; ++i) text += "Zeile " + std::to_string(i) + ": Sicherung der Daten\r\n";
  return text;
}

void MakeFolder(const std::string& path) { fsys::create_directories(fsys::u8path(path)); }

// The files below root, written with their folders.
void MakeTree(const std::string& root, const std::map<std::string, std::string>& files) {
  for (const auto& [name, content] : files) {
    std::string host = name;
#ifdef _WIN32
    SlashesToBackslashes(host);
#endif
    if (name.back() == '/') {
      MakeFolder(Join(root, host));
    } else {
      MakeFolder(fsys::path(fsys::u8path(Join(root, host))).parent_path().u8string());
      WriteFile(Join(root, host), content);
    }
  }
}

// The whole tree below root, with folder entries and paths relative to root.
void AddTree(TZipWriter& writer, const std::string& root) {
  writer.SetRootDir(root);
  writer.SetRelativePaths(true);
  writer.SetAddDirEntriesOnRecurse(true);
  writer.FilesList().Add(Join(root, "*.*"));
}

std::vector<std::string> Parts(const std::string& base, int count) {
  std::vector<std::string> parts;
  for (int i = 1; i <= count; ++i) parts.push_back(ChangeFileExt(base, classlib::Format(".%3.3d", i)));
  return parts;
}

std::int64_t FileSize(const std::string& name) { return static_cast<std::int64_t>(fsys::file_size(fsys::u8path(name))); }

bool Exists(const std::string& name) { return fsys::exists(fsys::u8path(name)); }

// ---------------------------------------------------------------- settings

TEST(ZipWriterSettings, PathSwitchesFollowEachOther) {
  TZipWriter writer;
  writer.SetRelativePaths(true);
  EXPECT_TRUE(writer.StorePaths());
  EXPECT_TRUE(writer.Recurse());
  writer.SetStorePaths(false);
  EXPECT_FALSE(writer.RelativePaths());
  EXPECT_TRUE(writer.Recurse());
  writer.SetStoreVolumes(true);
  EXPECT_TRUE(writer.StorePaths());
  writer.SetStorePaths(false);
  EXPECT_FALSE(writer.StoreVolumes());
}

TEST(ZipWriterSettings, AssignCopiesWritingSettingsAndMostHandlers) {
  TZipWriter source;
  source.SetPackLevel(9);
  source.SetDispose(true);
  source.SetZipAction(TZipAction::zaFreshen);
  source.MultiZipInfo().BlockSize = 1234;
  source.SetExcludeList({"*.tmp"});
  source.OnZipComplete = [](int) {};
  source.OnEncrypt = [](std::uint8_t*, int, const std::string&) {};
  TZipWriter target;
  target.Assign(source);
  EXPECT_EQ(target.PackLevel(), 9);
  EXPECT_TRUE(target.Dispose());
  EXPECT_EQ(target.ZipAction(), TZipAction::zaFreshen);
  EXPECT_EQ(target.MultiZipInfo().BlockSize, 1234);
  EXPECT_EQ(target.ExcludeList().Count(), 1);
  EXPECT_TRUE(target.OnZipComplete);
  EXPECT_FALSE(target.OnEncrypt);
}

TEST(ZipWriterSettings, LoadedPassesSplitModeToTheReaderSide) {
  TZipWriter writer;
  writer.MultiZipInfo().MultiMode = TMultiMode::mmBlocks;
  writer.MultiZipInfo().CheckDiskLabels = false;
  writer.Loaded();
  EXPECT_EQ(writer.MultiMode(), TMultiMode::mmBlocks);
  EXPECT_EQ(writer.TZipReader::MultiMode(), TMultiMode::mmBlocks);
  EXPECT_FALSE(writer.TZipReader::CheckDiskLabels());
}

TEST(ZipWriterSettings, MissingTempPathFallsBackToTheSystemFolder) {
  TempDir dir;
  TZipWriter writer;
  writer.SetTempPath(dir / "fehlt");
  EXPECT_EQ(writer.TempDirectory(), fs::SystemTempDirectory());
  writer.SetTempPath(dir.Path());
  EXPECT_EQ(writer.TempDirectory(), WithTrailingBackslash(dir.Path()));
}

// ---------------------------------------------------------------- new archives

// Empty, large incompressible, text, folders, German names, a name outside the OEM code page.
std::map<std::string, std::string> FixtureFiles() {
  return {{"leer.txt", ""},
          {"zufall.bin", RandomBytes(3 << 20, 1)},
          {"text.txt", Text(20000)},
          {"Ordner/Unterordner/tief.txt", Text(10)},
          {"Größe/Übersicht für März.txt", Text(3)},
          {"名前.txt", "x"},
          {"Leerer Ordner/", ""}};
}

#ifndef _WIN32
constexpr const char* kUndoLatin1Names = R"(
import os, sys
for top, dirs, files in os.walk(sys.argv[1].encode(), topdown=False):
    for n in dirs + files:
        raw = n.decode('latin-1').encode('cp850')
        try:
            name = raw.decode('utf-8')
        except UnicodeDecodeError:
            name = raw.decode('cp850')
        os.rename(os.path.join(top, n), os.path.join(top, name.encode()))
)";
#endif

struct LevelCase {
  int level;
  std::string password;
};

class NewArchive : public ::testing::TestWithParam<LevelCase> {
 protected:
  void SetUp() override {
    source_ = dir_ / "quelle";
    MakeTree(source_, FixtureFiles());
    archive_ = dir_ / "sicherung.zip";
  }
  TempDir dir_;
  std::string source_;
  std::string archive_;
};

TEST_P(NewArchive, HoldsTheTreeAndPeersAcceptIt) {
  TZipWriter writer;
  writer.SetZipName(archive_);
  writer.SetPackLevel(GetParam().level);
  writer.SetPassword(GetParam().password);
  AddTree(writer, source_);
  int completed = -1;
  writer.OnZipComplete = [&](int count) { completed = count; };
  const int count = writer.ArchiveFiles();

  const auto tree = ReadTree(source_);
  EXPECT_EQ(count, static_cast<int>(tree.size()));
  EXPECT_EQ(completed, count);
  EXPECT_EQ(writer.DiskCount(), 1);
  EXPECT_EQ(writer.EntryCount(), count);
  EXPECT_EQ(writer.FilesList().Count(), 0);
  EXPECT_EQ(ReadEntries({archive_}, GetParam().password), tree);

#ifndef _WIN32
  using peer_tools::Quote;
  using peer_tools::Run;
  std::string out;
  const std::string& pw = GetParam().password;
  const std::string unzipPw = pw.empty() ? "" : " -P " + Quote(pw);
  EXPECT_EQ(Run("unzip -t" + unzipPw + " " + Quote(archive_), out), 0) << out;
  EXPECT_EQ(Run("7z t -p" + Quote(pw) + " " + Quote(archive_), out), 0) << out;
  if (pw.empty()) {
    EXPECT_EQ(Run("python3 -m zipfile -t " + Quote(archive_), out), 0) << out;
  }
  const std::string py = dir_ / "py";
  EXPECT_EQ(Run("python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2], pwd=sys.argv[3].encode() or None)' " +
                    Quote(archive_) + " " + Quote(py) + " " + Quote(pw),
                out),
            0)
      << out;
  // Python reads names without the UTF-8 flag as code page 437, so only the file count can match.
  EXPECT_EQ(ReadTree(py).size(), tree.size());

  const std::string unpacked = dir_ / "unzip";
  EXPECT_EQ(Run("cd " + Quote(dir_.Path()) + " && LC_ALL=C.UTF-8 unzip -q" + unzipPw + " " + Quote(archive_) + " -d " +
                    Quote(unpacked),
                out),
            0)
      << out;
  // unzip on POSIX turns names of DOS-made entries from code page 850 into Latin-1 bytes, UTF-8
  // flagged ones included; undo that before comparing.
  EXPECT_EQ(Run("python3 -c " + Quote(kUndoLatin1Names) + " " + Quote(unpacked), out), 0) << out;
  EXPECT_EQ(Run("diff -r " + Quote(source_) + " " + Quote(unpacked), out), 0) << out;
  for (const auto& [name, content] : tree) {
    if (name.back() == '/') continue;
    const auto original = fsys::last_write_time(fsys::u8path(Join(source_, name)));
    const auto restored = fsys::last_write_time(fsys::u8path(Join(unpacked, name)));
    EXPECT_LE(std::chrono::abs(original - restored), std::chrono::seconds(2)) << name;
  }
#endif
}

INSTANTIATE_TEST_SUITE_P(LevelsAndPasswords, NewArchive,
                         ::testing::Values(LevelCase{0, ""}, LevelCase{2, ""}, LevelCase{6, ""}, LevelCase{9, ""},
                                           LevelCase{0, "Geheim"}, LevelCase{2, "Geheim"}, LevelCase{6, "Geheim"},
                                           LevelCase{9, "Geheim"}));

}  // namespace
