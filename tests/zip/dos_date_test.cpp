#include <gtest/gtest.h>

#include "zip/dos_date.h"

namespace {

std::uint32_t Dos(unsigned year, unsigned month, unsigned day, unsigned hour, unsigned minute, unsigned seconds2) {
  return (year - 1980) << 25 | month << 21 | day << 16 | hour << 11 | minute << 5 | seconds2;
}

}  // namespace

TEST(RepairDosDate, ValidDatesPassUnchanged) {
  for (std::uint32_t d : {Dos(1980, 1, 1, 0, 0, 0), Dos(2026, 12, 10, 23, 59, 29), Dos(2099, 2, 31, 12, 0, 0)})
    EXPECT_EQ(zip::RepairDosDate(d), d);
}

TEST(RepairDosDate, EachBadFieldIsClampedOnItsOwn) {
  struct Case {
    std::uint32_t in, out;
  } cases[] = {
      {Dos(2026, 13, 10, 25, 30, 10), Dos(2026, 12, 10, 23, 30, 10)},
      {Dos(2026, 0, 0, 10, 61, 31), Dos(2026, 1, 1, 10, 59, 29)},
      {Dos(2100, 5, 5, 5, 5, 5), Dos(2099, 5, 5, 5, 5, 5)},
      {0, Dos(1980, 1, 1, 0, 0, 0)},
  };
  for (const Case& c : cases) EXPECT_EQ(zip::RepairDosDate(c.in), c.out) << std::hex << c.in;
}
