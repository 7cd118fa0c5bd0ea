#include "zip/zip_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "tests/support/temp_dir.h"
#include "tests/zip/archive_fixtures.h"
#include "tests/zip/peer_tools.h"
#include "tests/zip/written_archive.h"
#include "classlib/format.h"
#include "zip/fs.h"
#include "zip/numbers.h"
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

// ---------------------------------------------------------------- split archives

std::map<std::string, std::string> SmallTree() {
  return {{"a.txt", Text(300)}, {"b.bin", RandomBytes(20000, 2)}, {"c/d.txt", "kurz"}, {"c/leer.txt", ""}};
}

struct SplitCase {
  std::int32_t first;
  std::int32_t block;
};

class SplitArchive : public ::testing::Test {
 protected:
  SplitArchive() {
    source_ = dir_ / "quelle";
    MakeTree(source_, SmallTree());
    archive_ = dir_ / "teile.zip";
  }
  // Sets the writer up to write the tree as numbered parts of the given sizes.
  void PrepareSet(TZipWriter& writer, SplitCase sizes) {
    writer.SetZipName(archive_);
    writer.MultiZipInfo().MultiMode = TMultiMode::mmBlocks;
    writer.MultiZipInfo().FirstBlockSize = sizes.first;
    writer.MultiZipInfo().BlockSize = sizes.block;
    AddTree(writer, source_);
  }
  // Writes the set and checks the parts; returns their names.
  std::vector<std::string> WriteSet(SplitCase sizes, const std::string& password = {}) {
    TZipWriter writer;
    writer.SetPassword(password);
    PrepareSet(writer, sizes);
    writer.ArchiveFiles();
    const int count = writer.DiskCount();
    std::vector<std::string> parts = count == 1 ? std::vector<std::string>{archive_} : Parts(archive_, count);
    if (count > 1) {
      EXPECT_EQ(writer.ZipName(), parts.back());
    }
    if (count == 1) {
      EXPECT_FALSE(Exists(Parts(archive_, 1)[0]));
    }
    EXPECT_FALSE(Exists(Parts(archive_, count + 1).back()));
    for (std::size_t i = 0; i < parts.size(); ++i) {
      EXPECT_TRUE(Exists(parts[i])) << parts[i];
      EXPECT_LE(FileSize(parts[i]), i == 0 ? sizes.first : sizes.block) << parts[i];
      EXPECT_GT(FileSize(parts[i]), 0) << parts[i];
    }
    EXPECT_EQ(ReadEntries(parts, password), ReadTree(source_));
    return parts;
  }
  // Local header offsets of an unsplit archive of the same tree: split sizes that end on them.
  std::vector<std::int32_t> HeaderOffsets() {
    TZipWriter writer;
    const std::string whole = dir_ / "ganz.zip";
    writer.SetZipName(whole);
    AddTree(writer, source_);
    writer.ArchiveFiles();
    std::vector<std::int32_t> offsets;
    const std::string bytes = ReadFile(whole);
    for (std::size_t at = 0; (at = bytes.find("PK\x03\x04", at)) != std::string::npos; ++at)
      offsets.push_back(static_cast<std::int32_t>(at));
    offsets.push_back(static_cast<std::int32_t>(bytes.find("PK\x01\x02")));
    return offsets;
  }
  TempDir dir_;
  std::string source_;
  std::string archive_;
};

TEST_F(SplitArchive, PartsStayWithinTheirSizesAtEveryCut) {
  std::vector<SplitCase> cases = {{1000, 500}, {4096, 4096}, {30000, 2000}, {1 << 20, 1 << 20}};
  // Parts that end exactly on a header, one byte before and one after.
  for (std::int32_t offset : HeaderOffsets()) {
    if (offset < 100) continue;
    for (int delta = -1; delta <= 1; ++delta) cases.push_back({offset + delta, 3000});
  }
  for (const SplitCase& sizes : cases) {
    SCOPED_TRACE(::testing::Message() << sizes.first << "/" << sizes.block);
    WriteSet(sizes);
    for (int i = 1; i <= 60; ++i) fsys::remove(fsys::u8path(Parts(archive_, i).back()));
    fsys::remove(fsys::u8path(archive_));
  }
}

TEST_F(SplitArchive, EncryptedEntriesSplitAsWell) { WriteSet({5000, 3000}, "Geheim"); }

// The writer holds the directory as if it had read it from the last part, so it extracts the
// set it wrote.
TEST_F(SplitArchive, TheWriterExtractsTheSetItWrote) {
  TZipWriter writer;
  PrepareSet(writer, {7000, 6000});
  const int written = writer.ArchiveFiles();
  ASSERT_EQ(writer.DiskCount(), 4);
  const std::string dest = dir_ / "ziel";
  MakeFolder(dest);
  writer.SetDestDir(dest);
  writer.SetDoAll(true);
  writer.SetRecreateDirs(true);
  int bad = 0;
  writer.OnBadCRC = [&](std::uint32_t, std::uint32_t, int) { ++bad; };
  EXPECT_EQ(writer.ExtractMatching(), written);
  EXPECT_EQ(bad, 0);
  EXPECT_EQ(ReadTree(dest), ReadTree(source_));
}

#ifndef _WIN32
TEST_F(SplitArchive, InfoZipJoinsTheSetOnceRenamed) {
  using peer_tools::Quote;
  const std::vector<std::string> parts = WriteSet({7000, 6000});
  ASSERT_GE(parts.size(), 3u);
  const std::string base = dir_ / "iz";
  for (std::size_t i = 0; i + 1 < parts.size(); ++i)
    fsys::copy_file(parts[i], base + classlib::Format(".z%02d", static_cast<int>(i + 1)));
  fsys::copy_file(parts.back(), base + ".zip");
  std::string out;
  const std::string joined = dir_ / "joined.zip";
  ASSERT_EQ(peer_tools::Run("zip -q -s 0 " + Quote(base + ".zip") + " --out " + Quote(joined), out), 0) << out;
  EXPECT_EQ(peer_tools::Run("unzip -t " + Quote(joined), out), 0) << out;
}
#endif

TEST_F(SplitArchive, OnePartReplacesAnExistingArchiveOfTheFinalName) {
  WriteFile(archive_, "alt");
  const auto parts = WriteSet({1 << 20, 1 << 20});
  EXPECT_EQ(parts, std::vector<std::string>{archive_});
}

TEST_F(SplitArchive, UnusablePartSizesAreRefusedAndLeaveNothing) {
  for (const SplitCase sizes : {SplitCase{0, 500}, SplitCase{500, -1}, SplitCase{20, 500}, SplitCase{1000, 20}}) {
    SCOPED_TRACE(::testing::Message() << sizes.first << "/" << sizes.block);
    TZipWriter writer;
    PrepareSet(writer, sizes);
    EXPECT_THROW(writer.ArchiveFiles(), classlib::Exception);
    EXPECT_EQ(writer.DiskCount(), 1);
    EXPECT_EQ(fsys::directory_iterator(fsys::u8path(dir_.Path()), {}) == fsys::directory_iterator(), false);
    for (const auto& item : fsys::directory_iterator(fsys::u8path(dir_.Path())))
      EXPECT_EQ(item.path().filename().u8string(), "quelle");
  }
}

TEST_F(SplitArchive, AThousandthPartIsRefused) {
  MakeTree(source_, {{"gross.bin", RandomBytes(120000, 4)}});
  TZipWriter writer;
  PrepareSet(writer, {100, 100});
  EXPECT_THROW(writer.ArchiveFiles(), EZipTooLarge);
  EXPECT_FALSE(Exists(Parts(archive_, 1)[0]));
  EXPECT_FALSE(Exists(Parts(archive_, 999).back()));
}

TEST_F(SplitArchive, FirstDiskReserveDoesNotGrowFromRunToRun) {
  TZipWriter writer;
  writer.MultiZipInfo().MultiMode = TMultiMode::mmBlocks;
  writer.MultiZipInfo().SaveZipInfoOnFirstDisk = true;
  writer.MultiZipInfo().SaveOnFirstDisk = 10;
  for (int run = 0; run < 2; ++run) {
    writer.SetZipName(archive_);
    writer.FilesList().Add(Join(source_, "a.txt"));
    writer.ArchiveFiles();
  }
  EXPECT_EQ(writer.MultiZipInfo().SaveOnFirstDisk, 10);
}

// A spanned set on a fake drive of 4000 free bytes per disk, each disk a folder of its own.
class FakeDriveWriter : public TZipWriter {
 protected:
  std::int64_t FreeSpaceOf(const std::string&) const override { return 4000; }
};

TEST_F(SplitArchive, SpannedDisksAreAskedForAndFilledToTheirRoom) {
  FakeDriveWriter writer;
  writer.SetZipName(archive_);
  writer.MultiZipInfo().MultiMode = TMultiMode::mmSpan;
  AddTree(writer, source_);
  std::vector<std::string> disks{archive_};
  std::vector<int> prepared;
  writer.OnGetNextDisk = [&](int next, std::string& name) {
    const std::string folder = dir_ / ("disk" + std::to_string(next));
    MakeFolder(folder);
    name = Join(folder, "teile.zip");
    disks.push_back(name);
  };
  writer.OnPrepareNextDisk = [&](int disk) { prepared.push_back(disk); };
  writer.ArchiveFiles();
  EXPECT_EQ(writer.DiskCount(), static_cast<int>(disks.size()));
  ASSERT_GE(disks.size(), 3u);
  for (std::size_t i = 0; i < disks.size(); ++i) {
    EXPECT_LE(FileSize(disks[i]), 4000);
    if (i > 0) {
      EXPECT_EQ(prepared[i - 1], static_cast<int>(i + 1));
    }
  }
}

TEST_F(SplitArchive, AnEmptyNameForTheNextDiskCancelsAndRemovesThePart) {
  FakeDriveWriter writer;
  writer.SetZipName(archive_);
  writer.MultiZipInfo().MultiMode = TMultiMode::mmSpan;
  AddTree(writer, source_);
  writer.OnGetNextDisk = [](int, std::string& name) { name.clear(); };
  EXPECT_THROW(writer.ArchiveFiles(), EUserCanceled);
  EXPECT_FALSE(Exists(archive_));
}

// ---------------------------------------------------------------- updates

class Update : public ::testing::Test {
 protected:
  Update() {
    source_ = dir_ / "quelle";
    MakeTree(source_, {{"alt.txt", Text(50)}, {"neu.txt", "erste Fassung"}, {"a/x.txt", "aus a"}, {"b/x.txt", "aus b"}});
    archive_ = dir_ / "sicherung.zip";
    SetAge("alt.txt", 100);
    SetAge("neu.txt", 100);
    writer_.SetZipName(archive_);
    writer_.SetRootDir(source_);
    writer_.SetRelativePaths(true);
  }
  void SetAge(const std::string& name, int hours) {
    fsys::last_write_time(fsys::u8path(Join(source_, name)), fsys::file_time_type::clock::now() - std::chrono::hours(hours));
  }
  void Add(std::initializer_list<std::string> names) {
    for (const std::string& name : names) writer_.FilesList().Add(Join(source_, name));
  }
  TempDir dir_;
  std::string source_;
  std::string archive_;
  TZipWriter writer_;
};

TEST_F(Update, KeepsUnchangedEntriesAndReplacesNewerFiles) {
  Add({"alt.txt", "neu.txt"});
  writer_.ArchiveFiles();
  WriteFile(Join(source_, "neu.txt"), "zweite Fassung");
  SetAge("neu.txt", 1);
  std::vector<std::pair<TUpdateAction, int>> updates;
  writer_.OnUpdate = [&](TUpdateAction action, int index) { updates.emplace_back(action, index); };
  bool infoSeen = false;
  writer_.OnStartZipInfo = [&](int count, std::int64_t, TEndCentral&, bool&) {
    infoSeen = true;
    EXPECT_EQ(count, 1);  // only the new file is left
  };
  Add({"alt.txt", "neu.txt", "a/x.txt"});
  EXPECT_EQ(writer_.ArchiveFiles(), 2);
  EXPECT_TRUE(infoSeen);
  EXPECT_EQ(updates, (std::vector<std::pair<TUpdateAction, int>>{{TUpdateAction::uaKeeping, 0}, {TUpdateAction::uaReplacing, 1}}));
  const auto entries = ReadEntries({archive_});
  EXPECT_EQ(entries.at("neu.txt"), "zweite Fassung");
  EXPECT_EQ(entries.at("alt.txt"), Text(50));
  EXPECT_EQ(entries.at("a/x.txt"), "aus a");
  EXPECT_EQ(writer_.EntryPath(0), "alt.txt");
}

TEST_F(Update, AFileOutsideTheRootDoesNotReplaceAnUnrelatedEntry) {
  writer_.SetRootDir(Join(source_, "a"));
  Add({"a/x.txt"});
  writer_.ArchiveFiles();
  Add({"b/x.txt"});
  writer_.SetZipAction(TZipAction::zaReplace);
  writer_.ArchiveFiles();
  const auto entries = ReadEntries({archive_});
  EXPECT_EQ(entries.at("x.txt"), "aus a");
  EXPECT_EQ(entries.size(), 2u);
}

TEST_F(Update, AReplacingFileThatIsNotWrittenKeepsTheOldEntry) {
  Add({"neu.txt"});
  writer_.ArchiveFiles();
  writer_.SetZipAction(TZipAction::zaReplace);
  writer_.OnStartZip = [](const std::string&, TZipHeaderInfo&, bool& skip) { skip = true; };
  Add({"neu.txt"});
  EXPECT_EQ(writer_.ArchiveFiles(), 0);
  EXPECT_EQ(ReadEntries({archive_}).at("neu.txt"), "erste Fassung");
}

TEST_F(Update, DisposeDeletesOnlySourcesWhoseContentIsInTheArchive) {
  Add({"alt.txt"});
  writer_.ArchiveFiles();
  SetAge("alt.txt", 200);  // older than its entry: the archive holds other content
  writer_.SetDispose(true);
  Add({"alt.txt", "neu.txt"});
  writer_.ArchiveFiles();
  EXPECT_TRUE(Exists(Join(source_, "alt.txt")));
  EXPECT_FALSE(Exists(Join(source_, "neu.txt")));
}

TEST_F(Update, ASplitArchiveIsNotUpdated) {
  TZipWriter split;
  split.SetZipName(archive_);
  split.MultiZipInfo().MultiMode = TMultiMode::mmBlocks;
  split.MultiZipInfo().FirstBlockSize = 200;
  split.MultiZipInfo().BlockSize = 200;
  split.FilesList().Add(Join(source_, "alt.txt"));
  split.ArchiveFiles();
  ASSERT_GT(split.DiskCount(), 1);
  const std::string last = split.ZipName();
  const std::string before = ReadFile(last);
  writer_.SetZipName(last);
  Add({"neu.txt"});
  EXPECT_THROW(writer_.ArchiveFiles(), EBadZipFile);
  EXPECT_TRUE(ReadFile(last) == before);
  EXPECT_EQ(writer_.MultiMode(), TMultiMode::mmNone);
}

#ifndef _WIN32
TEST_F(Update, KeptEntriesWithADataDescriptorStayReadable) {
  std::string out;
  // Info-ZIP writes descriptors when it writes to a pipe.
  ASSERT_EQ(peer_tools::Run("cd " + peer_tools::Quote(source_) + " && zip -q - alt.txt > " + peer_tools::Quote(archive_), out), 0);
  Add({"neu.txt"});
  writer_.ArchiveFiles();
  EXPECT_EQ(peer_tools::Run("unzip -t " + peer_tools::Quote(archive_), out), 0) << out;
  EXPECT_EQ(peer_tools::Run("python3 -m zipfile -t " + peer_tools::Quote(archive_), out), 0) << out;
  EXPECT_EQ(ReadEntries({archive_}).at("alt.txt"), Text(50));
}

// Kept entries of a peer's archive keep their extra fields and their names, update after update:
// the extra fields are found again in the directory the first update wrote, and the name that a
// Unix zip stored as raw UTF-8 bytes is written back as those bytes (now marked as UTF-8).
TEST_F(Update, KeptEntriesOfAPeerStayAsTheyWereThroughRepeatedUpdates) {
  WriteFile(Join(source_, "Größe.txt"), "umlaut");
  std::string out;
  ASSERT_EQ(peer_tools::Run("cd " + peer_tools::Quote(source_) + " && LC_ALL=C.UTF-8 zip -q " +
                                peer_tools::Quote(archive_) + " alt.txt Größe.txt",
                            out),
            0)
      << out;
  const std::string extras =
      "import sys, zipfile\n"
      "for i in zipfile.ZipFile(sys.argv[1]).infolist()[:2]: print(i.extra.hex())";
  const std::string before = archive_fixtures::RunPython(extras, {archive_});
  for (const char* name : {"neu.txt", "a/x.txt"}) {
    Add({name});
    writer_.ArchiveFiles();
  }
  EXPECT_EQ(archive_fixtures::RunPython(extras, {archive_}), before);
  EXPECT_EQ(archive_fixtures::RunPython("import sys, zipfile\nprint(zipfile.ZipFile(sys.argv[1]).namelist()[1])", {archive_}),
            "Größe.txt\n");
  EXPECT_EQ(peer_tools::Run("unzip -t " + peer_tools::Quote(archive_), out), 0) << out;
  EXPECT_EQ(ReadEntries({archive_}).at("Größe.txt"), "umlaut");
}
#endif

TEST_F(Update, AFolderNamedInTheListIsPassedOver) {
  Add({"alt.txt", "a"});
  EXPECT_EQ(writer_.ArchiveFiles(), 1);
  EXPECT_EQ(ReadEntries({archive_}).size(), 1u);
}

// ---------------------------------------------------------------- faults

// Writes fail once the file holds limit bytes.
class LimitedFile : public THugeFileStream {
 public:
  LimitedFile(const std::string& name, std::int64_t limit) : THugeFileStream(name, fs::kCreate), limit_(limit) {}
  std::int64_t Write(const void* buffer, std::int64_t count) override {
    const std::int64_t room = Max64(0, limit_ - Position());
    return THugeFileStream::Write(buffer, Min64(count, room));
  }

 private:
  std::int64_t limit_;
};

class LimitedOutput : public TBufferStream {
 public:
  LimitedOutput(const std::string& name, std::int64_t limit)
      : TBufferStream(std::make_unique<LimitedFile>(name, limit), 8192, false) {}
};

class FullDiskWriter : public TZipWriter {
 public:
  std::int64_t limit = 0;

 protected:
  std::unique_ptr<TBufferStream> CreateOutput(const std::string& name) override {
    return std::make_unique<LimitedOutput>(name, limit);
  }
};

class Faults : public ::testing::Test {
 protected:
  Faults() {
    source_ = dir_ / "quelle";
    temp_ = dir_ / "temp";
    MakeFolder(temp_);
    MakeTree(source_, {{"eins.txt", Text(100)}, {"zwei.bin", RandomBytes(50000, 3)}, {"drei.txt", Text(2000)}});
    archive_ = dir_ / "sicherung.zip";
  }
  void Prepare(TZipWriter& writer) {
    writer.SetZipName(archive_);
    writer.SetTempPath(temp_);
    writer.FilesList().Add(Join(source_, "eins.txt"));
    writer.FilesList().Add(Join(source_, "zwei.bin"));
    writer.FilesList().Add(Join(source_, "drei.txt"));
  }
  void WriteOldArchive() {
    TZipWriter writer;
    writer.SetZipName(archive_);
    writer.FilesList().Add(Join(source_, "eins.txt"));
    writer.ArchiveFiles();
    old_ = ReadFile(archive_);
    MakeTree(source_, {{"eins.txt", "geändert"}});
    fsys::last_write_time(fsys::u8path(Join(source_, "eins.txt")),
                          fsys::file_time_type::clock::now() + std::chrono::hours(1));
  }
  bool TempEmpty() const { return fsys::is_empty(fsys::u8path(temp_)); }
  TempDir dir_;
  std::string source_;
  std::string temp_;
  std::string archive_;
  std::string old_;
};

TEST_F(Faults, AFullDiskLeavesNoArchiveAndTheOldOneIntact) {
  for (const bool update : {false, true}) {
    for (const std::int64_t limit : {0, 100, 9000, 40000}) {
      SCOPED_TRACE(::testing::Message() << (update ? "update " : "new ") << limit);
      if (update) WriteOldArchive();
      FullDiskWriter writer;
      writer.limit = limit;
      Prepare(writer);
      EXPECT_THROW(writer.ArchiveFiles(), classlib::Exception);
      EXPECT_EQ(Exists(archive_), update);
      if (update) {
        EXPECT_TRUE(ReadFile(archive_) == old_);
      }
      EXPECT_TRUE(TempEmpty());
      EXPECT_EQ(writer.FilesList().Count(), 0);
      fsys::remove(fsys::u8path(archive_));
    }
  }
}

TEST_F(Faults, TheFinalFlushFailingIsReported) {
  FullDiskWriter sizer;
  sizer.limit = 1 << 30;
  Prepare(sizer);
  sizer.ArchiveFiles();
  const std::int64_t size = FileSize(archive_);
  fsys::remove(fsys::u8path(archive_));
  FullDiskWriter writer;
  writer.limit = size - 10;  // the central directory's last bytes
  Prepare(writer);
  EXPECT_THROW(writer.ArchiveFiles(), ENotEnoughRoom);
  EXPECT_FALSE(Exists(archive_));
}

TEST_F(Faults, ACancelDuringTheThirdFileRemovesTheOutput) {
  for (const bool update : {false, true}) {
    SCOPED_TRACE(update ? "update" : "new");
    if (update) WriteOldArchive();
    TZipWriter writer;
    Prepare(writer);
    int started = 0;
    bool completed = false;
    writer.OnStartZip = [&](const std::string&, TZipHeaderInfo&, bool&) { ++started; };
    writer.OnFilePercentDone = [&](int) {
      if (started == 3) writer.RequestCancel();
    };
    writer.OnZipComplete = [&](int) { completed = true; };
    EXPECT_THROW(writer.ArchiveFiles(), EUserCanceled);
    EXPECT_FALSE(completed);
    EXPECT_EQ(Exists(archive_), update);
    if (update) {
      EXPECT_TRUE(ReadFile(archive_) == old_);
    }
    EXPECT_TRUE(TempEmpty());
    EXPECT_EQ(writer.FilesList().Count(), 0);
  }
}

TEST_F(Faults, StopNowFromStartZipInfoCancels) {
  TZipWriter writer;
  Prepare(writer);
  writer.OnStartZipInfo = [](int, std::int64_t, TEndCentral&, bool& stop) { stop = true; };
  EXPECT_THROW(writer.ArchiveFiles(), EUserCanceled);
  EXPECT_FALSE(Exists(archive_));
}

TEST_F(Faults, AnUnreadableFileIsReportedAndLeftOut) {
  const std::string locked = Join(source_, "zwei.bin");
#ifdef _WIN32
  const fs::Handle holder = fs::Open(locked, fs::kOpenRead | fs::kShareExclusive);
#else
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
  fsys::permissions(fsys::u8path(locked), fsys::perms::none);
#endif
  TZipWriter writer;
  Prepare(writer);
  std::vector<std::string> skipped;
  writer.OnSkippingFile = [&](TSkipReason reason, const std::string& name, int index, bool& retry) {
    EXPECT_EQ(reason, TSkipReason::srFileOpenError);
    EXPECT_EQ(index, -1);
    skipped.push_back(name);
    retry = false;
  };
  EXPECT_EQ(writer.ArchiveFiles(), 2);
#ifdef _WIN32
  fs::Close(holder);
#else
  fsys::permissions(fsys::u8path(locked), fsys::perms::owner_all);
#endif
  EXPECT_EQ(skipped, std::vector<std::string>{locked});
  EXPECT_EQ(ReadEntries({archive_}).size(), 2u);
}

// Reads stop with a failure past 30,000 bytes while locked, as a region another program locked or
// a failing disk would make them.
class LockedRegionFile : public THugeStream {
 public:
  LockedRegionFile(const std::string& name, const bool& locked)
      : file_(name, fs::kOpenRead | fs::kShareDenyNone), locked_(locked) {}
  std::int64_t Read(void* buffer, std::int64_t count) override {
    if (locked_ && file_.Position() + count > 30000) {
      failed_ = true;
      return 0;
    }
    return file_.Read(buffer, count);
  }
  std::int64_t Write(const void*, std::int64_t) override { return 0; }
  std::int64_t Seek(std::int64_t offset, int origin) override { return file_.Seek(offset, origin); }
  bool ReadFailed() const override { return failed_; }
  void ResetReadFailed() override { failed_ = false; }

 private:
  THugeFileStream file_;
  const bool& locked_;
  bool failed_ = false;
};

class LockedRegionInput : public TBufferStream {
 public:
  LockedRegionInput(const std::string& name, const bool& locked)
      : TBufferStream(std::make_unique<LockedRegionFile>(name, locked), 8192, false) {}
};

class LockedRegionWriter : public TZipWriter {
 public:
  std::string lockedFile;
  bool locked = true;

 protected:
  std::unique_ptr<TBufferStream> OpenInput(const std::string& name) override {
    if (name != lockedFile) return TZipWriter::OpenInput(name);
    return std::make_unique<LockedRegionInput>(name, locked);
  }
};

// A file that fails to read halfway must not go into the archive cut short, with or without a
// password; trying again once the region is free stores it whole.
TEST_F(Faults, AReadFailingHalfwayIsReportedInsteadOfACutFile) {
  const std::string lockedFile = Join(source_, "zwei.bin");
  const std::string whole = ReadFile(lockedFile);
  for (const bool password : {false, true}) {
    for (const bool retryOnce : {false, true}) {
      SCOPED_TRACE(::testing::Message() << (password ? "password " : "") << (retryOnce ? "retry" : "give up"));
      fsys::remove(fsys::u8path(archive_));
      LockedRegionWriter writer;
      writer.lockedFile = lockedFile;
      Prepare(writer);
      if (password) writer.SetPassword("geheim");
      int asked = 0;
      writer.OnSkippingFile = [&](TSkipReason reason, const std::string& name, int, bool& retry) {
        EXPECT_EQ(reason, TSkipReason::srFileOpenError);
        EXPECT_EQ(name, lockedFile);
        retry = retryOnce && ++asked == 1;
        if (retry) writer.locked = false;
      };
      EXPECT_EQ(writer.ArchiveFiles(), retryOnce ? 3 : 2);
      const auto entries = ReadEntries({archive_}, password ? "geheim" : "");
      if (retryOnce) {
        ASSERT_EQ(entries.count("zwei.bin"), 1u);
        EXPECT_TRUE(entries.at("zwei.bin") == whole);
      } else {
        EXPECT_EQ(entries.size(), 2u);
        EXPECT_EQ(entries.count("zwei.bin"), 0u);
      }
      EXPECT_TRUE(TempEmpty());
    }
  }
}

TEST_F(Faults, MoreEntriesThanTheFormatHoldsAreRefusedBeforeWriting) {
  TZipWriter writer;
  writer.SetZipName(archive_);
  for (int i = 0; i < 65536; ++i) writer.FilesList().Add(Join(source_, "eins.txt"));
  EXPECT_THROW(writer.ArchiveFiles(), EZipTooLarge);
  EXPECT_FALSE(Exists(archive_));
}

#ifndef _WIN32
TEST_F(Faults, AFileOfFourGibibytesIsRefusedBeforeWriting) {
  const std::string big = Join(source_, "gross.bin");
  WriteFile(big, "");
  fsys::resize_file(big, std::uintmax_t{1} << 32);
  TZipWriter writer;
  writer.SetZipName(archive_);
  writer.FilesList().Add(big);
  EXPECT_THROW(writer.ArchiveFiles(), EZipTooLarge);
  EXPECT_FALSE(Exists(archive_));
}
#endif

// ---------------------------------------------------------------- entries

TEST(ZipWriterEntries, StoredListsFolderEntriesAndDuplicates) {
  TempDir dir;
  const std::string source = dir / "q";
  MakeTree(source, {{"bild.jpg", Text(100)}, {"text.txt", Text(100)}, {"leer.txt", ""}, {"ordner/", ""}});
  TZipWriter writer;
  writer.SetZipName(dir / "x.zip");
  writer.SetPackLevel(9);
  writer.SetNoCompressList({"*.jpg"});
  writer.FilesList().Add(Join(source, "bild.jpg"));
  writer.FilesList().Add(Join(source, "text.txt"));
  writer.FilesList().Add(Join(source, "text.txt"));
  writer.FilesList().Add(Join(source, "leer.txt"));
  writer.FilesList().Add(WithTrailingBackslash(Join(source, "ordner")));  // no path stored: no name
  int duplicates = 0;
  writer.OnSkippingFile = [&](TSkipReason reason, const std::string&, int, bool&) {
    duplicates += reason == TSkipReason::srNoOverwrite;
  };
  EXPECT_EQ(writer.ArchiveFiles(), 3);
  EXPECT_EQ(duplicates, 1);
  archive_fixtures::TestReader reader;
  reader.SetZipName(dir / "x.zip");
  reader.LoadDirectory();
  ASSERT_EQ(reader.EntryCount(), 3);
  EXPECT_EQ(reader.Entry(0).CompressionMethod, 0);
  EXPECT_EQ(reader.Entry(0).InternalAttributes, 0);
  EXPECT_EQ(reader.Entry(1).CompressionMethod, 8);
  EXPECT_EQ(reader.Entry(2).CompressedSize, 2u);
  EXPECT_EQ(reader.Entry(2).CRC32, 0u);
}

TEST(ZipWriterEntries, EncryptionHeadersDifferBetweenEntriesOfTheSameContent) {
  TempDir dir;
  MakeTree(dir.Path(), {{"a.txt", "gleich"}, {"b.txt", "gleich"}});
  TZipWriter writer;
  writer.SetZipName(dir / "x.zip");
  writer.SetPassword("pw");
  writer.FilesList().Add(dir / "a.txt");
  writer.FilesList().Add(dir / "b.txt");
  writer.ArchiveFiles();
  const std::string bytes = ReadFile(dir / "x.zip");
  const std::size_t first = bytes.find("a.txt") + 5;
  const std::size_t second = bytes.find("b.txt") + 5;
  EXPECT_NE(bytes.substr(first, 12), bytes.substr(second, 12));
  EXPECT_EQ(ReadEntries({dir / "x.zip"}, "pw").at("b.txt"), "gleich");
}

TEST(ZipWriterRun, EmptyNameDoesNothingAndEmptyListWritesAnEmptyArchive) {
  TempDir dir;
  TZipWriter writer;
  int completed = -1;
  writer.OnZipComplete = [&](int count) { completed = count; };
  writer.SetZipName("  ");
  EXPECT_EQ(writer.ArchiveFiles(), 0);
  EXPECT_EQ(completed, 0);
  writer.SetZipName(dir / "leer.zip");
  bool info = false;
  writer.OnStartZipInfo = [&](int, std::int64_t, TEndCentral&, bool&) { info = true; };
  EXPECT_EQ(writer.ArchiveFiles(), 0);
  EXPECT_FALSE(info);
  EXPECT_EQ(FileSize(dir / "leer.zip"), 22);
}

// ---------------------------------------------------------------- file lists

struct ListCase {
  const char* label;
  std::vector<std::string> names;  // relative to the root; "|" and ">" prefixes kept in front
  bool recurse;
  std::vector<std::string> excluded;
  std::vector<std::string> expected;
};

class FileLists : public ::testing::TestWithParam<ListCase> {};

TEST_P(FileLists, ExpandToTheExpectedEntries) {
  TempDir dir;
  const std::string root = dir / "w";
  MakeTree(root, {{"eins.txt", "1"}, {"zwei.tmp", "2"}, {"ohne", "3"}, {"sub/drei.txt", "4"}, {"sub/tief/vier.txt", "5"}});
  TZipWriter writer;
  writer.SetZipName(Join(root, "archiv.zip"));  // inside the searched tree
  writer.SetRootDir(root);
  writer.SetStorePaths(true);
  writer.SetRelativePaths(true);
  writer.SetRecurse(GetParam().recurse);
  writer.SetExcludeList([&] {
    classlib::TStringList list;
    for (const auto& pattern : GetParam().excluded) list.Add(pattern);
    return list;
  }());
  std::vector<std::string> missing;
  writer.OnNoSuchFile = [&](const std::string& name) { missing.push_back(name); };
  for (std::string name : GetParam().names) {
    std::string prefix;
    if (name[0] == '|' || name[0] == '>') {
      prefix = name.substr(0, 1);
      name.erase(0, 1);
    }
    writer.FilesList().Add(prefix + (name.find('*') == 0 || name == "ohne" || name == "fehlt.txt" ? name : Join(root, name)));
  }
  writer.ArchiveFiles();
  std::vector<std::string> paths;
  for (const auto& [path, content] : ReadEntries({Join(root, "archiv.zip")})) paths.push_back(path);
  EXPECT_EQ(paths, GetParam().expected);
  const bool asksForMissing = std::find(GetParam().names.begin(), GetParam().names.end(), "fehlt.txt") != GetParam().names.end();
  EXPECT_EQ(missing.size(), asksForMissing ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileLists,
    ::testing::Values(
        ListCase{"StarDotStarFindsNamesWithoutExtension", {"*.*"}, false, {}, {"eins.txt", "ohne", "zwei.tmp"}},
        ListCase{"RecursionFollowsRecurse", {"*.txt"}, true, {}, {"eins.txt", "sub/drei.txt", "sub/tief/vier.txt"}},
        ListCase{"BarSwitchesRecursionOff", {"|*.txt"}, true, {}, {"eins.txt"}},
        ListCase{"AngleSwitchesRecursionOn", {">*.txt"}, false, {}, {"eins.txt", "sub/drei.txt", "sub/tief/vier.txt"}},
        ListCase{"ExclusionsByFileNameAndByPath", {">*.*"}, false, {"*.tmp", "*\\tief\\*"},
                 {"eins.txt", "ohne", "sub/drei.txt"}},
        ListCase{"PlainNamesWithoutPathStandInTheRoot", {"ohne", "fehlt.txt"}, false, {}, {"ohne"}}),
    [](const ::testing::TestParamInfo<ListCase>& info) { return std::string(info.param.label); });

TEST(FileListsFreshen, AddsOnlyFilesTheArchiveHolds) {
  TempDir dir;
  MakeTree(dir.Path(), {{"a.txt", "alt"}, {"b.txt", "b"}});
  TZipWriter writer;
  writer.SetZipName(dir / "x.zip");
  writer.FilesList().Add(dir / "a.txt");
  writer.ArchiveFiles();
  MakeTree(dir.Path(), {{"a.txt", "neu"}});
  fsys::last_write_time(fsys::u8path(dir / "a.txt"), fsys::file_time_type::clock::now() + std::chrono::hours(1));
  writer.SetZipAction(TZipAction::zaFreshen);
  writer.FilesList().Add(dir / "*.txt");
  EXPECT_EQ(writer.ArchiveFiles(), 1);
  const auto entries = ReadEntries({dir / "x.zip"});
  EXPECT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries.at("a.txt"), "neu");
}

TEST(ZipWriterEntries, AFileThatChangesWhileReadIsWrittenAgainWithTheRightCheckByte) {
  TempDir dir;
  MakeTree(dir.Path(), {{"log.txt", Text(20000)}});
  TZipWriter writer;
  writer.SetZipName(dir / "x.zip");
  writer.SetPassword("pw");
  writer.FilesList().Add(dir / "log.txt");
  bool grown = false;
  writer.OnFilePercentDone = [&](int) {
    if (grown) return;
    grown = true;
    std::ofstream(fsys::u8path(dir / "log.txt"), std::ios::app | std::ios::binary) << "noch eine Zeile";
  };
  writer.ArchiveFiles();
  EXPECT_EQ(ReadEntries({dir / "x.zip"}, "pw").at("log.txt"), Text(20000) + "noch eine Zeile");
}

TEST_F(SplitArchive, TheDirectoryCopyIsSavedBesideTheLastPart) {
  TZipWriter writer;
  PrepareSet(writer, {5000, 5000});
  writer.MultiZipInfo().SaveZipInfoOnFirstDisk = true;
  writer.ArchiveFiles();
  ASSERT_GT(writer.DiskCount(), 1);
  const std::string config = ChangeFileExt(archive_, ".zfc");
  ASSERT_TRUE(Exists(config));
  const std::string bytes = ReadFile(config);
  EXPECT_EQ(bytes.substr(0, 4), "PK\x01\x02");
  EXPECT_EQ(bytes.substr(bytes.size() - 22, 4), "PK\x05\x06");
}

}  // namespace

// However the root folder is written, a file directly in it is stored relative to it, as one in a
// folder below it is: by its name alone.
TEST(ZipWriterEntries, FilesInTheRootFolderAreStoredRelativeToIt) {
  TempDir dir;
  const std::string source = dir / "src";
  MakeTree(source, {{"a.bin", "a"}, {"Unter/b.bin", "b"}});
  for (const std::string& root : {source, source + "/", source + "\\"}) {
    // A pattern without a folder is looked for in the root folder.
    for (const std::string& pattern : {Join(source, "*.*"), std::string("*.*")}) {
      SCOPED_TRACE(root + " " + pattern);
      TZipWriter writer;
      writer.SetZipName(dir / "x.zip");
      writer.SetRootDir(root);
      writer.SetRelativePaths(true);
      writer.FilesList().Add(pattern);
      writer.ArchiveFiles();
      archive_fixtures::TestReader reader;
      reader.SetZipName(dir / "x.zip");
      reader.LoadDirectory();
      std::vector<std::string> paths;
      for (int i = 0; i < reader.EntryCount(); ++i) paths.push_back(reader.EntryPath(i));
      std::sort(paths.begin(), paths.end());
      EXPECT_EQ(paths, (std::vector<std::string>{"Unter\\b.bin", "a.bin"}));
      ASSERT_TRUE(fsys::remove(fsys::u8path(dir / "x.zip")));
    }
  }
}
