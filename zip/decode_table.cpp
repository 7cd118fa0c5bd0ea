#include "zip/decode_table.h"

namespace zip {

namespace {

std::uint32_t Reversed(std::uint32_t code, int length) {
  std::uint32_t r = 0;
  for (int i = 0; i < length; ++i, code >>= 1) r = (r << 1) | (code & 1);
  return r;
}

}  // namespace

TBuildResult TDecodeTable::BuildTables(const std::uint8_t* lengths, int count, int simpleCount,
                                       const std::uint32_t* base, const std::uint8_t* extraBits, int lookupBits) {
  entries_.clear();
  lookupBits_ = lookupBits;
  if (count > kMaxCodes || lookupBits < 1 || lookupBits > kMaxCodeLength) return TBuildResult::kBadLengths;

  int perLength[kMaxCodeLength + 1] = {};
  for (int v = 0; v < count; ++v) {
    if (lengths[v] > kMaxCodeLength) return TBuildResult::kBadLengths;
    ++perLength[lengths[v]];
  }
  // Room left among the bit patterns of each length; below zero the codes cannot all be told apart.
  std::int32_t left = 1;
  for (int len = 1; len <= kMaxCodeLength; ++len) {
    left = 2 * left - perLength[len];
    if (left < 0) return TBuildResult::kBadLengths;
  }

  std::uint32_t nextCode[kMaxCodeLength + 1] = {};
  for (int len = 1, code = 0; len <= kMaxCodeLength; ++len) {
    code = (code + (len > 1 ? perLength[len - 1] : 0)) << 1;
    nextCode[len] = static_cast<std::uint32_t>(code);
  }
  // Codes as they appear in the stream: first bit lowest.
  std::uint32_t stored[kMaxCodes] = {};
  for (int v = 0; v < count; ++v)
    if (lengths[v] != 0) stored[v] = Reversed(nextCode[lengths[v]]++, lengths[v]);

  const std::uint32_t rootSize = std::uint32_t{1} << lookupBits;
  const std::uint32_t rootMask = rootSize - 1;
  entries_.assign(rootSize, Entry{kInvalid, 0, 0, 0});
  // Each first-level slot that longer codes share gets one sub-table, as wide as the longest needs.
  for (int v = 0; v < count; ++v) {
    const int subBits = lengths[v] - lookupBits;
    Entry& slot = entries_[stored[v] & rootMask];
    if (subBits > 0 && subBits > slot.bits) slot = Entry{kLink, static_cast<std::uint8_t>(subBits), 0, 0};
  }
  for (std::uint32_t i = 0; i < rootSize; ++i) {
    if (entries_[i].kind != kLink) continue;
    entries_[i].value = static_cast<std::uint32_t>(entries_.size());
    entries_.resize(entries_.size() + (size_t{1} << entries_[i].bits), Entry{kInvalid, 0, 0, 0});
  }

  for (int v = 0; v < count; ++v) {
    const int len = lengths[v];
    if (len == 0) continue;
    const bool simple = v < simpleCount;
    const Entry leaf{kLeaf, static_cast<std::uint8_t>(len), simple ? std::uint8_t{0} : extraBits[v - simpleCount],
                     simple ? static_cast<std::uint32_t>(v) : base[v - simpleCount]};
    if (len <= lookupBits) {
      for (std::uint32_t i = stored[v]; i < rootSize; i += std::uint32_t{1} << len) entries_[i] = leaf;
    } else {
      const Entry& link = entries_[stored[v] & rootMask];
      const std::uint32_t subSize = std::uint32_t{1} << link.bits;
      for (std::uint32_t i = stored[v] >> lookupBits; i < subSize; i += std::uint32_t{1} << (len - lookupBits))
        entries_[link.value + i] = leaf;
    }
  }
  return left > 0 ? TBuildResult::kIncomplete : TBuildResult::kComplete;
}

bool TDecodeTable::Decode(TBitReader& bits, bool inverted, TDecodedValue& decoded) const {
  if (entries_.empty()) return false;
  bits.FillBitBuffer();
  const std::uint32_t pattern = inverted ? ~bits.PeekBits(kMaxCodeLength) : bits.PeekBits(kMaxCodeLength);
  const Entry* e = &entries_[pattern & TBitReader::Mask(lookupBits_)];
  if (e->kind == kLink) e = &entries_[e->value + ((pattern >> lookupBits_) & TBitReader::Mask(e->bits))];
  if (e->kind != kLeaf || e->bits > bits.Available()) return false;
  bits.DumpBits(e->bits);
  decoded = TDecodedValue{e->value, e->extra};
  return true;
}

}  // namespace zip
