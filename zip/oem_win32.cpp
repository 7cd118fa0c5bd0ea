#include <windows.h>

#include "classlib/wide.h"
#include "zip/oem.h"

namespace zip {

bool TryToOem(const std::string& utf8, std::string& oem) { return classlib::TryToCodePage(utf8, CP_OEMCP, oem); }

std::string FromOem(const std::string& oem) { return classlib::FromCodePage(oem, CP_OEMCP); }

}  // namespace zip
