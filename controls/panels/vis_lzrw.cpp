#include "controls/panels/vis_lzrw.h"

#include <array>
#include <cstring>

namespace controls {

namespace {

constexpr std::uint8_t kCompressed = 0x40;
constexpr std::uint8_t kStored = 0x80;
constexpr std::uint16_t kEmpty = 0xFFFF;
constexpr size_t kMaxOffset = 4095;
constexpr size_t kMinRun = 16;
constexpr size_t kMaxRun = 4095;
constexpr size_t kMinCopy = 3;
constexpr size_t kMaxCopy = 18;

size_t Hash(const std::uint8_t* p) {
  const std::uint32_t mixed = ((((std::uint32_t{p[0]} << 4) ^ p[1]) << 4) ^ p[2]);
  return (mixed * 40543u >> 4) & 0xFFF;
}

[[noreturn]] void Damaged() { throw EVisLZRWError("LZRW Error! Damaged block"); }

}  // namespace

size_t LZRWCompress(const std::uint8_t* Source, size_t Count, std::uint8_t* Dest, size_t DestCapacity) {
  if (Count > kLZRWMaxInput || DestCapacity < LZRWCompressBound(Count)) throw EVisLZRWError("LZRW Error!");
  std::array<std::uint16_t, 4096> last;
  last.fill(kEmpty);
  Dest[0] = kCompressed;
  size_t control = 1, out = 3, in = 0;
  unsigned bits = 0, items = 0;
  while (in < Count && out <= Count) {
    if (items == 16) {
      Dest[control] = static_cast<std::uint8_t>(bits >> 8);
      Dest[control + 1] = static_cast<std::uint8_t>(bits);
      control = out;
      out += 2;
      bits = items = 0;
    }
    size_t run = 1;
    while (run < kMaxRun && in + run < Count && Source[in + run] == Source[in]) ++run;
    bool coded = false;
    if (run >= kMinRun) {
      const size_t n = run - kMinRun;
      Dest[out] = 0;
      Dest[out + 1] = static_cast<std::uint8_t>(n >> 8);
      Dest[out + 2] = static_cast<std::uint8_t>(n);
      Dest[out + 3] = Source[in];
      out += 4;
      in += run;
      coded = true;
    } else if (Count - in >= kMinCopy) {
      const size_t h = Hash(Source + in);
      const size_t previous = last[h];
      last[h] = static_cast<std::uint16_t>(in);
      if (previous != kEmpty && in - previous <= kMaxOffset) {
        size_t length = 0;
        while (length < kMaxCopy && in + length < Count && Source[previous + length] == Source[in + length]) ++length;
        if (length >= kMinCopy) {
          const size_t offset = in - previous;
          Dest[out] = static_cast<std::uint8_t>(offset >> 4);
          Dest[out + 1] = static_cast<std::uint8_t>(((offset & 15) << 4) | (length - kMinCopy));
          out += 2;
          in += length;
          coded = true;
        }
      }
    }
    if (!coded) Dest[out++] = Source[in++];
    bits = (bits << 1) | (coded ? 1u : 0u);
    ++items;
  }
  if (out > Count) {
    Dest[0] = kStored;
    if (Count) std::memcpy(Dest + 1, Source, Count);
    return Count + 1;
  }
  bits <<= 16 - items;
  Dest[control] = static_cast<std::uint8_t>(bits >> 8);
  Dest[control + 1] = static_cast<std::uint8_t>(bits);
  return out;
}

size_t LZRWDecompress(const std::uint8_t* Source, size_t Size, std::uint8_t* Dest, size_t DestCapacity) {
  if (Size == 0) Damaged();
  if (Source[0] == kStored) {
    if (Size - 1 > DestCapacity) Damaged();
    if (Size > 1) std::memcpy(Dest, Source + 1, Size - 1);
    return Size - 1;
  }
  if (Source[0] != kCompressed) Damaged();
  size_t in = 1, out = 0;
  unsigned bits = 0, left = 0;
  while (in < Size) {
    if (left == 0) {
      if (Size - in < 2) Damaged();
      bits = (unsigned{Source[in]} << 8) | Source[in + 1];
      in += 2;
      left = 16;
      continue;
    }
    const bool coded = (bits & 0x8000) != 0;
    bits <<= 1;
    --left;
    if (!coded) {
      if (out >= DestCapacity) Damaged();
      Dest[out++] = Source[in++];
      continue;
    }
    if (Size - in < 2) Damaged();
    const size_t offset = (size_t{Source[in]} << 4) | (Source[in + 1] >> 4);
    if (offset == 0) {
      if (Size - in < 4) Damaged();
      const size_t count = ((size_t{Source[in + 1]} & 15) << 8) + Source[in + 2] + kMinRun;
      if (count > DestCapacity - out) Damaged();
      std::memset(Dest + out, Source[in + 3], count);
      out += count;
      in += 4;
    } else {
      const size_t length = (Source[in + 1] & 15) + kMinCopy;
      if (offset > out || length > DestCapacity - out) Damaged();
      // Byte by byte: a copy may overlap its own output.
      for (size_t i = 0; i < length; ++i, ++out) Dest[out] = Dest[out - offset];
      in += 2;
    }
  }
  return out;
}

}  // namespace controls
