#include "classlib/wide.h"

#include <windows.h>

#include "classlib/text.h"

namespace classlib {

std::wstring Widen(const std::string& utf8) {
  std::wstring out;
  out.reserve(utf8.size());
  for (char32_t cp : DecodeUtf8(utf8)) {
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<wchar_t>(cp));
    }
  }
  return out;
}

std::string Narrow(const wchar_t* w, size_t n) {
  std::string out;
  out.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    char32_t cp = static_cast<unsigned short>(w[i]);
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < n) {
      const unsigned low = static_cast<unsigned short>(w[i + 1]);
      if (low >= 0xDC00 && low < 0xE000) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    AppendUtf8(out, cp);
  }
  return out;
}

std::string Narrow(const std::wstring& utf16) { return Narrow(utf16.data(), utf16.size()); }

bool TryToCodePage(const std::string& utf8, unsigned codePage, std::string& result) {
  const std::wstring wide = Widen(utf8);
  result.clear();
  if (wide.empty()) return true;
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                    nullptr, 0, nullptr, &usedDefault);
  if (n <= 0 || usedDefault) return false;
  result.resize(static_cast<size_t>(n));
  WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), &result[0], n,
                      nullptr, nullptr);
  return true;
}

std::string ToCodePage(const std::string& utf8, unsigned codePage) {
  const std::wstring wide = Widen(utf8);
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0, "?", nullptr);
  std::string result(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, &result[0], n, "?", nullptr);
  return result;
}

std::string FromCodePage(const std::string& bytes, unsigned codePage) {
  if (bytes.empty()) return {};
  const int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), &wide[0], n);
  return Narrow(wide);
}

}  // namespace classlib
