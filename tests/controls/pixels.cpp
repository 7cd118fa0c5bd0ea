#include "tests/controls/pixels.h"

#include <algorithm>

namespace pixels {

using classlib::TColor;

void Prepare(classlib::TBitmap& bitmap, int width, int height, TColor color) {
  bitmap.SetSize(width, height);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* p = bitmap.ScanLine(y);
    for (int x = 0; x < width; ++x, p += 4) {
      p[0] = (color >> 16) & 0xFF;
      p[1] = (color >> 8) & 0xFF;
      p[2] = color & 0xFF;
    }
  }
}

std::vector<std::string> Picture(const classlib::TBitmap& bitmap, const std::map<TColor, char>& legend) {
  std::vector<std::string> rows;
  for (int y = 0; y < bitmap.Height(); ++y) {
    std::string row;
    for (int x = 0; x < bitmap.Width(); ++x) {
      const auto at = legend.find(bitmap.Pixel(x, y));
      row += at == legend.end() ? '?' : at->second;
    }
    rows.push_back(row);
  }
  return rows;
}

RECT BoundsOf(const classlib::TBitmap& bitmap, const std::function<bool(TColor)>& match) {
  RECT box = {0, 0, 0, 0};
  bool any = false;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      if (!match(bitmap.Pixel(x, y))) continue;
      if (!any) box = {x, y, x + 1, y + 1};
      any = true;
      box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1),
             std::max<LONG>(box.bottom, y + 1)};
    }
  return box;
}

int ChangedOutside(const classlib::TBitmap& bitmap, const RECT& inner, TColor color) {
  int changed = 0;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      const POINT p = {x, y};
      if (!PtInRect(&inner, p) && bitmap.Pixel(x, y) != color) ++changed;
    }
  return changed;
}

RECT ClipRegionBox(HDC dc) {
  RECT box = {0, 0, 0, 0};
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  if (GetClipRgn(dc, region) == 1) GetRgnBox(region, &box);
  DeleteObject(region);
  return box;
}

std::string Text(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

TColor PatternAt(int x, int y) { return RGB(x * 20, y * 20, 100); }

void MakePattern(classlib::TBitmap& bitmap, int size) {
  bitmap.SetSize(size, size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) bitmap.Canvas().SetPixel(x, y, PatternAt(x, y));
}

}  // namespace pixels
