// Which stored names may become files below the destination folder. An archive is foreign input:
// its names must never reach outside that folder or name a device.
#pragma once

#include <string>

namespace zip {

// True when Windows reserves the name for a device, whatever its case, extension or trailing blanks:
// CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1-9 and LPT1-9, and COM and LPT with a superscript 1, 2 or 3.
bool IsDeviceName(const std::string& component);

// True when every "\"-separated component of a relative path is an ordinary file name: not "..",
// no ":" (a drive or an alternate data stream), no control character, no device name.
bool IsSafeRelativePath(const std::string& path);

// The one key under which Windows finds every spelling of a "\"-separated path: each component
// without trailing dots and blanks, letters in one case (Latin, Greek and Cyrillic).
std::string FoldedPath(const std::string& path);

}  // namespace zip
