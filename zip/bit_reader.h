// Bits of an entry's compressed data, least significant bit of each byte first, as the old zip
// methods pack them.
#pragma once

#include <cstdint>

#include "zip/entry_input.h"

namespace zip {

class TBitReader {
 public:
  // The input is not owned.
  explicit TBitReader(TEntryInput& input) : input_(input) {}

  // Tops the buffer up to at least 25 bits while bytes remain.
  void FillBitBuffer();
  // Makes n (at most 25) bits available; false when the input ends first.
  bool NeedBits(int n) {
    if (count_ < n) FillBitBuffer();
    return count_ >= n;
  }
  // The next n (at most 25) buffered bits, zeros past the buffered ones.
  std::uint32_t PeekBits(int n) const { return buffer_ & Mask(n); }
  void DumpBits(int n) {
    buffer_ >>= n;
    count_ -= n;
  }
  // Takes the next n (at most 25) bits; false, taking nothing, when the input ends first.
  bool ReadBits(int n, std::uint32_t& value) {
    if (!NeedBits(n)) return false;
    value = PeekBits(n);
    DumpBits(n);
    return true;
  }
  int Available() const { return count_; }

  static constexpr std::uint32_t Mask(int n) { return (std::uint32_t{1} << n) - 1; }

 private:
  TEntryInput& input_;
  std::uint32_t buffer_ = 0;
  int count_ = 0;
};

}  // namespace zip
