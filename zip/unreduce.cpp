#include "zip/unreduce.h"

#include "zip/bit_reader.h"
#include "zip/decoder_memory.h"
#include "zip/sliding_window.h"

namespace zip {

namespace {

constexpr int kWindowSize = 16384;
constexpr int kMaxFollowers = 64;
constexpr std::uint8_t kMarker = 144;

struct TFollowerSet {
  int count = 0;
  std::uint8_t bytes[kMaxFollowers] = {};
};

// Bits of an index into a set of n followers.
int IndexBits(int n) {
  int bits = 1;
  while ((1 << bits) < n) ++bits;
  return bits;
}

// The sets are stored for the last bytes 255 down to 0: a 6-bit count, then the 8-bit followers.
bool ReadFollowerSets(TBitReader& bits, TDecoderVector<TFollowerSet>& sets) {
  for (int last = 255; last >= 0; --last) {
    std::uint32_t value;
    if (!bits.ReadBits(6, value)) return false;
    TFollowerSet& set = sets[last];
    set.count = static_cast<int>(value);
    for (int i = 0; i < set.count; ++i) {
      if (!bits.ReadBits(8, value)) return false;
      set.bytes[i] = static_cast<std::uint8_t>(value);
    }
  }
  return true;
}

// The next byte of the first stage: a literal, or a follower of the last byte.
bool ReadFirstStageByte(TBitReader& bits, const TFollowerSet& set, std::uint8_t& byte) {
  std::uint32_t value;
  if (set.count > 0) {
    if (!bits.ReadBits(1, value)) return false;
    if (value == 0) {
      if (!bits.ReadBits(IndexBits(set.count), value) || value >= static_cast<std::uint32_t>(set.count)) return false;
      byte = set.bytes[value];
      return true;
    }
  }
  if (!bits.ReadBits(8, value)) return false;
  byte = static_cast<std::uint8_t>(value);
  return true;
}

}  // namespace

TDecodeResult Unreduce(TEntryInput& input, TEntryOutput& output, std::uint16_t method) {
  const int factor = method - 1;
  const int distanceShift = 8 - factor;                        // 7, 6, 5, 4
  const std::uint32_t lengthMask = (1u << distanceShift) - 1;  // 127, 63, 31, 15
  const std::uint32_t distanceMask = (1u << factor) - 1;       // 1, 3, 7, 15

  TBitReader bits(input);
  TDecoderVector<TFollowerSet> sets(256);
  if (!ReadFollowerSets(bits, sets)) return TDecodeResult::kDamaged;

  TSlidingWindow window(output, kWindowSize);

  enum { kPlain, kAfterMarker, kLengthByte, kDistanceByte } state = kPlain;
  std::uint8_t last = 0;
  std::uint32_t marked = 0;
  std::uint32_t length = 0;
  while (output.Remaining() > 0) {
    std::uint8_t byte;
    if (!ReadFirstStageByte(bits, sets[last], byte)) return TDecodeResult::kDamaged;
    last = byte;
    switch (state) {
      case kPlain:
        if (byte == kMarker)
          state = kAfterMarker;
        else
          window.Put(byte);
        break;
      case kAfterMarker:
        if (byte == 0) {
          window.Put(kMarker);
          state = kPlain;
        } else {
          marked = byte;
          length = marked & lengthMask;
          state = length == lengthMask ? kLengthByte : kDistanceByte;
        }
        break;
      case kLengthByte:
        length += byte;
        state = kDistanceByte;
        break;
      case kDistanceByte: {
        const std::uint32_t distance = ((marked >> distanceShift) & distanceMask) * 256 + byte + 1;
        window.Copy(distance, length + 3);
        state = kPlain;
        break;
      }
    }
  }
  return TDecodeResult::kComplete;
}

}  // namespace zip
