// "Verzeichnis-Auswahl": picks one more folder for the definition wizard's list of folders, with or
// without its subfolders. Only a folder of the file system is taken; the wizard waits, disabled,
// until the picker closes.
#pragma once

#include <string>

#include "classlib/comctrls.h"
#include "classlib/forms.h"
#include "classlib/shell_tree.h"
#include "classlib/stdctrls.h"
#include "controls/flat/flat_button.h"
#include "controls/panels/vis_simple_panel.h"

namespace app {

// The wizard's list of folders: caption the folder, column "Rekursiv" "ja" or "nein". Adding a
// folder listed already (in any letter case) only sets its "Rekursiv"; the list stays sorted.
void AddExtendedFolder(classlib::TListView& list, const std::string& folder, bool recursive);

class TFormSelect : public classlib::TForm {
 public:
  explicit TFormSelect(classlib::TComponent* AOwner);

  // Shows the picker over wizard, disabled until the picker closes; "Übernehmen" adds to list.
  void ShowFor(classlib::TForm& wizard, classlib::TListView& list);

  controls::TVisSimplePanel* PanelHeader;
  classlib::TLabel* LabelHeader;
  classlib::TLabel* LabelInfo;
  classlib::TShellTreeView* FolderTree;
  classlib::TCheckBox* CheckBoxRecursive;
  controls::TFlatButton* FlatButtonApply;
  controls::TFlatButton* FlatButtonCancel;

 private:
  void FlatButtonApplyClick(classlib::TComponent* Sender);
  void FlatButtonCancelClick(classlib::TComponent* Sender);
  void FormClose(classlib::TComponent* Sender, classlib::TCloseAction& Action);

  classlib::TForm* wizard_ = nullptr;
  classlib::TListView* list_ = nullptr;
};

}  // namespace app
