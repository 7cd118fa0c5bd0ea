// Runs the engine's decompression over bytes in memory, and reads the entries of whole archives.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "zip/decode_result.h"
#include "zip/entry_input.h"
#include "zip/streams.h"
#include "zip/zip_header_info.h"

namespace decode_support {

// Test data from a fixed seed: random bytes, and text with stretches of random bytes between.
std::string RandomBytes(std::size_t size, std::uint32_t seed);
std::string MixedData(std::size_t size, std::uint32_t seed);
// A raw deflate stream, as deflated entries hold it.
// fixedCodes: the static Huffman codes only, as some tools write small entries.
std::string RawDeflate(const std::string& data, bool fixedCodes = false);

class TBytes : public zip::THugeMemoryStream {
 public:
  explicit TBytes(const std::string& content = {});
  std::string Content() const;
};

// One entry decompressed from bytes in memory into a memory file, with a record of the calls.
class TMemoryEntry {
 public:
  explicit TMemoryEntry(std::string compressed) : compressed_(std::move(compressed)) {}

  zip::TDecodeResult Run(std::uint16_t method, std::uint16_t flags, std::int64_t uncompressedSize,
                         zip::TEntryInput::DecryptFunction decrypt = {});

  TBytes file;
  std::uint32_t crc = 0;
  std::vector<std::int64_t> reads;    // counts asked of the source
  std::vector<std::int32_t> windows;  // counts of the windows written
  std::vector<int> percents;          // the file percentages after each window
  int cancelTests = 0;
  int cancelOnTest = 0;  // the cancel test that answers yes, counted from 1; 0 for none

 private:
  std::string compressed_;
  std::size_t position_ = 0;
};

struct TDecoded {
  zip::TDecodeResult result;
  std::string bytes;
  std::uint32_t crc;
};

// Decodes compressed as an entry of the given method, flags and uncompressed size.
TDecoded Decode(std::uint16_t method, std::uint16_t flags, const std::string& compressed,
                std::int64_t uncompressedSize);

struct TArchiveEntry {
  zip::TZipHeaderInfo header;  // from the central directory
  std::string data;            // the stored bytes, encryption header included
};

std::vector<TArchiveEntry> ReadEntries(const std::string& archive);

// Decrypts with password when the entry is encrypted (a wrong check byte fails the test) and
// decodes.
TDecoded DecodeEntry(const TArchiveEntry& entry, const std::string& password = {});

}  // namespace decode_support
