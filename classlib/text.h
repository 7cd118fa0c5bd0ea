// Small text helpers that behave the same on every host: case folding of the letters A-Z only, and
// UTF-8 decoding. The decoder never fails: a byte that starts no valid sequence becomes
// U+DC00 + byte; encoded surrogates (from unpaired UTF-16 units in file names) decode to themselves.
#pragma once

#include <string>

namespace classlib {

std::string LowerAscii(std::string s);
bool SameTextAscii(const std::string& a, const std::string& b);
// s begins with prefix, letters A-Z folded.
bool StartsTextAscii(const std::string& s, const std::string& prefix);

std::u32string DecodeUtf8(const std::string& utf8);
std::string EncodeUtf8(const std::u32string& codePoints);
void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace classlib
