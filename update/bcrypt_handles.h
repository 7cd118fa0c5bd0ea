// The platform's cryptography handles, closed with their owners.
#pragma once

#include <windows.h>
#include <bcrypt.h>

namespace update {

class TBCryptAlgorithm {
 public:
  explicit TBCryptAlgorithm(LPCWSTR id) { ok_ = BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&handle_, id, nullptr, 0)); }
  ~TBCryptAlgorithm() {
    if (ok_) BCryptCloseAlgorithmProvider(handle_, 0);
  }
  TBCryptAlgorithm(const TBCryptAlgorithm&) = delete;
  TBCryptAlgorithm& operator=(const TBCryptAlgorithm&) = delete;
  bool Ok() const { return ok_; }
  BCRYPT_ALG_HANDLE Get() const { return handle_; }

 private:
  BCRYPT_ALG_HANDLE handle_ = nullptr;
  bool ok_ = false;
};

class TBCryptHash {
 public:
  explicit TBCryptHash(const TBCryptAlgorithm& algorithm) {
    ok_ = algorithm.Ok() && BCRYPT_SUCCESS(BCryptCreateHash(algorithm.Get(), &handle_, nullptr, 0, nullptr, 0, 0));
  }
  ~TBCryptHash() {
    if (ok_) BCryptDestroyHash(handle_);
  }
  TBCryptHash(const TBCryptHash&) = delete;
  TBCryptHash& operator=(const TBCryptHash&) = delete;
  bool Ok() const { return ok_; }
  BCRYPT_HASH_HANDLE Get() const { return handle_; }

 private:
  BCRYPT_HASH_HANDLE handle_ = nullptr;
  bool ok_ = false;
};

class TBCryptKey {
 public:
  // Imports a public key blob of the given type.
  TBCryptKey(const TBCryptAlgorithm& algorithm, LPCWSTR blobType, PUCHAR blob, ULONG size) {
    ok_ = algorithm.Ok() &&
          BCRYPT_SUCCESS(BCryptImportKeyPair(algorithm.Get(), nullptr, blobType, &handle_, blob, size, 0));
  }
  ~TBCryptKey() {
    if (ok_) BCryptDestroyKey(handle_);
  }
  TBCryptKey(const TBCryptKey&) = delete;
  TBCryptKey& operator=(const TBCryptKey&) = delete;
  bool Ok() const { return ok_; }
  BCRYPT_KEY_HANDLE Get() const { return handle_; }

 private:
  BCRYPT_KEY_HANDLE handle_ = nullptr;
  bool ok_ = false;
};

}  // namespace update
