// The engine's side of the benchmark. Exits non-zero with the error on failure.
//   zip LEVEL ARCHIVE CORPUS_DIR   writes a new archive of every file below CORPUS_DIR, named
//                                  relative to it
//   unzip ARCHIVE DEST_DIR         extracts every entry below DEST_DIR, with its folders
#include <cstdio>
#include <cstdlib>
#include <string>

#include "classlib/exceptions.h"
#include "zip/zip_writer.h"

namespace {

void Zip(int level, const std::string& archive, const std::string& root) {
  zip::TZipWriter writer;
  writer.SetPackLevel(level);
  writer.SetZipName(archive);
  writer.SetRootDir(root);
  writer.SetRelativePaths(true);
  writer.FilesList().Add(writer.RootDir() + "*");
  writer.ArchiveFiles();
}

// Counts entries that did not come back whole as failures.
bool Unzip(const std::string& archive, const std::string& dest) {
  zip::TZipReader reader;
  bool failed = false;
  reader.OnBadCRC = [&](std::uint32_t, std::uint32_t, int) { failed = true; };
  reader.OnSkippingFile = [&](zip::TSkipReason, const std::string& name, int, bool&) {
    std::fprintf(stderr, "orvzip_bench: skipped %s\n", name.c_str());
    failed = true;
  };
  reader.SetZipName(archive);
  reader.SetDestDir(dest);
  reader.SetRecreateDirs(true);
  reader.SetOverwriteMode(zip::TUZOverwriteMode::Always);
  reader.SetDoAll(true);
  reader.ExtractMatching();
  return !failed;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  const bool zipping = mode == "zip" && argc == 5;
  if (!zipping && !(mode == "unzip" && argc == 4)) {
    std::fprintf(stderr, "usage: orvzip_bench zip LEVEL ARCHIVE CORPUS_DIR | unzip ARCHIVE DEST_DIR\n");
    return 2;
  }
  try {
    if (zipping) {
      Zip(std::atoi(argv[2]), argv[3], argv[4]);
    } else if (!Unzip(argv[2], argv[3])) {
      return 1;
    }
  } catch (const classlib::Exception& e) {
    std::fprintf(stderr, "orvzip_bench: %s\n", e.what());
    return 1;
  }
  return 0;
}
