#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "controls/panels/vis_fill.h"
#include "controls/panels/vis_system.h"
#include "tests/controls/pixels.h"
#include "tests/support/window_test.h"

using namespace controls;
using classlib::TBitmap;
using classlib::TColor;
using pixels::MakePattern;
using pixels::PatternAt;

namespace {

constexpr TColor kPaper = 0x563412, kColor = 0x00FFFF, kLine = 0x0000FF;

class Fills : public ::testing::Test {
 protected:
  void SetUp() override { testing_support::InitWindows(); }
};

}  // namespace

TEST_F(Fills, NewObjectsAndTheirTexts) {
  TVisShapeFill shape;
  EXPECT_EQ(shape.Style(), TVisFillStyle::sfBrush);
  EXPECT_EQ(shape.TileMode(), TVisTileMode::tmTile);

  TVisFillObject fill;
  EXPECT_EQ(fill.Style(), TVisFillStyle::sfNone);
  EXPECT_EQ(fill.Options(), foFillInner | foGrUseBitmap);
  EXPECT_EQ(fill.Alignment(), TVisAlignment::agTopLeft);
  TBitmap b;
  pixels::Prepare(b, 10, 10, kPaper);
  EXPECT_FALSE(fill.Fill(b.Canvas(), {0, 0, 10, 10}, kColor));
  EXPECT_EQ(pixels::ChangedOutside(b, {0, 0, 0, 0}, kPaper), 0);

  const char* texts[] = {"{Disabled}", "{}", "{Brush}", "{Bitmap}", "{BitmapList}", "{Gradient}"};
  for (int style = 0; style < 6; ++style) {
    fill.SetStyle(static_cast<TVisFillStyle>(style));
    EXPECT_EQ(fill.DesignText(), texts[style]);
  }
}

TEST_F(Fills, PlacementNotifiesOnlyWhereItMatters) {
  const struct {
    TVisFillStyle style;
    TVisTileMode mode;
    bool notifies;
  } cases[] = {
      {TVisFillStyle::sfBitmap, TVisTileMode::tmNone, true},
      {TVisFillStyle::sfBitmapList, TVisTileMode::tmNone, true},
      {TVisFillStyle::sfBitmap, TVisTileMode::tmTile, false},
      {TVisFillStyle::sfBitmap, TVisTileMode::tmCenter, false},
      {TVisFillStyle::sfGradient, TVisTileMode::tmNone, false},
  };
  for (const auto& c : cases) {
    TVisFillObject fill;
    fill.SetStyle(c.style);
    fill.SetTileMode(c.mode);
    int changes = 0;
    fill.OnChange = [&](classlib::TObject*) { ++changes; };
    fill.SetOffsetX(4);
    fill.SetOffsetY(-2);
    fill.SetAlignment(TVisAlignment::agBottomRight);
    fill.SetOffsetX(4);
    EXPECT_EQ(changes, c.notifies ? 3 : 0);
    EXPECT_EQ(fill.OffsetX(), 4);
    EXPECT_EQ(fill.OffsetY(), -2);
  }
}

TEST_F(Fills, InnerObjectsAndSettersNotify) {
  TVisFillObject fill;
  int changes = 0;
  fill.OnChange = [&](classlib::TObject*) { ++changes; };
  fill.SetStyle(TVisFillStyle::sfNone);
  fill.SetOptions(fill.Options());
  EXPECT_EQ(changes, 0);
  fill.Gradient().SetColorCount(236);
  fill.Brush().SetStyle(classlib::TBrushStyle::bsVertical);
  TBitmap picture;
  MakePattern(picture, 4);
  fill.SetBitmap(picture);
  EXPECT_EQ(changes, 3);
  fill.SetListBitmap(picture);
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(fill.ListBitmap().Pixel(3, 3), PatternAt(3, 3));
}

TEST_F(Fills, AssignKeepsAlignmentAndOffsets) {
  TVisFillObject source, target;
  source.SetStyle(TVisFillStyle::sfBitmap);
  source.SetTileMode(TVisTileMode::tmStretch);
  source.SetOptions(foQuickDraw);
  source.SetAlignment(TVisAlignment::agCenter);
  source.SetOffsetX(7);
  source.Brush().SetColor(kLine);
  source.Gradient().SetColor(kLine);
  TBitmap picture;
  MakePattern(picture, 4);
  source.SetBitmap(picture);
  source.SetListBitmap(picture);
  target.SetOffsetY(3);
  int changes = 0;
  target.OnChange = [&](classlib::TObject*) { ++changes; };
  target.Assign(source);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(target.Style(), TVisFillStyle::sfBitmap);
  EXPECT_EQ(target.TileMode(), TVisTileMode::tmStretch);
  EXPECT_EQ(target.Options(), foQuickDraw);
  EXPECT_EQ(target.Brush().Color(), kLine);
  EXPECT_EQ(target.Gradient().Color(), kLine);
  EXPECT_EQ(target.Bitmap().Pixel(2, 1), PatternAt(2, 1));
  EXPECT_EQ(target.ListBitmap().Width(), 4);
  EXPECT_EQ(target.Alignment(), TVisAlignment::agTopLeft);
  EXPECT_EQ(target.OffsetX(), 0);
  EXPECT_EQ(target.OffsetY(), 3);

  // A plain shape fill gives what it has.
  TVisShapeFill shape;
  shape.SetTileMode(TVisTileMode::tmCenter);
  target.Assign(shape);
  EXPECT_EQ(target.Style(), TVisFillStyle::sfBrush);
  EXPECT_EQ(target.TileMode(), TVisTileMode::tmCenter);
  EXPECT_TRUE(target.Bitmap().Empty());
  EXPECT_EQ(target.Options(), foQuickDraw);
  EXPECT_THROW(target.Assign(TVisGradient()), classlib::EConvertError);
}

TEST_F(Fills, HatchGapsTakeTheColourAndTheContextKeepsItsOwn) {
  TVisFillObject fill;
  fill.SetStyle(TVisFillStyle::sfBrush);
  fill.Brush().SetStyle(classlib::TBrushStyle::bsVertical);
  fill.Brush().SetColor(kLine);
  TBitmap b;
  pixels::Prepare(b, 16, 8, kPaper);
  HDC dc = b.Canvas().Handle();
  SetBkColor(dc, kPaper);
  SetBkMode(dc, TRANSPARENT);
  EXPECT_TRUE(fill.Fill(b.Canvas(), {0, 0, 16, 8}, kColor));
  int lines = 0, gaps = 0;
  for (int x = 0; x < 16; ++x) {
    lines += b.Pixel(x, 3) == kLine;
    gaps += b.Pixel(x, 3) == kColor;
  }
  EXPECT_EQ(lines, 2);  // every eighth column
  EXPECT_EQ(gaps, 14);
  EXPECT_EQ(GetBkColor(dc), kPaper);
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  EXPECT_EQ(b.Canvas().Pen().Color(), kColor);

  fill.Brush().SetStyle(classlib::TBrushStyle::bsSolid);
  fill.Fill(b.Canvas(), {0, 0, 16, 8}, kColor);
  EXPECT_EQ(pixels::ChangedOutside(b, {0, 0, 0, 0}, kLine), 0);
}

TEST_F(Fills, BrushPatternFromTheBitmap) {
  TVisFillObject fill;
  fill.SetStyle(TVisFillStyle::sfBrushBitmap);
  TBitmap picture;
  MakePattern(picture, 12);
  fill.SetBitmap(picture);
  for (bool nt : {true, false}) {
    SCOPED_TRACE(nt);
    // Outside the NT family only the top left 8 x 8 pixels make the pattern.
    const int period = nt ? 12 : 8;
    const bool saved = IsWinNT;
    IsWinNT = nt;
    TBitmap b;
    pixels::Prepare(b, 30, 30, kPaper);
    EXPECT_TRUE(fill.Fill(b.Canvas(), {0, 0, 30, 30}, kColor));
    IsWinNT = saved;
    int wrong = 0;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 30; ++x) wrong += b.Pixel(x, y) != PatternAt(x % period, y % period);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(b.Canvas().Brush().Bitmap(), nullptr);
  }
}

TEST_F(Fills, Bitmaps) {
  TBitmap picture;
  MakePattern(picture, 10);
  const RECT area = {2, 2, 42, 42};  // 40 x 40
  const struct {
    TVisTileMode mode;
    TVisFillOptions options;
    RECT placed;  // where the picture's top left pixel lands, and its size
  } cases[] = {
      {TVisTileMode::tmNone, foFillInner, {20, 15, 30, 25}},  // centred, then (+3, -2)
      {TVisTileMode::tmNone, 0, {20, 15, 30, 25}},
      {TVisTileMode::tmCenter, foFillInner, {17, 17, 27, 27}},
      {TVisTileMode::tmStretch, foFillInner, {2, 2, 42, 42}},
      {TVisTileMode::tmTile, foFillInner, {2, 2, 12, 12}},
  };
  for (TVisFillStyle style : {TVisFillStyle::sfBitmap, TVisFillStyle::sfBitmapList}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(static_cast<int>(c.mode));
      TVisFillObject fill;
      fill.SetStyle(style);
      fill.SetTileMode(c.mode);
      fill.SetOptions(c.options);
      fill.SetAlignment(TVisAlignment::agCenter);
      fill.SetOffsetX(3);
      fill.SetOffsetY(-2);
      if (style == TVisFillStyle::sfBitmap)
        fill.SetBitmap(picture);
      else
        fill.SetListBitmap(picture);
      TBitmap b;
      pixels::Prepare(b, 44, 44, kPaper);
      EXPECT_TRUE(fill.Fill(b.Canvas(), area, kColor));
      EXPECT_EQ(b.Pixel(c.placed.left, c.placed.top), PatternAt(0, 0));
      EXPECT_EQ(b.Pixel(c.placed.right - 1, c.placed.bottom - 1), PatternAt(9, 9));
      const TColor behind = (c.options & foFillInner) ? kColor : kPaper;
      if (c.mode == TVisTileMode::tmNone || c.mode == TVisTileMode::tmCenter) {
        EXPECT_EQ(b.Pixel(3, 40), behind);
      }
      EXPECT_EQ(pixels::ChangedOutside(b, area, kPaper), 0);
    }
  }
}

TEST_F(Fills, EmptyBitmapFillsOnlyWithFillInner) {
  for (TVisFillOptions options : {foFillInner, TVisFillOptions{0}}) {
    TVisFillObject fill;
    fill.SetStyle(TVisFillStyle::sfBitmap);
    fill.SetOptions(options);
    TBitmap b;
    pixels::Prepare(b, 10, 10, kPaper);
    EXPECT_FALSE(fill.Fill(b.Canvas(), {2, 2, 8, 8}, kColor));
    EXPECT_EQ(b.Pixel(5, 5), options ? kColor : kPaper);
    EXPECT_EQ(pixels::ChangedOutside(b, {2, 2, 8, 8}, kPaper), 0);
  }
}

TEST_F(Fills, ProgressBarGradient) {
  TVisFillObject fill;
  fill.SetStyle(TVisFillStyle::sfGradient);
  fill.Gradient().SetColor(0x996633);
  fill.Gradient().SetEndColor(classlib::clWhite);
  fill.Gradient().SetColorCount(236);
  fill.Brush().SetStyle(classlib::TBrushStyle::bsVertical);
  for (bool palette : {false, true}) {
    fill.Gradient().SetPaletteRealize(palette);
    TBitmap b;
    pixels::Prepare(b, 30, 246, kPaper);
    const HGDIOBJ before = GetCurrentObject(b.Canvas().Handle(), OBJ_PAL);
    // One row a band.
    EXPECT_TRUE(fill.FillClipped(b.Canvas(), {5, 5, 25, 241}, 0, kColor));
    EXPECT_EQ(b.Pixel(5, 5), 0x996633u);
    EXPECT_EQ(b.Pixel(24, 240), 0xFFFFFFu);
    EXPECT_EQ(pixels::ChangedOutside(b, {5, 5, 25, 241}, kPaper), 0);
    EXPECT_EQ(GetCurrentObject(b.Canvas().Handle(), OBJ_PAL), before);
  }
}

TEST_F(Fills, ClipOffsetIsSignedAndTheClipGoes) {
  TVisFillObject fill;
  fill.SetStyle(TVisFillStyle::sfBrush);
  fill.Brush().SetColor(kLine);
  TBitmap b;
  pixels::Prepare(b, 30, 30, kPaper);
  const std::uint32_t offset = (static_cast<std::uint32_t>(-5) & 0xFFFF) | (3u << 16);
  EXPECT_TRUE(fill.FillClipped(b.Canvas(), {10, 10, 20, 20}, offset, kColor));
  EXPECT_EQ(pixels::ChangedOutside(b, {10, 13, 15, 20}, kPaper), 0);
  EXPECT_EQ(b.Pixel(14, 19), kLine);
  EXPECT_EQ(std::string(pixels::ClipRegionBox(b.Canvas().Handle()).right ? "clipped" : "free"), "free");
}
