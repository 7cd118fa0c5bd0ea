#include "zip/fs.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace zip::fs {

Handle Open(const std::string& name, unsigned mode) {
  static const int kAccess[4] = {O_RDONLY, O_WRONLY, O_RDWR, O_RDONLY};
  const int fd = ::open(name.c_str(), kAccess[mode & 3] | O_CLOEXEC);
  return fd < 0 ? kInvalidHandle : fd;
}

Handle Create(const std::string& name) {
  const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  return fd < 0 ? kInvalidHandle : fd;
}

std::int64_t Read(Handle h, void* buffer, std::int64_t count) {
  auto* out = static_cast<char*>(buffer);
  std::int64_t done = 0;
  while (done < count) {
    const ssize_t n = ::read(static_cast<int>(h), out + done, static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return done > 0 ? done : -1;
    if (n == 0) break;
    done += n;
  }
  return done;
}

std::int64_t Write(Handle h, const void* buffer, std::int64_t count) {
  const auto* in = static_cast<const char*>(buffer);
  std::int64_t done = 0;
  while (done < count) {
    const ssize_t n = ::write(static_cast<int>(h), in + done, static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return done > 0 ? done : -1;
    done += n;
  }
  return done;
}

std::int64_t Seek(Handle h, std::int64_t offset, int origin) {
  static const int kWhence[3] = {SEEK_SET, SEEK_CUR, SEEK_END};
  if (origin < 0 || origin > 2) {
    errno = EINVAL;
    return -1;
  }
  return ::lseek(static_cast<int>(h), static_cast<off_t>(offset), kWhence[origin]);
}

bool SetEnd(Handle h) {
  const off_t here = ::lseek(static_cast<int>(h), 0, SEEK_CUR);
  return here >= 0 && ::ftruncate(static_cast<int>(h), here) == 0;
}

bool Flush(Handle h) { return ::fsync(static_cast<int>(h)) == 0 || errno == EINVAL; }

bool Close(Handle h) { return ::close(static_cast<int>(h)) == 0; }

int LastErrorCode() { return errno; }

std::string LastErrorText() { return std::strerror(errno); }

}  // namespace zip::fs
