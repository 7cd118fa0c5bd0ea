// Colours as hue, saturation and lightness. The real forms run 0..1; the integer forms use the
// range below (hue 0..range-1, saturation and lightness 0..range). Colours are plain RGB values
// 0x00BBGGRR: callers turn system colours into RGB first.
#pragma once

#include <cstdint>

namespace controls {

constexpr int HSLRange = 240;

struct THsl {
  double H, S, L;
};

struct THslRange {
  int H, S, L;
};

std::uint32_t HslToColor(double H, double S, double L);
std::uint32_t HslRangeToColor(int H, int S, int L);
THsl ColorToHsl(std::uint32_t Color);
THslRange ColorToHslRange(std::uint32_t Color);

}  // namespace controls
