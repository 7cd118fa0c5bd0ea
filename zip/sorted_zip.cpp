#include "zip/sorted_zip.h"

#include <cstdint>
#include <string>

#include "classlib/datetime.h"
#include "classlib/text.h"

namespace zip {

namespace {

int CompareText(const std::string& a, const std::string& b) {
  const int result = classlib::LowerAscii(a).compare(classlib::LowerAscii(b));
  return result < 0 ? -1 : result > 0 ? 1 : 0;
}

// +1 when the key's value is the larger: larger values sort first, equal ones after.
int LargerFirst(double itemValue, double keyValue) { return keyValue > itemValue ? 1 : -1; }

classlib::TDateTime EntryDate(const TZipHeaderInfo& entry) {
  classlib::TDateTime date;
  return classlib::TryFileDateToDateTime(entry.DateTime, date) ? date : 0;
}

// Compressed size as a whole percentage of the uncompressed size, halves to even, at most 100.
int CompressionRate(const TZipHeaderInfo& entry) {
  const std::uint64_t whole = entry.UncompressedSize;
  if (whole == 0) return 0;
  const std::uint64_t scaled = std::uint64_t{entry.CompressedSize} * 100;
  std::uint64_t rate = scaled / whole;
  const std::uint64_t twiceRest = scaled % whole * 2;
  if (twiceRest > whole || (twiceRest == whole && rate % 2 == 1)) ++rate;
  return rate > 100 ? 100 : static_cast<int>(rate);
}

}  // namespace

int TSortedZip::Compare(const TZipHeaderInfo& item, const TZipHeaderInfo& key) const {
  switch (sortMode_) {
    case TZipSortMode::ByName:
      return CompareText(item.Path(), key.Path());
    case TZipSortMode::ByFileName:
      return CompareText(item.FileName(), key.FileName());
    case TZipSortMode::ByDirectoryName:
      return CompareText(item.Directory(), key.Directory());
    case TZipSortMode::ByDate:
      return LargerFirst(EntryDate(item), EntryDate(key));
    // Sizes are unsigned: entries of 2 GiB and more must not turn negative.
    case TZipSortMode::ByCompressedSize:
      return LargerFirst(item.CompressedSize, key.CompressedSize);
    case TZipSortMode::ByUnCompressedSize:
      return LargerFirst(item.UncompressedSize, key.UncompressedSize);
    case TZipSortMode::ByRate:
      return CompressionRate(key) - CompressionRate(item);
    case TZipSortMode::ByNone:
      if (item.DiskNumberStart != key.DiskNumberStart) return item.DiskNumberStart - key.DiskNumberStart;
      if (key.LocalHeaderOffset == item.LocalHeaderOffset) return 0;
      return key.LocalHeaderOffset < item.LocalHeaderOffset ? 1 : -1;
  }
  return -1;
}

}  // namespace zip
