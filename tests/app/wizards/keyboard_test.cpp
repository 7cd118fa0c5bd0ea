// Each window used without a mouse: Tab walks its controls, Return and Escape answer it, Space
// presses the focused button, and the tab strip's arrow keys switch its pages.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/restore_page.h"
#include "app/single_backup_list.h"
#include "app/wizards/form_add.h"
#include "app/wizards/form_creation.h"
#include "app/wizards/form_extract.h"
#include "app/wizards/form_popup.h"
#include "app/wizards/form_progress.h"
#include "app/wizards/form_recover.h"
#include "tests/app/restore_fixture.h"
#include "tests/app/wizards/single_backup_fixture.h"
#include "tests/app/wizards/wizard_fixture.h"
#include "tests/support/scripted_prompts.h"

using namespace app;
using testing_support::PressAltKey;
using testing_support::PressKey;

namespace {

// What the keyboard tests do, on any fixture.
template <typename Fixture>
class Keys : public Fixture {
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

using WindowKeys = Keys<wizard_testing::WizardFixture>;

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

class SingleBackupKeys : public Keys<wizard_testing::SingleBackupFixture> {
 protected:
  SingleBackupKeys() {
    page->FormCreation = creation;
    page->FormAdd = add;
  }
  ~SingleBackupKeys() override {
    delete creation;
    delete add;
  }
  TFormCreation* creation = new TFormCreation(nullptr);
  TFormAdd* add = new TFormAdd(nullptr);
};

TEST_F(SingleBackupKeys, CreationWizardIsWalkedByKeyboard) {
  AddFileItem(PageList(), MakeFile("Quelle\\Brief.txt"));
  page->FlatButtonSingleCreate->SetFocus();
  Press(VK_SPACE);
  ASSERT_TRUE(creation->Visible());
  EXPECT_EQ(TabCycle(), (std::vector<classlib::TWinControl*>{creation->FlatButtonBack, creation->FlatButtonNext}));
  creation->FlatButtonNext->SetFocus();
  Press(VK_RETURN);
  ASSERT_TRUE(creation->PanelStep1->Visible());
  const std::vector<classlib::TWinControl*> step1 = TabCycle();
  EXPECT_TRUE(Contains(step1, creation->RadioButtonDir));
  EXPECT_TRUE(Contains(step1, creation->FolderTree));
  EXPECT_FALSE(Contains(step1, creation->FlatEditName)) << "on a hidden page";

  creation->FlatButtonNext->SetFocus();
  Press(VK_SPACE);
  ASSERT_TRUE(creation->PanelStep2->Visible());
  creation->FlatEditName->SetFocus();
  PressKey(GetFocus(), VK_END);
  for (WORD key : {WORD{'X'}, WORD{VK_MULTIPLY}, WORD{'Y'}}) Press(key);
  EXPECT_EQ(creation->FlatEditName->Text(), "unbenannt.zipxy") << "'*' is refused";
  // Tab leaves the name for the buttons; Space on "Zurück" goes back a page.
  Press(VK_TAB);
  EXPECT_EQ(FocusedControl(), creation->FlatButtonBack);
  Press(VK_SPACE);
  EXPECT_TRUE(creation->PanelStep1->Visible());
}

TEST_F(SingleBackupKeys, AddDialogIsWalkedByKeyboard) {
  page->FlatButtonSingleAdd->SetFocus();
  Press(VK_RETURN);
  ASSERT_TRUE(add->Visible());
  EXPECT_EQ(TabCycle(),
            (std::vector<classlib::TWinControl*>{add->RadioButtonFiles, add->RadioButtonFolders, add->FlatButtonNext}));
  add->FlatButtonNext->SetFocus();
  Press(VK_SPACE);
  ASSERT_TRUE(add->PanelFiles->Visible());
  const std::vector<classlib::TWinControl*> files = TabCycle();
  for (classlib::TWinControl* c : std::vector<classlib::TWinControl*>{
           add->ListViewFiles, add->FlatButtonFilesAdd, add->FlatButtonFilesDelete, add->FlatButtonBack,
           add->FlatButtonNext})
    EXPECT_TRUE(Contains(files, c));
  EXPECT_FALSE(Contains(files, add->FlatButtonFoldersAdd));
  prompts.ChooseNextFiles(std::nullopt);
  add->FlatButtonFilesAdd->SetFocus();
  Press(VK_SPACE);
  ASSERT_EQ(prompts.fileRequests.size(), 1u);
  EXPECT_EQ(prompts.fileRequests[0].title, "Dateien hinzufügen");
}

}  // namespace
