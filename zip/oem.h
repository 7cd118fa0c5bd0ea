// Entry names in the OEM code page, as zip headers traditionally hold them.
#pragma once

#include <string>

namespace zip {

// False when a character of the UTF-8 text has no form in the OEM code page.
bool TryToOem(const std::string& utf8, std::string& oem);
std::string FromOem(const std::string& oem);

}  // namespace zip
