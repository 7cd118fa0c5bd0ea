// Test-only compressor for method 1 (shrinking): LZW from 9 to 13 bits, widening with 256,1 and
// clearing the leaves with 256,2 once the table is full.
#pragma once

#include <string>

namespace test_encoders {

// clears, when given, receives the number of partial clears sent.
std::string Shrink(const std::string& data, int* clears = nullptr);

}  // namespace test_encoders
