#include "zip/fs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <climits>
#include <cstring>
#include <ctime>
#include <vector>

#include "zip/path_strings.h"

namespace zip::fs {
namespace {

std::string HostPath(std::string name) {
  BackslashesToSlashes(name);
  return name;
}

// 0 outside the DOS range (1980-2107), as the Win32 conversion fails there.
std::uint32_t DosTimeOf(time_t t) {
  struct tm local;
  if (!localtime_r(&t, &local)) return 0;
  const int year = local.tm_year + 1900;
  if (year < 1980 || year > 2107) return 0;
  return static_cast<std::uint32_t>(year - 1980) << 25 | static_cast<std::uint32_t>(local.tm_mon + 1) << 21 |
         static_cast<std::uint32_t>(local.tm_mday) << 16 | static_cast<std::uint32_t>(local.tm_hour) << 11 |
         static_cast<std::uint32_t>(local.tm_min) << 5 | static_cast<std::uint32_t>(local.tm_sec / 2);
}

std::uint32_t AttributesOf(const struct stat& st, const std::string& name) {
  std::uint32_t attributes = 0;
  if (S_ISDIR(st.st_mode)) attributes |= kAttrDirectory;
  if ((st.st_mode & S_IWUSR) == 0) attributes |= kAttrReadOnly;
  if (name.size() > 1 && name[0] == '.' && name != "..") attributes |= kAttrHidden;
  return attributes;
}

struct Search {
  DIR* dir;
};

// Follows links like the Win32 listing does; a dangling link is listed as itself.
bool ReadEntry(Search& search, FindData& entry) {
  const dirent* d = ::readdir(search.dir);
  if (!d) return false;
  struct stat st;
  if (::fstatat(::dirfd(search.dir), d->d_name, &st, 0) != 0 &&
      ::fstatat(::dirfd(search.dir), d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
    std::memset(&st, 0, sizeof st);
  entry.name = d->d_name;
  entry.shortName.clear();
  entry.attributes = AttributesOf(st, entry.name);
  entry.size = S_ISDIR(st.st_mode) ? 0 : static_cast<std::int64_t>(st.st_size);
  entry.dosTime = DosTimeOf(st.st_mtime);
  return true;
}

}  // namespace

Handle Open(const std::string& name, unsigned mode) {
  static const int kAccess[4] = {O_RDONLY, O_WRONLY, O_RDWR, O_RDONLY};
  const int fd = ::open(HostPath(name).c_str(), kAccess[mode & 3] | O_CLOEXEC);
  if (fd < 0) return kInvalidHandle;
  // A folder is no file to read, as on Win32.
  struct stat st;
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    errno = EISDIR;
    return kInvalidHandle;
  }
  return fd;
}

Handle Create(const std::string& name) {
  const int fd = ::open(HostPath(name).c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  return fd < 0 ? kInvalidHandle : fd;
}

Handle CreateNew(const std::string& name) {
  const int fd = ::open(HostPath(name).c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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

std::int64_t FileSize(Handle h) {
  struct stat st;
  return ::fstat(static_cast<int>(h), &st) == 0 && S_ISREG(st.st_mode) ? static_cast<std::int64_t>(st.st_size) : -1;
}

bool SetEnd(Handle h) {
  const off_t here = ::lseek(static_cast<int>(h), 0, SEEK_CUR);
  return here >= 0 && ::ftruncate(static_cast<int>(h), here) == 0;
}

bool Flush(Handle h) { return ::fsync(static_cast<int>(h)) == 0 || errno == EINVAL; }

void StartWriteBack(Handle h) { ::sync_file_range(static_cast<int>(h), 0, 0, SYNC_FILE_RANGE_WRITE); }

bool Close(Handle h) { return ::close(static_cast<int>(h)) == 0; }

FindHandle FindFirst(const std::string& directory, FindData& entry) {
  DIR* dir = ::opendir(directory.empty() ? "." : HostPath(directory).c_str());
  if (!dir) return kInvalidHandle;
  auto* search = new Search{dir};
  if (!ReadEntry(*search, entry)) {
    FindClose(reinterpret_cast<FindHandle>(search));
    return kInvalidHandle;
  }
  return reinterpret_cast<FindHandle>(search);
}

bool FindNext(FindHandle h, FindData& entry) { return ReadEntry(*reinterpret_cast<Search*>(h), entry); }

void FindClose(FindHandle h) {
  auto* search = reinterpret_cast<Search*>(h);
  ::closedir(search->dir);
  delete search;
}

std::string ShortNameOf(const std::string&) { return {}; }

bool FileAge(const std::string& name, std::uint32_t& dosTime) {
  struct stat st;
  if (::stat(HostPath(name).c_str(), &st) != 0) return false;
  dosTime = DosTimeOf(st.st_mtime);
  return dosTime != 0;
}

std::int64_t FileAttributes(const std::string& name) {
  const std::string host = HostPath(name);
  struct stat st;
  if (::stat(host.c_str(), &st) != 0) return -1;
  return AttributesOf(st, host.substr(host.find_last_of('/') + 1));
}

bool SetAttributes(const std::string& name, std::uint32_t attributes) {
  const std::string host = HostPath(name);
  struct stat st;
  if (::stat(host.c_str(), &st) != 0) return false;
  const mode_t writable = S_IWUSR | S_IWGRP | S_IWOTH;
  const mode_t mode = (attributes & kAttrReadOnly) != 0 ? st.st_mode & ~writable : st.st_mode | S_IWUSR;
  return mode == st.st_mode || ::chmod(host.c_str(), mode & 07777) == 0;
}

bool SetFileDate(const std::string& name, std::uint32_t dosTime) {
  struct tm local = {};
  local.tm_year = static_cast<int>(dosTime >> 25) + 80;
  local.tm_mon = static_cast<int>(dosTime >> 21 & 0x0F) - 1;
  local.tm_mday = static_cast<int>(dosTime >> 16 & 0x1F);
  local.tm_hour = static_cast<int>(dosTime >> 11 & 0x1F);
  local.tm_min = static_cast<int>(dosTime >> 5 & 0x3F);
  local.tm_sec = static_cast<int>(dosTime & 0x1F) * 2;
  local.tm_isdst = -1;
  const time_t t = ::mktime(&local);
  if (t == static_cast<time_t>(-1)) return false;
  const struct timespec times[2] = {{t, 0}, {t, 0}};
  return ::utimensat(AT_FDCWD, HostPath(name).c_str(), times, 0) == 0;
}

bool PathFits(const std::string& name) { return name.size() < PATH_MAX; }

bool FileExists(const std::string& name) {
  struct stat st;
  return ::stat(HostPath(name).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& name) {
  struct stat st;
  return ::stat(HostPath(name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Rename(const std::string& source, const std::string& target) {
  // rename() would replace an existing target; the engine expects the Win32 behaviour.
  if (::renameat2(AT_FDCWD, HostPath(source).c_str(), AT_FDCWD, HostPath(target).c_str(), RENAME_NOREPLACE) == 0)
    return true;
  // File systems without the flag take the two steps.
  if (errno != EINVAL && errno != ENOSYS) return false;
  struct stat st;
  if (::lstat(HostPath(target).c_str(), &st) == 0) {
    errno = EEXIST;
    return false;
  }
  return ::rename(HostPath(source).c_str(), HostPath(target).c_str()) == 0;
}

bool Delete(const std::string& name) { return ::unlink(HostPath(name).c_str()) == 0; }

bool MakeDirectory(const std::string& name) { return ::mkdir(HostPath(name).c_str(), 0777) == 0; }

std::string CurrentDirectory(const std::string&) {
  std::vector<char> buffer(PATH_MAX);
  return ::getcwd(buffer.data(), buffer.size()) ? std::string(buffer.data()) : std::string();
}

DriveType DriveTypeOf(const std::string& root) {
  return DirectoryExists(root) ? DriveType::kFixed : DriveType::kNoRootDir;
}

bool ReadVolumeLabel(const std::string&, std::string& label) {
  label.clear();
  return false;
}

bool WriteVolumeLabel(const std::string&, const std::string&) {
  errno = ENOTSUP;
  return false;
}

CriticalErrorsSuppressed::CriticalErrorsSuppressed() {}
CriticalErrorsSuppressed::~CriticalErrorsSuppressed() {}

int LastErrorCode() { return errno; }

std::string LastErrorText() { return std::strerror(errno); }

std::int64_t DiskFreeSpace(const std::string& root) {
  struct statvfs info;
  if (::statvfs(HostPath(root.empty() ? std::string(".") : root).c_str(), &info) != 0) return -1;
  return static_cast<std::int64_t>(info.f_bavail) * static_cast<std::int64_t>(info.f_frsize);
}

std::string SystemTempDirectory() {
  const char* tmp = std::getenv("TMPDIR");
  return WithTrailingBackslash(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp");
}

}  // namespace zip::fs
