// Date and time texts as the program shows, logs and stores them: German names and separators,
// fixed in code, whatever the machine's locale. Results are UTF-8.
#pragma once

#include <string>

#include "classlib/datetime.h"

namespace classlib {

// "Januar" .. "Dezember" and "Jan" .. "Dez" for months 1..12.
const std::string& LongMonthName(int month);
const std::string& ShortMonthName(int month);
// "Sonntag" .. "Samstag" and "So" .. "Sa" for the DayOfWeek values 1..7.
const std::string& LongDayName(int dayOfWeek);
const std::string& ShortDayName(int dayOfWeek);

// The fixed formats: short date "dd.mm.yyyy", long date "dddd, d. mmmm yyyy", and "hh:mm" for both
// time formats (the program shows hours and minutes only).
extern const char kShortDateFormat[];
extern const char kLongDateFormat[];
extern const char kTimeFormat[];

// Pattern letters, case-insensitive: d dd (day), ddd dddd (day name), ddddd (short date), dddddd
// (long date), m mm (month; minutes right after an h), mmm mmmm (month name), yy yyyy, h hh, n nn,
// s ss, z zzz, t tt (time), c (short date and time, the time left out at midnight). "/" gives the
// date separator ".", ":" the time separator ":"; text in "..." or '...' and every other character
// is copied as it stands.
std::string FormatDateTime(const std::string& pattern, TDateTime value);

// Short date, a blank and the time; only the date at exactly midnight.
std::string DateTimeToStr(TDateTime value);
std::string DateToStr(TDateTime value);
std::string TimeToStr(TDateTime value);

}  // namespace classlib
