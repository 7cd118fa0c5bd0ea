#include "classlib/number_format.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace classlib {
namespace {

bool IsPlaceholder(char c) { return c == '0' || c == '#'; }

std::string WithoutQuotes(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != '"' && c != '\'') out += c;
  return out;
}

std::string GroupThousands(const std::string& digits) {
  std::string out;
  const std::size_t n = digits.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out += '.';
    out += digits[i];
  }
  return out;
}

// The digits of a non-negative value with the given decimals, halves rounded away from zero
// (0.125 gives 0.13) where printf would round them to even.
std::string RoundedDigits(double value, int decimals) {
  // Twenty more digits than kept decide the rounding from the value's exact expansion.
  const int extra = 20;
  const int size = std::snprintf(nullptr, 0, "%.*f", decimals + extra, value);
  std::vector<char> buffer(static_cast<std::size_t>(size) + 1);
  std::snprintf(buffer.data(), buffer.size(), "%.*f", decimals + extra, value);
  std::string digits(buffer.data(), static_cast<std::size_t>(size) - extra);
  const bool up = buffer[static_cast<std::size_t>(size - extra)] >= '5';
  if (decimals == 0) digits.pop_back();  // the point
  if (!up) return digits;
  for (std::size_t i = digits.size(); i-- > 0;) {
    if (digits[i] == '.') continue;
    if (digits[i] != '9') {
      ++digits[i];
      return digits;
    }
    digits[i] = '0';
  }
  return "1" + digits;
}

}  // namespace

std::string FormatFloat(const std::string& pattern, double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";

  const std::size_t first = pattern.find_first_of("0#");
  const std::size_t last = pattern.find_last_of("0#");
  const bool none = first == std::string::npos;
  const std::string prefix = WithoutQuotes(none ? pattern : pattern.substr(0, first));
  const std::string suffix = none ? std::string() : WithoutQuotes(pattern.substr(last + 1));
  const std::string body = none ? std::string("0") : pattern.substr(first, last - first + 1);

  const std::size_t point = body.find('.');
  int minInteger = 0, minDecimals = 0, maxDecimals = 0;
  bool grouped = false;
  for (std::size_t i = 0; i < body.size(); ++i) {
    const char c = body[i];
    if (point == std::string::npos || i < point) {
      minInteger += c == '0';
      grouped = grouped || c == ',';
    } else if (IsPlaceholder(c)) {
      ++maxDecimals;
      if (c == '0') minDecimals = maxDecimals;
    }
  }

  const std::string digits = RoundedDigits(std::fabs(value), maxDecimals);
  const std::size_t dot = digits.find('.');
  std::string integer = digits.substr(0, dot);
  std::string decimals = dot == std::string::npos ? std::string() : digits.substr(dot + 1);
  while (static_cast<int>(decimals.size()) > minDecimals && decimals.back() == '0') decimals.pop_back();
  if (integer == "0" && minInteger == 0) integer.clear();
  if (static_cast<int>(integer.size()) < minInteger)
    integer.insert(0, static_cast<std::size_t>(minInteger) - integer.size(), '0');

  const bool zero = digits.find_first_not_of("0.") == std::string::npos;
  std::string number = grouped ? GroupThousands(integer) : integer;
  if (!decimals.empty()) number += "," + decimals;
  return prefix + (value < 0 && !zero ? "-" : "") + number + suffix;
}

}  // namespace classlib
