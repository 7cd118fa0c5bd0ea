#include <gtest/gtest.h>
#include <windows.h>

#include "classlib/stdctrls.h"
#include "controls/flat/flat_button.h"
#include "controls/flat/flat_edit.h"
#include "controls/flat/flat_utils.h"
#include "tests/controls/flat_fixture.h"

using namespace controls;
using classlib::TColor;

namespace {

constexpr TColor kBorder = 0x996633;
constexpr TColor kFlat = 0xF5DEDE;
constexpr TColor kFocused = 0xFFFFFF;

class FlatEdit : public flat_testing::FlatFixture {
 protected:
  TFlatEdit* NewEdit(int top) {
    auto* edit = new TFlatEdit(form);
    edit->SetParent(form);
    edit->SetBounds(10, top, 150, 21);
    edit->SetColorBorder(kBorder);
    edit->SetColorFlat(kFlat);
    edit->SetColorFocused(kFocused);
    return edit;
  }
  // The whole window, frame and text, as WM_PRINT paints it.
  classlib::TBitmap& Printed(TFlatEdit& edit) {
    window_.SetSize(edit.Width(), edit.Height());
    SendMessageW(edit.Handle(), WM_PRINT, reinterpret_cast<WPARAM>(window_.Canvas().Handle()),
                 PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
    return window_;
  }
  // Border, the two inner rings and the text's background (right of the text) of one look.
  void ExpectLook(TFlatEdit& edit, TColor inside) {
    classlib::TBitmap& shot = Printed(edit);
    const int w = edit.Width(), h = edit.Height();
    EXPECT_EQ(shot.Pixel(0, 0), kBorder);
    EXPECT_EQ(shot.Pixel(w - 1, h - 1), kBorder);
    EXPECT_EQ(shot.Pixel(1, 1), inside);
    EXPECT_EQ(shot.Pixel(2, h / 2), inside);
    EXPECT_EQ(shot.Pixel(w - 6, h / 2), inside) << "the text's background";
    EXPECT_EQ(edit.Color(), inside);
  }

 private:
  classlib::TBitmap window_;
};

TEST_F(FlatEdit, HeightFollowsTheFontAfterLoading) {
  form->BeginLoading();
  TFlatEdit* edit = NewEdit(10);
  EXPECT_EQ(edit->Height(), 21);
  form->EndLoading();
  EXPECT_EQ(edit->Height(), ReadFontMetrics(edit->Font()).tmHeight + 6);
  edit->Font().SetSize(14);
  EXPECT_EQ(edit->Height(), ReadFontMetrics(edit->Font()).tmHeight + 6);
  form->Show();
  RECT client;
  GetClientRect(edit->Handle(), &client);
  EXPECT_EQ(client.bottom, edit->Height() - 6) << "a 3-pixel frame on each side";
}

TEST_F(FlatEdit, LookFollowsFocusAndHover) {
  TFlatEdit* edit = NewEdit(10);
  TFlatEdit* other = NewEdit(40);
  auto* button = new TFlatButton(form);
  button->SetParent(form);
  button->SetTop(80);
  form->Show();
  edit->SetText("Text");
  button->SetFocus();
  ExpectLook(*edit, kFlat);

  edit->Perform(classlib::CM_MOUSEENTER);
  ExpectLook(*edit, kFocused);
  edit->Perform(classlib::CM_MOUSELEAVE);
  ExpectLook(*edit, kFlat);

  // While another flat edit has the focus, the mouse changes nothing.
  other->SetFocus();
  ExpectLook(*other, kFocused);
  edit->Perform(classlib::CM_MOUSEENTER);
  ExpectLook(*edit, kFlat);

  edit->SetFocus();
  ExpectLook(*edit, kFocused);
  ExpectLook(*other, kFlat);
}

TEST_F(FlatEdit, DisabledEditKeepsItsIdleLookWithItsOwnBrush) {
  TFlatEdit* edit = NewEdit(10);
  form->Show();
  edit->SetFocus();
  edit->SetEnabled(false);
  ExpectLook(*edit, kFlat);
  // What the system's edit asks for a disabled one's background.
  HDC dc = GetDC(edit->Handle());
  auto brush = reinterpret_cast<HBRUSH>(
      SendMessageW(form->Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit->Handle())));
  ReleaseDC(edit->Handle(), dc);
  LOGBRUSH info = {};
  ASSERT_TRUE(GetObjectW(brush, sizeof info, &info));
  EXPECT_EQ(info.lbColor, kFlat);
}

TEST_F(FlatEdit, FlatColourFollowsTheParentUntilOneIsSet) {
  auto* panel = new classlib::TPanel(form);
  panel->SetParent(form);
  panel->SetColor(0x00ABCDEF);
  auto* edit = new TFlatEdit(form);
  EXPECT_TRUE(edit->ParentColor());
  edit->SetParent(panel);
  EXPECT_EQ(edit->ColorFlat(), 0x00ABCDEFu);
  panel->SetColor(0x00123456);
  EXPECT_EQ(edit->ColorFlat(), 0x00123456u);
  edit->SetColorFlat(kFlat);
  EXPECT_FALSE(edit->ParentColor());
  panel->SetColor(0x00ABCDEF);
  EXPECT_EQ(edit->ColorFlat(), kFlat);
  edit->SetParentColor(true);
  EXPECT_EQ(edit->ColorFlat(), 0x00ABCDEFu);

  // With advanced colours the focus and border colours come from the flat one.
  edit->SetUseAdvColors(true);
  EXPECT_EQ(edit->ColorFocused(), DeriveAdvColor(0x00ABCDEF, 0, 10, false));
  EXPECT_EQ(edit->ColorBorder(), DeriveAdvColor(0x00ABCDEF, 0, 50, true));
}

TEST_F(FlatEdit, EditPropertiesStillReachTheSystemsEdit) {
  TFlatEdit* edit = NewEdit(10);
  edit->SetMaxLength(30);
  edit->SetPasswordChar(L'*');
  form->Show();
  EXPECT_EQ(SendMessageW(edit->Handle(), EM_GETLIMITTEXT, 0, 0), 30);
  EXPECT_EQ(SendMessageW(edit->Handle(), EM_GETPASSWORDCHAR, 0, 0), L'*');
  int changes = 0;
  edit->OnChange = [&](classlib::TComponent*) { ++changes; };
  edit->SetText("Geheim");
  EXPECT_EQ(changes, 1);
}

}  // namespace
