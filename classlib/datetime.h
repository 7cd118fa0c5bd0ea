// Date-time values as the registry and the lists keep them: days since 30 December 1899 plus the
// fraction of the day, local time. DOS date-time words are the form of archive entries.
#pragma once

#include <cstdint>

namespace classlib {

using TDateTime = double;

struct DateParts {
  int year = 0, month = 0, day = 0;
};

struct TimeParts {
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// False (and no value) for a date that does not exist, such as 31 April.
bool TryEncodeDate(int year, int month, int day, TDateTime& result);
bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& result);
// Raise EConvertError for impossible values.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);

DateParts DecodeDate(TDateTime value);
TimeParts DecodeTime(TDateTime value);

// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime value);

// DOS date-time: date in the high word (years since 1980, month, day), time in the low word
// (hours, minutes, seconds / 2).
std::uint32_t DateTimeToFileDate(TDateTime value);
bool TryFileDateToDateTime(std::uint32_t fileDate, TDateTime& result);

}  // namespace classlib
