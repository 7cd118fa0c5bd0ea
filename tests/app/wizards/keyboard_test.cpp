// Each window used without a mouse: Tab walks its controls, Return and Escape answer it, Space
// presses the focused button, and the tab strip's arrow keys switch its pages.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/wizards/form_popup.h"
#include "app/wizards/form_progress.h"
#include "app/wizards/form_recover.h"
#include "tests/app/wizards/wizard_fixture.h"

using namespace app;
using testing_support::PressAltKey;
using testing_support::PressKey;

namespace {

class WindowKeys : public wizard_testing::WizardFixture {
 protected:
  // The key on whatever has the focus now.
  static void Press(WORD key) { PressKey(GetFocus(), key); }
  static classlib::TWinControl* FocusedControl() { return classlib::TWinControl::FindControl(GetFocus()); }
  // The controls Tab visits from the focused one until it comes back.
  static std::vector<classlib::TWinControl*> TabCycle() {
    std::vector<classlib::TWinControl*> visited = {FocusedControl()};
    for (int i = 0; i < 40; ++i) {
      Press(VK_TAB);
      if (FocusedControl() == visited.front()) return visited;
      visited.push_back(FocusedControl());
    }
    ADD_FAILURE() << "Tab does not come back";
    return visited;
  }
  template <typename T>
  static bool Contains(const std::vector<classlib::TWinControl*>& list, T* control) {
    return std::find(list.begin(), list.end(), control) != list.end();
  }
};

TEST_F(WindowKeys, ProgressWindowCancelsByKeyboard) {
  TFormProgress progress(nullptr);
  for (WORD key : {VK_ESCAPE, VK_RETURN, VK_SPACE}) {
    SCOPED_TRACE(key);
    progress.Show();
    ASSERT_EQ(FocusedControl(), progress.FlatButtonCancel);
    EXPECT_EQ(TabCycle(), std::vector<classlib::TWinControl*>{progress.FlatButtonCancel});
    Press(key);
    EXPECT_FALSE(progress.Visible());
  }
}

TEST_F(WindowKeys, PopupIsAnsweredAndItsPagesWalkedByKeyboard) {
  TFormPopup popup(nullptr);
  popup.FlatComboBoxBurner->Items().Add("(E:) Lumatec RW-5200");
  popup.Show();
  const std::vector<classlib::TWinControl*> first = TabCycle();
  for (classlib::TWinControl* c : std::vector<classlib::TWinControl*>{
           popup.RadioButtonFull, popup.FlatTabControlMain, popup.RadioButtonDir, popup.FolderTree,
           popup.FlatComboBoxBurner, popup.FlatButtonOK, popup.FlatButtonCancel})
    EXPECT_TRUE(Contains(first, c)) << c->Name();
  EXPECT_FALSE(Contains(first, popup.FlatEditFileStart)) << "on the hidden page";

  // The strip's arrow keys show the other page, whose controls Tab reaches then.
  popup.FlatTabControlMain->SetFocus();
  Press(VK_RIGHT);
  EXPECT_EQ(popup.FlatTabControlMain->ActiveTab(), 1);
  EXPECT_TRUE(popup.PanelAfter->Visible());
  const std::vector<classlib::TWinControl*> second = TabCycle();
  EXPECT_TRUE(Contains(second, popup.FlatEditFileStart));
  EXPECT_TRUE(Contains(second, popup.FlatButtonFileStart));
  EXPECT_FALSE(Contains(second, popup.FlatComboBoxBurner));

  // An Alt+letter that nothing takes leaves the question open.
  PressAltKey(GetFocus(), L'q');
  EXPECT_TRUE(popup.Visible());

  popup.RadioButtonPart->SetFocus();
  Press(VK_RETURN);
  EXPECT_EQ(popup.UserChoice, TChoiceForm::kOK);
  popup.Show();
  EXPECT_EQ(popup.FlatTabControlMain->ActiveTab(), 0);
  Press(VK_ESCAPE);
  EXPECT_EQ(popup.UserChoice, TChoiceForm::kCancel);
  popup.Show();
  popup.FlatButtonCancel->SetFocus();
  Press(VK_SPACE);
  EXPECT_EQ(popup.UserChoice, TChoiceForm::kCancel);
  EXPECT_FALSE(popup.Visible());
}

TEST_F(WindowKeys, RecoverChoiceIsMadeAndAnsweredByKeyboard) {
  TFormRecover recover(nullptr);
  recover.Show();
  ASSERT_EQ(FocusedControl(), recover.FlatComboBoxRecover);
  EXPECT_EQ(TabCycle(), (std::vector<classlib::TWinControl*>{recover.FlatComboBoxRecover, recover.FlatButtonOK,
                                                             recover.FlatButtonCancel}));
  Press(VK_DOWN);
  EXPECT_EQ(recover.FlatComboBoxRecover->ItemIndex(), TFormRecover::kSkipRecovery);
  Press(VK_RETURN);
  EXPECT_EQ(recover.UserChoice, TChoiceForm::kOK);
  recover.Show();
  Press(VK_ESCAPE);
  EXPECT_EQ(recover.UserChoice, TChoiceForm::kCancel);
  recover.Show();
  recover.FlatButtonOK->SetFocus();
  Press(VK_SPACE);
  EXPECT_EQ(recover.UserChoice, TChoiceForm::kOK);
  EXPECT_EQ(recover.FlatComboBoxRecover->ItemIndex(), TFormRecover::kSkipRecovery);
}

}  // namespace
