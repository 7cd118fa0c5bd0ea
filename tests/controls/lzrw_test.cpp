#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "controls/panels/vis_lzrw.h"

#ifndef _WIN32
#include "tests/support/temp_dir.h"
#include "tests/zip/peer_tools.h"
#endif

using controls::EVisLZRWError;
using controls::LZRWCompress;
using controls::LZRWCompressBound;
using controls::LZRWDecompress;
using Bytes = std::vector<std::uint8_t>;

namespace {

// Buffers of exactly the size asked for, so a sanitizer sees every byte read or written past them.
Bytes Compress(const Bytes& input) {
  Bytes source(input);
  Bytes block(LZRWCompressBound(input.size()));
  block.resize(LZRWCompress(source.data(), source.size(), block.data(), block.size()));
  return block;
}

Bytes Decompress(const Bytes& block, size_t capacity) {
  Bytes source(block);
  Bytes out(capacity);
  out.resize(LZRWDecompress(source.data(), source.size(), out.data(), out.size()));
  return out;
}

Bytes Random(size_t n, unsigned seed) {
  std::mt19937 random(seed);
  Bytes b(n);
  for (auto& c : b) c = static_cast<std::uint8_t>(random());
  return b;
}

Bytes Text(size_t n) {
  const std::string words = "Sicherung der Dateien im Ordner Dokumente, erstellt am Montag. ";
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(words[(i * 7 / 5) % words.size()]);
  return b;
}

Bytes Repeat(std::uint8_t c, size_t n) { return Bytes(n, c); }

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

struct Sample {
  const char* name;
  Bytes data;
};

// Inputs at the format's limits: runs just below, at and above their bounds, copies from the
// farthest offset and just beyond it, the shortest and longest copies, tiny and maximal blocks.
std::vector<Sample> Samples() {
  const Bytes chunk = Random(40, 7);
  return {
      {"one byte", {0x41}},
      {"two bytes", {0x41, 0x41}},
      {"three equal bytes", Repeat('x', 3)},
      {"run of 15", Concat({Text(20), Repeat('z', 15), Text(20)})},
      {"run of 16", Concat({Text(20), Repeat('z', 16), Text(20)})},
      {"run of 4095", Repeat(0, 4095)},
      {"run of 4096", Repeat(0, 4096)},
      {"run of 9000", Concat({Repeat(7, 9000), {1, 2, 3}})},
      {"copy from 4095 back", Concat({chunk, Random(4095 - chunk.size(), 8), chunk})},
      {"copy from 4096 back", Concat({chunk, Random(4096 - chunk.size(), 9), chunk})},
      {"overlapping copies", Concat({Random(5, 10), Bytes{1, 2, 1, 2, 1, 2, 1, 2, 1, 2, 1, 2, 1, 2}})},
      {"text", Text(20000)},
      {"random", Random(3000, 11)},
      {"largest block of text", Text(controls::kLZRWMaxInput)},
      {"largest block of noise", Random(controls::kLZRWMaxInput, 12)},
  };
}

}  // namespace

TEST(LZRW, GoldenBlocks) {
  EXPECT_EQ(Compress(Repeat('A', 100)), (Bytes{0x40, 0x80, 0x00, 0x00, 0x00, 0x54, 0x41}));
  EXPECT_EQ(Compress({}), Bytes{0x80});
  const Bytes noise = Random(500, 1);
  Bytes stored{0x80};
  stored.insert(stored.end(), noise.begin(), noise.end());
  EXPECT_EQ(Compress(noise), stored);
}

TEST(LZRW, RoundTripsAtTheLimits) {
  for (const Sample& s : Samples()) {
    SCOPED_TRACE(s.name);
    const Bytes block = Compress(s.data);
    EXPECT_LE(block.size(), s.data.size() + 1);
    EXPECT_EQ(Decompress(block, s.data.size()), s.data);
  }
  EXPECT_LT(Compress(Repeat(0, 4095)).size(), 8u);
  EXPECT_LT(Compress(Text(20000)).size(), 20000u / 2);
}

TEST(LZRW, DecoderTakesTheLargestItems) {
  // A run of 4111 (count field 0xFFF) and a copy of 18 from 4095 back.
  Bytes block{0x40, 0xC0, 0x00, 0x00, 0x0F, 0xFF, 0x55, 0xFF, 0xFF};
  EXPECT_EQ(Decompress(block, 4111 + 18), Repeat(0x55, 4129));
}

TEST(LZRW, DamagedBlocksFailCleanly) {
  const struct {
    const char* name;
    Bytes block;
    size_t capacity;
  } cases[] = {
      {"empty", {}, 10},
      {"unknown kind", {0x41, 0, 0, 'a'}, 10},
      {"control word cut off", {0x40, 0x00}, 10},
      {"second control word cut off", Concat({{0x40, 0x00, 0x00}, Repeat('a', 16), {0x00}}), 100},
      {"copy before the start", {0x40, 0x80, 0x00, 0x00, 0x13}, 10},
      {"copy beyond the capacity", {0x40, 0x40, 0x00, 'a', 0x00, 0x13}, 3},
      {"copy cut off", {0x40, 0x80, 0x00, 0x01}, 10},
      {"run cut off", {0x40, 0x80, 0x00, 0x00, 0x00, 0x10}, 100},
      {"run beyond the capacity", {0x40, 0x80, 0x00, 0x00, 0x00, 0x10, 'r'}, 31},
      {"literal beyond the capacity", {0x40, 0x00, 0x00, 'a', 'b', 'c'}, 2},
      {"stored beyond the capacity", {0x80, 'a', 'b', 'c'}, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_THROW(Decompress(c.block, c.capacity), EVisLZRWError);
  }
}

TEST(LZRW, GarbageNeverReachesPastTheBuffers) {
  std::mt19937 random(99);
  for (int i = 0; i < 3000; ++i) {
    Bytes block = Random(1 + random() % 64, static_cast<unsigned>(i));
    block[0] = 0x40;
    try {
      Decompress(block, random() % 300);
    } catch (const EVisLZRWError&) {
    }
  }
}

TEST(LZRW, CompressorRefusesWhatTheFormatCannotHold) {
  Bytes big(controls::kLZRWMaxInput + 1);
  Bytes out(LZRWCompressBound(big.size()));
  EXPECT_THROW(LZRWCompress(big.data(), big.size(), out.data(), out.size()), EVisLZRWError);
  Bytes small = Text(100);
  Bytes tight(small.size() + 1);
  EXPECT_THROW(LZRWCompress(small.data(), small.size(), tight.data(), tight.size()), EVisLZRWError);
}

#ifndef _WIN32
// A decoder written in Python from the format's description reads every block we write.
TEST(LZRW, IndependentDecoderAgrees) {
  testing_support::TempDir dir;
  const std::vector<Sample> samples = Samples();
  std::string command = "python3 " + peer_tools::Quote(std::string(CONTROLS_TEST_DIR) + "/lzrw_oracle.py");
  for (size_t i = 0; i < samples.size(); ++i) {
    const Bytes block = Compress(samples[i].data);
    const std::string name = dir / std::to_string(i);
    testing_support::WriteFile(name + ".block", std::string(block.begin(), block.end()));
    command += " " + peer_tools::Quote(name + ".block") + " " + peer_tools::Quote(name + ".out");
  }
  std::string output;
  ASSERT_EQ(peer_tools::Run(command, output), 0) << output;
  for (size_t i = 0; i < samples.size(); ++i) {
    SCOPED_TRACE(samples[i].name);
    EXPECT_EQ(testing_support::ReadFile(dir / (std::to_string(i) + ".out")),
              std::string(samples[i].data.begin(), samples[i].data.end()));
  }
}
#endif
