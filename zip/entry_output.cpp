#include "zip/entry_output.h"

#include <cstring>
#include <utility>

#include "zip/crc32.h"
#include "zip/messages.h"
#include "zip/numbers.h"
#include "zip/zip_exceptions.h"

namespace zip {

TEntryOutput::TEntryOutput(ProgressFunction progress) : progress_(std::move(progress)), window_(kWindowSize) {}

void TEntryOutput::Begin(THugeStream& file, std::int64_t uncompressedSize) {
  file_ = &file;
  size_ = uncompressedSize;
  count_ = 0;
  written_ = 0;
  crc_ = 0xFFFFFFFF;
}

void TEntryOutput::OutBytes(const std::uint8_t* data, std::size_t length) {
  while (length > 0) {
    const std::size_t room = static_cast<std::size_t>(kWindowSize - count_);
    const std::size_t part = length < room ? length : room;
    std::memcpy(window_.data() + count_, data, part);
    count_ += static_cast<std::int32_t>(part);
    data += part;
    length -= part;
    if (count_ == kWindowSize) FlushOutput();
  }
}

void TEntryOutput::FlushOutput() {
  if (count_ == 0) return;
  if (written_ + count_ > size_) throw EBiggerThanUncompressed(LoadZipString(kMsgLargerThanUncompressed));
  if (file_->Write(window_.data(), count_) != count_) throw ECantWriteUCF(LoadZipString(kMsgCantWriteUncompressed));
  crc_ = UpdateCrc32(crc_, window_.data(), static_cast<std::size_t>(count_));
  written_ += count_;
  const std::int32_t count = count_;
  count_ = 0;
  if (progress_) progress_(count, Percent(written_, size_));
}

}  // namespace zip
