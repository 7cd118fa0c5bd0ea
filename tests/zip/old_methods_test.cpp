#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/zip/decode_support.h"
#include "tests/zip/encoders/fixture_archive.h"
#include "tests/zip/encoders/implode_encoder.h"
#include "tests/zip/encoders/reduce_encoder.h"
#include "tests/zip/encoders/shrink_encoder.h"
#include "tests/zip/peer_tools.h"
#include "zip/crc32.h"

using namespace zip;
using decode_support::Decode;
using decode_support::MixedData;
using decode_support::RandomBytes;
using test_encoders::TFixtureEntry;

namespace {

struct TMethod {
  const char* name;
  std::uint16_t method;
  std::uint16_t flags;
  std::function<std::string(const std::string&)> encode;
};

TMethod Imploding(bool big, bool literalTree) {
  return {big ? (literalTree ? "implode 8K 3 trees" : "implode 8K 2 trees")
              : (literalTree ? "implode 4K 3 trees" : "implode 4K 2 trees"),
          6, static_cast<std::uint16_t>(test_encoders::ImplodeFlags(big, literalTree)),
          [=](const std::string& d) { return test_encoders::Implode(d, big, literalTree); }};
}

TMethod Reducing(int factor) {
  static const char* const kNames[] = {"", "reduce 1", "reduce 2", "reduce 3", "reduce 4"};
  return {kNames[factor], static_cast<std::uint16_t>(factor + 1), 0,
          [=](const std::string& d) { return test_encoders::Reduce(d, factor); }};
}

const std::vector<TMethod>& Methods() {
  static const std::vector<TMethod> methods = {
      {"shrink", 1, 0, [](const std::string& d) { return test_encoders::Shrink(d); }},
      Reducing(1),
      Reducing(2),
      Reducing(3),
      Reducing(4),
      Imploding(false, false),
      Imploding(false, true),
      Imploding(true, false),
      Imploding(true, true),
  };
  return methods;
}

std::uint32_t Crc(const std::string& s) { return ~UpdateCrc32(0xFFFFFFFF, s.data(), s.size()); }

void ExpectRoundTrip(const TMethod& m, const std::string& data, const std::string& what) {
  const auto decoded = Decode(m.method, m.flags, m.encode(data), static_cast<std::int64_t>(data.size()));
  EXPECT_EQ(decoded.result, TDecodeResult::kComplete) << m.name << ", " << what;
  EXPECT_EQ(decoded.crc, Crc(data)) << m.name << ", " << what;
  EXPECT_TRUE(decoded.bytes == data) << m.name << ", " << what;
}

}  // namespace

TEST(OldMethods, EveryMethodReproducesItsInput) {
  const struct {
    const char* what;
    std::string data;
  } samples[] = {
      {"empty", ""},
      {"one byte", "A"},
      {"marker bytes", std::string(300, '\x90') + "\x90\x00\x90"},
      {"text", MixedData(60000, 11)},
      {"random", RandomBytes(20000, 12)},
      {"one long run", std::string(100000, 'z')},
  };
  for (const TMethod& m : Methods())
    for (const auto& s : samples) ExpectRoundTrip(m, s.data, s.what);
}

TEST(Shrink, TableFillsWidensTo13BitsAndClearsItsLeaves) {
  int clears = 0;
  const std::string data = MixedData(400000, 13) + RandomBytes(50000, 14) + MixedData(100000, 15);
  const std::string compressed = test_encoders::Shrink(data, &clears);
  EXPECT_GT(clears, 1);
  const auto decoded = Decode(1, 0, compressed, static_cast<std::int64_t>(data.size()));
  EXPECT_EQ(decoded.result, TDecodeResult::kComplete);
  EXPECT_TRUE(decoded.bytes == data);
}

TEST(Reduce, Factor4CopiesFromTheFarEndOfItsWindow) {
  // Random bytes match only 4096 bytes back: 15 x 256 + 255 + 1.
  const std::string block = RandomBytes(4096, 16);
  const std::string data = block + block;
  const std::string compressed = test_encoders::Reduce(data, 4);
  EXPECT_LT(compressed.size(), 4096u + 1024u);
  const auto decoded = Decode(5, 0, compressed, static_cast<std::int64_t>(data.size()));
  EXPECT_EQ(decoded.result, TDecodeResult::kComplete);
  EXPECT_TRUE(decoded.bytes == data);
}

TEST(Implode, EntryOver200000CompressedBytesDecodes) {
  const std::string data = MixedData(150000, 17) + RandomBytes(150000, 18);
  for (bool big : {false, true}) {
    const std::string compressed = test_encoders::Implode(data, big, true);
    EXPECT_GT(compressed.size(), 200000u);
    const auto decoded = Decode(6, static_cast<std::uint16_t>(test_encoders::ImplodeFlags(big, true)), compressed,
                                static_cast<std::int64_t>(data.size()));
    EXPECT_EQ(decoded.result, TDecodeResult::kComplete) << big;
    EXPECT_TRUE(decoded.bytes == data) << big;
  }
}

// Our fixtures in real archives, read back through the central directory.
TEST(OldMethods, ArchivedEntriesDecodeWithTheirStoredCrc) {
  const std::string data = MixedData(30000, 19);
  std::vector<TFixtureEntry> entries;
  for (const TMethod& m : Methods())
    entries.push_back({std::string(m.name) + ".txt", m.method, m.flags, data, m.encode(data)});
  for (const auto& e : decode_support::ReadEntries(test_encoders::BuildArchive(entries))) {
    const auto decoded = decode_support::DecodeEntry(e);
    EXPECT_EQ(decoded.result, TDecodeResult::kComplete) << e.header.FileName();
    EXPECT_EQ(decoded.crc, e.header.CRC32) << e.header.FileName();
    EXPECT_TRUE(decoded.bytes == data) << e.header.FileName();
  }
}

#ifndef _WIN32
// The peers decode shrunk and imploded entries too; what they accept shows that our fixtures,
// and so our decoders, follow the format and not just each other.
TEST(PeerTools, AcceptOurShrunkAndImplodedArchives) {
  testing_support::TempDir dir;
  const std::string text = MixedData(80000, 20);
  const std::string big = MixedData(150000, 21) + RandomBytes(120000, 22);
  const std::string clearing = MixedData(300000, 23) + RandomBytes(40000, 24);
  std::vector<TFixtureEntry> entries = {
      {"shrunk.txt", 1, 0, text, test_encoders::Shrink(text)},
      {"shrunk-cleared.bin", 1, 0, clearing, test_encoders::Shrink(clearing)},
      {"imploded-big.bin", 6, 6, big, test_encoders::Implode(big, true, true)},
  };
  for (const TMethod& m : Methods())
    if (m.method == 6) entries.push_back({std::string(m.name) + ".txt", m.method, m.flags, text, m.encode(text)});
  ASSERT_GT(entries[2].compressed.size(), 200000u);
  const std::string archive = dir / "old-methods.zip";
  testing_support::WriteFile(archive, test_encoders::BuildArchive(entries));

  std::string out;
  for (const char* test : {"unzip -t ", "7z t "}) {
    EXPECT_EQ(peer_tools::Run(test + peer_tools::Quote(archive), out), 0) << out;
  }
  const auto read = decode_support::ReadEntries(testing_support::ReadFile(archive));
  ASSERT_EQ(read.size(), entries.size());
  for (size_t i = 0; i < read.size(); ++i) {
    const auto decoded = decode_support::DecodeEntry(read[i]);
    EXPECT_EQ(decoded.result, TDecodeResult::kComplete) << entries[i].name;
    EXPECT_TRUE(decoded.bytes == entries[i].original) << entries[i].name;
  }
}
#endif
