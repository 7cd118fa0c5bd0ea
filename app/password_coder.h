// The job password is kept in the registry scrambled by a 16-bit key stream and written in Base64.
#pragma once

#include <cstdint>
#include <string>

namespace app {

constexpr std::uint16_t kPasswordKey = 0x7E51;

// Both work on the password's bytes (the ANSI code page); Decoder returns at most 255 bytes.
std::string Coder(const std::string& password, std::uint16_t key);
std::string Decoder(const std::string& stored, std::uint16_t key);

}  // namespace app
