#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "controls/panels/vis_draw.h"
#include "tests/controls/pixels.h"
#include "tests/support/window_test.h"

using namespace controls;
using classlib::TBitmap;
using classlib::TColor;
using pixels::MakePattern;
using pixels::PatternAt;
using pixels::Text;
using Rows = std::vector<std::string>;

namespace {

constexpr TColor kPaper = 0x563412, kLight = 0x00FF00, kShadow = 0x0000FF, kCorner = 0xFF0000, kBlack = 0;

class Drawing : public ::testing::Test {
 protected:
  void SetUp() override { testing_support::InitWindows(); }
};

// A row of pixels in the given colours.
void MakeRow(TBitmap& bitmap, const std::vector<TColor>& colors) {
  bitmap.SetSize(static_cast<int>(colors.size()), 1);
  for (size_t x = 0; x < colors.size(); ++x) bitmap.Canvas().SetPixel(static_cast<int>(x), 0, colors[x]);
}

}  // namespace

TEST_F(Drawing, BevelBandsOfWidthOneAndTwo) {
  const struct {
    TVisBevelStyle style;
    int width;
    Rows picture;
    RECT inside;
  } cases[] = {
      {TVisBevelStyle::bvLowered, 1,
       {"..........", ".SSSSSSSL.", ".S......L.", ".S......L.", ".S......L.", ".S......L.", ".SLLLLLLL.", ".........."},
       {2, 2, 8, 6}},
      {TVisBevelStyle::bvLowered, 2,
       {"..........", ".SSSSSSSL.", ".SSSSSSLL.", ".SS....LL.", ".SS....LL.", ".SSLLLLLL.", ".SLLLLLLL.", ".........."},
       {3, 3, 7, 5}},
      {TVisBevelStyle::bvRaised, 2,
       {"..........", ".LLLLLLLS.", ".LLLLLLSS.", ".LL....SS.", ".LL....SS.", ".LLSSSSSS.", ".LSSSSSSS.", ".........."},
       {3, 3, 7, 5}},
      {TVisBevelStyle::bvNormal, 1,
       {"..........", ".KKKKKKKK.", ".K......K.", ".K......K.", ".K......K.", ".K......K.", ".KKKKKKKK.", ".........."},
       {2, 2, 8, 6}},
      {TVisBevelStyle::bvFrameLowered, 1,
       {"..........", ".SSSSSSS..", ".SLLLLLSL.", ".SL....SL.", ".SL....SL.", ".SSSSSSSL.", "..LLLLLLL.", ".........."},
       {3, 3, 7, 5}},
      {TVisBevelStyle::bvFrameRaised, 1,
       {"..........", ".LLLLLLL..", ".LSSSSSLS.", ".LS....LS.", ".LS....LS.", ".LLLLLLLS.", "..SSSSSSS.", ".........."},
       {3, 3, 7, 5}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.style) * 10 + c.width);
    TBitmap b;
    pixels::Prepare(b, 10, 8, kPaper);
    RECT r = {1, 1, 9, 7};
    EXPECT_TRUE(DrawBevelBand(b.Canvas(), r, c.style, kLight, kShadow, c.width));
    EXPECT_EQ(pixels::Picture(b, {{kPaper, '.'}, {kLight, 'L'}, {kShadow, 'S'}, {kBlack, 'K'}}), c.picture);
    EXPECT_EQ(Text(r), Text(c.inside));
  }
}

TEST_F(Drawing, NoBevelBandLeavesTheRectangle) {
  for (auto [style, width] : {std::pair{TVisBevelStyle::bvLowered, 0}, {TVisBevelStyle::bvNone, 2}, {TVisBevelStyle::bvShadow, 2}}) {
    TBitmap b;
    pixels::Prepare(b, 10, 8, kPaper);
    RECT r = {1, 1, 9, 7};
    EXPECT_FALSE(DrawBevelBand(b.Canvas(), r, style, kLight, kShadow, width));
    EXPECT_EQ(Text(r), "1,1,9,7");
    EXPECT_EQ(pixels::ChangedOutside(b, {0, 0, 0, 0}, kPaper), 0);
  }
}

TEST_F(Drawing, ShadowFrame) {
  const Rows withCorners = {"..........", ".FFFFFFCC.", ".F....FCC.", ".F....FSS.", ".F....FSS.",
                            ".FFFFFFSS.", ".CCSSSSSS.", ".CCSSSSSS.", ".........."};
  Rows withoutCorners = withCorners;
  for (auto& row : withoutCorners)
    for (char& p : row)
      if (p == 'C') p = '.';
  for (bool noCorners : {false, true}) {
    TBitmap b;
    pixels::Prepare(b, 10, 9, kPaper);
    RECT r = {1, 1, 9, 8};
    EXPECT_TRUE(DrawShadowFrame(b.Canvas(), r, kLight, kCorner, kShadow, 2, 1, noCorners));
    EXPECT_EQ(pixels::Picture(b, {{kPaper, '.'}, {kLight, 'F'}, {kShadow, 'S'}, {kCorner, 'C'}}),
              noCorners ? withoutCorners : withCorners);
    EXPECT_EQ(Text(r), "2,2,6,5");
  }
}

// Where the Part's rule follows the system's edges with BF_ADJUST, a side shrinks by the edges
// drawn on it; lsSingle draws its right and bottom edge without adjusting, and the Ext and window
// styles step over a side by hand.
TEST_F(Drawing, BorderStylesShrinkBySide) {
  const struct {
    TVisBorderStyle style;
    RECT shrink;
    int width;
  } cases[] = {
      {TVisBorderStyle::lsNone, {0, 0, 0, 0}, 0},          {TVisBorderStyle::lsSingle, {1, 1, 0, 0}, 1},
      {TVisBorderStyle::lsLowered, {2, 2, 2, 2}, 2},       {TVisBorderStyle::lsRaised, {2, 2, 2, 2}, 2},
      {TVisBorderStyle::lsRaisedspb, {1, 1, 2, 2}, 2},     {TVisBorderStyle::lsLoweredspb, {2, 2, 1, 1}, 2},
      {TVisBorderStyle::lsRaisedExt, {2, 2, 2, 2}, 2},     {TVisBorderStyle::lsLoweredExt, {2, 2, 2, 2}, 2},
      {TVisBorderStyle::lsFrameInset, {2, 2, 2, 2}, 2},    {TVisBorderStyle::lsFrameOffset, {2, 2, 2, 2}, 2},
      {TVisBorderStyle::lsWindowBorder, {2, 2, 2, 2}, 2},  {TVisBorderStyle::lsSingleRaised, {1, 1, 1, 1}, 1},
      {TVisBorderStyle::lsSingleLowered, {1, 1, 1, 1}, 1}, {TVisBorderStyle::lsDoubleRaised, {2, 2, 2, 2}, 2},
      {TVisBorderStyle::lsDoubleLowered, {2, 2, 2, 2}, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.style));
    EXPECT_EQ(BorderStyleWidth(c.style), c.width);
    TBitmap b;
    pixels::Prepare(b, 24, 20, kPaper);
    const RECT outer = {2, 2, 22, 18};
    RECT r = outer;
    EXPECT_TRUE(DrawBorderStyle(b.Canvas(), r, c.style, 0));
    EXPECT_EQ(Text(r), Text({outer.left + c.shrink.left, outer.top + c.shrink.top, outer.right - c.shrink.right,
                             outer.bottom - c.shrink.bottom}));
    EXPECT_EQ(pixels::ChangedOutside(b, outer, kPaper), 0);
    if (c.style == TVisBorderStyle::lsSingle) continue;
    // The edges lie outside what is left.
    TBitmap inside;
    inside.SetSize(r.right - r.left, r.bottom - r.top);
    BitBlt(inside.Canvas().Handle(), 0, 0, inside.Width(), inside.Height(), b.Canvas().Handle(), r.left, r.top, SRCCOPY);
    EXPECT_EQ(pixels::ChangedOutside(inside, {0, 0, 0, 0}, kPaper), 0);
  }
}

TEST_F(Drawing, ArrowGlyphs) {
  const TColor gray = GetSysColor(COLOR_GRAYTEXT), highlight = GetSysColor(COLOR_HIGHLIGHTTEXT);
  const struct {
    bool enabled, down;
    int size;
    Rows picture;
  } cases[] = {
      {true, true, 3, {"........", "..AAAAA.", "...AAA..", "....A...", "........", "........"}},
      {true, false, 3, {"........", "...A....", "..AAA...", ".AAAAA..", "........", "........"}},
      {true, true, 2, {"........", "..AAA...", "...A....", "........", "........", "........"}},
      {false, true, 3, {"........", "..GGGGG.", "...GGGHH", "....GHH.", ".....H..", "........"}},
      {true, true, 1, {"........", "........", "........", "........", "........", "........"}},
      {true, true, 16, {"........", "........", "........", "........", "........", "........"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    TBitmap b;
    pixels::Prepare(b, 8, 6, kPaper);
    DrawArrowGlyph(b.Canvas(), 2, 1, c.enabled, c.down, kLight, c.size);
    EXPECT_EQ(pixels::Picture(b, {{kPaper, '.'}, {kLight, 'A'}, {gray, 'G'}, {highlight, 'H'}}), c.picture);
  }
}

TEST_F(Drawing, AlignRectPlacesBySize) {
  const RECT target = {20, 30, 60, 50};  // 40 x 20
  const RECT small = {0, 0, 10, 6}, large = {5, 5, 55, 35};
  const struct {
    TVisAlignment alignment;
    RECT small, large;
  } cases[] = {
      {TVisAlignment::agTopLeft, {20, 30, 30, 36}, {20, 30, 70, 60}},
      {TVisAlignment::agTopCenter, {35, 30, 45, 36}, {15, 30, 65, 60}},
      {TVisAlignment::agTopRight, {50, 30, 60, 36}, {10, 30, 60, 60}},
      {TVisAlignment::agCenterLeft, {20, 37, 30, 43}, {20, 25, 70, 55}},
      {TVisAlignment::agCenter, {35, 37, 45, 43}, {15, 25, 65, 55}},
      {TVisAlignment::agCenterRight, {50, 37, 60, 43}, {10, 25, 60, 55}},
      {TVisAlignment::agBottomLeft, {20, 44, 30, 50}, {20, 20, 70, 50}},
      {TVisAlignment::agBottomCenter, {35, 44, 45, 50}, {15, 20, 65, 50}},
      {TVisAlignment::agBottomRight, {50, 44, 60, 50}, {10, 20, 60, 50}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.alignment));
    RECT r;
    AlignRect(c.alignment, small, target, r);
    EXPECT_EQ(Text(r), Text(c.small));
    AlignRect(c.alignment, large, target, r);
    EXPECT_EQ(Text(r), Text(c.large));
  }
}

TEST_F(Drawing, FillBitmapRectSizesAndFills) {
  TBitmap b;
  FillBitmapRect(b, {3, 4, 10, 9}, classlib::clBtnFace);
  EXPECT_EQ(b.Width(), 7);
  EXPECT_EQ(b.Height(), 5);
  EXPECT_EQ(pixels::ChangedOutside(b, {0, 0, 0, 0}, GetSysColor(COLOR_BTNFACE)), 0);
}

TEST_F(Drawing, TilesEndAtTheRectangle) {
  TBitmap picture;
  MakePattern(picture, 10);
  for (RECT rect : {RECT{5, 5, 30, 30}, RECT{5, 5, 25, 25}}) {
    SCOPED_TRACE(Text(rect));
    TBitmap b;
    pixels::Prepare(b, 40, 40, kPaper);
    RECT drawn;
    EXPECT_TRUE(DrawBitmapEx(b.Canvas(), rect, picture, kPaper, kBitmapTile, drawn));
    EXPECT_EQ(Text(drawn), Text(rect));
    EXPECT_EQ(pixels::ChangedOutside(b, rect, kPaper), 0);
    int wrong = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
      for (int x = rect.left; x < rect.right; ++x)
        if (b.Pixel(x, y) != PatternAt((x - rect.left) % 10, (y - rect.top) % 10)) ++wrong;
    EXPECT_EQ(wrong, 0);
  }
}

TEST_F(Drawing, EmptyBitmapDrawsNothing) {
  TBitmap empty;
  for (unsigned flags : {kBitmapTile, kBitmapStretch, kBitmapStretch | kBitmapProportional, kBitmapCenter, 0u}) {
    TBitmap b;
    pixels::Prepare(b, 20, 20, kPaper);
    RECT drawn;
    EXPECT_FALSE(DrawBitmapEx(b.Canvas(), {2, 2, 18, 18}, empty, kLight, flags | kBitmapTransparent, drawn));
    EXPECT_EQ(pixels::ChangedOutside(b, {0, 0, 0, 0}, kPaper), 0);
  }
}

TEST_F(Drawing, PlacementAndStretching) {
  // 10 x 5: left half light, right half shadow.
  TBitmap halves;
  halves.SetSize(10, 5);
  halves.Canvas().Brush().SetColor(kLight);
  halves.Canvas().FillRect({0, 0, 5, 5});
  halves.Canvas().Brush().SetColor(kShadow);
  halves.Canvas().FillRect({5, 0, 10, 5});
  const struct {
    unsigned flags;
    RECT rect, drawn;
  } cases[] = {
      {0, {4, 4, 40, 40}, {4, 4, 14, 9}},
      {kBitmapCenter, {4, 4, 40, 40}, {17, 19, 27, 24}},
      {kBitmapCenter, {4, 4, 10, 8}, {2, 4, 12, 9}},  // larger than the rectangle
      {kBitmapStretch, {0, 0, 40, 40}, {0, 0, 40, 40}},
      {kBitmapStretch | kBitmapProportional, {0, 0, 40, 40}, {0, 0, 40, 20}},
      {kBitmapStretch | kBitmapHeightFollows, {0, 0, 12, 40}, {0, 0, 12, 6}},
      {kBitmapStretch | kBitmapHeightFollows, {0, 0, 9, 40}, {0, 0, 9, 4}},  // 4.5 rounds to even
      {kBitmapStretch | kBitmapWidthFollows, {0, 0, 40, 20}, {0, 0, 40, 20}},
      {kBitmapStretch | kBitmapWidthFollows, {0, 0, 30, 9}, {0, 0, 18, 9}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.flags) + " " + Text(c.rect));
    TBitmap b;
    pixels::Prepare(b, 48, 48, kPaper);
    const int oldMode = SetStretchBltMode(b.Canvas().Handle(), HALFTONE);
    RECT drawn;
    EXPECT_TRUE(DrawBitmapEx(b.Canvas(), c.rect, halves, kPaper, c.flags, drawn));
    EXPECT_EQ(Text(drawn), Text(c.drawn));
    EXPECT_EQ(pixels::ChangedOutside(b, drawn, kPaper), 0);
    EXPECT_EQ(b.Pixel(drawn.left, drawn.top), kLight);
    EXPECT_EQ(b.Pixel(drawn.right - 1, drawn.bottom - 1), kShadow);
    EXPECT_EQ(SetStretchBltMode(b.Canvas().Handle(), oldMode), HALFTONE);
  }
}

TEST_F(Drawing, ClippedToTheRectangleAndClipRestored) {
  TBitmap picture;
  MakePattern(picture, 10);
  TBitmap b;
  pixels::Prepare(b, 30, 30, kPaper);
  HDC dc = b.Canvas().Handle();
  HRGN callers = CreateRectRgn(0, 0, 28, 28);
  SelectClipRgn(dc, callers);
  DeleteObject(callers);
  RECT drawn;
  // Centred, the 10 x 10 picture reaches out of the 4 x 4 rectangle on every side.
  DrawBitmapEx(b.Canvas(), {10, 10, 14, 14}, picture, kPaper, kBitmapCenter | kBitmapClip, drawn);
  EXPECT_EQ(Text(drawn), "7,7,17,17");
  EXPECT_EQ(pixels::ChangedOutside(b, {10, 10, 14, 14}, kPaper), 0);
  EXPECT_EQ(b.Pixel(10, 10), PatternAt(3, 3));
  EXPECT_EQ(Text(pixels::ClipRegionBox(dc)), "0,0,28,28");
  // Shifted by (-8, +2) as signed halves of the offset.
  pixels::Prepare(b, 30, 30, kPaper);
  DrawBitmapEx(b.Canvas(), {10, 10, 20, 20}, picture, kPaper, kBitmapClip, drawn, nullptr, nullptr,
               (0xFFFFu & static_cast<unsigned>(-8)) | (2u << 16));
  EXPECT_EQ(pixels::ChangedOutside(b, {10, 12, 12, 20}, kPaper), 0);
  EXPECT_EQ(b.Pixel(11, 12), PatternAt(1, 2));
}

TEST_F(Drawing, TransparentCopies) {
  constexpr TColor key = 0x808000, fillColor = kCorner;
  const std::map<TColor, char> legend = {{kPaper, '.'}, {kLight, 'L'}, {kShadow, 'S'}, {fillColor, 'F'}};
  TBitmap picture;
  MakeRow(picture, {key, kLight, key, kShadow});
  TBitmap b;
  RECT drawn;

  pixels::Prepare(b, 4, 1, kPaper);
  DrawBitmapEx(b.Canvas(), {0, 0, 4, 1}, picture, key, kBitmapTransparent, drawn);
  EXPECT_EQ(pixels::Picture(b, legend), Rows{".L.S"});

  // The picture's own transparent colour is its bottom-left pixel; those pixels show Color.
  pixels::Prepare(b, 4, 1, kPaper);
  DrawBitmapEx(b.Canvas(), {0, 0, 4, 1}, picture, fillColor, kBitmapBrushCopy, drawn);
  EXPECT_EQ(pixels::Picture(b, legend), Rows{"FLFS"});

  TBitmap image, mask;
  MakeRow(image, {kBlack, kLight, kBlack, kShadow});
  MakeRow(mask, {0xFFFFFF, kBlack, 0xFFFFFF, kBlack});
  pixels::Prepare(b, 8, 2, kPaper);
  const COLORREF back = SetBkColor(b.Canvas().Handle(), kLight), text = SetTextColor(b.Canvas().Handle(), kShadow);
  DrawBitmapEx(b.Canvas(), {0, 0, 8, 2}, image, kPaper, kBitmapMasked | kBitmapTile, drawn, &mask);
  EXPECT_EQ(pixels::Picture(b, legend), (Rows{".L.S.L.S", ".L.S.L.S"}));
  EXPECT_EQ(GetBkColor(b.Canvas().Handle()), kLight);
  EXPECT_EQ(GetTextColor(b.Canvas().Handle()), kShadow);
  SetBkColor(b.Canvas().Handle(), back);
  SetTextColor(b.Canvas().Handle(), text);
}

TEST_F(Drawing, TransparentMaskLeavesItsSourceIntact) {
  constexpr TColor key = 0x808000;
  TBitmap picture, mask, work;
  MakeRow(picture, {key, kLight, key, kShadow});
  MakeTransparentMask(picture.Canvas(), {0, 0, 4, 1}, mask, key, work);
  const std::map<TColor, char> legend = {{key, 'k'}, {kLight, 'L'}, {kShadow, 'S'}, {0xFFFFFF, 'W'}, {kBlack, 'B'}};
  EXPECT_EQ(pixels::Picture(picture, legend), Rows{"kLkS"});
  EXPECT_EQ(pixels::Picture(mask, legend), Rows{"WBWB"});
  EXPECT_EQ(pixels::Picture(work, legend), Rows{"BLBS"});
}
