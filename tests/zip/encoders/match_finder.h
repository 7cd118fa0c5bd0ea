// Longest earlier repeats within a distance, by hash chains over byte pairs. Slow but simple; only
// the test encoders use it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

namespace test_encoders {

struct TMatch {
  std::size_t length = 0;
  std::size_t distance = 0;
};

class TMatchFinder {
 public:
  TMatchFinder(const std::string& data, std::size_t maxDistance, std::size_t maxLength);

  // The longest match at position (the first found among equals, so the nearest); then position
  // is remembered for later searches. Positions must be visited in order.
  TMatch FindAndInsert(std::size_t position);
  void Insert(std::size_t position);

 private:
  static constexpr int kMaxChain = 256;
  std::size_t Hash(std::size_t position) const;

  const std::string& data_;
  std::size_t maxDistance_;
  std::size_t maxLength_;
  std::vector<std::size_t> head_;
  std::vector<std::size_t> previous_;
};

// Splits data into literals and matches of at least minLength bytes, greedily. accept tells
// whether the format can store a match.
struct TToken {
  bool isMatch;
  unsigned char literal;
  TMatch match;
};
template <typename Accept>
std::vector<TToken> Parse(const std::string& data, std::size_t maxDistance, std::size_t minLength,
                          std::size_t maxLength, Accept accept) {
  TMatchFinder finder(data, maxDistance, maxLength);
  std::vector<TToken> tokens;
  for (std::size_t i = 0; i < data.size();) {
    const TMatch m = finder.FindAndInsert(i);
    if (m.length >= minLength && accept(m)) {
      tokens.push_back({true, 0, m});
      for (std::size_t k = 1; k < m.length; ++k) finder.Insert(i + k);
      i += m.length;
    } else {
      tokens.push_back({false, static_cast<unsigned char>(data[i]), {}});
      ++i;
    }
  }
  return tokens;
}

}  // namespace test_encoders
