// Packs bits least significant first into bytes, as the old zip methods store them.
#pragma once

#include <cstdint>
#include <string>

namespace test_encoders {

class TBitWriter {
 public:
  void Write(std::uint32_t value, int bits) {
    for (int i = 0; i < bits; ++i) {
      if ((value >> i) & 1) pending_ |= 1u << count_;
      if (++count_ == 8) {
        bytes_ += static_cast<char>(pending_);
        pending_ = 0;
        count_ = 0;
      }
    }
  }
  // The bytes written, the last one padded with zero bits.
  std::string Finish() const { return count_ ? bytes_ + static_cast<char>(pending_) : bytes_; }

 private:
  std::string bytes_;
  std::uint32_t pending_ = 0;
  int count_ = 0;
};

}  // namespace test_encoders
