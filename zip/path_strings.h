// String and path helpers of the engine. Counts are in characters (code points), so a cut never
// splits a UTF-8 sequence.
#pragma once

#include <string>

namespace zip {

// The first or last n characters; the whole string when it is shorter.
std::string LeftStr(const std::string& s, std::size_t n);
std::string RightStr(const std::string& s, std::size_t n);

// In place: "\" to "/" for names written to archives, "/" to "\" for names read from them.
void BackslashesToSlashes(std::string& s);
void SlashesToBackslashes(std::string& s);

constexpr const char* kWildcardCharacters = "*?<>|";
bool HasWildcards(const std::string& s);

// Appends "\" unless s is empty or already ends in a separator; empty stays the current directory.
std::string WithTrailingBackslash(const std::string& s);

// "X:" for a drive path, "\\server\share" for a network path, else empty; on POSIX a plain path
// has no drive.
std::string ExtractDrive(const std::string& path);

// The extension of the last component, with its ".", or empty; and the path with it replaced.
std::string ExtractFileExt(const std::string& path);
std::string ChangeFileExt(const std::string& path, const std::string& extension);
// Everything up to and including the last separator (or the drive's ":").
std::string ExtractFilePath(const std::string& path);

}  // namespace zip
