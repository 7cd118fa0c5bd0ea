// The engine's streams: 64-bit positions and sizes, and a buffered stream over files. Every
// archive, part, temporary, input and extracted file is a TLFNFileStream.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "zip/fs.h"

namespace zip {

class THugeStream {
 public:
  virtual ~THugeStream() = default;

  virtual void SetSize(std::int64_t size);
  virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
  virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
  // Origins: fs::kFromBeginning, fs::kFromCurrent, fs::kFromEnd.
  virtual std::int64_t Seek(std::int64_t offset, int origin) = 0;

  std::int64_t Position() { return Seek(0, fs::kFromCurrent); }
  void SetPosition(std::int64_t position) { Seek(position, fs::kFromBeginning); }
  // Seeks to the end and back; streams that know their size answer without moving.
  virtual std::int64_t Size();

  // Short transfers raise EReadError / EWriteError.
  void ReadBuffer(void* buffer, std::int64_t count);
  void WriteBuffer(const void* buffer, std::int64_t count);
  // A count of 0 copies the whole source from its beginning.
  std::int64_t CopyFrom(THugeStream& source, std::int64_t count);
};

// Nothing else may move the handle: the stream remembers where it stands, so asking for the
// position costs no call to the host.
class THugeHandleStream : public THugeStream {
 public:
  explicit THugeHandleStream(fs::Handle handle) : handle_(handle) {}
  fs::Handle Handle() const { return handle_; }

  void SetSize(std::int64_t size) override;
  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, int origin) override;
  std::int64_t Size() override;

 protected:
  // For a handle whose position is known, such as one just opened (0).
  THugeHandleStream(fs::Handle handle, std::int64_t position) : handle_(handle), position_(position) {}

  fs::Handle handle_;

 private:
  // -1 when not known (at the start and after a failure).
  std::int64_t position_ = -1;
};

class THugeFileStream : public THugeHandleStream {
 public:
  // mode fs::kCreate creates or truncates; any other value opens an existing file.
  THugeFileStream(const std::string& fileName, unsigned mode);
  // Takes over a handle the file-system layer just opened.
  explicit THugeFileStream(fs::Handle opened) : THugeHandleStream(opened, 0) {}
  ~THugeFileStream() override;
  // Closes the handle and raises when the host reports a failure.
  void Close();
};

class THugeCustomMemoryStream : public THugeStream {
 public:
  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, int origin) override;
  const void* Memory() const { return memory_; }

 protected:
  void SetPointer(char* memory, std::int32_t size);
  char* memory_ = nullptr;
  std::int32_t size_ = 0;
  std::int32_t position_ = 0;
};

class THugeMemoryStream : public THugeCustomMemoryStream {
 public:
  ~THugeMemoryStream() override;
  void Clear();
  void SetSize(std::int64_t size) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;

 protected:
  // Rounds the capacity up to a multiple of 8192 and returns the grown, shrunk or freed block.
  virtual char* Realloc(std::int32_t& capacity);

 private:
  void SetCapacity(std::int32_t capacity);
  std::int32_t capacity_ = 0;
};

// Transfers of a buffer's size or more go straight to the stream when nothing is buffered.
class TBufferStream : public THugeStream {
 public:
  // The stream is not owned.
  TBufferStream(THugeStream& stream, std::int32_t bufferSize);
  ~TBufferStream() override;
  TBufferStream(const TBufferStream&) = delete;
  TBufferStream& operator=(const TBufferStream&) = delete;

  void SetSize(std::int64_t size) override;
  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, int origin) override;
  // The larger of the underlying size and the logical position (bytes not yet written count).
  std::int64_t Size() override;

  virtual bool Fill();
  virtual bool Flush();
  // Only a byte that came out of the buffer can go back.
  virtual void PutBack(std::uint8_t byte);

  // Writes what is buffered (and, when asked, the host's file buffers) and raises EWriteError when
  // any write of this stream failed, so a full disk never passes as a complete file. The
  // destructor does the same without raising, for error paths.
  virtual void Close();

 protected:
  TBufferStream(std::unique_ptr<THugeStream> owned, std::int32_t bufferSize, bool flushOnClose);
  THugeStream& Underlying() { return *stream_; }

 private:
  enum Mode { kIdle = 0, kReading = 1, kWriting = 2 };
  std::int64_t LogicalPosition();
  void DropBuffer();
  bool FinishWriting();
  // Writes to the underlying stream, starting the write-back of a stream flushed at close now and
  // then.
  std::int64_t WriteThrough(const void* data, std::int64_t count);

  std::unique_ptr<THugeStream> owned_;
  THugeStream* stream_;
  std::vector<std::uint8_t> buffer_;
  bool hasCurrent_ = false;
  std::size_t current_ = 0;
  std::size_t end_ = 0;
  Mode mode_ = kIdle;
  bool flushOnClose_ = false;
  bool written_ = false;
  std::int64_t notWrittenBack_ = 0;
  bool writeFailed_ = false;
  bool closed_ = false;
};

class TLFNFileStream : public TBufferStream {
 public:
  TLFNFileStream(const std::string& fileName, std::int32_t bufferSize, bool flushOnClose, unsigned mode);
  // Over a file the file-system layer just created (fs::CreateTempFile), for writing.
  TLFNFileStream(fs::Handle created, std::int32_t bufferSize, bool flushOnClose);
  void Close() override;
  // The file's handle, for its date.
  fs::Handle Handle();
};

}  // namespace zip
