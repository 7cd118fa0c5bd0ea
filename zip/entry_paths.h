// Which stored names may become files below the destination folder. An archive is foreign input:
// its names must never reach outside that folder or name a device.
#pragma once

#include <string>

namespace zip {

// True when every "\"-separated component of a relative path is an ordinary file name: not "..",
// no ":" (a drive or an alternate data stream), no control character, no reserved device name
// (CON, PRN, AUX, NUL, COM1-9, LPT1-9, with or without an extension).
bool IsSafeRelativePath(const std::string& path);

}  // namespace zip
