#include "zip/decode_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/zip/encoders/bit_writer.h"

using namespace zip;
using test_encoders::TBitWriter;

namespace {

TBuildResult BuildFrom(const std::vector<std::uint8_t>& lengths, int lookupBits = 4) {
  TDecodeTable table;
  return table.BuildTables(lengths.data(), static_cast<int>(lengths.size()), static_cast<int>(lengths.size()), nullptr,
                           nullptr, lookupBits);
}

// Values 0..5 with lengths 2, 1, 3, 4, 5, 5: canonical codes 10, 0, 110, 1110, 11110, 11111.
const std::vector<std::uint8_t> kLengths = {2, 1, 3, 4, 5, 5};
const std::vector<std::uint32_t> kCodes = {0b10, 0b0, 0b110, 0b1110, 0b11110, 0b11111};

std::vector<std::uint32_t> DecodeAll(const std::string& stream, int lookupBits, bool inverted) {
  const std::uint32_t base[] = {100, 200};
  const std::uint8_t extra[] = {0, 3};
  TDecodeTable table;
  EXPECT_EQ(table.BuildTables(kLengths.data(), 6, 4, base, extra, lookupBits), TBuildResult::kComplete);
  TEntryInput input([&](std::uint8_t* buffer, std::int64_t count) {
    std::copy(stream.begin(), stream.begin() + count, buffer);
    return count;
  });
  input.Begin(static_cast<std::int64_t>(stream.size()));
  TBitReader bits(input);
  std::vector<std::uint32_t> values;
  for (TDecodedValue d; table.Decode(bits, inverted, d);) {
    std::uint32_t extraValue = 0;
    if (d.extraBits > 0) {
      EXPECT_TRUE(bits.ReadBits(d.extraBits, extraValue));
    }
    values.push_back(d.value + extraValue);
  }
  return values;
}

}  // namespace

TEST(DecodeTable, TellsCompleteIncompleteAndImpossibleLengths) {
  EXPECT_EQ(BuildFrom(kLengths), TBuildResult::kComplete);
  EXPECT_EQ(BuildFrom({1, 2, 3, 3, 0, 0}), TBuildResult::kComplete);
  EXPECT_EQ(BuildFrom({1, 2, 3}), TBuildResult::kIncomplete);
  EXPECT_EQ(BuildFrom({0, 0}), TBuildResult::kIncomplete);
  EXPECT_EQ(BuildFrom({1, 1, 1}), TBuildResult::kBadLengths);
  EXPECT_EQ(BuildFrom({2, 2, 2, 2, 3}), TBuildResult::kBadLengths);
  EXPECT_EQ(BuildFrom({17, 1}), TBuildResult::kBadLengths);
  EXPECT_EQ(BuildFrom(std::vector<std::uint8_t>(289, 9), 9), TBuildResult::kBadLengths);
  EXPECT_EQ(BuildFrom(std::vector<std::uint8_t>(128, 9), 9), TBuildResult::kIncomplete);
}

// Codes longer than the lookup bits go through sub-tables; values past the simple ones take their
// base and extra bits; an inverted stream holds each code complemented.
TEST(DecodeTable, DecodesCodesStoredHighestBitFirst) {
  const std::vector<std::uint32_t> sequence = {1, 0, 5, 2, 3, 4, 1, 1, 3, 5, 0};
  for (bool inverted : {false, true}) {
    TBitWriter out;
    for (std::uint32_t v : sequence) {
      const std::uint32_t code = inverted ? ~kCodes[v] : kCodes[v];
      for (int bit = kLengths[v] - 1; bit >= 0; --bit) out.Write(code >> bit & 1, 1);
      if (v == 5) out.Write(6, 3);
    }
    const std::vector<std::uint32_t> expected = {1, 0, 206, 2, 3, 100, 1, 1, 3, 206, 0};
    for (int lookupBits : {1, 2, 3, 9}) {
      std::vector<std::uint32_t> decoded = DecodeAll(out.Finish(), lookupBits, inverted);
      // The zero padding of the last byte may decode as more codes.
      decoded.resize(std::min(decoded.size(), expected.size()));
      EXPECT_EQ(decoded, expected) << lookupBits << " " << inverted;
    }
  }
}
