#include "app/wizards/choice_form.h"

#include "app/wizards/window_style.h"

namespace app {

using classlib::Bind;

TChoiceForm::TChoiceForm(classlib::TComponent* AOwner) : TForm(AOwner) {
  SetCaption("Orvanta");
  SetBorderStyle(classlib::TFormBorderStyle::bsDialog);
  SetBorderIcons(classlib::biSystemMenu);
  SetPosition(classlib::TPosition::poScreenCenter);
  OnShow = Bind(this, &TChoiceForm::FormShow);
  OnClose = Bind(this, &TChoiceForm::FormClose);
}

void TChoiceForm::AddButtons(classlib::TWinControl* parent, int right, int top) {
  FlatButtonOK = NewFlatButton(this, parent, right - 2 * kButtonWidth - 8, top, "OK");
  FlatButtonOK->SetDefault(true);
  FlatButtonOK->OnClick = Bind(this, &TChoiceForm::FlatButtonOKClick);
  FlatButtonCancel = NewFlatButton(this, parent, right - kButtonWidth, top, "Abbrechen");
  FlatButtonCancel->SetCancel(true);
  FlatButtonCancel->OnClick = Bind(this, &TChoiceForm::FlatButtonCancelClick);
}

void TChoiceForm::FormShow(classlib::TComponent*) { UserChoice = kNoAnswer; }

void TChoiceForm::FormClose(classlib::TComponent*, classlib::TCloseAction&) {
  if (UserChoice == kNoAnswer) UserChoice = kCancel;
}

void TChoiceForm::FlatButtonOKClick(classlib::TComponent*) {
  UserChoice = kOK;
  Close();
}

void TChoiceForm::FlatButtonCancelClick(classlib::TComponent*) {
  UserChoice = kCancel;
  Close();
}

int AskUser(TChoiceForm& dialog) {
  dialog.SetFormStyle(classlib::TFormStyle::fsStayOnTop);
  dialog.Show();
  const bool answered = classlib::Application().WaitUntil(
      [&] { return dialog.UserChoice != TChoiceForm::kNoAnswer || !dialog.Visible(); });
  if (!answered) dialog.Close();
  const int choice = dialog.UserChoice == TChoiceForm::kOK ? TChoiceForm::kOK : TChoiceForm::kCancel;
  dialog.UserChoice = TChoiceForm::kNoAnswer;
  return choice;
}

}  // namespace app
