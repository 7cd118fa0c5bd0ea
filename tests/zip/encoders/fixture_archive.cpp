#include "tests/zip/encoders/fixture_archive.h"

#include "zip/crc32.h"
#include "zip/end_central.h"
#include "zip/zip_header_info.h"

namespace test_encoders {

namespace {

constexpr std::uint32_t kSomeDosDate = 0x5D8A590D;  // 2026-12-10 11:08:26

void Append(zip::THugeMemoryStream& out, const std::string& bytes) {
  out.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

}  // namespace

std::string BuildArchive(const std::vector<TFixtureEntry>& entries) {
  zip::THugeMemoryStream out;
  std::vector<zip::TZipHeaderInfo> headers(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const TFixtureEntry& entry = entries[i];
    zip::TZipHeaderInfo& h = headers[i];
    h.SetOEMConvert(true);
    h.SetFileName(entry.name);
    h.CompressionMethod = entry.method;
    h.Flags = entry.flags;
    h.VersionNeeded = entry.method == 8 ? 20 : 10;
    h.DateTime = kSomeDosDate;
    h.CRC32 = ~zip::UpdateCrc32(0xFFFFFFFF, entry.original.data(), entry.original.size());
    h.CompressedSize = static_cast<std::uint32_t>(entry.compressed.size());
    h.UncompressedSize = static_cast<std::uint32_t>(entry.original.size());
    h.SaveLocalToStream(out);
    Append(out, entry.compressed);
  }
  zip::TEndCentral end;
  end.DirectoryOffset = static_cast<std::uint32_t>(out.Position());
  for (zip::TZipHeaderInfo& h : headers) h.SaveCentralToStream(out);
  end.DirectorySize = static_cast<std::uint32_t>(out.Position() - end.DirectoryOffset);
  end.EntriesOnThisDisk = end.TotalEntries = static_cast<std::uint16_t>(headers.size());
  end.SaveEndCentral(out);
  return std::string(static_cast<const char*>(out.Memory()), static_cast<std::size_t>(out.Size()));
}

}  // namespace test_encoders
