// The Win32 boundary: UTF-8 inside the program, UTF-16 at the wide API. Unpaired surrogates, which
// NTFS names may hold, survive the round trip (they travel as three-byte sequences), so every file
// the system lists can be opened again.
#pragma once

#include <string>

namespace classlib {

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& utf16);
std::string Narrow(const wchar_t* utf16, size_t length);

// Text in a Windows code page (CP_ACP, CP_OEMCP, ...). False when a character has no form there.
bool TryToCodePage(const std::string& utf8, unsigned codePage, std::string& result);
// The same for texts that a reader only looks at: a character without a form there becomes "?".
std::string ToCodePage(const std::string& utf8, unsigned codePage);
std::string FromCodePage(const std::string& bytes, unsigned codePage);

}  // namespace classlib
