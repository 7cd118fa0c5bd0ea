// Shortening a path for a label of fixed width: folders give way to "..." from the front, then the
// drive; the file name itself always stays whole.
#pragma once

#include <functional>
#include <string>

namespace classlib {

// textWidth measures a text in the label's font.
std::string MinimizeName(const std::string& fileName, int maxWidth,
                         const std::function<int(const std::string&)>& textWidth);

}  // namespace classlib
