#include "app/split_media.h"

namespace app {

const std::array<SplitMedium, 9> SplitMediaTable = {{
    {"Keine", 0},
    {"Diskette 3,5\" (1.44 MB)", 1400000},
    {"CD-R/RW 74 (650 MB)", 681500000},
    {"CD-R/RW 80 (700 MB)", 733900000},
    {"CD-R/RW 90 (800 MB)", 838000000},
    {"CD-R/RW 99 (900 MB)", 943000000},
    {"ZIP 100 (100 MB)", 100000000},
    {"ZIP 250 (250 MB)", 250000000},
    {"ZIP 750 (750 MB)", 750000000},
}};

std::int32_t SplitPartSize(const std::string& splitVar) {
  for (const SplitMedium& medium : SplitMediaTable)
    if (splitVar == medium.Name) return medium.PartSize;
  return 0;
}

}  // namespace app
