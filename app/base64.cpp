#include "app/base64.h"

#include <cstring>

namespace app::base64 {
namespace {

// The 64 digits followed by the padding character, whose index is 64.
constexpr char kTable[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=";

std::uint8_t ValueOf(char c) {
  const char* at = c ? std::strchr(kTable, c) : nullptr;
  return at ? static_cast<std::uint8_t>(at - kTable) : 255;
}

}  // namespace

std::array<char, 4> EncodeGroup(const std::uint8_t bytes[3], int count) {
  const std::uint8_t b0 = bytes[0], b1 = count > 1 ? bytes[1] : 0, b2 = count > 2 ? bytes[2] : 0;
  return {kTable[b0 >> 2], kTable[(b0 & 3) << 4 | b1 >> 4], count > 1 ? kTable[(b1 & 15) << 2 | b2 >> 6] : '=',
          count > 2 ? kTable[b2 & 63] : '='};
}

int DecodeGroup(const char chars[4], std::uint8_t bytes[3]) {
  std::uint8_t v[4];
  int padding = 0;
  for (int i = 0; i < 4; ++i) {
    v[i] = ValueOf(chars[i]);
    if (chars[i] == '=') ++padding;
  }
  bytes[0] = static_cast<std::uint8_t>(v[0] << 2 | (v[1] >> 4 & 3));
  bytes[1] = static_cast<std::uint8_t>(v[1] << 4 | (v[2] >> 2 & 15));
  bytes[2] = static_cast<std::uint8_t>(v[2] << 6 | (v[3] & 63));
  return padding > 3 ? 0 : 3 - padding;
}

}  // namespace app::base64
