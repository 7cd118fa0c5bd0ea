// Every control repaints whatever it draws changes. With the mouse parked away from the form, each
// case changes one thing the control shows (by a setter, a message, a key or through another
// control), lets the messages run, and compares what the display shows with the control's own
// fresh paint of its new state: a control that missed the change still shows the old picture.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/forms.h"
#include "classlib/graphics.h"
#include "controls/flat/flat_button.h"
#include "tests/support/window_test.h"

using namespace controls;
using classlib::TBitmap;
using classlib::TColor;
using classlib::TForm;

namespace {

constexpr TColor kFormColor = 0x00C08040;

// What a case reads: a control's pixels, with its window's frame for controls that paint there.
struct Subject {
  classlib::TControl* control = nullptr;
  bool frame = false;
};

struct Case {
  std::string name;
  std::function<Subject(TForm&)> make;
  std::function<void()> change;
};

// A case on a control of type T: make builds it on the form, change changes it.
template <typename T>
Case On(const std::string& name, std::function<T*(TForm&)> make, std::function<void(T&)> change, bool frame = false) {
  auto made = std::make_shared<T*>(nullptr);
  return {name,
          [=](TForm& form) {
            *made = make(form);
            return Subject{*made, frame};
          },
          [=] { change(**made); }};
}

// The window whose pixels show the subject, and where in it (client or window coordinates).
HWND WindowOf(const Subject& s, RECT& area) {
  if (auto* windowed = dynamic_cast<classlib::TWinControl*>(s.control)) {
    HWND window = windowed->Handle();
    if (s.frame) {
      GetWindowRect(window, &area);
      OffsetRect(&area, -area.left, -area.top);
    } else {
      GetClientRect(window, &area);
    }
    return window;
  }
  area = s.control->BoundsRect();
  return s.control->Parent()->Handle();
}

void Crop(TBitmap& picture, const RECT& area) {
  TBitmap part(area.right - area.left, area.bottom - area.top);
  BitBlt(part.Canvas().Handle(), 0, 0, part.Width(), part.Height(), picture.SourceDC(), area.left, area.top, SRCCOPY);
  picture.Assign(part);
}

// The subject's own paint of its present state, as the display would show it.
void FreshPaint(const Subject& s, TBitmap& into) {
  RECT area;
  HWND window = WindowOf(s, area);
  if (s.frame) {
    into.SetSize(area.right, area.bottom);
    SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(into.Canvas().Handle()),
                 PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
  } else {
    testing_support::PaintControl(*classlib::TWinControl::FindControl(window), into);
    Crop(into, area);
  }
  testing_support::AsDisplayShows(into);
}

void OnDisplay(const Subject& s, TBitmap& into) {
  RECT area;
  HWND window = WindowOf(s, area);
  testing_support::ShownOnDisplay(window, s.frame, into);
  if (!s.frame) Crop(into, area);
}

// The pixels that differ, with the first of them; windowed children of the subject are left out
// (a fresh paint of the subject does not hold them).
std::string Differences(const Subject& s, const TBitmap& shown, const TBitmap& fresh) {
  std::vector<RECT> children;
  if (auto* windowed = dynamic_cast<classlib::TWinControl*>(s.control))
    for (int i = 0; i < windowed->ControlCount(); ++i)
      if (auto* child = dynamic_cast<classlib::TWinControl*>(windowed->Controls(i)); child && child->Visible())
        children.push_back(child->BoundsRect());
  int count = 0;
  std::string first;
  for (int y = 0; y < fresh.Height(); ++y)
    for (int x = 0; x < fresh.Width(); ++x) {
      bool inChild = false;
      for (const RECT& r : children) inChild |= PtInRect(&r, {x, y}) != FALSE;
      if (inChild || shown.Pixel(x, y) == fresh.Pixel(x, y)) continue;
      if (count++ == 0)
        first = " first at " + std::to_string(x) + "," + std::to_string(y) + ": shown " +
                std::to_string(shown.Pixel(x, y)) + ", painted " + std::to_string(fresh.Pixel(x, y));
    }
  return count == 0 ? std::string() : std::to_string(count) + " pixels differ," + first;
}

bool SamePicture(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
  return true;
}

class Repaint : public ::testing::Test {
 protected:
  Repaint() { testing_support::InitWindows(); }
  ~Repaint() override { EXPECT_EQ(testing_support::TakeBoundaryErrors(), std::vector<std::string>()); }

  static std::unique_ptr<TForm> NewForm() {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetPosition(classlib::TPosition::poDesigned);
    form->SetBounds(80, 80, 440, 340);
    form->SetColor(kFormColor);
    return form;
  }

  static void Run(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      auto form = NewForm();
      const Subject subject = c.make(*form);
      form->Show();
      SetCursorPos(1270, 1010);
      testing_support::Pump();
      TBitmap shown, before, after;
      OnDisplay(subject, shown);
      FreshPaint(subject, before);
      ASSERT_EQ(Differences(subject, shown, before), "") << "shows its own paint before the change";
      c.change();
      testing_support::Pump();
      FreshPaint(subject, after);
      OnDisplay(subject, shown);
      EXPECT_FALSE(SamePicture(before, after)) << "the change shows at all";
      EXPECT_EQ(Differences(subject, shown, after), "") << "redrawn";
    }
  }
};

// ---------------------------------------------------------------- the flat controls

TFlatButton* NewButton(TForm& form, const std::string& caption = "Abbrechen") {
  auto* button = new TFlatButton(&form);
  button->SetParent(&form);
  button->SetBounds(20, 20, 90, 25);
  button->SetCaption(caption);
  button->SetColor(0xFFFFFF);
  button->SetColorBorder(0x996633);
  return button;
}

TEST_F(Repaint, FlatButton) {
  Run({
      On<TFlatButton>("caption", [](TForm& f) { return NewButton(f); },
                      [](TFlatButton& b) { b.SetCaption("Zurück"); }),
      On<TFlatButton>("caption set by another button's click from the keyboard",
                      [](TForm& f) {
                        TFlatButton* back = NewButton(f);
                        TFlatButton* next = NewButton(f, "Weiter");
                        next->SetLeft(200);
                        next->OnClick = [back](classlib::TComponent*) { back->SetCaption("Zurück"); };
                        return back;
                      },
                      [](TFlatButton& b) {
                        auto* next = static_cast<TFlatButton*>(b.Parent()->Controls(1));
                        next->SetFocus();
                        testing_support::PressKey(next->Handle(), VK_SPACE);
                      }),
      On<TFlatButton>("font", [](TForm& f) { return NewButton(f); },
                      [](TFlatButton& b) { b.Font().SetStyle(classlib::fsBold); }),
      On<TFlatButton>("font colour", [](TForm& f) { return NewButton(f); },
                      [](TFlatButton& b) { b.Font().SetColor(0x0000FF); }),
  });
}

}  // namespace
