#include "app/wizards/form_instant.h"

#include <windows.h>

#include <array>
#include <exception>
#include <vector>

#include "app/burn_on_cd.h"
#include "app/cd_devices.h"
#include "app/job_list.h"
#include "app/list_sort.h"
#include "app/program_settings.h"
#include "app/schedule.h"
#include "app/single_backup_list.h"
#include "app/wizards/instant_definition.h"
#include "app/wizards/instant_pages.h"
#include "app/wizards/main_window_hooks.h"
#include "app/wizards/window_style.h"
#include "classlib/clock.h"
#include "classlib/date_format.h"
#include "classlib/prompt.h"
#include "zip/path_strings.h"

namespace app {

using classlib::Bind;
using classlib::TAlign;

namespace {

constexpr int kWidth = 500;
constexpr int kHeaderHeight = 56;
constexpr int kBoxWidth = kWidth - 2 * kMargin;
constexpr int kBoxHeight = 290;
constexpr int kInner = kBoxWidth - 20;
constexpr int kButtonsTop = kMargin + kBoxHeight + kMargin;
constexpr int kWideButtonWidth = 140;

const char kDefaultName[] = "Unbenannt";
const char kDefaultTime[] = "18:00";
const char kNoSplit[] = "Keine";
const char* const kMaxSizes[] = {"200 MB", "100 MB", "50 MB", "20 MB", "10 MB", "5 MB", "2 MB", "1 MB"};
const char* const kSplitMedia[] = {"Keine",
                                   "Diskette 3,5\" (1.44 MB)",
                                   "CD-R/RW 74 (650 MB)",
                                   "CD-R/RW 80 (700 MB)",
                                   "CD-R/RW 90 (800 MB)",
                                   "CD-R/RW 99 (900 MB)",
                                   "ZIP 100 (100 MB)",
                                   "ZIP 250 (250 MB)",
                                   "ZIP 750 (750 MB)"};

struct PageTexts {
  const char* title;
  const char* info;  // for pages that are no step
};
// By page; page 1 of a folder definition has its own title.
const PageTexts kPageTexts[] = {
    {"Instant Backup Wizard", "Definiert ein Backup, das Orvanta regelmäßig durchführt."},
    {"Dateiauswahl", ""},
    {"Dateifilter", ""},
    {"Sicherungszeitpunkt", ""},
    {"Verpasste Sicherungen", ""},
    {"Sicherungsart", ""},
    {"Backup-Instanzen", ""},
    {"Passwort-Schutz", "Bitte geben Sie das Passwort zweimal gleich ein."},
    {"Split-Backup", ""},
    {"Zielort des Backups", ""},
    {"Backup-Bezeichnung", ""},
};
const char kFoldersTitle[] = "Verzeichnisauswahl";
const PageTexts kBurnerTexts = {"CD-Recording", "Einstellungen für das Brennen des Backups"};

controls::TVisSimplePanel* NewPage(classlib::TComponent* owner, classlib::TWinControl* body) {
  controls::TVisSimplePanel* page = NewFramedPanel(owner, body, kMargin, kMargin, kBoxWidth, kBoxHeight);
  page->Hide();
  return page;
}

controls::TFlatComboBox* NewComboBox(classlib::TComponent* owner, classlib::TWinControl* parent, int left, int top,
                                     int width) {
  auto* combo = Place(new controls::TFlatComboBox(owner), parent, left, top, width, kEditHeight);
  combo->SetStyle(classlib::TComboBoxStyle::csDropDownList);
  combo->SetColorBorder(kLineColor);
  combo->SetColorArrowBackground(kLightColor);
  return combo;
}

controls::TVisSpinEdit* NewSpinEdit(classlib::TComponent* owner, classlib::TWinControl* parent, int left, int top,
                                    int minValue, int maxValue, int value) {
  auto* spin = Place(new controls::TVisSpinEdit(owner), parent, left, top, 64, kEditHeight);
  spin->SetMinValue(minValue);
  spin->SetMaxValue(maxValue);
  spin->SetValue(value);
  spin->SetEditorEnabled(false);
  return spin;
}

// A sentence with a control in its gap: the check box that starts it, as wide as its caption, the
// control after it, and the rest after that.
void PlaceInSentence(classlib::TCheckBox& start, classlib::TControl& control, classlib::TLabel& rest) {
  start.SetWidth(kOptionIndent + 2 + TextWidth(start.Font(), start.Caption()) + 4);
  control.SetLeft(start.Left() + start.Width() + 4);
  rest.SetLeft(control.Left() + control.Width() + 4);
}

// The entry with that text, or the first one when the list has none such.
void SelectEntry(classlib::TComboBox& combo, const std::string& text) {
  const int index = combo.Items().IndexOf(text);
  combo.SetItemIndex(index >= 0 ? index : combo.Items().Count() > 0 ? 0 : -1);
}

// The value as the spin edit holds it, a typed one outside the range taken at its limit.
int SpinValue(controls::TVisSpinEdit& spin) {
  spin.SetValue(spin.Value());
  return spin.Value();
}

}  // namespace

TFormInstant::TFormInstant(classlib::TComponent* AOwner, TCDWriter* devices) : TForm(AOwner), devices_(devices) {
  BeginLoading();
  SetCaption("Instant Backup Wizard");
  SetBorderIcons(classlib::biSystemMenu);
  SetPosition(classlib::TPosition::poMainFormCenter);
  SetClientSize(kWidth, kHeaderHeight + 1 + kButtonsTop + kButtonHeight + kMargin);
  OnShow = Bind(this, &TFormInstant::FormShow);
  OnClose = Bind(this, &TFormInstant::FormClose);

  const THeader header = NewHeader(this, this, "", kHeaderHeight);
  PanelHeader = header.Panel;
  LabelHeader = header.Title;
  LabelInfo = NewLabel(this, PanelHeader, kHeaderTextLeft, kHeaderTextTop, "", kWidth - kHeaderTextLeft - kMargin);
  auto* body = NewPanel(this, this, kLightColor, TAlign::alClient);

  // ---- page 0: welcome
  PanelWelcome = NewPage(this, body);
  NewBoldLabel(this, PanelWelcome, 10, 10, "Willkommen beim Instant Backup Wizard");
  NewLabel(this, PanelWelcome, 10, 36,
           "Der Assistent definiert ein Instant Backup: eine Sicherung, die Orvanta regelmäßig durchführt, solange "
           "das Programm läuft. Was möchten Sie sichern?",
           kInner);
  RadioButtonFiles = NewOption(this, PanelWelcome, 10, 84, kInner, "Einzelne Dateien sichern",
                               "Sichert eine Auswahl einzelner Dateien.");
  RadioButtonFiles->SetChecked(true);
  RadioButtonFolders = NewOption(this, PanelWelcome, 10, 84 + kOptionStep, kInner, "Verzeichnis-Strukturen sichern",
                                 "Sichert Verzeichnisse, auf Wunsch samt Unterverzeichnissen und nach Dateitypen.");
  NewLabel(this, PanelWelcome, 10, 180,
           "Im Experten-Modus legen Sie zusätzlich Dateifilter, Nachholen, Sicherungsart, Instanzen, Passwort und "
           "Split-Backup fest.",
           kInner);
  NewLabel(this, PanelWelcome, 10, 250, "Klicken Sie auf \"Weiter\", um fortzufahren.");

  // ---- page 1: the files
  PanelStep1Files = NewPage(this, body);
  NewLabel(this, PanelStep1Files, 10, 10, "Wählen Sie die Dateien aus, die gesichert werden sollen.");
  ListViewFiles = NewFileListView(this, PanelStep1Files, 10, 30, kInner, 214);
  ListViewFiles->OnKeyDown = Bind(this, &TFormInstant::ListViewFilesKeyDown);
  ListViewFiles->OnColumnClick = Bind(this, &TFormInstant::ListViewFilesColumnClick);
  const int listButtonsTop = kBoxHeight - 10 - kButtonHeight;
  FlatButtonFilesAdd =
      NewFlatButton(this, PanelStep1Files, 10 + kInner - 2 * kButtonWidth - 6, listButtonsTop, "Hinzufügen");
  FlatButtonFilesAdd->OnClick = Bind(this, &TFormInstant::FlatButtonFilesAddClick);
  FlatButtonFilesDelete = NewFlatButton(this, PanelStep1Files, 10 + kInner - kButtonWidth, listButtonsTop, "Entfernen");
  FlatButtonFilesDelete->OnClick = Bind(this, &TFormInstant::FlatButtonFilesDeleteClick);

  // ---- page 1: the folders
  PanelStep1Folders = NewPage(this, body);
  RadioButtonSimple = NewRadio(this, PanelStep1Folders, 10, 10, 220, "Ein Verzeichnis sichern");
  RadioButtonSimple->SetChecked(true);
  RadioButtonSimple->OnClick = Bind(this, &TFormInstant::RadioButtonSimpleClick);
  RadioButtonExtended = NewRadio(this, PanelStep1Folders, 240, 10, kInner - 230, "Mehrere Verzeichnisse sichern");
  RadioButtonExtended->OnClick = Bind(this, &TFormInstant::RadioButtonSimpleClick);
  FlatTabControlMain = Place(new controls::TFlatTabControl(this), PanelStep1Folders, 10, 36, kInner, 244);
  FlatTabControlMain->AddTab("Einfache Auswahl");
  FlatTabControlMain->AddTab("Erweiterte Auswahl");
  FlatTabControlMain->SetColorBorder(kLineColor);
  FlatTabControlMain->OnTabChanged = Bind(this, &TFormInstant::FlatTabControlMainTabChanged);
  constexpr int kTabInner = kInner - 24;
  PanelSimple = NewPanel(this, FlatTabControlMain, kWhiteColor, TAlign::alClient);
  FolderTree = Place(new classlib::TShellTreeView(this), PanelSimple, 8, 8, kTabInner, 164);
  FolderTree->SetPath("c:\\");
  CheckBoxFolders = NewCheckBox(this, PanelSimple, 8, 180, kTabInner, "Verzeichnis samt Unterverzeichnissen sichern");
  PanelExtended = NewPanel(this, FlatTabControlMain, kWhiteColor, TAlign::alClient);
  PanelExtended->Hide();
  ListViewExtended = Place(new classlib::TListView(this), PanelExtended, 8, 8, kTabInner, 160);
  ListViewExtended->SetMultiSelect(true);
  ListViewExtended->AddColumn("Verzeichnis", kTabInner - 22 - 70);
  ListViewExtended->AddColumn("Rekursiv", 70, classlib::TAlignment::taCenter);
  ListViewExtended->OnKeyDown = Bind(this, &TFormInstant::ListViewExtendedKeyDown);
  ListViewExtended->OnDblClick = Bind(this, &TFormInstant::ListViewExtendedDblClick);
  FlatButtonExtendedAdd =
      NewFlatButton(this, PanelExtended, 8 + kTabInner - 2 * kWideButtonWidth - 6, 174, "Verzeichnis hinzufügen");
  FlatButtonExtendedAdd->SetWidth(kWideButtonWidth);
  FlatButtonExtendedAdd->OnClick = Bind(this, &TFormInstant::FlatButtonExtendedAddClick);
  FlatButtonExtendedDelete =
      NewFlatButton(this, PanelExtended, 8 + kTabInner - kWideButtonWidth, 174, "Verzeichnis entfernen");
  FlatButtonExtendedDelete->SetWidth(kWideButtonWidth);
  FlatButtonExtendedDelete->OnClick = Bind(this, &TFormInstant::FlatButtonExtendedDeleteClick);

  // ---- page 2: the file filter
  PanelStep2Folders = NewPage(this, body);
  NewLabel(this, PanelStep2Folders, 10, 10, "Legen Sie fest, welche Dateien der Verzeichnisse gesichert werden.");
  RadioButtonAll = NewRadio(this, PanelStep2Folders, 10, 38, kInner, "Alle Dateitypen sichern");
  RadioButtonAll->SetChecked(true);
  RadioButtonOnly = NewRadio(this, PanelStep2Folders, 10, 60, kInner, "Nur folgende Dateitypen sichern");
  RadioButtonNot = NewRadio(this, PanelStep2Folders, 10, 82, kInner, "Folgende Dateitypen nicht sichern");
  for (classlib::TRadioButton* radio : {RadioButtonAll, RadioButtonOnly, RadioButtonNot})
    radio->OnClick = Bind(this, &TFormInstant::RadioButtonAllClick);
  FlatEditTypen = NewFlatEdit(this, PanelStep2Folders, 10 + kOptionIndent, 106, kInner - kOptionIndent);
  SetFlatEditEnabled(*FlatEditTypen, false);
  NewLabel(this, PanelStep2Folders, 10 + kOptionIndent, 131, "(Beispiel: *.bmp;*.exe;*.doc)");
  CheckBoxMax = NewCheckBox(this, PanelStep2Folders, 10, 174, 140, "Maximale Dateigröße:");
  CheckBoxMax->OnClick = Bind(this, &TFormInstant::CheckBoxMaxClick);
  FlatComboBoxMax = NewComboBox(this, PanelStep2Folders, 154, 172, 90);
  for (const char* size : kMaxSizes) FlatComboBoxMax->Items().Add(size);
  FlatComboBoxMax->SetItemIndex(0);
  FlatComboBoxMax->SetEnabled(false);
  NewLabel(this, PanelStep2Folders, 10 + kOptionIndent, 200, "Größere Dateien werden nicht gesichert.");

  // ---- page 3: when
  PanelStep2 = NewPage(this, body);
  NewLabel(this, PanelStep2, 10, 10, "Legen Sie fest, wann das Backup durchgeführt wird.");
  // The sentences' first words are their check boxes' captions, so the focus shows on them.
  CheckBoxIntervall = NewCheckBox(this, PanelStep2, 10, 42, 17, "Backup alle");
  CheckBoxIntervall->SetChecked(true);
  CheckBoxIntervall->OnClick = Bind(this, &TFormInstant::CheckBoxIntervallClick);
  SpinEditMinutes = NewSpinEdit(this, PanelStep2, 0, 40, 5, 120, 10);
  LabelIntervallEnd = NewLabel(this, PanelStep2, 0, 44, "Minuten durchführen");
  CheckBoxTime = NewCheckBox(this, PanelStep2, 10, 74, 17, "Backup um");
  CheckBoxTime->OnClick = Bind(this, &TFormInstant::CheckBoxTimeClick);
  PanelTime = NewPanel(this, PanelStep2, kWhiteColor, TAlign::alNone);
  PanelTime->SetBounds(0, 70, 52, 25);
  MaskEditTime = Place(new classlib::TMaskEdit(this), PanelTime, 4, 2, 44, kEditHeight);
  MaskEditTime->SetEditMask("00:00");
  MaskEditTime->SetText(kDefaultTime);
  MaskEditTime->SetEnabled(false);
  LabelTimeEnd = NewLabel(this, PanelStep2, 0, 76, "Uhr durchführen");
  LabelIntervallEnd->OnClick = Bind(this, &TFormInstant::LabelIntervallClick);
  LabelTimeEnd->OnClick = Bind(this, &TFormInstant::LabelTimeClick);
  PanelTime->OnClick = Bind(this, &TFormInstant::PanelTimeClick);
  NewLabel(this, PanelStep2, 10, 114, "An folgenden Wochentagen:");
  const char* const dayNames[] = {"Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag", "Sonntag"};
  classlib::TCheckBox** const days[] = {&CheckBoxMonday, &CheckBoxTuesday,  &CheckBoxWednesday, &CheckBoxThursday,
                                        &CheckBoxFriday, &CheckBoxSaturday, &CheckBoxSunday};
  for (int day = 0; day < 7; ++day) {
    *days[day] = NewCheckBox(this, PanelStep2, 10 + (day % 4) * 112, 136 + (day / 4) * 24, 106, dayNames[day]);
    (*days[day])->SetChecked(true);
  }
  NewLabel(this, PanelStep2, 10, 198,
           "Das Intervall zählt ab dem Start von Orvanta. Ist beides eingeschaltet, gilt die Uhrzeit, sobald sie "
           "näher liegt als das Ende des Intervalls.",
           kInner);

  // ---- page 4: a missed backup
  PanelGarantie = NewPage(this, body);
  NewLabel(this, PanelGarantie, 10, 10,
           "Legen Sie fest, was geschieht, wenn das Backup zu seiner Uhrzeit nicht durchgeführt werden konnte, etwa "
           "weil der Computer ausgeschaltet war.",
           kInner);
  RadioButtonGarantieEver =
      NewOption(this, PanelGarantie, 10, 52, kInner, "Immer nachholen", "Holt die versäumte Sicherung sofort nach.");
  RadioButtonGarantieEver->SetChecked(true);
  RadioButtonGarantieNever = NewOption(this, PanelGarantie, 10, 52 + kOptionStep, kInner, "Nie nachholen",
                                       "Lässt die versäumte Sicherung aus.");
  RadioButtonGarantieAsk = NewOption(this, PanelGarantie, 10, 52 + 2 * kOptionStep, kInner, "Aktion erfragen",
                                     "Fragt, ob die versäumte Sicherung nachgeholt werden soll.");

  // ---- page 5: full or partial
  PanelPartBackup = NewPage(this, body);
  RadioButtonPartFull = NewOption(this, PanelPartBackup, 10, 10, kInner, "Vollsicherung",
                                  "Sichert bei jedem Durchgang alle ausgewählten Dateien.");
  RadioButtonPartFull->SetChecked(true);
  CheckBoxPartNew = NewCheckBox(this, PanelPartBackup, 10 + kOptionIndent, 50, kInner - kOptionIndent,
                                "Nur bei neuen/geänderten Dateien durchführen");
  RadioButtonPart = NewOption(this, PanelPartBackup, 10, 84, kInner, "Partielle Sicherung",
                              "Sichert nur die Dateien, die neu sind oder sich geändert haben:");
  PanelPartKind = NewPanel(this, PanelPartBackup, kWhiteColor, TAlign::alNone);
  // As wide as the gap left of the calendar, so that "Tage" shows whole.
  PanelPartKind->SetBounds(10 + kOptionIndent, 124, 232, 80);
  RadioButtonPartNewFull = NewRadio(this, PanelPartKind, 0, 2, 220, "Seit letzter Vollsicherung");
  RadioButtonPartNewFull->SetChecked(true);
  RadioButtonPartNewDate = NewRadio(this, PanelPartKind, 0, 30, 52, "Seit");
  FlatEditDate = NewFlatEdit(this, PanelPartKind, 56, 28, 84);
  FlatEditDate->SetReadOnly(true);
  UpDownDate = Place(new classlib::TUpDown(this), PanelPartKind, 140, 28, 16, kEditHeight);
  UpDownDate->SetRange(1, 2);
  UpDownDate->SetPosition(1);
  UpDownDate->OnChange = Bind(this, &TFormInstant::UpDownDateChange);
  RadioButtonPartNewDays = NewRadio(this, PanelPartKind, 0, 58, 130, "Innerhalb der letzten");
  SpinEditDays = NewSpinEdit(this, PanelPartKind, 132, 56, 1, 10000, 14);
  NewLabel(this, PanelPartKind, 200, 60, "Tage");
  DateCalendarDate = NewDateCalendar(this, PanelPartBackup, 262, 116, kInner + 10 - 262, 168);
  DateCalendarDate->Hide();
  DateCalendarDate->OnChange = Bind(this, &TFormInstant::DateCalendarDateChange);

  // ---- page 6: instances
  PanelStep3 = NewPage(this, body);
  NewLabel(this, PanelStep3, 10, 10, "Legen Sie fest, wie viele Backups dieser Definition aufbewahrt werden.");
  NewLabel(this, PanelStep3, 10, 42, "Anzahl der Backup-Instanzen:");
  SpinEditInstances = NewSpinEdit(this, PanelStep3, 190, 38, 1, 999, 1);
  NewLabel(this, PanelStep3, 10, 72,
           "Bei mehr als einer Instanz erhält jedes Backup eine Nummer; das neueste hat die Nummer 1. Ist die Anzahl "
           "erreicht, wird das älteste Backup gelöscht.",
           kInner);
  CheckBoxUser = NewCheckBox(this, PanelStep3, 10, 124, kInner, "Vor Sicherung Benutzer-Bestätigung fordern");
  NewLabel(this, PanelStep3, 10 + kOptionIndent, 144,
           "Vor jeder Sicherung können Sie Zielort und Sicherungsart bestätigen oder die Sicherung abbrechen.",
           kInner - kOptionIndent);

  // ---- page 7: password
  PanelPassword = NewPage(this, body);
  CheckBoxPassword = NewCheckBox(this, PanelPassword, 10, 10, kInner, "Passwort-Schutz verwenden");
  NewLabel(this, PanelPassword, 10 + kOptionIndent, 44, "Passwort:");
  FlatEditPasswordPW = NewFlatEdit(this, PanelPassword, 160, 40, 200);
  NewLabel(this, PanelPassword, 10 + kOptionIndent, 74, "Passwort wiederholen:");
  FlatEditPasswordPWRepeat = NewFlatEdit(this, PanelPassword, 160, 70, 200);
  for (controls::TFlatEdit* edit : {FlatEditPasswordPW, FlatEditPasswordPWRepeat}) {
    edit->SetMaxLength(kPasswordLength);
    edit->SetPasswordChar(L'*');
  }
  FlatEditPasswordPWRepeat->OnExit = Bind(this, &TFormInstant::FlatEditPasswordPWRepeatExit);
  LabelPasswordHint = NewLabel(this, PanelPassword, 10 + kOptionIndent, 106,
                               "Das Passwort darf höchstens 30 Zeichen lang sein. Ohne das Passwort lässt sich das "
                               "Backup nicht wiederherstellen.",
                               kInner - kOptionIndent);
  LabelPasswordNotice =
      NewBoldLabel(this, PanelPassword, 10 + kOptionIndent, 106, "Die eingegebenen Passwörter stimmen nicht überein!");
  LabelPasswordNotice->Font().SetColor(0x0000C0);
  LabelPasswordNotice->Hide();

  // ---- page 8: split
  PanelSplit = NewPage(this, body);
  NewLabel(this, PanelSplit, 10, 10,
           "Ein gesplittetes Backup wird auf mehrere Teilarchive verteilt, von denen jedes auf einen Datenträger der "
           "gewählten Größe passt.",
           kInner);
  NewLabel(this, PanelSplit, 10, 56, "Split-Variante:");
  FlatComboBoxSplitVariante = NewComboBox(this, PanelSplit, 110, 52, 180);
  for (const char* medium : kSplitMedia) FlatComboBoxSplitVariante->Items().Add(medium);
  FlatComboBoxSplitVariante->SetItemIndex(0);
  RadioButtonSplitEver = NewOption(this, PanelSplit, 10, 92, kInner, "Backup immer splitten",
                                   "Teilt das Backup in jedem Fall in Teilarchive auf.");
  RadioButtonSplitEver->SetChecked(true);
  RadioButtonSplitCD = NewOption(this, PanelSplit, 10, 92 + kOptionStep, kInner, "Backup auf CD-R/RW splitten",
                                 "Teilt das Backup nur auf, wenn es auf CD gebrannt wird.");

  // ---- page 9: destination
  PanelStep4 = NewPage(this, body);
  NewLabel(this, PanelStep4, 10, 10, "Wählen Sie den Zielort (Festplatte, Netzlaufwerk, CD-R/RW) des Backups.");
  RadioButtonDir = NewRadio(this, PanelStep4, 10, 34, kInner, "Backup in folgendem Verzeichnis erstellen");
  RadioButtonDir->SetChecked(true);
  FolderTreeSave =
      Place(new classlib::TShellTreeView(this), PanelStep4, 10 + kOptionIndent, 54, kInner - kOptionIndent, 172);
  FolderTreeSave->SetPath("c:\\");
  RadioButtonBurn = NewRadio(this, PanelStep4, 10, 236, kInner, "Backup auf CD-R/RW brennen");
  FlatComboBoxBurner =
      NewComboBox(this, PanelStep4, 10 + kOptionIndent, 258, kInner - kOptionIndent - 6 - kLongCaptionButtonWidth);
  FlatComboBoxBurner->OnChange = Bind(this, &TFormInstant::FlatComboBoxBurnerChange);
  FlatButtonBurnerSettings =
      NewFlatButton(this, PanelStep4, 10 + kInner - kLongCaptionButtonWidth, 256, "Einstellungen",
                    kLongCaptionButtonWidth);
  FlatButtonBurnerSettings->OnClick = Bind(this, &TFormInstant::FlatButtonBurnerSettingsClick);

  // ---- over page 9: the burner's settings
  PanelBurner = NewPage(this, body);
  NewLabel(this, PanelBurner, 10, 10, "Legen Sie fest, wie das Backup auf den Datenträger geschrieben wird.");
  FlatTabControlRecording = Place(new controls::TFlatTabControl(this), PanelBurner, 10, 36, kInner, 160);
  FlatTabControlRecording->AddTab("CD-R");
  FlatTabControlRecording->AddTab("CD-RW");
  FlatTabControlRecording->SetColorBorder(kLineColor);
  FlatTabControlRecording->OnTabChanged = Bind(this, &TFormInstant::FlatTabControlRecordingTabChanged);
  PanelCDR = NewPanel(this, FlatTabControlRecording, kWhiteColor, TAlign::alClient);
  NewLabel(this, PanelCDR, 8, 16, "Schreibgeschwindigkeit:");
  FlatComboBoxCDRSpeed = NewComboBox(this, PanelCDR, 150, 12, 100);
  CheckBoxCDRClose = NewCheckBox(this, PanelCDR, 8, 46, 300, "CD schließen");
  CheckBoxCDRClose->SetChecked(true);
  PanelCDRW = NewPanel(this, FlatTabControlRecording, kWhiteColor, TAlign::alClient);
  PanelCDRW->Hide();
  CheckBoxCDRWClose = NewCheckBox(this, PanelCDRW, 8, 14, 300, "CD schließen");
  CheckBoxCDRWClose->SetChecked(true);
  CheckBoxCDRWDelete = NewCheckBox(this, PanelCDRW, 8, 38, 300, "CD vor Schreibvorgang löschen");
  CheckBoxCDRWDelete->SetChecked(true);
  CheckBoxEject = NewCheckBox(this, PanelBurner, 10, 210, kInner, "Nach Schreibvorgang CD auswerfen");
  CheckBoxEject->SetChecked(true);

  // ---- page 10: name
  PanelStep5 = NewPage(this, body);
  NewLabel(this, PanelStep5, 10, 10, "Geben Sie die Bezeichnung des Backups ein:");
  FlatEditName = NewFlatEdit(this, PanelStep5, 10, 30, kInner);
  FlatEditName->SetMaxLength(kDefinitionNameLength);
  FlatEditName->SetText(kDefaultName);
  FlatEditName->OnKeyPress = Bind(this, &TFormInstant::FlatEditNameKeyPress);
  NewLabel(this, PanelStep5, 10, 60,
           "Unter dieser Bezeichnung erscheint das Backup in der Liste; sie ist auch sein Dateiname. Erlaubt sind "
           "Buchstaben ohne Umlaute, Ziffern, Leerzeichen sowie die Zeichen \"-\", \".\" und \"_\".",
           kInner);
  CheckBoxStep5Filename = NewCheckBox(this, PanelStep5, 10, 110, kInner, "Aktuelles Datum als Dateiname verwenden");
  NewLabel(this, PanelStep5, 10 + kOptionIndent, 130,
           "Benennt jedes Backup nach Datum und Uhrzeit seiner Erstellung, etwa \"2024-03-05 14-22.zip\"; es wird "
           "dann nur eine Instanz aufbewahrt.",
           kInner - kOptionIndent);
  NewLabel(this, PanelStep5, 10, 250, "Klicken Sie auf \"Fertig\", um die Backup-Definition zu speichern.");

  // ---- below the pages
  CheckBoxExpert = NewCheckBox(this, body, kMargin, kButtonsTop + 4, 220, "Experten-Modus aktivieren");
  CheckBoxExpert->SetChecked(ReadProgramSettings().ExpertMode);
  CheckBoxExpert->OnClick = Bind(this, &TFormInstant::CheckBoxExpertClick);
  FlatButtonBack = NewFlatButton(this, body, kWidth - kMargin - 2 * kButtonWidth - 6, kButtonsTop, "Zurück");
  FlatButtonBack->OnClick = Bind(this, &TFormInstant::FlatButtonBackClick);
  FlatButtonNext = NewFlatButton(this, body, kWidth - kMargin - kButtonWidth, kButtonsTop, "Weiter");
  FlatButtonNext->SetDefault(true);
  FlatButtonNext->OnClick = Bind(this, &TFormInstant::FlatButtonNextClick);
  EndLoading();

  PlaceInSentence(*CheckBoxIntervall, *SpinEditMinutes, *LabelIntervallEnd);
  PlaceInSentence(*CheckBoxTime, *PanelTime, *LabelTimeEnd);
  FormSelect = new TFormSelect(this);
  const classlib::TDateTime today = static_cast<double>(static_cast<long long>(classlib::Now()));
  DateCalendarDate->SetSelectedDate(today);
  SetDateText(today);
  FillBurners();
}

// ---- opening and closing

void TFormInstant::AddDefinition() {
  if (Visible()) return;
  EditedJobName_.clear();
  FillBurners();
  Show();
}

bool TFormInstant::EditDefinition(const std::string& name) {
  if (Visible()) return false;
  std::optional<BackupDefinition> def;
  std::string problem = "Es ist nicht mehr gespeichert.";
  try {
    FillBurners();
    def = ReadBackupDefinitionForEditing(name, Defaults());
  } catch (...) {
    problem = classlib::ExceptionMessage(std::current_exception());
  }
  if (!def) {
    Warn("Das Backup \"" + name + "\" kann nicht bearbeitet werden.\r\r" + problem);
    return false;
  }
  FillControls(*def);
  EditedJobName_ = name;
  Show();
  return true;
}

void TFormInstant::FormShow(classlib::TComponent*) {
  MainWindow().SetSchedulerEnabled(false);
  MainWindow().SetEnabled(false);
  PageIndex_ = EditedJobName_.empty() ? -1 : 0;
  Step(false);
}

void TFormInstant::FormClose(classlib::TComponent*, classlib::TCloseAction&) {
  if (FormSelect->Visible()) FormSelect->Close();
  FillControls(Defaults());
  ShowPage(-1);
  PageIndex_ = -1;
  EditedJobName_.clear();
  MainWindow().SetSchedulerEnabled(true);
  MainWindow().SetEnabled(true);
}

BackupDefinition TFormInstant::Defaults() const {
  BackupDefinition d;
  d.Title = kDefaultName;
  // The kind of definition stays as it was last chosen.
  d.Option = RadioButtonFiles->Checked()      ? BackupOption::Files
             : RadioButtonExtended->Checked() ? BackupOption::Extended
                                              : BackupOption::Folders;
  d.MaxSize = kMaxSizes[0];
  d.FullBackup = true;
  d.SinceDate = static_cast<double>(static_cast<long long>(classlib::Now()));
  d.SinceDays = 14;
  d.Intervall = 10;
  d.Time = kDefaultTime;
  d.Recover = RecoverMode::RunAtOnce;
  d.SplitVar = kNoSplit;
  d.SplitEver = SplitWhen::Always;
  d.RecDrive = FlatComboBoxBurner->Text();
  d.CDRWDelete = d.CDRFinalize = d.CDRWFinalize = d.Eject = true;
  return d;
}

// ---- the controls and the values they stand for

void TFormInstant::FillControls(const BackupDefinition& def) {
  FlatEditName->SetText(def.Title);
  CheckBoxStep5Filename->SetChecked(def.UseDateTime);
  if (def.Option == BackupOption::Files) {
    RadioButtonFiles->SetChecked(true);
  } else {
    RadioButtonFolders->SetChecked(true);
    (def.Option == BackupOption::Extended ? RadioButtonExtended : RadioButtonSimple)->SetChecked(true);
  }
  ListViewFiles->Items().Clear();
  for (const std::string& file : def.FileList) AddFileItem(*ListViewFiles, file);
  ListViewExtended->Items().Clear();
  for (const BackupFolder& folder : def.FolderList) AddExtendedFolder(*ListViewExtended, folder.Path, folder.Recursive);
  if (IsRealFolder(def.Folder)) FolderTree->SetPath(def.Folder);
  CheckBoxFolders->SetChecked(def.Subfolders);
  RadioButtonAll->SetChecked(def.TypeFilter == FileTypeFilter::AllFiles);
  RadioButtonOnly->SetChecked(def.TypeFilter == FileTypeFilter::OnlyTypes);
  RadioButtonNot->SetChecked(def.TypeFilter == FileTypeFilter::AllButTypes);
  FlatEditTypen->SetText(def.Types);
  CheckBoxMax->SetChecked(def.SizeEnabled);
  FlatComboBoxMax->SetItemIndex(FlatComboBoxMax->Items().IndexOf(def.MaxSize));
  unlistedMaxSize_ = FlatComboBoxMax->ItemIndex() < 0 ? def.MaxSize : std::string();

  CheckBoxIntervall->SetChecked(def.IntEnabled);
  SpinEditMinutes->SetValue(def.Intervall);
  CheckBoxTime->SetChecked(def.TimeEnabled);
  MaskEditTime->SetText(def.Time);
  classlib::TCheckBox* const days[] = {CheckBoxMonday, CheckBoxTuesday,  CheckBoxWednesday, CheckBoxThursday,
                                       CheckBoxFriday, CheckBoxSaturday, CheckBoxSunday};
  for (int day = 0; day < 7; ++day) days[day]->SetChecked(def.Weekdays[static_cast<std::size_t>(day)]);
  const RecoverMode recover = def.Recover.value_or(RecoverMode::RunAtOnce);
  (recover == RecoverMode::Skip  ? RadioButtonGarantieNever
   : recover == RecoverMode::Ask ? RadioButtonGarantieAsk
                                 : RadioButtonGarantieEver)
      ->SetChecked(true);

  (def.FullBackup.value_or(true) ? RadioButtonPartFull : RadioButtonPart)->SetChecked(true);
  CheckBoxPartNew->SetChecked(def.NewOnly);
  (def.PartBackupDate   ? RadioButtonPartNewDate
   : def.PartBackupDays ? RadioButtonPartNewDays
                        : RadioButtonPartNewFull)
      ->SetChecked(true);
  const classlib::TDateTime since = def.SinceDate > 0 ? def.SinceDate : classlib::Now();
  DateCalendarDate->SetSelectedDate(since);
  SetDateText(since);
  UpDownDate->SetPosition(1);
  DateCalendarDate->Hide();
  SpinEditDays->SetValue(def.SinceDays);
  SpinEditInstances->SetValue(def.Instances);
  CheckBoxUser->SetChecked(def.User);

  CheckBoxPassword->SetChecked(def.UsePassword);
  FlatEditPasswordPW->SetText(def.Password);
  FlatEditPasswordPWRepeat->SetText(def.Password);
  ShowPasswordNotice(false);
  CheckBoxExpert->SetEnabled(true);
  SelectEntry(*FlatComboBoxSplitVariante, def.SplitVar);
  (def.SplitEver.value_or(SplitWhen::Always) == SplitWhen::Always ? RadioButtonSplitEver : RadioButtonSplitCD)
      ->SetChecked(true);

  (def.Recording ? RadioButtonBurn : RadioButtonDir)->SetChecked(true);
  if (IsRealFolder(def.Create)) FolderTreeSave->SetPath(def.Create);
  SelectEntry(*FlatComboBoxBurner, def.RecDrive);
  FillSpeeds();
  SelectEntry(*FlatComboBoxCDRSpeed, def.RecSpeed);
  CheckBoxCDRClose->SetChecked(def.CDRFinalize);
  CheckBoxCDRWClose->SetChecked(def.CDRWFinalize);
  CheckBoxCDRWDelete->SetChecked(def.CDRWDelete);
  CheckBoxEject->SetChecked(def.Eject);
  FlatButtonNext->SetCaption("Weiter");
}

std::string TFormInstant::CheckedFolder(const classlib::TShellTreeView& tree) const {
  const std::string path = tree.Path();
  return path.empty() ? std::string() : zip::WithTrailingBackslash(path);
}

BackupDefinition TFormInstant::Values() {
  BackupDefinition d;
  d.Title = FlatEditName->Text();
  d.Option = RadioButtonFiles->Checked()      ? BackupOption::Files
             : RadioButtonExtended->Checked() ? BackupOption::Extended
                                              : BackupOption::Folders;
  d.FileList = ListedFiles(*ListViewFiles);
  for (int i = 0; i < ListViewExtended->Items().Count(); ++i) {
    const classlib::TListItem& item = *ListViewExtended->Items()[i];
    d.FolderList.push_back({item.Caption(), item.SubItem(0) != "nein"});
  }
  d.Folder = CheckedFolder(*FolderTree);
  d.Subfolders = CheckBoxFolders->Checked();
  d.Types = FlatEditTypen->Text();
  d.TypeFilter = RadioButtonOnly->Checked()  ? FileTypeFilter::OnlyTypes
                 : RadioButtonNot->Checked() ? FileTypeFilter::AllButTypes
                                             : FileTypeFilter::AllFiles;
  d.SizeEnabled = CheckBoxMax->Checked();
  d.MaxSize = FlatComboBoxMax->ItemIndex() >= 0 ? FlatComboBoxMax->Text() : unlistedMaxSize_;

  d.Recording = RadioButtonBurn->Checked();
  d.Create = CheckedFolder(*FolderTreeSave);
  // A backup to burn is written to the temporary folder first; one to keep needs its folder.
  if (d.Create.empty() && d.Recording) d.Create = MainWindow().TempFolder();
  d.Instances = SpinValue(*SpinEditInstances);
  d.UseDateTime = CheckBoxStep5Filename->Checked();
  d.User = CheckBoxUser->Checked();
  d.FullBackup = RadioButtonPartFull->Checked();
  d.NewOnly = CheckBoxPartNew->Checked();
  d.PartBackupFull = RadioButtonPartNewFull->Checked();
  d.PartBackupDate = RadioButtonPartNewDate->Checked();
  d.PartBackupDays = RadioButtonPartNewDays->Checked();
  d.SinceDate = DateCalendarDate->SelectedDate();
  d.SinceDays = SpinValue(*SpinEditDays);

  d.IntEnabled = CheckBoxIntervall->Checked();
  d.Intervall = SpinValue(*SpinEditMinutes);
  d.TimeEnabled = CheckBoxTime->Checked();
  d.Time = MaskEditTime->Text();
  const classlib::TCheckBox* const days[] = {CheckBoxMonday, CheckBoxTuesday,  CheckBoxWednesday, CheckBoxThursday,
                                             CheckBoxFriday, CheckBoxSaturday, CheckBoxSunday};
  for (int day = 0; day < 7; ++day) d.Weekdays[static_cast<std::size_t>(day)] = days[day]->Checked();
  d.Recover = RadioButtonGarantieNever->Checked() ? RecoverMode::Skip
              : RadioButtonGarantieAsk->Checked() ? RecoverMode::Ask
                                                  : RecoverMode::RunAtOnce;

  d.UsePassword = CheckBoxPassword->Checked();
  d.Password = FlatEditPasswordPW->Text();
  d.SplitVar = FlatComboBoxSplitVariante->Text();
  d.SplitEver = RadioButtonSplitEver->Checked() ? SplitWhen::Always : SplitWhen::OnlyWhenBurning;
  d.RecDrive = FlatComboBoxBurner->Text();
  d.RecSpeed = FlatComboBoxCDRSpeed->Text();
  d.CDRFinalize = CheckBoxCDRClose->Checked();
  d.CDRWFinalize = CheckBoxCDRWClose->Checked();
  d.CDRWDelete = CheckBoxCDRWDelete->Checked();
  d.Eject = CheckBoxEject->Checked();

  const classlib::TDateTime now = classlib::Now();
  d.Definition = classlib::FormatDateTime("dd. mmmm yyyy \"um\" hh\":\"nn \"Uhr\"", now);
  d.NextBackup = NextBackupDate(d, now);
  return d;
}

// ---- stepping through the pages

void TFormInstant::FlatButtonNextClick(classlib::TComponent*) {
  if (!PanelBurner->Visible() && RefusesNext()) return;
  Step(false);
}

void TFormInstant::FlatButtonBackClick(classlib::TComponent*) {
  PageIndex_ -= 2;
  Step(true);
}

void TFormInstant::CheckBoxExpertClick(classlib::TComponent*) {
  if (Visible()) {
    --PageIndex_;  // the page shown comes again, with the steps of the new mode
    Step(false);
    CheckBoxExpert->SetFocus();  // where the user switched the mode
  }
  WriteBoolSetting(setting::kExpertMode, CheckBoxExpert->Checked());
}

void TFormInstant::Step(bool back) {
  PageStepInput in;
  in.Page = PageIndex_;
  in.Back = back;
  in.Expert = CheckBoxExpert->Checked();
  in.Editing = !EditedJobName_.empty();
  in.Files = RadioButtonFiles->Checked();
  in.BurnerShown = PanelBurner->Visible();
  in.PasswordMismatch = PasswordsDiffer();
  ShowPasswordNotice(in.PasswordMismatch);
  CheckBoxExpert->SetEnabled(!in.PasswordMismatch);
  const PageStep step = StepPage(in);
  ShowPage(-1);
  PageIndex_ = step.Page;
  switch (step.Action) {
    case PageAction::Close: Close(); break;
    case PageAction::Show: ShowPage(step.Page); break;
    case PageAction::Save: Save(); break;
  }
  // The notice is about the repetition: that is what to type again.
  if (in.PasswordMismatch && PanelPassword->Visible()) {
    FlatEditPasswordPWRepeat->SetFocus();
    FlatEditPasswordPWRepeat->SelectAll();
  }
}

void TFormInstant::ShowPage(int page) {
  for (controls::TVisSimplePanel* panel :
       {PanelWelcome, PanelStep1Files, PanelStep1Folders, PanelStep2Folders, PanelStep2, PanelGarantie, PanelPartBackup,
        PanelStep3, PanelPassword, PanelSplit, PanelStep4, PanelBurner, PanelStep5})
    panel->Hide();
  if (page < kWelcomePage || page > kNamePage) return;
  const bool files = RadioButtonFiles->Checked();
  controls::TVisSimplePanel* const source = files ? PanelStep1Files : PanelStep1Folders;
  controls::TVisSimplePanel* const pages[] = {PanelWelcome,  source,          PanelStep2Folders, PanelStep2,
                                              PanelGarantie, PanelPartBackup, PanelStep3,        PanelPassword,
                                              PanelSplit,    PanelStep4,      PanelStep5};
  pages[page]->Show();
  LabelHeader->SetCaption(page == kSourcePage && !files ? kFoldersTitle : kPageTexts[page].title);
  const std::string step = StepText(page, CheckBoxExpert->Checked(), files);
  LabelInfo->SetCaption(step.empty() ? kPageTexts[page].info : step);
  FlatButtonNext->SetCaption(page == kNamePage ? "Fertig" : "Weiter");
  FocusPage(*pages[page], *FlatButtonNext);
}

bool TFormInstant::PasswordsDiffer() const {
  return CheckBoxPassword->Checked() && FlatEditPasswordPW->Text() != FlatEditPasswordPWRepeat->Text();
}

void TFormInstant::ShowPasswordNotice(bool mismatch) {
  LabelPasswordHint->SetVisible(!mismatch);
  LabelPasswordNotice->SetVisible(mismatch);
}

bool TFormInstant::RefusesNext() {
  if (PageIndex_ == kNamePage) return false;  // the save checks everything
  const BackupDefinition def = Values();
  const std::string problem = PageProblem(def, PageIndex_);
  if (!problem.empty()) {
    Warn(problem);
    return true;
  }
  if (PageIndex_ == kSchedulePage) {
    const std::string warning = WeekdayWarning(def);
    if (!warning.empty()) Warn(warning);
  }
  return false;
}

void TFormInstant::Save() {
  const BackupDefinition def = Values();
  const SaveProblem problem = CheckDefinition(def, EditedJobName_);
  if (problem.Page >= 0) {
    Warn(problem.Text, problem.Text == kNameClashText);
    PageIndex_ = problem.Page;
    ShowPage(problem.Page);
    return;
  }
  std::string warning;
  try {
    warning = SaveDefinition(def, EditedJobName_);
  } catch (...) {
    Warn("Die Backup-Definition konnte nicht gespeichert werden.\r\r" +
         classlib::ExceptionMessage(std::current_exception()));
    PageIndex_ = kNamePage;
    ShowPage(kNamePage);
    return;
  }
  if (!warning.empty()) Warn(warning);
  if (JobList* jobs = MainWindow().Jobs()) {
    const std::string next = SetMinutesText(def.Title);
    if (EditedJobName_.empty() || !jobs->Rename(EditedJobName_, def.Title)) jobs->Add(def.Title, next);
    jobs->SetNextRun(def.Title, next);
    jobs->Sort();
  }
  MainWindow().RefreshInformationPanel();
  Close();
}

// ---- the pages' own controls

void TFormInstant::FlatButtonFilesAddClick(classlib::TComponent*) {
  classlib::FileOpenRequest request;
  request.title = "Dateien hinzufügen";
  request.filter = "Alle Dateien (*.*)|*.*";
  std::vector<std::string> paths;
  if (!classlib::Prompts().OpenFiles(request, paths)) return;
  for (const std::string& path : paths) AddFileItem(*ListViewFiles, path);
}

void TFormInstant::FlatButtonFilesDeleteClick(classlib::TComponent*) { DeleteSelectedItems(*ListViewFiles); }

void TFormInstant::ListViewFilesKeyDown(classlib::TComponent* Sender, WORD& Key, classlib::TShiftState) {
  if (Key == VK_DELETE) FlatButtonFilesDeleteClick(Sender);
}

void TFormInstant::ListViewFilesColumnClick(classlib::TComponent*, int Column) {
  SortListByColumn(*ListViewFiles, Column);
}

void TFormInstant::FlatTabControlMainTabChanged(classlib::TComponent*) {
  const bool simple = FlatTabControlMain->ActiveTab() == 0;
  (simple ? RadioButtonSimple : RadioButtonExtended)->SetChecked(true);
  PanelSimple->SetVisible(simple);
  PanelExtended->SetVisible(!simple);
}

void TFormInstant::RadioButtonSimpleClick(classlib::TComponent*) {
  FlatTabControlMain->SetActiveTab(RadioButtonSimple->Checked() ? 0 : 1);
}

// The types count only for "Nur folgende" and "Folgende ... nicht", the size only while its box is on.
void TFormInstant::RadioButtonAllClick(classlib::TComponent*) {
  SetFlatEditEnabled(*FlatEditTypen, !RadioButtonAll->Checked());
}

void TFormInstant::CheckBoxMaxClick(classlib::TComponent*) { FlatComboBoxMax->SetEnabled(CheckBoxMax->Checked()); }

void TFormInstant::FlatButtonExtendedAddClick(classlib::TComponent*) { FormSelect->ShowFor(*this, *ListViewExtended); }

void TFormInstant::FlatButtonExtendedDeleteClick(classlib::TComponent*) {
  if (ListViewExtended->SelCount() == 0) return;
  classlib::MessageRequest request;
  request.text = "Ausgewählte(s) Verzeichnis(se) löschen?";
  request.caption = "Orvanta";
  request.buttons = classlib::PromptButtons::YesNo;
  request.icon = classlib::PromptIcon::Question;
  request.systemModal = true;
  if (classlib::Prompts().Message(request) == classlib::PromptResult::Yes) DeleteSelectedItems(*ListViewExtended);
}

void TFormInstant::ListViewExtendedKeyDown(classlib::TComponent* Sender, WORD& Key, classlib::TShiftState) {
  if (Key == VK_DELETE) FlatButtonExtendedDeleteClick(Sender);
}

void TFormInstant::ListViewExtendedDblClick(classlib::TComponent*) {
  if (classlib::TListItem* item = ListViewExtended->Selected())
    item->SetSubItem(0, item->SubItem(0) == "ja" ? "nein" : "ja");
}

void TFormInstant::LabelIntervallClick(classlib::TComponent*) {
  CheckBoxIntervall->SetChecked(!CheckBoxIntervall->Checked());
}

void TFormInstant::LabelTimeClick(classlib::TComponent*) { CheckBoxTime->SetChecked(!CheckBoxTime->Checked()); }

// Each field counts only while its check box is on.
void TFormInstant::CheckBoxIntervallClick(classlib::TComponent*) {
  SpinEditMinutes->SetEnabled(CheckBoxIntervall->Checked());
}

void TFormInstant::CheckBoxTimeClick(classlib::TComponent*) { MaskEditTime->SetEnabled(CheckBoxTime->Checked()); }

void TFormInstant::PanelTimeClick(classlib::TComponent*) { MaskEditTime->SetFocus(); }

void TFormInstant::SetDateText(classlib::TDateTime date) { FlatEditDate->SetText(" " + classlib::DateToStr(date)); }

void TFormInstant::DateCalendarDateChange(classlib::TComponent*) { SetDateText(DateCalendarDate->SelectedDate()); }

void TFormInstant::UpDownDateChange(classlib::TComponent*) {
  DateCalendarDate->SetVisible(UpDownDate->Position() == 2);
}

void TFormInstant::FlatEditPasswordPWRepeatExit(classlib::TComponent*) { ShowPasswordNotice(PasswordsDiffer()); }

void TFormInstant::FlatComboBoxBurnerChange(classlib::TComponent*) { FillSpeeds(); }

void TFormInstant::FlatButtonBurnerSettingsClick(classlib::TComponent*) {
  ShowPage(-1);
  PanelBurner->Show();
  LabelHeader->SetCaption(kBurnerTexts.title);
  LabelInfo->SetCaption(kBurnerTexts.info);
  FocusPage(*PanelBurner, *FlatButtonNext);
}

void TFormInstant::FlatTabControlRecordingTabChanged(classlib::TComponent*) {
  PanelCDR->SetVisible(FlatTabControlRecording->ActiveTab() == 0);
  PanelCDRW->SetVisible(FlatTabControlRecording->ActiveTab() == 1);
}

void TFormInstant::FlatEditNameKeyPress(classlib::TComponent*, wchar_t& Key) {
  if (!IsDefinitionNameKey(Key)) Key = 0;
}

void TFormInstant::FillBurners() {
  const std::string chosen = FlatComboBoxBurner->Text();
  FlatComboBoxBurner->Items().Clear();
  const std::vector<std::string> entries =
      devices_ ? CDWriterEntries(*devices_) : std::vector<std::string>{kNoCDWriter};
  for (const std::string& entry : entries) FlatComboBoxBurner->Items().Add(entry);
  SelectEntry(*FlatComboBoxBurner, chosen);
  FillSpeeds();
}

void TFormInstant::FillSpeeds() {
  const std::string chosen = FlatComboBoxCDRSpeed->Text();
  FlatComboBoxCDRSpeed->Items().Clear();
  const bool device = devices_ && SelectCDDevice(*devices_, DriveLetterOfEntry(FlatComboBoxBurner->Text()));
  if (device)
    for (const std::string& speed : CDSpeedEntries(devices_->GetMaxWriteSpeed()))
      FlatComboBoxCDRSpeed->Items().Add(speed);
  SelectEntry(*FlatComboBoxCDRSpeed, chosen);
  // Without a recorder there is nothing to burn on; a stored burn definition still says why at "Weiter".
  RadioButtonBurn->SetEnabled(device);
  FlatComboBoxBurner->SetEnabled(device);
  FlatButtonBurnerSettings->SetEnabled(device);
}

}  // namespace app
