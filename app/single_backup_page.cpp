#include "app/single_backup_page.h"

#include "app/list_sort.h"
#include "app/single_backup_list.h"
#include "app/wizards/form_add.h"
#include "app/wizards/form_creation.h"
#include "app/wizards/window_style.h"

namespace app {

using classlib::Bind;

namespace {

constexpr int kLabelHeight = 16;

}  // namespace

TSingleBackupPage::TSingleBackupPage(classlib::TComponent* AOwner) : TVisSimplePanel(AOwner) {
  BeginLoading();
  SetParentColor(false);
  SetColor(kLightColor);
  ListViewSingleBackup = NewFileListView(this, this, 0, 0, 496, 240);
  ListViewSingleBackup->OnKeyDown = Bind(this, &TSingleBackupPage::ListViewSingleBackupKeyDown);
  ListViewSingleBackup->OnColumnClick = Bind(this, &TSingleBackupPage::ListViewSingleBackupColumnClick);
  LabelSingleBackupCount = NewLabel(this, this, 0, 0, "");
  LabelSingleBackupCount->SetAutoSize(false);
  LabelSingleBackupCount->SetShowAccelChar(false);
  FlatButtonSingleAdd = NewFlatButton(this, this, 0, 0, "Hinzufügen");
  FlatButtonSingleAdd->OnClick = Bind(this, &TSingleBackupPage::FlatButtonSingleAddClick);
  FlatButtonSingleDelete = NewFlatButton(this, this, 0, 0, "Entfernen");
  FlatButtonSingleDelete->OnClick = Bind(this, &TSingleBackupPage::FlatButtonSingleDeleteClick);
  FlatButtonSingleCreate = NewFlatButton(this, this, 0, 0, "Erstellen");
  FlatButtonSingleCreate->OnClick = Bind(this, &TSingleBackupPage::FlatButtonSingleCreateClick);
  SetBounds(0, 0, 520, 320);
  EndLoading();
  SetFilesText();
}

// The list fills the page above the count line and the row of buttons at the right.
void TSingleBackupPage::Resize() {
  TVisSimplePanel::Resize();
  if (!FlatButtonSingleCreate) return;  // still being built
  const RECT r = ClientRect();
  const int width = r.right - r.left, height = r.bottom - r.top;
  const int buttonsTop = height - kMargin - kButtonHeight;
  const int labelTop = buttonsTop - 8 - kLabelHeight;
  ListViewSingleBackup->SetBounds(kMargin, kMargin, width - 2 * kMargin, labelTop - 6 - kMargin);
  LabelSingleBackupCount->SetBounds(kMargin, labelTop, width - 2 * kMargin, kLabelHeight);
  int left = width - kMargin - kButtonWidth;
  for (controls::TFlatButton* button : {FlatButtonSingleCreate, FlatButtonSingleDelete, FlatButtonSingleAdd}) {
    button->SetBounds(left, buttonsTop, kButtonWidth, kButtonHeight);
    left -= kButtonWidth + 6;
  }
}

void TSingleBackupPage::SetFilesText() { LabelSingleBackupCount->SetCaption(FilesText(*ListViewSingleBackup)); }

void TSingleBackupPage::FlatButtonSingleAddClick(classlib::TComponent*) {
  if (FormAdd) FormAdd->ShowWithFiles(*ListViewSingleBackup);
}

void TSingleBackupPage::FlatButtonSingleDeleteClick(classlib::TComponent*) {
  DeleteSelectedItems(*ListViewSingleBackup);
  SetFilesText();
}

void TSingleBackupPage::FlatButtonSingleCreateClick(classlib::TComponent*) {
  if (ListViewSingleBackup->Items().Count() == 0) {
    LabelSingleBackupCount->SetCaption("Bitte wählen Sie zuerst Dateien aus, die gesichert werden sollen!");
    return;
  }
  if (FormCreation) FormCreation->Show();
}

void TSingleBackupPage::ListViewSingleBackupKeyDown(classlib::TComponent* Sender, WORD& Key, classlib::TShiftState) {
  if (Key == VK_DELETE) FlatButtonSingleDeleteClick(Sender);
}

void TSingleBackupPage::ListViewSingleBackupColumnClick(classlib::TComponent*, int Column) {
  SortListByColumn(*ListViewSingleBackup, Column);
}

}  // namespace app
