// The media a backup can be split for: the names the definition stores as "SplitVar" and the size
// of every part written for them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace app {

struct SplitMedium {
  const char* Name;
  std::int32_t PartSize;  // bytes of the first and of every further part; 0: not split
};

// In the order the definition wizard offers them; "Keine" first.
extern const std::array<SplitMedium, 9> SplitMediaTable;

// The part size for a stored "SplitVar"; 0 (no splitting) for "Keine" and any text not listed.
std::int32_t SplitPartSize(const std::string& splitVar);

}  // namespace app
