#include "app/wizards/form_popup.h"

#include <windows.h>

#include "app/wizards/main_window_hooks.h"
#include "app/wizards/window_style.h"
#include "classlib/prompt.h"

namespace app {

using classlib::Bind;
using classlib::TAlign;

namespace {

constexpr int kWidth = 480;
constexpr int kHeaderHeight = 72;
constexpr int kTabsTop = 92;
constexpr int kTabsHeight = 306;
constexpr int kPageInnerWidth = 432;

controls::TVisSimplePanel* NewPage(classlib::TComponent* owner, classlib::TWinControl* tabs, const std::string& hint) {
  controls::TVisSimplePanel* page = NewPanel(owner, tabs, kWhiteColor, TAlign::alClient);
  NewLabel(owner, page, 8, 8, hint, kPageInnerWidth);
  return page;
}

}  // namespace

TFormPopup::TFormPopup(classlib::TComponent* AOwner) : TChoiceForm(AOwner) {
  BeginLoading();
  SetClientSize(kWidth, kHeaderHeight + 1 + kTabsTop + kTabsHeight + kMargin + kButtonHeight + kMargin);

  const THeader header = NewHeader(this, this, "Benutzer-Bestätigung erforderlich", kHeaderHeight);
  PanelHeader = header.Panel;
  LabelHeader = header.Title;
  LabelInfo = NewLabel(this, PanelHeader, kHeaderTextLeft, kHeaderTextTop, "", kWidth - kHeaderTextLeft - kMargin);

  PanelMain = NewPanel(this, this, kLightColor, TAlign::alClient);
  RadioButtonFull = NewOption(this, PanelMain, kMargin, 10, kWidth - 2 * kMargin, "Vollsicherung durchführen",
                              "Sichert alle ausgewählten Dateien.");
  RadioButtonPart = NewOption(this, PanelMain, kMargin, 10 + kOptionStep, kWidth - 2 * kMargin,
                              "Partielle Sicherung durchführen", "Sichert nur neue/geänderte Dateien.");
  RadioButtonFull->SetChecked(true);

  FlatTabControlMain =
      Place(new controls::TFlatTabControl(this), PanelMain, kMargin, kTabsTop, kWidth - 2 * kMargin, kTabsHeight);
  FlatTabControlMain->AddTab("Zielort wählen   .");
  FlatTabControlMain->AddTab("Nach Sicherung   .");
  FlatTabControlMain->SetColor(kWhiteColor);
  FlatTabControlMain->SetColorBorder(kLineColor);
  FlatTabControlMain->OnTabChanged = Bind(this, &TFormPopup::FlatTabControlMainTabChanged);

  PanelZielort =
      NewPage(this, FlatTabControlMain, "Wählen Sie den Zielort (Festplatte, Netzlaufwerk, CD-R/RW) der Sicherung.");
  RadioButtonDir = NewRadio(this, PanelZielort, 8, 40, kPageInnerWidth, "Backup in folgendem Verzeichnis erstellen");
  RadioButtonDir->SetChecked(true);
  FolderTree = Place(new classlib::TShellTreeView(this), PanelZielort, 8 + kOptionIndent, 60,
                     kPageInnerWidth - kOptionIndent, 150);
  RadioButtonBurn = NewRadio(this, PanelZielort, 8, 218, kPageInnerWidth, "Backup auf CD-R/RW brennen");
  FlatComboBoxBurner = Place(new controls::TFlatComboBox(this), PanelZielort, 8 + kOptionIndent, 238,
                             kPageInnerWidth - kOptionIndent, kEditHeight);
  FlatComboBoxBurner->SetStyle(classlib::TComboBoxStyle::csDropDownList);
  FlatComboBoxBurner->SetColorBorder(kLineColor);
  FlatComboBoxBurner->SetColorArrowBackground(kLightColor);

  PanelAfter =
      NewPage(this, FlatTabControlMain, "Legen Sie fest, welche Aktion nach der Sicherung durchgeführt werden soll.");
  PanelAfter->Hide();
  RadioButtonNoAction = NewOption(this, PanelAfter, 8, 40, kPageInnerWidth, "Keine Aktion",
                                  "Führt nach Beenden der Sicherung keine Aktion durch.");
  RadioButtonNoAction->SetChecked(true);
  RadioButtonShutDown = NewOption(this, PanelAfter, 8, 40 + kOptionStep, kPageInnerWidth, "Windows herunterfahren",
                                  "Fährt das Betriebssystem nach Beenden der Sicherung herunter (Shut Down).");
  RadioButtonReboot = NewOption(this, PanelAfter, 8, 40 + 2 * kOptionStep, kPageInnerWidth, "Windows neustarten",
                                "Startet das Betriebssystem nach Beenden der Sicherung neu (Reboot).");
  RadioButtonFileStart = NewRadio(this, PanelAfter, 8, 40 + 3 * kOptionStep, kPageInnerWidth, "Datei starten");
  const int fileTop = 40 + 3 * kOptionStep + kRadioHeight + 4;
  FlatEditFileStart =
      NewFlatEdit(this, PanelAfter, 8 + kOptionIndent, fileTop,
                  kPageInnerWidth - kOptionIndent - kLongCaptionButtonWidth - 6);
  FlatButtonFileStart =
      NewFlatButton(this, PanelAfter, 8 + kPageInnerWidth - kLongCaptionButtonWidth, fileTop - 2, "Durchsuchen...",
                    kLongCaptionButtonWidth);
  FlatButtonFileStart->OnClick = Bind(this, &TFormPopup::FlatButtonFileStartClick);

  AddButtons(PanelMain, kWidth - kMargin, kTabsTop + kTabsHeight + kMargin);

  PanelMain->OnMouseDown = Bind(this, &TFormPopup::PanelMainMouseDown);
  PanelHeader->OnMouseDown = Bind(this, &TFormPopup::PanelMainMouseDown);
  LabelHeader->OnMouseDown = Bind(this, &TFormPopup::PanelMainMouseDown);
  LabelInfo->OnMouseDown = Bind(this, &TFormPopup::PanelMainMouseDown);
  EndLoading();
}

void TFormPopup::FormClose(classlib::TComponent* Sender, classlib::TCloseAction& Action) {
  TChoiceForm::FormClose(Sender, Action);
  FlatTabControlMain->SetActiveTab(0);
  MainWindow().SetEnabled(true);
}

void TFormPopup::FlatTabControlMainTabChanged(classlib::TComponent*) {
  PanelZielort->SetVisible(FlatTabControlMain->ActiveTab() == 0);
  PanelAfter->SetVisible(FlatTabControlMain->ActiveTab() == 1);
}

void TFormPopup::FlatButtonFileStartClick(classlib::TComponent*) {
  classlib::FileOpenRequest request;
  request.title = "Datei auswählen";
  request.filter = "Alle Dateien|*.*";
  std::string path;
  if (classlib::Prompts().OpenFile(request, path)) FlatEditFileStart->SetText(path);
}

void TFormPopup::PanelMainMouseDown(classlib::TComponent*, classlib::TMouseButton Button, classlib::TShiftState, int,
                                    int) {
  if (Button != classlib::TMouseButton::mbLeft) return;
  ReleaseCapture();
  SendMessageW(Handle(), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
}

}  // namespace app
