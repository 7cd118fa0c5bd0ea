// Decoding tables for prefix codes of up to 16 bits, stored least significant bit first: a
// first-level table indexed by the lookup bits, with sub-tables for the longer codes.
#pragma once

#include <cstdint>

#include "zip/bit_reader.h"
#include "zip/decoder_memory.h"

namespace zip {

enum class TBuildResult {
  kComplete,    // every bit pattern starts a code
  kIncomplete,  // some patterns start none; they decode as invalid
  kBadLengths,  // a length over 16, too many codes, or lengths no prefix code can have
};

struct TDecodedValue {
  std::uint32_t value;  // the code's value, or its base value
  int extraBits;        // bits to read after the code and add to the base
};

class TDecodeTable {
 public:
  static constexpr int kMaxCodeLength = 16;
  static constexpr int kMaxCodes = 288;

  // lengths[v] is the code length of value v (0: no code). Values below simpleCount decode to
  // themselves; value v at or above it decodes to base[v - simpleCount] with
  // extraBits[v - simpleCount] extra bits. Codes are canonical: shorter first, then by value.
  TBuildResult BuildTables(const std::uint8_t* lengths, int count, int simpleCount, const std::uint32_t* base,
                           const std::uint8_t* extraBits, int lookupBits);

  // Decodes the next code. inverted: the stream holds each code's bits complemented. False, taking
  // nothing, at an invalid code or when the input ends inside the code.
  bool Decode(TBitReader& bits, bool inverted, TDecodedValue& decoded) const;

 private:
  enum Kind : std::uint8_t { kInvalid, kLeaf, kLink };
  struct Entry {
    Kind kind;
    std::uint8_t bits;    // leaf: the code's whole length; link: the sub-table's index bits
    std::uint8_t extra;   // leaf: extra bits
    std::uint32_t value;  // leaf: value or base; link: where the sub-table starts
  };

  TDecoderVector<Entry> entries_;
  int lookupBits_ = 0;
};

}  // namespace zip
