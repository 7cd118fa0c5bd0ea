// Traditional zip encryption: the three-key cipher and its 12-byte encryption header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "zip/streams.h"
#include "zip/zip_header_info.h"

namespace zip {

constexpr int kEncryptionHeaderSize = 12;

class TZipCipher {
 public:
  // The password's bytes, in order, go through UpdateKeys after the published start values.
  void InitKeys(const std::string& password);
  void UpdateKeys(std::uint8_t byte);
  std::uint8_t DecryptByte() const;
  void DecryptBuffer(void* buffer, std::size_t length);
  std::uint8_t EncryptByte(std::uint8_t plain);

  // Starts the keys from the password, decrypts the header in place, returns its check byte.
  std::uint8_t DecryptHeader(const std::string& password, std::uint8_t (&header)[kEncryptionHeaderSize]);
  // Reads the header of the entry's data and takes it off the entry's compressed size; the keys
  // are then ready for the data. Raises EFatalUnzipError when the entry is too short to hold it.
  std::uint8_t ReadEncryptionHeader(const std::string& password, THugeStream& archive, TZipHeaderInfo& entry);

 private:
  std::uint32_t keys_[3] = {};
};

// What the decrypted header's last byte must be: the CRC's high byte, or the DOS time's high byte
// when a data descriptor follows the data (the CRC was not known when the header was written).
std::uint8_t ExpectedCheckByte(const TZipHeaderInfo& entry);

}  // namespace zip
