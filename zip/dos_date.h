// DOS date-time words as archive headers hold them (date in the high word, time in the low word).
#pragma once

#include <cstdint>

namespace zip {

// Returns d unchanged when it is a valid DOS date-time; otherwise each field is clamped on its own
// (seconds/2 to 29, minutes to 59, hours to 23, day and month at least 1, month at most 12, year
// offset at most 119). The day is not checked against the month.
std::uint32_t RepairDosDate(std::uint32_t d);

}  // namespace zip
