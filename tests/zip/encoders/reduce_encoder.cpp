#include "tests/zip/encoders/reduce_encoder.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "tests/zip/encoders/bit_writer.h"
#include "tests/zip/encoders/match_finder.h"

namespace test_encoders {

namespace {

constexpr std::uint8_t kMarker = 144;
constexpr std::size_t kMaxFollowers = 32;

// The second stage: literals (the marker doubled as 144, 0) and runs as 144, V, [length byte],
// distance byte. V holds the high distance bits above the low length bits; all length bits set
// means a length byte follows.
std::vector<std::uint8_t> MarkRuns(const std::string& data, int factor) {
  const int shift = 8 - factor;
  const std::size_t lengthMask = (std::size_t{1} << shift) - 1;
  const std::size_t maxDistance = std::size_t{256} << factor;
  const std::size_t maxLength = 3 + lengthMask + 255;
  // V = 0 would read as the doubled marker: a run of 3 within 256 bytes cannot be told.
  const auto storable = [](const TMatch& m) { return m.length > 3 || m.distance > 256; };
  std::vector<std::uint8_t> out;
  for (const TToken& t : Parse(data, maxDistance, 3, maxLength, storable)) {
    if (!t.isMatch) {
      out.push_back(t.literal);
      if (t.literal == kMarker) out.push_back(0);
      continue;
    }
    const std::size_t length = t.match.length - 3;
    const std::size_t d = t.match.distance - 1;
    out.push_back(kMarker);
    out.push_back(static_cast<std::uint8_t>((d >> 8) << shift | std::min(length, lengthMask)));
    if (length >= lengthMask) out.push_back(static_cast<std::uint8_t>(length - lengthMask));
    out.push_back(static_cast<std::uint8_t>(d));
  }
  return out;
}

int IndexBits(std::size_t n) {
  int bits = 1;
  while ((std::size_t{1} << bits) < n) ++bits;
  return bits;
}

}  // namespace

std::string Reduce(const std::string& data, int factor) {
  const std::vector<std::uint8_t> bytes = MarkRuns(data, factor);

  // Follower sets: the commonest bytes after each byte, those seen at least twice.
  std::vector<std::vector<std::uint64_t>> pairs(256, std::vector<std::uint64_t>(256));
  std::uint8_t last = 0;
  for (std::uint8_t b : bytes) ++pairs[last][b], last = b;
  std::vector<std::vector<std::uint8_t>> followers(256);
  for (int p = 0; p < 256; ++p) {
    std::vector<int> order(256);
    for (int i = 0; i < 256; ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return pairs[p][a] > pairs[p][b]; });
    for (int i = 0; i < 256 && followers[p].size() < kMaxFollowers && pairs[p][order[i]] >= 2; ++i)
      followers[p].push_back(static_cast<std::uint8_t>(order[i]));
  }

  TBitWriter out;
  for (int p = 255; p >= 0; --p) {
    out.Write(static_cast<std::uint32_t>(followers[p].size()), 6);
    for (std::uint8_t f : followers[p]) out.Write(f, 8);
  }
  last = 0;
  for (std::uint8_t b : bytes) {
    const std::vector<std::uint8_t>& set = followers[last];
    const auto found = std::find(set.begin(), set.end(), b);
    if (set.empty()) {
      out.Write(b, 8);
    } else if (found == set.end()) {
      out.Write(1, 1);
      out.Write(b, 8);
    } else {
      out.Write(0, 1);
      out.Write(static_cast<std::uint32_t>(found - set.begin()), IndexBits(set.size()));
    }
    last = b;
  }
  return out.Finish();
}

}  // namespace test_encoders
