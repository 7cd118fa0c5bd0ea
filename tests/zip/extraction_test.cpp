#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/support/scripted_prompts.h"
#include "tests/support/temp_dir.h"
#include "tests/zip/archive_fixtures.h"
#include "tests/zip/decode_support.h"
#include "tests/zip/encoders/fixture_archive.h"
#include "tests/zip/encoders/implode_encoder.h"
#include "tests/zip/encoders/reduce_encoder.h"
#include "tests/zip/encoders/shrink_encoder.h"
#include "tests/zip/peer_tools.h"
#include "zip/crc32.h"
#include "zip/crypt.h"
#include "zip/decoder_memory.h"
#include "zip/fs.h"
#include "zip/path_strings.h"
#include "zip/zip_reader.h"

using namespace zip;
using decode_support::RawDeflate;
using test_encoders::BuildArchive;
using test_encoders::TFixtureEntry;
using testing_support::TempDir;

namespace {

constexpr std::uint32_t kFixtureDate = 0x5D8A590D;  // the date BuildArchive gives every entry

std::uint32_t DosDate(unsigned year) { return (year - 1980) << 25 | 1 << 21 | 1 << 16; }

std::string Engine(std::string path) {
  SlashesToBackslashes(path);
  return path;
}

// Rewrites the uncompressed size in the local and the central header of the named entry.
void PatchUncompressedSize(std::string& archive, const std::string& name, std::uint32_t size) {
  for (std::size_t at = archive.find(name); at != std::string::npos; at = archive.find(name, at + 1)) {
    const std::size_t field = archive.compare(at - 46, 4, "PK\x01\x02") == 0 ? at - 46 + 24 : at - 30 + 22;
    for (int i = 0; i < 4; ++i) archive[field + i] = static_cast<char>(size >> (8 * i));
  }
}

TFixtureEntry Stored(const std::string& name, const std::string& data) { return {name, 0, 0, data, data}; }

// Every file below folder, relative to it with "/", sorted.
std::vector<std::string> FilesBelow(const std::string& folder) {
  const std::filesystem::path root = std::filesystem::u8path(folder);
  std::vector<std::string> files;
  for (const auto& found : std::filesystem::recursive_directory_iterator(root))
    if (!found.is_directory()) files.push_back(found.path().lexically_relative(root).generic_u8string());
  std::sort(files.begin(), files.end());
  return files;
}
TFixtureEntry Deflated(const std::string& name, const std::string& data) { return {name, 8, 0, data, RawDeflate(data)}; }

// What one extraction run reported through the component's events.
struct Recorder {
  std::vector<std::pair<TSkipReason, std::string>> skipped;
  std::vector<std::string> ended;
  std::vector<int> badCrc;
  std::vector<int> filePercents;
  int completed = -1;

  void Attach(TZipReader& reader) {
    reader.OnSkippingFile = [this](TSkipReason reason, const std::string& name, int, bool&) {
      skipped.emplace_back(reason, name);
    };
    reader.OnEndUnZip = [this](int, const std::string& name) { ended.push_back(name); };
    reader.OnBadCRC = [this](std::uint32_t, std::uint32_t, int index) { badCrc.push_back(index); };
    reader.OnFilePercentDone = [this](int percent) { filePercents.push_back(percent); };
    reader.OnUnZipComplete = [this](int count) { completed = count; };
  }
};

class Extraction : public ::testing::Test {
 protected:
  // Writes the archive, points a reader at it and extracts every entry into dest.
  int ExtractAll(const std::string& archive, bool recreateDirs = true) {
    testing_support::WriteFile(dir_ / "test.zip", archive);
    PrepareAll(reader_, recorder_, dir_ / "test.zip");
    reader_.SetRecreateDirs(recreateDirs);
    return reader_.ExtractMatching();
  }
  // Points reader at the archive file to extract every entry into dest, with its folders.
  void PrepareAll(TZipReader& reader, Recorder& recorder, const std::string& archiveFile) {
    recorder.Attach(reader);
    reader.SetZipName(Engine(archiveFile));
    reader.SetDestDir(Dest());
    reader.SetRecreateDirs(true);
    reader.SetDoAll(true);
  }
  std::string Dest() const { return Engine(dir_ / "dest"); }
  std::string InDest(const std::string& name) const { return dir_ / ("dest/" + name); }

  TempDir dir_;
  TZipReader reader_;
  Recorder recorder_;
};

}  // namespace

TEST_F(Extraction, StoredAndDeflatedEntriesComeBackWithFoldersAndDates) {
  const std::string big(70000, 'x');
  EXPECT_EQ(ExtractAll(BuildArchive({Stored("Prüfung.txt", "stored bytes"), Deflated("sub/inner.bin", big),
                                     Stored("empty.txt", "")})),
            3);
  EXPECT_EQ(testing_support::ReadFile(InDest("Prüfung.txt")), "stored bytes");
  EXPECT_EQ(testing_support::ReadFile(InDest("sub/inner.bin")), big);
  EXPECT_EQ(testing_support::ReadFile(InDest("empty.txt")), "");
  EXPECT_EQ(recorder_.completed, 3);
  std::uint32_t date = 0;
  ASSERT_TRUE(fs::FileAge(Engine(InDest("Prüfung.txt")), date));
  EXPECT_EQ(date, 0x5D8A590Du);
  // 70000 bytes arrive in windows of 32768, 32768 and 4464; the empty file reports nothing.
  EXPECT_EQ(recorder_.filePercents, (std::vector<int>{100, 47, 94, 100}));
}

TEST_F(Extraction, WithoutRecreateDirsEverythingLandsInDestDir) {
  EXPECT_EQ(ExtractAll(BuildArchive({Stored("a/b/deep.txt", "d")}), false), 1);
  EXPECT_EQ(testing_support::ReadFile(InDest("deep.txt")), "d");
}

TEST_F(Extraction, HostileNamesNeverLeaveTheDestination) {
  testing_support::WriteFile(dir_ / "evil.txt", "untouched");
  // Devices too, in any case, with any extension, in any folder; each refused like the others.
  const std::vector<std::string> hostile = {"../evil.txt", "..\\..\\x.txt", "sub/../../evil.txt", "a:b",
                                            "NUL",         "con.txt",       "ctl\x01.txt",        "LPT1 .log",
                                            "conout$.txt", "CONIN$",        "sub/CONIN$.log",     "COM\xC2\xB9",
                                            "LPT\xC2\xB2.txt", "com\xC2\xB3/x"};
  std::vector<TFixtureEntry> entries;
  for (const std::string& name : hostile) entries.push_back(Stored(name, "owned"));
  entries.push_back(Stored("/rooted.txt", "kept below dest"));
  entries.push_back(Stored("C:/drive.txt", "kept below dest"));
  EXPECT_EQ(ExtractAll(BuildArchive(entries)), 2);
  EXPECT_EQ(testing_support::ReadFile(dir_ / "evil.txt"), "untouched");
  EXPECT_FALSE(testing_support::FileExists(dir_ / "x.txt"));
  EXPECT_EQ(testing_support::ReadFile(InDest("rooted.txt")), "kept below dest");
  EXPECT_EQ(testing_support::ReadFile(InDest("drive.txt")), "kept below dest");
  ASSERT_EQ(recorder_.skipped.size(), hostile.size());
  for (const auto& skip : recorder_.skipped) EXPECT_EQ(skip.first, TSkipReason::srCreateError) << skip.second;
}

// A name of 32,000 folders: no file system takes it, and walking it must not exhaust the stack.
TEST_F(Extraction, AnAbsurdlyDeepPathIsSkipped) {
  std::string deep;
  for (int i = 0; i < 32000; ++i) deep += "a/";
  EXPECT_EQ(ExtractAll(BuildArchive({Stored(deep + "x", "data"), Stored("ok.txt", "fine")})), 1);
  ASSERT_EQ(recorder_.skipped.size(), 1u);
  EXPECT_EQ(recorder_.skipped[0].first, TSkipReason::srCreateError);
  EXPECT_EQ(testing_support::ReadFile(InDest("ok.txt")), "fine");
}

TEST_F(Extraction, BadDataNeverReplacesAGoodFile) {
  const std::string good(5000, 'g');
  std::string truncated = RawDeflate(std::string(100000, 'q') + "tail");
  truncated.resize(truncated.size() / 2);
  TFixtureEntry wrongCrc = Stored("crc.txt", "actual bytes");
  wrongCrc.original = "other bytes!";  // same size, other CRC
  TFixtureEntry cut = Deflated("cut.txt", std::string(100000, 'q') + "tail");
  cut.compressed = truncated;
  TFixtureEntry unknown = Stored("method.txt", "zzz");
  unknown.method = 99;
  // Claims 4 GiB of output; the short data must end it as bad, quickly.
  TFixtureEntry huge = Deflated("huge.txt", "small");
  huge.original.assign(1, 'x');
  TFixtureEntry freshCrc = Stored("fresh.txt", "bytes of a file not there");
  freshCrc.original[0] = 'B';
  fs::MakeDirectory(Dest());
  for (const char* name : {"crc.txt", "cut.txt", "method.txt"}) {
    testing_support::WriteFile(InDest(name), good);
    ASSERT_TRUE(fs::SetFileDate(Engine(InDest(name)), DosDate(2001)));
  }

  testing_support::ScriptedPrompts prompts;
  prompts.AnswerNext(classlib::PromptResult::Ok);  // the unknown method's box
  reader_.SetOverwriteMode(TUZOverwriteMode::Always);
  // The run's buffers and inflater serve the next entry as if nothing had happened.
  const std::string after = decode_support::MixedData(100000, 8);
  std::string archive =
      BuildArchive({wrongCrc, cut, unknown, huge, Deflated("bigger.txt", after), freshCrc, Deflated("after.txt", after)});
  PatchUncompressedSize(archive, "huge.txt", 0xFFFFFFFE);  // all ones would mark Zip64
  PatchUncompressedSize(archive, "bigger.txt", 40000);
  EXPECT_EQ(ExtractAll(archive), 1);
  EXPECT_EQ(testing_support::ReadFile(InDest("after.txt")), after);
  // Bad data with no file there is not left under the entry's name either, nor under another.
  EXPECT_EQ(FilesBelow(dir_ / "dest"), (std::vector<std::string>{"after.txt", "crc.txt", "cut.txt", "method.txt"}));
  for (const char* name : {"crc.txt", "cut.txt", "method.txt"}) {
    EXPECT_EQ(testing_support::ReadFile(InDest(name)), good);
    std::uint32_t date = 0;
    EXPECT_TRUE(fs::FileAge(Engine(InDest(name)), date));
    EXPECT_EQ(date, DosDate(2001)) << name;  // a file that was kept keeps its date
  }
  EXPECT_EQ(recorder_.badCrc, (std::vector<int>{0, 1, 3, 4, 5}));
  ASSERT_EQ(recorder_.skipped.size(), 1u);
  EXPECT_EQ(recorder_.skipped[0].first, TSkipReason::srUnknownMethod);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "Unknown Compression Method");
  EXPECT_EQ(prompts.messages[0].caption, "Zip Error");
}

// A decoder of the old methods that gets no memory says so; its entry fails as damaged data
// does, and the run goes on with the next.
TEST_F(Extraction, AnOldMethodsDecoderWithoutMemorySaysSo) {
  struct NoMemory : TDecoderMemory {
    void* Allocate(std::size_t) override { throw std::bad_alloc(); }
  } noMemory;
  const std::string text = decode_support::MixedData(20000, 9);
  const std::string archive =
      BuildArchive({{"shrunk.txt", 1, 0, text, test_encoders::Shrink(text)},
                    {"reduced.txt", 5, 0, text, test_encoders::Reduce(text, 4)},
                    {"imploded.txt", 6, static_cast<std::uint16_t>(test_encoders::ImplodeFlags(true, true)), text,
                     test_encoders::Implode(text, true, true)},
                    Stored("after.txt", text)});
  testing_support::ScriptedPrompts prompts;
  for (int i = 0; i < 3; ++i) prompts.AnswerNext(classlib::PromptResult::Ok);
  SetDecoderMemoryForTesting(&noMemory);
  const int extracted = ExtractAll(archive);
  SetDecoderMemoryForTesting(nullptr);
  EXPECT_EQ(extracted, 1);
  EXPECT_EQ(testing_support::ReadFile(InDest("after.txt")), text);
  EXPECT_EQ(recorder_.badCrc, (std::vector<int>{0, 1, 2}));
  ASSERT_EQ(prompts.messages.size(), 3u);
  for (const classlib::MessageRequest& m : prompts.messages) {
    EXPECT_EQ(m.text, "*** inflate out of memory ***");
    EXPECT_EQ(m.caption, "Error");
  }
}

TEST_F(Extraction, OverwriteModesFollowTheirRules) {
  enum Existing { kOlder, kEqual, kNewer };
  struct Case {
    TUZOverwriteMode mode;
    bool expected[3];  // overwritten when the file is older, equal, newer than the entry
  } cases[] = {
      {TUZOverwriteMode::Always, {true, true, true}},
      {TUZOverwriteMode::Never, {false, false, false}},
      {TUZOverwriteMode::ifNewer, {true, false, false}},
      {TUZOverwriteMode::ifOlder, {false, false, true}},
  };
  const std::uint32_t dates[3] = {DosDate(2020), kFixtureDate, DosDate(2030)};
  const std::string archive = BuildArchive({Stored("f.txt", "new")});
  for (const Case& c : cases) {
    for (int existing : {kOlder, kEqual, kNewer}) {
      TempDir dir;
      testing_support::WriteFile(dir / "a.zip", archive);
      testing_support::WriteFile(dir / "f.txt", "old");
      ASSERT_TRUE(fs::SetFileDate(Engine(dir / "f.txt"), dates[existing]));
      TZipReader reader;
      Recorder recorder;
      recorder.Attach(reader);
      reader.SetZipName(Engine(dir / "a.zip"));
      reader.SetDestDir(Engine(dir.Path()));
      reader.SetDoAll(true);
      reader.SetOverwriteMode(c.mode);
      reader.ExtractMatching();
      const bool overwritten = testing_support::ReadFile(dir / "f.txt") == "new";
      EXPECT_EQ(overwritten, c.expected[existing]) << static_cast<int>(c.mode) << " " << existing;
      EXPECT_EQ(recorder.skipped.size(), overwritten ? 0u : 1u);
    }
  }
}

TEST_F(Extraction, PromptAsksTheHandlerOrTheUser) {
  const std::string archive = BuildArchive({Stored("f.txt", "new")});
  fs::MakeDirectory(Dest());
  testing_support::WriteFile(InDest("f.txt"), "old");
  testing_support::ScriptedPrompts prompts;
  prompts.AnswerNext(classlib::PromptResult::No);
  ExtractAll(archive);
  EXPECT_EQ(testing_support::ReadFile(InDest("f.txt")), "old");
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "Replace existing file f.txt?");
  EXPECT_EQ(prompts.messages[0].caption, "File Exists Alert");
  ASSERT_EQ(recorder_.skipped.size(), 1u);
  EXPECT_EQ(recorder_.skipped[0].first, TSkipReason::srNoOverwrite);

  reader_.OnPromptForOverwrite = [](bool& overwrite, int, std::string&) { overwrite = true; };
  reader_.SetDoAll(true);
  reader_.ExtractMatching();
  EXPECT_EQ(testing_support::ReadFile(InDest("f.txt")), "new");
}

// Windows finds "Bericht.txt" under "bericht.TXT" and "name" under "name." and "name ": the first
// entry of such a group is extracted, each later one refused, also where the host would keep them
// apart and also when it would overwrite the first.
TEST_F(Extraction, NamesTheFileSystemFoldsIntoOneAreExtractedOnce) {
  reader_.SetOverwriteMode(TUZOverwriteMode::Always);
  EXPECT_EQ(ExtractAll(BuildArchive({Stored("Bericht.txt", "erster"), Stored("bericht.TXT", "zweiter"),
                                     Stored("name", "eins"), Stored("name.", "zwei"), Stored("name ", "drei"),
                                     Stored("Ordner/\xC3\x84rger.txt", "a"), Stored("ordner. /\xC3\xA4RGER.txt", "b"),
                                     Stored("anders.txt", "c")})),
            4);
  EXPECT_EQ(FilesBelow(dir_ / "dest"),
            (std::vector<std::string>{"Bericht.txt", "Ordner/\xC3\x84rger.txt", "anders.txt", "name"}));
  EXPECT_EQ(testing_support::ReadFile(InDest("Bericht.txt")), "erster");
  EXPECT_EQ(testing_support::ReadFile(InDest("name")), "eins");
  std::vector<std::string> refused;
  for (const auto& skip : recorder_.skipped) {
    EXPECT_EQ(skip.first, TSkipReason::srSameName) << skip.second;
    refused.push_back(skip.second.substr(Dest().size() + 1));
  }
  EXPECT_EQ(refused, (std::vector<std::string>{"bericht.TXT", "name.", "name ", "ordner. \\\xC3\xA4RGER.txt"}));
  EXPECT_EQ(recorder_.ended.size(), 4u);
}

// Each refusal says why: a method the engine does not know, a target that is read-only, a folder
// entry whose name a file holds.
TEST_F(Extraction, RefusalsNameTheirReasons) {
  TFixtureEntry unknown = Stored("methode.txt", "zzz");
  unknown.method = 99;
  const std::string archive =
      BuildArchive({unknown, Stored("schreibgeschuetzt.txt", "neu"), Stored("ordner/", ""), Stored("gut.txt", "g")});
  fs::MakeDirectory(Dest());
  testing_support::WriteFile(InDest("schreibgeschuetzt.txt"), "alt");
  ASSERT_TRUE(fs::SetAttributes(Engine(InDest("schreibgeschuetzt.txt")), fs::kAttrReadOnly));
  testing_support::WriteFile(InDest("ordner"), "eine Datei");
  testing_support::ScriptedPrompts prompts;
  prompts.AnswerNext(classlib::PromptResult::Ok);
  reader_.SetOverwriteMode(TUZOverwriteMode::Always);
  EXPECT_EQ(ExtractAll(archive), 1);
  const std::vector<std::pair<TSkipReason, std::string>> expected = {
      {TSkipReason::srUnknownMethod, Engine(InDest("methode.txt"))},
      {TSkipReason::srReadOnly, Engine(InDest("schreibgeschuetzt.txt"))},
      {TSkipReason::srNameTaken, Engine(InDest("ordner/"))}};
  EXPECT_EQ(recorder_.skipped, expected);
  EXPECT_EQ(testing_support::ReadFile(InDest("schreibgeschuetzt.txt")), "alt");
  EXPECT_EQ(testing_support::ReadFile(InDest("ordner")), "eine Datei");
  EXPECT_EQ(recorder_.completed, 1);
  fs::SetAttributes(Engine(InDest("schreibgeschuetzt.txt")), 0);
}

namespace {

// Traditional encryption of a stored entry, as a writer would produce it.
TFixtureEntry Encrypted(TFixtureEntry entry, const std::string& password) {
  const std::uint32_t crc = ~zip::UpdateCrc32(0xFFFFFFFF, entry.original.data(), entry.original.size());
  TZipCipher cipher;
  cipher.InitKeys(password);
  std::string out;
  for (int i = 0; i < 10; ++i) out += static_cast<char>(cipher.EncryptByte(static_cast<std::uint8_t>(i * 37)));
  out += static_cast<char>(cipher.EncryptByte(static_cast<std::uint8_t>(crc >> 16)));
  out += static_cast<char>(cipher.EncryptByte(static_cast<std::uint8_t>(crc >> 24)));
  for (char c : entry.compressed) out += static_cast<char>(cipher.EncryptByte(static_cast<std::uint8_t>(c)));
  entry.compressed = out;
  entry.flags |= 1;
  return entry;
}

// A wrong password whose check byte matches by chance (about one in 256 does).
std::string WrongPasswordPassingTheCheck(const TFixtureEntry& encrypted) {
  const std::uint32_t crc = ~zip::UpdateCrc32(0xFFFFFFFF, encrypted.original.data(), encrypted.original.size());
  for (int i = 0;; ++i) {
    const std::string candidate = "guess" + std::to_string(i);
    std::uint8_t header[kEncryptionHeaderSize];
    std::memcpy(header, encrypted.compressed.data(), sizeof header);
    TZipCipher cipher;
    if (cipher.DecryptHeader(candidate, header) == static_cast<std::uint8_t>(crc >> 24)) return candidate;
  }
}

}  // namespace

TEST_F(Extraction, WrongPasswordsSkipOrAreCorrectedByTheHandler) {
  const TFixtureEntry secret = Encrypted(Deflated("secret.txt", "geheime Daten, mehrfach, mehrfach"), "richtig");
  const std::string archive = BuildArchive({secret});

  reader_.SetPassword("falsch");
  EXPECT_EQ(ExtractAll(archive), 0);
  EXPECT_FALSE(testing_support::FileExists(InDest("secret.txt")));
  ASSERT_EQ(recorder_.skipped.size(), 1u);
  EXPECT_EQ(recorder_.skipped[0].first, TSkipReason::srBadPassword);

  // A wrong password that passes the check byte fails the CRC. Without a better one its data is
  // not left, neither in place of a file there nor where there was none.
  const std::string passing = WrongPasswordPassingTheCheck(secret);
  reader_.SetOverwriteMode(TUZOverwriteMode::Always);
  for (bool fileThere : {false, true}) {
    if (fileThere) testing_support::WriteFile(InDest("secret.txt"), "vorher");
    reader_.SetPassword(passing);
    reader_.SetDoAll(true);
    recorder_.skipped.clear();
    EXPECT_EQ(reader_.ExtractMatching(), 0);
    EXPECT_EQ(FilesBelow(dir_ / "dest"), fileThere ? std::vector<std::string>{"secret.txt"} : std::vector<std::string>{});
    if (fileThere) {
      EXPECT_EQ(testing_support::ReadFile(InDest("secret.txt")), "vorher");
    }
    ASSERT_EQ(recorder_.skipped.size(), 1u);
    EXPECT_EQ(recorder_.skipped[0].first, TSkipReason::srBadPassword);
  }

  // The handler's answer retries.
  reader_.SetPassword(passing);
  std::vector<std::string> offered;
  reader_.OnBadPassword = [&](int, std::string& password) {
    offered.push_back(password);
    password = "richtig";
  };
  reader_.SetDoAll(true);
  EXPECT_EQ(reader_.ExtractMatching(), 1);
  EXPECT_EQ(offered.size(), 1u);
  EXPECT_EQ(testing_support::ReadFile(InDest("secret.txt")), "geheime Daten, mehrfach, mehrfach");
  EXPECT_EQ(reader_.Password(), "richtig");
}

// With a mark, what came out of a damaged entry is kept under a name that says so, with no date of
// the entry's, beside a file of the entry's name and beside a file that has the marked name already;
// data decrypted with a wrong password is garbage and never kept.
TEST_F(Extraction, WithAMarkTheDataOfADamagedEntryIsKeptUnderAMarkedName) {
  TFixtureEntry damaged = Stored("bericht.txt", "Daten mit einem falschen Byte");
  damaged.original[0] = 'd';
  const TFixtureEntry secret = Encrypted(Stored("geheim.txt", "geheime Daten"), "richtig");
  fs::MakeDirectory(Dest());
  testing_support::WriteFile(InDest("bericht.txt"), "vorher");
  testing_support::WriteFile(InDest("bericht (damaged).txt"), "schon da");
  std::vector<std::string> kept;
  reader_.OnDamaged = [&](int, const TDamage& damage) { kept.push_back(damage.KeptName); };
  reader_.SetDamagedMark(" (damaged)");
  reader_.SetPassword(WrongPasswordPassingTheCheck(secret));
  reader_.SetOverwriteMode(TUZOverwriteMode::Always);
  EXPECT_EQ(ExtractAll(BuildArchive({damaged, secret})), 0);
  EXPECT_EQ(kept, std::vector<std::string>{Engine(InDest("bericht (damaged) 2.txt"))});
  EXPECT_EQ(FilesBelow(dir_ / "dest"),
            (std::vector<std::string>{"bericht (damaged) 2.txt", "bericht (damaged).txt", "bericht.txt"}));
  EXPECT_EQ(testing_support::ReadFile(InDest("bericht (damaged) 2.txt")), damaged.compressed);
  EXPECT_EQ(testing_support::ReadFile(InDest("bericht (damaged).txt")), "schon da");
  EXPECT_EQ(testing_support::ReadFile(InDest("bericht.txt")), "vorher");
  std::uint32_t date = 0;
  EXPECT_TRUE(fs::FileAge(Engine(InDest("bericht (damaged) 2.txt")), date));
  EXPECT_NE(date, kFixtureDate);
}

// A damaged entry says why: a checksum that differs after data that decoded to its full size, or
// data that broke its method's rules or ended early. What came out of it lies beside its target;
// where nothing came out, nothing does, and a file of the entry's name stays as it was.
TEST_F(Extraction, ADamagedEntrySaysWhyAndOnlyWhatCameOutIsKept) {
  const std::string text = decode_support::MixedData(50000, 3);
  const std::string deflated = RawDeflate(text);
  TFixtureEntry zeroFilled = Deflated("genullt.txt", text);
  zeroFilled.compressed.assign(deflated.size(), '\0');
  TFixtureEntry firstByteOnly = Deflated("erstes-byte.txt", text);
  firstByteOnly.compressed.resize(1);
  TFixtureEntry halfStream = Deflated("halb.txt", text);
  halfStream.compressed.resize(deflated.size() / 2);
  TFixtureEntry flippedStored = Stored("gekippt.txt", text);
  flippedStored.compressed[100] ^= 0x20;
  TFixtureEntry wrongCrc = Deflated("pruefsumme.txt", text);
  wrongCrc.original[0] ^= 1;
  const struct {
    TFixtureEntry entry;
    TDamageKind kind;
    bool anythingReadable;
  } cases[] = {
      {zeroFilled, TDamageKind::dkBadData, false},     {firstByteOnly, TDamageKind::dkBadData, false},
      {halfStream, TDamageKind::dkBadData, true},      {flippedStored, TDamageKind::dkBadCRC, true},
      {wrongCrc, TDamageKind::dkBadCRC, true},
  };
  std::vector<TFixtureEntry> entries;
  for (const auto& c : cases) entries.push_back(c.entry);
  entries.push_back(Stored("heil.txt", "intakt"));
  fs::MakeDirectory(Dest());
  testing_support::WriteFile(InDest("genullt.txt"), "vorher");
  std::map<int, TDamage> damages;
  reader_.OnDamaged = [&](int index, const TDamage& damage) { damages[index] = damage; };
  reader_.SetDamagedMark(" (damaged)");
  reader_.SetOverwriteMode(TUZOverwriteMode::Always);
  EXPECT_EQ(ExtractAll(BuildArchive(entries)), 1);

  std::vector<std::string> files = {"genullt.txt", "heil.txt"};
  ASSERT_EQ(damages.size(), std::size(cases));
  for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
    const auto& c = cases[i];
    SCOPED_TRACE(c.entry.name);
    const TDamage& damage = damages[i];
    EXPECT_EQ(damage.Kind, c.kind);
    EXPECT_EQ(damage.ReadableBytes > 0, c.anythingReadable);
    if (!c.anythingReadable) {
      EXPECT_EQ(damage.KeptName, "");
      continue;
    }
    const std::string keptName = ChangeFileExt(c.entry.name, "") + " (damaged).txt";
    EXPECT_EQ(damage.KeptName, Engine(InDest(keptName)));
    const std::string kept = testing_support::ReadFile(InDest(keptName));
    EXPECT_EQ(static_cast<std::int64_t>(kept.size()), damage.ReadableBytes);
    // What came out is what the data held up to where it failed.
    const std::string& held = c.entry.method == 0 ? c.entry.compressed : text;
    EXPECT_EQ(kept, held.substr(0, kept.size()));
    files.push_back(keptName);
  }
  std::sort(files.begin(), files.end());
  EXPECT_EQ(FilesBelow(dir_ / "dest"), files);
  EXPECT_EQ(testing_support::ReadFile(InDest("genullt.txt")), "vorher");
  EXPECT_EQ(recorder_.badCrc, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST_F(Extraction, SelectionByPatternsOrMarksAndStopNow) {
  const std::string archive =
      BuildArchive({Stored("docs/a.txt", "a"), Stored("docs/b.log", "b"), Stored("c.txt", "c")});
  testing_support::WriteFile(dir_ / "test.zip", archive);
  reader_.SetZipName(Engine(dir_ / "test.zip"));
  reader_.SetDestDir(Dest());
  recorder_.Attach(reader_);

  reader_.FilesList().Add("*.TXT");
  EXPECT_EQ(reader_.ExtractMatching(), 2);
  EXPECT_EQ(reader_.FilesList().Count(), 0);
  EXPECT_TRUE(testing_support::FileExists(InDest("a.txt")));
  EXPECT_FALSE(testing_support::FileExists(InDest("b.log")));

  reader_.LoadDirectory();
  reader_.SetEntryMarked(1, true);
  EXPECT_EQ(reader_.ExtractMarked(), 1);
  EXPECT_TRUE(testing_support::FileExists(InDest("b.log")));
  EXPECT_EQ(reader_.MarkedCount(), 0);

  reader_.OnStartUnZipInfo = [](int, std::int64_t, bool& stop) { stop = true; };
  reader_.SetDoAll(true);
  reader_.SetOverwriteMode(TUZOverwriteMode::Always);
  EXPECT_EQ(reader_.ExtractMatching(), 0);
  EXPECT_EQ(recorder_.completed, 0);
}

TEST_F(Extraction, RootDirIsTakenOffStoredFolders) {
  reader_.SetRootDir("data");
  EXPECT_EQ(ExtractAll(BuildArchive({Stored("data/sub/f.txt", "f")})), 1);
  EXPECT_EQ(testing_support::ReadFile(InDest("sub/f.txt")), "f");
}

TEST_F(Extraction, EntriesWhoseDataCrossesPartsComeBackWhole) {
  std::string big;
  for (int i = 0; i < 50000; ++i) big += static_cast<char>(i * 31 >> 2);
  const archive_fixtures::RawArchive raw =
      archive_fixtures::BuildStored({{"first.txt", "short"}, {"big.bin", big}, {"last.txt", "end"}});
  // Cuts inside the big entry's data and inside the directory.
  const std::vector<std::string> parts =
      archive_fixtures::SplitIntoParts(raw.bytes, {raw.localOffsets[1] + 100, raw.localOffsets[1] + 30000,
                                                   raw.centralOffsets[1] + 10});
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const std::string extension = i + 1 == parts.size() ? ".zip" : ".00" + std::to_string(i + 1);
    testing_support::WriteFile(dir_ / ("set" + extension), parts[i]);
  }
  reader_.SetZipName(Engine(dir_ / "set.zip"));
  reader_.OnGetNextDisk = [this](int n, std::string& name) {
    name = Engine(dir_ / (n == 4 ? "set.zip" : "set.00" + std::to_string(n)));
  };
  reader_.SetDestDir(Dest());
  reader_.SetDoAll(true);
  recorder_.Attach(reader_);
  EXPECT_EQ(reader_.ExtractMatching(), 3);
  EXPECT_EQ(testing_support::ReadFile(InDest("big.bin")), big);
  EXPECT_EQ(testing_support::ReadFile(InDest("last.txt")), "end");
}

namespace {

void Patch(std::string& archive, std::size_t at, std::uint32_t value, int bytes = 4) {
  for (int i = 0; i < bytes; ++i) archive[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
}

// Three stored entries, the second of whose central record is pointed at its own copy kept in the
// third's comment, inside the directory.
std::string WithAHeaderInTheDirectory() {
  using archive_fixtures::RawEntry;
  std::vector<RawEntry> entries = {{"eins.txt", "first entry"}, {"zwei.txt", "second entry"}, {"drei.txt", "third"}};
  const archive_fixtures::RawArchive plain = archive_fixtures::BuildStored(entries);
  entries[2].comment = plain.bytes.substr(plain.localOffsets[1], plain.localOffsets[2] - plain.localOffsets[1]);
  archive_fixtures::RawArchive raw = archive_fixtures::BuildStored(entries);
  Patch(raw.bytes, raw.centralOffsets[1] + 42, raw.centralOffsets[2] + 46 + 8);
  return raw.bytes;
}

}  // namespace

// Entries whose data would lie over another entry's, as in archives built to expand without end,
// are listed but never extracted: each is reported as unreadable, and every other entry comes
// back once. The directory alone tells most of them; a local header's own lengths tell the rest.
// Records naming a header another record names already make a damaged directory: the scan of the
// local headers finds each header once, and it takes the data of the first record naming it.
TEST_F(Extraction, OverlappingEntriesAreRefusedAndTheRestExtractOnce) {
  using archive_fixtures::RawEntry;
  const std::vector<RawEntry> entries = {{"eins.txt", "first entry"}, {"zwei.txt", "second"}, {"drei.txt", "third"}};
  // The second record names the first header; the second header is named by none.
  archive_fixtures::RawArchive sharedHeader = archive_fixtures::BuildStored(entries);
  Patch(sharedHeader.bytes, sharedHeader.centralOffsets[1] + 42, sharedHeader.localOffsets[0]);
  std::vector<RawEntry> copies = {{"kern.bin", std::string(30000, 'k')}, {"kopie1.bin", ""}, {"kopie2.bin", ""}};
  for (std::size_t i = 1; i < copies.size(); ++i) {
    copies[i].data = copies[0].data;
    copies[i].headerOf = 0;
  }
  archive_fixtures::RawArchive runsOn = archive_fixtures::BuildStored(entries);
  for (std::size_t field : {20, 24}) Patch(runsOn.bytes, runsOn.centralOffsets[0] + field, 11 + 10);
  // The first entry's local extra field takes in the second's header, so its data is the second's,
  // which its central record describes.
  archive_fixtures::RawArchive extraField = archive_fixtures::BuildStored(entries);
  Patch(extraField.bytes, extraField.localOffsets[0] + 28, 11 + 30 + 8, 2);
  for (std::size_t field : {16, 20, 24})
    extraField.bytes.replace(extraField.centralOffsets[0] + field, 4, extraField.bytes, extraField.centralOffsets[1] + field, 4);
  const std::string kernel(20000, 'k');
  const std::map<std::string, std::string> contents = {{"zwei.txt", "second"},
                                                       {"eins.txt", "first entry"},
                                                       {"drei.txt", "third"},
                                                       {"teil5.bin", kernel},
                                                       {"kern.bin", copies[0].data}};
  const struct {
    const char* what;
    std::string archive;
    std::vector<std::string> refused;
    std::vector<std::string> extracted;
    bool markedOnReading;
  } cases[] = {
      {"two records name one local header", sharedHeader.bytes, {}, {"eins.txt", "zwei.txt", "drei.txt"}, true},
      {"three records name one local header", archive_fixtures::BuildStored(copies).bytes, {}, {"kern.bin"}, true},
      {"data runs into the next entry's header", runsOn.bytes, {"eins.txt"}, {"zwei.txt", "drei.txt"}, true},
      {"a local header inside the directory", WithAHeaderInTheDirectory(), {"zwei.txt"}, {"eins.txt", "drei.txt"},
       true},
      {"each entry holds all that follow", archive_fixtures::BuildOverlapped(kernel, 5).bytes,
       {"teil1.bin", "teil2.bin", "teil3.bin", "teil4.bin"}, {"teil5.bin"}, true},
      {"a local extra field runs over the next header", extraField.bytes, {"eins.txt"}, {"zwei.txt", "drei.txt"},
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(dir_ / "dest");
    testing_support::WriteFile(dir_ / "test.zip", c.archive);
    archive_fixtures::TestReader reader;
    Recorder recorder;
    PrepareAll(reader, recorder, dir_ / "test.zip");
    reader.LoadDirectory();
    std::vector<std::string> marked;
    for (int i = 0; i < reader.EntryCount(); ++i)
      if (reader.Entry(i).Overlaps) marked.push_back(reader.EntryName(i));
    std::sort(marked.begin(), marked.end());
    EXPECT_EQ(marked, c.markedOnReading ? c.refused : std::vector<std::string>{});
    EXPECT_EQ(reader.ExtractMatching(), static_cast<int>(c.extracted.size()));
    EXPECT_EQ(reader.EntryCount(), static_cast<int>(c.refused.size() + c.extracted.size()));
    std::vector<std::string> refused;
    for (int index : recorder.badCrc) refused.push_back(reader.EntryName(index));
    std::sort(refused.begin(), refused.end());
    EXPECT_EQ(refused, c.refused);
    for (const std::string& name : c.refused) EXPECT_FALSE(testing_support::FileExists(InDest(name))) << name;
    for (const std::string& name : c.extracted) EXPECT_EQ(testing_support::ReadFile(InDest(name)), contents.at(name));
    EXPECT_TRUE(recorder.skipped.empty());
    EXPECT_EQ(recorder.ended.size(), c.extracted.size());
  }
}

#ifndef _WIN32
namespace {

// A small tree of what backups hold: text, binary, an empty file, folders, German names.
void MakeSourceTree(const std::string& root) {
  std::filesystem::create_directories(root + "/Ordner/Unterordner");
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "Zeile " + std::to_string(i) + " mit etwas Text\n";
  std::string binary;
  for (int i = 0; i < 200000; ++i) binary += static_cast<char>((i * 7919) >> 3);
  testing_support::WriteFile(root + "/text.txt", text);
  testing_support::WriteFile(root + "/binary.bin", binary);
  testing_support::WriteFile(root + "/leer.txt", "");
  testing_support::WriteFile(root + "/Ordner/Prüfung äöüß.txt", text.substr(0, 5000));
  testing_support::WriteFile(root + "/Ordner/Unterordner/tief.dat", binary.substr(0, 70000));
  std::string output;
  // A fixed date in the DOS range, so the extracted dates can be compared exactly.
  ASSERT_EQ(peer_tools::Run("find " + peer_tools::Quote(root) + " -exec touch -d '2024-03-05 14:22:08' {} +", output),
            0)
      << output;
}

}  // namespace

TEST_F(Extraction, ArchivesOfPeerToolsExtractByteIdenticalWithDates) {
  const std::string source = dir_ / "src";
  MakeSourceTree(source);
  const std::string q = peer_tools::Quote(source);
  struct Peer {
    const char* tool;
    const char* label;
    std::string command;  // run inside the source folder; writes ../out.zip
    std::string password;
  } peers[] = {
      {"zip", "zip stored", "zip -q -r -0 ../out.zip .", ""},
      {"zip", "zip level 9", "zip -q -r -9 ../out.zip .", ""},
      {"zip", "zip encrypted", "zip -q -r -P geheim ../out.zip .", "geheim"},
      {"zip", "zip to a pipe (descriptors)", "zip -q -r - . | cat > ../out.zip", ""},
      {"zip", "zip split into parts", "zip -q -r -0 -s 64k ../out.zip .", ""},
      {"zip", "zip behind a program stub",
       "zip -q -r ../plain.zip . && head -c 20000 /dev/zero > ../out.zip && cat ../plain.zip >> ../out.zip && "
       "zip -q -A ../out.zip",
       ""},
      {"python3", "python",
       "python3 -c \"import os, zipfile\n"
       "with zipfile.ZipFile('../out.zip', 'w', zipfile.ZIP_DEFLATED) as z:\n"
       "    for d, _, fs in os.walk('.'):\n"
       "        for f in fs: z.write(os.path.join(d, f))\"",
       ""},
      // An output it cannot seek in makes it write each entry's sizes after its data.
      {"python3", "python to a pipe (descriptors)",
       "python3 -c \"import os, sys, zipfile\n"
       "with zipfile.ZipFile(sys.stdout.buffer, 'w', zipfile.ZIP_DEFLATED) as z:\n"
       "    for d, _, fs in os.walk('.'):\n"
       "        for f in fs: z.write(os.path.join(d, f))\" | cat > ../out.zip",
       ""},
      {"7z", "7z", "7z a -tzip -bd ../out.zip . >/dev/null", ""},
      {"7z", "7z stored", "7z a -tzip -mx0 -bd ../out.zip . >/dev/null", ""},
  };
  for (const Peer& peer : peers) {
    if (!peer_tools::Installed(peer.tool)) {
      ADD_FAILURE() << peer.tool << " not installed";
      continue;
    }
    SCOPED_TRACE(peer.label);
    std::string output;
    ASSERT_EQ(peer_tools::Run("cd " + q + " && rm -f ../out.z* ../plain.zip && " + peer.command, output), 0) << output;
    std::filesystem::remove_all(dir_ / "dest");
    TZipReader reader;
    Recorder recorder;
    PrepareAll(reader, recorder, dir_ / "out.zip");
    reader.SetPassword(peer.password);
    // Parts of a split set as this tool names them: out.z01, out.z02, ..., out.zip.
    reader.OnGetNextDisk = [&](int n, std::string& name) {
      const std::string number = (n < 10 ? "0" : "") + std::to_string(n);
      name = Engine(n == reader.DiskCount() ? dir_ / "out.zip" : dir_ / ("out.z" + number));
    };
    reader.ExtractMatching();
    EXPECT_TRUE(recorder.skipped.empty());
    EXPECT_TRUE(recorder.badCrc.empty());
    EXPECT_EQ(peer_tools::Run("diff -r " + q + " " + peer_tools::Quote(dir_ / "dest"), output), 0) << output;
    std::uint32_t date = 0;
    ASSERT_TRUE(fs::FileAge(Engine(dir_ / "dest/Ordner/Prüfung äöüß.txt"), date));
    EXPECT_EQ(date, (2024u - 1980) << 25 | 3 << 21 | 5 << 16 | 14 << 11 | 22 << 5 | 4);
  }
}
#endif
