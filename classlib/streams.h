// Byte streams: a memory stream and a file stream with 64-bit positions. Read and Write move as
// many bytes as they can; ReadBuffer and WriteBuffer move all of them or raise EReadError or
// EWriteError. Portable: file names are UTF-8 on every host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "classlib/exceptions.h"
#include "classlib/persistent.h"

namespace classlib {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
 public:
  virtual size_t Read(void* Buffer, size_t Count) = 0;
  virtual size_t Write(const void* Buffer, size_t Count) = 0;
  // The new position; a position before the start raises EStreamError.
  virtual std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) = 0;
  virtual std::int64_t Size();
  virtual void SetSize(std::int64_t NewSize) = 0;

  std::int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(std::int64_t Value) { Seek(Value, TSeekOrigin::soBeginning); }
  // Bytes from the position to the end (0 past the end).
  std::int64_t Remaining();

  void ReadBuffer(void* Buffer, size_t Count);
  void WriteBuffer(const void* Buffer, size_t Count);
  // Count bytes of Source from its position; Count 0 copies all of Source from its start.
  std::int64_t CopyFrom(TStream& Source, std::int64_t Count);
};

class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  // Holds Data, positioned at 0.
  explicit TMemoryStream(std::vector<std::uint8_t> Data) : data_(std::move(Data)) {}

  size_t Read(void* Buffer, size_t Count) override;
  size_t Write(const void* Buffer, size_t Count) override;
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
  std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }
  void SetSize(std::int64_t NewSize) override;

  const std::uint8_t* Memory() const { return data_.data(); }
  std::uint8_t* Memory() { return data_.data(); }
  const std::vector<std::uint8_t>& Bytes() const { return data_; }
  void Clear();
  // All of Source from its start; the position is 0 afterwards.
  void LoadFromStream(TStream& Source);
  void LoadFromFile(const std::string& FileName);
  // All bytes, whatever the position.
  void SaveToStream(TStream& Target) const;
  void SaveToFile(const std::string& FileName) const;

 private:
  std::vector<std::uint8_t> data_;
  std::int64_t position_ = 0;
};

// How a file stream opens its file: create (or empty) it for writing, or open it for reading
// (other readers allowed, writers kept out) or for reading and writing.
enum class TFileMode { fmCreate, fmOpenRead, fmOpenReadWrite };

class TFileStream : public TStream {
 public:
  // EFCreateError or EFOpenError ("Datei ... kann nicht ... werden") when the file cannot be used.
  TFileStream(const std::string& FileName, TFileMode Mode);
  ~TFileStream() override;

  size_t Read(void* Buffer, size_t Count) override;
  size_t Write(const void* Buffer, size_t Count) override;
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
  void SetSize(std::int64_t NewSize) override;
  const std::string& FileName() const { return fileName_; }

 private:
  std::string fileName_;
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  int fd_ = -1;
#endif
};

}  // namespace classlib
