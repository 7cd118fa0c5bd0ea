// Each window used without a mouse: Tab walks its controls, Return and Escape answer it, Space
// presses the focused button, and the tab strip's arrow keys switch its pages.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/restore_page.h"
#include "app/wizards/form_extract.h"
#include "app/wizards/form_popup.h"
#include "app/wizards/form_progress.h"
#include "app/wizards/form_recover.h"
#include "tests/app/restore_fixture.h"
#include "tests/app/wizards/wizard_fixture.h"
#include "tests/support/scripted_prompts.h"

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
  const std::vector<classlib::TWinControl*> reached = {popup.RadioButtonFull,    popup.FlatTabControlMain,
                                                       popup.RadioButtonDir,     popup.FolderTree,
                                                       popup.FlatComboBoxBurner, popup.FlatButtonOK,
                                                       popup.FlatButtonCancel};
  for (size_t i = 0; i < reached.size(); ++i) EXPECT_TRUE(Contains(first, reached[i])) << i;
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

TEST_F(WindowKeys, ExtractionWindowIsAnsweredByKeyboard) {
  testing_support::ScriptedPrompts prompts;
  TFormExtract extract(nullptr);
  extract.Show();
  ASSERT_EQ(FocusedControl(), extract.FolderTree);
  EXPECT_EQ(TabCycle(), (std::vector<classlib::TWinControl*>{extract.FolderTree, extract.CheckBoxDirs,
                                                             extract.CheckBoxNewer, extract.FlatButtonBack,
                                                             extract.FlatButtonNext}));
  // Return is "Fertig": with the desktop chosen it asks for a real folder.
  const HWND tree = extract.FolderTree->Handle();
  TreeView_SelectItem(tree, TreeView_GetRoot(tree));
  prompts.AnswerNext(classlib::PromptResult::Ok);
  Press(VK_RETURN);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text.rfind("Bitte wählen Sie ein Verzeichnis aus", 0), 0u);
  // The window has no cancel button: Escape leaves it open; "Zurück" by Space closes it.
  Press(VK_ESCAPE);
  EXPECT_TRUE(extract.Visible());
  extract.FlatButtonBack->SetFocus();
  Press(VK_SPACE);
  EXPECT_FALSE(extract.Visible());
}

TEST_F(WindowKeys, RestorePageButtonsWorkByKeyboard) {
  testing_support::ScriptedPrompts prompts;
  restore_fixture::RestoreWindows windows;
  app::TRestorePage& page = *windows.page;
  page.FlatButtonOpen->SetFocus();
  const std::vector<classlib::TWinControl*> cycle = TabCycle();
  for (classlib::TWinControl* c : std::vector<classlib::TWinControl*>{page.ListViewRestore, page.FlatButtonExtract,
                                                                     page.FlatButtonExtractAll})
    EXPECT_TRUE(Contains(cycle, c));
  prompts.ChooseNextFile(std::nullopt);
  Press(VK_SPACE);
  prompts.ChooseNextFile(std::nullopt);
  Press(VK_RETURN);
  ASSERT_EQ(prompts.fileRequests.size(), 2u);
  EXPECT_EQ(prompts.fileRequests[0].title, "ZIP-Datei öffnen");
  // With nothing listed, extracting all by keyboard does nothing either.
  page.FlatButtonExtractAll->SetFocus();
  Press(VK_SPACE);
  EXPECT_FALSE(windows.extract->Visible());
}

}  // namespace
