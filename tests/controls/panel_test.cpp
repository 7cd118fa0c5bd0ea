#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "classlib/forms.h"
#include "controls/panels/vis_form_shape.h"
#include "controls/panels/vis_messages.h"
#include "controls/panels/vis_simple_panel.h"
#include "tests/controls/pixels.h"
#include "tests/controls/theme_entries.h"
#include "tests/support/window_test.h"

using namespace controls;
using classlib::TBitmap;
using classlib::TColor;
using pixels::Text;
using testing_support::PaintControl;
using testing_support::Pump;

namespace {

constexpr TColor kLine = 0x996633, kLight = 0xF5DEDE, kMarker = 0x123456;

// A panel whose border painters draw on a canvas of the test's choosing.
class OpenPanel : public TVisSimplePanel {
 public:
  using TVisSimplePanel::TVisSimplePanel;
  void PaintFlatBorderOn(classlib::TCanvas& canvas) { PaintFlatBorder(canvas); }
};

// The root of a background chain: a control with a background bitmap of its own.
class BackgroundRoot : public TVisCustomControl {
 public:
  explicit BackgroundRoot(classlib::TComponent* owner) : TVisCustomControl(owner) { Draw(bitmap); }
  static TColor At(int x, int y) { return RGB(x * 4, y * 4, 77); }
  // 60 x 60, each pixel telling where it is.
  static void Draw(TBitmap& picture) {
    picture.SetSize(60, 60);
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 60; ++x) picture.Canvas().SetPixel(x, y, At(x, y));
  }
  bool BackgroundAvailable() override { return true; }
  TBitmap* BackgroundBitmap() override { return &bitmap; }
  TBitmap bitmap;
};

class Panels : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::InitWindows();
    form = new classlib::TForm(nullptr);
    form->SetClientSize(200, 150);
    form->SetColor(classlib::clWhite);
  }
  void TearDown() override {
    delete form;
    EXPECT_TRUE(testing_support::TakeBoundaryErrors().empty());
  }
  TVisSimplePanel* NewPanel(classlib::TWinControl* parent, int left, int top, int width, int height) {
    auto* panel = new TVisSimplePanel(form);
    panel->SetParent(parent);
    panel->SetBounds(left, top, width, height);
    return panel;
  }
  static std::string Bounds(const classlib::TControl& c) { return Text(c.BoundsRect()); }

  // A transparent panel at (5, 7) on the parent, and one at (2, 3) inside it.
  struct Chain {
    TVisSimplePanel* panel;
    TVisSimplePanel* inner;
  };
  Chain TransparentChain(classlib::TWinControl* parent) {
    TVisSimplePanel* panel = NewPanel(parent, 5, 7, 30, 25);
    panel->SetTransparent(true);
    TVisSimplePanel* inner = NewPanel(panel, 2, 3, 10, 8);
    inner->SetTransparent(true);
    return {panel, inner};
  }
  // Both show the pieces of the root's picture (BackgroundRoot::At) that lie below them.
  static void ExpectRootsPieces(const Chain& chain) {
    const struct {
      TVisSimplePanel* panel;
      int dx, dy;
    } placed[] = {{chain.panel, 5, 7}, {chain.inner, 7, 10}};
    for (const auto& c : placed) {
      TBitmap picture;
      PaintControl(*c.panel, picture);
      for (POINT p : {POINT{0, 0}, POINT{4, 5}, POINT{9, 7}})
        EXPECT_EQ(picture.Pixel(p.x, p.y), BackgroundRoot::At(c.dx + p.x, c.dy + p.y))
            << c.dx << " at " << p.x << "," << p.y;
    }
  }

  classlib::TForm* form = nullptr;
};

}  // namespace

TEST_F(Panels, ARingPanelPaintsItsRingAndKeepsAlignedChildrenInside) {
  TVisSimplePanel* panel = NewPanel(form, 10, 10, 60, 40);
  panel->SetColor(kLight);
  panel->Bevel().SetBorderColor(kLine);
  panel->Bevel().SetBorderWidth(1);
  form->Show();
  TBitmap picture;
  PaintControl(*panel, picture);
  for (POINT p : {POINT{0, 0}, POINT{59, 0}, POINT{0, 39}, POINT{59, 39}, POINT{30, 0}, POINT{0, 20}, POINT{30, 39}})
    EXPECT_EQ(picture.Pixel(p.x, p.y), kLine) << p.x << "," << p.y;
  EXPECT_EQ(Text(pixels::BoundsOf(picture, [](TColor c) { return c != kLight; })), "0,0,60,40");
  EXPECT_EQ(Text(pixels::BoundsOf(picture, [](TColor c) { return c == kLight; })), "1,1,59,39");

  TVisSimplePanel* child = NewPanel(panel, 0, 0, 10, 10);
  child->SetAlign(classlib::TAlign::alClient);
  EXPECT_EQ(Bounds(*child), "1,1,59,39");
  panel->Bevel().SetBorderWidth(3);
  EXPECT_EQ(Bounds(*child), "3,3,57,37") << "a bevel change realigns at once";
  panel->Bevel().SetStyleInner(TVisBevelStyle::bvRaised);
  panel->Bevel().SetWidthInner(2);
  EXPECT_EQ(Bounds(*child), "5,5,55,35");
}

TEST_F(Panels, BevelChangesWhileLoadingAreAppliedWhenLoadingEnds) {
  form->BeginLoading();
  TVisSimplePanel* panel = NewPanel(form, 0, 0, 50, 30);
  panel->HandleNeeded();
  TVisSimplePanel* child = NewPanel(panel, 0, 0, 10, 10);
  child->SetAlign(classlib::TAlign::alClient);
  panel->Bevel().SetBorderWidth(2);
  form->EndLoading();
  EXPECT_EQ(Bounds(*child), "2,2,48,28");
}

TEST_F(Panels, TheWindowsModeSwitchesTheClientEdgeOnAndOff) {
  TVisSimplePanel* panel = NewPanel(form, 0, 0, 50, 30);
  TVisSimplePanel* child = NewPanel(panel, 0, 0, 10, 10);
  child->SetAlign(classlib::TAlign::alClient);
  form->Show();
  auto clientEdge = [&] { return (GetWindowLongPtrW(panel->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0; };
  panel->Bevel().SetMode(TVisBevelMode::bmWindows);
  Pump();
  EXPECT_TRUE(clientEdge());
  EXPECT_EQ(Bounds(*child), "0,0,46,26") << "the edge takes the frame's place";
  EXPECT_EQ(Bounds(*panel), "0,0,50,30");
  panel->Bevel().SetMode(TVisBevelMode::bmCustom);
  Pump();
  EXPECT_FALSE(clientEdge());
  EXPECT_EQ(Bounds(*child), "0,0,50,30");
}

TEST_F(Panels, TheFlatBorderRefillsFourStripsOfTheFrame) {
  auto* panel = new OpenPanel(form);
  panel->SetParent(form);
  panel->SetBounds(0, 0, 20, 16);
  panel->SetColor(kLight);
  panel->SetFlatBorder(true);
  // A shadow frame is wider at the right and bottom: E 1, F 4.
  panel->Bevel().SetStyleOuter(TVisBevelStyle::bvShadow);
  panel->Bevel().SetWidthInner(1);
  panel->Bevel().SetWidthOuter(3);
  ASSERT_EQ(panel->Bevel().Extent(), 1);
  ASSERT_EQ(panel->Bevel().ExtentRightBottom(), 4);
  const int w = 20, h = 16, e = 1, f = 4;
  TBitmap picture;
  pixels::Prepare(picture, w, h, kMarker);
  panel->PaintFlatBorderOn(picture.Canvas());
  GdiFlush();
  std::vector<std::string> expected, painted;
  for (int y = 0; y < h; ++y) {
    std::string want, got;
    for (int x = 0; x < w; ++x) {
      // The bottom strip reaches one row above the bottom frame.
      const bool strip = y < e || x < e || y >= h - f - 1 || (x >= w - f && y < h - f);
      want += strip ? 'o' : '.';
      got += picture.Pixel(x, y) == kLight ? 'o' : picture.Pixel(x, y) == kMarker ? '.' : '?';
    }
    expected.push_back(want);
    painted.push_back(got);
  }
  EXPECT_EQ(painted, expected);
}

TEST_F(Panels, ATransparentPanelCopiesItsPiecesOfTheRootsBackground) {
  // Without a theme, which would draw the form's background below a transparent panel.
  ScopedThemeEntries themes(ScopedThemeEntries::NoTheme());
  auto* root = new BackgroundRoot(form);
  root->SetParent(form);
  root->SetBounds(0, 0, 60, 60);
  const Chain chain = TransparentChain(root);
  TVisSimplePanel* opaque = NewPanel(root, 40, 40, 10, 10);
  opaque->SetColor(kLight);
  TVisSimplePanel* onForm = NewPanel(form, 100, 0, 10, 10);
  onForm->SetColor(kLight);
  onForm->SetTransparent(true);
  form->Show();
  Pump();
  ExpectRootsPieces(chain);
  for (TVisSimplePanel* own : {opaque, onForm}) {
    TBitmap picture;
    PaintControl(*own, picture);
    EXPECT_EQ(picture.Pixel(3, 3), kLight) << "no background bitmap to take from " << Bounds(*own);
  }
}

// On a form painted from its form shape's region bitmap, a transparent panel (and one inside it)
// shows its piece of that bitmap; without the bitmap it paints its own colour.
TEST_F(Panels, ATransparentPanelOnAShapedFormCopiesTheRegionsBitmap) {
  ScopedThemeEntries themes(ScopedThemeEntries::NoTheme());
  form->BeginLoading();
  auto* shape = new TVisFormShape(form);
  form->EndLoading();
  BackgroundRoot::Draw(shape->Region().Mask().Border(TVisRegionMask::kBorder));
  shape->Region().SetShape(TVisRegionShape::rsBitmap);
  const Chain chain = TransparentChain(form);
  chain.panel->SetColor(kLight);
  form->Show();
  Pump();
  ExpectRootsPieces(chain);
  shape->SetUseRgnBitmap(false);
  TBitmap shown;
  PaintControl(*chain.panel, shown);
  EXPECT_EQ(shown.Pixel(20, 20), kLight);
}

namespace {

bool themeDrawsParent = true;
int parentBackgrounds = 0;

HRESULT WINAPI FakeParentBackground(HWND, HDC dc, const RECT*) {
  ++parentBackgrounds;
  if (!themeDrawsParent) return E_FAIL;
  HBRUSH brush = CreateSolidBrush(kMarker);
  const RECT all = {0, 0, 1000, 1000};
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  return S_OK;
}

}  // namespace

TEST_F(Panels, ThemedParentBackgroundReplacesTheTransparentPanelsOwnColour) {
  TVisThemeEntries fake;
  fake.Loaded = true;
  fake.IsThemeActive = [] { return TRUE; };
  fake.DrawThemeParentBackground = FakeParentBackground;
  ScopedThemeEntries themes(fake);
  TVisSimplePanel* panel = NewPanel(form, 0, 0, 20, 20);
  panel->SetColor(kLight);
  TVisSimplePanel* opaque = NewPanel(form, 30, 0, 20, 20);
  opaque->SetColor(kLight);
  panel->SetTransparent(true);
  form->Show();
  Pump();
  for (bool draws : {true, false}) {
    themeDrawsParent = draws;
    parentBackgrounds = 0;
    TBitmap picture;
    PaintControl(*panel, picture);
    EXPECT_EQ(parentBackgrounds, 1);
    EXPECT_NE(picture.Pixel(10, 10), kLight) << "whatever the theme answered (" << draws << ")";
    if (draws) {
      EXPECT_EQ(picture.Pixel(10, 10), kMarker);
    }
  }
  parentBackgrounds = 0;
  TBitmap picture;
  PaintControl(*opaque, picture);
  EXPECT_EQ(picture.Pixel(10, 10), kLight);
  EXPECT_EQ(parentBackgrounds, 0);
}

// Enter and exit come in pairs, also when the panel is disabled while the mouse is over it.
TEST_F(Panels, MouseEnterAndExitFollowTheMouseAndHotWithThem) {
  TVisSimplePanel* panel = NewPanel(form, 0, 0, 20, 20);
  std::vector<std::string> events;
  panel->OnMouseEnter = [&](classlib::TComponent*) { events.push_back(panel->Hot() ? "enter, hot" : "enter"); };
  panel->OnMouseExit = [&](classlib::TComponent*) { events.push_back(panel->Hot() ? "exit, hot" : "exit"); };
  panel->Perform(classlib::CM_MOUSEENTER);
  EXPECT_TRUE(panel->Hot());
  panel->SetEnabled(false);
  panel->Perform(classlib::CM_MOUSELEAVE);
  EXPECT_FALSE(panel->Hot());
  EXPECT_EQ(events, (std::vector<std::string>{"enter", "exit"}));
}

TEST_F(Panels, FocusEventsFollowTheFocusChange) {
  TVisSimplePanel* panel = NewPanel(form, 0, 0, 20, 20);
  std::vector<std::string> events;
  panel->OnFocusGained = [&](classlib::TComponent*) { events.push_back(panel->HasFocus() ? "gained" : "gained?"); };
  panel->OnFocusLost = [&](classlib::TComponent*) { events.push_back("lost"); };
  form->Show();
  SetActiveWindow(form->Handle());
  SetFocus(panel->Handle());
  EXPECT_TRUE(panel->HasFocus());
  EXPECT_TRUE(events.empty()) << "posted, not sent";
  Pump();
  SetFocus(form->Handle());
  EXPECT_FALSE(panel->HasFocus());
  Pump();
  EXPECT_EQ(events, (std::vector<std::string>{"gained", "lost"}));
}
