// What the Restore page shows of a listed backup and what it hands to the extraction window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "classlib/exceptions.h"

namespace app {

// The label before any backup is listed.
extern const char kRestoreLabelEmpty[];

// Whole KB as the lists count them: bytes div 1024, but at least 1.
std::int64_t ListedKB(std::uint64_t bytes);
// "1234 KB": the restore list shows its sizes without thousands separators.
std::string KBText(std::int64_t kb);
// "Backup enthält 3 Datei(en). Orig.: 1.205,63 MB, kompr.: 0,50 MB." from the totals in KB.
std::string RestoreLabelText(int count, std::int64_t unpackedKB, std::int64_t packedKB);

// A file as it was when it was listed; -1 and 0 for a file that is not there.
struct FileStamp {
  std::int64_t size = -1;
  std::uint64_t writeTime = 0;
  bool operator==(const FileStamp& other) const { return size == other.size && writeTime == other.writeTime; }
  bool operator!=(const FileStamp& other) const { return !(*this == other); }
};
FileStamp StampOf(const std::string& path);

// What the extraction window is asked to do: the archive as it was listed (its file and the path
// of every entry by directory index), and all its entries or those at the marked indices.
struct RestoreRequest {
  std::string archive;
  FileStamp stamp;
  std::vector<std::string> listedPaths;
  bool allEntries = false;
  std::vector<int> marked;
};

// The archive on disk is no longer the one that was listed.
CLASSLIB_EXCEPTION(EArchiveChanged, classlib::Exception);
extern const char kArchiveChangedText[];

}  // namespace app
