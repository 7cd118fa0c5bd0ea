// Number helpers of the engine's progress and size arithmetic.
#pragma once

#include <cstdint>

namespace zip {

constexpr std::int64_t Min64(std::int64_t a, std::int64_t b) { return a < b ? a : b; }
constexpr std::int64_t Max64(std::int64_t a, std::int64_t b) { return a > b ? a : b; }

// part * 100 / whole rounded to the nearest integer, halves to the even one, at most 100; 0 when
// whole is not positive (and, 64-bit, for a negative part).
int Percent(std::uint32_t part, std::uint32_t whole);
int Percent(std::int64_t part, std::int64_t whole);

}  // namespace zip
