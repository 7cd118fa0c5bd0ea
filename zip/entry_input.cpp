#include "zip/entry_input.h"

#include <utility>

#include "zip/messages.h"
#include "zip/zip_exceptions.h"

namespace zip {

TEntryInput::TEntryInput(ReadFunction read, CancelFunction canceled)
    : read_(std::move(read)), canceled_(std::move(canceled)), buffer_(kChunkSize) {}

void TEntryInput::Begin(std::int64_t compressedSize, DecryptFunction decrypt) {
  compressedSize_ = compressedSize;
  toRead_ = compressedSize;
  decrypt_ = std::move(decrypt);
  position_ = 0;
  count_ = 0;
}

std::int32_t TEntryInput::TakeChunk(const std::uint8_t*& data) {
  if (position_ == count_ && !Refill()) return 0;
  data = buffer_.data() + position_;
  const std::int32_t count = count_ - position_;
  position_ = count_;
  return count;
}

bool TEntryInput::Refill() {
  if (toRead_ <= 0) return false;
  if (canceled_ && canceled_()) throw EUserCanceled(LoadZipString(kMsgUserAborted));
  const auto chunk = static_cast<std::int32_t>(toRead_ < kChunkSize ? toRead_ : kChunkSize);
  if (read_(buffer_.data(), chunk) != chunk) throw EFatalUnzipError(LoadZipString(kMsgPrematureEnd));
  toRead_ -= chunk;
  if (decrypt_) decrypt_(buffer_.data(), chunk);
  position_ = 0;
  count_ = chunk;
  return true;
}

TEntryInput::DecryptFunction DecryptWith(TZipCipher& cipher) {
  return [&cipher](std::uint8_t* buffer, std::int32_t count) {
    cipher.DecryptBuffer(buffer, static_cast<std::size_t>(count));
  };
}

}  // namespace zip
