#include "zip/bit_reader.h"

namespace zip {

void TBitReader::FillBitBuffer() {
  std::uint8_t byte;
  while (count_ <= 24 && input_.ReadInputByte(byte)) {
    buffer_ |= std::uint32_t{byte} << count_;
    count_ += 8;
  }
}

}  // namespace zip
