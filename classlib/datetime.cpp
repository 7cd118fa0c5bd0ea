#include "classlib/datetime.h"

#include <cmath>

#include "classlib/exceptions.h"

namespace classlib {
namespace {

constexpr double kMillisecondsPerDay = 86400000.0;

// Days from 1 January of year 1 up to 30 December 1899.
constexpr long kDaysToEpoch = 693593;

long DaysBeforeYear(int year) {
  const long y = year - 1;
  return y * 365 + y / 4 - y / 100 + y / 400;
}

int DaysBeforeMonth(int year, int month) {
  int days = 0;
  for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
  return days;
}

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& result) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
    return false;
  result = static_cast<double>(DaysBeforeYear(year) + DaysBeforeMonth(year, month) + day - 1 - kDaysToEpoch);
  return true;
}

bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& result) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
      millisecond > 999)
    return false;
  result = (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond) / kMillisecondsPerDay;
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime result;
  if (!TryEncodeDate(year, month, day, result)) throw EConvertError("Ungültiges Argument zum Codieren des Datums");
  return result;
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
  TDateTime result;
  if (!TryEncodeTime(hour, minute, second, millisecond, result))
    throw EConvertError("Ungültiges Argument zum Codieren der Uhrzeit");
  return result;
}

DateParts DecodeDate(TDateTime value) {
  long days = static_cast<long>(std::trunc(value)) + kDaysToEpoch;  // days since 1 January 1
  DateParts parts;
  // Estimate the year, then correct by at most one.
  int year = static_cast<int>(days / 365.2425) + 1;
  while (DaysBeforeYear(year) > days) --year;
  while (DaysBeforeYear(year + 1) <= days) ++year;
  int dayOfYear = static_cast<int>(days - DaysBeforeYear(year));
  int month = 1;
  while (dayOfYear >= DaysInMonth(year, month)) dayOfYear -= DaysInMonth(year, month++);
  parts.year = year;
  parts.month = month;
  parts.day = dayOfYear + 1;
  return parts;
}

TimeParts DecodeTime(TDateTime value) {
  const double fraction = std::fabs(value - std::trunc(value));
  long ms = std::lround(fraction * kMillisecondsPerDay);
  if (ms >= static_cast<long>(kMillisecondsPerDay)) ms = static_cast<long>(kMillisecondsPerDay) - 1;
  TimeParts parts;
  parts.hour = static_cast<int>(ms / 3600000);
  parts.minute = static_cast<int>(ms / 60000 % 60);
  parts.second = static_cast<int>(ms / 1000 % 60);
  parts.millisecond = static_cast<int>(ms % 1000);
  return parts;
}

int DayOfWeek(TDateTime value) {
  // 30 December 1899 was a Saturday.
  long days = static_cast<long>(std::trunc(value));
  return static_cast<int>(((days + 6) % 7 + 7) % 7) + 1;
}

std::uint32_t DateTimeToFileDate(TDateTime value) {
  const DateParts d = DecodeDate(value);
  const TimeParts t = DecodeTime(value);
  if (d.year < 1980 || d.year > 2107) return 0;
  const std::uint32_t date = static_cast<std::uint32_t>(((d.year - 1980) << 9) | (d.month << 5) | d.day);
  const std::uint32_t time = static_cast<std::uint32_t>((t.hour << 11) | (t.minute << 5) | (t.second / 2));
  return date << 16 | time;
}

bool TryFileDateToDateTime(std::uint32_t fileDate, TDateTime& result) {
  const int date = static_cast<int>(fileDate >> 16);
  const int time = static_cast<int>(fileDate & 0xFFFF);
  TDateTime day, clock;
  if (!TryEncodeDate((date >> 9) + 1980, (date >> 5) & 15, date & 31, day)) return false;
  if (!TryEncodeTime(time >> 11, (time >> 5) & 63, (time & 31) * 2, 0, clock)) return false;
  result = day + clock;
  return true;
}

}  // namespace classlib
