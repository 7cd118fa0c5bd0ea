#include "zip/streams.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "classlib/exceptions.h"
#include "classlib/format.h"
#include "zip/messages.h"

namespace zip {

using classlib::EFCreateError;
using classlib::EFOpenError;
using classlib::EOSError;
using classlib::EReadError;
using classlib::EStreamError;
using classlib::EWriteError;
using classlib::Format;

namespace {

constexpr std::int64_t kCopyBufferSize = 61440;
// A stream flushed at close has the host start writing back after this many bytes, so that the
// flush has little left to wait for.
constexpr std::int64_t kWriteBackInterval = 4 << 20;

[[noreturn]] void RaiseWriteError() { throw EWriteError("Stream-Schreibfehler"); }

}  // namespace

// ---- THugeStream

void THugeStream::SetSize(std::int64_t) {}

std::int64_t THugeStream::Size() {
  const std::int64_t here = Position();
  const std::int64_t size = Seek(0, fs::kFromEnd);
  Seek(here, fs::kFromBeginning);
  return size;
}

void THugeStream::ReadBuffer(void* buffer, std::int64_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError("Stream-Lesefehler");
}

void THugeStream::WriteBuffer(const void* buffer, std::int64_t count) {
  if (count != 0 && Write(buffer, count) != count) RaiseWriteError();
}

std::int64_t THugeStream::CopyFrom(THugeStream& source, std::int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  std::vector<char> buffer(static_cast<size_t>(std::min(count, kCopyBufferSize)));
  for (std::int64_t left = count; left > 0;) {
    const std::int64_t n = std::min(left, kCopyBufferSize);
    source.ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    left -= n;
  }
  return count;
}

// ---- THugeHandleStream

void THugeHandleStream::SetSize(std::int64_t size) {
  position_ = fs::Seek(handle_, size, fs::kFromBeginning);
  if (position_ < 0 || !fs::SetEnd(handle_))
    throw EOSError(Format("Systemfehler. Code: %d.\n\n%s", fs::LastErrorCode(), fs::LastErrorText().c_str()));
}

std::int64_t THugeHandleStream::Read(void* buffer, std::int64_t count) {
  const std::int64_t n = count > 0 ? fs::Read(handle_, buffer, count) : 0;
  if (n < 0) {
    position_ = -1;
    return 0;
  }
  if (position_ >= 0) position_ += n;
  return n;
}

std::int64_t THugeHandleStream::Write(const void* buffer, std::int64_t count) {
  const std::int64_t n = count > 0 ? fs::Write(handle_, buffer, count) : 0;
  if (n < 0) {
    position_ = -1;
    return 0;
  }
  if (position_ >= 0) position_ += n;
  return n;
}

std::int64_t THugeHandleStream::Size() {
  const std::int64_t size = fs::FileSize(handle_);
  return size >= 0 ? size : THugeStream::Size();
}

std::int64_t THugeHandleStream::Seek(std::int64_t offset, int origin) {
  const bool stays = (origin == fs::kFromCurrent && offset == 0) || (origin == fs::kFromBeginning && offset == position_);
  if (position_ >= 0 && stays) return position_;
  position_ = fs::Seek(handle_, offset, origin);
  return position_;
}

// ---- THugeFileStream

THugeFileStream::THugeFileStream(const std::string& fileName, unsigned mode)
    : THugeHandleStream(mode == fs::kCreate ? fs::Create(fileName) : fs::Open(fileName, mode), 0) {
  if (handle_ != fs::kInvalidHandle) return;
  if (mode == fs::kCreate) throw EFCreateError(Format("Datei %s kann nicht erstellt werden", fileName.c_str()));
  throw EFOpenError(Format("Datei %s kann nicht geöffnet werden", fileName.c_str()));
}

THugeFileStream::~THugeFileStream() {
  if (handle_ != fs::kInvalidHandle) fs::Close(handle_);
}

void THugeFileStream::Close() {
  if (handle_ == fs::kInvalidHandle) return;
  const bool closed = fs::Close(handle_);
  handle_ = fs::kInvalidHandle;
  if (!closed) RaiseWriteError();
}

// ---- THugeCustomMemoryStream

void THugeCustomMemoryStream::SetPointer(char* memory, std::int32_t size) {
  memory_ = memory;
  size_ = size;
}

std::int64_t THugeCustomMemoryStream::Read(void* buffer, std::int64_t count) {
  if (position_ < 0 || count <= 0) return 0;
  const std::int64_t n = std::min<std::int64_t>(count, size_ - position_);
  if (n <= 0) return 0;
  std::memcpy(buffer, memory_ + position_, static_cast<size_t>(n));
  position_ += static_cast<std::int32_t>(n);
  return n;
}

std::int64_t THugeCustomMemoryStream::Write(const void*, std::int64_t) { return 0; }

std::int64_t THugeCustomMemoryStream::Seek(std::int64_t offset, int origin) {
  std::int64_t target = offset;
  if (origin == fs::kFromCurrent) target = position_ + offset;
  if (origin == fs::kFromEnd) target = size_ + offset;
  target = std::clamp<std::int64_t>(target, std::numeric_limits<std::int32_t>::min(),
                                    std::numeric_limits<std::int32_t>::max());
  position_ = static_cast<std::int32_t>(target);
  return position_;
}

// ---- THugeMemoryStream

THugeMemoryStream::~THugeMemoryStream() { Clear(); }

void THugeMemoryStream::Clear() {
  SetCapacity(0);
  size_ = 0;
  position_ = 0;
}

char* THugeMemoryStream::Realloc(std::int32_t& capacity) {
  constexpr std::int32_t kDelta = 8192;
  if (capacity > 0 && capacity <= std::numeric_limits<std::int32_t>::max() - (kDelta - 1))
    capacity = (capacity + (kDelta - 1)) & ~(kDelta - 1);
  if (capacity == capacity_) return memory_;
  if (capacity <= 0) {
    std::free(memory_);
    return nullptr;
  }
  char* block = static_cast<char*>(std::realloc(memory_, static_cast<size_t>(capacity)));
  if (!block) throw EStreamError("Expandieren des Speicher-Stream wegen Speichermangel nicht möglich");
  return block;
}

void THugeMemoryStream::SetCapacity(std::int32_t capacity) {
  memory_ = Realloc(capacity);
  capacity_ = memory_ ? capacity : 0;
}

void THugeMemoryStream::SetSize(std::int64_t size) {
  if (size < 0 || size > std::numeric_limits<std::int32_t>::max())
    throw EStreamError("Expandieren des Speicher-Stream wegen Speichermangel nicht möglich");
  SetCapacity(static_cast<std::int32_t>(size));
  size_ = static_cast<std::int32_t>(size);
  if (position_ > size_) position_ = size_;
}

std::int64_t THugeMemoryStream::Write(const void* buffer, std::int64_t count) {
  if (position_ < 0 || count <= 0) return 0;
  const std::int64_t end = position_ + count;
  if (end > std::numeric_limits<std::int32_t>::max())
    throw EStreamError("Expandieren des Speicher-Stream wegen Speichermangel nicht möglich");
  if (end > capacity_) SetCapacity(static_cast<std::int32_t>(end));
  std::memcpy(memory_ + position_, buffer, static_cast<size_t>(count));
  position_ = static_cast<std::int32_t>(end);
  if (position_ > size_) size_ = position_;
  return count;
}

// ---- TBufferStream

TBufferStream::TBufferStream(THugeStream& stream, std::int32_t bufferSize)
    : stream_(&stream), buffer_(static_cast<size_t>(std::max(bufferSize, 1))) {}

TBufferStream::TBufferStream(std::unique_ptr<THugeStream> owned, std::int32_t bufferSize, bool flushOnClose)
    : owned_(std::move(owned)),
      stream_(owned_.get()),
      buffer_(static_cast<size_t>(std::max(bufferSize, 1))),
      flushOnClose_(flushOnClose) {}

TBufferStream::~TBufferStream() {
  try {
    TBufferStream::Close();
  } catch (...) {
    // Only reached on paths that already report their own failure.
  }
}

std::int64_t TBufferStream::LogicalPosition() {
  const std::int64_t base = stream_->Position();
  if (mode_ == kReading) return base - static_cast<std::int64_t>(end_ - current_);
  if (mode_ == kWriting) return base + static_cast<std::int64_t>(current_);
  return base;
}

void TBufferStream::DropBuffer() {
  hasCurrent_ = false;
  current_ = end_ = 0;
  mode_ = kIdle;
}

bool TBufferStream::Fill() {
  const std::int64_t n = stream_->Read(buffer_.data(), static_cast<std::int64_t>(buffer_.size()));
  hasCurrent_ = true;
  current_ = 0;
  end_ = n > 0 ? static_cast<size_t>(n) : 0;
  mode_ = end_ > 0 ? kReading : kIdle;
  return end_ > 0;
}

bool TBufferStream::Flush() {
  if (mode_ != kWriting) return true;
  const auto pending = static_cast<std::int64_t>(current_);
  const bool ok = pending == 0 || WriteThrough(buffer_.data(), pending) == pending;
  current_ = 0;
  mode_ = kIdle;
  if (!ok) writeFailed_ = true;
  return ok;
}

std::int64_t TBufferStream::Read(void* buffer, std::int64_t count) {
  if (mode_ == kWriting && !Flush()) RaiseWriteError();
  if (!hasCurrent_) {
    hasCurrent_ = true;
    current_ = end_ = 0;
  }
  auto* out = static_cast<std::uint8_t*>(buffer);
  std::int64_t delivered = 0;
  while (delivered < count) {
    if (current_ == end_ && count - delivered >= static_cast<std::int64_t>(buffer_.size())) {
      delivered += stream_->Read(out + delivered, count - delivered);
      current_ = end_ = 0;
      mode_ = kIdle;
      break;
    }
    if (current_ == end_) {
      if (!Fill()) break;
      continue;
    }
    const size_t n = static_cast<size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(end_ - current_),
                                                                count - delivered));
    std::memcpy(out + delivered, buffer_.data() + current_, n);
    current_ += n;
    delivered += static_cast<std::int64_t>(n);
  }
  return delivered;
}

std::int64_t TBufferStream::Write(const void* buffer, std::int64_t count) {
  if (mode_ == kReading) {
    const std::int64_t here = LogicalPosition();
    DropBuffer();
    if (stream_->Seek(here, fs::kFromBeginning) != here) return 0;
  }
  if (!hasCurrent_) {
    hasCurrent_ = true;
    current_ = end_ = 0;
  }
  const auto* in = static_cast<const std::uint8_t*>(buffer);
  std::int64_t taken = 0;
  while (taken < count) {
    if (current_ == 0 && count - taken >= static_cast<std::int64_t>(buffer_.size())) {
      const std::int64_t n = WriteThrough(in + taken, count - taken);
      written_ = true;
      mode_ = kIdle;
      if (n != count - taken) {
        writeFailed_ = true;
        return taken + n;
      }
      return count;
    }
    const size_t n = static_cast<size_t>(std::min<std::int64_t>(
        static_cast<std::int64_t>(buffer_.size() - current_), count - taken));
    std::memcpy(buffer_.data() + current_, in + taken, n);
    current_ += n;
    taken += static_cast<std::int64_t>(n);
    mode_ = kWriting;
    written_ = true;
    if (current_ == buffer_.size()) {
      const auto inBuffer = static_cast<std::int64_t>(current_);
      // The buffer was never full on entry, so a failed flush always loses bytes of this call.
      if (!Flush()) return std::max<std::int64_t>(0, taken - inBuffer);
    }
  }
  return taken;
}

std::int64_t TBufferStream::Seek(std::int64_t offset, int origin) {
  const std::int64_t here = LogicalPosition();
  std::int64_t target;
  switch (origin) {
    case fs::kFromBeginning: target = offset; break;
    case fs::kFromCurrent: target = here + offset; break;
    case fs::kFromEnd: target = std::max(stream_->Size(), here) - (offset < 0 ? -offset : offset); break;
    default: throw EStreamError(Format(LoadZipString(kMsgInvalidSeekOrigin).c_str(), origin));
  }
  if (target == here) return target;
  if (mode_ == kWriting && !Flush()) throw EStreamError(LoadZipString(kMsgSeekError));
  DropBuffer();
  if (stream_->Seek(target, fs::kFromBeginning) != target) throw EStreamError(LoadZipString(kMsgSeekError));
  return target;
}

std::int64_t TBufferStream::Size() { return std::max(stream_->Size(), LogicalPosition()); }

void TBufferStream::SetSize(std::int64_t size) {
  if (mode_ == kWriting && !Flush()) RaiseWriteError();
  DropBuffer();
  stream_->SetSize(size);
}

void TBufferStream::PutBack(std::uint8_t byte) {
  if (!hasCurrent_ || current_ == 0) throw EStreamError(LoadZipString(kMsgPutbackOverflow));
  buffer_[--current_] = byte;
}

std::int64_t TBufferStream::WriteThrough(const void* data, std::int64_t count) {
  const std::int64_t n = stream_->Write(data, count);
  notWrittenBack_ += n;
  if (flushOnClose_ && notWrittenBack_ >= kWriteBackInterval) {
    if (auto* handleStream = dynamic_cast<THugeHandleStream*>(stream_)) fs::StartWriteBack(handleStream->Handle());
    notWrittenBack_ = 0;
  }
  return n;
}

bool TBufferStream::FinishWriting() {
  bool ok = Flush();
  if (ok && flushOnClose_ && written_)
    if (auto* handleStream = dynamic_cast<THugeHandleStream*>(stream_)) ok = fs::Flush(handleStream->Handle());
  return ok && !writeFailed_;
}

void TBufferStream::Close() {
  if (closed_) return;
  closed_ = true;
  if (!FinishWriting()) RaiseWriteError();
}

// ---- TLFNFileStream

TLFNFileStream::TLFNFileStream(const std::string& fileName, std::int32_t bufferSize, bool flushOnClose,
                               unsigned mode)
    : TBufferStream(std::make_unique<THugeFileStream>(fileName, mode), bufferSize,
                    flushOnClose && (mode & 3) != 0) {}

void TLFNFileStream::Close() {
  auto& file = static_cast<THugeFileStream&>(Underlying());
  try {
    TBufferStream::Close();
  } catch (...) {
    try {
      file.Close();
    } catch (...) {
    }
    throw;
  }
  file.Close();
}

TLFNFileStream::TLFNFileStream(fs::Handle created, std::int32_t bufferSize, bool flushOnClose)
    : TBufferStream(std::make_unique<THugeFileStream>(created), bufferSize, flushOnClose) {}

fs::Handle TLFNFileStream::Handle() { return static_cast<THugeFileStream&>(Underlying()).Handle(); }

}  // namespace zip
