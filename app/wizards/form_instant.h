// "Instant Backup Wizard": defines a backup that the scheduler carries out again and again, or
// changes one, page by page, and stores it on "Fertig". Normal mode shows four pages, expert mode
// all eleven. While it shows, the main window is disabled and the scheduler's timer stopped.
//
// Opened by AddDefinition (a new definition) or EditDefinition (a stored one, read whole before
// any control changes). A save is checked whole first and refused with its page shown again; it
// writes the new definition completely before the old one goes, updates the main window's list
// and closes the wizard.
#pragma once

#include <optional>
#include <string>

#include "app/backup_definition.h"
#include "app/cd_writer.h"
#include "app/wizards/form_select.h"
#include "classlib/comctrls.h"
#include "classlib/forms.h"
#include "classlib/shell_tree.h"
#include "classlib/stdctrls.h"
#include "controls/flat/date_calendar.h"
#include "controls/flat/flat_button.h"
#include "controls/flat/flat_combo_box.h"
#include "controls/flat/flat_edit.h"
#include "controls/flat/flat_tab_control.h"
#include "controls/panels/vis_simple_panel.h"
#include "controls/panels/vis_spin_edit.h"

namespace app {

class TFormInstant : public classlib::TForm {
 public:
  // devices: the CD writer whose devices the burner list offers (the progress window's); null for
  // none.
  TFormInstant(classlib::TComponent* AOwner, TCDWriter* devices);

  // Shows the welcome page for a new definition.
  void AddDefinition();
  // Reads the stored definition name whole and, when every value could be read, fills the wizard
  // with it and shows its first page; it is then saved under its new name in place of the old one.
  // Otherwise a message names the definition and what could not be read, nothing changes and
  // false is returned.
  bool EditDefinition(const std::string& name);

  // The definition being edited; empty for a new one.
  const std::string& EditedJobName() const { return EditedJobName_; }
  // The page shown: -1 none, 0..10 the pages (the burner settings lie over page 9).
  int PageIndex() const { return PageIndex_; }
  // What the controls say now, as it would be stored.
  BackupDefinition Values();

  controls::TVisSimplePanel* PanelHeader;
  classlib::TLabel* LabelHeader;
  classlib::TLabel* LabelInfo;

  controls::TVisSimplePanel* PanelWelcome;
  classlib::TRadioButton* RadioButtonFiles;
  classlib::TRadioButton* RadioButtonFolders;

  controls::TVisSimplePanel* PanelStep1Files;
  classlib::TListView* ListViewFiles;
  controls::TFlatButton* FlatButtonFilesAdd;
  controls::TFlatButton* FlatButtonFilesDelete;

  controls::TVisSimplePanel* PanelStep1Folders;
  classlib::TRadioButton* RadioButtonSimple;
  classlib::TRadioButton* RadioButtonExtended;
  controls::TFlatTabControl* FlatTabControlMain;
  controls::TVisSimplePanel* PanelSimple;
  classlib::TShellTreeView* FolderTree;
  classlib::TCheckBox* CheckBoxFolders;
  controls::TVisSimplePanel* PanelExtended;
  classlib::TListView* ListViewExtended;
  controls::TFlatButton* FlatButtonExtendedAdd;
  controls::TFlatButton* FlatButtonExtendedDelete;

  controls::TVisSimplePanel* PanelStep2Folders;
  classlib::TRadioButton* RadioButtonAll;
  classlib::TRadioButton* RadioButtonOnly;
  classlib::TRadioButton* RadioButtonNot;
  controls::TFlatEdit* FlatEditTypen;
  classlib::TCheckBox* CheckBoxMax;
  controls::TFlatComboBox* FlatComboBoxMax;

  controls::TVisSimplePanel* PanelStep2;
  classlib::TCheckBox* CheckBoxIntervall;
  controls::TVisSpinEdit* SpinEditMinutes;
  classlib::TLabel* LabelIntervallEnd;
  classlib::TCheckBox* CheckBoxTime;
  controls::TVisSimplePanel* PanelTime;
  classlib::TMaskEdit* MaskEditTime;
  classlib::TLabel* LabelTimeEnd;
  classlib::TCheckBox* CheckBoxMonday;
  classlib::TCheckBox* CheckBoxTuesday;
  classlib::TCheckBox* CheckBoxWednesday;
  classlib::TCheckBox* CheckBoxThursday;
  classlib::TCheckBox* CheckBoxFriday;
  classlib::TCheckBox* CheckBoxSaturday;
  classlib::TCheckBox* CheckBoxSunday;

  controls::TVisSimplePanel* PanelGarantie;
  classlib::TRadioButton* RadioButtonGarantieEver;
  classlib::TRadioButton* RadioButtonGarantieNever;
  classlib::TRadioButton* RadioButtonGarantieAsk;

  controls::TVisSimplePanel* PanelPartBackup;
  classlib::TRadioButton* RadioButtonPartFull;
  classlib::TCheckBox* CheckBoxPartNew;
  classlib::TRadioButton* RadioButtonPart;
  controls::TVisSimplePanel* PanelPartKind;
  classlib::TRadioButton* RadioButtonPartNewFull;
  classlib::TRadioButton* RadioButtonPartNewDate;
  controls::TFlatEdit* FlatEditDate;
  classlib::TUpDown* UpDownDate;
  classlib::TRadioButton* RadioButtonPartNewDays;
  controls::TVisSpinEdit* SpinEditDays;
  controls::TDateCalendar* DateCalendarDate;

  controls::TVisSimplePanel* PanelStep3;
  controls::TVisSpinEdit* SpinEditInstances;
  classlib::TCheckBox* CheckBoxUser;

  controls::TVisSimplePanel* PanelPassword;
  classlib::TCheckBox* CheckBoxPassword;
  controls::TFlatEdit* FlatEditPasswordPW;
  controls::TFlatEdit* FlatEditPasswordPWRepeat;
  classlib::TLabel* LabelPasswordHint;
  classlib::TLabel* LabelPasswordNotice;

  controls::TVisSimplePanel* PanelSplit;
  controls::TFlatComboBox* FlatComboBoxSplitVariante;
  classlib::TRadioButton* RadioButtonSplitEver;
  classlib::TRadioButton* RadioButtonSplitCD;

  controls::TVisSimplePanel* PanelStep4;
  classlib::TRadioButton* RadioButtonDir;
  classlib::TShellTreeView* FolderTreeSave;
  classlib::TRadioButton* RadioButtonBurn;
  controls::TFlatComboBox* FlatComboBoxBurner;
  controls::TFlatButton* FlatButtonBurnerSettings;

  controls::TVisSimplePanel* PanelBurner;
  controls::TFlatTabControl* FlatTabControlRecording;
  controls::TVisSimplePanel* PanelCDR;
  controls::TFlatComboBox* FlatComboBoxCDRSpeed;
  classlib::TCheckBox* CheckBoxCDRClose;
  controls::TVisSimplePanel* PanelCDRW;
  classlib::TCheckBox* CheckBoxCDRWClose;
  classlib::TCheckBox* CheckBoxCDRWDelete;
  classlib::TCheckBox* CheckBoxEject;

  controls::TVisSimplePanel* PanelStep5;
  controls::TFlatEdit* FlatEditName;
  classlib::TCheckBox* CheckBoxStep5Filename;

  classlib::TCheckBox* CheckBoxExpert;
  controls::TFlatButton* FlatButtonBack;
  controls::TFlatButton* FlatButtonNext;

  TFormSelect* FormSelect;

 private:
  void FormShow(classlib::TComponent* Sender);
  void FormClose(classlib::TComponent* Sender, classlib::TCloseAction& Action);
  void FlatButtonNextClick(classlib::TComponent* Sender);
  void FlatButtonBackClick(classlib::TComponent* Sender);
  void CheckBoxExpertClick(classlib::TComponent* Sender);
  void FlatButtonFilesAddClick(classlib::TComponent* Sender);
  void FlatButtonFilesDeleteClick(classlib::TComponent* Sender);
  void ListViewFilesKeyDown(classlib::TComponent* Sender, WORD& Key, classlib::TShiftState Shift);
  void ListViewFilesColumnClick(classlib::TComponent* Sender, int Column);
  void FlatTabControlMainTabChanged(classlib::TComponent* Sender);
  void RadioButtonSimpleClick(classlib::TComponent* Sender);
  void RadioButtonAllClick(classlib::TComponent* Sender);
  void CheckBoxMaxClick(classlib::TComponent* Sender);
  void FlatButtonExtendedAddClick(classlib::TComponent* Sender);
  void FlatButtonExtendedDeleteClick(classlib::TComponent* Sender);
  void ListViewExtendedKeyDown(classlib::TComponent* Sender, WORD& Key, classlib::TShiftState Shift);
  void ListViewExtendedDblClick(classlib::TComponent* Sender);
  void LabelIntervallClick(classlib::TComponent* Sender);
  void LabelTimeClick(classlib::TComponent* Sender);
  void CheckBoxIntervallClick(classlib::TComponent* Sender);
  void CheckBoxTimeClick(classlib::TComponent* Sender);
  void PanelTimeClick(classlib::TComponent* Sender);
  void DateCalendarDateChange(classlib::TComponent* Sender);
  void UpDownDateChange(classlib::TComponent* Sender);
  void FlatEditPasswordPWRepeatExit(classlib::TComponent* Sender);
  void FlatComboBoxBurnerChange(classlib::TComponent* Sender);
  void FlatButtonBurnerSettingsClick(classlib::TComponent* Sender);
  void FlatTabControlRecordingTabChanged(classlib::TComponent* Sender);
  void FlatEditNameKeyPress(classlib::TComponent* Sender, wchar_t& Key);

  // The page step: shows the page that follows PageIndex, or saves, or closes.
  void Step(bool back);
  void ShowPage(int page);
  bool PasswordsDiffer() const;
  void ShowPasswordNotice(bool mismatch);
  // Why the page shown cannot be left forward, after telling the user; false when it can.
  bool RefusesNext();
  void Save();
  // The burner list of the devices now present, the speeds of the selected one.
  void FillBurners();
  void FillSpeeds();
  void SetDateText(classlib::TDateTime date);
  // Every control from def; the trees move only to folders that exist.
  void FillControls(const BackupDefinition& def);
  // The state after FormClose.
  BackupDefinition Defaults() const;
  std::string CheckedFolder(const classlib::TShellTreeView& tree) const;

  TCDWriter* devices_;
  // A stored size limit that the list does not offer: none is selected, and saving keeps it.
  std::string unlistedMaxSize_;
  int PageIndex_ = -1;
  std::string EditedJobName_;
};

}  // namespace app
