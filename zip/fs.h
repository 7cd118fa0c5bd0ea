// The engine's only door to the host's file system. Names are UTF-8; the Win32 side uses the wide
// API, the POSIX side the bytes as given. The engine's paths use "\" as archives do; the POSIX side
// reads every "\" as "/" so the same paths work on both hosts (a POSIX name holding a "\" is out
// of reach).
#pragma once

#include <cstdint>
#include <string>

namespace zip::fs {

using Handle = std::intptr_t;
constexpr Handle kInvalidHandle = -1;

// Open modes of existing files: access in the low two bits, sharing above.
constexpr unsigned kOpenRead = 0x0000;
constexpr unsigned kOpenWrite = 0x0001;
constexpr unsigned kOpenReadWrite = 0x0002;
constexpr unsigned kShareExclusive = 0x0010;
constexpr unsigned kShareDenyWrite = 0x0020;
constexpr unsigned kShareDenyRead = 0x0030;
constexpr unsigned kShareDenyNone = 0x0040;
// Creates the file or truncates an existing one, for reading and writing.
constexpr unsigned kCreate = 0xFFFF;

enum SeekOrigin { kFromBeginning = 0, kFromCurrent = 1, kFromEnd = 2 };

Handle Open(const std::string& name, unsigned mode);
Handle Create(const std::string& name);
// Creates the file only when nothing of that name exists yet, for reading and writing.
Handle CreateNew(const std::string& name);
// Byte counts, or -1 when the call failed.
std::int64_t Read(Handle h, void* buffer, std::int64_t count);
std::int64_t Write(Handle h, const void* buffer, std::int64_t count);
std::int64_t Seek(Handle h, std::int64_t offset, int origin);
// Sets the end of the file at the current position.
bool SetEnd(Handle h);
// The file's size, without moving; -1 when it cannot be had.
std::int64_t FileSize(Handle h);
// Asks the host to write the file's buffers to the medium.
bool Flush(Handle h);
// Asks the host to start writing what was written so far to the medium, without waiting for it
// (where the host offers that; Win32 does not).
void StartWriteBack(Handle h);
bool Close(Handle h);

// Win32 attribute bits. The POSIX side sets read-only for entries without the owner's write bit
// and hidden for dot-files.
constexpr std::uint32_t kAttrReadOnly = 0x01;
constexpr std::uint32_t kAttrHidden = 0x02;
constexpr std::uint32_t kAttrSystem = 0x04;
constexpr std::uint32_t kAttrArchive = 0x20;
constexpr std::uint32_t kAttrDirectory = 0x10;

// One directory entry. dosTime is the local modification time as a DOS date-time, 0 when it has
// none (before 1980 or after 2107). shortName is the 8.3 alias, empty when the host has none.
struct FindData {
  std::string name;
  std::string shortName;
  std::uint32_t attributes = 0;
  std::int64_t size = 0;
  std::uint32_t dosTime = 0;
};

using FindHandle = std::intptr_t;

// Lists every entry of a directory (the current one for ""), "." and ".." where the host has them.
FindHandle FindFirst(const std::string& directory, FindData& entry);
bool FindNext(FindHandle h, FindData& entry);
void FindClose(FindHandle h);
// The 8.3 alias of the last component of path; empty when there is none or the lookup fails.
std::string ShortNameOf(const std::string& path);

// Modification time as a local DOS date-time; false when the file is missing or its date does not
// fit one.
bool FileAge(const std::string& name, std::uint32_t& dosTime);
// Attribute bits, or -1 when there is no such file or directory.
std::int64_t FileAttributes(const std::string& name);
// Sets the read-only, hidden, system and archive bits; the POSIX side knows only read-only (the
// write bits).
bool SetAttributes(const std::string& name, std::uint32_t attributes);
// Sets the modification time from a local DOS date-time.
bool SetFileDate(const std::string& name, std::uint32_t dosTime);
bool FileExists(const std::string& name);
// False for a path longer than the host's file functions take (Win32: MAX_PATH characters).
bool PathFits(const std::string& name);
bool DirectoryExists(const std::string& name);

// Fails when target exists, on both hosts.
bool Rename(const std::string& source, const std::string& target);
bool Delete(const std::string& name);
// One level; the parent must exist.
bool MakeDirectory(const std::string& name);
// The current directory of a drive ("X:"), or of the process for "".
std::string CurrentDirectory(const std::string& drive);

// The values of the Win32 drive types.
enum class DriveType { kUnknown = 0, kNoRootDir = 1, kRemovable = 2, kFixed = 3, kRemote = 4, kCdRom = 5, kRamDisk = 6 };
DriveType DriveTypeOf(const std::string& root);
// The POSIX side has no labels: it reads none and sets none.
bool ReadVolumeLabel(const std::string& root, std::string& label);
bool WriteVolumeLabel(const std::string& root, const std::string& label);

// Bytes free to the caller on the volume of root ("X:\\" or a folder); -1 when it cannot be read.
std::int64_t DiskFreeSpace(const std::string& root);
// The host's folder for temporary files, ending in a separator.
std::string SystemTempDirectory();

// While alive, the host shows no boxes for critical errors such as an empty drive (Win32 only).
class CriticalErrorsSuppressed {
 public:
  CriticalErrorsSuppressed();
  ~CriticalErrorsSuppressed();
  CriticalErrorsSuppressed(const CriticalErrorsSuppressed&) = delete;
  CriticalErrorsSuppressed& operator=(const CriticalErrorsSuppressed&) = delete;

 private:
  unsigned previous_ = 0;
};

// The last failure of this thread, as code and text.
int LastErrorCode();
std::string LastErrorText();

}  // namespace zip::fs
