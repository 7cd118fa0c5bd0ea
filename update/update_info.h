// The version file on the server and what it offers: the available version, the size of the setup
// and the setup's SHA-256, and whether that version is newer than the program's own.
//
// The file is text in lines ending in LF (a CR before it stays part of the line; a last line
// without LF does not count). Its section starts at the first line containing "[data full]":
//   [data full]
//   Version=2.41          the available version from the ninth character on
//   Size=1024 KB          the setup's size from the sixth character on
//   SHA256=<64 hex>       the setup's digest (older readers stop at the size line)
#pragma once

#include <string>

#include "update/file_version.h"

namespace update {

struct TUpdateInfo {
  std::string ActualVersion;
  // The own version when the file has no section.
  std::string AvailableVersion;
  // "0" when the file has no section.
  std::string DownloadSize;
  // Hex digits; empty when the section gives none.
  std::string SetupDigest;
};

// Raises EListError when the section ends before its size line.
TUpdateInfo GetUpdateInfo(const std::string& Text, const std::string& actualVersion);

// True when available names a later version than own. Three or four dotted numbers ("2.4.0.12")
// compare number by number with own; one number or two ("2.41") compare as a decimal number with
// VersionText(own), as older version files give it. Raises EConvertError for any other text.
bool IsNewerVersion(const TFileVersion& own, const std::string& available);

// The KB of a size text: a number and a three-character unit such as " KB". 0 when it holds no
// positive number.
int DownloadSizeKB(const std::string& sizeText);

}  // namespace update
