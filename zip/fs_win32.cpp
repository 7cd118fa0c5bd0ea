#include <windows.h>

#include "classlib/wide.h"
#include "zip/fs.h"

namespace zip::fs {
namespace {

HANDLE AsWin(Handle h) { return reinterpret_cast<HANDLE>(h); }
Handle FromWin(HANDLE h) { return h == INVALID_HANDLE_VALUE ? kInvalidHandle : reinterpret_cast<Handle>(h); }

// ReadFile and WriteFile take 32-bit counts.
constexpr std::int64_t kChunk = 1 << 30;

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

bool SetEnd(Handle h) { return SetEndOfFile(AsWin(h)) != 0; }

bool Flush(Handle h) { return FlushFileBuffers(AsWin(h)) != 0; }

bool Close(Handle h) { return CloseHandle(AsWin(h)) != 0; }

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

}  // namespace zip::fs
