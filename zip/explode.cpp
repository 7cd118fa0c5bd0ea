#include "zip/explode.h"

#include "zip/bit_reader.h"
#include "zip/decode_table.h"
#include "zip/sliding_window.h"

namespace zip {

namespace {

constexpr int kWindowSize = 32768;
constexpr int kTreeSize = 64;  // codes of the length and the distance tree
constexpr int kLiteralCount = 256;
constexpr int kLongLengthCode = 63;  // takes 8 extra bits

// A tree is stored as runs: a byte with the run count less one, then per run a byte with the
// number of codes less one (high 4 bits) and their bit length less one (low 4 bits). The runs
// must describe exactly size codes.
bool ReadTreeLengths(TBitReader& bits, int size, std::uint8_t* lengths) {
  std::uint32_t runs;
  if (!bits.ReadBits(8, runs)) return false;
  int filled = 0;
  for (std::uint32_t i = 0; i <= runs; ++i) {
    std::uint32_t run;
    if (!bits.ReadBits(8, run)) return false;
    const int codes = static_cast<int>(run >> 4) + 1;
    if (filled + codes > size) return false;
    for (int k = 0; k < codes; ++k) lengths[filled++] = static_cast<std::uint8_t>((run & 15) + 1);
  }
  return filled == size;
}

// Reads a tree and builds its table; false unless the code is complete.
bool ReadTree(TBitReader& bits, TDecodeTable& table, int size, int simpleCount, const std::uint32_t* base,
              const std::uint8_t* extraBits, int lookupBits) {
  std::uint8_t lengths[kLiteralCount];
  return ReadTreeLengths(bits, size, lengths) &&
         table.BuildTables(lengths, size, simpleCount, base, extraBits, lookupBits) == TBuildResult::kComplete;
}

}  // namespace

TDecodeResult Explode(TEntryInput& input, TEntryOutput& output, std::uint16_t flags) {
  const bool bigDictionary = (flags & kFlagImplode8KDictionary) != 0;
  const bool literalTree = (flags & kFlagImplodeLiteralTree) != 0;
  const int lowDistanceBits = bigDictionary ? 7 : 6;
  const std::uint32_t minLength = literalTree ? 3 : 2;

  std::uint32_t lengthBase[kTreeSize];
  std::uint32_t distanceBase[kTreeSize];
  std::uint8_t lengthExtra[kTreeSize] = {};
  for (std::uint32_t code = 0; code < kTreeSize; ++code) {
    lengthBase[code] = code + minLength;
    distanceBase[code] = (code << lowDistanceBits) + 1;
  }
  lengthExtra[kLongLengthCode] = 8;
  const std::uint8_t noExtra[kTreeSize] = {};

  TBitReader bits(input);
  TDecodeTable literals;
  TDecodeTable lengths;
  TDecodeTable distances;
  if (literalTree && !ReadTree(bits, literals, kLiteralCount, kLiteralCount, nullptr, nullptr, 9))
    return TDecodeResult::kDamaged;
  if (!ReadTree(bits, lengths, kTreeSize, 0, lengthBase, lengthExtra, 7)) return TDecodeResult::kDamaged;
  const int distanceLookup = input.CompressedSize() > 200000 ? 8 : 7;
  if (!ReadTree(bits, distances, kTreeSize, 0, distanceBase, noExtra, distanceLookup)) return TDecodeResult::kDamaged;

  TSlidingWindow window(output, kWindowSize);

  while (output.Remaining() > 0) {
    std::uint32_t isLiteral;
    if (!bits.ReadBits(1, isLiteral)) return TDecodeResult::kDamaged;
    TDecodedValue code;
    if (isLiteral) {
      std::uint32_t byte;
      if (literalTree) {
        if (!literals.Decode(bits, true, code)) return TDecodeResult::kDamaged;
        byte = code.value;
      } else if (!bits.ReadBits(8, byte)) {
        return TDecodeResult::kDamaged;
      }
      window.Put(static_cast<std::uint8_t>(byte));
      continue;
    }
    std::uint32_t low;
    if (!bits.ReadBits(lowDistanceBits, low) || !distances.Decode(bits, true, code)) return TDecodeResult::kDamaged;
    const std::uint32_t distance = low + code.value;
    if (!lengths.Decode(bits, true, code)) return TDecodeResult::kDamaged;
    std::uint32_t length = code.value;
    std::uint32_t extra;
    if (code.extraBits > 0) {
      if (!bits.ReadBits(code.extraBits, extra)) return TDecodeResult::kDamaged;
      length += extra;
    }
    window.Copy(distance, length);
  }
  return TDecodeResult::kComplete;
}

}  // namespace zip
