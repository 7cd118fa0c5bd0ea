#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "controls/panels/vis_application.h"
#include "controls/panels/vis_region.h"
#include "tests/controls/pixels.h"
#include "tests/support/window_test.h"

using classlib::TBitmap;
using classlib::TColor;
using controls::TVisBorderRegion;
using controls::TVisRegionBorderStyle;
using controls::TVisRegionShape;
using controls::TVisShadowStyle;

namespace {

constexpr TColor kWhite = 0xFFFFFF, kLight = 0x00FFFF, kShadow = 0x0000FF, kSingle = 0xFF0000, kShadowFill = 0x00FF00;

void Colours(TVisBorderRegion& region) {
  region.Border().SetLightColor(kLight);
  region.Border().SetShadowColor(kShadow);
  region.Border().SetSingleColor(kSingle);
}

// The colours other than the background inside an area.
std::set<TColor> ColoursIn(const TBitmap& bitmap, const RECT& area) {
  std::set<TColor> found;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (bitmap.Pixel(x, y) != kWhite) found.insert(bitmap.Pixel(x, y));
  return found;
}

}  // namespace

// The style rule on a rectangle: which colours the top and the right edge get.
TEST(RegionPaint, BorderStyles) {
  testing_support::InitWindows();
  using S = std::set<TColor>;
  const struct {
    TVisRegionBorderStyle style;
    S top, right;
  } cases[] = {
      {TVisRegionBorderStyle::rbNone, {}, {}},
      {TVisRegionBorderStyle::rbRaised, {kLight}, {kShadow}},
      {TVisRegionBorderStyle::rbLowered, {kShadow}, {kLight}},
      {TVisRegionBorderStyle::rbSingle, {kSingle}, {kSingle}},
      // The pen is 2 pixels wide: the inner outline, a pixel in, covers the single one at the top.
      {TVisRegionBorderStyle::rbSingleRaised, {kLight}, {kSingle, kShadow}},
      {TVisRegionBorderStyle::rbSingleLowered, {kShadow}, {kSingle, kLight}},
      {TVisRegionBorderStyle::rbRaisedpsb, {kLight}, {kSingle, kShadow}},
      {TVisRegionBorderStyle::rbLoweredpsb, {kShadow}, {kSingle, kLight}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.style));
    TVisBorderRegion region;
    region.SetShape(TVisRegionShape::rsRect);
    Colours(region);
    region.Border().SetStyle(c.style);
    TBitmap bitmap;
    pixels::Prepare(bitmap, 60, 40, kWhite);
    region.BuildRegion({0, 0, 60, 40});
    region.PaintBorder(bitmap.Canvas(), {0, 0, 60, 40});
    EXPECT_EQ(ColoursIn(bitmap, {10, 0, 50, 4}), c.top);
    EXPECT_EQ(ColoursIn(bitmap, {56, 10, 60, 30}), c.right);
    EXPECT_EQ(ColoursIn(bitmap, {5, 5, 55, 35}), S{}) << "the inside stays";
  }
}

// The shadow: the region moved by its depth less the region, solid or through the checkerboard;
// none without a style, and nothing at all without a region.
TEST(RegionPaint, Shadows) {
  testing_support::InitWindows();
  for (TVisShadowStyle style : {TVisShadowStyle::hssSolid, TVisShadowStyle::hssTracing, TVisShadowStyle::hssNone}) {
    SCOPED_TRACE(static_cast<int>(style));
    TVisBorderRegion region;
    region.SetShape(TVisRegionShape::rsRect);
    region.Border().SetStyle(TVisRegionBorderStyle::rbNone);
    region.Shadow().SetStyle(style);
    region.Shadow().SetColor(kShadowFill);
    TBitmap bitmap;
    pixels::Prepare(bitmap, 60, 50, kWhite);
    RECT r = {0, 0, 50, 40};
    region.BuildRegion(r);
    region.PaintShadow(bitmap.Canvas(), r);
    EXPECT_EQ(pixels::Text(r), style == TVisShadowStyle::hssNone ? "0,0,50,40" : "0,0,44,34");
    const RECT shadow = pixels::BoundsOf(bitmap, [](TColor c) { return c != kWhite; });
    if (style == TVisShadowStyle::hssNone) {
      EXPECT_TRUE(IsRectEmpty(&shadow));
      continue;
    }
    EXPECT_EQ(pixels::Text(shadow), "6,6,50,40");
    EXPECT_EQ(ColoursIn(bitmap, {0, 0, 44, 34}), std::set<TColor>{});
    if (style == TVisShadowStyle::hssSolid) {
      EXPECT_EQ(bitmap.Pixel(46, 20), kShadowFill);
      EXPECT_EQ(bitmap.Pixel(47, 20), kShadowFill);
    } else {
      // White under the checkerboard keeps the pattern: colour and white side by side.
      EXPECT_NE(bitmap.Pixel(46, 20), bitmap.Pixel(47, 20));
      EXPECT_EQ(ColoursIn(bitmap, {44, 10, 50, 30}), std::set<TColor>{kShadowFill});
    }
  }
  TVisBorderRegion unbuilt;
  unbuilt.Shadow().SetStyle(TVisShadowStyle::hssSolid);
  TBitmap bitmap;
  pixels::Prepare(bitmap, 30, 30, kWhite);
  unbuilt.Border().SetStyle(TVisRegionBorderStyle::rbNone);
  unbuilt.PaintBorder(bitmap.Canvas(), {0, 0, 30, 30});
  EXPECT_EQ(pixels::ChangedOutside(bitmap, {0, 0, 0, 0}, kWhite), 0);
}

// Point-list edges take their colour from their direction; without points nothing is drawn.
TEST(RegionPaint, PointListEdges) {
  testing_support::InitWindows();
  TVisBorderRegion region;
  Colours(region);
  region.Border().SetStyle(TVisRegionBorderStyle::rbRaised);
  region.SetShape(TVisRegionShape::rsPointList);
  TBitmap bitmap;
  pixels::Prepare(bitmap, 80, 60, kWhite);
  region.PaintBorder(bitmap.Canvas(), {0, 0, 80, 60});
  EXPECT_EQ(pixels::ChangedOutside(bitmap, {0, 0, 0, 0}, kWhite), 0);
  // To the right along the top, down to the left, and straight up.
  for (controls::TVisPoint p : {controls::TVisPoint{10, 10}, {70, 10}, {10, 50}}) region.Points().AddPoint(p);
  region.PaintBorder(bitmap.Canvas(), {0, 0, 80, 60});
  EXPECT_EQ(ColoursIn(bitmap, {30, 8, 50, 12}), std::set<TColor>{kLight});
  EXPECT_EQ(ColoursIn(bitmap, {8, 25, 12, 35}), std::set<TColor>{kLight});
  EXPECT_EQ(ColoursIn(bitmap, {38, 28, 42, 32}), std::set<TColor>{kShadow});
}

// The nose's base stays open in the body's outline, and the canvas gets its clip region back.
TEST(RegionPaint, NoseBaseStaysOpen) {
  testing_support::InitWindows();
  TVisBorderRegion region;
  Colours(region);
  region.SetShape(TVisRegionShape::rsNoseRect);
  region.SetExtPos(controls::TVisExtPos::epTopLeft);
  TBitmap bitmap;
  pixels::Prepare(bitmap, 100, 60, kWhite);
  region.BuildRegion({0, 0, 100, 60});
  region.PaintBorder(bitmap.Canvas(), {0, 0, 100, 60});
  // The body's top edge lies at y 10; the base runs from x 15 to 29.
  EXPECT_EQ(ColoursIn(bitmap, {18, 8, 26, 13}), std::set<TColor>{});
  EXPECT_EQ(ColoursIn(bitmap, {50, 8, 60, 13}), std::set<TColor>{kSingle});
  const RECT clip = pixels::ClipRegionBox(bitmap.Canvas().Handle());
  EXPECT_TRUE(IsRectEmpty(&clip)) << "no clip region left behind";
}

// Every shape paints within its rectangle, in the style's colours, for every style.
TEST(RegionPaint, EveryShapeAndStyle) {
  testing_support::InitWindows();
  for (int shape = 0; shape <= static_cast<int>(TVisRegionShape::rsPointList); ++shape) {
    for (int style = 0; style <= static_cast<int>(TVisRegionBorderStyle::rbLoweredpsb); ++style) {
      SCOPED_TRACE(testing::Message() << "shape " << shape << " style " << style);
      TVisBorderRegion region;
      Colours(region);
      region.SetShape(static_cast<TVisRegionShape>(shape));
      region.Border().SetStyle(static_cast<TVisRegionBorderStyle>(style));
      TBitmap bitmap;
      pixels::Prepare(bitmap, 140, 100, kWhite);
      region.BuildRegion({10, 10, 130, 90});
      region.PaintBorder(bitmap.Canvas(), {10, 10, 130, 90});
      const std::set<TColor> used = ColoursIn(bitmap, {0, 0, 140, 100});
      for (TColor c : used) EXPECT_TRUE(c == kLight || c == kShadow || c == kSingle) << std::hex << c;
      const bool outlined = style != 0 && shape != static_cast<int>(TVisRegionShape::rsBitmap) &&
                            shape != static_cast<int>(TVisRegionShape::rsUserRegion) &&
                            shape != static_cast<int>(TVisRegionShape::rsPointList);
      EXPECT_EQ(!used.empty(), outlined);
      EXPECT_EQ(pixels::ChangedOutside(bitmap, {8, 8, 132, 92}, kWhite), 0) << "within the rectangle";
    }
  }
}
