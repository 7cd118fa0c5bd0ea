#include "zip/crc32.h"

#include <array>

namespace zip {

namespace {

// table[0] is the classic byte table; table[k] advances a byte k further, for eight bytes a step.
using Tables = std::array<std::array<std::uint32_t, 256>, 8>;

Tables BuildTables() {
  Tables t{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t c = i;
    for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    t[0][i] = c;
  }
  for (std::uint32_t i = 0; i < 256; ++i)
    for (int k = 1; k < 8; ++k) t[k][i] = t[0][t[k - 1][i] & 0xFF] ^ (t[k - 1][i] >> 8);
  return t;
}

const Tables& Table() {
  static const Tables tables = BuildTables();
  return tables;
}

}  // namespace

std::uint32_t UpdateCrc32(std::uint32_t crc, std::uint8_t byte) { return Table()[0][(crc ^ byte) & 0xFF] ^ (crc >> 8); }

std::uint32_t UpdateCrc32(std::uint32_t crc, const void* buffer, std::size_t length) {
  const Tables& t = Table();
  const auto* p = static_cast<const std::uint8_t*>(buffer);
  for (; length >= 8; length -= 8, p += 8) {
    const std::uint32_t lo = crc ^ (p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24);
    const std::uint32_t hi = p[4] | p[5] << 8 | p[6] << 16 | static_cast<std::uint32_t>(p[7]) << 24;
    crc = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^ t[3][hi & 0xFF] ^
          t[2][(hi >> 8) & 0xFF] ^ t[1][(hi >> 16) & 0xFF] ^ t[0][hi >> 24];
  }
  for (; length > 0; --length) crc = t[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
  return crc;
}

}  // namespace zip
