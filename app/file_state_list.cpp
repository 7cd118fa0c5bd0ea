#include "app/file_state_list.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "app/file_helpers.h"
#include "classlib/wide.h"
#include "zip/fs.h"

namespace app {
namespace {

namespace fs = zip::fs;

constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kDateOffset = 264;

unsigned char Fold(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 'a' && u <= 'z' ? static_cast<unsigned char>(u - 'a' + 'A') : u;
}

bool ToAnsiPath(const std::string& path, std::string& ansi) {
  return classlib::TryToCodePage(path, CP_ACP, ansi) && ansi.size() < kStatePathField &&
         ansi.find('\0') == std::string::npos;
}

void PutLittleEndian(std::uint32_t value, char* out) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<char>(value >> (8 * i) & 0xFF);
}

std::uint32_t GetLittleEndian(const char* in) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(in[i]);
  return value;
}

// The whole file, or false when it cannot be read.
bool ReadWholeFile(const std::string& file, std::string& bytes) {
  const fs::Handle h = fs::Open(ExtendedLengthPath(file), fs::kOpenRead | fs::kShareDenyWrite);
  if (h == fs::kInvalidHandle) return false;
  const std::int64_t size = fs::Seek(h, 0, fs::kFromEnd);
  bool ok = size >= 0 && fs::Seek(h, 0, fs::kFromBeginning) == 0;
  if (ok) {
    bytes.resize(static_cast<std::size_t>(size));
    ok = fs::Read(h, &bytes[0], size) == size;
  }
  fs::Close(h);
  return ok;
}

bool WriteWholeFile(const std::string& file, const std::string& bytes) {
  const fs::Handle h = fs::Create(ExtendedLengthPath(file));
  if (h == fs::kInvalidHandle) return false;
  const auto size = static_cast<std::int64_t>(bytes.size());
  const bool written = fs::Write(h, bytes.data(), size) == size && fs::Flush(h);
  return fs::Close(h) && written;
}

}  // namespace

std::string StateFileName(const std::string& jobName) { return LogFileName(jobName + ".ini"); }

std::uint32_t GetFileDate(const std::string& path) {
  std::uint32_t dosTime = 0;
  return fs::FileAge(ExtendedLengthPath(path), dosTime) ? dosTime : 0;
}

int CompareStatePaths(const std::string& a, const std::string& b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char x = Fold(a[i]), y = Fold(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

bool AddFileState(TLogData& list, const std::string& path, std::uint32_t dateTime) {
  FileStateRecord record;
  if (!ToAnsiPath(path, record.AnsiPath)) return false;
  record.DateTime = dateTime;
  list.push_back(std::move(record));
  return true;
}

TLogData TakeFileStates(const classlib::TStringList& files, const std::function<void(int)>& progress) {
  TLogData list;
  list.reserve(static_cast<std::size_t>(files.Count()));
  for (int i = 0; i < files.Count(); ++i) {
    AddFileState(list, files[i], GetFileDate(files[i]));
    if (progress) progress(i + 1);
  }
  SortFileStates(list);
  return list;
}

void SortFileStates(TLogData& list) {
  std::sort(list.begin(), list.end(), [](const FileStateRecord& a, const FileStateRecord& b) {
    return CompareStatePaths(a.AnsiPath, b.AnsiPath) < 0;
  });
}

int FindFileState(const std::string& path, const TLogData& list) {
  std::string ansi;
  if (!ToAnsiPath(path, ansi)) return -1;
  const auto before = [](const FileStateRecord& r, const std::string& p) {
    return CompareStatePaths(r.AnsiPath, p) < 0;
  };
  const auto found = std::lower_bound(list.begin(), list.end(), ansi, before);
  return found != list.end() && CompareStatePaths(found->AnsiPath, ansi) == 0 ? static_cast<int>(found - list.begin())
                                                                                : -1;
}

bool LoadFileStates(const std::string& file, TLogData& list) {
  list.clear();
  std::string bytes;
  if (!ReadWholeFile(file, bytes) || bytes.size() < kHeaderSize) return false;
  const auto count = static_cast<std::int32_t>(GetLittleEndian(bytes.data()));
  if (count < 0 || static_cast<std::size_t>(count) > (bytes.size() - kHeaderSize) / kStateRecordSize) return false;
  TLogData loaded(static_cast<std::size_t>(count));
  for (std::size_t i = 0; i < loaded.size(); ++i) {
    const char* record = bytes.data() + kHeaderSize + i * kStateRecordSize;
    const void* end = std::memchr(record, '\0', kStatePathField);
    if (!end) return false;
    loaded[i].AnsiPath.assign(record, static_cast<const char*>(end));
    loaded[i].DateTime = GetLittleEndian(record + kDateOffset);
  }
  list = std::move(loaded);
  return true;
}

bool SaveFileStates(const std::string& file, TLogData& list) {
  if (list.empty()) return true;
  SortFileStates(list);
  std::string bytes(kHeaderSize + list.size() * kStateRecordSize, '\0');
  PutLittleEndian(static_cast<std::uint32_t>(list.size()), &bytes[0]);
  for (std::size_t i = 0; i < list.size(); ++i) {
    char* record = &bytes[kHeaderSize + i * kStateRecordSize];
    std::memcpy(record, list[i].AnsiPath.data(), std::min(list[i].AnsiPath.size(), kStatePathField - 1));
    PutLittleEndian(list[i].DateTime, record + kDateOffset);
  }
  const std::string temporary = file + ".tmp";
  const std::wstring from = classlib::Widen(ExtendedLengthPath(temporary));
  const std::wstring to = classlib::Widen(ExtendedLengthPath(file));
  const DWORD replace = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
  if (WriteWholeFile(temporary, bytes) && MoveFileExW(from.c_str(), to.c_str(), replace))
    return true;
  fs::Delete(ExtendedLengthPath(temporary));
  return false;
}

}  // namespace app
