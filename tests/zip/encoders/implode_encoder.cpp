#include "tests/zip/encoders/implode_encoder.h"

#include <cstdint>
#include <queue>
#include <vector>

#include "tests/zip/encoders/bit_writer.h"
#include "tests/zip/encoders/match_finder.h"

namespace test_encoders {

namespace {

constexpr int kMaxCodeLength = 16;
constexpr std::size_t kLongLengthCode = 63;

// Huffman code lengths giving every symbol a code (so the code is complete), at most 16 bits: the
// counts are halved until the lengths fit.
std::vector<int> CodeLengths(std::vector<std::uint64_t> counts) {
  for (auto& c : counts) c += 1;
  for (;;) {
    struct Node {
      std::uint64_t weight;
      int index;
    };
    const auto heavier = [](const Node& a, const Node& b) { return a.weight > b.weight; };
    std::priority_queue<Node, std::vector<Node>, decltype(heavier)> queue(heavier);
    std::vector<int> parent(counts.size() * 2, -1);
    for (std::size_t i = 0; i < counts.size(); ++i) queue.push({counts[i], static_cast<int>(i)});
    int next = static_cast<int>(counts.size());
    while (queue.size() > 1) {
      const Node a = queue.top();
      queue.pop();
      const Node b = queue.top();
      queue.pop();
      parent[a.index] = parent[b.index] = next;
      queue.push({a.weight + b.weight, next++});
    }
    std::vector<int> lengths(counts.size());
    int longest = 0;
    for (std::size_t i = 0; i < counts.size(); ++i) {
      for (int n = parent[i]; n != -1; n = parent[n]) ++lengths[i];
      longest = std::max(longest, lengths[i]);
    }
    if (longest <= kMaxCodeLength) return lengths;
    for (auto& c : counts) c = (c >> 1) | 1;
  }
}

// A tree and the stream bits of its codes: canonical codes (shorter first, then by value) with
// their bits complemented, sent from the highest bit down.
class TTree {
 public:
  explicit TTree(const std::vector<std::uint64_t>& counts) : lengths_(CodeLengths(counts)), codes_(counts.size()) {
    std::uint32_t code = 0;
    for (int len = 1; len <= kMaxCodeLength; ++len) {
      for (std::size_t v = 0; v < lengths_.size(); ++v)
        if (lengths_[v] == len) codes_[v] = code++;
      code <<= 1;
    }
  }

  // Runs of equal lengths, at most 16 values each, after a byte with the number of runs less one.
  void WriteDescription(TBitWriter& out) const {
    std::vector<std::uint8_t> runs;
    for (std::size_t v = 0; v < lengths_.size();) {
      std::size_t n = 1;
      while (v + n < lengths_.size() && lengths_[v + n] == lengths_[v] && n < 16) ++n;
      runs.push_back(static_cast<std::uint8_t>((n - 1) << 4 | (lengths_[v] - 1)));
      v += n;
    }
    out.Write(static_cast<std::uint32_t>(runs.size() - 1), 8);
    for (std::uint8_t r : runs) out.Write(r, 8);
  }

  void WriteCode(TBitWriter& out, std::size_t value) const {
    const std::uint32_t inverted = ~codes_[value];
    for (int bit = lengths_[value] - 1; bit >= 0; --bit) out.Write(inverted >> bit & 1, 1);
  }

 private:
  std::vector<int> lengths_;
  std::vector<std::uint32_t> codes_;
};

}  // namespace

unsigned ImplodeFlags(bool bigDictionary, bool literalTree) {
  return (bigDictionary ? 2u : 0u) | (literalTree ? 4u : 0u);
}

std::string Implode(const std::string& data, bool bigDictionary, bool literalTree) {
  const int lowBits = bigDictionary ? 7 : 6;
  const std::size_t minLength = literalTree ? 3 : 2;
  const std::size_t maxLength = minLength + kLongLengthCode + 255;
  const std::vector<TToken> tokens =
      Parse(data, std::size_t{1} << (lowBits + 6), minLength, maxLength, [](const TMatch&) { return true; });

  std::vector<std::uint64_t> literalCounts(256), lengthCounts(64), distanceCounts(64);
  for (const TToken& t : tokens) {
    if (!t.isMatch) {
      ++literalCounts[t.literal];
      continue;
    }
    ++lengthCounts[std::min(t.match.length - minLength, kLongLengthCode)];
    ++distanceCounts[(t.match.distance - 1) >> lowBits];
  }
  const TTree literals(literalCounts), lengths(lengthCounts), distances(distanceCounts);

  TBitWriter out;
  if (literalTree) literals.WriteDescription(out);
  lengths.WriteDescription(out);
  distances.WriteDescription(out);
  for (const TToken& t : tokens) {
    out.Write(t.isMatch ? 0 : 1, 1);
    if (!t.isMatch) {
      if (literalTree)
        literals.WriteCode(out, t.literal);
      else
        out.Write(t.literal, 8);
      continue;
    }
    const std::size_t d = t.match.distance - 1;
    out.Write(static_cast<std::uint32_t>(d & ((1u << lowBits) - 1)), lowBits);
    distances.WriteCode(out, d >> lowBits);
    const std::size_t code = std::min(t.match.length - minLength, kLongLengthCode);
    lengths.WriteCode(out, code);
    if (code == kLongLengthCode) out.Write(static_cast<std::uint32_t>(t.match.length - minLength - kLongLengthCode), 8);
  }
  return out.Finish();
}

}  // namespace test_encoders
