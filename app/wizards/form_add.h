// The single-backup wizard: collects the files of a single backup, picked one by one or read from
// a folder with all its subfolders, and hands them to the Single Backup page's list on "Fertig".
// The page opens it with its own list copied in. Reading a folder can take long: the wait page
// shows meanwhile, and closing the window stops the reading.
#pragma once

#include "classlib/comctrls.h"
#include "classlib/forms.h"
#include "classlib/stdctrls.h"
#include "controls/flat/flat_button.h"
#include "controls/panels/vis_progress_fill.h"
#include "controls/panels/vis_simple_panel.h"

namespace app {

class TFormAdd : public classlib::TForm {
 public:
  explicit TFormAdd(classlib::TComponent* AOwner);

  // Shows the wizard with both of its lists holding a copy of source.
  void ShowWithFiles(classlib::TListView& source);
  // A list is being read or copied; the buttons wait until it is done.
  bool Waiting() const { return PanelWait->Visible(); }

  controls::TVisSimplePanel* PanelHeader;
  classlib::TLabel* LabelHeader;
  classlib::TLabel* LabelInfo;
  controls::TVisSimplePanel* PanelStep1;
  classlib::TRadioButton* RadioButtonFiles;
  classlib::TRadioButton* RadioButtonFolders;
  controls::TVisSimplePanel* PanelFiles;
  classlib::TListView* ListViewFiles;
  controls::TFlatButton* FlatButtonFilesAdd;
  controls::TFlatButton* FlatButtonFilesDelete;
  controls::TVisSimplePanel* PanelFolders;
  classlib::TListView* ListViewFolders;
  controls::TFlatButton* FlatButtonFoldersAdd;
  controls::TFlatButton* FlatButtonFoldersDelete;
  controls::TVisSimplePanel* PanelWait;
  classlib::TLabel* LabelWait;
  controls::TVisProgressFill* FlatProgressBarWait;
  controls::TFlatButton* FlatButtonBack;
  controls::TFlatButton* FlatButtonNext;

 private:
  void FormShow(classlib::TComponent* Sender);
  void FormCloseQuery(classlib::TComponent* Sender, bool& CanClose);
  void FormClose(classlib::TComponent* Sender, classlib::TCloseAction& Action);
  void FlatButtonNextClick(classlib::TComponent* Sender);
  void FlatButtonBackClick(classlib::TComponent* Sender);
  void FlatButtonFilesAddClick(classlib::TComponent* Sender);
  void FlatButtonFoldersAddClick(classlib::TComponent* Sender);
  // "Entfernen" of either page.
  void FlatButtonDeleteClick(classlib::TComponent* Sender);
  void ListViewKeyDown(classlib::TComponent* Sender, WORD& Key, classlib::TShiftState Shift);
  void ListViewColumnClick(classlib::TComponent* Sender, int Column);

  void ShowPage(controls::TVisSimplePanel* page);
  // The wait page in place of the current page, with text; EndWait brings the page back.
  void BeginWait(const std::string& text);
  void EndWait();
  void EnableButtons(bool enabled);
  // The list of the files or the folders page, whichever shows (or showed before the wait page).
  classlib::TListView& PageList();
  void TakeOverFiles();

  controls::TVisSimplePanel* page_ = nullptr;
  // Closing the window while a list is read: the reading stops, then the window closes.
  bool stopReading_ = false;
};

}  // namespace app
