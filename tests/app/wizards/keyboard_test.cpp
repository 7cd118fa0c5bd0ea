// Each window used without a mouse: focus starts on the page's first control, Tab walks the
// controls in reading order, Return presses the forward or default button and Escape the cancel
// button or the close box, Space presses the focused button, and the tab strip's arrow keys switch
// its pages. The wizards are walked from their first page to their last, and after every step each
// button shows on screen what a fresh paint of its state shows.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/backup_definition.h"
#include "app/job_list.h"
#include "app/restore_page.h"
#include "app/single_backup_list.h"
#include "app/wizards/form_add.h"
#include "app/wizards/form_creation.h"
#include "app/wizards/form_extract.h"
#include "app/wizards/form_instant.h"
#include "app/wizards/form_popup.h"
#include "app/wizards/form_progress.h"
#include "app/wizards/form_recover.h"
#include "app/wizards/form_select.h"
#include "app/wizards/instant_pages.h"
#include "classlib/wide.h"
#include "tests/app/restore_fixture.h"
#include "tests/app/wizards/single_backup_fixture.h"
#include "tests/app/wizards/wizard_fixture.h"
#include "tests/support/scripted_prompts.h"
#include "zip/fs.h"
#include "zip/fs_helpers.h"

using namespace app;
using testing_support::PressAltKey;
using testing_support::PressKey;
using testing_support::TypeChars;

namespace {

using Controls = std::vector<classlib::TWinControl*>;

// The button's frame is two pixels at most; inside it lie the caption and its background.
constexpr int kButtonFrame = 2;

// What the keyboard tests do, on any fixture.
template <typename Fixture>
class Keys : public Fixture {
 protected:
  Keys() {
    // No button is hovered: what a button shows follows from the keys alone.
    SetCursorPos(0, 0);
  }
  // The key on whatever has the focus now.
  static void Press(WORD key) { PressKey(GetFocus(), key); }
  static void Type(const std::wstring& text) { TypeChars(GetFocus(), text); }
  static classlib::TWinControl* FocusedControl() { return classlib::TWinControl::FindControl(GetFocus()); }
  // The controls Tab visits from the focused one until it comes back.
  static Controls TabCycle() {
    Controls visited = {FocusedControl()};
    for (int i = 0; i < 40; ++i) {
      Press(VK_TAB);
      if (FocusedControl() == visited.front()) return visited;
      visited.push_back(FocusedControl());
    }
    ADD_FAILURE() << "Tab does not come back";
    return visited;
  }
  template <typename T>
  static bool Contains(const Controls& list, T* control) {
    return std::find(list.begin(), list.end(), control) != list.end();
  }
  // Tab from the first control visits the others as they are read: each one right of the one
  // before on its row, or below it.
  static void ExpectReadingOrder(const Controls& cycle) {
    for (size_t i = 1; i < cycle.size(); ++i) {
      const RECT before = cycle[i - 1]->BoundsRect(), now = cycle[i]->BoundsRect();
      POINT a = cycle[i - 1]->Parent()->ClientToScreen({before.left, before.top});
      POINT b = cycle[i]->Parent()->ClientToScreen({now.left, now.top});
      const int beforeBottom = a.y + (before.bottom - before.top), nowBottom = b.y + (now.bottom - now.top);
      const bool sameRow = b.y < beforeBottom && nowBottom > a.y;
      EXPECT_TRUE(sameRow ? b.x > a.x : b.y >= beforeBottom - 4)
          << "Tab goes from " << a.x << "," << a.y << " back to " << b.x << "," << b.y << " (step " << i << ")";
    }
  }
  // The button reads caption, hidden when null, and shows on screen what a fresh paint shows.
  static void ExpectButton(controls::TFlatButton& button, const char* caption) {
    if (!caption) {
      EXPECT_FALSE(button.Showing());
      return;
    }
    ASSERT_TRUE(button.Showing()) << caption;
    EXPECT_EQ(button.Caption(), caption);
    testing_support::Pump();  // what is due to be painted is painted
    EXPECT_EQ(testing_support::StalePixels(button, kButtonFrame), 0)
        << "the button reading \"" << caption << "\" still shows an older picture";
  }
};

using WindowKeys = Keys<wizard_testing::WizardFixture>;

TEST_F(WindowKeys, ProgressWindowCancelsByKeyboard) {
  TFormProgress progress(nullptr);
  for (WORD key : {VK_ESCAPE, VK_RETURN, VK_SPACE}) {
    SCOPED_TRACE(key);
    progress.Show();
    ASSERT_EQ(FocusedControl(), progress.FlatButtonCancel);
    EXPECT_EQ(TabCycle(), Controls{progress.FlatButtonCancel});
    Press(key);
    EXPECT_FALSE(progress.Visible());
  }
}

TEST_F(WindowKeys, PopupIsAnsweredAndItsPagesWalkedByKeyboard) {
  TFormPopup popup(nullptr);
  popup.FlatComboBoxBurner->Items().Add("(E:) Lumatec RW-5200");
  popup.Show();
  ASSERT_EQ(FocusedControl(), popup.RadioButtonFull);
  const Controls first = TabCycle();
  ExpectReadingOrder(first);
  const Controls reached = {popup.RadioButtonFull,    popup.FlatTabControlMain, popup.RadioButtonDir,
                            popup.FolderTree,         popup.FlatComboBoxBurner, popup.FlatButtonOK,
                            popup.FlatButtonCancel};
  for (size_t i = 0; i < reached.size(); ++i) EXPECT_TRUE(Contains(first, reached[i])) << i;
  EXPECT_FALSE(Contains(first, popup.FlatEditFileStart)) << "on the hidden page";

  // The strip's arrow keys show the other page, whose controls Tab reaches then.
  popup.FlatTabControlMain->SetFocus();
  Press(VK_RIGHT);
  EXPECT_EQ(popup.FlatTabControlMain->ActiveTab(), 1);
  EXPECT_TRUE(popup.PanelAfter->Visible());
  const Controls second = TabCycle();
  EXPECT_TRUE(Contains(second, popup.FlatEditFileStart));
  EXPECT_TRUE(Contains(second, popup.FlatButtonFileStart));
  EXPECT_FALSE(Contains(second, popup.FlatComboBoxBurner));

  // An Alt+letter that nothing takes leaves the question open.
  PressAltKey(GetFocus(), L'q');
  EXPECT_TRUE(popup.Visible());

  // Return on the file field is "OK"; shown again, the window starts over at its first control.
  popup.FlatEditFileStart->SetFocus();
  Press(VK_RETURN);
  EXPECT_EQ(popup.UserChoice, TChoiceForm::kOK);
  popup.Show();
  EXPECT_EQ(popup.FlatTabControlMain->ActiveTab(), 0);
  EXPECT_EQ(FocusedControl(), popup.RadioButtonFull);
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
  EXPECT_EQ(TabCycle(), (Controls{recover.FlatComboBoxRecover, recover.FlatButtonOK, recover.FlatButtonCancel}));
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
  const Controls cycle = TabCycle();
  EXPECT_EQ(cycle, (Controls{extract.FolderTree, extract.CheckBoxDirs, extract.CheckBoxNewer, extract.FlatButtonBack,
                             extract.FlatButtonNext}));
  ExpectReadingOrder(cycle);
  // Return is "Fertig": with the desktop chosen it asks for a real folder.
  const HWND tree = extract.FolderTree->Handle();
  TreeView_SelectItem(tree, TreeView_GetRoot(tree));
  prompts.AnswerNext(classlib::PromptResult::Ok);
  Press(VK_RETURN);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text.rfind("Bitte wählen Sie ein Verzeichnis aus", 0), 0u);
  // Without a cancel button Escape is the close box; "Zurück" by Space closes it as well.
  Press(VK_ESCAPE);
  EXPECT_FALSE(extract.Visible());
  EXPECT_TRUE(main.enabled);
  extract.Show();
  extract.FlatButtonBack->SetFocus();
  Press(VK_SPACE);
  EXPECT_FALSE(extract.Visible());
}

TEST_F(WindowKeys, FolderSelectionAppliesWithReturnAndCancelsWithEscape) {
  TFormInstant wizard(nullptr, nullptr);
  wizard.Show();
  zip::ForceDirectories(dir / "Fotos");
  wizard.FormSelect->ShowFor(wizard, *wizard.ListViewExtended);
  ASSERT_EQ(FocusedControl(), wizard.FormSelect->FolderTree);
  const Controls cycle = TabCycle();
  EXPECT_EQ(cycle, (Controls{wizard.FormSelect->FolderTree, wizard.FormSelect->CheckBoxRecursive,
                             wizard.FormSelect->FlatButtonApply, wizard.FormSelect->FlatButtonCancel}));
  ExpectReadingOrder(cycle);
  Press(VK_ESCAPE);
  EXPECT_FALSE(wizard.FormSelect->Visible());
  EXPECT_TRUE(wizard.Enabled());
  EXPECT_EQ(wizard.ListViewExtended->Items().Count(), 0);

  wizard.FormSelect->ShowFor(wizard, *wizard.ListViewExtended);
  ASSERT_TRUE(wizard.FormSelect->FolderTree->SetPath(dir / "Fotos"));
  Press(VK_RETURN);
  EXPECT_FALSE(wizard.FormSelect->Visible());
  ASSERT_EQ(wizard.ListViewExtended->Items().Count(), 1);
  EXPECT_EQ(wizard.ListViewExtended->Items()[0]->Caption(), dir / "Fotos");
}

TEST_F(WindowKeys, RestorePageButtonsWorkByKeyboard) {
  testing_support::ScriptedPrompts prompts;
  restore_fixture::RestoreWindows windows;
  app::TRestorePage& page = *windows.page;
  page.FlatButtonOpen->SetFocus();
  const Controls cycle = TabCycle();
  for (classlib::TWinControl* c : Controls{page.ListViewRestore, page.FlatButtonExtract, page.FlatButtonExtractAll})
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

TEST_F(SingleBackupKeys, CreationWizardIsWalkedByKeyboardFromWelcomeToItsResult) {
  AddFileItem(PageList(), MakeFile("Quelle\\Brief.txt"));
  zip::ForceDirectories(dir / "Ziel");
  ASSERT_TRUE(creation->FolderTree->SetPath(dir / "Ziel"));
  page->FlatButtonSingleCreate->SetFocus();
  Press(VK_SPACE);
  ASSERT_TRUE(creation->Visible());

  // Each step: the key, then the page, where the focus starts, and both buttons' captions.
  const struct {
    const char* what;
    WORD key;
    classlib::TControl* page;
    classlib::TWinControl* focus;
    const char* back;
    const char* next;
  } steps[] = {
      {"welcome", 0, creation->PanelWelcome, creation->FlatButtonNext, "Abbrechen", "Weiter"},
      {"destination", VK_RETURN, creation->PanelStep1, creation->RadioButtonDir, "Zurück", "Weiter"},
      {"name", VK_RETURN, creation->PanelStep2, creation->FlatEditName, "Zurück", "Weiter"},
      {"split", VK_RETURN, creation->PanelStep3Split, creation->CheckBoxStep3, "Zurück", "Fertig"},
      {"back to the name", VK_TAB, creation->PanelStep3Split, creation->FlatButtonBack, "Zurück", "Fertig"},
      {"name again", VK_RETURN, creation->PanelStep2, creation->FlatEditName, "Zurück", "Weiter"},
      {"split again", VK_RETURN, creation->PanelStep3Split, creation->CheckBoxStep3, "Zurück", "Fertig"},
      {"result", VK_RETURN, creation->PanelStepCreate, creation->FlatButtonNext, nullptr, "Schließen"},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    if (step.key) Press(step.key);
    ASSERT_TRUE(step.page->Visible());
    EXPECT_EQ(FocusedControl(), step.focus);
    ExpectButton(*creation->FlatButtonBack, step.back);
    ExpectButton(*creation->FlatButtonNext, step.next);
    if (step.page != creation->PanelWelcome && step.page != creation->PanelStepCreate && step.key != VK_TAB) {
      const Controls cycle = TabCycle();
      ExpectReadingOrder(cycle);
      EXPECT_TRUE(Contains(cycle, creation->FlatButtonNext));
    }
  }
  EXPECT_TRUE(testing_support::FileExists(dir / "Ziel\\unbenannt.zip"));
  Press(VK_RETURN);
  EXPECT_FALSE(creation->Visible());
  EXPECT_TRUE(main.enabled);

  // Opened again it starts over; the name takes only what it may, Escape closes at any page.
  page->FlatButtonSingleCreate->SetFocus();
  Press(VK_SPACE);
  ASSERT_TRUE(creation->PanelWelcome->Visible());
  EXPECT_EQ(FocusedControl(), creation->FlatButtonNext);
  Press(VK_RETURN);
  Press(VK_RETURN);
  ASSERT_EQ(FocusedControl(), creation->FlatEditName);
  // The default name is selected, so typing replaces it.
  Type(L"X");
  EXPECT_EQ(creation->FlatEditName->Text(), "X");
  PressKey(GetFocus(), VK_END);
  Type(L"x*y");
  EXPECT_EQ(creation->FlatEditName->Text(), "Xxy") << "'*' is refused";
  Press(VK_ESCAPE);
  EXPECT_FALSE(creation->Visible());
  EXPECT_TRUE(main.enabled);
  EXPECT_EQ(creation->FlatEditName->Text(), "unbenannt.zip");
}

TEST_F(SingleBackupKeys, TheSplitSizeIsTypedAndTakenWithinItsRangeWhenLeft) {
  AddFileItem(PageList(), MakeFile("Quelle\\Brief.txt"));
  page->FlatButtonSingleCreate->SetFocus();
  Press(VK_SPACE);
  for (int step = 0; step < 3; ++step) Press(VK_RETURN);
  ASSERT_EQ(FocusedControl(), creation->CheckBoxStep3);
  Press(VK_SPACE);
  const struct {
    const wchar_t* typed;
    int value;
  } cases[] = {{L"650000", 650000}, {L"99", 250}, {L"2000000", 1000000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(classlib::Narrow(c.typed));
    Press(VK_TAB);
    ASSERT_EQ(FocusedControl(), creation->VisSpinEditMax);
    Type(c.typed);
    Press(VK_TAB);
    EXPECT_EQ(creation->VisSpinEditMax->Text(), std::to_string(c.value) + " KB");
    EXPECT_EQ(creation->VisSpinEditMax->Value(), c.value);
    creation->CheckBoxStep3->SetFocus();
  }
  Press(VK_ESCAPE);
}

TEST_F(SingleBackupKeys, AddDialogIsWalkedByKeyboard) {
  page->FlatButtonSingleAdd->SetFocus();
  Press(VK_RETURN);
  ASSERT_TRUE(add->Visible());
  ASSERT_EQ(FocusedControl(), add->RadioButtonFiles);
  EXPECT_EQ(TabCycle(), (Controls{add->RadioButtonFiles, add->FlatButtonNext}));
  // The choice is one stop of Tab, made with the arrow keys.
  Press(VK_DOWN);
  EXPECT_EQ(FocusedControl(), add->RadioButtonFolders);
  EXPECT_TRUE(add->RadioButtonFolders->Checked());
  EXPECT_EQ(TabCycle(), (Controls{add->RadioButtonFolders, add->FlatButtonNext}));
  Press(VK_UP);
  EXPECT_TRUE(add->RadioButtonFiles->Checked());
  Press(VK_RETURN);
  ASSERT_TRUE(add->PanelFiles->Visible());
  ASSERT_EQ(FocusedControl(), add->ListViewFiles);
  ExpectButton(*add->FlatButtonBack, "Zurück");
  ExpectButton(*add->FlatButtonNext, "Fertig");
  const Controls files = TabCycle();
  EXPECT_EQ(files, (Controls{add->ListViewFiles, add->FlatButtonFilesAdd, add->FlatButtonFilesDelete,
                             add->FlatButtonBack, add->FlatButtonNext}));
  ExpectReadingOrder(files);
  prompts.ChooseNextFiles(std::nullopt);
  add->FlatButtonFilesAdd->SetFocus();
  Press(VK_SPACE);
  ASSERT_EQ(prompts.fileRequests.size(), 1u);
  EXPECT_EQ(prompts.fileRequests[0].title, "Dateien hinzufügen");
  Press(VK_ESCAPE);
  EXPECT_FALSE(add->Visible());
  EXPECT_TRUE(main.enabled);
}

class InstantKeys : public Keys<wizard_testing::WizardFixture> {
 protected:
  InstantKeys() {
    MainWindow().Jobs = [this] { return &jobs; };
    for (const char* folder : {"Daten", "Ziel"}) zip::ForceDirectories(dir / folder);
  }
  ~InstantKeys() override { delete form; }

  JobList jobs;
  TFormInstant* form = new TFormInstant(nullptr, nullptr);
};

TEST_F(InstantKeys, EveryPageOfAFolderDefinitionIsWalkedByKeyboardAndSaved) {
  ASSERT_TRUE(form->FolderTree->SetPath(dir / "Daten"));
  ASSERT_TRUE(form->FolderTreeSave->SetPath(dir / "Ziel"));
  form->AddDefinition();

  // Each step: the keys, then the page and where the focus starts.
  const struct {
    const char* what;
    std::vector<WORD> keys;
    int page;
    classlib::TWinControl* focus;
  } steps[] = {
      {"welcome", {}, 0, form->RadioButtonFiles},
      // Folders, and the expert mode, chosen on the welcome page.
      {"folders", {VK_DOWN, VK_TAB, VK_SPACE, VK_RETURN}, 1, form->RadioButtonSimple},
      {"filter", {VK_RETURN}, 2, form->RadioButtonAll},
      {"schedule", {VK_RETURN}, 3, form->CheckBoxIntervall},
      {"catch-up", {VK_RETURN}, 4, form->RadioButtonGarantieEver},
      {"kind", {VK_RETURN}, 5, form->RadioButtonPartFull},
      {"instances", {VK_RETURN}, 6, form->SpinEditInstances},
      {"password", {VK_RETURN}, 7, form->CheckBoxPassword},
      // Back from the page's first control: Tab past both fields and the expert check box.
      {"back to the instances", {VK_TAB, VK_TAB, VK_TAB, VK_TAB, VK_RETURN}, 6, form->SpinEditInstances},
      {"password again", {VK_RETURN}, 7, form->CheckBoxPassword},
      {"split", {VK_SPACE, VK_TAB, 'G', VK_TAB, 'G', VK_RETURN}, 8, form->FlatComboBoxSplitVariante},
      {"destination", {VK_RETURN}, 9, form->RadioButtonDir},
      {"name", {VK_RETURN}, 10, form->FlatEditName},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    for (WORD key : step.keys) Press(key);
    ASSERT_EQ(form->PageIndex(), step.page);
    EXPECT_EQ(FocusedControl(), step.focus);
    ExpectButton(*form->FlatButtonBack, "Zurück");
    ExpectButton(*form->FlatButtonNext, step.page == kNamePage ? "Fertig" : "Weiter");
    const Controls cycle = TabCycle();
    ExpectReadingOrder(cycle);
    EXPECT_TRUE(Contains(cycle, form->CheckBoxExpert));
    EXPECT_EQ(cycle.back(), form->FlatButtonNext);
  }
  Press(VK_END);
  Type(L"\b\b\b\b\b\b\b\b\bFotos");
  Press(VK_RETURN);
  EXPECT_FALSE(form->Visible());
  EXPECT_TRUE(main.enabled);
  const std::optional<BackupDefinition> saved = ReadBackupDefinition("Fotos");
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(saved->Option, BackupOption::Folders);
  EXPECT_TRUE(saved->UsePassword);
  EXPECT_EQ(saved->Password, "g");
  EXPECT_EQ(saved->Create, dir / "Ziel\\");
}

TEST_F(InstantKeys, EveryControlTabReachesOnTheSchedulePageShowsTheFocus) {
  ASSERT_TRUE(form->FolderTree->SetPath(dir / "Daten"));
  form->AddDefinition();
  Press(VK_DOWN);
  for (int i = 0; i < 4 && form->PageIndex() != kSchedulePage; ++i) Press(VK_RETURN);
  ASSERT_EQ(form->PageIndex(), kSchedulePage);
  ASSERT_EQ(FocusedControl(), form->CheckBoxIntervall);
  // The time field counts only while "Backup um" is on.
  EXPECT_FALSE(Contains(TabCycle(), form->MaskEditTime));
  form->CheckBoxTime->SetChecked(true);
  const Controls cycle = TabCycle();
  EXPECT_TRUE(Contains(cycle, form->SpinEditMinutes));
  EXPECT_TRUE(Contains(cycle, form->MaskEditTime));
  // Each control looks different while it has the focus than after Tab moved on.
  for (classlib::TWinControl* control : cycle) {
    ASSERT_EQ(FocusedControl(), control);
    testing_support::Pump();
    classlib::TBitmap focused, left;
    testing_support::ShownOnDisplay(control->Handle(), false, focused);
    Press(VK_TAB);
    testing_support::Pump();
    testing_support::ShownOnDisplay(control->Handle(), false, left);
    int changed = 0;
    for (int y = 0; y < focused.Height(); ++y)
      for (int x = 0; x < focused.Width(); ++x) changed += focused.Pixel(x, y) != left.Pixel(x, y);
    EXPECT_GT(changed, 0) << "no focus mark on the control at " << control->Left() << "," << control->Top();
  }
  Press(VK_ESCAPE);
}

TEST_F(InstantKeys, TheWelcomePageOfANewDefinitionGoesOnWithReturnAndEscapeClosesAnyPage) {
  form->AddDefinition();
  Press(VK_RETURN);
  EXPECT_EQ(form->PageIndex(), 1);
  EXPECT_EQ(FocusedControl(), form->ListViewFiles);
  ExpectButton(*form->FlatButtonBack, "Zurück");
  ExpectButton(*form->FlatButtonNext, "Weiter");
  // Switching the mode shows the page again and leaves the focus where it was switched.
  Press(VK_TAB);
  Press(VK_TAB);
  Press(VK_TAB);
  ASSERT_EQ(FocusedControl(), form->CheckBoxExpert);
  Press(VK_SPACE);
  EXPECT_EQ(form->PageIndex(), 1);
  EXPECT_EQ(FocusedControl(), form->CheckBoxExpert);
  Press(VK_ESCAPE);
  EXPECT_FALSE(form->Visible());
  EXPECT_TRUE(main.enabled);
  EXPECT_EQ(ListBackupDefinitions().Count(), 0);
}

}  // namespace
