// The engine's side of the benchmark: "zip LEVEL ARCHIVE CORPUS_DIR" writes a new archive of every
// file below CORPUS_DIR, named relative to it. Exits non-zero with the error on failure.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "classlib/exceptions.h"
#include "zip/fs.h"
#include "zip/zip_writer.h"

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode != "zip" || argc != 5) {
    std::fprintf(stderr, "usage: orvzip_bench zip LEVEL ARCHIVE CORPUS_DIR\n");
    return 2;
  }
  try {
    zip::TZipWriter writer;
    writer.SetPackLevel(std::atoi(argv[2]));
    writer.SetZipName(argv[3]);
    const std::string root = argv[4];
    writer.SetRootDir(root);
    writer.SetRelativePaths(true);
    writer.FilesList().Add(writer.RootDir() + "*");
    writer.ArchiveFiles();
  } catch (const classlib::Exception& e) {
    std::fprintf(stderr, "orvzip_bench: %s\n", e.what());
    return 1;
  }
  return 0;
}
