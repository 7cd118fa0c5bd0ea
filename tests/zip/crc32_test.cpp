#include <gtest/gtest.h>

#include <string>

#include "zip/crc32.h"

using zip::UpdateCrc32;

namespace {

std::uint32_t CrcOf(const std::string& s) { return ~UpdateCrc32(0xFFFFFFFF, s.data(), s.size()); }

std::uint32_t ByteWiseCrcOf(const std::string& s) {
  std::uint32_t crc = 0xFFFFFFFF;
  for (char c : s) crc = UpdateCrc32(crc, static_cast<std::uint8_t>(c));
  return ~crc;
}

}  // namespace

TEST(Crc32, KnownValues) {
  EXPECT_EQ(CrcOf("123456789"), 0xCBF43926u);
  EXPECT_EQ(CrcOf(""), 0u);
  EXPECT_EQ(CrcOf("Hallo"), 0x78B31ED5u);  // as the peer zip tool stored it
  EXPECT_EQ(ByteWiseCrcOf("123456789"), 0xCBF43926u);
}

TEST(Crc32, BufferAndByteUpdatesAgreeAtEveryLengthAndAlignment) {
  std::string data(300, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>((i * 167 + 13) & 0xFF);
  for (size_t start = 0; start < 8; ++start)
    for (size_t length = 0; start + length <= data.size(); length += 1 + length / 7) {
      const std::string piece = data.substr(start, length);
      ASSERT_EQ(CrcOf(piece), ByteWiseCrcOf(piece)) << "start " << start << " length " << length;
    }
}

// Long buffers take the multi-block path where the processor offers one.
TEST(Crc32, LongBuffersAgreeWithTheByteUpdate) {
  std::string data(200000, '\0');
  std::uint32_t x = 12345;
  for (char& c : data) c = static_cast<char>((x = x * 1103515245 + 12345) >> 23);
  for (std::size_t length : {63u, 64u, 65u, 127u, 128u, 1000u, 4103u, 65536u, 200000u})
    for (std::size_t start : {0u, 3u}) {
      const std::string piece = data.substr(start, length);
      ASSERT_EQ(CrcOf(piece), ByteWiseCrcOf(piece)) << "start " << start << " length " << length;
    }
}

TEST(Crc32, RunningValueCanBeFedInPieces) {
  const std::string text = "Die Sicherung läuft in Stücken von ungerader Länge.";
  std::uint32_t crc = 0xFFFFFFFF;
  for (size_t at = 0; at < text.size(); at += 5) crc = UpdateCrc32(crc, text.data() + at, text.substr(at, 5).size());
  EXPECT_EQ(~crc, CrcOf(text));
}
