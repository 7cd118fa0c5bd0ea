// The question whether a scheduled run that was missed is caught up now.
#pragma once

#include "app/wizards/choice_form.h"
#include "classlib/stdctrls.h"
#include "controls/flat/flat_combo_box.h"
#include "controls/panels/vis_simple_panel.h"

namespace app {

class TFormRecover : public TChoiceForm {
 public:
  explicit TFormRecover(classlib::TComponent* AOwner);

  // The entries of FlatComboBoxRecover.
  enum : int { kRecoverNow = 0, kSkipRecovery = 1 };

  classlib::TLabel* LabelInfo;
  controls::TVisSimplePanel* PanelMain;
  controls::TFlatComboBox* FlatComboBoxRecover;
};

}  // namespace app
