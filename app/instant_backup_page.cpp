#include "app/instant_backup_page.h"

#include "app/definition_name.h"
#include "app/desktop_link.h"
#include "app/scheduler.h"
#include "app/wizards/form_instant.h"
#include "app/wizards/run_feedback.h"
#include "app/wizards/window_style.h"

namespace app {

using classlib::Bind;
using classlib::TComponent;

namespace {

constexpr int kInfoCaptionLeft = 16;
constexpr int kInfoValueLeft = 130;
constexpr int kInfoRowTop = 56;
constexpr int kInfoRowStep = 24;

}  // namespace

TInstantBackupPage::TInstantBackupPage(TComponent* AOwner) : TVisSimplePanel(AOwner) {
  BeginLoading();
  SetParentColor(false);
  SetColor(kLightColor);

  // Resize places the controls in the size the host gives the page.
  ListViewInstantBackup = new classlib::TListView(this);
  ListViewInstantBackup->SetParent(this);
  ListViewInstantBackup->SetColor(kWhiteColor);
  ListViewInstantBackup->SetMultiSelect(true);
  ListViewInstantBackup->SetRowSelect(true);
  ListViewInstantBackup->AddColumn("Backup-Bezeichnung", 340);
  ListViewInstantBackup->AddColumn("Nächste Sicherung", 200, classlib::TAlignment::taCenter);
  ListViewInstantBackup->HeaderFont().SetStyle(classlib::fsBold);
  ListViewInstantBackup->CaptionFont().SetStyle(classlib::fsBold);
  ListViewInstantBackup->OnKeyDown = Bind(this, &TInstantBackupPage::ListViewInstantBackupKeyDown);
  ListViewInstantBackup->OnDblClick = Bind(this, &TInstantBackupPage::ListViewInstantBackupDblClick);
  ListViewInstantBackup->OnSelectItem = Bind(this, &TInstantBackupPage::ListViewInstantBackupSelectItem);

  PanelBackupInfo = NewFramedPanel(this, this, 0, 0, 560, 260);
  PanelBackupInfo->Hide();
  LabelBackupInfoName = NewBoldLabel(this, PanelBackupInfo, kInfoCaptionLeft, 14, "");
  LabelBackupInfoName->Font().SetSize(14);
  LabelBackupInfoName->SetAutoSize(false);
  LabelBackupInfoName->SetShowAccelChar(false);
  const char* captions[] = {"Backup-Definition", "Letzte Sicherung", "Größe", "Dateien"};
  classlib::TLabel** values[] = {&LabelBackupInfoDefinition, &LabelBackupInfoLast, &LabelBackupInfoSize,
                                 &LabelBackupInfoFiles};
  for (int row = 0; row < 4; ++row) {
    const int top = kInfoRowTop + row * kInfoRowStep;
    NewBoldLabel(this, PanelBackupInfo, kInfoCaptionLeft, top, captions[row]);
    *values[row] = NewLabel(this, PanelBackupInfo, kInfoValueLeft, top, "");
    (*values[row])->SetAutoSize(false);
    (*values[row])->SetShowAccelChar(false);
  }
  FlatButtonInfoEdit = NewFlatButton(this, PanelBackupInfo, 0, 0, "Bearbeiten");
  FlatButtonInfoEdit->OnClick = Bind(this, &TInstantBackupPage::FlatButtonInstantEditClick);
  FlatButtonInfoCreate = NewFlatButton(this, PanelBackupInfo, 0, 0, "Erstellen");
  FlatButtonInfoCreate->OnClick = Bind(this, &TInstantBackupPage::FlatButtonInfoCreateClick);
  FlatButtonInfoBack = NewFlatButton(this, PanelBackupInfo, 0, 0, "Zurück");
  FlatButtonInfoBack->OnClick = Bind(this, &TInstantBackupPage::FlatButtonInfoBackClick);

  FlatButtonInstantAdd = NewFlatButton(this, this, 0, 0, "Hinzufügen");
  FlatButtonInstantAdd->OnClick = Bind(this, &TInstantBackupPage::FlatButtonInstantAddClick);
  FlatButtonInstantEdit = NewFlatButton(this, this, 0, 0, "Bearbeiten");
  FlatButtonInstantEdit->OnClick = Bind(this, &TInstantBackupPage::FlatButtonInstantEditClick);
  FlatButtonInstantDelete = NewFlatButton(this, this, 0, 0, "Entfernen");
  FlatButtonInstantDelete->OnClick = Bind(this, &TInstantBackupPage::FlatButtonInstantDeleteClick);

  PopupMenuBackup = new classlib::TPopupMenu(this);
  PopupMenuBackup->OnPopup = Bind(this, &TInstantBackupPage::PopupMenuBackupPopup);
  AusgewhlteBackups1 = PopupMenuBackup->Items()->Add("Ausgewählte Backups");
  Durchfhren1 = AusgewhlteBackups1->Add("Durchführen", Bind(this, &TInstantBackupPage::Durchfhren1Click));
  Aktivieren1 = AusgewhlteBackups1->Add("Aktiv", Bind(this, &TInstantBackupPage::Aktivieren1Click));
  DesktopVerknpfung1 =
      PopupMenuBackup->Items()->Add("Desktop-Verknüpfung", Bind(this, &TInstantBackupPage::DesktopVerknpfung1Click));
  Informationen1 = PopupMenuBackup->Items()->Add("Informationen", Bind(this, &TInstantBackupPage::Informationen1Click));
  ListViewInstantBackup->SetPopupMenu(PopupMenuBackup);
  SetBounds(0, 0, 584, 330);
  EndLoading();
}

// The list (or the information panel over it) fills the page above the row of buttons at the right.
void TInstantBackupPage::Resize() {
  TVisSimplePanel::Resize();
  if (!FlatButtonInstantDelete) return;  // still being built
  const int w = ClientWidth(), h = ClientHeight();
  const int buttonsTop = h - kMargin - kButtonHeight;
  const int listHeight = buttonsTop - 8 - kMargin;
  ListViewInstantBackup->SetBounds(kMargin, kMargin, w - 2 * kMargin, listHeight);
  PanelBackupInfo->SetBounds(kMargin, kMargin, w - 2 * kMargin, listHeight);
  const int infoWidth = w - 2 * kMargin, valueWidth = infoWidth - kInfoValueLeft - kInfoCaptionLeft;
  LabelBackupInfoName->SetBounds(kInfoCaptionLeft, 14, infoWidth - 2 * kInfoCaptionLeft, 26);
  int top = kInfoRowTop;
  for (classlib::TLabel* value : {LabelBackupInfoDefinition, LabelBackupInfoLast, LabelBackupInfoSize,
                                  LabelBackupInfoFiles}) {
    value->SetBounds(kInfoValueLeft, top, valueWidth, 16);
    top += kInfoRowStep;
  }
  int left = infoWidth - kMargin - kButtonWidth;
  for (controls::TFlatButton* button : {FlatButtonInfoBack, FlatButtonInfoCreate, FlatButtonInfoEdit}) {
    button->SetBounds(left, listHeight - kMargin - kButtonHeight, kButtonWidth, kButtonHeight);
    left -= kButtonWidth + 6;
  }
  left = w - kMargin - kButtonWidth;
  for (controls::TFlatButton* button : {FlatButtonInstantDelete, FlatButtonInstantEdit, FlatButtonInstantAdd}) {
    button->SetBounds(left, buttonsTop, kButtonWidth, kButtonHeight);
    left -= kButtonWidth + 6;
  }
}

// ------------------------------------------------------------------------- the list and the jobs

void TInstantBackupPage::SetJobs(JobList* jobs) {
  if (jobs_) jobs_->OnChange = nullptr;
  jobs_ = jobs;
  if (jobs_) jobs_->OnChange = [this](int index) { JobsChanged(index); };
  JobsChanged(-1);
}

void TInstantBackupPage::JobsChanged(int index) {
  if (showingJobs_) return;
  showingJobs_ = true;
  classlib::TListItems& items = ListViewInstantBackup->Items();
  const int count = jobs_ ? jobs_->Count() : 0;
  if (index < 0 || items.Count() != count) {
    items.BeginUpdate();
    while (items.Count() > count) items.Delete(items.Count() - 1);
    while (items.Count() < count) items.Add();
    for (int i = 0; i < count; ++i) ShowRow(i);
    items.EndUpdate();
  } else if (index < count) {
    ShowRow(index);
  }
  showingJobs_ = false;
  // A job that went takes its information with it.
  if (PanelBackupInfo->Visible() && (!jobs_ || jobs_->IndexOf(infoJob_) < 0)) FlatButtonInfoBackClick(this);
}

void TInstantBackupPage::ShowRow(int index) {
  const JobItem& job = jobs_->Item(index);
  classlib::TListItem& row = *ListViewInstantBackup->Items()[index];
  if (row.Caption() != job.Name) row.SetCaption(job.Name);
  if (row.SubItem(0) != job.NextRun) row.SetSubItem(0, job.NextRun);
  if (row.Selected() != job.Selected) row.SetSelected(job.Selected);
}

void TInstantBackupPage::ListViewInstantBackupSelectItem(TComponent*, classlib::TListItem* Item, bool Selected) {
  if (showingJobs_ || !jobs_ || !Item) return;
  showingJobs_ = true;
  jobs_->SetSelected(Item->Caption(), Selected);
  showingJobs_ = false;
}

std::vector<std::string> TInstantBackupPage::SelectedJobs() const {
  return jobs_ ? jobs_->SelectedNames() : std::vector<std::string>();
}

std::string TInstantBackupPage::SelectedJob() const {
  const std::vector<std::string> names = SelectedJobs();
  return names.empty() ? std::string() : names.front();
}

void TInstantBackupPage::ListViewInstantBackupKeyDown(TComponent* Sender, WORD& Key, classlib::TShiftState) {
  if (Key == VK_DELETE) FlatButtonInstantDeleteClick(Sender);
}

void TInstantBackupPage::ListViewInstantBackupDblClick(TComponent* Sender) { Informationen1Click(Sender); }

// ------------------------------------------------------------------------- the buttons

void TInstantBackupPage::FlatButtonInstantAddClick(TComponent*) {
  if (FormInstant) FormInstant->AddDefinition();
}

void TInstantBackupPage::FlatButtonInstantEditClick(TComponent*) {
  const std::string name = SelectedJob();
  if (name.empty() || !FormInstant || !DefinitionList(*jobs_).CanEdit(name)) return;
  // The wizard says itself when the definition cannot be read.
  FormInstant->EditDefinition(name);
}

void TInstantBackupPage::FlatButtonInstantDeleteClick(TComponent*) {
  const std::vector<std::string> names = SelectedJobs();
  if (names.empty()) return;
  DefinitionList list(*jobs_);
  const std::string refusal = list.DeleteRefusal(names, Schedule && Schedule->Busy());
  if (!refusal.empty()) {
    Warn(refusal, true);
    return;
  }
  if (!AskYesNo(kDeleteQuestion)) return;
  // The question let the windows run: look again.
  const std::string late = list.DeleteRefusal(names, Schedule && Schedule->Busy());
  if (!late.empty()) {
    Warn(late, true);
    return;
  }
  const std::vector<std::string> kept = list.Delete(names);
  if (!kept.empty()) Warn("Das Backup \"" + kept.front() + "\" konnte nicht gelöscht werden.", true);
}

// ------------------------------------------------------------------------- the information panel

void TInstantBackupPage::Informationen1Click(TComponent*) {
  const std::string name = SelectedJob();
  if (!name.empty()) ShowInformation(name);
}

void TInstantBackupPage::ShowInformation(const std::string& name) {
  const DefinitionInfo info = DefinitionList::Information(name);
  infoJob_ = name;
  LabelBackupInfoName->SetCaption(info.Name);
  LabelBackupInfoDefinition->SetCaption(info.Definition);
  LabelBackupInfoLast->SetCaption(info.Last);
  LabelBackupInfoSize->SetCaption(info.Size);
  LabelBackupInfoFiles->SetCaption(info.Files);
  if (PanelBackupInfo->Visible()) return;
  PanelBackupInfo->Show();
  PanelBackupInfo->BringToFront();
  ListViewInstantBackup->Hide();
  FlatButtonInfoBack->SetFocus();
}

void TInstantBackupPage::RefreshInformationPanel() {
  if (!PanelBackupInfo->Visible()) return;
  // A renamed job: the panel follows the selection.
  const std::string selected = SelectedJob();
  ShowInformation(selected.empty() ? infoJob_ : selected);
}

void TInstantBackupPage::FlatButtonInfoCreateClick(TComponent*) { RunNow({infoJob_}); }

void TInstantBackupPage::FlatButtonInfoBackClick(TComponent*) {
  if (!PanelBackupInfo->Visible()) return;
  const bool hadFocus = PanelBackupInfo->ContainsControl(classlib::TWinControl::FindControl(GetFocus()));
  PanelBackupInfo->Hide();
  ListViewInstantBackup->Show();
  if (hadFocus) ListViewInstantBackup->SetFocus();
}

// ------------------------------------------------------------------------- the popup menus

void TInstantBackupPage::PopupMenuBackupPopup(TComponent*) {
  const std::string name = SelectedJob();
  Aktivieren1->SetChecked(!jobs_ || name.empty() || jobs_->NextRun(name) != kDeactivated);
}

void TInstantBackupPage::Durchfhren1Click(TComponent*) { RunNow(SelectedJobs()); }

void TInstantBackupPage::RunNow(const std::vector<std::string>& names) {
  if (names.empty() || !Schedule) return;
  if (!Schedule->RunNow(names))
    Warn("Es wird gerade ein Backup geprüft oder durchgeführt. Bitte versuchen Sie es danach noch einmal.", true);
}

void TInstantBackupPage::Aktivieren1Click(TComponent*) {
  Aktivieren1->SetChecked(!Aktivieren1->Checked());
  if (jobs_) DefinitionList(*jobs_).SetActive(SelectedJobs(), Aktivieren1->Checked());
}

void TInstantBackupPage::DesktopVerknpfung1Click(TComponent*) {
  const std::string name = SelectedJob();
  if (name.empty()) return;
  // The link file is named after the definition, and its "/start" would only fail.
  const std::string problem = DefinitionNameProblem(name);
  if (!problem.empty()) {
    Warn("Die Desktop-Verknüpfung \"" + name + "\" konnte nicht erstellt werden:\r\r" + problem);
    return;
  }
  const std::string desktop = DesktopFolder();
  if (!desktop.empty() && CreateLink(ShortcutFor(name, desktop))) {
    Inform("Die Desktop-Verknüpfung \"" + name + "\" wurde erstellt.");
  } else {
    Warn("Die Desktop-Verknüpfung \"" + name + "\" konnte nicht erstellt werden.");
  }
}

classlib::TMenuItem* TInstantBackupPage::AddTrayMenu(classlib::TMenuItem& trayItems) {
  classlib::TMenuItem* entry = trayItems.Add("&Instant Backups");
  Alleaktivieren1 = entry->Add("Alle aktivieren", Bind(this, &TInstantBackupPage::Alleaktivieren1Click));
  Alledeaktivieren1 = entry->Add("Alle deaktivieren", Bind(this, &TInstantBackupPage::Alledeaktivieren1Click));
  return entry;
}

void TInstantBackupPage::Alleaktivieren1Click(TComponent*) {
  if (jobs_) DefinitionList(*jobs_).ActivateAll();
}

void TInstantBackupPage::Alledeaktivieren1Click(TComponent*) {
  if (jobs_) DefinitionList(*jobs_).DeactivateAll();
}

}  // namespace app
