#include <gtest/gtest.h>
#include <windows.h>

#include "classlib/stdctrls.h"
#include "controls/flat/flat_combo_box.h"
#include "controls/flat/flat_utils.h"
#include "tests/controls/flat_fixture.h"

using namespace controls;
using classlib::TColor;

namespace {

constexpr TColor kBorder = 0x996633;
constexpr TColor kField = 0xFFFFFF;
constexpr TColor kArrowBack = 0xF5DEDE;
constexpr TColor kArrow = 0x0000C0;

class FlatCombo : public flat_testing::FlatFixture {
 protected:
  FlatCombo() {
    combo = new TFlatComboBox(form);
    combo->SetParent(form);
    combo->SetBounds(10, 10, 200, 21);
    combo->SetStyle(classlib::TComboBoxStyle::csDropDownList);
    combo->SetColor(kField);
    combo->SetColorBorder(kBorder);
    combo->SetColorArrowBackground(kArrowBack);
    combo->SetColorArrow(kArrow);
    combo->Items().Add("Sicherung jetzt nachholen");
    combo->Items().Add("Sicherung nicht nachholen");
    combo->SetItemIndex(0);
  }
  // The arrow's middle: the middle of the button widened by one pixel on each side.
  POINT ArrowCentre() const {
    const int left = combo->ClientWidth() - TFlatComboBox::ButtonWidth - 2;
    return {left + (combo->Width() - left) / 2, combo->Height() / 2};
  }

  TFlatComboBox* combo;
};

TEST_F(FlatCombo, FrameAndNarrowArrowButtonCoverTheSystemsLook) {
  form->Show();
  classlib::TBitmap& shot = Painted(*combo);
  const int w = combo->Width(), h = combo->Height();
  const POINT c = ArrowCentre();
  EXPECT_EQ(shot.Pixel(0, 0), kBorder);
  EXPECT_EQ(shot.Pixel(1, h / 2), kField);
  EXPECT_EQ(shot.Pixel(2, 2), kField);
  EXPECT_EQ(shot.Pixel(w - 1, h / 2), kBorder) << "the button's frame";
  EXPECT_EQ(shot.Pixel(w - TFlatComboBox::ButtonWidth - 2, 1), kBorder);
  EXPECT_EQ(shot.Pixel(w - 3, 3), kArrowBack);
  // Pointing down: the wide row above the tip.
  EXPECT_EQ(shot.Pixel(c.x - 2, c.y - 1), kArrow);
  EXPECT_EQ(shot.Pixel(c.x, c.y + 1), kArrow);
  EXPECT_EQ(shot.Pixel(c.x - 2, c.y + 1), kArrowBack);
  // Nothing of the system's wider button is left between the field and ours.
  for (int x = w - GetSystemMetrics(SM_CXVSCROLL) - 2; x < w - TFlatComboBox::ButtonWidth - 2; ++x)
    EXPECT_NE(shot.Pixel(x, h - 3), classlib::ColorToRGB(classlib::clBtnFace)) << x;
}

TEST_F(FlatCombo, OpenListTurnsTheArrowUpAndClosingTurnsItBack) {
  form->Show();
  const POINT c = ArrowCentre();
  SendMessageW(combo->Handle(), CB_SHOWDROPDOWN, TRUE, 0);
  ASSERT_TRUE(combo->DroppedDown());
  classlib::TBitmap& open = Painted(*combo);
  EXPECT_EQ(open.Pixel(c.x - 2, c.y + 1), kArrow);
  EXPECT_EQ(open.Pixel(c.x, c.y - 1), kArrow);
  EXPECT_EQ(open.Pixel(c.x - 2, c.y - 1), kArrowBack);
  SendMessageW(combo->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
  classlib::TBitmap& closed = Painted(*combo);
  EXPECT_EQ(closed.Pixel(c.x - 2, c.y - 1), kArrow);
  EXPECT_EQ(closed.Pixel(c.x - 2, c.y + 1), kArrowBack);
}

TEST_F(FlatCombo, DisabledArrowIsGreyWithAWhiteShadow) {
  combo->SetEnabled(false);
  form->Show();
  const POINT c = ArrowCentre();
  classlib::TBitmap& shot = Painted(*combo);
  EXPECT_EQ(shot.Pixel(c.x - 2, c.y - 1), 0x808080u);
  EXPECT_EQ(shot.Pixel(c.x, c.y + 1), 0x808080u);
  EXPECT_EQ(shot.Pixel(c.x + 1, c.y + 2), 0xFFFFFFu) << "the shadow's tip";
}

TEST_F(FlatCombo, DroppedListTakesTheFieldsColour) {
  combo->SetColor(0x00E9C7B4);
  form->Show();
  COMBOBOXINFO info = {};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(combo->Handle(), &info));
  HDC dc = GetDC(info.hwndList);
  const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(combo->Handle(), WM_CTLCOLORLISTBOX,
                                                           reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(info.hwndList)));
  EXPECT_EQ(GetBkColor(dc), 0x00E9C7B4u);
  ReleaseDC(info.hwndList, dc);
  LOGBRUSH logBrush = {};
  ASSERT_TRUE(GetObjectW(brush, sizeof logBrush, &logBrush));
  EXPECT_EQ(logBrush.lbColor, 0x00E9C7B4u);
}

TEST_F(FlatCombo, AdvancedColoursComeFromTheParentOnceThereIsOne) {
  auto* loose = new TFlatComboBox(form);
  loose->SetUseAdvColors(true);  // no parent yet: nothing to derive from
  EXPECT_EQ(loose->ColorBorder(), 0x8396A0u);
  loose->SetParent(form);
  loose->SetAdvColorBorder(40);
  EXPECT_EQ(loose->ColorBorder(), DeriveAdvColor(flat_testing::kFormColor, 0, 40, true));
  EXPECT_EQ(loose->ColorArrowBackground(), DeriveAdvColor(flat_testing::kFormColor, 0, 10, true));
  form->SetColor(0x00FFFFFF);
  EXPECT_EQ(loose->ColorBorder(), DeriveAdvColor(0xFFFFFF, 0, 40, true));
  EXPECT_NE(loose->Color(), 0x00FFFFFFu) << "the combo keeps its own colour";
}

TEST_F(FlatCombo, SelectionAndTextWorkAsTheSystemsComboBox) {
  form->Show();
  int changes = 0;
  combo->OnChange = [&](classlib::TComponent*) { ++changes; };
  SendMessageW(combo->Handle(), CB_SETCURSEL, 1, 0);
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->Text(), "Sicherung nicht nachholen");
  combo->SetFocus();
  testing_support::PressKey(combo->Handle(), VK_UP);
  EXPECT_EQ(combo->ItemIndex(), 0);
  EXPECT_EQ(changes, 1);
}

// The list's items are 13 pixels high, also after a new font, which makes the window again with
// its items and its selection.
TEST_F(FlatCombo, ItemsStayThirteenPixelsHighThroughAFontChange) {
  TFlatComboBox fresh(nullptr);
  EXPECT_EQ(fresh.ItemHeight(), 13);
  form->Show();
  EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETITEMHEIGHT, 0, 0), 13);
  combo->SetItemIndex(1);
  combo->SetItemHeight(20);
  HWND before = combo->Handle();
  combo->Font().SetSize(14);
  testing_support::Pump();
  EXPECT_NE(combo->Handle(), before) << "made again";
  EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETITEMHEIGHT, 0, 0), 13);
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETCOUNT, 0, 0), 2);
}

}  // namespace

namespace {

TEST_F(FlatCombo, EditableComboKeepsItsInnerEditBeforeTheArrow) {
  combo->SetStyle(classlib::TComboBoxStyle::csDropDown);
  form->Show();
  combo->SetWidth(180);
  COMBOBOXINFO info = {};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(combo->Handle(), &info));
  RECT edit;
  GetWindowRect(info.hwndItem, &edit);
  MapWindowPoints(nullptr, combo->Handle(), reinterpret_cast<POINT*>(&edit), 2);
  EXPECT_LE(edit.right, combo->ClientWidth() - TFlatComboBox::ButtonWidth - 2);
  SetFocus(info.hwndItem);
  EXPECT_EQ(GetFocus(), info.hwndItem);
  SendMessageW(info.hwndItem, WM_CHAR, L'x', 0);
  EXPECT_EQ(combo->Text(), "x");
  const POINT c = ArrowCentre();
  EXPECT_EQ(Painted(*combo).Pixel(c.x, c.y), kArrow);
}

}  // namespace
