#include "app/split_media.h"

#include "app/burn_on_cd.h"
#include "app/file_helpers.h"

namespace app {
namespace {

struct SplitMedium {
  const char* text;
  std::int64_t partSize;
  // Data capacity of a blank disc of that kind, in 2048-byte blocks (75 a second of playing
  // time); 0 for media that are no CDs.
  std::int64_t discBlocks;
};

const SplitMedium kSplitMedia[] = {
    {"Diskette 3,5\" (1.44 MB)", 1400000, 0},
    {"CD-R/RW 74 (650 MB)", 681500000, 74 * 60 * 75},
    {"CD-R/RW 80 (700 MB)", 733900000, 80 * 60 * 75},
    {"CD-R/RW 90 (800 MB)", 838000000, 90 * 60 * 75},
    {"CD-R/RW 99 (900 MB)", 943000000, 99 * 60 * 75},
    {"ZIP 100 (100 MB)", 100000000, 0},
    {"ZIP 250 (250 MB)", 250000000, 0},
    {"ZIP 750 (750 MB)", 750000000, 0},
};

const SplitMedium* Find(const std::string& splitVar) {
  for (const SplitMedium& medium : kSplitMedia)
    if (splitVar == medium.text) return &medium;
  return nullptr;
}

std::string Thousands(std::int64_t value) { return SetThousand(std::to_string(value)); }

}  // namespace

std::optional<std::int64_t> SplitPartSize(const std::string& splitVar) {
  const SplitMedium* medium = Find(splitVar);
  if (!medium) return std::nullopt;
  return medium->partSize;
}

std::string SplitDiscError(const std::string& splitVar) {
  const SplitMedium* medium = Find(splitVar);
  if (!medium || medium->discBlocks == 0) return "";
  const std::int64_t partKB = medium->partSize / 1024;
  const std::int64_t freeKB = medium->discBlocks * 2048 / 1024;
  if (FitsOnDisc(partKB, freeKB)) return "";
  return "Die Split-Größe \"" + splitVar + "\" ist zu groß für einen solchen Datenträger!\r\rEin Teil hat " +
         Thousands(partKB) + " KB, auf den Datenträger passen höchstens " + Thousands(freeKB - kDiscReserveKB - 1) +
         " KB.\r\rBitte wählen Sie für diese Sicherung eine kleinere Split-Größe.";
}

}  // namespace app
