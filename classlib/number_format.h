// Numbers as the program shows them: "." groups thousands and "," marks decimals, fixed in code,
// whatever the machine's locale.
#pragma once

#include <string>

namespace classlib {

// One section of placeholders: "0" a digit always shown, "#" a digit shown when needed, "." the
// decimal point (the count of placeholders after it is the number of decimals), "," anywhere before
// it asks for thousands separators. Text before the first and after the last placeholder is copied
// (quotes drop). Rounds to the nearest; a result of zero has no sign.
// FormatFloat("#,##0.00", 1234567.891) gives "1.234.567,89", FormatFloat("#,##0", 0.4) gives "0".
std::string FormatFloat(const std::string& pattern, double value);

}  // namespace classlib
