// The engine's only door to the host's file system. Names are UTF-8; the Win32 side uses the wide
// API, the POSIX side the bytes as given.
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
// Byte counts, or -1 when the call failed.
std::int64_t Read(Handle h, void* buffer, std::int64_t count);
std::int64_t Write(Handle h, const void* buffer, std::int64_t count);
std::int64_t Seek(Handle h, std::int64_t offset, int origin);
// Sets the end of the file at the current position.
bool SetEnd(Handle h);
// Asks the host to write the file's buffers to the medium.
bool Flush(Handle h);
bool Close(Handle h);

// The last failure of this thread, as code and text.
int LastErrorCode();
std::string LastErrorText();

}  // namespace zip::fs
