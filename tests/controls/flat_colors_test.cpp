#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "controls/flat/flat_utils.h"
#include "controls/flat/hsl_utils.h"
#include "tests/support/host_python.h"
#include "tests/support/window_test.h"

using namespace controls;
using classlib::TBitmap;
using classlib::TColor;

namespace {

// Python's colorsys on a grid of colours and of range values. Each line: the input, the expected
// answer and, per value, whether its exact form lies within 1e-9 of a half (where rounding may
// rightly go either way).
const char kOracle[] = R"(import colorsys
def near_half(x):
    return abs(x - int(x) - 0.5) < 1e-9
steps = range(0, 256, 17)
for r in steps:
    for g in steps:
        for b in steps:
            h, l, s = colorsys.rgb_to_hls(r / 255, g / 255, b / 255)
            exact = (h * 239, s * 240, l * 240)
            print('c', r | g << 8 | b << 16, *[round(v) for v in exact], *[int(near_half(v)) for v in exact])
for H in range(0, 240, 7):
    for S in range(0, 241, 16):
        for L in range(0, 241, 16):
            exact = [v * 255 for v in colorsys.hls_to_rgb(H / 239, L / 240, S / 240)]
            print('h', H, S, L, *[round(v) for v in exact], *[int(near_half(v)) for v in exact])
)";

void ExpectNear(int actual, int expected, int nearHalf, const std::string& what) {
  if (nearHalf)
    EXPECT_LE(std::abs(actual - expected), 1) << what;
  else
    EXPECT_EQ(actual, expected) << what;
}

TEST(FlatColors, HslConversionsAgreeWithPythonsColorsys) {
  std::string output;
  ASSERT_TRUE(testing_support::RunHostPython(kOracle, {}, output)) << output;
  std::istringstream lines(output);
  std::string kind;
  int colours = 0, ranges = 0;
  while (lines >> kind) {
    if (kind == "c") {
      unsigned colour;
      int h, s, l, nh, ns, nl;
      lines >> colour >> h >> s >> l >> nh >> ns >> nl;
      const THslRange got = ColorToHslRange(colour);
      char what[32];
      std::snprintf(what, sizeof what, "colour %06X", colour);
      ExpectNear(got.H, h, nh, std::string(what) + " hue");
      ExpectNear(got.S, s, ns, std::string(what) + " saturation");
      ExpectNear(got.L, l, nl, std::string(what) + " lightness");
      ++colours;
    } else {
      int h, s, l, r, g, b, nr, ng, nb;
      lines >> h >> s >> l >> r >> g >> b >> nr >> ng >> nb;
      const std::uint32_t got = HslRangeToColor(h, s, l);
      const std::string what = "hsl " + std::to_string(h) + " " + std::to_string(s) + " " + std::to_string(l);
      ExpectNear(got & 0xFF, r, nr, what + " red");
      ExpectNear(got >> 8 & 0xFF, g, ng, what + " green");
      ExpectNear(got >> 16 & 0xFF, b, nb, what + " blue");
      ++ranges;
    }
  }
  EXPECT_EQ(colours, 16 * 16 * 16);
  EXPECT_EQ(ranges, 35 * 16 * 16);
}

TEST(FlatColors, PureRedAndGreysOnTheRange) {
  const THslRange red = ColorToHslRange(0x0000FF);
  EXPECT_EQ(red.H, 0);
  EXPECT_EQ(red.S, 240);
  EXPECT_EQ(red.L, 120);
  EXPECT_EQ(HslRangeToColor(0, 240, 120), 0x0000FFu);
  EXPECT_EQ(HslRangeToColor(100, 0, 240), 0xFFFFFFu);
  EXPECT_EQ(HslRangeToColor(100, 0, 0), 0x000000u);
}

TEST(FlatColors, AdvancedColourRule) {
  testing_support::InitWindows();
  const struct {
    TColor base, stored;
    int amount;
    bool darken;
    TColor expected;
  } cases[] = {
      {0x996633, 0x123456, 0, false, 0x123456},  // amount 0 keeps the stored colour
      {0x996633, 0, 10, false, 0xB97D3E},        // lightness 96 + 10 + 10
      {0x996633, 0, 50, true, 0x593C1E},         // 96 + 10 - 50
      {0xFFFFFF, 0, 10, false, 0xFFFFFF},        // white lightened stays white, no grey
      {0xFFFFFF, 0, 10, true, 0xF4F4F4},         // and darkening white darkens it
      {0x000000, 0, 50, true, 0x000000},         // black cannot go below 0
      {0x000000, 0, 10, false, 0x151515},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.base << " by " << std::dec << c.amount);
    EXPECT_EQ(DeriveAdvColor(c.base, c.stored, c.amount, c.darken), c.expected);
  }
  // A system colour is its present value.
  EXPECT_EQ(DeriveAdvColor(classlib::clWindow, 0, 30, true),
            DeriveAdvColor(classlib::ColorToRGB(classlib::clWindow), 0, 30, true));
}

TEST(FlatUtils, BevelFrameRingsInsideTheRectangle) {
  testing_support::InitWindows();
  TBitmap bitmap(10, 8);
  bitmap.Canvas().Brush().SetColor(classlib::clWhite);
  bitmap.Canvas().FillRect({0, 0, 10, 8});
  const RECT rect = {1, 1, 9, 7};
  DrawBevelFrame(bitmap.Canvas(), rect, 0x0000FF, 0xFF0000, 2);
  const struct {
    int x, y;
    TColor colour;
  } pixels[] = {
      {0, 0, 0xFFFFFF}, {1, 1, 0x0000FF}, {8, 1, 0xFF0000}, {1, 5, 0x0000FF}, {1, 6, 0xFF0000}, {8, 6, 0xFF0000},
      {2, 2, 0x0000FF}, {7, 5, 0xFF0000}, {3, 3, 0xFFFFFF}, {9, 7, 0xFFFFFF}, {5, 1, 0x0000FF},
  };
  for (const auto& p : pixels) EXPECT_EQ(bitmap.Pixel(p.x, p.y), p.colour) << p.x << "," << p.y;
}

TEST(FlatUtils, DisabledGlyphEmbossesOnlyTheOutline) {
  testing_support::InitWindows();
  TBitmap source(6, 6);
  source.Canvas().Brush().SetColor(0x00FF00);
  source.Canvas().FillRect({0, 0, 6, 6});
  source.Canvas().SetPixel(2, 2, classlib::clBlack);
  const auto disabled = MakeDisabledGlyph(source, classlib::clBlack, 0xC0C0C0, 0xFFFFFF, 0x808080, true);
  ASSERT_EQ(disabled->Width(), 6);
  EXPECT_EQ(disabled->Pixel(2, 2), 0x808080u);  // shadow on the outline pixel
  EXPECT_EQ(disabled->Pixel(3, 3), 0xFFFFFFu);  // highlight one down and right
  EXPECT_EQ(disabled->Pixel(0, 0), 0xC0C0C0u);  // green is not outline: back colour
  EXPECT_EQ(disabled->Pixel(4, 4), 0xC0C0C0u);
  const auto flat = MakeDisabledGlyph(source, classlib::clBlack, 0xC0C0C0, 0xFFFFFF, 0x808080, false);
  EXPECT_EQ(flat->Pixel(3, 3), 0xC0C0C0u);
}

TEST(FlatUtils, GlyphAndCaptionLayout) {
  testing_support::InitWindows();
  TBitmap glyph(16, 12);
  TBitmap bitmap(1, 1);
  classlib::TCanvas& canvas = bitmap.Canvas();
  const RECT client = {0, 0, 80, 40};
  const int tw = canvas.TextWidth("Weiter"), th = canvas.TextHeight("Weiter");

  // Without a caption the glyph is centred: spacing counts for nothing.
  TGlyphLayout l = LayoutGlyphAndCaption(canvas, client, {0, 0}, "", TButtonLayout::blGlyphTop, -1, 4, &glyph, 1);
  EXPECT_EQ(l.GlyphPos.x, (80 - 16 + 1) / 2);
  EXPECT_EQ(l.GlyphPos.y, (40 - 12 + 1) / 2);

  // Glyph left of the caption, both centred as one block, pressed by (1, 1) in a moved client.
  l = LayoutGlyphAndCaption(canvas, {10, 20, 90, 60}, {1, 1}, "Weiter", TButtonLayout::blGlyphLeft, -1, 4, &glyph, 1);
  const int margin = (80 - (16 + 4 + tw) + 1) / 2;
  EXPECT_EQ(l.GlyphPos.x, 10 + 1 + margin);
  EXPECT_EQ(l.GlyphPos.y, 20 + 1 + (40 - 12 + 1) / 2);
  EXPECT_EQ(l.TextBounds.left, l.GlyphPos.x + 16 + 4);
  EXPECT_EQ(l.TextBounds.right - l.TextBounds.left, tw);
  EXPECT_EQ(l.TextBounds.top, 20 + 1 + (40 - th + 1) / 2);

  // Margin and spacing both free: three equal gaps.
  l = LayoutGlyphAndCaption(canvas, client, {0, 0}, "Weiter", TButtonLayout::blGlyphRight, -1, -1, &glyph, 1);
  const int gap = (80 - 16 - tw) / 3;
  EXPECT_EQ(l.GlyphPos.x, 80 - gap - 16);
  EXPECT_EQ(l.TextBounds.right, l.GlyphPos.x - gap);

  // A fixed margin below, a free spacing; two images side by side count as one.
  TBitmap pair(32, 12);
  l = LayoutGlyphAndCaption(canvas, client, {0, 0}, "Weiter", TButtonLayout::blGlyphBottom, 2, -1, &pair, 2);
  EXPECT_EQ(l.GlyphPos.y, 40 - 2 - 12);
  EXPECT_EQ(l.GlyphPos.x, (80 - 16 + 1) / 2);
  EXPECT_EQ(l.TextBounds.bottom, l.GlyphPos.y - (40 - 2 - 12 - th) / 2);
}

}  // namespace
