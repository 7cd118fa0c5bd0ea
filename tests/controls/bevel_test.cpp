#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "controls/panels/vis_bevel.h"
#include "tests/controls/pixels.h"
#include "tests/support/window_test.h"

using namespace controls;
using classlib::TBitmap;
using classlib::TColor;
using pixels::Text;

namespace {

constexpr TColor kPaper = 0x563412, kBorder = 0x996633, kLight = 0x00FF00, kShadow = 0x0000FF;
constexpr TVisBevelStyle kStyles[] = {TVisBevelStyle::bvNone,        TVisBevelStyle::bvLowered,
                                      TVisBevelStyle::bvRaised,      TVisBevelStyle::bvFrameLowered,
                                      TVisBevelStyle::bvFrameRaised, TVisBevelStyle::bvNormal,
                                      TVisBevelStyle::bvShadow};

class Bevels : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::InitWindows();
    bevel.SetBorderColor(kBorder);
    bevel.SetLightColor(kLight);
    bevel.SetShadowColor(kShadow);
  }
  TVisBevel bevel;
};

std::string Describe(const TVisBevel& b) {
  return "mode " + std::to_string(static_cast<int>(b.Mode())) + " outer " +
         std::to_string(static_cast<int>(b.StyleOuter())) + "/" + std::to_string(b.WidthOuter()) + " inner " +
         std::to_string(static_cast<int>(b.StyleInner())) + "/" + std::to_string(b.WidthInner()) + " border " +
         std::to_string(b.BorderWidth()) + "+" + std::to_string(b.BorderInnerWidth()) + " standard " +
         std::to_string(static_cast<int>(b.StandardStyle())) + " edge " +
         std::to_string(static_cast<int>(b.EdgeStyle())) + " sides " + std::to_string(b.BorderSides()) +
         " client edge " + std::to_string(b.ClientEdgeSupported());
}

// Paints the bevel into a rectangle with a margin around it and checks that the frame stays between
// the rectangle's edge and the inner rectangle, which lies the extents inside.
void CheckFrame(const TVisBevel& b, bool transparent) {
  SCOPED_TRACE(Describe(b) + (transparent ? " transparent" : ""));
  TBitmap bitmap;
  pixels::Prepare(bitmap, 44, 34, kPaper);
  const RECT rect = {2, 2, 42, 32};
  RECT inner = {};
  b.PaintFrame(bitmap.Canvas(), rect, inner, transparent);
  GdiFlush();
  const RECT expected = {rect.left + b.Extent(), rect.top + b.Extent(), rect.right - b.ExtentRightBottom(),
                         rect.bottom - b.ExtentRightBottom()};
  EXPECT_EQ(Text(inner), Text(expected));
  EXPECT_EQ(Text(b.InnerRect(rect)), Text(expected));
  EXPECT_EQ(pixels::ChangedOutside(bitmap, rect, kPaper), 0) << "painted outside the rectangle";
  int paintedInside = 0;
  for (int y = inner.top; y < inner.bottom; ++y)
    for (int x = inner.left; x < inner.right; ++x) paintedInside += bitmap.Pixel(x, y) != kPaper;
  EXPECT_EQ(paintedInside, 0) << "painted inside " << Text(inner);
  if (b.Extent() == 0 && b.ExtentRightBottom() == 0) {
    EXPECT_EQ(pixels::ChangedOutside(bitmap, {}, kPaper), 0) << "an empty frame paints nothing";
  }
}

}  // namespace

TEST_F(Bevels, ExtentsOfEachMode) {
  const struct {
    const char* what;
    std::function<void(TVisBevel&)> set;
    int extent;
    int extentRightBottom;
  } cases[] = {
      {"default, whatever the widths", [](TVisBevel& b) { b.SetWidthOuter(5), b.SetWidthInner(3); }, 0, 0},
      {"product ring", [](TVisBevel& b) { b.SetBorderWidth(1); }, 1, 1},
      {"progress bar frame",
       [](TVisBevel& b) {
         b.SetStyleOuter(TVisBevelStyle::bvLowered), b.SetWidthOuter(0), b.SetWidthInner(0), b.SetBorderWidth(1);
       },
       1, 1},
      {"frame style outer, width 2", [](TVisBevel& b) { b.SetStyleOuter(TVisBevelStyle::bvFrameLowered), b.SetWidthOuter(2); },
       3, 3},
      {"raised inner with rings",
       [](TVisBevel& b) {
         b.SetStyleInner(TVisBevelStyle::bvRaised), b.SetWidthInner(2), b.SetBorderWidth(1), b.SetBorderInnerWidth(1);
       },
       4, 4},
      {"shadow",
       [](TVisBevel& b) {
         b.SetStyleOuter(TVisBevelStyle::bvShadow), b.SetWidthInner(1), b.SetWidthOuter(3), b.SetBorderInnerWidth(1);
       },
       2, 5},
      {"standard double", [](TVisBevel& b) { b.SetMode(TVisBevelMode::bmStandard), b.SetStandardStyle(TVisBorderStyle::lsDoubleLowered); },
       2, 2},
      {"standard single, inner ring",
       [](TVisBevel& b) {
         b.SetMode(TVisBevelMode::bmStandard), b.SetStandardStyle(TVisBorderStyle::lsSingle), b.SetBorderInnerWidth(1);
       },
       2, 2},
      {"edge", [](TVisBevel& b) { b.SetMode(TVisBevelMode::bmEdge); }, 2, 2},
      {"edge without sides", [](TVisBevel& b) { b.SetMode(TVisBevelMode::bmEdge), b.SetBorderSides(0), b.SetBorderInnerWidth(1); },
       1, 1},
      {"windows on a meter", [](TVisBevel& b) { b.SetMode(TVisBevelMode::bmWindows), b.SetBorderInnerWidth(1); }, 3, 3},
      {"windows on a panel: the client edge and the inner rings",
       [](TVisBevel& b) {
         b.SetClientEdgeSupported(true), b.SetMode(TVisBevelMode::bmWindows), b.SetBorderInnerWidth(1);
       },
       1, 1},
  };
  for (const auto& c : cases) {
    TVisBevel b;
    c.set(b);
    EXPECT_EQ(b.Extent(), c.extent) << c.what;
    EXPECT_EQ(b.ExtentRightBottom(), c.extentRightBottom) << c.what;
  }
}

TEST_F(Bevels, ShadowIsAStyleOfBothSides) {
  bevel.SetStyleInner(TVisBevelStyle::bvRaised);
  bevel.SetStyleInner(TVisBevelStyle::bvShadow);
  EXPECT_EQ(bevel.StyleOuter(), TVisBevelStyle::bvShadow);
  bevel.SetStyleOuter(TVisBevelStyle::bvLowered);
  EXPECT_EQ(bevel.StyleInner(), TVisBevelStyle::bvNone);
  bevel.SetStyleOuter(TVisBevelStyle::bvShadow);
  bevel.SetStyleInner(TVisBevelStyle::bvRaised);
  EXPECT_EQ(bevel.StyleOuter(), TVisBevelStyle::bvNone);
}

TEST_F(Bevels, ChangesReachTheOwnerOnceEachAndTheStandardStyleOnlyWhereItIsDrawn) {
  int changes = 0;
  bevel.OnChange = [&](classlib::TObject*) { ++changes; };
  bevel.SetBorderWidth(1);
  bevel.SetBorderWidth(1);
  bevel.SetStandardStyle(TVisBorderStyle::lsRaised);
  EXPECT_EQ(changes, 1);
  bevel.SetMode(TVisBevelMode::bmStandard);
  EXPECT_EQ(bevel.Extent(), 2) << "the style stored while another mode was on counts";
  bevel.SetStandardStyle(TVisBorderStyle::lsSingle);
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(bevel.Extent(), 1);

  TVisBevel copy;
  int copies = 0;
  copy.OnChange = [&](classlib::TObject*) { ++copies; };
  copy.Assign(bevel);
  EXPECT_EQ(copies, 1);
  EXPECT_EQ(copy.Extent(), bevel.Extent());
  EXPECT_EQ(copy.BorderColor(), kBorder);
  EXPECT_EQ(copy.DesignText(), "{Standard style}");
}

TEST_F(Bevels, SwitchingTheClientEdgeAsksForANewWindow) {
  EXPECT_FALSE(bevel.TakeRecreateNeeded());
  bevel.SetMode(TVisBevelMode::bmWindows);
  EXPECT_FALSE(bevel.TakeRecreateNeeded()) << "no window edge to switch";
  bevel.SetClientEdgeSupported(true);
  bevel.SetMode(TVisBevelMode::bmCustom);
  EXPECT_TRUE(bevel.TakeRecreateNeeded());
  EXPECT_FALSE(bevel.TakeRecreateNeeded());
  bevel.SetMode(TVisBevelMode::bmWindows);
  EXPECT_TRUE(bevel.TakeRecreateNeeded());
  EXPECT_TRUE(bevel.TakeRecreateNeeded()) << "the edge is the window's as long as the mode holds";
}

TEST_F(Bevels, EveryCustomFrameEndsAtItsInnerRectangle) {
  for (TVisBevelStyle outer : kStyles)
    for (TVisBevelStyle inner : kStyles) {
      // Shadow is set on both sides or on none.
      if ((outer == TVisBevelStyle::bvShadow) != (inner == TVisBevelStyle::bvShadow)) continue;
      for (int widthOuter : {0, 1, 3})
        for (int widthInner : {0, 1, 2})
          for (int border : {0, 2})
            for (int innerBorder : {0, 1}) {
              TVisBevel b;
              b.SetColor(0, kBorder), b.SetColor(1, kLight), b.SetColor(2, kShadow);
              b.SetStyleOuter(outer);
              b.SetStyleInner(inner);
              b.SetWidthOuter(static_cast<TVisBevelWidth>(widthOuter));
              b.SetWidthInner(static_cast<TVisBevelWidth>(widthInner));
              b.SetBorderWidth(static_cast<TVisBorderWidth>(border));
              b.SetBorderInnerWidth(static_cast<TVisBorderWidth>(innerBorder));
              for (bool transparent : {false, true}) CheckFrame(b, transparent);
            }
    }
}

TEST_F(Bevels, EveryStandardEdgeAndWindowsFrameEndsAtItsInnerRectangle) {
  for (int innerBorder : {0, 2}) {
    TVisBevel b;
    b.SetBorderColor(kBorder);
    b.SetBorderInnerWidth(static_cast<TVisBorderWidth>(innerBorder));
    b.SetMode(TVisBevelMode::bmStandard);
    for (int style = 0; style <= static_cast<int>(TVisBorderStyle::lsDoubleLowered); ++style) {
      b.SetStandardStyle(static_cast<TVisBorderStyle>(style));
      CheckFrame(b, false);
    }
    b.SetMode(TVisBevelMode::bmEdge);
    for (int edge = 0; edge <= static_cast<int>(TVisEdgeStyle::etSunken); ++edge)
      for (int sides = 0; sides <= kAllFrameSides; ++sides) {
        b.SetEdgeStyle(static_cast<TVisEdgeStyle>(edge));
        b.SetBorderSides(static_cast<TVisFrameSides>(sides));
        CheckFrame(b, false);
      }
    b.SetMode(TVisBevelMode::bmWindows);
    for (bool clientEdge : {false, true}) {
      b.SetClientEdgeSupported(clientEdge);
      CheckFrame(b, false);
    }
  }
}

TEST_F(Bevels, TheProductsRingAndTheProgressBarsFrame) {
  const std::map<TColor, char> legend = {{kPaper, '.'}, {kBorder, 'B'}};
  const std::vector<std::string> ring = {"......", ".BBBB.", ".B..B.", ".B..B.", ".BBBB.", "......"};
  for (bool progressBar : {false, true}) {
    TVisBevel b;
    b.SetBorderColor(kBorder);
    b.SetBorderWidth(1);
    if (progressBar) {
      b.SetStyleOuter(TVisBevelStyle::bvLowered);
      b.SetWidthOuter(0);
      b.SetWidthInner(0);
    }
    TBitmap bitmap;
    pixels::Prepare(bitmap, 6, 6, kPaper);
    RECT inner;
    b.PaintFrame(bitmap.Canvas(), {1, 1, 5, 5}, inner, false);
    GdiFlush();
    EXPECT_EQ(pixels::Picture(bitmap, legend), ring) << progressBar;
    EXPECT_EQ(Text(inner), "2,2,4,4");
  }
}

TEST_F(Bevels, TheClientEdgeLeavesTheInnerRingsToTheFrame) {
  bevel.SetClientEdgeSupported(true);
  bevel.SetMode(TVisBevelMode::bmWindows);
  bevel.SetBorderInnerWidth(1);
  TBitmap bitmap;
  pixels::Prepare(bitmap, 6, 6, kPaper);
  RECT inner;
  bevel.PaintFrame(bitmap.Canvas(), {1, 1, 5, 5}, inner, false);
  GdiFlush();
  EXPECT_EQ(pixels::Picture(bitmap, {{kPaper, '.'}, {kBorder, 'B'}}),
            (std::vector<std::string>{"......", ".BBBB.", ".B..B.", ".B..B.", ".BBBB.", "......"}));
}
