#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "controls/panels/vis_effects.h"
#include "tests/support/window_test.h"

using namespace controls;
using classlib::TBitmap;
using classlib::TColor;
using classlib::TPixelFormat;
using Grid = std::vector<std::vector<TColor>>;

namespace {

class Effects : public ::testing::Test {
 protected:
  void SetUp() override { testing_support::InitWindows(); }
};

void Make24(TBitmap& bitmap, const Grid& rows) {
  bitmap.SetPixelFormat(TPixelFormat::pf24bit);
  bitmap.SetSize(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
  for (size_t y = 0; y < rows.size(); ++y)
    for (size_t x = 0; x < rows[y].size(); ++x) {
      std::uint8_t* p = bitmap.ScanLine(static_cast<int>(y)) + x * 3;
      p[0] = GetBValue(rows[y][x]);
      p[1] = GetGValue(rows[y][x]);
      p[2] = GetRValue(rows[y][x]);
    }
}

Grid Read(const TBitmap& bitmap) {
  Grid rows(bitmap.Height(), std::vector<TColor>(bitmap.Width()));
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) rows[y][x] = bitmap.Pixel(x, y);
  return rows;
}

TColor Grey(int v) { return RGB(v, v, v); }

}  // namespace

TEST_F(Effects, SettingsKeepTheirNeutralValues) {
  TVisBitmapEffectObject effects;
  int changes = 0;
  effects.OnChange = [&](classlib::TObject*) { ++changes; };
  using F = TVisBitmapEffectObject;
  for (F::TFlag flag : {F::kFlipVertical, F::kFlipHorizontal, F::kGrayScale, F::kInvert, F::kBuffered, F::kMonochrome}) {
    effects.SetFlag(flag, true);
    EXPECT_FALSE(effects.Flag(flag));
  }
  effects.SetBrightness(120);
  EXPECT_EQ(effects.Brightness(), 0);
  EXPECT_EQ(changes, 0);
  EXPECT_FALSE(effects.HasEffects());
  EXPECT_EQ(effects.DesignText(), "{Disabled}");

  TVisAlphaObject& alpha = effects.AlphaBlend();
  EXPECT_FLOAT_EQ(alpha.Strength(), 0.6f);
  EXPECT_FALSE(alpha.StrengthStored());
  alpha.SetStrength(0.8f);
  EXPECT_EQ(alpha.Strength(), 0.0f);
  EXPECT_TRUE(alpha.StrengthStored());
  alpha.SetStrength(0.8f);
  EXPECT_EQ(changes, 1);  // through the blend settings
  alpha.SetImageIndex(5);
  alpha.SetListIndex(2);
  alpha.SetImageList(nullptr);
  EXPECT_EQ(alpha.ImageIndex(), 0);
  EXPECT_EQ(alpha.ListIndex(), 0);
  EXPECT_EQ(alpha.ImageList(), nullptr);
  EXPECT_EQ(changes, 4);
}

TEST_F(Effects, BlendSettingsFollowTheirFill) {
  TVisAlphaObject alpha;
  EXPECT_EQ(alpha.DesignText(), "{Disabled}");
  EXPECT_FALSE(alpha.AlphaActive());
  const struct {
    TVisFillStyle style;
    const char* text;
  } cases[] = {
      {TVisFillStyle::sfBrush, "{Enabled (brush), strength: 0,600}"},
      {TVisFillStyle::sfBitmap, "{Enabled (bmp), strength: 0,600}"},
      {TVisFillStyle::sfBitmapList, "{Enabled (bmp), strength: 0,600}"},
      {TVisFillStyle::sfGradient, "{Enabled (grad), strength: 0,600}"},
      {TVisFillStyle::sfBrushBitmap, "{Enabled (), strength: 0,600}"},
  };
  for (const auto& c : cases) {
    alpha.FillObject().SetStyle(c.style);
    EXPECT_EQ(alpha.DesignText(), c.text);
  }
  EXPECT_TRUE(alpha.AlphaActive());

  TVisBitmapEffectObject effects, copy;
  effects.SetAlphaBlend(alpha);
  EXPECT_EQ(effects.DesignText(), "{alpha}");
  EXPECT_FLOAT_EQ(effects.AlphaBlend().Strength(), 0.6f);
  copy.Assign(effects);
  EXPECT_EQ(copy.AlphaBlend().FillObject().Style(), TVisFillStyle::sfBrushBitmap);
  EXPECT_THROW(copy.Assign(alpha), classlib::EConvertError);
}

TEST_F(Effects, GreyRoundsEachProductHalfToEven) {
  const struct {
    TColor in;
    int grey;
  } cases[] = {
      {RGB(5, 0, 0), 2},      // 1.5
      {RGB(15, 0, 0), 4},     // 4.5
      {RGB(0, 50, 0), 30},    // 29.5
      {RGB(0, 150, 0), 88},   // 88.5
      {RGB(0, 0, 50), 6},     // 5.5
      {RGB(0, 0, 150), 16},   // 16.5
      {RGB(255, 255, 255), 254},
      {RGB(100, 100, 100), 100},
  };
  Grid row(1);
  for (const auto& c : cases) row[0].push_back(c.in);
  TBitmap b;
  Make24(b, row);
  EffectGrayScale(b, {0, 0, b.Width(), 1}, b, {0, 0});
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(b.Pixel(static_cast<int>(i), 0), Grey(cases[i].grey)) << i;
}

TEST_F(Effects, InvertAndBrightness) {
  TBitmap b;
  Make24(b, {{RGB(0, 100, 255), RGB(10, 250, 128)}});
  EffectInvert(b, {0, 0, 2, 1}, b, {0, 0});
  EXPECT_EQ(Read(b), (Grid{{RGB(255, 155, 0), RGB(245, 5, 127)}}));
  EffectBrightness(b, {0, 0, 2, 1}, b, {0, 0}, 10);
  EXPECT_EQ(Read(b), (Grid{{RGB(255, 165, 10), RGB(255, 15, 137)}}));
  EffectBrightness(b, {0, 0, 2, 1}, b, {0, 0}, -20);
  EXPECT_EQ(Read(b), (Grid{{RGB(235, 145, 0), RGB(235, 0, 117)}}));
}

TEST_F(Effects, Blend) {
  TBitmap first, second, target;
  Make24(first, {{Grey(200), Grey(100), RGB(0, 255, 30)}});
  Make24(second, {{Grey(100), Grey(200), RGB(255, 0, 30)}});
  Make24(target, {{0, 0, 0}});
  EffectBlend(first, second, {0, 0, 3, 1}, target, {0, 0}, 0.6f);
  EXPECT_EQ(Read(target), (Grid{{Grey(160), Grey(140), RGB(102, 153, 30)}}));
  EffectBlend(first, second, {0, 0, 3, 1}, target, {0, 0}, 1.0f);
  EXPECT_EQ(Read(target), Read(first));
  EffectBlend(first, second, {0, 0, 3, 1}, target, {0, 0}, 0.0f);
  EXPECT_EQ(Read(target), Read(second));
  // A picture blended with itself stays as it is.
  EffectGrayScale(first, {0, 0, 3, 1}, first, {0, 0});
  const Grid grey = Read(first);
  EffectBlend(first, first, {0, 0, 3, 1}, first, {0, 0}, 0.6f);
  EXPECT_EQ(Read(first), grey);
}

TEST_F(Effects, MirrorsPairEveryPixel) {
  TBitmap b;
  Make24(b, {{1, 2, 3, 4, 5}, {6, 7, 8, 9, 10}, {11, 12, 13, 14, 15}});
  EffectMirrorLeftRight(b, {0, 0, 5, 3}, b, {0, 0});
  EXPECT_EQ(Read(b), (Grid{{5, 4, 3, 2, 1}, {10, 9, 8, 7, 6}, {15, 14, 13, 12, 11}}));
  EffectMirrorTopBottom(b, {0, 0, 5, 3}, b, {0, 0});
  EXPECT_EQ(Read(b), (Grid{{15, 14, 13, 12, 11}, {10, 9, 8, 7, 6}, {5, 4, 3, 2, 1}}));
  // Part of the picture, even sized, into another bitmap.
  TBitmap target;
  Make24(target, {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}});
  EffectMirrorLeftRight(b, {1, 0, 3, 2}, target, {1, 1});
  EXPECT_EQ(Read(target), (Grid{{0, 0, 0}, {0, 13, 14}, {0, 8, 9}}));
  EffectMirrorTopBottom(b, {3, 0, 5, 2}, target, {0, 0});
  EXPECT_EQ(Read(target), (Grid{{7, 6, 0}, {12, 11, 14}, {0, 8, 9}}));
}

TEST_F(Effects, RectanglesAreClippedToBothBitmaps) {
  TBitmap source, target;
  Make24(source, {{1, 2, 3}, {4, 5, 6}});
  Make24(target, {{0, 0}, {0, 0}});
  // The rectangle reaches beyond the source: what is left starts one pixel further in, at (1, 0)
  // of the target, where one column fits.
  EffectInvert(source, {-1, -1, 5, 5}, target, {0, -1});
  EXPECT_EQ(Read(target), (Grid{{0, 0xFFFFFE}, {0, 0xFFFFFB}}));
  Make24(target, {{0, 0}, {0, 0}});
  EffectMirrorLeftRight(source, {0, 0, 3, 2}, target, {1, 1});
  EXPECT_EQ(Read(target), (Grid{{0, 0}, {0, 1}}));
  EffectBlend(source, target, {0, 0, 9, 9}, target, {-1, 0}, 1.0f);
  EXPECT_EQ(Read(target), (Grid{{2, 0}, {5, 1}}));
  EffectGrayScale(source, {5, 5, 9, 9}, target, {0, 0});  // nothing inside
  EXPECT_EQ(Read(target), (Grid{{2, 0}, {5, 1}}));
}

TEST_F(Effects, EveryRoutineWantsTwentyFourBits) {
  TBitmap good, bad;
  Make24(good, {{1, 2}});
  bad.SetSize(2, 1);  // 32 bits
  auto message = [](const std::function<void()>& f) {
    try {
      f();
    } catch (const EVisWrongPixelFormat& e) {
      return e.Message();
    }
    return std::string("none");
  };
  EXPECT_EQ(message([&] { EffectGrayScale(bad, {0, 0, 2, 1}, good, {0, 0}); }), "Wrong PixelFormat in Source bitmap!");
  EXPECT_EQ(message([&] { EffectInvert(good, {0, 0, 2, 1}, bad, {0, 0}); }), "Wrong PixelFormat in Target bitmap!");
  EXPECT_EQ(message([&] { EffectBrightness(bad, {0, 0, 2, 1}, good, {0, 0}, 5); }),
            "Wrong PixelFormat in Source bitmap!");
  EXPECT_EQ(message([&] { EffectMirrorLeftRight(good, {0, 0, 2, 1}, bad, {0, 0}); }),
            "Wrong PixelFormat in Target bitmap!");
  EXPECT_EQ(message([&] { EffectMirrorTopBottom(bad, {0, 0, 2, 1}, good, {0, 0}); }),
            "Wrong PixelFormat in Source bitmap!");
  EXPECT_EQ(message([&] { EffectBlend(bad, bad, {0, 0, 2, 1}, bad, {0, 0}, 0.5f); }),
            "Wrong PixelFormat in Source 1 bitmap!");
  EXPECT_EQ(message([&] { EffectBlend(good, bad, {0, 0, 2, 1}, bad, {0, 0}, 0.5f); }),
            "Wrong PixelFormat in Source 2 bitmap!");
  EXPECT_EQ(message([&] { EffectBlend(good, good, {0, 0, 2, 1}, bad, {0, 0}, 0.5f); }),
            "Wrong PixelFormat in Target bitmap!");
  EXPECT_EQ(Read(good), (Grid{{1, 2}}));
}

TEST_F(Effects, ApplyCopiesThePictureUnchanged) {
  TVisBitmapEffectObject effects;
  TBitmap source, target;
  source.SetSize(6, 4);
  source.Canvas().SetPixel(2, 1, 0x123456);
  source.Canvas().SetPixel(5, 3, 0x654321);
  Make24(target, Grid(3, std::vector<TColor>(4, 0)));
  effects.Apply(source, {2, 1, 6, 4}, target, {0, 0, 4, 3});
  EXPECT_EQ(target.Pixel(0, 0), 0x123456u);
  EXPECT_EQ(target.Pixel(3, 2), 0x654321u);
}
