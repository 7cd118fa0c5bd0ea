#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/zip/decode_support.h"
#include "tests/zip/encoders/bit_writer.h"
#include "tests/zip/encoders/implode_encoder.h"
#include "tests/zip/encoders/reduce_encoder.h"
#include "tests/zip/encoders/shrink_encoder.h"
#include "zip/zip_exceptions.h"

using namespace zip;
using decode_support::Decode;
using decode_support::MixedData;
using decode_support::RandomBytes;
using decode_support::TMemoryEntry;
using test_encoders::TBitWriter;

namespace {

// Shrink codes at the code size they are sent with.
std::string ShrinkCodes(const std::vector<std::pair<std::uint32_t, int>>& codes) {
  TBitWriter out;
  for (const auto& c : codes) out.Write(c.first, c.second);
  return out.Finish();
}

// 'A', then the code size widened the given number of times from 9 bits, then 'B'.
std::string WidenedCodes(int times) {
  TBitWriter out;
  out.Write('A', 9);
  for (int size = 9; size < 9 + times; ++size) {
    out.Write(256, size);
    out.Write(1, size);
  }
  out.Write('B', 9 + times);
  return out.Finish();
}

// A length tree (after no literal tree) given as its runs, then a distance tree of 64 codes of
// 6 bits and some bits of data.
std::string ImplodeTrees(const std::vector<std::uint8_t>& lengthRuns) {
  std::string s(1, static_cast<char>(lengthRuns.size() - 1));
  for (std::uint8_t r : lengthRuns) s += static_cast<char>(r);
  return s + "\x03\xF5\xF5\xF5\xF5" + std::string(8, '\xFF');
}

// Complete trees of equal code lengths for the flags: 256 literals of 8 bits, 64 lengths and
// distances of 6 bits.
std::string EvenImplodeTrees(std::uint16_t flags) {
  const std::string sixBits = "\x03\xF5\xF5\xF5\xF5";
  return ((flags & 4) ? "\x0F" + std::string(16, '\xF7') : std::string()) + sixBits + sixBits;
}

// Follower sets that are empty but for the set after 0, which holds the given bytes.
std::string ReduceHeader(const std::string& followersOfZero, std::uint32_t data, int dataBits) {
  TBitWriter out;
  for (int last = 255; last > 0; --last) out.Write(0, 6);
  out.Write(static_cast<std::uint32_t>(followersOfZero.size()), 6);
  for (char c : followersOfZero) out.Write(static_cast<std::uint8_t>(c), 8);
  out.Write(data, dataBits);
  return out.Finish();
}

}  // namespace

TEST(HostileInput, BrokenStreamsEndTheEntryAsDamaged) {
  const std::string deflated = decode_support::RawDeflate(MixedData(50000, 31));
  const std::string reduced = test_encoders::Reduce(MixedData(5000, 32), 2);
  const struct {
    const char* what;
    std::uint16_t method;
    std::uint16_t flags;
    std::string compressed;
    std::int64_t size;
  } cases[] = {
      {"implode: over-subscribed tree (64 codes of 1 bit)", 6, 0, ImplodeTrees({0xF0, 0xF0, 0xF0, 0xF0}), 100},
      {"implode: incomplete tree (64 codes of 7 bits)", 6, 0, ImplodeTrees({0xF6, 0xF6, 0xF6, 0xF6}), 100},
      {"implode: runs describe 80 of 64 codes", 6, 0, ImplodeTrees({0xF5, 0xF5, 0xF5, 0xF5, 0xF5}), 100},
      {"implode: runs describe 48 of 64 codes", 6, 0, ImplodeTrees({0xF5, 0xF5, 0xF5}), 100},
      {"implode: input ends inside the trees", 6, 4, "\x05\x12", 100},
      {"implode: input ends inside the data", 6, 6,
       test_encoders::Implode(MixedData(5000, 33), true, true).substr(0, 900), 5000},
      {"shrink: codes widened past 13 bits", 1, 0, WidenedCodes(5), 2},
      {"shrink: first code is not a byte", 1, 0, ShrinkCodes({{300, 9}, {'A', 9}}), 2},
      {"shrink: free codes chained to themselves", 1, 0, ShrinkCodes({{'A', 9}, {400, 9}, {401, 9}, {'B', 9}}), 100000},
      {"shrink: control code cut off", 1, 0, ShrinkCodes({{'A', 9}, {256, 9}}), 1},
      {"reduce: follower index past its set", 3, 0, ReduceHeader("A", 0b10, 2), 1},
      {"reduce: input ends inside the follower sets", 2, 0, reduced.substr(0, 40), 5000},
      {"reduce: input ends inside the data", 3, 0, reduced.substr(0, reduced.size() / 2), 5000},
      {"deflate: stream cut short", 8, 0, deflated.substr(0, deflated.size() - 100), 50000},
      {"deflate: bytes that are no deflate stream", 8, 0, std::string(64, '\xFF'), 50000},
  };
  for (const auto& c : cases) {
    TMemoryEntry entry(c.compressed);
    EXPECT_EQ(entry.Run(c.method, c.flags, c.size), TDecodeResult::kDamaged) << c.what;
    EXPECT_LE(entry.file.Size(), c.size) << c.what;
  }
}

TEST(HostileInput, RunsPastTheUncompressedSizeRaise) {
  const std::string data(1000, 'z');
  const struct {
    const char* what;
    std::uint16_t method;
    std::uint16_t flags;
    std::string compressed;
  } cases[] = {
      {"shrink", 1, 0, test_encoders::Shrink(data)},
      {"reduce", 5, 0, test_encoders::Reduce(data, 4)},
      {"implode", 6, 0, test_encoders::Implode(data, false, false)},
  };
  for (const auto& c : cases) {
    TMemoryEntry entry(c.compressed);
    EXPECT_THROW(entry.Run(c.method, c.flags, 500), EBiggerThanUncompressed) << c.what;
    EXPECT_EQ(entry.file.Size(), 0) << c.what;
  }
}

// Garbage must end every decoder cleanly: damaged when it cannot fill a large size, and never
// past a small one. Imploded garbage also comes behind sound trees, to reach the decoding loop.
TEST(HostileInput, RandomGarbageEndsEveryDecoder) {
  const struct {
    std::uint16_t method;
    std::uint16_t flags;
    std::string prefix;
  } methods[] = {{0, 0, ""},
                 {1, 0, ""},
                 {2, 0, ""},
                 {3, 0, ""},
                 {4, 0, ""},
                 {5, 0, ""},
                 {6, 0, ""},
                 {6, 6, ""},
                 {6, 0, EvenImplodeTrees(0)},
                 {6, 2, EvenImplodeTrees(2)},
                 {6, 4, EvenImplodeTrees(4)},
                 {6, 6, EvenImplodeTrees(6)},
                 {8, 0, ""}};
  for (std::uint32_t seed = 1; seed <= 40; ++seed) {
    for (std::size_t length : {1u, 9u, 300u, 5000u, 70000u}) {
      for (const auto& m : methods) {
        const std::string garbage = m.prefix + RandomBytes(length, seed * 7919 + static_cast<std::uint32_t>(length));
        EXPECT_EQ(Decode(m.method, m.flags, garbage, 1 << 24).result, TDecodeResult::kDamaged)
            << m.method << "/" << m.flags << " seed " << seed << " length " << length;
        TMemoryEntry small(garbage);
        try {
          small.Run(m.method, m.flags, 64);
        } catch (const EBiggerThanUncompressed&) {
        }
        EXPECT_LE(small.file.Size(), 64) << m.method << "/" << m.flags << " seed " << seed;
      }
    }
  }
}
