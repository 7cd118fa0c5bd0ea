#include "controls/flat/hsl_utils.h"

#include <algorithm>
#include <cmath>

namespace controls {

namespace {

// Halves go to the even neighbour.
int Round(double value) { return static_cast<int>(std::nearbyint(value)); }

int Channel(double m1, double m2, double x) {
  if (x < 0) x += 1;
  if (x > 1) x -= 1;
  double value;
  if (6 * x < 1)
    value = m1 + (m2 - m1) * 6 * x;
  else if (2 * x < 1)
    value = m2;
  else if (3 * x < 2)
    value = m1 + (m2 - m1) * (2.0 / 3 - x) * 6;
  else
    value = m1;
  return Round(value * 255);
}

std::uint32_t Rgb(int r, int g, int b) {
  return static_cast<std::uint32_t>(r) | static_cast<std::uint32_t>(g) << 8 | static_cast<std::uint32_t>(b) << 16;
}

}  // namespace

std::uint32_t HslToColor(double H, double S, double L) {
  if (S == 0) {
    const int grey = Round(L * 255);
    return Rgb(grey, grey, grey);
  }
  const double m2 = L <= 0.5 ? L * (1 + S) : L + S - L * S;
  const double m1 = 2 * L - m2;
  return Rgb(Channel(m1, m2, H + 1.0 / 3), Channel(m1, m2, H), Channel(m1, m2, H - 1.0 / 3));
}

std::uint32_t HslRangeToColor(int H, int S, int L) {
  return HslToColor(static_cast<double>(H) / (HSLRange - 1), static_cast<double>(S) / HSLRange,
                    static_cast<double>(L) / HSLRange);
}

THsl ColorToHsl(std::uint32_t Color) {
  const double r = (Color & 0xFF) / 255.0, g = (Color >> 8 & 0xFF) / 255.0, b = (Color >> 16 & 0xFF) / 255.0;
  const double max = std::max({r, g, b}), min = std::min({r, g, b});
  const double l = (max + min) / 2;
  if (max == min) return {0, 0, l};
  const double d = max - min;
  const double s = l < 0.5 ? d / (max + min) : d / (2 - max - min);
  double h;
  if (max == r)
    h = (g - b) / d;
  else if (max == g)
    h = (b - r) / d + 2;
  else
    h = (r - g) / d + 4;
  h /= 6;
  if (h < 0) h += 1;
  return {h, s, l};
}

THslRange ColorToHslRange(std::uint32_t Color) {
  const THsl hsl = ColorToHsl(Color);
  return {Round(hsl.H * (HSLRange - 1)), Round(hsl.S * HSLRange), Round(hsl.L * HSLRange)};
}

}  // namespace controls
