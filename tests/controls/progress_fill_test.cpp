#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <sstream>
#include <string>
#include <vector>

#include "classlib/forms.h"
#include "controls/panels/vis_image_list.h"
#include "controls/panels/vis_progress_fill.h"
#include "controls/panels/vis_simple_panel.h"
#include "tests/controls/pixels.h"
#include "tests/controls/theme_entries.h"
#include "tests/support/host_python.h"
#include "tests/support/window_test.h"

using namespace controls;
using classlib::TBitmap;
using classlib::TColor;
using pixels::Text;
using testing_support::PaintControl;
using testing_support::Pump;

namespace {

constexpr TColor kLine = 0x996633, kLight = 0xF5DEDE;

// Records every bar it paints.
class CountingBar : public TVisProgressFill {
 public:
  using TVisProgressFill::TVisProgressFill;
  int paints = 0;
  RECT bar = {}, area = {}, rest = {};

 protected:
  void PaintBar(classlib::TCanvas& Canvas, const RECT& BarRect, const RECT& AreaRect, const RECT& RestRect) override {
    ++paints;
    bar = BarRect, area = AreaRect, rest = RestRect;
    TVisProgressFill::PaintBar(Canvas, BarRect, AreaRect, RestRect);
  }
};

class ProgressFill : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::InitWindows();
    form = new classlib::TForm(nullptr);
    form->SetClientSize(200, 100);
    form->SetColor(classlib::clWhite);
    bar = NewBar(form, 10, 10, 102, 10);
  }
  void TearDown() override {
    delete form;
    EXPECT_TRUE(testing_support::TakeBoundaryErrors().empty());
  }
  // A bar as the windows make it.
  CountingBar* NewBar(classlib::TWinControl* parent, int left, int top, int width, int height) {
    auto* b = new CountingBar(form);
    b->SetParent(parent);
    b->SetBounds(left, top, width, height);
    b->FillObject().SetStyle(TVisFillStyle::sfGradient);
    b->FillObject().Gradient().SetColor(kLine);
    b->FillObject().Gradient().SetEndColor(classlib::clWhite);
    b->FillObject().Gradient().SetColorCount(236);
    b->Bevel().SetStyleOuter(TVisBevelStyle::bvLowered);
    b->Bevel().SetWidthOuter(0);
    b->Bevel().SetWidthInner(0);
    b->Bevel().SetBorderWidth(1);
    b->Bevel().SetBorderColor(kLine);
    b->SetColor(kLight);
    return b;
  }
  // A paint of the window, as the system asks for one.
  void WindowPaint() {
    form->Invalidate();
    form->Update();
  }
  void ShowAndSettle() {
    form->Show();
    Pump();
    bar->paints = 0;
  }
  static int Width(const RECT& r) { return r.right - r.left; }

  classlib::TForm* form = nullptr;
  CountingBar* bar = nullptr;
};

// Python's own rounding (halves to even) of the exact percentage, for each "min,max,value".
const char* const kPercentOracle = R"(
import sys
from fractions import Fraction
out = []
for case in sys.argv[1:]:
    lo, hi, v = map(int, case.split(','))
    out.append(str(min(100, max(0, round(Fraction(v - lo, hi - lo) * 100)))))
print(' '.join(out))
)";

}  // namespace

TEST_F(ProgressFill, PercentagesAgainstPythonsRound) {
  struct Case {
    int lo, hi, value;
  };
  std::vector<Case> cases;
  for (int v = 0; v <= 100; ++v) cases.push_back({0, 100, v});
  for (int v = 0; v <= 8; ++v) cases.push_back({0, 8, v});
  for (int v : {1, 3, 5, 99, 101, 197, 199}) cases.push_back({0, 200, v});
  for (int v : {100, 101, 300, 19899, 19900, 19999}) cases.push_back({0, 20000, v});
  for (int v : {INT_MIN, INT_MIN + 1, -1, 0, 1, 42949672, INT_MAX - 1, INT_MAX}) cases.push_back({INT_MIN, INT_MAX, v});
  for (int v : {-10, -5, -1}) cases.push_back({-10, 0, v});
  cases.push_back({INT_MAX - 3, INT_MAX, INT_MAX - 1});
  std::vector<std::string> args;
  for (const Case& c : cases)
    args.push_back(std::to_string(c.lo) + "," + std::to_string(c.hi) + "," + std::to_string(c.value));
  std::string output;
  ASSERT_TRUE(testing_support::RunHostPython(kPercentOracle, args, output)) << output;
  std::istringstream expected(output);
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    int want = -1;
    expected >> want;
    // From any range to this one: the far end first, then the near one.
    bar->SetMinValue(INT_MIN);
    bar->SetMaxValue(c.hi);
    bar->SetMinValue(c.lo);
    ASSERT_EQ(bar->MinValue(), c.lo) << args[i];
    ASSERT_EQ(bar->MaxValue(), c.hi) << args[i];
    bar->SetUserValue(c.value);
    EXPECT_EQ(bar->UserValue(), c.value) << args[i];
    EXPECT_EQ(bar->Position(), want) << args[i];
  }
}

TEST_F(ProgressFill, ValueRules) {
  bar->SetUserValue(80);
  bar->SetMaxValue(50);
  EXPECT_EQ(bar->UserValue(), 50);
  EXPECT_EQ(bar->Position(), 100);
  bar->SetMaxValue(-10);
  EXPECT_EQ(bar->MinValue(), -10);
  EXPECT_EQ(bar->MaxValue(), 0) << "a maximum below the minimum swaps their roles";
  EXPECT_EQ(bar->UserValue(), 0);
  bar->SetMaxValue(-10);
  EXPECT_EQ(bar->MaxValue(), 0) << "the minimum as maximum changes nothing";
  bar->SetUserValue(1);
  bar->SetUserValue(-11);
  EXPECT_EQ(bar->UserValue(), 0) << "outside the range";
  bar->SetMinValue(5);
  EXPECT_EQ(bar->MinValue(), 0);
  EXPECT_EQ(bar->MaxValue(), 5);
  EXPECT_EQ(bar->UserValue(), 0);

  bar->SetMaxValue(8);
  bar->SetUserValue(1);
  EXPECT_EQ(bar->Position(), 12) << "12.5 rounds to even";
  bar->SetPosition(250);
  EXPECT_EQ(bar->Position(), 100);
  EXPECT_EQ(bar->UserValue(), 8);
  bar->SetPosition(-3);
  EXPECT_EQ(bar->Position(), 0);
  EXPECT_EQ(bar->UserValue(), 0);
  bar->SetMaxValue(3);
  bar->SetPosition(50);
  EXPECT_EQ(bar->UserValue(), 2) << "1.5 rounds to even";
  bar->SetDelta(0);
  EXPECT_EQ(bar->Delta(), 1);
}

TEST_F(ProgressFill, TheBarEndsAtItsPercentageOfTheWidthInsideTheRing) {
  ShowAndSettle();
  const int w = 102, h = 10, x0 = 10, y0 = 10, mid = y0 + h / 2;
  for (int p : {0, 1, 29, 50, 57, 99, 100}) {
    SCOPED_TRACE("at " + std::to_string(p) + " %");
    bar->SetPosition(p);
    TBitmap picture;
    PaintControl(*form, picture);
    for (int x = x0; x < x0 + w; ++x) {
      EXPECT_EQ(picture.Pixel(x, y0), kLine) << x;
      EXPECT_EQ(picture.Pixel(x, y0 + h - 1), kLine) << x;
    }
    EXPECT_EQ(picture.Pixel(x0, mid), kLine);
    EXPECT_EQ(picture.Pixel(x0 + w - 1, mid), kLine);
    const int edge = 1 + p * (w - 2) / 100;
    for (int x = 1; x < w - 1; ++x) {
      const TColor c = picture.Pixel(x0 + x, mid);
      if (x < edge) {
        EXPECT_TRUE(c != kLight && c != kLine) << "bar at " << x;
      } else {
        EXPECT_EQ(c, kLight) << "empty at " << x;
      }
    }
    if (p > 0) {
      const TColor top = picture.Pixel(x0 + 1, y0 + 1), bottom = picture.Pixel(x0 + 1, y0 + h - 2);
      auto brightness = [](TColor c) { return (c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF); };
      EXPECT_LT(brightness(top), brightness(bottom)) << "dark blue at the top, white below";
    }
  }
}

TEST_F(ProgressFill, ValueChangesRepaintByDeltaAndWindowPaintsShowTheValue) {
  ShowAndSettle();
  bar->SetDelta(5);
  bar->SetUserValue(3);
  EXPECT_EQ(bar->paints, 0) << "3 points since the last paint";
  WindowPaint();
  EXPECT_EQ(bar->paints, 1);
  EXPECT_EQ(Width(bar->bar), 3) << "a window paint shows a value below Delta";
  bar->SetUserValue(4);
  EXPECT_EQ(bar->paints, 1);
  WindowPaint();
  EXPECT_EQ(Width(bar->bar), 4);
  bar->SetUserValue(9);
  EXPECT_EQ(bar->paints, 3);
  EXPECT_EQ(Width(bar->bar), 9);
  bar->SetUserValue(97);
  bar->SetUserValue(100);
  EXPECT_EQ(bar->paints, 5) << "the end always paints";
  bar->SetPosition(0);
  EXPECT_EQ(bar->paints, 6);
  EXPECT_EQ(Width(bar->bar), 0);
}

TEST_F(ProgressFill, ANewMaximumPaintsAtOnce) {
  ShowAndSettle();
  // A full bar whose maximum grows to a file count: its value is now 0 %.
  bar->SetUserValue(100);
  bar->paints = 0;
  bar->SetMaxValue(20000);
  EXPECT_EQ(bar->Position(), 0);
  EXPECT_EQ(bar->paints, 1);
  EXPECT_EQ(Width(bar->bar), 0);
  // The same from an empty bar; then counting files paints once a percentage is reached.
  bar->SetMaxValue(100);
  bar->SetUserValue(0);
  bar->paints = 0;
  bar->SetMaxValue(20000);
  EXPECT_EQ(bar->paints, 1);
  EXPECT_EQ(Width(bar->bar), 0);
  for (int i = 1; i <= 200; ++i) bar->SetUserValue(i);
  EXPECT_EQ(bar->paints, 2);
  EXPECT_EQ(Width(bar->bar), 1);
}

// Updates nest: the bar paints once, when the last bracket ends, with the value set meanwhile.
TEST_F(ProgressFill, NothingPaintsBetweenBeginUpdateAndTheLastEndUpdate) {
  ShowAndSettle();
  bar->BeginUpdate();
  bar->BeginUpdate();
  EXPECT_TRUE(bar->IsUpdating());
  bar->SetUserValue(50);
  bar->FillObject().Gradient().SetColor(0x0000FF);
  bar->EndUpdate();
  EXPECT_TRUE(bar->IsUpdating());
  EXPECT_EQ(bar->paints, 0);
  bar->EndUpdate();
  EXPECT_FALSE(bar->IsUpdating());
  EXPECT_EQ(bar->paints, 1);
  EXPECT_EQ(Width(bar->bar), 50);
  bar->EndUpdate();
  EXPECT_FALSE(bar->IsUpdating()) << "an extra end changes nothing";
  EXPECT_EQ(bar->paints, 1);
}

// With the fill style sfBitmapList the bar shows the image list's picture at its indexes, follows
// the picture's changes, and shows none once the list is gone.
TEST_F(ProgressFill, TheListsImageFillsTheBar) {
  auto* list = new TVisBitmapList(nullptr);
  TBitmap red, blue;
  pixels::Prepare(red, 8, 8, 0x0000FF);
  pixels::Prepare(blue, 8, 8, 0xFF0000);
  list->Add();
  list->Add();
  list->Item(0)->SetBitmap(red);
  list->Item(1)->SetBitmap(blue);
  bar->FillObject().SetStyle(TVisFillStyle::sfBitmapList);
  bar->SetUserValue(100);
  bar->SetImageList(list);
  ShowAndSettle();
  const auto barPixel = [&] {
    TBitmap picture;
    PaintControl(*form, picture);
    return picture.Pixel(14, 14);
  };
  EXPECT_EQ(barPixel(), 0x0000FFu);
  bar->SetListIndex(1);
  EXPECT_EQ(barPixel(), 0xFF0000u);
  list->Item(1)->SetBitmap(red);
  EXPECT_EQ(barPixel(), 0x0000FFu) << "the item's new picture";
  // Without a picture the fill shows the colour behind its bitmaps.
  const TColor none = classlib::ColorToRGB(bar->BrushBackColor());
  bar->SetImageIndex(1);
  EXPECT_EQ(barPixel(), none) << "no image at the indexes";
  bar->SetImageIndex(0);
  EXPECT_EQ(barPixel(), 0x0000FFu);
  delete list;
  EXPECT_EQ(barPixel(), none);
}

TEST_F(ProgressFill, NothingPaintsWhileTheBarOrItsParentIsHidden) {
  auto* panel = new TVisSimplePanel(form);
  panel->SetParent(form);
  panel->SetBounds(0, 40, 150, 30);
  CountingBar* inner = NewBar(panel, 5, 5, 102, 10);
  ShowAndSettle();
  inner->paints = 0;
  bar->Hide();
  panel->Hide();
  for (int v : {50, 100, 0, 70}) {
    bar->SetUserValue(v);
    inner->SetUserValue(v);
  }
  EXPECT_EQ(bar->paints, 0);
  EXPECT_EQ(inner->paints, 0);
  bar->Show();
  panel->Show();
  Pump();
  EXPECT_GE(bar->paints, 1);
  EXPECT_GE(inner->paints, 1);
  EXPECT_EQ(Width(bar->bar), 70);
  EXPECT_EQ(Width(inner->bar), 70);
}

TEST_F(ProgressFill, BarAndRestInEachDirection) {
  ShowAndSettle();
  bar->SetBounds(10, 10, 52, 22);
  bar->SetPosition(50);
  const struct {
    TVisMeterDirection direction;
    const char* bar;
    const char* rest;
  } cases[] = {
      {TVisMeterDirection::mdHorizontal, "1,1,26,21", "26,1,51,21"},
      {TVisMeterDirection::mdHorizontalReverse, "26,1,51,21", "1,1,26,21"},
      {TVisMeterDirection::mdVertical, "1,1,51,11", "1,11,51,21"},
      {TVisMeterDirection::mdVerticalReverse, "1,11,51,21", "1,1,51,11"},
  };
  for (const auto& c : cases) {
    bar->SetDirection(c.direction);
    EXPECT_EQ(Text(bar->bar), c.bar);
    EXPECT_EQ(Text(bar->rest), c.rest);
    EXPECT_EQ(Text(bar->area), "1,1,51,21");
  }
}

namespace {

int themeParts[2] = {};

HTHEME WINAPI FakeOpenTheme(HWND, LPCWSTR name) {
  return std::wstring(name) == L"PROGRESS" ? reinterpret_cast<HTHEME>(1) : nullptr;
}
HRESULT WINAPI FakeCloseTheme(HTHEME) { return S_OK; }
HRESULT WINAPI FakeDrawTheme(HTHEME, HDC, int part, int state, const RECT*, const RECT*) {
  themeParts[0] = part, themeParts[1] = state;
  return S_OK;
}
HRESULT WINAPI FakeContentRect(HTHEME, HDC, int, int, const RECT* bounds, RECT* content) {
  *content = *bounds;
  InflateRect(content, -3, -2);
  return S_OK;
}

}  // namespace

TEST_F(ProgressFill, TheWindowsModeDrawsTheThemesBarFrame) {
  controls::TVisThemeEntries fake;
  fake.Loaded = true;
  fake.IsThemeActive = [] { return TRUE; };
  fake.OpenThemeData = FakeOpenTheme;
  fake.CloseThemeData = FakeCloseTheme;
  fake.DrawThemeBackground = FakeDrawTheme;
  fake.GetThemeBackgroundContentRect = FakeContentRect;
  ScopedThemeEntries themes(fake);
  ShowAndSettle();
  bar->SetBounds(10, 10, 52, 22);
  bar->Bevel().SetMode(TVisBevelMode::bmWindows);
  EXPECT_EQ(Text(bar->area), "3,2,49,20");
  EXPECT_EQ(themeParts[0], 1);
  bar->SetDirection(TVisMeterDirection::mdVerticalReverse);
  EXPECT_EQ(themeParts[0], 2);
  EXPECT_EQ(themeParts[1], 0);
}

TEST_F(ProgressFill, BoundsChangesTellWhatChanged) {
  std::vector<int> kinds;
  bar->OnBoundsChange = [&](classlib::TObject*, std::uint8_t k) { kinds.push_back(k); };
  bar->SetBounds(20, 10, 102, 10);
  bar->SetBounds(20, 10, 90, 10);
  bar->SetBounds(0, 0, 50, 50);
  bar->SetBounds(0, 0, 50, 50);
  form->BeginLoading();
  bar->SetBounds(1, 1, 5, 5);
  form->EndLoading();
  EXPECT_EQ(kinds, (std::vector<int>{kBoundsPosition, kBoundsSize, kBoundsPosition | kBoundsSize}));
}

TEST_F(ProgressFill, MouseEnterAndExitOnlyWhileEnabledAndImageIndexesStayPositive) {
  int enters = 0, exits = 0;
  bar->OnMouseEnter = [&](classlib::TComponent*) { ++enters; };
  bar->OnMouseExit = [&](classlib::TComponent*) { ++exits; };
  bar->Perform(classlib::CM_MOUSEENTER);
  bar->Perform(classlib::CM_MOUSELEAVE);
  bar->SetEnabled(false);
  bar->Perform(classlib::CM_MOUSEENTER);
  bar->Perform(classlib::CM_MOUSELEAVE);
  EXPECT_EQ(enters, 1);
  EXPECT_EQ(exits, 1);

  bar->SetImageIndex(3);
  bar->SetImageIndex(-1);
  EXPECT_EQ(bar->ImageIndex(), 3);
}
