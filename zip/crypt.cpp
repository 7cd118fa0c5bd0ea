#include "zip/crypt.h"

#include "zip/crc32.h"
#include "zip/messages.h"
#include "zip/zip_exceptions.h"

namespace zip {

void TZipCipher::InitKeys(const std::string& password) {
  keys_[0] = 0x12345678;
  keys_[1] = 0x23456789;
  keys_[2] = 0x34567890;
  for (char c : password) UpdateKeys(static_cast<std::uint8_t>(c));
}

void TZipCipher::UpdateKeys(std::uint8_t byte) {
  keys_[0] = UpdateCrc32(keys_[0], byte);
  keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
  keys_[2] = UpdateCrc32(keys_[2], static_cast<std::uint8_t>(keys_[1] >> 24));
}

std::uint8_t TZipCipher::DecryptByte() const {
  const std::uint32_t t = (keys_[2] & 0xFFFF) | 2;
  return static_cast<std::uint8_t>((t * (t ^ 1)) >> 8);
}

void TZipCipher::DecryptBuffer(void* buffer, std::size_t length) {
  auto* p = static_cast<std::uint8_t*>(buffer);
  for (std::size_t i = 0; i < length; ++i) {
    p[i] ^= DecryptByte();
    UpdateKeys(p[i]);
  }
}

std::uint8_t TZipCipher::EncryptByte(std::uint8_t plain) {
  const std::uint8_t t = DecryptByte();
  UpdateKeys(plain);
  return plain ^ t;
}

std::uint8_t TZipCipher::DecryptHeader(const std::string& password, std::uint8_t (&header)[kEncryptionHeaderSize]) {
  InitKeys(password);
  DecryptBuffer(header, kEncryptionHeaderSize);
  return header[kEncryptionHeaderSize - 1];
}

std::uint8_t TZipCipher::ReadEncryptionHeader(const std::string& password, THugeStream& archive,
                                              TZipHeaderInfo& entry) {
  // A smaller size would wrap around to some 4 GB of "data".
  if (entry.CompressedSize < kEncryptionHeaderSize) throw EFatalUnzipError(LoadZipString(kMsgPrematureEnd));
  std::uint8_t header[kEncryptionHeaderSize];
  archive.ReadBuffer(header, kEncryptionHeaderSize);
  entry.CompressedSize -= kEncryptionHeaderSize;
  return DecryptHeader(password, header);
}

std::uint8_t ExpectedCheckByte(const TZipHeaderInfo& entry) {
  return static_cast<std::uint8_t>(entry.HasDescriptor() ? entry.DateTime >> 8 : entry.CRC32 >> 24);
}

}  // namespace zip
