// The confirmation before a scheduled run whose definition asks the user: destination (a folder
// or a CD writer), full or partial backup, and what to do afterwards. Its choices stay between
// runs; the run presets some of them before showing it and reads them afterwards.
#pragma once

#include "app/wizards/choice_form.h"
#include "classlib/shell_tree.h"
#include "classlib/stdctrls.h"
#include "controls/flat/flat_combo_box.h"
#include "controls/flat/flat_edit.h"
#include "controls/flat/flat_tab_control.h"
#include "controls/panels/vis_simple_panel.h"

namespace app {

class TFormPopup : public TChoiceForm {
 public:
  explicit TFormPopup(classlib::TComponent* AOwner);

  controls::TVisSimplePanel* PanelHeader;
  classlib::TLabel* LabelHeader;
  classlib::TLabel* LabelInfo;
  controls::TVisSimplePanel* PanelMain;
  classlib::TRadioButton* RadioButtonFull;
  classlib::TRadioButton* RadioButtonPart;
  controls::TFlatTabControl* FlatTabControlMain;
  controls::TVisSimplePanel* PanelZielort;
  classlib::TRadioButton* RadioButtonDir;
  classlib::TShellTreeView* FolderTree;
  classlib::TRadioButton* RadioButtonBurn;
  controls::TFlatComboBox* FlatComboBoxBurner;
  controls::TVisSimplePanel* PanelAfter;
  classlib::TRadioButton* RadioButtonNoAction;
  classlib::TRadioButton* RadioButtonShutDown;
  classlib::TRadioButton* RadioButtonReboot;
  classlib::TRadioButton* RadioButtonFileStart;
  controls::TFlatEdit* FlatEditFileStart;
  controls::TFlatButton* FlatButtonFileStart;

 protected:
  void FormClose(classlib::TComponent* Sender, classlib::TCloseAction& Action) override;

 private:
  void FlatTabControlMainTabChanged(classlib::TComponent* Sender);
  void FlatButtonFileStartClick(classlib::TComponent* Sender);
  // Dragging the window by its panels, as by its caption.
  void PanelMainMouseDown(classlib::TComponent* Sender, classlib::TMouseButton Button, classlib::TShiftState Shift,
                          int X, int Y);
};

}  // namespace app
