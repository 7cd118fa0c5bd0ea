#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "classlib/streams.h"
#include "controls/panels/vis_region.h"
#include "tests/controls/oracle.h"
#include "tests/controls/pixels.h"
#include "tests/support/window_test.h"

using controls::TVisExtPos;
using controls::TVisRegion;
using controls::TVisRegionShape;
using controls::TVisShadowStyle;

namespace {

// A region handle deleted with its scope.
struct Rgn {
  HRGN h;
  explicit Rgn(HRGN handle) : h(handle) {}
  ~Rgn() {
    if (h) DeleteObject(h);
  }
  Rgn(const Rgn&) = delete;
  Rgn& operator=(const Rgn&) = delete;
};

std::vector<RECT> Boxes(std::istringstream& in) {
  std::vector<RECT> boxes;
  for (std::string word; in >> word;) {
    RECT r;
    if (sscanf(word.c_str(), "%ld,%ld,%ld,%ld", &r.left, &r.top, &r.right, &r.bottom) == 4) boxes.push_back(r);
  }
  return boxes;
}

std::vector<POINT> Points(const std::string& words) {
  std::vector<POINT> points;
  std::istringstream in(words);
  for (std::string word; in >> word;) {
    POINT p;
    if (sscanf(word.c_str(), "%ld,%ld", &p.x, &p.y) == 2) points.push_back(p);
  }
  return points;
}

HRGN Polygon(const std::vector<POINT>& points) {
  return CreatePolygonRgn(points.data(), static_cast<int>(points.size()), ALTERNATE);
}
HRGN Ellipse(const RECT& r) { return CreateEllipticRgnIndirect(&r); }
void Combine(HRGN into, HRGN other, int mode) {
  CombineRgn(into, into, other, mode);
  DeleteObject(other);
}

// The oracle's lines keyed by their first words ("star", "nose 3", ...).
std::map<std::string, std::string> Measures(const std::vector<int>& args) {
  std::vector<std::string> text;
  for (int a : args) text.push_back(std::to_string(a));
  std::map<std::string, std::string> lines;
  std::istringstream out(controls_test::RunOracle(text, "region_oracle"));
  for (std::string line; std::getline(out, line);) {
    std::istringstream words(line);
    std::string name, position;
    words >> name;
    if (name == "nose" || name == "roundnose" || name == "bubbles") {
      words >> position;
      name += " " + position;
    }
    std::string rest;
    std::getline(words, rest);
    lines[name] = rest;
  }
  return lines;
}

std::string Text(HRGN region) {
  RECT box;
  GetRgnBox(region, &box);
  return pixels::Text(box);
}

}  // namespace

// Each shape's region equals the one built from the oracle's measures, for a rectangle moved by an
// origin and shortened by a shadow.
TEST(Region, ShapesAgreeWithTheOracle) {
  testing_support::InitWindows();
  const RECT given = {-1, -1, 241, 171};
  const auto m = Measures({-1, -1, 241, 171, 7, 3, 6, 24, 16, 4});
  TVisRegion region;
  region.Origin = {7, 3};
  region.Shadow().SetStyle(TVisShadowStyle::hssSolid);
  region.SetRoundX(24);
  region.SetRoundY(16);
  std::istringstream rectLine(m.at("rect"));
  const RECT r = Boxes(rectLine).at(0);

  auto check = [&](TVisRegionShape shape, HRGN expected, const std::string& name, TVisExtPos pos = TVisExtPos::epLeftTop) {
    SCOPED_TRACE(name);
    Rgn want(expected);
    region.SetShape(shape);
    region.SetExtPos(pos);
    region.BuildRegion(given);
    ASSERT_NE(region.RegionHandle(), nullptr);
    EXPECT_TRUE(EqualRgn(region.RegionHandle(), want.h)) << Text(region.RegionHandle()) << " / " << Text(want.h);
  };
  check(TVisRegionShape::rsRect, CreateRectRgnIndirect(&r), "rect");
  check(TVisRegionShape::rsRoundRect, CreateRoundRectRgn(r.left, r.top, r.right, r.bottom, 24, 16), "round rect");
  check(TVisRegionShape::rsElliptic, Ellipse(r), "ellipse");
  check(TVisRegionShape::rsStar, Polygon(Points(m.at("star"))), "star");
  check(TVisRegionShape::rsDiamond, Polygon(Points(m.at("diamond"))), "diamond");
  check(TVisRegionShape::rsOctagon, Polygon(Points(m.at("octagon"))), "octagon");
  check(TVisRegionShape::rsComb, Polygon(Points(m.at("comb"))), "comb");
  std::istringstream half(m.at("halfround"));
  check(TVisRegionShape::rsHalfRound, Ellipse(Boxes(half).at(0)), "half round");
  for (bool sharp : {false, true}) {
    std::istringstream in(m.at(sharp ? "sharpshield" : "roundshield"));
    const std::vector<RECT> b = Boxes(in);
    HRGN shield = Ellipse(b[0]);
    size_t next = 1;
    if (sharp) Combine(shield, Ellipse(b[next++]), RGN_AND);
    Combine(shield, Ellipse(b[next++]), RGN_DIFF);
    Combine(shield, Ellipse(b[next++]), RGN_DIFF);
    Combine(shield, CreateRectRgnIndirect(&b[next]), RGN_DIFF);
    check(sharp ? TVisRegionShape::rsSharpShield : TVisRegionShape::rsRoundShield, shield, sharp ? "sharp shield" : "round shield");
  }
  for (int p = 0; p < 8; ++p) {
    const auto pos = static_cast<TVisExtPos>(p);
    for (bool round : {false, true}) {
      std::istringstream in(m.at((round ? "roundnose " : "nose ") + std::to_string(p)));
      const RECT body = Boxes(in).at(0);
      const std::string line = m.at((round ? "roundnose " : "nose ") + std::to_string(p));
      HRGN nose = round ? CreateRoundRectRgn(body.left, body.top, body.right, body.bottom, 24, 16) : CreateRectRgnIndirect(&body);
      Combine(nose, Polygon(Points(line.substr(line.find(' ', 1)))), RGN_OR);
      check(round ? TVisRegionShape::rsRoundNoseRect : TVisRegionShape::rsNoseRect, nose, line, pos);
    }
    std::istringstream in(m.at("bubbles " + std::to_string(p)));
    const std::vector<RECT> b = Boxes(in);
    ASSERT_EQ(b.size(), 1u + 4 + 3);
    const struct {
      TVisRegionShape shape;
      HRGN (*body)(const RECT&);
    } bodies[] = {{TVisRegionShape::rsThinkBubble, [](const RECT& x) { return CreateRectRgnIndirect(&x); }},
                  {TVisRegionShape::rsRoundThinkBubble, [](const RECT& x) { return CreateRoundRectRgn(x.left, x.top, x.right, x.bottom, 24, 16); }},
                  {TVisRegionShape::rsEllipticThinkBubble, [](const RECT& x) { return CreateEllipticRgnIndirect(&x); }}};
    for (const auto& body : bodies) {
      HRGN bubbles = body.body(b[0]);
      for (size_t i = 1; i < b.size(); ++i) Combine(bubbles, Ellipse(b[i]), RGN_OR);
      check(body.shape, bubbles, "bubbles " + std::to_string(p), pos);
      // The circles were gathered from nothing, not from a stray pixel at (0, 0).
      EXPECT_FALSE(PtInRegion(region.RegionHandle(), 0, 0));
    }
  }
}

TEST(Region, DefaultsAndTheShadowsRoom) {
  testing_support::InitWindows();
  TVisRegion region;
  region.BuildRegion({0, 0, 100, 50});
  Rgn round(CreateRoundRectRgn(0, 0, 100, 50, 20, 20));
  EXPECT_TRUE(EqualRgn(region.RegionHandle(), round.h));
  region.SetShape(TVisRegionShape::rsRect);
  region.Shadow().SetStyle(TVisShadowStyle::hssSolid);
  region.BuildRegion({0, 0, 100, 50});
  EXPECT_EQ(Text(region.RegionHandle()), "0,0,94,44");
  EXPECT_TRUE(PtInRegion(region.RegionHandle(), 93, 43));
  EXPECT_FALSE(PtInRegion(region.RegionHandle(), 94, 20));
}

// Shapes without a region of their own give the rectangle; damaged mask data is not read.
TEST(Region, ShapesWithoutRegionFallBackToTheRectangle) {
  testing_support::InitWindows();
  TVisRegion region;
  const RECT r = {5, 5, 60, 40};
  Rgn rect(CreateRectRgnIndirect(&r));
  for (TVisRegionShape shape : {TVisRegionShape::rsBitmap, TVisRegionShape::rsUserRegion, TVisRegionShape::rsPointList}) {
    region.SetShape(shape);
    region.BuildRegion(r);
    ASSERT_NE(region.RegionHandle(), nullptr);
    EXPECT_TRUE(EqualRgn(region.RegionHandle(), rect.h)) << static_cast<int>(shape);
  }
  // Mask data: a real region, then one whose rectangle count runs past its end.
  Rgn ellipse(CreateEllipticRgn(10, 10, 30, 25));
  region.Mask().SetRegion(ellipse.h);
  region.SetShape(TVisRegionShape::rsBitmap);
  region.BuildRegion(r);
  // Rebuilt from its rectangles the region may be banded otherwise: the same pixels count.
  Rgn difference(CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(CombineRgn(difference.h, region.RegionHandle(), ellipse.h, RGN_XOR), NULLREGION);
  std::vector<std::uint8_t> data = region.Mask().RegionData();
  data[8] = 0xFF;  // nCount
  classlib::TMemoryStream block(data);
  region.Mask().ReadRegionData(block);
  EXPECT_EQ(region.Mask().RegionDataSize(), data.size());
  region.BuildRegion(r);
  EXPECT_TRUE(EqualRgn(region.RegionHandle(), rect.h));
}

TEST(Region, PointListRegion) {
  testing_support::InitWindows();
  TVisRegion region;
  int changes = 0;
  region.OnChange = [&](classlib::TObject*) { ++changes; };
  region.Points().AddPoint({10, 10});
  region.SetShape(TVisRegionShape::rsPointList);
  EXPECT_TRUE(region.UserRegionData().empty()) << "one point encloses nothing";
  region.Points().AddPoint({50, 10});
  EXPECT_TRUE(region.UserRegionData().empty());
  region.Points().AddPoint({30, 40});
  ASSERT_FALSE(region.UserRegionData().empty());
  region.BuildRegion({0, 0, 100, 100});
  const POINT triangle[] = {{10, 10}, {50, 10}, {30, 40}};
  Rgn expected(CreatePolygonRgn(triangle, 3, ALTERNATE));
  EXPECT_TRUE(EqualRgn(region.RegionHandle(), expected.h));

  // The stream property: X then Y of each point, appended when read.
  EXPECT_EQ(region.WritePointList(), (std::vector<std::int32_t>{10, 10, 50, 10, 30, 40}));
  TVisRegion copy;
  copy.SetShape(TVisRegionShape::rsPointList);
  EXPECT_TRUE(copy.UserRegionData().empty()) << "an empty list leaves the user region as it was";
  copy.ReadPointList(region.WritePointList());
  EXPECT_EQ(copy.UserRegionData(), region.UserRegionData());
  EXPECT_TRUE(changes > 0);
}

TEST(Region, AssignCopiesAllButThePoints) {
  testing_support::InitWindows();
  controls::TVisBorderRegion source, target;
  source.SetShape(TVisRegionShape::rsStar);
  source.SetRoundX(3);
  source.SetExtPos(TVisExtPos::epBottomLeft);
  source.Shadow().SetStyle(TVisShadowStyle::hssTracing);
  source.Border().SetStyle(controls::TVisRegionBorderStyle::rbRaisedpsb);
  source.Points().AddPoint({1, 2});
  int changes = 0;
  target.OnChange = [&](classlib::TObject*) { ++changes; };
  target.Assign(source);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(target.Shape(), TVisRegionShape::rsStar);
  EXPECT_EQ(target.RoundX(), 3);
  EXPECT_EQ(target.ExtPos(), TVisExtPos::epBottomLeft);
  EXPECT_EQ(target.Shadow().Style(), TVisShadowStyle::hssTracing);
  EXPECT_EQ(target.Border().Style(), controls::TVisRegionBorderStyle::rbRaisedpsb);
  EXPECT_EQ(target.Points().Count(), 0);
}

TEST(Shadow, SettingsAndTheirSummary) {
  controls::TVisShadow shadow;
  EXPECT_EQ(shadow.Color(), classlib::clBtnShadow);
  EXPECT_EQ(shadow.DesignText(), "{solid, 6}");
  int changes = 0;
  shadow.OnChange = [&](classlib::TObject*) { ++changes; };
  shadow.SetDepth(6);
  shadow.SetDepth(200);
  EXPECT_EQ(shadow.Depth(), 40);
  shadow.SetStyle(TVisShadowStyle::hssTracing);
  EXPECT_EQ(shadow.DesignText(), "{tracing, 40}");
  EXPECT_EQ(changes, 2);
  controls::TVisRgnShadow rgn;
  EXPECT_EQ(rgn.DesignText(), "{Disabled}");
  EXPECT_EQ(rgn.Depth(), 6);
  rgn.Assign(shadow);
  EXPECT_EQ(rgn.DesignText(), "{tracing, 40}");
}

TEST(RegionMask, StreamPropertiesAndAssign) {
  testing_support::InitWindows();
  controls::TVisRegionMask mask;
  EXPECT_FALSE(mask.RegionDataStored());
  EXPECT_FALSE(mask.BorderStored(controls::TVisRegionMask::kBorder));
  Rgn region(CreateRectRgn(0, 0, 8, 8));
  mask.SetRegion(region.h);
  mask.SetCompressed(true);
  classlib::TBitmap& up = mask.Border(controls::TVisRegionMask::kBorderUp);
  pixels::Prepare(up, 5, 4, 0x123456);
  EXPECT_TRUE(mask.BorderStored(controls::TVisRegionMask::kBorderUp));

  classlib::TMemoryStream data, border;
  mask.WriteRegionData(data);
  mask.WriteBorder(controls::TVisRegionMask::kBorderUp, border);
  EXPECT_EQ(border.Bytes()[0], 1) << "the compressed flag first";
  data.SetPosition(0);
  border.SetPosition(0);
  controls::TVisRegionMask back;
  back.SetRegionDataSize(3);
  back.ReadRegionData(data);
  back.ReadBorder(controls::TVisRegionMask::kBorderDown, border);
  EXPECT_EQ(back.RegionData(), mask.RegionData());
  EXPECT_EQ(back.RegionDataSize(), mask.RegionData().size());
  EXPECT_TRUE(back.Compressed());
  EXPECT_EQ(back.Border(controls::TVisRegionMask::kBorderDown).Pixel(4, 3), 0x123456u);

  // A mask without data leaves the pictures where they are.
  controls::TVisRegionMask empty;
  back.Assign(empty);
  EXPECT_FALSE(back.RegionDataStored());
  EXPECT_FALSE(back.Border(controls::TVisRegionMask::kBorderDown).Empty());
  controls::TVisRegionMask copy;
  copy.Assign(mask);
  EXPECT_EQ(copy.RegionData(), mask.RegionData());
  EXPECT_EQ(copy.Border(controls::TVisRegionMask::kBorderUp).Pixel(0, 0), 0x123456u);
}
