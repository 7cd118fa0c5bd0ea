// The fixed parts of the zip headers: signatures, sizes, flag bits and little-endian fields.
#pragma once

#include <cstdint>

namespace zip {

constexpr std::uint32_t kDefaultCentralSignature = 0x02014B50;
constexpr std::uint32_t kDefaultLocalSignature = 0x04034B50;
constexpr std::uint32_t kDefaultEndSignature = 0x06054B50;

constexpr int kLocalHeaderSize = 30;
constexpr int kCentralRecordSize = 46;
constexpr int kEndRecordSize = 22;
constexpr int kDescriptorSize = 16;
constexpr std::uint32_t kMaxCommentLength = 65535;

constexpr std::uint16_t kFlagEncrypted = 0x0001;
constexpr std::uint16_t kFlagDescriptor = 0x0008;
constexpr std::uint16_t kFlagUtf8Name = 0x0800;

// A 0 argument selects the default. Start-up calls it with three zeros.
void SetSignatures(std::uint32_t central, std::uint32_t local, std::uint32_t end);
std::uint32_t CentralSignature();
std::uint32_t LocalSignature();
std::uint32_t EndSignature();
// The local signature's four bytes in file order, for the recovery's byte scan.
const std::uint8_t* LocalSignatureBytes();
std::uint8_t EndSignatureFirstByte();

inline std::uint16_t Get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
inline std::uint32_t Get32(const std::uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
inline void Put16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void Put32(std::uint8_t* p, std::uint32_t v) {
  Put16(p, static_cast<std::uint16_t>(v));
  Put16(p + 2, static_cast<std::uint16_t>(v >> 16));
}

}  // namespace zip
