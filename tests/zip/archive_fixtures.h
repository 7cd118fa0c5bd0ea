// Archives for the reader's tests, built byte by byte (independent of the engine's own record
// writers), split into parts by hand, and listings to compare readers by.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "zip/zip_reader.h"

namespace archive_fixtures {

constexpr std::uint32_t kSomeDosTime = 0x5A8C6C2E;  // 2025-04-12 13:33:28

struct RawEntry {
  RawEntry(std::string name, std::string data, std::string comment = {}, std::uint32_t dosTime = kSomeDosTime)
      : name(std::move(name)), data(std::move(data)), comment(std::move(comment)), dosTime(dosTime) {}

  std::string name;  // "/" separated; a folder ends in "/"
  std::string data;  // stored as it is
  std::string comment;
  std::uint32_t dosTime;
  std::string centralExtra;
  // An earlier entry whose local header this entry's central record names; no header or data of
  // its own is written. -1: its own.
  int headerOf = -1;
};

struct RawArchive {
  std::string bytes;
  std::vector<std::uint32_t> localOffsets;
  std::vector<std::uint32_t> centralOffsets;
  std::uint32_t directoryOffset = 0;
  std::uint32_t endOffset = 0;
};

// A whole archive of stored entries. The offsets count the prefix, as a self-extracting archive's
// do once adjusted.
RawArchive BuildStored(const std::vector<RawEntry>& entries, const std::string& archiveComment = {},
                       const std::string& prefix = {});

// Entries each of whose stored data holds the headers of all entries after it and the kernel
// they share: the shape of archives built to expand far beyond their size.
RawArchive BuildOverlapped(const std::string& kernel, int count);

// Cuts an unsplit archive at the given offsets into numbered parts and rewrites its directory as
// a split archive's: local header offsets within their part, part numbers, the end record's part
// and directory position. The end record must lie wholly in the last part.
std::vector<std::string> SplitIntoParts(const std::string& archive, const std::vector<std::uint32_t>& cuts);

// The message of the E that f raises, or "(nothing raised)".
template <typename E, typename F>
std::string MessageOf(F&& f) {
  try {
    f();
  } catch (const E& e) {
    return e.Message();
  }
  return "(nothing raised)";
}

// One entry as a listing shows it.
struct Listed {
  std::string path;  // "/" separated
  bool folder = false;
  std::uint32_t packed = 0;
  std::uint32_t unpacked = 0;
  std::uint32_t crc = 0;
  int method = 0;
  std::uint32_t dosTime = 0;
  std::uint32_t headerOffset = 0;  // not compared: parts count it from their own start
  bool operator==(const Listed& other) const;
  bool operator<(const Listed& other) const { return path < other.path; }
};
void PrintTo(const Listed& entry, std::ostream* out);

// The reader's view with what the accessors do not show.
class TestReader : public zip::TZipReader {
 public:
  using TZipReader::Entry;
  bool CommentsChanged() const { return endCentral_.CommentsChanged; }
};

// The loaded directory in the reader's sorted view, then sorted by path.
std::vector<Listed> ReaderListing(const TestReader& reader);

#ifndef _WIN32
// What Python's zipfile lists, sorted by path.
std::vector<Listed> PythonListing(const std::string& archive);
// Runs a Python program with the given arguments and returns its output; raises when it fails.
std::string RunPython(const std::string& program, const std::vector<std::string>& args);
#endif

}  // namespace archive_fixtures
