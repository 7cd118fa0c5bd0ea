#include "classlib/text.h"

namespace classlib {

std::string LowerAscii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

bool SameTextAscii(const std::string& a, const std::string& b) { return LowerAscii(a) == LowerAscii(b); }

bool StartsTextAscii(const std::string& s, const std::string& prefix) {
  return s.size() >= prefix.size() && SameTextAscii(s.substr(0, prefix.size()), prefix);
}

std::u32string DecodeUtf8(const std::string& utf8) {
  std::u32string out;
  out.reserve(utf8.size());
  const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
  const size_t n = utf8.size();
  for (size_t i = 0; i < n;) {
    const unsigned c = s[i];
    size_t len = 0;
    char32_t cp = 0, minimum = 0;
    if (c < 0x80) { cp = c; len = 1; }
    else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; len = 2; minimum = 0x80; }
    else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; len = 3; minimum = 0x800; }
    else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; len = 4; minimum = 0x10000; }
    bool valid = len > 0 && i + len <= n;
    for (size_t k = 1; valid && k < len; ++k) {
      if ((s[i + k] & 0xC0) != 0x80) valid = false;
      else cp = cp << 6 | (s[i + k] & 0x3F);
    }
    if (valid && (cp < minimum || cp > 0x10FFFF)) valid = false;
    if (!valid) {
      out.push_back(0xDC00 + c);
      ++i;
      continue;
    }
    out.push_back(cp);
    i += len;
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | cp >> 6));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | cp >> 12));
    out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | cp >> 18));
    out.push_back(static_cast<char>(0x80 | (cp >> 12 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

std::string EncodeUtf8(const std::u32string& codePoints) {
  std::string out;
  out.reserve(codePoints.size());
  for (char32_t cp : codePoints) AppendUtf8(out, cp);
  return out;
}

}  // namespace classlib
