// The decompressed bytes of one entry on their way to the output file: gathered in a window of
// 32768 bytes, checked against the uncompressed size, counted into the CRC-32 and reported.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "zip/streams.h"

namespace zip {

class TEntryOutput {
 public:
  // After each window written: its byte count and the share of the entry written so far, in
  // percent (Percent of numbers.h).
  using ProgressFunction = std::function<void(std::int32_t count, int filePercent)>;

  static constexpr std::int32_t kWindowSize = 32768;

  // Serves one entry after the other; Begin starts each.
  explicit TEntryOutput(ProgressFunction progress = {});

  // The file is not owned.
  void Begin(THugeStream& file, std::int64_t uncompressedSize);

  void OutByte(std::uint8_t byte) {
    window_[count_++] = byte;
    if (count_ == kWindowSize) FlushOutput();
  }
  // The free part of the window, for a decoder that writes into it directly; Commit then counts
  // the bytes it put there.
  std::uint8_t* Room(std::size_t& room) {
    room = static_cast<std::size_t>(kWindowSize - count_);
    return window_.data() + count_;
  }
  void Commit(std::size_t count) {
    count_ += static_cast<std::int32_t>(count);
    if (count_ == kWindowSize) FlushOutput();
  }
  void OutBytes(const std::uint8_t* data, std::size_t length);
  // Writes the window. Raises EBiggerThanUncompressed, writing none of it, when it would take the
  // file past the uncompressed size, and ECantWriteUCF on a short write.
  void FlushOutput();

  // Uncompressed bytes still expected, counting those in the window; negative past the size.
  std::int64_t Remaining() const { return size_ - written_ - count_; }
  std::int64_t Written() const { return written_; }
  // The CRC-32 of the bytes written.
  std::uint32_t Crc() const { return ~crc_; }

 private:
  THugeStream* file_ = nullptr;
  std::int64_t size_ = 0;
  ProgressFunction progress_;
  std::vector<std::uint8_t> window_;
  std::int32_t count_ = 0;
  std::int64_t written_ = 0;
  std::uint32_t crc_ = 0xFFFFFFFF;
};

}  // namespace zip
