#include "update/sha256.h"

#include <windows.h>

#include <vector>

#include "update/bcrypt_handles.h"

namespace update {
namespace {

constexpr ULONG kDigestSize = 32;

bool Finish(const TBCryptHash& hash, std::string& digest) {
  digest.assign(kDigestSize, '\0');
  return BCRYPT_SUCCESS(
      BCryptFinishHash(hash.Get(), reinterpret_cast<PUCHAR>(&digest[0]), kDigestSize, 0));
}

}  // namespace

bool FileSHA256(void* file, std::string& hex) {
  TBCryptAlgorithm algorithm(BCRYPT_SHA256_ALGORITHM);
  TBCryptHash hash(algorithm);
  if (!hash.Ok()) return false;
  LARGE_INTEGER start{};
  if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return false;
  std::vector<UCHAR> buffer(1 << 16);
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) return false;
    if (got == 0) break;
    if (!BCRYPT_SUCCESS(BCryptHashData(hash.Get(), buffer.data(), got, 0))) return false;
  }
  std::string digest;
  if (!Finish(hash, digest)) return false;
  static const char kHex[] = "0123456789abcdef";
  hex.clear();
  for (unsigned char byte : digest) {
    hex += kHex[byte >> 4];
    hex += kHex[byte & 15];
  }
  return true;
}

bool BytesSHA256(const std::string& bytes, std::string& digest) {
  TBCryptAlgorithm algorithm(BCRYPT_SHA256_ALGORITHM);
  TBCryptHash hash(algorithm);
  if (!hash.Ok()) return false;
  std::string data = bytes;
  if (!BCRYPT_SUCCESS(BCryptHashData(hash.Get(), reinterpret_cast<PUCHAR>(data.data()),
                                     static_cast<ULONG>(data.size()), 0))) {
    return false;
  }
  return Finish(hash, digest);
}

}  // namespace update
