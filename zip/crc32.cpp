#include "zip/crc32.h"

#include <zlib.h>

namespace zip {

// The compression library computes the same CRC, several bytes a step; its running value is kept
// complemented, ours is not.

std::uint32_t UpdateCrc32(std::uint32_t crc, std::uint8_t byte) {
  static const z_crc_t* const table = get_crc_table();
  return table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

std::uint32_t UpdateCrc32(std::uint32_t crc, const void* buffer, std::size_t length) {
  return ~static_cast<std::uint32_t>(crc32_z(~crc, static_cast<const Bytef*>(buffer), length));
}

}  // namespace zip
