#include "update/vendor_signature.h"

#include <windows.h>

#include <vector>

#include "update/bcrypt_handles.h"
#include "update/sha256.h"

namespace update {
namespace {

constexpr char kSignatureKey[] = "Signature=";
constexpr size_t kCoordinateSize = 32;

std::string& KeyForTesting() {
  static std::string key;
  return key;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool FromHex(const std::string& hex, std::string& bytes) {
  if (hex.size() % 2 != 0) return false;
  bytes.clear();
  for (size_t i = 0; i < hex.size(); i += 2) {
    const int high = HexDigit(hex[i]), low = HexDigit(hex[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes += static_cast<char>(high * 16 + low);
  }
  return true;
}

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// Splits text into what comes before its last line and that line without its line end.
void SplitLastLine(const std::string& text, std::string& before, std::string& last) {
  size_t end = text.size();
  if (end > 0 && text[end - 1] == '\n') --end;
  if (end > 0 && text[end - 1] == '\r') --end;
  size_t start = end;
  while (start > 0 && !IsLineEnd(text[start - 1])) --start;
  before = text.substr(0, start);
  last = text.substr(start, end - start);
}

// One DER INTEGER at data[at], non-negative and no longer than a coordinate, appended to out as
// exactly kCoordinateSize bytes.
bool ReadInteger(const std::string& der, size_t& at, std::string& out) {
  if (at + 2 > der.size() || der[at] != 0x02) return false;
  const size_t length = static_cast<unsigned char>(der[at + 1]);
  at += 2;
  if (length == 0 || length > der.size() - at) return false;
  std::string value = der.substr(at, length);
  at += length;
  if (static_cast<unsigned char>(value[0]) & 0x80) return false;
  const size_t zeros = value.find_first_not_of('\0');
  value.erase(0, zeros == std::string::npos ? value.size() : zeros);
  if (value.size() > kCoordinateSize) return false;
  out += std::string(kCoordinateSize - value.size(), '\0') + value;
  return true;
}

// The DER form SEQUENCE { INTEGER r, INTEGER s } as the platform wants it: r and s, 32 bytes each.
bool RawSignature(const std::string& der, std::string& raw) {
  if (der.size() < 2 || der[0] != 0x30 || static_cast<unsigned char>(der[1]) != der.size() - 2) return false;
  size_t at = 2;
  raw.clear();
  return ReadInteger(der, at, raw) && ReadInteger(der, at, raw) && at == der.size();
}

bool Verify(const std::string& message, const std::string& signature) {
  std::string point;
  if (!FromHex(VendorPublicKey(), point) || point.size() != 1 + 2 * kCoordinateSize || point[0] != 0x04) return false;
  std::vector<UCHAR> blob(sizeof(BCRYPT_ECCKEY_BLOB));
  auto* header = reinterpret_cast<BCRYPT_ECCKEY_BLOB*>(blob.data());
  header->dwMagic = BCRYPT_ECDSA_PUBLIC_P256_MAGIC;
  header->cbKey = kCoordinateSize;
  blob.insert(blob.end(), point.begin() + 1, point.end());
  TBCryptAlgorithm algorithm(BCRYPT_ECDSA_P256_ALGORITHM);
  TBCryptKey key(algorithm, BCRYPT_ECCPUBLIC_BLOB, blob.data(), static_cast<ULONG>(blob.size()));
  std::string digest, raw = signature;
  if (!key.Ok() || !BytesSHA256(message, digest)) return false;
  return BCRYPT_SUCCESS(BCryptVerifySignature(key.Get(), nullptr, reinterpret_cast<PUCHAR>(&digest[0]),
                                              static_cast<ULONG>(digest.size()), reinterpret_cast<PUCHAR>(&raw[0]),
                                              static_cast<ULONG>(raw.size()), 0));
}

}  // namespace

std::string VendorPublicKey() { return KeyForTesting().empty() ? kVendorPublicKey : KeyForTesting(); }

void SetVendorPublicKeyForTesting(const std::string& hexPoint) { KeyForTesting() = hexPoint; }

bool VerifyVendorSignature(const std::string& text, std::string& signedPart) {
  std::string before, last, der, raw;
  SplitLastLine(text, before, last);
  if (last.rfind(kSignatureKey, 0) != 0) return false;
  if (!FromHex(last.substr(sizeof kSignatureKey - 1), der) || !RawSignature(der, raw) || !Verify(before, raw)) {
    return false;
  }
  signedPart = before;
  return true;
}

}  // namespace update
