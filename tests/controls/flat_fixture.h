// A shown form for the flat controls' tests, and what they read back: a control's own pixels and
// the messages a user's mouse and keys would give.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "classlib/forms.h"
#include "classlib/graphics.h"
#include "tests/support/window_test.h"

namespace flat_testing {

constexpr classlib::TColor kFormColor = 0x00C08040;

class FlatFixture : public ::testing::Test {
 protected:
  FlatFixture() {
    testing_support::InitWindows();
    form = new classlib::TForm(nullptr);
    form->SetCaption("Flach");
    form->SetClientSize(400, 300);
    form->SetColor(kFormColor);
  }
  ~FlatFixture() override {
    delete form;
    EXPECT_EQ(testing_support::TakeBoundaryErrors(), std::vector<std::string>());
  }

  // The client area as the control paints it now.
  classlib::TBitmap& Painted(classlib::TWinControl& control) {
    testing_support::PaintControl(control, shot_);
    return shot_;
  }

  // The mouse at a client point of the control, the cursor put there too.
  static void MoveMouse(classlib::TWinControl& control, int x, int y) {
    const POINT screen = control.ClientToScreen({x, y});
    SetCursorPos(screen.x, screen.y);
    SendMessageW(control.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
  }

  static void ParkCursor() { SetCursorPos(1270, 1010); }

  classlib::TForm* form;

 private:
  classlib::TBitmap shot_;
};

}  // namespace flat_testing
