#include <windows.h>

#include "classlib/wide.h"
#include "zip/fs.h"

namespace zip::fs {
namespace {

HANDLE AsWin(Handle h) { return reinterpret_cast<HANDLE>(h); }
Handle FromWin(HANDLE h) { return h == INVALID_HANDLE_VALUE ? kInvalidHandle : reinterpret_cast<Handle>(h); }

// ReadFile and WriteFile take 32-bit counts.
constexpr std::int64_t kChunk = 1 << 30;

// Local times use the daylight saving rule in force at that time, not today's, so a summer file
// keeps its date through the winter (and matches what the POSIX side computes).
std::uint32_t DosTimeOf(const FILETIME& utc) {
  SYSTEMTIME utcParts, localParts;
  FILETIME local;
  WORD date = 0, time = 0;
  if (!FileTimeToSystemTime(&utc, &utcParts) || !SystemTimeToTzSpecificLocalTime(nullptr, &utcParts, &localParts) ||
      !SystemTimeToFileTime(&localParts, &local) || !FileTimeToDosDateTime(&local, &date, &time))
    return 0;
  return static_cast<std::uint32_t>(date) << 16 | time;
}

bool UtcOfDosTime(std::uint32_t dosTime, FILETIME& utc) {
  FILETIME local;
  SYSTEMTIME localParts, utcParts;
  return DosDateTimeToFileTime(static_cast<WORD>(dosTime >> 16), static_cast<WORD>(dosTime), &local) &&
         FileTimeToSystemTime(&local, &localParts) && TzSpecificLocalTimeToSystemTime(nullptr, &localParts, &utcParts) &&
         SystemTimeToFileTime(&utcParts, &utc);
}

void CopyEntry(const WIN32_FIND_DATAW& found, FindData& entry) {
  entry.name = classlib::Narrow(found.cFileName);
  entry.shortName = classlib::Narrow(found.cAlternateFileName);
  entry.attributes = found.dwFileAttributes;
  entry.size = static_cast<std::int64_t>(found.nFileSizeHigh) << 32 | found.nFileSizeLow;
  entry.dosTime = DosTimeOf(found.ftLastWriteTime);
}

DWORD Attributes(const std::string& name) { return GetFileAttributesW(classlib::Widen(name).c_str()); }

}  // namespace

Handle Open(const std::string& name, unsigned mode) {
  static const DWORD kAccess[4] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE, GENERIC_READ};
  static const DWORD kShare[5] = {FILE_SHARE_READ | FILE_SHARE_WRITE, 0, FILE_SHARE_READ, FILE_SHARE_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE};
  const unsigned share = (mode >> 4) & 0xF;
  return FromWin(CreateFileW(classlib::Widen(name).c_str(), kAccess[mode & 3], share <= 4 ? kShare[share] : 0,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

Handle Create(const std::string& name) {
  return FromWin(CreateFileW(classlib::Widen(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
}

Handle CreateNew(const std::string& name) {
  return FromWin(CreateFileW(classlib::Widen(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::int64_t Read(Handle h, void* buffer, std::int64_t count) {
  auto* out = static_cast<char*>(buffer);
  std::int64_t done = 0;
  while (done < count) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(count - done < kChunk ? count - done : kChunk);
    if (!ReadFile(AsWin(h), out + done, want, &got, nullptr)) return done > 0 ? done : -1;
    if (got == 0) break;
    done += got;
  }
  return done;
}

std::int64_t Write(Handle h, const void* buffer, std::int64_t count) {
  const auto* in = static_cast<const char*>(buffer);
  std::int64_t done = 0;
  while (done < count) {
    DWORD put = 0;
    const DWORD want = static_cast<DWORD>(count - done < kChunk ? count - done : kChunk);
    if (!WriteFile(AsWin(h), in + done, want, &put, nullptr) || put == 0) return done > 0 ? done : -1;
    done += put;
  }
  return done;
}

std::int64_t Seek(Handle h, std::int64_t offset, int origin) {
  LARGE_INTEGER distance, result;
  distance.QuadPart = offset;
  if (origin < 0 || origin > 2 || !SetFilePointerEx(AsWin(h), distance, &result, static_cast<DWORD>(origin)))
    return -1;
  return result.QuadPart;
}

std::int64_t FileSize(Handle h) {
  LARGE_INTEGER size;
  return GetFileSizeEx(AsWin(h), &size) ? size.QuadPart : -1;
}

bool SetEnd(Handle h) { return SetEndOfFile(AsWin(h)) != 0; }

bool Flush(Handle h) { return FlushFileBuffers(AsWin(h)) != 0; }

void StartWriteBack(Handle) {}

bool Close(Handle h) { return CloseHandle(AsWin(h)) != 0; }

FindHandle FindFirst(const std::string& directory, FindData& entry) {
  const bool bare = directory.empty() || directory.back() == '\\' || directory.back() == '/';
  WIN32_FIND_DATAW found;
  const HANDLE h = FindFirstFileW(classlib::Widen(directory + (bare ? "*" : "\\*")).c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return kInvalidHandle;
  CopyEntry(found, entry);
  return reinterpret_cast<FindHandle>(h);
}

bool FindNext(FindHandle h, FindData& entry) {
  WIN32_FIND_DATAW found;
  if (!FindNextFileW(AsWin(h), &found)) return false;
  CopyEntry(found, entry);
  return true;
}

void FindClose(FindHandle h) { ::FindClose(AsWin(h)); }

std::string ShortNameOf(const std::string& path) {
  WIN32_FIND_DATAW found;
  const HANDLE h = FindFirstFileW(classlib::Widen(path).c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return {};
  ::FindClose(h);
  return classlib::Narrow(found.cAlternateFileName);
}

bool FileAge(const std::string& name, std::uint32_t& dosTime) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(classlib::Widen(name).c_str(), GetFileExInfoStandard, &data)) return false;
  dosTime = DosTimeOf(data.ftLastWriteTime);
  return dosTime != 0;
}

std::int64_t FileAttributes(const std::string& name) {
  const DWORD attributes = Attributes(name);
  return attributes == INVALID_FILE_ATTRIBUTES ? -1 : static_cast<std::int64_t>(attributes);
}

bool SetAttributes(const std::string& name, std::uint32_t attributes) {
  return SetFileAttributesW(classlib::Widen(name).c_str(), attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes) != 0;
}

bool SetFileDate(const std::string& name, std::uint32_t dosTime) {
  FILETIME utc;
  if (!UtcOfDosTime(dosTime, utc)) return false;
  const HANDLE h = CreateFileW(classlib::Widen(name).c_str(), FILE_WRITE_ATTRIBUTES,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  const bool set = SetFileTime(h, nullptr, nullptr, &utc) != 0;
  CloseHandle(h);
  return set;
}

bool PathFits(const std::string& name) { return classlib::Widen(name).size() < MAX_PATH; }

bool FileExists(const std::string& name) {
  const DWORD attributes = Attributes(name);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& name) {
  const DWORD attributes = Attributes(name);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Rename(const std::string& source, const std::string& target) {
  return MoveFileW(classlib::Widen(source).c_str(), classlib::Widen(target).c_str()) != 0;
}

bool Delete(const std::string& name) { return DeleteFileW(classlib::Widen(name).c_str()) != 0; }

bool MakeDirectory(const std::string& name) { return CreateDirectoryW(classlib::Widen(name).c_str(), nullptr) != 0; }

std::string CurrentDirectory(const std::string& drive) {
  // The full form of a bare "X:" is that drive's current directory.
  const std::wstring relative = classlib::Widen(drive.empty() ? "." : drive);
  wchar_t buffer[MAX_PATH + 1];
  const DWORD n = GetFullPathNameW(relative.c_str(), MAX_PATH + 1, buffer, nullptr);
  return n > 0 && n <= MAX_PATH ? classlib::Narrow(buffer, n) : std::string();
}

DriveType DriveTypeOf(const std::string& root) {
  return static_cast<DriveType>(GetDriveTypeW(classlib::Widen(root).c_str()));
}

bool ReadVolumeLabel(const std::string& root, std::string& label) {
  // Room for the longest label any file system allows, not only the 11 characters of FAT.
  wchar_t buffer[MAX_PATH + 1];
  label.clear();
  if (!GetVolumeInformationW(classlib::Widen(root).c_str(), buffer, MAX_PATH + 1, nullptr, nullptr, nullptr,
                             nullptr, 0))
    return false;
  label = classlib::Narrow(buffer);
  return true;
}

bool WriteVolumeLabel(const std::string& root, const std::string& label) {
  return SetVolumeLabelW(classlib::Widen(root).c_str(), label.empty() ? nullptr : classlib::Widen(label).c_str()) != 0;
}

CriticalErrorsSuppressed::CriticalErrorsSuppressed() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
CriticalErrorsSuppressed::~CriticalErrorsSuppressed() { SetErrorMode(previous_); }

int LastErrorCode() { return static_cast<int>(GetLastError()); }

std::string LastErrorText() {
  const DWORD code = GetLastError();
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string result = n ? classlib::Narrow(text, n) : std::string();
  if (text) LocalFree(text);
  while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == ' '))
    result.pop_back();
  return result;
}

std::int64_t DiskFreeSpace(const std::string& root) {
  ULARGE_INTEGER available;
  if (!GetDiskFreeSpaceExW(root.empty() ? nullptr : classlib::Widen(root).c_str(), &available, nullptr, nullptr))
    return -1;
  return static_cast<std::int64_t>(available.QuadPart);
}

std::string SystemTempDirectory() {
  wchar_t buffer[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
  return length == 0 || length > MAX_PATH ? std::string() : classlib::Narrow(std::wstring(buffer, length));
}

}  // namespace zip::fs
