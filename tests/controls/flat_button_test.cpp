#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "classlib/stdctrls.h"
#include "controls/flat/flat_button.h"
#include "tests/controls/flat_fixture.h"

using namespace controls;
using classlib::TColor;
using testing_support::ClickAt;
using testing_support::PressAltKey;
using testing_support::PressKey;

namespace {

constexpr TColor kFace = 0xFFFFFF;
constexpr TColor kFocused = 0xF5DEDE;
constexpr TColor kDown = 0xECEBEA;
constexpr TColor kBorder = 0x996633;
constexpr TColor kHigh = 0x0000FF;
constexpr TColor kShadow = 0x00FF00;

class FlatButton : public flat_testing::FlatFixture {
 protected:
  TFlatButton* NewButton(int left, const std::string& caption = "OK", classlib::TWinControl* parent = nullptr) {
    auto* button = new TFlatButton(form);
    button->SetParent(parent ? parent : form);
    button->SetBounds(left, 20, 80, 25);
    button->SetCaption(caption);
    button->SetColor(kFace);
    button->SetColorFocused(kFocused);
    button->SetColorDown(kDown);
    button->SetColorBorder(kBorder);
    button->SetColorHighLight(kHigh);
    button->SetColorShadow(kShadow);
    button->OnClick = [this, button](classlib::TComponent*) { clicked.push_back(button); };
    return button;
  }
  static void Click(TFlatButton& b) { ClickAt(b.Handle(), 40, 12); }

  std::vector<TFlatButton*> clicked;
};

TEST_F(FlatButton, EachStatePaintsItsFillAndFrame) {
  const struct {
    const char* name;
    std::function<void(TFlatButton&)> setup;
    TColor topLeft, bottomRight, second, inside;
  } cases[] = {
      {"up", [](TFlatButton&) {}, kBorder, kBorder, kFace, kFace},
      {"default", [](TFlatButton& b) { b.SetDefault(true); }, kBorder, kBorder, kBorder, kFace},
      {"focused, drawn as hovered", [](TFlatButton& b) { b.SetFocus(); }, kHigh, kShadow, kFocused, kFocused},
      {"pressed", [](TFlatButton& b) { SendMessageW(b.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10)); },
       kShadow, kHigh, kDown, kDown},
      {"disabled", [](TFlatButton& b) { b.SetEnabled(false); }, kBorder, kBorder, kFace, kFace},
      {"held down in a group",
       [](TFlatButton& b) {
         b.SetGroupIndex(1);
         b.SetDown(true);
       },
       kShadow, kHigh, kDown, kDown},
  };
  form->Show();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TFlatButton* button = NewButton(20);
    c.setup(*button);
    classlib::TBitmap& shot = Painted(*button);
    EXPECT_EQ(shot.Pixel(0, 0), c.topLeft);
    EXPECT_EQ(shot.Pixel(79, 24), c.bottomRight);
    EXPECT_EQ(shot.Pixel(1, 1), c.second);
    EXPECT_EQ(shot.Pixel(4, 4), c.inside);
    delete button;
  }
}

TEST_F(FlatButton, TransparentModesShowTheParentBehind) {
  form->Show();
  TFlatButton* button = NewButton(20);
  button->SetTransparentMode(TTransparentMode::tmAlways);
  EXPECT_EQ(Painted(*button).Pixel(4, 4), flat_testing::kFormColor);
  button->SetTransparentMode(TTransparentMode::tmNotFocused);
  EXPECT_EQ(Painted(*button).Pixel(4, 4), flat_testing::kFormColor);
  button->SetFocus();
  EXPECT_EQ(Painted(*button).Pixel(4, 4), kFocused);
}

TEST_F(FlatButton, HoverPassesFromButtonToButtonWithOneClock) {
  TFlatButton* first = NewButton(20);
  TFlatButton* second = NewButton(120);
  form->Show();
  classlib::TTimer* clock = TFlatButton::HoverTimer();
  ASSERT_NE(clock, nullptr);

  MoveMouse(*first, 10, 10);
  EXPECT_EQ(TFlatButton::HoverButton(), first);
  EXPECT_TRUE(clock->Enabled());
  EXPECT_EQ(clock->Interval(), 100u);
  EXPECT_EQ(Painted(*first).Pixel(4, 4), kFocused);

  MoveMouse(*second, 10, 10);
  EXPECT_EQ(TFlatButton::HoverButton(), second);
  EXPECT_EQ(TFlatButton::HoverTimer(), clock);
  EXPECT_TRUE(clock->Enabled());
  EXPECT_EQ(Painted(*first).Pixel(4, 4), kFace);
  EXPECT_EQ(Painted(*second).Pixel(4, 4), kFocused);

  // The mouse left the window: the next tick takes the hover away and stops the clock.
  ParkCursor();
  clock->Tick();
  EXPECT_EQ(TFlatButton::HoverButton(), nullptr);
  EXPECT_FALSE(clock->Enabled());
  EXPECT_EQ(Painted(*second).Pixel(4, 4), kFace);
}

TEST_F(FlatButton, ReleaseClicksOnlyInsideTheButton) {
  const struct {
    int x, y;
    bool clicks;
  } cases[] = {
      {10, 10, true}, {79, 12, true}, {10, 24, true}, {80, 12, false}, {10, 25, false}, {-1, 12, false},
  };
  TFlatButton* button = NewButton(20);
  form->Show();
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    clicked.clear();
    SendMessageW(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageW(button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(c.x, c.y));
    EXPECT_EQ(clicked.size(), c.clicks ? 1u : 0u);
    EXPECT_NE(Painted(*button).Pixel(4, 4), kDown) << "up again";
  }
}

TEST_F(FlatButton, GroupsKeepOneButtonDownPerParent) {
  auto* panel = new classlib::TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(0, 100, 400, 60);
  TFlatButton* a = NewButton(10);
  TFlatButton* b = NewButton(100);
  TFlatButton* other = NewButton(190);
  TFlatButton* elsewhere = NewButton(10, "OK", panel);
  for (TFlatButton* button : {a, b, elsewhere}) button->SetGroupIndex(1);
  other->SetGroupIndex(2);
  form->Show();
  elsewhere->SetDown(true);
  other->SetDown(true);

  const struct {
    const char* step;
    std::function<void()> act;
    bool aDown, bDown;
  } steps[] = {
      {"click a", [&] { Click(*a); }, true, false},
      {"click b", [&] { Click(*b); }, false, true},
      {"click b again", [&] { Click(*b); }, false, true},
      {"all up allowed", [&] { b->SetAllowAllUp(true); }, false, true},
      {"click b once more", [&] { Click(*b); }, false, false},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.step);
    s.act();
    EXPECT_EQ(a->Down(), s.aDown);
    EXPECT_EQ(b->Down(), s.bDown);
    EXPECT_TRUE(elsewhere->Down()) << "another parent";
    EXPECT_TRUE(other->Down()) << "another group";
  }
  EXPECT_TRUE(a->AllowAllUp()) << "the group learns AllowAllUp";
  EXPECT_EQ(clicked.size(), 4u);

  TFlatButton* single = NewButton(280);
  single->SetDown(true);
  EXPECT_FALSE(single->Down()) << "only grouped buttons go down";
}

TEST_F(FlatButton, SpaceClicksAndEveryOtherKeyPassesOn) {
  TFlatButton* button = NewButton(20);
  TFlatButton* next = NewButton(120);
  std::vector<WORD> keys;
  button->OnKeyDown = [&](classlib::TComponent*, WORD& key, classlib::TShiftState) { keys.push_back(key); };
  form->Show();
  button->SetFocus();

  PressKey(button->Handle(), VK_SPACE);
  EXPECT_EQ(clicked, std::vector<TFlatButton*>{button});
  PressKey(button->Handle(), 'A');
  PressKey(button->Handle(), VK_DOWN);
  EXPECT_EQ(keys, (std::vector<WORD>{'A', VK_DOWN}));
  EXPECT_EQ(clicked.size(), 1u);

  // A release without its press, or a press carried away by the focus, clicks nothing.
  clicked.clear();
  PostMessageW(button->Handle(), WM_KEYUP, VK_SPACE, 0xC0000001);
  testing_support::Pump();
  PostMessageW(button->Handle(), WM_KEYDOWN, VK_SPACE, 1);
  testing_support::Pump();
  next->SetFocus();
  PostMessageW(next->Handle(), WM_KEYUP, VK_SPACE, 0xC0000001);
  testing_support::Pump();
  EXPECT_TRUE(clicked.empty());
  EXPECT_EQ(Painted(*button).Pixel(4, 4), kFace) << "up again";

  // A grouped button goes down with the key and stays down.
  next->SetGroupIndex(3);
  PressKey(next->Handle(), VK_SPACE);
  EXPECT_TRUE(next->Down());
  EXPECT_EQ(clicked, std::vector<TFlatButton*>{next});
}

TEST_F(FlatButton, ReturnEscapeTabAndAcceleratorsOnTheForm) {
  auto* edit = new classlib::TEdit(form);
  edit->SetParent(form);
  TFlatButton* ok = NewButton(130, "OK");
  ok->SetDefault(true);
  TFlatButton* cancel = NewButton(220, "Abbrechen");
  cancel->SetCancel(true);
  auto* hiddenPage = new classlib::TPanel(form);
  hiddenPage->SetParent(form);
  hiddenPage->SetBounds(0, 100, 400, 60);
  hiddenPage->Hide();
  TFlatButton* hidden = NewButton(10, "&Wiederholen", hiddenPage);
  TFlatButton* disabled = NewButton(10, "&Wenden");
  disabled->SetTop(200);
  disabled->SetEnabled(false);
  TFlatButton* next = NewButton(100, "&Weiter");
  next->SetTop(200);
  form->Show();
  edit->SetFocus();

  PressKey(edit->Handle(), VK_RETURN);
  PressKey(edit->Handle(), VK_ESCAPE);
  PressAltKey(edit->Handle(), L'w');
  EXPECT_EQ(clicked, (std::vector<TFlatButton*>{ok, cancel, next}));
  EXPECT_TRUE(edit->Focused()) << "an accelerator clicks without taking the focus";
  (void)hidden;
  (void)disabled;

  PressKey(edit->Handle(), VK_TAB);
  EXPECT_TRUE(ok->Focused());
  PressKey(ok->Handle(), VK_TAB);
  EXPECT_TRUE(cancel->Focused());
  clicked.clear();
  // Return on a focused button clicks that one, not the default button.
  PressKey(cancel->Handle(), VK_RETURN);
  EXPECT_EQ(clicked, std::vector<TFlatButton*>{cancel});
}

TEST_F(FlatButton, ClickTellsTheFormItsModalResultAndNeedsNoForm) {
  TFlatButton* button = NewButton(20);
  button->SetModalResult(2);
  testing_support::ClickButton(*button);
  EXPECT_EQ(form->ModalResult(), 2);

  TFlatButton alone(nullptr);
  bool clickedAlone = false;
  alone.OnClick = [&](classlib::TComponent*) { clickedAlone = true; };
  alone.SetModalResult(1);
  alone.Click();
  EXPECT_TRUE(clickedAlone);
}

TEST_F(FlatButton, DoubleClickCountsOnlyOnAButtonThatIsDown) {
  TFlatButton* button = NewButton(20);
  int doubles = 0;
  button->OnDblClick = [&](classlib::TComponent*) { ++doubles; };
  form->Show();
  SendMessageW(button->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
  SendMessageW(button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  EXPECT_EQ(doubles, 0);
  button->SetGroupIndex(1);
  button->SetDown(true);
  SendMessageW(button->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
  SendMessageW(button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  EXPECT_EQ(doubles, 1);
}

TEST_F(FlatButton, GlyphImagesFollowTheState) {
  const struct {
    int width, height, before, expected;
  } counts[] = {{64, 16, 1, 4}, {80, 16, 1, 1}, {32, 16, 1, 2}, {16, 16, 3, 1}, {20, 16, 3, 3}};
  for (const auto& c : counts) {
    TFlatButton button(nullptr);
    button.SetNumGlyphs(c.before);
    button.SetGlyph(classlib::TBitmap(c.width, c.height));
    EXPECT_EQ(button.NumGlyphs(), c.expected) << c.width << " x " << c.height;
  }
  TFlatButton button(nullptr);
  button.SetMargin(-2);
  EXPECT_EQ(button.Margin(), -1);
  button.SetMargin(3);
  EXPECT_EQ(button.Margin(), 3);

  // Two images of 8 x 8: red for up, blue for disabled; magenta (bottom left) is transparent.
  classlib::TBitmap glyph(16, 8);
  glyph.Canvas().Brush().SetColor(0x0000FF);
  glyph.Canvas().FillRect({0, 0, 8, 8});
  glyph.Canvas().Brush().SetColor(0xFF0000);
  glyph.Canvas().FillRect({8, 0, 16, 8});
  glyph.Canvas().SetPixel(0, 7, 0xFF00FF);
  glyph.Canvas().SetPixel(8, 7, 0xFF00FF);
  TFlatButton* shown = NewButton(20, "");
  shown->SetGlyph(glyph);
  form->Show();
  // Without a caption the glyph sits in the middle.
  const int x = (80 - 8 + 1) / 2, y = (25 - 8 + 1) / 2;
  classlib::TBitmap& up = Painted(*shown);
  EXPECT_EQ(up.Pixel(x + 3, y + 3), 0x0000FFu);
  EXPECT_EQ(up.Pixel(x, y + 7), up.Pixel(2, 2)) << "transparent";
  shown->SetEnabled(false);
  EXPECT_EQ(Painted(*shown).Pixel(x + 3, y + 3), 0xFF0000u);
}

}  // namespace
