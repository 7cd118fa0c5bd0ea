#include "zip/zip_records.h"

namespace zip {

namespace {

std::uint32_t centralSignature = kDefaultCentralSignature;
std::uint32_t localSignature = kDefaultLocalSignature;
std::uint32_t endSignature = kDefaultEndSignature;
std::uint8_t localBytes[4] = {0x50, 0x4B, 0x03, 0x04};

}  // namespace

void SetSignatures(std::uint32_t central, std::uint32_t local, std::uint32_t end) {
  centralSignature = central != 0 ? central : kDefaultCentralSignature;
  localSignature = local != 0 ? local : kDefaultLocalSignature;
  endSignature = end != 0 ? end : kDefaultEndSignature;
  Put32(localBytes, localSignature);
}

std::uint32_t CentralSignature() { return centralSignature; }
std::uint32_t LocalSignature() { return localSignature; }
std::uint32_t EndSignature() { return endSignature; }
const std::uint8_t* LocalSignatureBytes() { return localBytes; }
std::uint8_t EndSignatureFirstByte() { return static_cast<std::uint8_t>(endSignature); }

}  // namespace zip
