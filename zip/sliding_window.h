// The dictionary of reducing and imploding: the latest output bytes, which copies repeat.
#pragma once

#include <cstdint>

#include "zip/decoder_memory.h"
#include "zip/entry_output.h"

namespace zip {

class TSlidingWindow {
 public:
  // size: a power of two above the longest distance. The output is not owned.
  TSlidingWindow(TEntryOutput& output, std::uint32_t size) : output_(output), bytes_(size), mask_(size - 1) {}

  void Put(std::uint8_t byte) {
    bytes_[position_++ & mask_] = byte;
    output_.OutByte(byte);
  }
  // Distances reaching before the start of the output copy zeros.
  void Copy(std::uint32_t distance, std::uint32_t length) {
    for (; length > 0; --length) Put(bytes_[(position_ - distance) & mask_]);
  }

 private:
  TEntryOutput& output_;
  TDecoderVector<std::uint8_t> bytes_;
  std::uint32_t mask_;
  std::uint32_t position_ = 0;
};

}  // namespace zip
