// The creation wizard: writes the files of the Single Backup page into one archive, in a folder or
// on CD, split into parts when asked. The archive is written under a name aside and takes the
// archive's name only once it is complete, so a cancel or a failure leaves an older backup of that
// name as it was. While it creates, the program counts as busy, and the window can neither be
// closed nor started again: closing it asks the writers to stop, as "Abbrechen" does.
#pragma once

#include <memory>
#include <string>

#include "app/cd_writer.h"
#include "app/wizards/run_feedback.h"
#include "app/generations.h"
#include "classlib/forms.h"
#include "classlib/shell_tree.h"
#include "classlib/stdctrls.h"
#include "controls/flat/flat_button.h"
#include "controls/flat/flat_combo_box.h"
#include "controls/flat/flat_edit.h"
#include "controls/panels/vis_progress_fill.h"
#include "controls/panels/vis_simple_panel.h"
#include "controls/panels/vis_spin_edit.h"
#include "zip/zip_writer.h"

namespace app {

class TFormCreation : public classlib::TForm {
 public:
  explicit TFormCreation(classlib::TComponent* AOwner);

  // A backup is being written or burned.
  bool Creating() const { return creating_; }
  // Asks the zip writer and the CD writer to stop; the creation then ends as cancelled, once they
  // have returned, and the wizard closes.
  void RequestCancel();
  // The end of the Windows session: RequestCancel, and the abort in the log at once, since Windows
  // may end the program before the writers return.
  void CancelForSessionEnd();

  controls::TVisSimplePanel* PanelHeader;
  classlib::TLabel* LabelHeader;
  classlib::TLabel* LabelInfo;
  controls::TVisSimplePanel* PanelWelcome;
  controls::TVisSimplePanel* PanelStep1;
  classlib::TRadioButton* RadioButtonDir;
  classlib::TShellTreeView* FolderTree;
  classlib::TRadioButton* RadioButtonBurn;
  controls::TFlatComboBox* FlatComboBoxBurner;
  controls::TFlatButton* FlatButtonSettings;
  controls::TVisSimplePanel* PanelStep2;
  controls::TFlatEdit* FlatEditName;
  controls::TVisSimplePanel* PanelStep3Split;
  classlib::TCheckBox* CheckBoxStep3;
  controls::TVisSpinEdit* VisSpinEditMax;
  controls::TVisSimplePanel* PanelStep3Burn;
  controls::TFlatComboBox* FlatComboBoxCDRSpeed;
  classlib::TCheckBox* CheckBoxCDRClose;
  classlib::TCheckBox* CheckBoxCDRWDelete;
  controls::TVisSimplePanel* PanelStepCreate;
  classlib::TLabel* LabelStatus;
  classlib::TLabel* LabelAction;
  controls::TVisProgressFill* FlatProgressBarActual;
  controls::TVisProgressFill* FlatProgressBarArchive;
  classlib::TLabel* LabelOutput;
  controls::TFlatButton* FlatButtonBack;
  controls::TFlatButton* FlatButtonNext;

  zip::TZipWriter ZipArchive;
  TCDWriter* OrvBurner;

 private:
  enum class Page { Welcome, Step1, Step2, Split, Burn, Create };
  // NothingSaved: a failure in which none of the listed files could be read.
  enum class Outcome { Completed, Cancelled, Failed, NothingSaved };

  void FormShow(classlib::TComponent* Sender);
  void FormCloseQuery(classlib::TComponent* Sender, bool& CanClose);
  void FormClose(classlib::TComponent* Sender, classlib::TCloseAction& Action);
  void FlatButtonNextClick(classlib::TComponent* Sender);
  void FlatButtonBackClick(classlib::TComponent* Sender);
  void FlatButtonSettingsClick(classlib::TComponent* Sender);
  void FlatComboBoxBurnerChange(classlib::TComponent* Sender);
  void FlatEditNameKeyPress(classlib::TComponent* Sender, wchar_t& Key);
  void CheckBoxStep3Click(classlib::TComponent* Sender);

  void ZipArchiveStartZip(const std::string& FName, zip::TZipHeaderInfo& ZipHeader, bool& Skip);

  void ShowPage(Page page);
  // The device of the selected writer entry and its speeds; without one, no speeds.
  void SelectBurner();
  // Destination step: a folder of the file system, or a CD writer.
  bool DestinationChosen();

  // "Fertig": the whole creation, steps in order, ending in one of the outcomes.
  void CreateBackup();
  Outcome WriteBackup(const std::string& destination, const std::string& name, bool burning, std::string& detail);
  // Writes the listed files aside of target; the set is complete when this returns.
  ArchiveSet WriteAside(const std::string& target);
  Outcome BurnBackup(const std::string& archive, int files, const std::string& name, std::string& detail);
  void EndCreation(Outcome outcome, const std::string& detail);

  Page page_ = Page::Welcome;
  bool creating_ = false;
  bool cancelRequested_ = false;
  std::unique_ptr<TFileStatusLine> fileStatus_;
  // The end of this creation is in the log already.
  bool endLogged_ = false;
  // The files of the set written last: the archive and its parts.
  int writtenFiles_ = 1;
};

}  // namespace app
