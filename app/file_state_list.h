// The file state list of a job: per file of its last full backup the full path and the DOS
// date-time of the last write. Partial runs since the last full backup and the scheduler's test
// for new or changed files compare against it.
//
// On disk ("Logs\<job>.ini" beside the program, binary in spite of the name), little-endian: a
// signed 32-bit count N, 4 reserved bytes, then N records of 268 bytes sorted by path: the path in
// the ANSI code page, NUL-terminated, in a 261-byte field; 3 bytes padding; the DOS date-time.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "classlib/stringlist.h"

namespace app {

constexpr std::size_t kStatePathField = 261;
constexpr std::size_t kStateRecordSize = 268;

struct FileStateRecord {
  std::string AnsiPath;  // the path as stored: ANSI code page bytes, at most 260
  std::uint32_t DateTime = 0;
  bool operator==(const FileStateRecord& o) const { return AnsiPath == o.AnsiPath && DateTime == o.DateTime; }
};

using TLogData = std::vector<FileStateRecord>;

// "Logs\<job>.ini" beside the program.
std::string StateFileName(const std::string& jobName);

// The local DOS date-time of the file's last write, read without opening the file, so files that
// other programs hold open count too; 0 when it cannot be read.
std::uint32_t GetFileDate(const std::string& path);

// Orders paths as the state file does: bytes compared after folding a-z to A-Z only.
int CompareStatePaths(const std::string& a, const std::string& b);

// Appends a record unless the path has no ANSI form or does not fit the record; a file left out
// counts as changed at the next comparison, so it is always backed up.
bool AddFileState(TLogData& list, const std::string& path, std::uint32_t dateTime);
// One record per file with its current date, in list order, then sorted; progress gets the count
// done after each file.
TLogData TakeFileStates(const classlib::TStringList& files, const std::function<void(int)>& progress = {});

void SortFileStates(TLogData& list);
// Index of the record for path (UTF-8) in a sorted list, by halving; -1 when there is none.
int FindFileState(const std::string& path, const TLogData& list);

// False, with an empty list, when the file is missing or damaged (a count that is negative or does
// not fit the file's size, a path without its NUL): the caller treats that as no state file.
bool LoadFileStates(const std::string& file, TLogData& list);
// Sorts the list and replaces the file through a temporary file beside it, so a failure never
// leaves half a list. An empty list writes nothing and leaves the file as it is. False when the
// file could not be written; the old one then stays.
[[nodiscard]] bool SaveFileStates(const std::string& file, TLogData& list);

}  // namespace app
