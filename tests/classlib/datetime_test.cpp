#include <gtest/gtest.h>

#include "classlib/clock.h"
#include "classlib/datetime.h"
#include "classlib/exceptions.h"

using namespace classlib;

TEST(DateTime, DayCountsFromTheEpoch) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
  EXPECT_EQ(EncodeDate(1980, 1, 1), 29221);
  EXPECT_EQ(EncodeDate(2000, 1, 1), 36526);
  EXPECT_EQ(EncodeDate(2026, 12, 10), 46366);
  EXPECT_DOUBLE_EQ(EncodeTime(18, 0, 0, 0), 0.75);
}

TEST(DateTime, EveryDayOfTheDosRangeDecodesToItself) {
  for (double day = EncodeDate(1980, 1, 1); day <= EncodeDate(2107, 12, 31); ++day) {
    const DateParts d = DecodeDate(day + 0.999);
    ASSERT_EQ(EncodeDate(d.year, d.month, d.day), day);
  }
}

TEST(DateTime, ImpossibleDatesAndTimesAreRefused) {
  TDateTime value;
  EXPECT_FALSE(TryEncodeDate(2026, 4, 31, value));
  EXPECT_FALSE(TryEncodeDate(1900, 2, 29, value));
  EXPECT_TRUE(TryEncodeDate(2000, 2, 29, value));
  EXPECT_FALSE(TryEncodeDate(2026, 13, 1, value));
  EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, value));
  EXPECT_FALSE(TryEncodeTime(12, 60, 0, 0, value));
  EXPECT_THROW(EncodeDate(2026, 2, 30), EConvertError);
}

TEST(DateTime, TimeOfDayDecodes) {
  const TimeParts t = DecodeTime(EncodeDate(2026, 12, 10) + EncodeTime(13, 45, 58, 250));
  EXPECT_EQ(t.hour, 13);
  EXPECT_EQ(t.minute, 45);
  EXPECT_EQ(t.second, 58);
  EXPECT_EQ(t.millisecond, 250);
}

TEST(DateTime, DayOfWeekStartsOnSunday) {
  EXPECT_EQ(DayOfWeek(0), 7);                          // Saturday
  EXPECT_EQ(DayOfWeek(EncodeDate(2026, 12, 10)), 5);   // Thursday
  EXPECT_EQ(DayOfWeek(EncodeDate(2026, 12, 13)), 1);   // Sunday
}

TEST(DateTime, DosDateTimeWords) {
  const TDateTime when = EncodeDate(2026, 12, 10) + EncodeTime(13, 45, 59, 0);
  const std::uint32_t word = DateTimeToFileDate(when);
  EXPECT_EQ(word >> 16, static_cast<std::uint32_t>((46 << 9) | (12 << 5) | 10));
  EXPECT_EQ(word & 0xFFFF, static_cast<std::uint32_t>((13 << 11) | (45 << 5) | 29));  // odd second drops
  TDateTime back;
  ASSERT_TRUE(TryFileDateToDateTime(word, back));
  EXPECT_EQ(DateTimeToFileDate(back), word);
  EXPECT_EQ(DateTimeToFileDate(EncodeDate(1979, 12, 31)), 0u);
}

TEST(DateTime, ImpossibleDosWordsAreRefused) {
  const std::uint32_t goodDate = (46 << 9) | (12 << 5) | 10;
  const std::uint32_t cases[] = {
      ((46u << 9) | (0 << 5) | 10) << 16,     // month 0
      ((46u << 9) | (12 << 5) | 0) << 16,     // day 0
      ((46u << 9) | (2 << 5) | 30) << 16,     // 30 February
      goodDate << 16 | (24 << 11),            // hour 24
      goodDate << 16 | (60 << 5),             // minute 60
      goodDate << 16 | 30,                    // second 60
  };
  for (std::uint32_t word : cases) {
    TDateTime ignored;
    EXPECT_FALSE(TryFileDateToDateTime(word, ignored)) << std::hex << word;
  }
}

TEST(Clock, TestsCanPinNow) {
  SetClockForTesting([] { return 45000.5; });
  EXPECT_EQ(Now(), 45000.5);
  SetClockForTesting(nullptr);
  EXPECT_GT(Now(), EncodeDate(2020, 1, 1));
}
