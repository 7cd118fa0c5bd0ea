#include "zip/path_strings.h"

#include <algorithm>

namespace zip {
namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Byte offset after the first n characters of s.
std::size_t OffsetAfter(const std::string& s, std::size_t n) {
  std::size_t i = 0;
  for (; i < s.size() && n > 0; --n)
    for (++i; i < s.size() && IsContinuationByte(s[i]); ++i) {
    }
  return i;
}

constexpr const char* kPathDelimiters = "\\/:";

// Position of the extension's ".", or npos.
std::size_t ExtensionStart(const std::string& path) {
  const std::size_t dot = path.find_last_of(std::string(".") + kPathDelimiters);
  return dot != std::string::npos && path[dot] == '.' ? dot : std::string::npos;
}

std::size_t CharacterCount(const std::string& s) {
  return static_cast<std::size_t>(std::count_if(s.begin(), s.end(), [](char c) { return !IsContinuationByte(c); }));
}

}  // namespace

std::string LeftStr(const std::string& s, std::size_t n) { return s.substr(0, OffsetAfter(s, n)); }

std::string RightStr(const std::string& s, std::size_t n) {
  const std::size_t count = CharacterCount(s);
  return n >= count ? s : s.substr(OffsetAfter(s, count - n));
}

void BackslashesToSlashes(std::string& s) { std::replace(s.begin(), s.end(), '\\', '/'); }

void SlashesToBackslashes(std::string& s) { std::replace(s.begin(), s.end(), '/', '\\'); }

bool HasWildcards(const std::string& s) { return s.find_first_of(kWildcardCharacters) != std::string::npos; }

std::string WithTrailingBackslash(const std::string& s) {
  return s.empty() || s.back() == '\\' || s.back() == '/' ? s : s + '\\';
}

std::string ExtractDrive(const std::string& path) {
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
    // The share ends at the separator after the server's.
    const std::size_t server = path.find('\\', 2);
    if (server == std::string::npos) return path;
    return path.substr(0, path.find('\\', server + 1));
  }
  const std::size_t colon = path.find(':');
  return colon == std::string::npos ? std::string() : path.substr(0, colon + 1);
}

std::string ExtractFileExt(const std::string& path) {
  const std::size_t dot = ExtensionStart(path);
  return dot == std::string::npos ? std::string() : path.substr(dot);
}

std::string ChangeFileExt(const std::string& path, const std::string& extension) {
  return path.substr(0, ExtensionStart(path)) + extension;
}

std::string ExtractFilePath(const std::string& path) {
  const std::size_t cut = path.find_last_of(kPathDelimiters);
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

}  // namespace zip
