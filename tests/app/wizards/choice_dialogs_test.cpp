#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <vector>

#include "app/wizards/form_popup.h"
#include "app/wizards/form_recover.h"
#include "tests/app/wizards/wizard_fixture.h"
#include "tests/support/scripted_prompts.h"

using namespace app;
using testing_support::ClickAt;
using testing_support::ClickButton;
using testing_support::CloseBox;
using testing_support::PressKey;
using testing_support::Pump;

namespace {

class ChoiceDialogs : public wizard_testing::WizardFixture {
 protected:
  ~ChoiceDialogs() override {
    delete popup;
    delete recover;
  }

  // The user's click on a tab of the strip.
  static void ClickTab(controls::TFlatTabControl& tabs, int index) {
    const RECT r = tabs.TabRect(index);
    ClickAt(tabs.Handle(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }

  TFormPopup* popup = new TFormPopup(nullptr);
  TFormRecover* recover = new TFormRecover(nullptr);
};

TEST_F(ChoiceDialogs, EveryWayOfAnsweringGivesItsChoiceAndClosesTheWindow) {
  struct Case {
    const char* name;
    std::function<void(TChoiceForm&)> answer;
    int expected;
  };
  const Case cases[] = {
      {"OK", [](TChoiceForm& f) { ClickButton(*f.FlatButtonOK); }, TChoiceForm::kOK},
      {"Abbrechen", [](TChoiceForm& f) { ClickButton(*f.FlatButtonCancel); }, TChoiceForm::kCancel},
      {"close box", [](TChoiceForm& f) { CloseBox(f); }, TChoiceForm::kCancel},
      // Return on a focused button presses that one; from the first field it is OK.
      {"Return",
       [](TChoiceForm& f) {
         f.SelectNext(nullptr, true);
         PressKey(f.Handle(), VK_RETURN);
       },
       TChoiceForm::kOK},
      {"Escape", [](TChoiceForm& f) { PressKey(f.Handle(), VK_ESCAPE); }, TChoiceForm::kCancel},
  };
  for (TChoiceForm* dialog : {static_cast<TChoiceForm*>(popup), static_cast<TChoiceForm*>(recover)}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(dialog->Caption() + ", " + c.name);
      dialog->UserChoice = TChoiceForm::kCancel;  // a stale answer from an earlier question
      dialog->Show();
      EXPECT_EQ(dialog->UserChoice, TChoiceForm::kNoAnswer);
      c.answer(*dialog);
      EXPECT_EQ(dialog->UserChoice, c.expected);
      EXPECT_FALSE(dialog->Visible());
    }
  }
}

namespace {

// The window commands a form was sent; a move is recorded and not carried out.
std::vector<WPARAM> commands;

LRESULT CALLBACK RecordCommands(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MOVE) {
    commands.push_back(wParam);
    return 0;
  }
  return DefSubclassProc(window, msg, wParam, lParam);
}

}  // namespace

TEST_F(ChoiceDialogs, PopupMovesWhenDraggedByItsPanelsAndTheirTexts) {
  popup->Show();
  SetWindowSubclass(popup->Handle(), RecordCommands, 1, 0);
  commands.clear();
  const RECT label = popup->LabelInfo->BoundsRect();
  ClickAt(popup->PanelMain->Handle(), 3, popup->PanelMain->ClientHeight() - 3);
  ClickAt(popup->PanelHeader->Handle(), popup->PanelHeader->ClientWidth() - 3, 3);
  ClickAt(popup->PanelHeader->Handle(), label.left + 2, label.top + 2);
  RemoveWindowSubclass(popup->Handle(), RecordCommands, 1);
  EXPECT_EQ(commands, (std::vector<WPARAM>(3, SC_MOVE | HTCAPTION)));
}

TEST_F(ChoiceDialogs, PopupKeepsItsChoicesAndOpensOnTheDestinationTab) {
  popup->FlatComboBoxBurner->Items().Add("(E:) Lumatec RW-5200");
  popup->FlatComboBoxBurner->Items().Add("(F:) Lumatec DVD-880");
  popup->FlatComboBoxBurner->SetItemIndex(0);
  main.enabled = false;  // as the run leaves it before asking
  popup->Show();
  EXPECT_TRUE(popup->RadioButtonFull->Checked());
  EXPECT_TRUE(popup->RadioButtonDir->Checked());
  EXPECT_TRUE(popup->RadioButtonNoAction->Checked());

  ClickButton(*popup->RadioButtonPart);
  ClickButton(*popup->RadioButtonBurn);
  SendMessageW(popup->FlatComboBoxBurner->Handle(), CB_SETCURSEL, 1, 0);
  ClickTab(*popup->FlatTabControlMain, 1);
  EXPECT_EQ(popup->FlatTabControlMain->ActiveTab(), 1);
  EXPECT_TRUE(popup->PanelAfter->Visible());
  EXPECT_FALSE(popup->PanelZielort->Visible());
  ClickButton(*popup->RadioButtonFileStart);
  popup->FlatEditFileStart->SetText("C:\\Programme\\Prüfung.exe");
  ClickButton(*popup->FlatButtonOK);

  EXPECT_EQ(popup->UserChoice, TChoiceForm::kOK);
  EXPECT_TRUE(main.enabled);
  popup->Show();
  EXPECT_EQ(popup->FlatTabControlMain->ActiveTab(), 0);
  EXPECT_TRUE(popup->PanelZielort->Visible());
  EXPECT_FALSE(popup->PanelAfter->Visible());
  EXPECT_TRUE(popup->RadioButtonPart->Checked());
  EXPECT_FALSE(popup->RadioButtonFull->Checked());
  EXPECT_TRUE(popup->RadioButtonBurn->Checked());
  EXPECT_FALSE(popup->RadioButtonDir->Checked());
  EXPECT_EQ(popup->FlatComboBoxBurner->ItemIndex(), 1);
  EXPECT_TRUE(popup->RadioButtonFileStart->Checked());
  EXPECT_FALSE(popup->RadioButtonNoAction->Checked());
  EXPECT_EQ(popup->FlatEditFileStart->Text(), "C:\\Programme\\Prüfung.exe");

  // Closed on the second tab by its close box: it opens on the first again.
  ClickTab(*popup->FlatTabControlMain, 1);
  CloseBox(*popup);
  EXPECT_EQ(popup->UserChoice, TChoiceForm::kCancel);
  EXPECT_EQ(popup->FlatTabControlMain->ActiveTab(), 0);
  EXPECT_TRUE(popup->PanelZielort->Visible());
}

TEST_F(ChoiceDialogs, RecoverKeepsTheChosenActionBetweenQuestions) {
  recover->Show();
  EXPECT_EQ(recover->FlatComboBoxRecover->ItemIndex(), TFormRecover::kRecoverNow);
  EXPECT_EQ(recover->FlatComboBoxRecover->Text(), "Sicherung jetzt nachholen");
  SendMessageW(recover->FlatComboBoxRecover->Handle(), CB_SETCURSEL, TFormRecover::kSkipRecovery, 0);
  ClickButton(*recover->FlatButtonOK);
  recover->Show();
  EXPECT_EQ(recover->FlatComboBoxRecover->ItemIndex(), TFormRecover::kSkipRecovery);
  EXPECT_EQ(recover->FlatComboBoxRecover->Text(), "Sicherung nicht nachholen");
}

TEST_F(ChoiceDialogs, BrowseButtonPutsTheChosenFileIntoTheField) {
  testing_support::ScriptedPrompts prompts;
  popup->Show();
  ClickTab(*popup->FlatTabControlMain, 1);
  popup->FlatEditFileStart->SetText("C:\\alt.bat");
  prompts.ChooseNextFile(std::nullopt);
  ClickButton(*popup->FlatButtonFileStart);
  EXPECT_EQ(popup->FlatEditFileStart->Text(), "C:\\alt.bat");
  prompts.ChooseNextFile("D:\\Skripte\\Nach der Sicherung.cmd");
  ClickButton(*popup->FlatButtonFileStart);
  EXPECT_EQ(popup->FlatEditFileStart->Text(), "D:\\Skripte\\Nach der Sicherung.cmd");
  ASSERT_EQ(prompts.fileRequests.size(), 2u);
  EXPECT_EQ(prompts.fileRequests[0].title, "Datei auswählen");
  EXPECT_EQ(prompts.fileRequests[0].filter, "Alle Dateien|*.*");
}

TEST_F(ChoiceDialogs, ExceptionInAHandlerReachesTheErrorBoxAndTheDialogStays) {
  testing_support::ScriptedPrompts prompts;  // no file scripted: the file dialog fails
  prompts.AnswerNext(classlib::PromptResult::Ok);
  auto collect = classlib::Application().OnException;
  classlib::Application().OnException = nullptr;
  popup->Show();
  ClickButton(*popup->FlatButtonFileStart);
  classlib::Application().OnException = collect;

  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].caption, "Orvanta");
  EXPECT_EQ(prompts.messages[0].text, "unscripted file dialog: Datei auswählen");
  EXPECT_TRUE(popup->Visible());
  EXPECT_FALSE(classlib::Application().Terminated());
  ClickButton(*popup->FlatButtonOK);
  EXPECT_EQ(popup->UserChoice, TChoiceForm::kOK);
}

TEST_F(ChoiceDialogs, AskUserWaitsForTheAnswerAndLeavesNoneBehind) {
  PostMessageW(recover->FlatButtonOK->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(AskUser(*recover), TChoiceForm::kOK);
  EXPECT_EQ(recover->FormStyle(), classlib::TFormStyle::fsStayOnTop);
  EXPECT_FALSE(recover->Visible());
  EXPECT_EQ(recover->UserChoice, TChoiceForm::kNoAnswer);

  // Hidden without an answer (its owner hides it): the wait ends as a cancel.
  PostMessageW(popup->Handle(), WM_SHOWWINDOW, FALSE, SW_PARENTCLOSING);
  EXPECT_EQ(AskUser(*popup), TChoiceForm::kCancel);
  EXPECT_EQ(popup->UserChoice, TChoiceForm::kNoAnswer);
}

// Asking the program to quit cannot be undone, so it happens in a process of its own.
TEST_F(ChoiceDialogs, AskUserEndsWhenTheProgramIsAskedToQuit) {
  EXPECT_EXIT(
      {
        main.enabled = false;
        classlib::Application().Terminate();
        const int choice = AskUser(*popup);
        std::exit(choice == TChoiceForm::kCancel && !popup->Visible() && main.enabled ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
