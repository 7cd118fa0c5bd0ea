#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "controls/panels/vis_3d_caption.h"
#include "tests/controls/pixels.h"
#include "tests/support/window_test.h"

using namespace controls;
using classlib::TBitmap;
using classlib::TColor;
using pixels::Text;

namespace {

constexpr TColor kPaper = 0xFFFFFF, kFace = 0x0000FF, kLight = 0x00FF00, kShadow = 0xFF0000;
constexpr UINT kFormat = DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX;
const RECT kArea = {10, 10, 110, 40};

class Text3D : public ::testing::Test {
 protected:
  void SetUp() override { testing_support::InitWindows(); }
};

RECT Shifted(RECT r, int dx, int dy) {
  OffsetRect(&r, dx, dy);
  return r;
}

RECT Union(const RECT& a, const RECT& b) {
  RECT u;
  UnionRect(&u, &a, &b);
  return u;
}

// Draws "Wq" with the caption's effect on white paper, the font in kFace.
void Paint(TBitmap& b, const TVis3DCaption* caption, unsigned flags = kText3DEnabled, const RECT* clip = nullptr,
           UINT format = kFormat) {
  pixels::Prepare(b, 130, 60, kPaper);
  // A raster font: its letters have no blended edges, so each copy keeps its exact colour.
  b.Canvas().Font().SetName("System");
  b.Canvas().Font().SetColor(kFace);
  DrawText3D(b.Canvas(), "Wq", caption, clip, flags, format, kArea);
}

RECT InkOf(const TBitmap& b) {
  return pixels::BoundsOf(b, [](TColor c) { return c != kPaper; });
}

RECT InkIn(const TBitmap& b, TColor color) {
  return pixels::BoundsOf(b, [color](TColor c) { return c == color; });
}

// The box of the plain text, the face alone.
RECT FaceBox(UINT format = kFormat) {
  TBitmap b;
  Paint(b, nullptr, kText3DEnabled, nullptr, format);
  return InkOf(b);
}

void Configure(TVis3DCaption& caption, TVisThreeDStyle style, int light, int shadow) {
  caption.SetStyle(style);
  caption.SetLightDepth(static_cast<std::uint8_t>(light));
  caption.SetShadowDepth(static_cast<std::uint8_t>(shadow));
  caption.SetLightColor(kLight);
  caption.SetShadowColor(kShadow);
}

}  // namespace

TEST_F(Text3D, SettingsObject) {
  const char* names[] = {"{Disabled}",      "{sunken}", "{raised}",  "{sunken shadow}", "{raised shadow}", "{PColor sunken}",
                         "{}",              "{shadow}", "{outline}", "{extrude}",       "{extrude enh}"};
  TVis3DCaption caption;
  EXPECT_EQ(caption.DesignText(), "{Disabled}");
  for (int style = 0; style <= static_cast<int>(TVisThreeDStyle::tdExtrudeEnh); ++style) {
    caption.SetStyle(static_cast<TVisThreeDStyle>(style));
    EXPECT_EQ(caption.DesignText(), names[style]);
  }

  TVis3DCaption source, target;
  Configure(source, TVisThreeDStyle::tdExtrudeEnh, 3, 4);
  source.SetDisabledStyle(TVisDisabledStyle::ds3d);
  source.SetTracing(2);
  source.SetOrientation(TVisThreeDOrientation::toBottomRight);
  int count = 0;
  target.OnChange = [&](classlib::TObject*) { ++count; };
  target.SetLightDepth(1);  // unchanged: no notification
  target.Assign(source);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(target.Style(), TVisThreeDStyle::tdExtrudeEnh);
  EXPECT_EQ(target.LightDepth(), 3);
  EXPECT_EQ(target.ShadowDepth(), 4);
  EXPECT_EQ(target.LightColor(), kLight);
  EXPECT_EQ(target.ShadowColor(), kShadow);
  EXPECT_EQ(target.DisabledStyle(), TVisDisabledStyle::ds3d);
  EXPECT_EQ(target.Tracing(), 2);
  EXPECT_EQ(target.Orientation(), TVisThreeDOrientation::toTopLeft);
}

// Where each copy lands, by the union of all ink and the box of the face (drawn last).
TEST_F(Text3D, CopiesAreTheFaceShifted) {
  const RECT f = FaceBox();
  auto box = [&f](int dx, int dy) { return Shifted(f, dx, dy); };
  const struct {
    TVisThreeDStyle style;
    TVisThreeDOrientation orientation;
    int light, shadow;
    RECT ink, face;
  } cases[] = {
      {TVisThreeDStyle::tdNone, TVisThreeDOrientation::toTopLeft, 2, 2, f, f},
      {TVisThreeDStyle::tdSunken, TVisThreeDOrientation::toTopLeft, 2, 5, Union(f, box(2, 2)), f},
      {TVisThreeDStyle::tdRaised, TVisThreeDOrientation::toTopLeft, 2, 5, Union(f, box(2, 2)), box(2, 2)},
      {TVisThreeDStyle::tdSunkenShadow, TVisThreeDOrientation::toTopLeft, 1, 2, Union(f, box(3, 3)), box(2, 2)},
      {TVisThreeDStyle::tdRaisedShadow, TVisThreeDOrientation::toTopLeft, 1, 2, Union(f, box(3, 3)), box(1, 1)},
      {TVisThreeDStyle::tdShadow, TVisThreeDOrientation::toTopLeft, 1, 3, Union(f, box(3, 3)), f},
      {TVisThreeDStyle::tdExtrude, TVisThreeDOrientation::toTopLeft, 1, 3, Union(box(1, 1), box(3, 3)), box(3, 3)},
      {TVisThreeDStyle::tdExtrude, TVisThreeDOrientation::toBottomRight, 1, 3, Union(box(1, 1), box(3, 3)), box(1, 1)},
      {TVisThreeDStyle::tdExtrude, TVisThreeDOrientation::toBottomLeft, 1, 3, Union(box(1, 3), box(3, 1)), box(3, 1)},
      {TVisThreeDStyle::tdExtrude, TVisThreeDOrientation::toTopRight, 1, 3, Union(box(3, 1), box(1, 3)), box(1, 3)},
      {TVisThreeDStyle::tdExtrude, TVisThreeDOrientation::toBottomRight, 1, 0, box(1, 1), box(1, 1)},
      {TVisThreeDStyle::tdExtrudeEnh, TVisThreeDOrientation::toTopLeft, 1, 3, Union(box(1, 1), box(3, 3)), box(3, 3)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(static_cast<int>(c.style)) + "/" + std::to_string(static_cast<int>(c.orientation)));
    TVis3DCaption caption;
    Configure(caption, c.style, c.light, c.shadow);
    caption.SetOrientation(c.orientation);
    TBitmap b;
    Paint(b, &caption);
    EXPECT_EQ(Text(InkOf(b)), Text(c.ink));
    EXPECT_EQ(Text(InkIn(b, kFace)), Text(c.face));
  }
}

// The working rectangle loses the depth on the right, so right-aligned text and its shadow stay
// inside the rectangle.
TEST_F(Text3D, ShadowOfRightAlignedTextStaysInside) {
  constexpr UINT right = DT_RIGHT | DT_TOP | DT_SINGLELINE;
  const RECT f = FaceBox(right);
  TVis3DCaption caption;
  Configure(caption, TVisThreeDStyle::tdShadow, 1, 3);
  TBitmap b;
  Paint(b, &caption, kText3DEnabled, nullptr, right);
  EXPECT_EQ(Text(InkIn(b, kFace)), Text(Shifted(f, -3, 0)));
  EXPECT_EQ(Text(InkOf(b)), Text(Union(Shifted(f, -3, 0), Shifted(f, 0, 3))));
}

TEST_F(Text3D, EnhancedExtrusionMixesShadowTowardsLight) {
  TVis3DCaption caption;
  Configure(caption, TVisThreeDStyle::tdExtrudeEnh, 1, 3);
  caption.SetShadowColor(RGB(200, 200, 200));
  caption.SetLightColor(RGB(100, 110, 100));
  TBitmap b;
  Paint(b, &caption);
  // Copy i of d takes weight (d - 1 - i) / d of light - shadow, truncated: 133.3 and 166.7 in
  // red, 140 and 170 in green; the last copy, in the shadow colour, lies under the face.
  for (TColor mixed : {RGB(133, 140, 133), RGB(166, 170, 166)})
    EXPECT_GT(InkIn(b, mixed).right, 0) << std::hex << mixed;
}

TEST_F(Text3D, DisabledLooks) {
  const RECT f = FaceBox();
  const TColor gray = GetSysColor(COLOR_GRAYTEXT);
  const struct {
    TVisDisabledStyle disabled;
    unsigned flags;
    TColor face;
    RECT ink;
  } cases[] = {
      // tdShadow kept, face grey.
      {TVisDisabledStyle::dsStandard, kText3DDisabledSunken, gray, Union(f, Shifted(f, 3, 3))},
      {TVisDisabledStyle::dsAuto, 0, gray, Union(f, Shifted(f, 3, 3))},
      // Sunken instead: light at +1.
      {TVisDisabledStyle::dsAuto, kText3DDisabledSunken, gray, Union(f, Shifted(f, 1, 1))},
      {TVisDisabledStyle::ds3d, 0, gray, Union(f, Shifted(f, 1, 1))},
      // As if enabled.
      {TVisDisabledStyle::dsNone, 0, kFace, Union(f, Shifted(f, 3, 3))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.disabled) * 10 + static_cast<int>(c.flags));
    TVis3DCaption caption;
    Configure(caption, TVisThreeDStyle::tdShadow, 1, 3);
    caption.SetDisabledStyle(c.disabled);
    TBitmap b;
    Paint(b, &caption, c.flags);
    EXPECT_EQ(Text(InkIn(b, c.face)), Text(f));
    EXPECT_EQ(Text(InkOf(b)), Text(c.ink));
  }
}

TEST_F(Text3D, ClippingAndSpacingAreUndone) {
  const RECT f = FaceBox();
  TVis3DCaption caption;
  Configure(caption, TVisThreeDStyle::tdShadow, 1, 3);
  TBitmap b;
  const RECT clip = {0, 0, f.left + 5, 100};
  Paint(b, &caption, kText3DEnabled | kText3DClip, &clip);
  EXPECT_EQ(InkOf(b).right, clip.right);
  EXPECT_EQ(Text(pixels::ClipRegionBox(b.Canvas().Handle())), "0,0,0,0");

  caption.SetTracing(4);
  Paint(b, &caption, kText3DEnabled);
  EXPECT_EQ(Text(InkIn(b, kFace)), Text({f.left, f.top, f.right + 4, f.bottom}));
  EXPECT_EQ(GetTextCharacterExtra(b.Canvas().Handle()), 0);
  EXPECT_EQ(b.Canvas().Font().Color(), kFace);

  // Clipped to the rectangle itself: the shadow of text at its bottom edge is cut.
  pixels::Prepare(b, 130, 60, kPaper);
  caption.SetTracing(0);
  DrawText3D(b.Canvas(), "Wq", &caption, nullptr, kText3DEnabled | kText3DClip, DT_LEFT | DT_BOTTOM | DT_SINGLELINE,
             {10, 10, 110, 20});
  EXPECT_EQ(pixels::ChangedOutside(b, {10, 10, 110, 20}, kPaper), 0);
}

TEST_F(Text3D, OutlineAndNothingToDraw) {
  TVis3DCaption caption;
  Configure(caption, TVisThreeDStyle::tdOutline, 1, 2);
  TBitmap b;
  pixels::Prepare(b, 130, 60, kPaper);
  b.Canvas().Font().SetSize(20);
  b.Canvas().Font().SetColor(kFace);
  DrawText3D(b.Canvas(), "O", &caption, nullptr, kText3DEnabled, kFormat, kArea);
  const RECT ring = InkIn(b, kFace);
  ASSERT_GT(ring.right - ring.left, 4);
  // Outlined, not filled: the middle of the letter stays paper.
  EXPECT_EQ(b.Pixel((ring.left + ring.right) / 2, (ring.top + ring.bottom) / 2), kPaper);

  pixels::Prepare(b, 130, 60, kPaper);
  DrawText3D(b.Canvas(), "", &caption, nullptr, kText3DEnabled, kFormat, kArea);
  DrawText3D(b.Canvas(), "Wq", &caption, nullptr, kText3DEnabled, kFormat, {10, 10, 10, 40});
  EXPECT_EQ(pixels::ChangedOutside(b, {0, 0, 0, 0}, kPaper), 0);
}
