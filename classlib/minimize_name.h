// A path shortened to fit a width, for labels that show the file being worked on.
#pragma once

#include <string>

#include "classlib/graphics.h"

namespace classlib {

// fileName as it stands when it fits maxWidth pixels in font; else the first part of the path,
// "\...\" and as many of the last folders as fit before the file name; else "...\" and the name;
// else the name cut short with "...".
std::string MinimizeName(const std::string& fileName, const TFont& font, int maxWidth);

}  // namespace classlib
