#include <gtest/gtest.h>
#include <windows.h>

#include <sstream>
#include <string>
#include <vector>

#include "controls/panels/vis_gradient.h"
#include "tests/controls/pixels.h"
#include "tests/support/host_python.h"
#include "tests/support/window_test.h"

using namespace controls;
using classlib::TBitmap;
using classlib::TColor;
using Colors = std::vector<TColor>;

namespace {

constexpr TColor kPaper = 0x563412, kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;

// The band colours of the progress bars and, for each height given, the colour of every row of a
// vertical gradient of that height, with the rounding of Win32's MulDiv (halves away from zero).
const char kGradientOracle[] = R"(import sys
def muldiv(a, b, c):
    n = a * b
    q, r = divmod(abs(n), abs(c))
    if 2 * r >= abs(c):
        q += 1
    return q if (n >= 0) == (c > 0) else -q
def build(c1, c2, steps):
    out = []
    for i in range(steps):
        rgb = 0
        for shift in (0, 8, 16):
            a, b = (c1 >> shift) & 255, (c2 >> shift) & 255
            rgb |= ((a + muldiv(i, b - a, steps - 1)) & 255) << shift
        out.append(rgb)
    return out
colors = build(0x996633, 0xFFFFFF, 236)
print(' '.join('%06X' % c for c in colors))
for h in map(int, sys.argv[1:]):
    rows = [None] * h
    for i, c in enumerate(colors):
        for y in range(muldiv(i, h, 236), muldiv(i + 1, h, 236)):
            rows[y] = c
    print(' '.join('%06X' % c for c in rows))
)";

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

std::string Hex(TColor c) {
  char text[8];
  snprintf(text, sizeof text, "%06X", static_cast<unsigned>(c));
  return text;
}

class Gradients : public ::testing::Test {
 protected:
  void SetUp() override { testing_support::InitWindows(); }
};

}  // namespace

TEST_F(Gradients, ProgressBarColoursAndBandsAgainstOracle) {
  TVisGradient g;
  g.SetColor(0x996633);
  g.SetEndColor(classlib::clWhite);
  g.SetColorCount(236);
  const int heights[] = {100, 300};
  std::string output;
  ASSERT_TRUE(testing_support::RunHostPython(kGradientOracle, {"100", "300"}, output)) << output;
  std::istringstream lines(output);
  std::string line;
  std::getline(lines, line);
  std::vector<std::string> colors;
  for (TColor c : g.ColorList()) colors.push_back(Hex(c));
  EXPECT_EQ(colors, Words(line));
  EXPECT_EQ(g.ColorList().front(), 0x996633u);
  EXPECT_EQ(g.ColorList().back(), 0xFFFFFFu);

  for (int h : heights) {
    std::getline(lines, line);
    const std::vector<std::string> expected = Words(line);
    for (unsigned flags : {0u, kGradientUseBitmap, kGradientClip}) {
      SCOPED_TRACE(std::to_string(h) + " flags " + std::to_string(flags));
      TBitmap b;
      pixels::Prepare(b, 13, h + 10, kPaper);
      const RECT rect = {3, 5, 10, 5 + h};
      PaintGradient(b.Canvas(), rect, g.Style(), g.ColorList(), nullptr, flags, 0);
      std::vector<std::string> rows;
      for (int y = rect.top; y < rect.bottom; ++y) rows.push_back(Hex(b.Pixel(6, y)));
      EXPECT_EQ(rows, expected);
      EXPECT_EQ(pixels::ChangedOutside(b, rect, kPaper), 0);
    }
  }
}

TEST_F(Gradients, OneStepAndTheLimitsOfColorCount) {
  Colors list = {kGreen};
  BuildGradientColors(kRed, kBlue, 1, true, list);
  EXPECT_EQ(list, Colors{kRed});
  BuildGradientColors(kRed, kBlue, 0, true, list);
  EXPECT_EQ(list, Colors{kRed});
  BuildGradientColors(kRed, kBlue, 2, false, list);
  EXPECT_EQ(list, (Colors{kRed, kBlue}));

  TVisGradient g;
  g.SetTwoColors(false);
  g.ReadColorList({static_cast<std::int32_t>(kRed), static_cast<std::int32_t>(kGreen), static_cast<std::int32_t>(kBlue)});
  g.SetColorCount(3);  // one step a segment
  EXPECT_EQ(g.ColorList(), Colors{kRed});
  TBitmap b;
  pixels::Prepare(b, 8, 8, kPaper);
  PaintGradient(b.Canvas(), {0, 0, 8, 8}, TVisGradientStyle::gstElliptic, g.ColorList(), nullptr, kGradientClip, 0);
  EXPECT_EQ(pixels::ChangedOutside(b, {0, 0, 0, 0}, kRed), 0);

  g.SetColorCount(16);  // 5 steps: 5 + 4 colours
  ASSERT_EQ(g.ColorList().size(), 9u);
  EXPECT_EQ(g.ColorList()[0], kRed);
  EXPECT_EQ(g.ColorList()[4], kGreen);
  EXPECT_EQ(g.ColorList()[8], kBlue);

  g.ReadColorList({static_cast<std::int32_t>(kRed)});
  EXPECT_TRUE(g.ColorList().empty());
  pixels::Prepare(b, 8, 8, kPaper);
  PaintGradient(b.Canvas(), {0, 0, 8, 8}, g.Style(), g.ColorList(), nullptr, 0, 0);
  EXPECT_EQ(pixels::ChangedOutside(b, {0, 0, 0, 0}, kPaper), 0);

  for (auto [given, kept] : {std::pair{237, 236}, {1000, 236}, {1, 2}, {0, 2}, {-3, 2}, {2, 2}}) {
    g.SetColorCount(given);
    EXPECT_EQ(g.ColorCount(), kept) << given;
  }
  g.SetTwoColors(true);
  g.SetColorCount(237);
  EXPECT_EQ(g.ColorList().size(), 236u);
}

TEST_F(Gradients, SettersNotifyOnChangeOnly) {
  TVisGradient g;
  int count = 0;
  g.OnChange = [&](classlib::TObject* sender) {
    EXPECT_EQ(sender, &g);
    ++count;
  };
  g.SetColor(classlib::clBlue);
  g.SetColorCount(16);
  g.SetStyle(TVisGradientStyle::gstVertical);
  EXPECT_EQ(count, 0);
  g.SetEndColor(kGreen);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(g.ColorList().back(), kGreen);
  g.ReadColorList({1, 2});
  EXPECT_EQ(count, 2);
}

TEST_F(Gradients, ColorListStreamsAndIsReplacedOnReading) {
  TVisGradient g;
  EXPECT_FALSE(g.ColorListStored());
  g.ReadColorList({1, 2, 3});
  g.ReadColorList({7, 8});
  EXPECT_EQ(g.Colors(), (Colors{7, 8}));
  EXPECT_TRUE(g.ColorListStored());
  EXPECT_EQ(g.WriteColorList(), (std::vector<std::int32_t>{7, 8}));
}

TEST_F(Gradients, AssignAndDesignText) {
  TVisGradient source;
  EXPECT_EQ(source.DesignText(), "vertical, Col: 16, 2 col mode");
  source.SetStyle(TVisGradientStyle::gstTopRightDiagonal);
  source.SetColorCount(236);
  source.SetTwoColors(false);
  source.SetColor(kRed);
  source.SetEndColor(kGreen);
  source.SetPaletteRealize(true);
  source.ReadColorList({static_cast<std::int32_t>(kRed), static_cast<std::int32_t>(kBlue)});
  EXPECT_EQ(source.DesignText(), "top right diag, Col: 236, mult. col mode");

  TVisGradient target;
  int count = 0;
  target.OnChange = [&](classlib::TObject*) { ++count; };
  target.Assign(source);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(target.DesignText(), source.DesignText());
  EXPECT_EQ(target.Colors(), source.Colors());
  EXPECT_EQ(target.ColorList(), source.ColorList());
  EXPECT_EQ(target.Color(), kRed);
  EXPECT_EQ(target.EndColor(), kGreen);
  ASSERT_NE(target.GetPalette(), nullptr);
  EXPECT_NE(target.GetPalette(), source.GetPalette());
  PALETTEENTRY entries[236];
  const UINT n = static_cast<UINT>(target.ColorList().size());  // 236 div 2 colours a segment
  ASSERT_EQ(n, 118u);
  ASSERT_EQ(GetPaletteEntries(target.GetPalette(), 0, 236, entries), n);
  EXPECT_EQ(RGB(entries[0].peRed, entries[0].peGreen, entries[0].peBlue), kRed);
  EXPECT_EQ(entries[0].peFlags, PC_NOCOLLAPSE);
  EXPECT_EQ(RGB(entries[n - 1].peRed, entries[n - 1].peGreen, entries[n - 1].peBlue), kBlue);

  EXPECT_EQ(CreateGradientPalette({}), nullptr);
  EXPECT_THROW(target.Assign(classlib::TPersistent()), classlib::EConvertError);
}

TEST_F(Gradients, StylesGrowFromTheirOrigin) {
  const Colors four = {kRed, kGreen, kBlue, 0x00FFFF};
  const RECT rect = {4, 4, 44, 34};  // 40 x 30
  const POINT topLeft = {4, 4}, topRight = {43, 4}, bottomLeft = {4, 33}, bottomRight = {43, 33}, centre = {24, 19};
  const struct {
    TVisGradientStyle style;
    POINT first, last;
  } cases[] = {
      {TVisGradientStyle::gstHorizontal, {4, 19}, {43, 19}},
      {TVisGradientStyle::gstVertical, {24, 4}, {24, 33}},
      {TVisGradientStyle::gstSquare, centre, topLeft},
      {TVisGradientStyle::gstElliptic, centre, topLeft},
      {TVisGradientStyle::gstTopLeft, topLeft, bottomRight},
      {TVisGradientStyle::gstTopRight, topRight, bottomLeft},
      {TVisGradientStyle::gstBottomLeft, bottomLeft, topRight},
      {TVisGradientStyle::gstBottomRight, bottomRight, topLeft},
      {TVisGradientStyle::gstTopLeftDiagonal, topLeft, bottomRight},
      {TVisGradientStyle::gstTopRightDiagonal, topRight, bottomLeft},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.style));
    TBitmap clipped, offscreen;
    pixels::Prepare(clipped, 48, 38, kPaper);
    pixels::Prepare(offscreen, 48, 38, kPaper);
    PaintGradient(clipped.Canvas(), rect, c.style, four, nullptr, kGradientClip, 0);
    PaintGradient(offscreen.Canvas(), rect, c.style, four, nullptr, kGradientUseBitmap, 0);
    EXPECT_EQ(clipped.Pixel(c.first.x, c.first.y), four.front());
    EXPECT_EQ(clipped.Pixel(c.last.x, c.last.y), four.back());
    EXPECT_EQ(pixels::ChangedOutside(clipped, rect, kPaper), 0);
    int differ = 0, unpainted = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
      for (int x = rect.left; x < rect.right; ++x) {
        differ += clipped.Pixel(x, y) != offscreen.Pixel(x, y);
        unpainted += clipped.Pixel(x, y) == kPaper;
      }
    EXPECT_EQ(differ, 0);
    EXPECT_EQ(unpainted, 0);
  }
}

TEST_F(Gradients, ContextKeepsItsClipRegionAndPalette) {
  const Colors colors = {kRed, kGreen, kBlue};
  for (unsigned flags : {kGradientClip | kGradientUsePalette, kGradientUseBitmap | kGradientUsePalette}) {
    SCOPED_TRACE(flags);
    for (bool callerClips : {false, true}) {
      TBitmap b;
      pixels::Prepare(b, 30, 30, kPaper);
      HDC dc = b.Canvas().Handle();
      if (callerClips) {
        HRGN region = CreateRectRgn(0, 0, 20, 25);
        SelectClipRgn(dc, region);
        DeleteObject(region);
      }
      const HGDIOBJ palette = GetCurrentObject(dc, OBJ_PAL);
      HPALETTE own = CreateGradientPalette(colors);
      PaintGradient(b.Canvas(), {5, 5, 25, 25}, TVisGradientStyle::gstElliptic, colors, own, flags, 0);
      EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), palette);
      EXPECT_TRUE(DeleteObject(own));  // not left selected anywhere
      EXPECT_EQ(pixels::ChangedOutside(b, callerClips ? RECT{5, 5, 20, 25} : RECT{5, 5, 25, 25}, kPaper), 0);
      RECT box = pixels::ClipRegionBox(dc);
      EXPECT_EQ(std::vector<LONG>({box.left, box.top, box.right, box.bottom}),
                callerClips ? std::vector<LONG>({0, 0, 20, 25}) : std::vector<LONG>({0, 0, 0, 0}));
    }
  }
}

TEST_F(Gradients, ClipOffsetHalvesAreSigned) {
  TBitmap b;
  pixels::Prepare(b, 30, 30, kPaper);
  const std::uint32_t offset = (static_cast<std::uint32_t>(-4) & 0xFFFF) | (static_cast<std::uint32_t>(-2) << 16);
  PaintGradient(b.Canvas(), {10, 10, 20, 20}, TVisGradientStyle::gstVertical, {kRed}, nullptr, kGradientClip, offset);
  EXPECT_EQ(pixels::ChangedOutside(b, {10, 10, 16, 18}, kPaper), 0);
  EXPECT_EQ(b.Pixel(15, 17), kRed);
}
