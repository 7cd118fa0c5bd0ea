#include "tests/zip/decode_support.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <utility>

#include "zip/crypt.h"
#include "zip/decompress.h"
#include "zip/end_central.h"

namespace decode_support {

std::string RandomBytes(std::size_t size, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::string s(size, '\0');
  for (char& c : s) c = static_cast<char>(random() >> 24);
  return s;
}

std::string MixedData(std::size_t size, std::uint32_t seed) {
  static const char* const kWords[] = {"Sicherung ", "Archiv ",    "Datei ", "wiederherstellen ", "Ordner ",
                                       "Größe ",     "Prüfsumme ", "\r\n",   "0123456789 ",       "Übersicht "};
  std::mt19937 random(seed);
  std::string s;
  while (s.size() < size) {
    const std::uint32_t r = random();
    if (r % 16 == 0)
      s += RandomBytes(r % 200, r);
    else
      s += kWords[r % 10];
  }
  s.resize(size);
  return s;
}

std::string RawDeflate(const std::string& data, bool fixedCodes) {
  z_stream z{};
  EXPECT_EQ(deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, fixedCodes ? Z_FIXED : Z_DEFAULT_STRATEGY), Z_OK);
  std::string out(deflateBound(&z, static_cast<uLong>(data.size())), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(&out[0]);
  z.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

TBytes::TBytes(const std::string& content) {
  WriteBuffer(content.data(), static_cast<std::int64_t>(content.size()));
  SetPosition(0);
}

std::string TBytes::Content() const {
  return std::string(static_cast<const char*>(Memory()), static_cast<std::size_t>(size_));
}

zip::TDecodeResult TMemoryEntry::Run(std::uint16_t method, std::uint16_t flags, std::int64_t uncompressedSize,
                                     zip::TEntryInput::DecryptFunction decrypt) {
  zip::TEntryInput input(
      [this](std::uint8_t* buffer, std::int64_t count) {
        reads.push_back(count);
        const std::size_t n = std::min(static_cast<std::size_t>(count), compressed_.size() - position_);
        std::memcpy(buffer, compressed_.data() + position_, n);
        position_ += n;
        return static_cast<std::int64_t>(n);
      },
      [this] { return ++cancelTests == cancelOnTest; });
  input.Begin(static_cast<std::int64_t>(compressed_.size()), std::move(decrypt));
  zip::TEntryOutput output([this](std::int32_t count, int percent) {
    windows.push_back(count);
    percents.push_back(percent);
  });
  output.Begin(file, uncompressedSize);
  zip::TInflater inflater;
  const zip::TDecodeResult result = zip::DecompressEntry(method, flags, input, output, inflater);
  crc = output.Crc();
  return result;
}

namespace {

TDecoded Run(std::uint16_t method, std::uint16_t flags, const std::string& compressed, std::int64_t uncompressedSize,
             zip::TEntryInput::DecryptFunction decrypt) {
  TMemoryEntry entry(compressed);
  const zip::TDecodeResult result = entry.Run(method, flags, uncompressedSize, std::move(decrypt));
  return {result, entry.file.Content(), entry.crc};
}

}  // namespace

TDecoded Decode(std::uint16_t method, std::uint16_t flags, const std::string& compressed,
                std::int64_t uncompressedSize) {
  return Run(method, flags, compressed, uncompressedSize, {});
}

std::vector<TArchiveEntry> ReadEntries(const std::string& archive) {
  TBytes in(archive);
  zip::TEndCentral end;
  EXPECT_TRUE(end.FindEndCentral(in));
  in.SetPosition(end.DirectoryOffset);
  std::vector<TArchiveEntry> entries(end.TotalEntries);
  for (TArchiveEntry& e : entries) {
    EXPECT_TRUE(e.header.ReadCentralFromStream(in));
    in.Seek(e.header.CentralExtraLength + e.header.CommentLength, zip::fs::kFromCurrent);
  }
  for (TArchiveEntry& e : entries) {
    in.SetPosition(e.header.LocalHeaderOffset);
    zip::TZipHeaderInfo local;
    EXPECT_TRUE(local.ReadLocalFromStream(in));
    in.Seek(local.LocalExtraLength, zip::fs::kFromCurrent);
    e.data.resize(e.header.CompressedSize);
    in.ReadBuffer(&e.data[0], static_cast<std::int64_t>(e.data.size()));
  }
  return entries;
}

TDecoded DecodeEntry(const TArchiveEntry& entry, const std::string& password) {
  const zip::TZipHeaderInfo& h = entry.header;
  if (!h.Encrypted()) return Decode(h.CompressionMethod, h.Flags, entry.data, h.UncompressedSize);
  zip::TZipCipher cipher;
  std::uint8_t header[zip::kEncryptionHeaderSize];
  std::memcpy(header, entry.data.data(), sizeof header);
  EXPECT_EQ(cipher.DecryptHeader(password, header), zip::ExpectedCheckByte(h));
  return Run(h.CompressionMethod, h.Flags, entry.data.substr(sizeof header), h.UncompressedSize,
             zip::DecryptWith(cipher));
}

}  // namespace decode_support
