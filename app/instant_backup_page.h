// The Instant Backup page of the main window: the list of backup definitions with when each runs
// next, "Hinzufügen", "Bearbeiten" and "Entfernen" (also the Del key), a popup menu to run, switch
// off and on, put on the desktop and look at a definition, and the information panel with the
// results of its last run. Its host creates it, sizes it, gives it the job list, the definition
// wizard and the scheduler, and puts its "Instant Backups" entries into the tray menu.
#pragma once

#include <string>
#include <vector>

#include "app/definition_list.h"
#include "app/job_list.h"
#include "classlib/comctrls.h"
#include "classlib/menus.h"
#include "classlib/stdctrls.h"
#include "controls/flat/flat_button.h"
#include "controls/panels/vis_simple_panel.h"

namespace app {

class Scheduler;
class TFormInstant;

class TInstantBackupPage : public controls::TVisSimplePanel {
 public:
  explicit TInstantBackupPage(classlib::TComponent* AOwner);

  // The list shows jobs and follows its changes: jobs changes no more once the page goes (its host
  // owns both), or is handed back by SetJobs(nullptr) first.
  void SetJobs(JobList* jobs);
  // The wizard and the scheduler, once they exist.
  TFormInstant* FormInstant = nullptr;
  Scheduler* Schedule = nullptr;

  // Adds "&Instant Backups" with "Alle aktivieren" and "Alle deaktivieren" to the tray menu's items.
  classlib::TMenuItem* AddTrayMenu(classlib::TMenuItem& trayItems);
  // The information panel shows the selected job's stored results again, when it is visible.
  void RefreshInformationPanel();

  classlib::TListView* ListViewInstantBackup = nullptr;
  controls::TVisSimplePanel* PanelBackupInfo = nullptr;
  classlib::TLabel* LabelBackupInfoName = nullptr;
  classlib::TLabel* LabelBackupInfoDefinition = nullptr;
  classlib::TLabel* LabelBackupInfoLast = nullptr;
  classlib::TLabel* LabelBackupInfoSize = nullptr;
  classlib::TLabel* LabelBackupInfoFiles = nullptr;
  controls::TFlatButton* FlatButtonInfoEdit = nullptr;
  controls::TFlatButton* FlatButtonInfoCreate = nullptr;
  controls::TFlatButton* FlatButtonInfoBack = nullptr;
  controls::TFlatButton* FlatButtonInstantAdd = nullptr;
  controls::TFlatButton* FlatButtonInstantEdit = nullptr;
  controls::TFlatButton* FlatButtonInstantDelete = nullptr;

  classlib::TPopupMenu* PopupMenuBackup = nullptr;
  classlib::TMenuItem* AusgewhlteBackups1 = nullptr;
  classlib::TMenuItem* Durchfhren1 = nullptr;
  classlib::TMenuItem* Aktivieren1 = nullptr;
  classlib::TMenuItem* DesktopVerknpfung1 = nullptr;
  classlib::TMenuItem* Informationen1 = nullptr;
  classlib::TMenuItem* Alleaktivieren1 = nullptr;
  classlib::TMenuItem* Alledeaktivieren1 = nullptr;

 protected:
  void Resize() override;

 private:
  void FlatButtonInstantAddClick(classlib::TComponent* Sender);
  void FlatButtonInstantEditClick(classlib::TComponent* Sender);
  void FlatButtonInstantDeleteClick(classlib::TComponent* Sender);
  void ListViewInstantBackupKeyDown(classlib::TComponent* Sender, WORD& Key, classlib::TShiftState Shift);
  void ListViewInstantBackupDblClick(classlib::TComponent* Sender);
  void ListViewInstantBackupSelectItem(classlib::TComponent* Sender, classlib::TListItem* Item, bool Selected);
  void FlatButtonInfoCreateClick(classlib::TComponent* Sender);
  void FlatButtonInfoBackClick(classlib::TComponent* Sender);
  void PopupMenuBackupPopup(classlib::TComponent* Sender);
  void Durchfhren1Click(classlib::TComponent* Sender);
  void Aktivieren1Click(classlib::TComponent* Sender);
  void DesktopVerknpfung1Click(classlib::TComponent* Sender);
  void Informationen1Click(classlib::TComponent* Sender);
  void Alleaktivieren1Click(classlib::TComponent* Sender);
  void Alledeaktivieren1Click(classlib::TComponent* Sender);

  // The list view follows the job list: one row changed (index), or all of them (-1).
  void JobsChanged(int index);
  void ShowRow(int index);
  // The first selected job; empty with none.
  std::string SelectedJob() const;
  std::vector<std::string> SelectedJobs() const;
  void ShowInformation(const std::string& name);
  void RunNow(const std::vector<std::string>& names);

  JobList* jobs_ = nullptr;
  bool showingJobs_ = false;
  // The job the information panel shows.
  std::string infoJob_;
};

}  // namespace app
