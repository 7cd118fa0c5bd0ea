#include "tests/zip/written_archive.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>

#include "tests/support/temp_dir.h"
#include "tests/zip/archive_fixtures.h"
#include "zip/crc32.h"
#include "zip/crypt.h"
#include "zip/path_strings.h"
#include "zip/zip_records.h"

namespace written_archive {
namespace {

std::string Inflate(const std::string& packed, std::uint32_t size) {
  std::string out(size, '\0');
  z_stream stream{};
  inflateInit2(&stream, -15);
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
  stream.avail_in = static_cast<uInt>(packed.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = size;
  const int result = inflate(&stream, Z_FINISH);
  inflateEnd(&stream);
  EXPECT_EQ(result, Z_STREAM_END);
  EXPECT_EQ(stream.total_out, size);
  return out;
}

}  // namespace

std::map<std::string, std::string> ReadEntries(const std::vector<std::string>& parts, const std::string& password) {
  std::string all;
  std::vector<std::size_t> starts;
  for (const std::string& part : parts) {
    starts.push_back(all.size());
    all += testing_support::ReadFile(part);
  }
  archive_fixtures::TestReader reader;
  reader.SetZipName(parts.back());
  reader.LoadDirectory();
  EXPECT_EQ(reader.DiskCount(), static_cast<int>(parts.size()));
  std::map<std::string, std::string> result;
  for (int i = 0; i < reader.EntryCount(); ++i) {
    const zip::TZipHeaderInfo& entry = reader.Entry(i);
    std::string path = entry.Path();
    zip::BackslashesToSlashes(path);
    const std::size_t at = starts.at(entry.DiskNumberStart) + entry.LocalHeaderOffset;
    const auto* local = reinterpret_cast<const std::uint8_t*>(all.data() + at);
    EXPECT_EQ(zip::Get32(local), zip::kDefaultLocalSignature) << path;
    EXPECT_EQ(zip::Get32(local + 14), entry.CRC32) << path;
    EXPECT_EQ(zip::Get32(local + 18), entry.CompressedSize) << path;
    std::string data = all.substr(at + 30 + zip::Get16(local + 26) + zip::Get16(local + 28), entry.CompressedSize);
    if (entry.Encrypted()) {
      zip::TZipCipher cipher;
      std::uint8_t header[zip::kEncryptionHeaderSize];
      std::copy(data.begin(), data.begin() + zip::kEncryptionHeaderSize, header);
      EXPECT_EQ(cipher.DecryptHeader(password, header), zip::ExpectedCheckByte(entry)) << path;
      data.erase(0, zip::kEncryptionHeaderSize);
      cipher.DecryptBuffer(data.data(), data.size());
    }
    if (entry.CompressionMethod == 8) data = Inflate(data, entry.UncompressedSize);
    EXPECT_EQ(data.size(), entry.UncompressedSize) << path;
    EXPECT_EQ(~zip::UpdateCrc32(0xFFFFFFFF, data.data(), data.size()), entry.CRC32) << path;
    result[path] = data;
  }
  return result;
}

std::map<std::string, std::string> ReadTree(const std::string& root) {
  namespace fsys = std::filesystem;
  std::map<std::string, std::string> result;
  const fsys::path base = fsys::u8path(root);
  for (const auto& item : fsys::recursive_directory_iterator(base)) {
    const std::string relative = fsys::relative(item.path(), base).generic_u8string();
    if (item.is_directory()) {
      result[relative + "/"] = "";
    } else {
      result[relative] = testing_support::ReadFile(item.path().u8string());
    }
  }
  return result;
}

}  // namespace written_archive
