// The compressed bytes of one entry as the decoders take them: read in chunks of at most 32768
// bytes, decrypted when the entry is encrypted, never past the entry's compressed size.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "zip/crypt.h"

namespace zip {

class TEntryInput {
 public:
  // Reads up to count of the entry's next bytes and returns how many it read; fewer only when no
  // more can be had. Moving on to the next part of a split archive lives behind it.
  using ReadFunction = std::function<std::int64_t(std::uint8_t* buffer, std::int64_t count)>;
  // Decrypts a chunk in place; chunks come in the order of the data.
  using DecryptFunction = std::function<void(std::uint8_t* buffer, std::int32_t count)>;
  // Runs before every chunk is read (the place to pump messages); true stops the entry with
  // EUserCanceled.
  using CancelFunction = std::function<bool()>;

  static constexpr std::int32_t kChunkSize = 32768;

  // Serves one entry after the other; Begin starts each.
  explicit TEntryInput(ReadFunction read, CancelFunction canceled = {});

  // compressedSize: the data's size without the encryption header. An empty decrypt leaves the
  // bytes as read.
  void Begin(std::int64_t compressedSize, DecryptFunction decrypt = {});

  std::int64_t CompressedSize() const { return compressedSize_; }

  // The next byte; false once the compressed bytes are used up.
  bool ReadInputByte(std::uint8_t& byte) {
    if (position_ == count_ && !Refill()) return false;
    byte = buffer_[position_++];
    return true;
  }
  // Hands over every byte buffered and not yet taken, refilling first when none are left; 0 at
  // the end. The bytes stay valid until the next call.
  std::int32_t TakeChunk(const std::uint8_t*& data);

 private:
  // Reads the next chunk; false when the compressed bytes are used up. Raises EUserCanceled when
  // cancelled and EFatalUnzipError when the archive ends early.
  bool Refill();

  std::int64_t compressedSize_ = 0;
  std::int64_t toRead_ = 0;
  ReadFunction read_;
  DecryptFunction decrypt_;
  CancelFunction canceled_;
  std::vector<std::uint8_t> buffer_;
  std::int32_t position_ = 0;
  std::int32_t count_ = 0;
};

// The built-in decryption step: the cipher's keys must already have taken the encryption header.
TEntryInput::DecryptFunction DecryptWith(TZipCipher& cipher);

}  // namespace zip
