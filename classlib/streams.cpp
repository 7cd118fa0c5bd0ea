#include "classlib/streams.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "classlib/format.h"

#ifdef _WIN32
#include <windows.h>

#include "classlib/wide.h"
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace classlib {

namespace {

std::int64_t NewPosition(std::int64_t offset, TSeekOrigin origin, std::int64_t current, std::int64_t size) {
  const std::int64_t base = origin == TSeekOrigin::soBeginning ? 0 : origin == TSeekOrigin::soCurrent ? current : size;
  if ((offset < 0 && base + offset < 0) || (offset > 0 && base > std::numeric_limits<std::int64_t>::max() - offset))
    throw EStreamError("Ungültige Stream-Position");
  return base + offset;
}

}  // namespace

std::int64_t TStream::Size() {
  const std::int64_t position = Position();
  const std::int64_t size = Seek(0, TSeekOrigin::soEnd);
  SetPosition(position);
  return size;
}

std::int64_t TStream::Remaining() { return std::max<std::int64_t>(0, Size() - Position()); }

void TStream::ReadBuffer(void* Buffer, size_t Count) {
  if (Count != 0 && Read(Buffer, Count) != Count) throw EReadError("Stream-Lesefehler");
}

void TStream::WriteBuffer(const void* Buffer, size_t Count) {
  if (Count != 0 && Write(Buffer, Count) != Count) throw EWriteError("Stream-Schreibfehler");
}

std::int64_t TStream::CopyFrom(TStream& Source, std::int64_t Count) {
  if (Count == 0) {
    Source.SetPosition(0);
    Count = Source.Size();
  }
  if (Count < 0) throw EStreamError("Ungültige Stream-Länge");
  std::vector<std::uint8_t> buffer(static_cast<size_t>(std::min<std::int64_t>(Count, 0xF000)));
  for (std::int64_t left = Count; left > 0;) {
    const size_t n = static_cast<size_t>(std::min<std::int64_t>(left, static_cast<std::int64_t>(buffer.size())));
    Source.ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    left -= static_cast<std::int64_t>(n);
  }
  return Count;
}

size_t TMemoryStream::Read(void* Buffer, size_t Count) {
  const std::int64_t size = Size();
  if (position_ >= size || Count == 0) return 0;
  const size_t n = static_cast<size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(Count), size - position_));
  std::memcpy(Buffer, data_.data() + position_, n);
  position_ += static_cast<std::int64_t>(n);
  return n;
}

size_t TMemoryStream::Write(const void* Buffer, size_t Count) {
  if (Count == 0) return 0;
  const auto end = static_cast<size_t>(position_) + Count;
  if (end > data_.size()) data_.resize(end);
  std::memcpy(data_.data() + position_, Buffer, Count);
  position_ = static_cast<std::int64_t>(end);
  return Count;
}

std::int64_t TMemoryStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
  position_ = NewPosition(Offset, Origin, position_, Size());
  return position_;
}

void TMemoryStream::SetSize(std::int64_t NewSize) {
  if (NewSize < 0) throw EStreamError("Ungültige Stream-Länge");
  data_.resize(static_cast<size_t>(NewSize));
  position_ = std::min(position_, NewSize);
}

void TMemoryStream::Clear() {
  data_.clear();
  data_.shrink_to_fit();
  position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& Source) {
  Source.SetPosition(0);
  const std::int64_t size = Source.Size();
  SetSize(size);
  Source.ReadBuffer(data_.data(), data_.size());
  position_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
  TFileStream file(FileName, TFileMode::fmOpenRead);
  LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& Target) const { Target.WriteBuffer(data_.data(), data_.size()); }

void TMemoryStream::SaveToFile(const std::string& FileName) const {
  TFileStream file(FileName, TFileMode::fmCreate);
  SaveToStream(file);
}

#ifdef _WIN32

TFileStream::TFileStream(const std::string& FileName, TFileMode Mode) : fileName_(FileName) {
  const DWORD access = Mode == TFileMode::fmOpenRead ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
  const DWORD disposition = Mode == TFileMode::fmCreate ? CREATE_ALWAYS : OPEN_EXISTING;
  HANDLE file = CreateFileW(Widen(FileName).c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    if (Mode == TFileMode::fmCreate) throw EFCreateError(Format("Datei %s kann nicht erstellt werden", FileName.c_str()));
    throw EFOpenError(Format("Datei %s kann nicht geöffnet werden", FileName.c_str()));
  }
  handle_ = file;
}

TFileStream::~TFileStream() { CloseHandle(handle_); }

size_t TFileStream::Read(void* Buffer, size_t Count) {
  size_t done = 0;
  while (done < Count) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(Count - done, 0x40000000));
    DWORD got = 0;
    if (!ReadFile(handle_, static_cast<char*>(Buffer) + done, chunk, &got, nullptr) || got == 0) break;
    done += got;
  }
  return done;
}

size_t TFileStream::Write(const void* Buffer, size_t Count) {
  size_t done = 0;
  while (done < Count) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(Count - done, 0x40000000));
    DWORD put = 0;
    if (!WriteFile(handle_, static_cast<const char*>(Buffer) + done, chunk, &put, nullptr) || put == 0) break;
    done += put;
  }
  return done;
}

std::int64_t TFileStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
  const DWORD method = Origin == TSeekOrigin::soBeginning ? FILE_BEGIN
                       : Origin == TSeekOrigin::soCurrent ? FILE_CURRENT
                                                          : FILE_END;
  LARGE_INTEGER distance, result;
  distance.QuadPart = Offset;
  if (!SetFilePointerEx(handle_, distance, &result, method)) throw EStreamError("Ungültige Stream-Position");
  return result.QuadPart;
}

void TFileStream::SetSize(std::int64_t NewSize) {
  const std::int64_t position = Position();
  SetPosition(NewSize);
  if (!SetEndOfFile(handle_)) throw EStreamError("Die Dateigröße kann nicht geändert werden");
  SetPosition(std::min(position, NewSize));
}

#else

TFileStream::TFileStream(const std::string& FileName, TFileMode Mode) : fileName_(FileName) {
  const int flags = Mode == TFileMode::fmCreate     ? O_RDWR | O_CREAT | O_TRUNC
                    : Mode == TFileMode::fmOpenRead ? O_RDONLY
                                                    : O_RDWR;
  fd_ = open(FileName.c_str(), flags | O_CLOEXEC, 0644);
  if (fd_ < 0) {
    if (Mode == TFileMode::fmCreate) throw EFCreateError(Format("Datei %s kann nicht erstellt werden", FileName.c_str()));
    throw EFOpenError(Format("Datei %s kann nicht geöffnet werden", FileName.c_str()));
  }
}

TFileStream::~TFileStream() { close(fd_); }

size_t TFileStream::Read(void* Buffer, size_t Count) {
  size_t done = 0;
  while (done < Count) {
    const ssize_t got = read(fd_, static_cast<char*>(Buffer) + done, Count - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

size_t TFileStream::Write(const void* Buffer, size_t Count) {
  size_t done = 0;
  while (done < Count) {
    const ssize_t put = write(fd_, static_cast<const char*>(Buffer) + done, Count - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) break;
    done += static_cast<size_t>(put);
  }
  return done;
}

std::int64_t TFileStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
  const int whence = Origin == TSeekOrigin::soBeginning ? SEEK_SET : Origin == TSeekOrigin::soCurrent ? SEEK_CUR : SEEK_END;
  const off_t result = lseek(fd_, static_cast<off_t>(Offset), whence);
  if (result < 0) throw EStreamError("Ungültige Stream-Position");
  return result;
}

void TFileStream::SetSize(std::int64_t NewSize) {
  const std::int64_t position = Position();
  if (NewSize < 0 || ftruncate(fd_, static_cast<off_t>(NewSize)) != 0)
    throw EStreamError("Die Dateigröße kann nicht geändert werden");
  SetPosition(std::min(position, NewSize));
}

#endif

}  // namespace classlib
