#include "zip/dos_date.h"

#include <algorithm>

namespace zip {

std::uint32_t RepairDosDate(std::uint32_t d) {
  std::uint32_t seconds2 = d & 31, minutes = (d >> 5) & 63, hours = (d >> 11) & 31;
  std::uint32_t day = (d >> 16) & 31, month = (d >> 21) & 15, year = (d >> 25) & 127;
  if (seconds2 < 30 && minutes < 60 && hours <= 23 && day >= 1 && month >= 1 && month <= 12 && year < 120) return d;
  seconds2 = std::min(seconds2, 29u);
  minutes = std::min(minutes, 59u);
  hours = std::min(hours, 23u);
  day = std::max(day, 1u);
  month = std::clamp(month, 1u, 12u);
  year = std::min(year, 119u);
  return year << 25 | month << 21 | day << 16 | hours << 11 | minutes << 5 | seconds2;
}

}  // namespace zip
