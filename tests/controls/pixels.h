// Reading back what a painter drew into a 32-bit DIB section: pictures of a few colours as rows of
// letters, and the bounding box of the pixels that match.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "classlib/graphics.h"

namespace pixels {

// A bitmap of the size, every pixel in color.
void Prepare(classlib::TBitmap& bitmap, int width, int height, classlib::TColor color);

// One string a row, each pixel as its letter in legend; '?' for a colour not listed.
std::vector<std::string> Picture(const classlib::TBitmap& bitmap, const std::map<classlib::TColor, char>& legend);

// The smallest rectangle holding every pixel that matches; empty when none does.
RECT BoundsOf(const classlib::TBitmap& bitmap, const std::function<bool(classlib::TColor)>& match);

// Pixels outside inner that do not have color.
int ChangedOutside(const classlib::TBitmap& bitmap, const RECT& inner, classlib::TColor color);

// The context's clip box, or an empty rectangle when it has no clip region.
RECT ClipRegionBox(HDC dc);

// "left,top,right,bottom", for comparing rectangles with readable failures.
std::string Text(const RECT& r);

// A square picture in which every pixel tells where it is (size up to 12).
classlib::TColor PatternAt(int x, int y);
void MakePattern(classlib::TBitmap& bitmap, int size);

}  // namespace pixels
