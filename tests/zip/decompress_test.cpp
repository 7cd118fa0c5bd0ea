#include "zip/decompress.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/zip/decode_support.h"
#include "tests/zip/peer_tools.h"
#include "zip/crc32.h"
#include "zip/crypt.h"
#include "zip/zip_exceptions.h"
#include "zip/zip_records.h"

using namespace zip;
using decode_support::Decode;
using decode_support::MixedData;
using decode_support::RawDeflate;
using decode_support::TMemoryEntry;

namespace {

constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;

std::uint32_t Crc(const std::string& s) { return ~UpdateCrc32(0xFFFFFFFF, s.data(), s.size()); }

// An encrypted entry as the traditional encryption writes it: 12 header bytes ending in the
// check byte, then the data, all through the cipher.
decode_support::TArchiveEntry EncryptedEntry(std::uint16_t method, const std::string& original, const std::string& data,
                                             const std::string& password) {
  decode_support::TArchiveEntry e;
  e.header.Flags = kFlagEncrypted;
  e.header.CompressionMethod = method;
  e.header.CRC32 = Crc(original);
  e.header.UncompressedSize = static_cast<std::uint32_t>(original.size());
  const std::string plain = decode_support::RandomBytes(11, 7) + static_cast<char>(ExpectedCheckByte(e.header)) + data;
  TZipCipher cipher;
  cipher.InitKeys(password);
  for (char c : plain) e.data += static_cast<char>(cipher.EncryptByte(static_cast<std::uint8_t>(c)));
  e.header.CompressedSize = static_cast<std::uint32_t>(e.data.size());
  return e;
}

}  // namespace

TEST(StoredEntry, EmptyEntryWritesNothingAndReportsNoProgress) {
  TMemoryEntry entry("");
  EXPECT_EQ(entry.Run(kStored, 0, 0), TDecodeResult::kComplete);
  EXPECT_EQ(entry.file.Size(), 0);
  EXPECT_TRUE(entry.windows.empty());
  EXPECT_TRUE(entry.reads.empty());
  EXPECT_EQ(entry.crc, 0u);
}

TEST(StoredEntry, GoesInChunksAndWindowsOf32768WithOneProgressCallPerWindow) {
  const std::string data = MixedData(70000, 1);
  TMemoryEntry entry(data);
  EXPECT_EQ(entry.Run(kStored, 0, 70000), TDecodeResult::kComplete);
  EXPECT_EQ(entry.file.Content(), data);
  EXPECT_EQ(entry.crc, Crc(data));
  EXPECT_EQ(entry.reads, (std::vector<std::int64_t>{32768, 32768, 4464}));
  EXPECT_EQ(entry.windows, (std::vector<std::int32_t>{32768, 32768, 4464}));
  EXPECT_EQ(entry.percents, (std::vector<int>{47, 94, 100}));
  EXPECT_EQ(entry.cancelTests, 3);
}

TEST(StoredEntry, ShorterThanItsSizeIsDamaged) {
  EXPECT_EQ(Decode(kStored, 0, "abc", 4).result, TDecodeResult::kDamaged);
}

TEST(EntryInput, CancelStopsBeforeTheNextChunkIsRead) {
  TMemoryEntry entry(MixedData(70000, 2));
  entry.cancelOnTest = 2;
  try {
    entry.Run(kStored, 0, 70000);
    FAIL() << "no cancel";
  } catch (const EUserCanceled& e) {
    EXPECT_EQ(e.Message(), "User Aborted Operation");
  }
  EXPECT_EQ(entry.reads.size(), 1u);
  EXPECT_EQ(entry.file.Size(), 32768);
}

TEST(EntryInput, ArchiveEndingEarlyIsPrematureEnd) {
  TEntryInput input([](std::uint8_t*, std::int64_t) { return std::int64_t{60}; });
  input.Begin(100);
  std::uint8_t byte;
  try {
    input.ReadInputByte(byte);
    FAIL() << "no error";
  } catch (const EFatalUnzipError& e) {
    EXPECT_EQ(e.Message(), "Premature end of file reached");
  }
}

TEST(DeflatedEntry, DecodesThroughRawInflate) {
  for (const std::string& data : {std::string(), std::string("a"), MixedData(100000, 3), std::string(300000, '\0')}) {
    const auto decoded = Decode(kDeflated, 0, RawDeflate(data), static_cast<std::int64_t>(data.size()));
    EXPECT_EQ(decoded.result, TDecodeResult::kComplete) << data.size();
    EXPECT_EQ(decoded.bytes, data) << data.size();
    EXPECT_EQ(decoded.crc, Crc(data)) << data.size();
  }
}

// The last input bytes can hold more output than one window takes: the decoder must drain zlib
// after the input is used up, not call the entry short.
TEST(DeflatedEntry, OutputHeldBackAfterTheLastInputComesOut) {
  for (std::size_t size : {32767u, 32768u, 32769u, 32800u, 65535u, 65536u, 65537u, 65549u, 98305u}) {
    for (bool fixedCodes : {false, true}) {
      const std::string data = std::string(size - 1, 'r') + "x";
      const auto decoded = Decode(kDeflated, 0, RawDeflate(data, fixedCodes), static_cast<std::int64_t>(size));
      EXPECT_EQ(decoded.result, TDecodeResult::kComplete) << size << " fixed " << fixedCodes;
      EXPECT_EQ(decoded.bytes, data) << size << " fixed " << fixedCodes;
    }
  }
}

TEST(DeflatedEntry, MoreThanItsSizeRaisesAtTheFirstWindowPastIt) {
  TMemoryEntry entry(RawDeflate(MixedData(100000, 4)));
  try {
    entry.Run(kDeflated, 0, 40000);
    FAIL() << "no error";
  } catch (const EBiggerThanUncompressed& e) {
    EXPECT_EQ(e.Message(), "File is larger than uncompressed size!");
  }
  EXPECT_EQ(entry.file.Size(), 32768);
  EXPECT_EQ(entry.windows, (std::vector<std::int32_t>{32768}));
}

TEST(DeflatedEntry, ShortOrBrokenStreamsAreDamaged) {
  const std::string data = MixedData(100000, 5);
  const std::string deflated = RawDeflate(data);
  std::string badBlockType = deflated;
  badBlockType[0] = static_cast<char>(badBlockType[0] | 0x06);  // block type 3 does not exist
  const struct {
    const char* what;
    std::string compressed;
  } cases[] = {
      {"no bytes at all", ""},
      {"cut in half", deflated.substr(0, deflated.size() / 2)},
      {"last byte missing", deflated.substr(0, deflated.size() - 1)},
      {"bad block type", badBlockType},
  };
  for (const auto& c : cases) {
    TMemoryEntry entry(c.compressed);
    EXPECT_EQ(entry.Run(kDeflated, 0, static_cast<std::int64_t>(data.size())), TDecodeResult::kDamaged) << c.what;
    EXPECT_EQ(entry.file.Content(), data.substr(0, entry.file.Content().size())) << c.what;
  }
}

TEST(DeflatedEntry, ShorterThanItsSizeIsDamaged) {
  EXPECT_EQ(Decode(kDeflated, 0, RawDeflate("abc"), 4).result, TDecodeResult::kDamaged);
}

TEST(EncryptedEntry, StoredAndDeflatedDataIsDecryptedOnTheWay) {
  const std::string data = MixedData(80000, 6);
  for (const auto& e : {EncryptedEntry(kStored, data, data, "Geheimnis"),
                        EncryptedEntry(kDeflated, data, RawDeflate(data), "Geheimnis")}) {
    const auto decoded = decode_support::DecodeEntry(e, "Geheimnis");
    EXPECT_EQ(decoded.result, TDecodeResult::kComplete) << e.header.CompressionMethod;
    EXPECT_EQ(decoded.bytes, data) << e.header.CompressionMethod;
  }
}

TEST(Dispatch, KnowsTheMethodsItCanDecode) {
  for (std::uint16_t method : {0, 1, 2, 3, 4, 5, 6, 8}) EXPECT_TRUE(IsSupportedMethod(method)) << method;
  for (std::uint16_t method : {7, 9, 10, 12, 14, 98, 99, 0xFFFF}) EXPECT_FALSE(IsSupportedMethod(method)) << method;
}

TEST(Dispatch, UnknownMethodRaisesBeforeReadingOrWriting) {
  for (std::uint16_t method : {7, 9, 12}) {
    TMemoryEntry entry("some data");
    try {
      entry.Run(method, 0, 9);
      FAIL() << method;
    } catch (const EUnknownMethod& e) {
      EXPECT_EQ(e.Message(), "Unknown Compression Method");
    }
    EXPECT_TRUE(entry.reads.empty());
    EXPECT_EQ(entry.file.Size(), 0);
  }
}

#ifndef _WIN32
// What the peers write we must read: deflated and encrypted entries of real archives.
TEST(PeerArchives, DeflatedStoredAndEncryptedEntriesDecode) {
  if (!peer_tools::Installed("zip")) GTEST_SKIP() << "zip not installed";
  testing_support::TempDir dir;
  const std::vector<std::string> contents = {MixedData(250000, 8), std::string(70000, 'x'), "", "kurz"};
  std::string names;
  for (size_t i = 0; i < contents.size(); ++i) {
    const std::string name = "datei" + std::to_string(i) + ".bin";
    testing_support::WriteFile(dir / name, contents[i]);
    names += " " + name;
  }
  std::string out;
  const std::string cd = "cd " + peer_tools::Quote(dir.Path()) + " && ";
  ASSERT_EQ(peer_tools::Run(cd + "zip -q -9 plain.zip" + names, out), 0) << out;
  ASSERT_EQ(peer_tools::Run(cd + "zip -q -0 stored.zip" + names, out), 0) << out;
  ASSERT_EQ(peer_tools::Run(cd + "zip -q -P Kennwort secret.zip" + names, out), 0) << out;
  for (const char* archive : {"plain.zip", "stored.zip", "secret.zip"}) {
    const auto entries = decode_support::ReadEntries(testing_support::ReadFile(dir / archive));
    ASSERT_EQ(entries.size(), contents.size()) << archive;
    for (size_t i = 0; i < entries.size(); ++i) {
      const auto decoded = decode_support::DecodeEntry(entries[i], "Kennwort");
      EXPECT_EQ(decoded.result, TDecodeResult::kComplete) << archive << " " << i;
      EXPECT_EQ(decoded.crc, entries[i].header.CRC32) << archive << " " << i;
      EXPECT_EQ(decoded.bytes, contents[i]) << archive << " " << i;
    }
  }
}
#endif
