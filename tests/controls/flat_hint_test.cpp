#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "classlib/forms.h"
#include "classlib/stdctrls.h"
#include "controls/flat/flat_button.h"
#include "controls/flat/flat_hint.h"
#include "tests/controls/flat_fixture.h"

using namespace controls;
using classlib::Application;
using classlib::TColor;

namespace {

constexpr TColor kBorder = 0x996633;
constexpr TColor kStrip = 0xF5DEDE;
constexpr TColor kArrow = 0x0000C0;

class FlatHints : public flat_testing::FlatFixture {
 protected:
  FlatHints() {
    hint = new TFlatHint(form);
    hint->SetColorBorder(kBorder);
    hint->SetColorArrowBackground(kStrip);
    hint->SetColorArrow(kArrow);
    hint->SetMaxHintWidth(250);
    Application().SetMainForm(form);
  }
  ~FlatHints() override {
    Application().SetMainForm(nullptr);
    Application().CancelHint();
    Application().SetHintWindowClass(nullptr);
    Application().SetHintShortPause(50);
    Application().SetHintHidePause(2500);
  }
  int TextWidth(const std::string& text) {
    classlib::TBitmap bitmap(1, 1);
    bitmap.Canvas().Font().Assign(hint->Font());
    return bitmap.Canvas().TextWidth(text);
  }
  int LineHeight() { return ReadFontMetrics(hint->Font()).tmHeight; }
  TFlatHintWindow* ShowAt(int x, int y, const std::string& text) {
    SetCursorPos(x, y);
    POINT at;
    GetCursorPos(&at);
    EXPECT_EQ(at.x, x);
    EXPECT_EQ(at.y, y);
    window->ActivateHint({0, 0, 0, 0}, text);
    return window;
  }

  TFlatHint* hint;
  TFlatHintWindow* window = new TFlatHintWindow(form);
};

TEST_F(FlatHints, BoxOpensAwayFromTheNearestScreenCorner) {
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  const std::string text = "Kurzer Hinweis";
  const int w = TextWidth(text) + 22, h = LineHeight() + 6;
  using Corner = TFlatHintWindow::TArrowCorner;
  const struct {
    const char* name;
    int x, y;
    Corner corner;
    RECT box;
  } cases[] = {
      {"top left", 100, 100, Corner::TopLeft, {112, 112, 112 + w, 112 + h}},
      {"top right", sw - 100, 100, Corner::TopRight, {sw - 105 - w, 105, sw - 105, 105 + h}},
      {"bottom left", 100, sh - 100, Corner::BottomLeft, {105, sh - 105 - h, 105 + w, sh - 105}},
      {"bottom right", sw - 100, sh - 100, Corner::BottomRight, {sw - 105 - w, sh - 105 - h, sw - 105, sh - 105}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ShowAt(c.x, c.y, text);
    EXPECT_EQ(window->ArrowCorner(), c.corner);
    const RECT box = window->BoundsRect();
    EXPECT_EQ(box.left, c.box.left);
    EXPECT_EQ(box.top, c.box.top);
    EXPECT_EQ(box.right, c.box.right);
    EXPECT_EQ(box.bottom, c.box.bottom);
    EXPECT_TRUE(IsWindowVisible(window->Handle()));
  }
}

TEST_F(FlatHints, LongHintsWrapAtTheMaximumWidthAndAmpersandsStay) {
  ShowAt(100, 100, "A&B");
  EXPECT_EQ(window->Width(), TextWidth("A&B") + 22) << "no accelerator prefix";
  const std::string text =
      "Wählen Sie den Zielort (Festplatte, Netzlaufwerk, CD-R/RW) der Sicherung und legen Sie fest, welche Aktion "
      "danach durchgeführt werden soll.";
  ShowAt(100, 100, text);
  EXPECT_LE(window->Width(), 250);
  EXPECT_GT(window->Width(), 200);
  EXPECT_GE(window->Height(), 3 * LineHeight() + 6);
}

TEST_F(FlatHints, StripAndArrowSitOnTheCursorsSide) {
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  ShowAt(sw - 100, sh - 100, "Hinweis");
  classlib::TBitmap& corner = Painted(*window);
  const int w = window->Width(), h = window->Height();
  EXPECT_EQ(corner.Pixel(0, 0), kBorder);
  EXPECT_EQ(corner.Pixel(w - 1, h - 1), kBorder);
  EXPECT_EQ(corner.Pixel(1, h - 2), 0xFFFFFFu) << "text area";
  EXPECT_EQ(corner.Pixel(w - 12, 2), kStrip);
  EXPECT_EQ(corner.Pixel(w - 4, h - 4), kArrow) << "the arrow's point, bottom right";
  EXPECT_EQ(corner.Pixel(w - 8, h - 4), kArrow);

  ShowAt(100, 100, "Hinweis");
  classlib::TBitmap& topLeft = Painted(*window);
  EXPECT_EQ(topLeft.Pixel(3, 3), kArrow) << "the arrow's point, top left";
  EXPECT_EQ(topLeft.Pixel(12, window->Height() - 3), kStrip);
  EXPECT_EQ(topLeft.Pixel(window->Width() - 2, 1), 0xFFFFFFu);
}

TEST_F(FlatHints, WithoutAFlatHintOnTheMainWindowTheDefaultsShow) {
  Application().SetMainForm(nullptr);
  ShowAt(100, 100, "Hinweis");
  classlib::TBitmap& shot = Painted(*window);
  EXPECT_EQ(shot.Pixel(0, 0), 0x000000u);
  EXPECT_EQ(shot.Pixel(12, window->Height() - 3), 0x53D2FFu);
  EXPECT_EQ(window->Width(), TextWidth("Hinweis") + 22);
  // Nor does a freed one linger.
  Application().SetMainForm(form);
  ShowAt(100, 100, "Hinweis");
  delete hint;
  hint = nullptr;
  EXPECT_EQ(Painted(*window).Pixel(0, 0), 0x000000u);
}

TEST_F(FlatHints, TakesOverTheApplicationsHintsAndGivesBackItsHandler) {
  EXPECT_EQ(Application().HintPause(), 500u);
  EXPECT_EQ(Application().HintShortPause(), 25u);
  EXPECT_EQ(Application().HintHidePause(), 5000u);
  EXPECT_TRUE(Application().ShowHint());

  auto* button = new TFlatButton(form);
  button->SetParent(form);
  button->SetBounds(20, 20, 80, 25);
  button->SetHint("Sicherung & Wiederherstellung");
  button->SetShowHint(true);
  hint->OnShowHint = [](std::string& text, bool&, classlib::THintInfo&) { text = "» " + text; };
  form->Show();
  const POINT screen = button->ClientToScreen({10, 10});
  SetCursorPos(screen.x, screen.y);
  PostMessageW(button->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
  testing_support::Pump();
  Application().HintTimer().Tick();
  auto* shown = dynamic_cast<TFlatHintWindow*>(Application().HintWindow());
  ASSERT_NE(shown, nullptr);
  EXPECT_TRUE(shown->Visible());
  EXPECT_EQ(shown->Caption(), "» Sicherung & Wiederherstellung");
  EXPECT_EQ(shown->Left(), screen.x + 12);
  EXPECT_EQ(Application().HintTimer().Interval(), 5000u);

  delete hint;
  hint = nullptr;
  EXPECT_FALSE(Application().OnShowHint) << "no handler into a freed component";
  // A handler set after it stays.
  auto* second = new TFlatHint(form);
  bool called = false;
  Application().OnShowHint = [&](std::string&, bool&, classlib::THintInfo&) { called = true; };
  delete second;
  ASSERT_TRUE(Application().OnShowHint);
  Application().OnShowHint = nullptr;
}

}  // namespace
