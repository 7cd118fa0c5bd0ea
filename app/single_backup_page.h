// The Single Backup page of the main window: the list of files a single backup saves, with its
// count and size line, "Hinzufügen" (the single-backup wizard), "Entfernen" (also the Del key) and
// "Erstellen" (the creation wizard). Its host creates it, sizes it and gives it the two wizards.
#pragma once

#include "classlib/comctrls.h"
#include "classlib/stdctrls.h"
#include "controls/flat/flat_button.h"
#include "controls/panels/vis_simple_panel.h"

namespace app {

class TFormAdd;
class TFormCreation;

class TSingleBackupPage : public controls::TVisSimplePanel {
 public:
  explicit TSingleBackupPage(classlib::TComponent* AOwner);

  classlib::TListView* ListViewSingleBackup = nullptr;
  classlib::TLabel* LabelSingleBackupCount = nullptr;
  controls::TFlatButton* FlatButtonSingleAdd = nullptr;
  controls::TFlatButton* FlatButtonSingleDelete = nullptr;
  controls::TFlatButton* FlatButtonSingleCreate = nullptr;

  // The wizards the buttons show; the host sets them once they exist.
  TFormAdd* FormAdd = nullptr;
  TFormCreation* FormCreation = nullptr;

  // The count and size line follows the list.
  void SetFilesText();

 protected:
  void Resize() override;

 private:
  void FlatButtonSingleAddClick(classlib::TComponent* Sender);
  void FlatButtonSingleDeleteClick(classlib::TComponent* Sender);
  void FlatButtonSingleCreateClick(classlib::TComponent* Sender);
  void ListViewSingleBackupKeyDown(classlib::TComponent* Sender, WORD& Key, classlib::TShiftState Shift);
  void ListViewSingleBackupColumnClick(classlib::TComponent* Sender, int Column);
};

}  // namespace app
