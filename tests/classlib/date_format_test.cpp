#include <gtest/gtest.h>

#include "classlib/date_format.h"

using namespace classlib;

namespace {

// Tuesday, 5 March 2024, 14:07:09.250.
const TDateTime kWhen = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 250);

}  // namespace

TEST(DateFormat, PatternsOfTheProgram) {
  const struct {
    const char* pattern;
    const char* text;
  } cases[] = {
      {"yyyy-mm-dd hh-nn", "2024-03-05 14-07"},
      {"dd. mmmm yyyy - hh\":\"nn \"Uhr\"", "05. März 2024 - 14:07 Uhr"},
      {"dddd, dd. mmmm yyyy - hh\":\"nn \"Uhr\"", "Dienstag, 05. März 2024 - 14:07 Uhr"},
      {"dd. mmmm yyyy \"um\" hh\":\"nn \"Uhr\"", "05. März 2024 um 14:07 Uhr"},
      {"d-m-yy", "5-3-24"},
      {"hh:mm", "14:07"},                // a month right after an hour is the minute
      {"hh\":\"mm", "14:07"},            // also across quoted text
      {"mm/dd", "03.05"},                // "/" is the date separator
      {"ddd, d. mmm 'um' h:n:s.zzz", "Di, 5. Mär um 14:7:9.250"},
      {"YYYY-MM-DD", "2024-03-05"},      // letters in either case
      {"ddddd", "05.03.2024"},
      {"dddddd", "Dienstag, 5. März 2024"},
      {"t", "14:07"},
      {"c", "05.03.2024 14:07"},
      {"x = yyyy", "x = 2024"},          // a letter that is no pattern stands as it is
      {"\"unclosed yyyy", "unclosed yyyy"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatDateTime(c.pattern, kWhen), c.text) << c.pattern;
}

TEST(DateFormat, DateTimeLeavesOutTheTimeOnlyAtMidnight) {
  const TDateTime midnight = EncodeDate(2024, 3, 6);
  EXPECT_EQ(DateTimeToStr(kWhen), "05.03.2024 14:07");
  EXPECT_EQ(DateTimeToStr(midnight), "06.03.2024");
  EXPECT_EQ(DateTimeToStr(midnight + EncodeTime(0, 0, 1, 0)), "06.03.2024 00:00");
  EXPECT_EQ(DateToStr(kWhen), "05.03.2024");
  EXPECT_EQ(TimeToStr(kWhen), "14:07");
}

TEST(DateFormat, NamesFollowTheWeekFromSunday) {
  const TDateTime sunday = EncodeDate(2024, 3, 3);
  std::string week;
  for (int i = 0; i < 7; ++i) week += FormatDateTime("dddd ddd ", sunday + i);
  EXPECT_EQ(week, "Sonntag So Montag Mo Dienstag Di Mittwoch Mi Donnerstag Do Freitag Fr Samstag Sa ");
  EXPECT_EQ(FormatDateTime("mmmm mmm", EncodeDate(2024, 12, 1)), "Dezember Dez");
  EXPECT_EQ(LongMonthName(0), "");
  EXPECT_EQ(LongDayName(8), "");
}
