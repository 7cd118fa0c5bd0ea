// The version file on the server and what it offers: the available version, the size of the setup
// and the setup's SHA-256, and whether that version is newer than the program's own.
//
// The file is text in lines ending in CR LF, LF or CR (a last line without one does not count).
// Its section starts at the first line containing "[data full]":
//   [data full]
//   Version=2.41          the available version from the ninth character on
//   Size=1024 KB          the setup's size from the sixth character on
//   SHA256=<64 hex>       the setup's digest (older readers stop at the size line)
// and its last line is the vendor's signature over the rest (see vendor_signature.h).
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

// What a version file that arrived is worth.
enum class TUpdateFileKind {
  // Signed by the vendor and naming the setup's digest: its offer may be believed.
  Offer,
  // Unsigned, signed by another key, changed after signing, or without the setup's digest.
  NotVerified,
  // Signed, but its section ends early or its version is no version.
  Unreadable,
};

struct TUpdateFile {
  TUpdateFileKind Kind = TUpdateFileKind::NotVerified;
  // For an offer only: what it offers, and whether that is a later version than the own one.
  TUpdateInfo Info;
  bool Newer = false;
};

TUpdateFile ReadUpdateFile(const std::string& Text, const TFileVersion& own);

// True when available names a later version than own. Three or four dotted numbers ("2.4.0.12")
// compare number by number with own; one number or two ("2.41") compare as a decimal number with
// VersionText(own), as older version files give it. Raises EConvertError for any other text.
bool IsNewerVersion(const TFileVersion& own, const std::string& available);

// The KB of a size text: a number and a three-character unit such as " KB". 0 when it holds no
// positive number.
int DownloadSizeKB(const std::string& sizeText);

}  // namespace update
