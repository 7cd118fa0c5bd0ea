#include "update/sha256.h"

#include <windows.h>
#include <bcrypt.h>

#include <vector>

namespace update {
namespace {

class Algorithm {
 public:
  Algorithm() { ok_ = BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&handle_, BCRYPT_SHA256_ALGORITHM, nullptr, 0)); }
  ~Algorithm() {
    if (ok_) BCryptCloseAlgorithmProvider(handle_, 0);
  }
  Algorithm(const Algorithm&) = delete;
  Algorithm& operator=(const Algorithm&) = delete;
  bool Ok() const { return ok_; }
  BCRYPT_ALG_HANDLE Get() const { return handle_; }

 private:
  BCRYPT_ALG_HANDLE handle_ = nullptr;
  bool ok_ = false;
};

class Hash {
 public:
  explicit Hash(const Algorithm& algorithm) {
    ok_ = BCRYPT_SUCCESS(BCryptCreateHash(algorithm.Get(), &handle_, nullptr, 0, nullptr, 0, 0));
  }
  ~Hash() {
    if (ok_) BCryptDestroyHash(handle_);
  }
  Hash(const Hash&) = delete;
  Hash& operator=(const Hash&) = delete;
  bool Ok() const { return ok_; }
  BCRYPT_HASH_HANDLE Get() const { return handle_; }

 private:
  BCRYPT_HASH_HANDLE handle_ = nullptr;
  bool ok_ = false;
};

}  // namespace

bool FileSHA256(void* file, std::string& hex) {
  Algorithm algorithm;
  if (!algorithm.Ok()) return false;
  Hash hash(algorithm);
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
  UCHAR digest[32];
  if (!BCRYPT_SUCCESS(BCryptFinishHash(hash.Get(), digest, sizeof digest, 0))) return false;
  static const char kHex[] = "0123456789abcdef";
  hex.clear();
  for (UCHAR byte : digest) {
    hex += kHex[byte >> 4];
    hex += kHex[byte & 15];
  }
  return true;
}

}  // namespace update
