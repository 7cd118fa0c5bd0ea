#include <gtest/gtest.h>
#include <windows.h>

#include "controls/flat/flat_button.h"
#include "controls/flat/flat_combo_box.h"
#include "controls/flat/flat_edit.h"
#include "controls/flat/flat_hint.h"
#include "controls/flat/flat_tab_control.h"
#include "tests/controls/flat_fixture.h"

using namespace controls;

namespace {

class FlatResources : public flat_testing::FlatFixture {};

TEST_F(FlatResources, ThousandRepaintsDropDownsAndHintsLeaveNoGdiObjects) {
  auto* button = new TFlatButton(form);
  button->SetParent(form);
  button->SetCaption("&Weiter");
  classlib::TBitmap glyph(8, 8);
  glyph.Canvas().Brush().SetColor(classlib::clBlack);
  glyph.Canvas().FillRect({2, 2, 6, 6});
  button->SetGlyph(glyph);
  auto* tabs = new TFlatTabControl(form);
  tabs->SetParent(form);
  tabs->SetBounds(100, 0, 200, 100);
  tabs->SetTabs({"Single Backup   .", "Restore   ."});
  auto* edit = new TFlatEdit(form);
  edit->SetParent(form);
  edit->SetTop(150);
  auto* combo = new TFlatComboBox(form);
  combo->SetParent(form);
  combo->SetBounds(150, 150, 150, 21);
  combo->SetStyle(classlib::TComboBoxStyle::csDropDownList);
  combo->Items().Add("Keine");
  auto* hint = new TFlatHintWindow(form);
  // Painted off the screen: the counts are what matter, not the display's speed.
  COMBOBOXINFO info = {};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(combo->Handle(), &info));

  const auto round = [&](int i) {
    button->SetEnabled(i % 2 == 0);  // the disabled look makes a greyed glyph each time
    Painted(*button);
    tabs->SetActiveTab(i % 2);
    Painted(*tabs);
    edit->SetColorFlat(i % 2 ? 0xF5DEDE : 0xFFFFFF);
    SendMessageW(edit->Handle(), WM_NCPAINT, 1, 0);
    SendMessageW(combo->Handle(), CB_SHOWDROPDOWN, TRUE, 0);
    HDC dc = GetDC(info.hwndList);
    combo->SetColor(i % 2 ? 0xF5DEDE : 0xFFFFFF);
    SendMessageW(combo->Handle(), WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(info.hwndList));
    ReleaseDC(info.hwndList, dc);
    SendMessageW(combo->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
    Painted(*combo);
    hint->ActivateHint({0, 0, 0, 0}, "Ein etwas längerer Hinweis");
    Painted(*hint);
    testing_support::Pump();
  };
  round(0);
  round(1);  // anything made once, on the first use, is made now
  const int before = testing_support::GdiObjectCount();
  ASSERT_GT(before, 0);
  for (int i = 0; i < 1000; ++i) round(i);
  EXPECT_EQ(testing_support::GdiObjectCount(), before);
}

}  // namespace
