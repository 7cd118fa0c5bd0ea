// The dialogs that steer a scheduled run without a modal loop: the caller shows one and pumps
// messages until its UserChoice says what the user wants.
#pragma once

#include "classlib/forms.h"
#include "controls/flat/flat_button.h"

namespace app {

class TChoiceForm : public classlib::TForm {
 public:
  enum : int { kNoAnswer = 0, kOK = 1, kCancel = 2 };
  // Set to kNoAnswer when the window shows; kCancel also when it closes in any other way.
  int UserChoice = kNoAnswer;

  controls::TFlatButton* FlatButtonOK = nullptr;
  controls::TFlatButton* FlatButtonCancel = nullptr;

 protected:
  // Caption "Orvanta", a dialog frame, centred on the screen.
  explicit TChoiceForm(classlib::TComponent* AOwner);
  // "OK" and "Abbrechen" side by side, ending at right; Return and Escape press them.
  void AddButtons(classlib::TWinControl* parent, int right, int top);
  virtual void FormShow(classlib::TComponent* Sender);
  virtual void FormClose(classlib::TComponent* Sender, classlib::TCloseAction& Action);

 private:
  void FlatButtonOKClick(classlib::TComponent* Sender);
  void FlatButtonCancelClick(classlib::TComponent* Sender);
};

// Shows the dialog topmost and focused and pumps messages until it has an answer, it is gone, or
// the program is asked to quit (then it closes, which cancels). Returns kOK or kCancel and leaves
// UserChoice at kNoAnswer for the next question.
int AskUser(TChoiceForm& dialog);

}  // namespace app
