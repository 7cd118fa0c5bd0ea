// Test-only compressor for methods 2 to 5 (reducing with factors 1 to 4).
#pragma once

#include <string>

namespace test_encoders {

// factor 1 to 4; the entry's method is factor + 1.
std::string Reduce(const std::string& data, int factor);

}  // namespace test_encoders
