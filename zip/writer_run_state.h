// The working state of one writing run, shared by the writer's modules.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "zip/deflater.h"
#include "zip/end_central.h"
#include "zip/sorted_zip.h"
#include "zip/streams.h"
#include "zip/zip_writer.h"

namespace zip {

// Sizes and offsets are 32-bit fields; all ones would announce Zip64.
constexpr std::int64_t kLargestField = 0xFFFFFFFE;
constexpr int kMaxEntries = 65535;
[[noreturn]] void RaiseTooLarge();

struct TZipWriter::TRunState {
  // 0-based number of the part being written; 0 for an unsplit archive.
  int part = 0;
  // Bytes still allowed in the current part, counted from its start (split archives only).
  std::int64_t room = 0;
  // The first spanned disk keeps this many bytes free; taken from the settings, never stored back.
  std::int64_t firstDiskReserve = 0;
  bool updating = false;
  std::string outputName;
  std::unique_ptr<TBufferStream> output;
  // Every file this run created as a part or temporary archive, removed again when it fails.
  std::vector<std::string> createdFiles;
  // The new directory in archive order (owning), and its names in lower case for look-ups.
  std::unique_ptr<TSortedZip> archiveOrder;
  std::unordered_map<std::string, TZipHeaderInfo*> byName;
  TEndCentral endCentral;
  std::vector<std::string> disposeList;
  // Entries written from FilesList, new or replacing: the run's result.
  int written = 0;
  // Stored names of the loaded directory in lower case, for freshening.
  std::unordered_set<std::string> loadedNames;
  // Central extra fields of kept entries, read from the old archive.
  std::unordered_map<const TZipHeaderInfo*, std::string> keptExtras;
  // The central directory's first byte, in archive order.
  std::uint32_t directoryOffset = 0;

  // Made at the first entry that needs them and kept for the run: entries allocate nothing.
  std::unique_ptr<TDeflater> deflater;
  std::vector<std::uint8_t> dataIn;
  std::vector<std::uint8_t> dataOut;

  // The entry being written.
  std::unique_ptr<TLFNFileStream> source;
  std::uint32_t sourceSize = 0;
  std::int64_t fileBytesRead = 0;
  std::string tempDataName;
  std::unique_ptr<TLFNFileStream> tempData;
};

}  // namespace zip
