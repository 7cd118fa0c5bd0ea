// The group coder behind the stored password: three bytes to four characters and back.
#pragma once

#include <array>
#include <cstdint>

namespace app::base64 {

// count (1..3) bytes of `bytes` become four characters, "=" padding the missing ones.
std::array<char, 4> EncodeGroup(const std::uint8_t bytes[3], int count);
// Four characters become three bytes; returns how many count (3 less the "=" among them).
int DecodeGroup(const char chars[4], std::uint8_t bytes[3]);

}  // namespace app::base64
