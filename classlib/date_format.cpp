#include "classlib/date_format.h"

#include <cmath>

namespace classlib {
namespace {

const std::string kLongMonths[12] = {"Januar", "Februar", "März",      "April",   "Mai",      "Juni",
                                     "Juli",   "August",  "September", "Oktober", "November", "Dezember"};
const std::string kShortMonths[12] = {"Jan", "Feb", "Mär", "Apr", "Mai", "Jun",
                                      "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
const std::string kLongDays[7] = {"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"};
const std::string kShortDays[7] = {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
const std::string kNoName;

const std::string& Pick(const std::string* names, int count, int index) {
  return index >= 1 && index <= count ? names[index - 1] : kNoName;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Digits of value, zero-padded to at least width.
std::string Number(int value, int width) {
  std::string digits = std::to_string(value);
  if (static_cast<int>(digits.size()) < width) digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
  return digits;
}

bool IsMidnight(TDateTime value) { return value - std::trunc(value) == 0; }

class Formatter {
 public:
  explicit Formatter(TDateTime value) : value_(value), date_(DecodeDate(value)), time_(DecodeTime(value)) {}

  void Append(const std::string& pattern, std::string& out) {
    const std::size_t n = pattern.size();
    for (std::size_t i = 0; i < n;) {
      const char c = Lower(pattern[i]);
      if (c == '"' || c == '\'') {
        const std::size_t close = pattern.find(pattern[i], i + 1);
        const std::size_t end = close == std::string::npos ? n : close;
        out.append(pattern, i + 1, end - i - 1);
        i = end == n ? n : end + 1;
        continue;
      }
      std::size_t count = 1;
      while (i + count < n && Lower(pattern[i + count]) == c) ++count;
      if (c >= 'a' && c <= 'z') {
        // A month right after an hour is the minute, even across separators and quoted text.
        const char token = c == 'm' && lastLetter_ == 'h' ? 'n' : c;
        lastLetter_ = c;
        if (Token(token, count, out)) {
          i += count;
          continue;
        }
      }
      if (c == '/') out += '.';
      else out += pattern[i];
      ++i;
    }
  }

 private:
  // False for a letter that is no pattern: it is copied.
  bool Token(char token, std::size_t count, std::string& out) {
    switch (token) {
      case 'd':
        if (count <= 2) out += Number(date_.day, static_cast<int>(count));
        else if (count == 3) out += ShortDayName(DayOfWeek(value_));
        else if (count == 4) out += LongDayName(DayOfWeek(value_));
        else if (count == 5) Append(kShortDateFormat, out);
        else Append(kLongDateFormat, out);
        return true;
      case 'm':
        if (count <= 2) out += Number(date_.month, static_cast<int>(count));
        else if (count == 3) out += ShortMonthName(date_.month);
        else out += LongMonthName(date_.month);
        return true;
      case 'y':
        out += count <= 2 ? Number(date_.year % 100, 2) : Number(date_.year, 4);
        return true;
      case 'h':
      case 'n':
      case 's': {
        const int value = token == 'h' ? time_.hour : token == 'n' ? time_.minute : time_.second;
        out += Number(value, count >= 2 ? 2 : 1);
        return true;
      }
      case 'z':
        out += Number(time_.millisecond, count >= 3 ? 3 : 1);
        return true;
      case 't':
        Append(kTimeFormat, out);
        return true;
      case 'c':
        Append(kShortDateFormat, out);
        if (!IsMidnight(value_)) {
          out += ' ';
          Append(kTimeFormat, out);
        }
        return true;
      default:
        return false;
    }
  }

  TDateTime value_;
  DateParts date_;
  TimeParts time_;
  char lastLetter_ = 0;
};

}  // namespace

const char kShortDateFormat[] = "dd.mm.yyyy";
const char kLongDateFormat[] = "dddd, d. mmmm yyyy";
const char kTimeFormat[] = "hh:mm";

const std::string& LongMonthName(int month) { return Pick(kLongMonths, 12, month); }
const std::string& ShortMonthName(int month) { return Pick(kShortMonths, 12, month); }
const std::string& LongDayName(int dayOfWeek) { return Pick(kLongDays, 7, dayOfWeek); }
const std::string& ShortDayName(int dayOfWeek) { return Pick(kShortDays, 7, dayOfWeek); }

std::string FormatDateTime(const std::string& pattern, TDateTime value) {
  std::string out;
  Formatter(value).Append(pattern, out);
  return out;
}

std::string DateTimeToStr(TDateTime value) { return FormatDateTime("c", value); }
std::string DateToStr(TDateTime value) { return FormatDateTime(kShortDateFormat, value); }
std::string TimeToStr(TDateTime value) { return FormatDateTime(kTimeFormat, value); }

}  // namespace classlib
