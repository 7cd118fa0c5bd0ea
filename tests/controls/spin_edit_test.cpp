#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "classlib/stdctrls.h"
#include "controls/panels/vis_application.h"
#include "controls/panels/vis_spin_edit.h"
#include "tests/controls/flat_fixture.h"

using namespace controls;
using classlib::TColor;
using testing_support::PressKey;

namespace {

class SpinEdit : public flat_testing::FlatFixture {
 public:
  SpinEdit() {
    form->Show();
    spin = new TVisSpinEdit(form);
    spin->SetParent(form);
    spin->SetBounds(20, 20, 64, 21);
    spin->SetValue(10);
    spin->OnChange = [this](classlib::TComponent*) { ++changes; };
    other = new classlib::TEdit(form);
    other->SetParent(form);
    other->SetBounds(20, 60, 64, 21);
  }
  ~SpinEdit() override { SetShift(false); }

  HWND Edit() { return spin->Handle(); }
  HWND Host() { return spin->Button()->Parent()->Handle(); }
  void Char(wchar_t c) { SendMessageW(Edit(), WM_CHAR, c, 1); }
  void Key(WORD key) {
    SendMessageW(Edit(), WM_KEYDOWN, key, 1);
    SendMessageW(Edit(), WM_KEYUP, key, 0xC0000001);
  }
  void CaretAtEnd() { SendMessageW(Edit(), EM_SETSEL, 100, 100); }
  // The shift state GetKeyState reports to the control.
  static void SetShift(bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
  }
  static void PutOnClipboard(const wchar_t* text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(GlobalLock(memory), text, bytes);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
  }
  // Left button down (and later up) at a point of the button, as the mouse gives it.
  void Press(int x, int y) { SendMessageW(Host(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
  void MoveTo(int x, int y) { SendMessageW(Host(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y)); }
  void Release(int x, int y) { SendMessageW(Host(), WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }
  static void PoolTicks(int count) {
    for (int i = 0; i < count; ++i) SendMessageW(VisApplication().TimerPool()->WindowHandle(), WM_TIMER, 1, 0);
  }

  TVisSpinEdit* spin;
  classlib::TEdit* other;
  int changes = 0;
};

TEST_F(SpinEdit, ValueIsReadFromTheTextAndRepairsIt) {
  const struct {
    const char* suffix;
    const char* text;
    int value;
    const char* repaired;
  } cases[] = {
      {"", "42", 42, "42"},
      {"", "-7", -7, "-7"},
      {"", "+7", 7, "+7"},
      {"", "", 5, "5"},
      {"", "abc", 5, "5"},
      {"", "1 2", 5, "5"},
      {"", "99999999999", 5, "5"},
      {" Tage", "12 Tage", 12, "12 Tage"},
      {" Tage", "1x2 Tage", 12, "12 Tage"},
      {" Tage", "Tage", 5, "5 Tage"},
      {" Tage", "1-2 Tage", 5, "5 Tage"},
      {" KB", "-", 5, "5 KB"},
  };
  spin->SetMinValue(5);
  for (const auto& c : cases) {
    spin->SetSuffix(c.suffix);
    spin->SetText(c.text);
    EXPECT_EQ(spin->Value(), c.value) << c.suffix << "|" << c.text;
    EXPECT_EQ(spin->Text(), c.repaired) << c.suffix << "|" << c.text;
  }
}

TEST_F(SpinEdit, LimitsClampWrittenValuesAndRefuseReversedRanges) {
  spin->SetMinValue(1);
  spin->SetMaxValue(10000);
  spin->SetValue(0);
  EXPECT_EQ(spin->Text(), "1");
  spin->SetValue(20000);
  EXPECT_EQ(spin->Value(), 10000);
  spin->SetMaxValue(50);  // lowers the value
  EXPECT_EQ(spin->Value(), 50);
  spin->SetMaxValue(1);  // not above the minimum: ignored
  spin->SetMinValue(50);
  EXPECT_EQ(spin->MaxValue(), 50);
  EXPECT_EQ(spin->MinValue(), 1);
  spin->SetSuffix(" KB");
  EXPECT_EQ(spin->Text(), "50 KB");
}

TEST_F(SpinEdit, BoundsLoadedEqualOrReversedDoNotClamp) {
  auto* loaded = new TVisSpinEdit(form);
  loaded->SetParent(form);
  loaded->BeginLoading();
  // A minimum above the default maximum, as a window sets it before its maximum.
  loaded->SetMinValue(250);
  EXPECT_EQ(loaded->Value(), 250);
  loaded->SetMaxValue(250);
  loaded->EndLoading();
  EXPECT_EQ(loaded->MinValue(), 250);
  EXPECT_EQ(loaded->MaxValue(), 250);
  loaded->SetValue(7);
  EXPECT_EQ(loaded->Value(), 7);

  loaded->BeginLoading();
  loaded->SetMaxValue(100);
  loaded->EndLoading();
  loaded->SetValue(300);  // minimum 250, maximum 100: no range, nothing clamped
  EXPECT_EQ(loaded->Value(), 300);
  loaded->SetFocus();
  other->SetFocus();
  EXPECT_EQ(loaded->Value(), 300);
}

TEST_F(SpinEdit, KeysCharactersAndWheelWithTheEditorOnAndOff) {
  PutOnClipboard(L"7");
  const struct {
    const char* name;
    bool editor;
    std::function<void(SpinEdit&)> act;
    const char* text;
  } cases[] = {
      {"digit", true, [](SpinEdit& t) { t.CaretAtEnd(), t.Char('5'); }, "105"},
      {"letter", true, [](SpinEdit& t) { t.CaretAtEnd(), t.Char('a'); }, "10"},
      {"tab", true, [](SpinEdit& t) { t.CaretAtEnd(), t.Char('\t'); }, "10"},
      {"line feed", true, [](SpinEdit& t) { t.CaretAtEnd(), t.Char('\n'); }, "10"},
      {"backspace", true, [](SpinEdit& t) { t.CaretAtEnd(), t.Char('\b'); }, "1"},
      {"delete", true, [](SpinEdit& t) { SendMessageW(t.Edit(), EM_SETSEL, 0, 0), t.Key(VK_DELETE); }, "0"},
      {"paste", true, [](SpinEdit& t) { t.CaretAtEnd(), SendMessageW(t.Edit(), WM_PASTE, 0, 0); }, "107"},
      {"up", true, [](SpinEdit& t) { t.Key(VK_UP); }, "11"},
      {"page down", true, [](SpinEdit& t) { t.Key(VK_NEXT); }, "0"},
      {"digit", false, [](SpinEdit& t) { t.CaretAtEnd(), t.Char('5'); }, "10"},
      {"minus", false, [](SpinEdit& t) { t.CaretAtEnd(), t.Char('-'); }, "10"},
      {"backspace", false, [](SpinEdit& t) { t.CaretAtEnd(), t.Char('\b'); }, "10"},
      {"tab", false, [](SpinEdit& t) { t.CaretAtEnd(), t.Char('\t'); }, "10"},
      {"line feed", false, [](SpinEdit& t) { t.CaretAtEnd(), t.Char('\n'); }, "10"},
      {"ctrl+v", false, [](SpinEdit& t) { t.CaretAtEnd(), t.Char(22); }, "10"},
      {"ctrl+x", false, [](SpinEdit& t) { t.spin->SelectAll(), t.Char(24); }, "10"},
      {"delete", false, [](SpinEdit& t) { SendMessageW(t.Edit(), EM_SETSEL, 0, 0), t.Key(VK_DELETE); }, "10"},
      {"shift+delete", false,
       [](SpinEdit& t) { t.spin->SelectAll(), SetShift(true), t.Key(VK_DELETE), SetShift(false); }, "10"},
      {"shift+insert", false,
       [](SpinEdit& t) { t.CaretAtEnd(), SetShift(true), t.Key(VK_INSERT), SetShift(false); }, "10"},
      {"WM_CLEAR", false, [](SpinEdit& t) { t.spin->SelectAll(), SendMessageW(t.Edit(), WM_CLEAR, 0, 0); }, "10"},
      {"WM_CUT", false, [](SpinEdit& t) { t.spin->SelectAll(), SendMessageW(t.Edit(), WM_CUT, 0, 0); }, "10"},
      {"WM_PASTE", false, [](SpinEdit& t) { t.CaretAtEnd(), SendMessageW(t.Edit(), WM_PASTE, 0, 0); }, "10"},
      {"up", false, [](SpinEdit& t) { t.Key(VK_UP); }, "11"},
      {"down", false, [](SpinEdit& t) { t.Key(VK_DOWN); }, "9"},
      {"page up", false, [](SpinEdit& t) { t.Key(VK_PRIOR); }, "20"},
      {"page down", false, [](SpinEdit& t) { t.Key(VK_NEXT); }, "0"},
      {"wheel up", false, [](SpinEdit& t) { SendMessageW(t.Edit(), WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0); }, "11"},
      {"wheel down", false, [](SpinEdit& t) { SendMessageW(t.Edit(), WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 0); }, "9"},
  };
  for (const auto& c : cases) {
    spin->SetEditorEnabled(c.editor);
    spin->SetText("10");
    c.act(*this);
    EXPECT_EQ(spin->Text(), c.text) << c.name << (c.editor ? " (editor on)" : " (editor off)");
  }
  PutOnClipboard(L"");
}

TEST_F(SpinEdit, ReadOnlyRefusesEveryStep) {
  spin->SetReadOnly(true);
  for (WORD key : {VK_UP, VK_DOWN, VK_PRIOR, VK_NEXT}) Key(key);
  SendMessageW(Edit(), WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
  Press(3, 3);
  Release(3, 3);
  EXPECT_EQ(spin->Text(), "10");
}

TEST_F(SpinEdit, TabMovesOnAndReturnReachesTheDefaultButton) {
  auto* ok = new classlib::TButton(form);
  ok->SetParent(form);
  ok->SetBounds(20, 100, 75, 25);
  ok->SetDefault(true);
  int clicks = 0;
  ok->OnClick = [&](classlib::TComponent*) { ++clicks; };
  spin->SetEditorEnabled(false);
  spin->SetFocus();
  PressKey(Edit(), VK_RETURN);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(spin->Text(), "10");
  PressKey(Edit(), VK_TAB);
  EXPECT_EQ(spin->Text(), "10");
  EXPECT_TRUE(other->Focused());
}

TEST_F(SpinEdit, LeavingTheFieldClampsATypedValue) {
  spin->SetFocus();
  spin->SetText("500");
  other->SetFocus();
  EXPECT_EQ(spin->Text(), "100");
  spin->SetFocus();
  spin->SetText("-3");
  other->SetFocus();
  EXPECT_EQ(spin->Text(), "0");
}

TEST_F(SpinEdit, UnchangedTextFiresNoChangeAndAHandlerMayReadTheValue) {
  int read = 0;
  spin->SetSuffix(" KB");
  spin->OnChange = [&](classlib::TComponent*) {
    ++changes;
    read = spin->Value();
  };
  changes = 0;
  EXPECT_EQ(spin->Value(), 10);
  spin->SetValue(10);
  EXPECT_EQ(changes, 0);
  spin->SetText("x12 KB");
  EXPECT_EQ(read, 12);
  EXPECT_EQ(spin->Text(), "12 KB");
  EXPECT_EQ(changes, 2);  // the typed text, then its repair
}

TEST_F(SpinEdit, ButtonSitsAtTheRightAndTheTextStopsBeforeIt) {
  const int size = spin->Height() - 4 * GetSystemMetrics(SM_CYBORDER);
  const classlib::TControl* host = spin->Button()->Parent();
  EXPECT_EQ(host->Left(), spin->Width() - spin->Height());
  EXPECT_EQ(host->Width(), size);
  EXPECT_EQ(spin->Button()->Width(), size);
  EXPECT_EQ(spin->Button()->Height(), size);
  RECT r;
  SendMessageW(Edit(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
  EXPECT_LE(r.right, spin->ClientWidth() - size - 2);
  spin->SetHeight(8);  // raised to the font's minimum
  EXPECT_GT(spin->Height(), 15);
}

TEST_F(SpinEdit, TheDiagonalSplitsTheHalves) {
  const int s = spin->Button()->Width();
  const struct {
    int x, y;
    const char* text;
  } cases[] = {{1, 1, "11"}, {s - 2, 1, "11"}, {1, s - 4, "11"}, {3, s - 2, "9"}, {s - 2, s - 2, "9"}, {s - 2, 3, "9"}};
  for (const auto& c : cases) {
    spin->SetText("10");
    Press(c.x, c.y);
    EXPECT_EQ(spin->Text(), c.text) << c.x << "," << c.y;
    EXPECT_EQ(spin->Button()->State(), c.text[1] == '1' ? 1 : 2);
    Release(c.x, c.y);
    EXPECT_EQ(spin->Button()->State(), 0);
  }
}

TEST_F(SpinEdit, HoldingRepeatsAfter300MsThenEvery100MsOnThePoolsTicks) {
  spin->SetValue(50);
  Press(2, 2);
  EXPECT_EQ(spin->Value(), 51);
  const std::uint16_t slot = spin->Button()->TimerIdent();
  ASSERT_NE(slot, 0);
  std::vector<int> values;
  for (int tick = 1; tick <= 20; ++tick) {  // one second of 50 ms ticks
    PoolTicks(1);
    values.push_back(spin->Value());
  }
  // Repeats at 300, 400, ..., 1000 ms: ticks 6, 8, ..., 20.
  EXPECT_EQ(values, (std::vector<int>{51, 51, 51, 51, 51, 52, 52, 53, 53, 54, 54, 55, 55, 56, 56, 57, 57, 58, 58, 59}));
  Release(2, 2);
  EXPECT_EQ(spin->Button()->TimerIdent(), 0);
  EXPECT_EQ(VisApplication().TimerItem(slot), nullptr);
  PoolTicks(10);
  EXPECT_EQ(spin->Value(), 59);
}

TEST_F(SpinEdit, SlidingOffThePressedHalfPausesTheRepeat) {
  const int s = spin->Button()->Width();
  spin->SetValue(50);
  Press(s - 2, s - 2);  // lower half
  PoolTicks(6);
  EXPECT_EQ(spin->Value(), 48);
  MoveTo(2, 2);  // onto the upper half: paused
  EXPECT_EQ(spin->Button()->State(), 0);
  PoolTicks(6);
  EXPECT_EQ(spin->Value(), 48);
  MoveTo(s + 10, s - 2);  // outside
  PoolTicks(2);
  EXPECT_EQ(spin->Value(), 48);
  MoveTo(s - 2, s - 2);  // back: resumes
  EXPECT_EQ(spin->Button()->State(), 2);
  PoolTicks(2);
  EXPECT_EQ(spin->Value(), 47);
  Release(s - 2, s - 2);
}

TEST_F(SpinEdit, ThePressEndsHoweverTheMouseGoes) {
  const struct {
    const char* name;
    std::function<void(SpinEdit&)> end;
    int state;
  } cases[] = {
      {"released outside", [](SpinEdit& t) { t.Release(-30, 40); }, 0},
      {"capture taken", [](SpinEdit& t) { SetCapture(t.other->Handle()), ReleaseCapture(); }, 0},
      {"disabled", [](SpinEdit& t) { t.spin->SetEnabled(false); }, 3},
  };
  for (const auto& c : cases) {
    spin->SetEnabled(true);
    spin->SetValue(50);
    Press(2, 2);
    ASSERT_NE(spin->Button()->TimerIdent(), 0) << c.name;
    c.end(*this);
    EXPECT_EQ(spin->Button()->State(), c.state) << c.name;
    EXPECT_EQ(spin->Button()->TimerIdent(), 0) << c.name;
    PoolTicks(20);
    EXPECT_EQ(spin->Value(), 51) << c.name;
    Release(2, 2);
  }
}

TEST_F(SpinEdit, NoFreeTimerSlotIsReported) {
  std::vector<std::uint16_t> taken;
  for (std::uint16_t id; (id = VisApplication().AddTimer(1000, [](classlib::TObject*) {})) != 0;) taken.push_back(id);
  Press(2, 2);
  for (std::uint16_t id : taken) VisApplication().RemoveTimer(id);
  EXPECT_EQ(testing_support::TakeBoundaryErrors(), std::vector<std::string>{"Nicht genügend Timer verfügbar"});
  Release(2, 2);
  EXPECT_EQ(spin->Button()->State(), 0);
}

TEST_F(SpinEdit, EachStatePaintsItsFrame) {
  TVisSpinButton& button = *spin->Button();
  const int s = button.Width();
  const TColor frame = classlib::ColorToRGB(classlib::clWindowFrame);
  const TColor shadow = classlib::ColorToRGB(classlib::clBtnShadow);
  const TColor light = classlib::ColorToRGB(classlib::clBtnHighlight);
  const TColor face = classlib::ColorToRGB(classlib::clBtnFace);
  auto paint = [&](classlib::TBitmap& into) {
    into.SetSize(s, s);
    button.PaintTo(into.Canvas().Handle());
  };
  const struct {
    const char* name;
    std::function<void()> set;
    TColor upperEdge, lowerEdge;
  } cases[] = {
      {"up", [] {}, light, shadow},
      {"upper pressed", [&] { Press(2, 2); }, shadow, shadow},
      {"lower pressed", [&] { Press(s - 2, s - 2); }, light, light},
  };
  for (const auto& c : cases) {
    c.set();
    classlib::TBitmap shot;
    paint(shot);
    EXPECT_EQ(shot.Pixel(0, 0), frame) << c.name;
    EXPECT_EQ(shot.Pixel(s - 1, s - 1), frame) << c.name;
    EXPECT_EQ(shot.Pixel(1, 3), c.upperEdge) << c.name;
    EXPECT_EQ(shot.Pixel(s - 2, s - 3), c.lowerEdge) << c.name;
    EXPECT_EQ(shot.Pixel(s - 3, s / 2), face) << c.name;
    Release(2, 2);
  }
}

}  // namespace
