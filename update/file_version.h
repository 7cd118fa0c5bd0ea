// The program's own version, as its version resource gives it, and the text the update windows
// show of it.
#pragma once

#include <string>

namespace update {

struct TFileVersion {
  int Major = 0;
  int Minor = 0;
  int Release = 0;
  int Build = 0;
};

// The four numbers of the file's version resource; version stays as it is when the file has none.
bool GetFileVersion(const std::string& fileName, TFileVersion& version);
// The program file's version; zeros without a version resource.
TFileVersion OwnFileVersion();
// Major "." minor release build, in decimal without padding: 2.4.0.2 gives "2.402".
std::string VersionText(const TFileVersion& version);

}  // namespace update
