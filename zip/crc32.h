// The reflected CRC-32 of the zip format (polynomial 0xEDB88320). The running value starts at
// 0xFFFFFFFF and is complemented at the end; both are the callers' business.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zip {

std::uint32_t UpdateCrc32(std::uint32_t crc, std::uint8_t byte);
std::uint32_t UpdateCrc32(std::uint32_t crc, const void* buffer, std::size_t length);

}  // namespace zip
