#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "classlib/forms.h"
#include "classlib/hint_window.h"
#include "classlib/stdctrls.h"
#include "tests/support/window_test.h"

using namespace classlib;

namespace {

class Hints : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::InitWindows();
    form = new TForm(nullptr);
    form->SetClientSize(300, 200);
    form->SetShowHint(true);
    label = new TLabel(form);
    label->SetParent(form);
    label->SetBounds(10, 10, 100, 20);
    label->SetHint("Die Bezeichnung der Sicherung");
    button = new TButton(form);
    button->SetParent(form);
    button->SetBounds(10, 60, 100, 25);
    button->SetHint("Startet die Sicherung");
    form->Show();
  }
  void TearDown() override {
    delete form;
    TApplication& app = Application();
    app.CancelHint();
    app.OnShowHint = nullptr;
    app.SetHintWindowClass(nullptr);
    app.SetShowHint(true);
    EXPECT_EQ(testing_support::TakeBoundaryErrors(), std::vector<std::string>());
  }

  // The mouse comes to rest at a client point of a window of the form, as the system reports it.
  void MouseAt(TWinControl& window, int x, int y) {
    const POINT screen = window.ClientToScreen({x, y});
    SetCursorPos(screen.x, screen.y);
    PostMessageW(window.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    testing_support::Pump();
  }
  static bool HintShown() { return Application().HintWindow() && Application().HintWindow()->Visible(); }
  static TTimer& Clock() { return Application().HintTimer(); }

  TForm* form = nullptr;
  TLabel* label = nullptr;
  TButton* button = nullptr;
};

TEST_F(Hints, HintOpensAfterThePauseAndClosesAfterTheHidePause) {
  MouseAt(*form, 20, 15);
  EXPECT_FALSE(HintShown());
  ASSERT_TRUE(Clock().Enabled());
  EXPECT_EQ(Clock().Interval(), Application().HintPause());

  Clock().Tick();
  ASSERT_TRUE(HintShown());
  THintWindow* window = Application().HintWindow();
  EXPECT_EQ(window->Caption(), "Die Bezeichnung der Sicherung");
  POINT cursor;
  GetCursorPos(&cursor);
  EXPECT_EQ(window->Left(), cursor.x);
  EXPECT_GT(window->Top(), cursor.y) << "below the cursor";
  EXPECT_EQ(Clock().Interval(), Application().HintHidePause());

  // Resting on the same control keeps it; the hide pause ends it, and it does not come back there.
  MouseAt(*form, 25, 16);
  EXPECT_TRUE(HintShown());
  Clock().Tick();
  EXPECT_FALSE(HintShown());
  MouseAt(*form, 30, 17);
  EXPECT_FALSE(Clock().Enabled());
}

TEST_F(Hints, MovingOnFromAShowingHintTakesTheShortPause) {
  Application().SetHintShortPause(40);
  MouseAt(*form, 20, 15);
  Clock().Tick();
  ASSERT_TRUE(HintShown());
  MouseAt(*button, 5, 5);
  EXPECT_FALSE(HintShown());
  EXPECT_EQ(Clock().Interval(), 40u);
  Clock().Tick();
  ASSERT_TRUE(HintShown());
  EXPECT_EQ(Application().HintWindow()->Caption(), "Startet die Sicherung");

  // Over a control without a hint (the form's own area) the hint ends; the next one waits fully.
  MouseAt(*form, 250, 180);
  EXPECT_FALSE(HintShown());
  EXPECT_FALSE(Clock().Enabled());
  MouseAt(*form, 20, 15);
  EXPECT_EQ(Clock().Interval(), Application().HintPause());
}

TEST_F(Hints, OnShowHintMayChangeTheTextOrRefuse) {
  bool allow = true;
  Application().OnShowHint = [&](std::string& text, bool& canShow, THintInfo& info) {
    EXPECT_EQ(info.HintControl, button);
    text += " (F1)";
    info.HideTimeout = 0;
    canShow = allow;
  };
  MouseAt(*button, 5, 5);
  Clock().Tick();
  ASSERT_TRUE(HintShown());
  EXPECT_EQ(Application().HintWindow()->Caption(), "Startet die Sicherung (F1)");
  EXPECT_FALSE(Clock().Enabled()) << "no hide pause";

  Application().CancelHint();
  allow = false;
  MouseAt(*button, 6, 6);
  Clock().Tick();
  EXPECT_FALSE(HintShown());
}

TEST_F(Hints, OnlyControlsThatShowHintsGetThem) {
  EXPECT_TRUE(label->ShowHint()) << "taken from the form";
  label->SetShowHint(false);
  EXPECT_FALSE(label->ParentShowHint());
  MouseAt(*form, 20, 15);
  EXPECT_FALSE(Clock().Enabled());

  label->SetParentShowHint(true);
  form->SetShowHint(false);
  MouseAt(*form, 21, 15);
  EXPECT_FALSE(Clock().Enabled());

  form->SetShowHint(true);
  Application().SetShowHint(false);
  MouseAt(*form, 22, 15);
  EXPECT_FALSE(Clock().Enabled());
  EXPECT_EQ(Application().HintWindow(), nullptr);
}

TEST_F(Hints, KeysClicksAndAFreedControlEndTheHint) {
  MouseAt(*button, 5, 5);
  Clock().Tick();
  ASSERT_TRUE(HintShown());
  testing_support::PressKey(button->Handle(), VK_SHIFT);
  EXPECT_FALSE(HintShown());

  MouseAt(*form, 20, 15);
  PostMessageW(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 15));
  testing_support::Pump();
  EXPECT_FALSE(Clock().Enabled());

  // A control freed while its hint waits takes the wait with it.
  MouseAt(*button, 5, 5);
  delete button;
  Clock().Tick();
  EXPECT_FALSE(HintShown());
}

// A hint window of another class, as a control library puts in.
class TBoxedHint : public THintWindow {
 public:
  using THintWindow::THintWindow;
};

TEST_F(Hints, ReplacedWindowClassShowsTheNextHint) {
  MouseAt(*button, 5, 5);
  Clock().Tick();
  ASSERT_TRUE(HintShown());
  Application().SetHintWindowClass([](TComponent* owner) { return new TBoxedHint(owner); });
  Application().SetShowHint(false);
  Application().SetShowHint(true);
  EXPECT_EQ(Application().HintWindow(), nullptr);
  MouseAt(*form, 20, 15);
  Clock().Tick();
  ASSERT_TRUE(HintShown());
  EXPECT_NE(dynamic_cast<TBoxedHint*>(Application().HintWindow()), nullptr);
}

}  // namespace
