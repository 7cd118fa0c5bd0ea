#include "app/wizards/form_select.h"

#include "app/list_sort.h"
#include "app/wizards/instant_definition.h"
#include "app/wizards/window_style.h"
#include "classlib/text.h"

namespace app {

using classlib::Bind;

namespace {

constexpr int kWidth = 380;
constexpr int kHeaderHeight = 56;
constexpr int kBoxWidth = kWidth - 2 * kMargin;
constexpr int kBoxHeight = 280;
constexpr int kButtonsTop = kMargin + kBoxHeight + kMargin;

}  // namespace

void AddExtendedFolder(classlib::TListView& list, const std::string& folder, bool recursive) {
  const char* const flag = recursive ? "ja" : "nein";
  for (int i = 0; i < list.Items().Count(); ++i) {
    classlib::TListItem& item = *list.Items()[i];
    if (classlib::SameTextAscii(item.Caption(), folder)) {
      item.SetSubItem(0, flag);
      return;
    }
  }
  classlib::TListItem* item = list.Items().Add();
  item->SetCaption(folder);
  item->AddSubItem(flag);
  SortListByColumn(list, 0);
}

TFormSelect::TFormSelect(classlib::TComponent* AOwner) : TForm(AOwner) {
  BeginLoading();
  SetCaption("Verzeichnis-Auswahl");
  SetBorderIcons(classlib::biSystemMenu);
  SetPosition(classlib::TPosition::poMainFormCenter);
  SetClientSize(kWidth, kHeaderHeight + 1 + kButtonsTop + kButtonHeight + kMargin);
  OnClose = Bind(this, &TFormSelect::FormClose);

  const THeader header = NewHeader(this, this, "Verzeichnis-Auswahl", kHeaderHeight);
  PanelHeader = header.Panel;
  LabelHeader = header.Title;
  LabelInfo =
      NewLabel(this, PanelHeader, kHeaderTextLeft, kHeaderTextTop,
               "Wählen Sie das Verzeichnis aus, das gesichert werden soll.", kWidth - kHeaderTextLeft - kMargin);
  auto* body = NewPanel(this, this, kLightColor, classlib::TAlign::alClient);
  auto* box = NewFramedPanel(this, body, kMargin, kMargin, kBoxWidth, kBoxHeight);
  FolderTree = Place(new classlib::TShellTreeView(this), box, 10, 10, kBoxWidth - 20, kBoxHeight - 52);
  FolderTree->SetPath("c:\\");
  CheckBoxRecursive = NewCheckBox(this, box, 10, kBoxHeight - 32, kBoxWidth - 20,
                                  "Rekursiv: Verzeichnis samt Unterverzeichnissen sichern");
  CheckBoxRecursive->SetChecked(true);

  FlatButtonApply = NewFlatButton(this, body, kWidth - kMargin - 2 * kButtonWidth - 6, kButtonsTop, "Übernehmen");
  FlatButtonApply->SetDefault(true);
  FlatButtonApply->OnClick = Bind(this, &TFormSelect::FlatButtonApplyClick);
  FlatButtonCancel = NewFlatButton(this, body, kWidth - kMargin - kButtonWidth, kButtonsTop, "Abbrechen");
  FlatButtonCancel->SetCancel(true);
  FlatButtonCancel->OnClick = Bind(this, &TFormSelect::FlatButtonCancelClick);
  EndLoading();
}

void TFormSelect::ShowFor(classlib::TForm& wizard, classlib::TListView& list) {
  wizard_ = &wizard;
  list_ = &list;
  wizard.SetEnabled(false);
  Show();
}

void TFormSelect::FlatButtonApplyClick(classlib::TComponent*) {
  const std::string folder = FolderTree->Path();
  if (!IsRealFolder(folder)) {
    Warn(kChooseFolderText);
    return;
  }
  if (list_) AddExtendedFolder(*list_, folder, CheckBoxRecursive->Checked());
  Close();
}

void TFormSelect::FlatButtonCancelClick(classlib::TComponent*) { Close(); }

void TFormSelect::FormClose(classlib::TComponent*, classlib::TCloseAction&) {
  if (wizard_) {
    wizard_->SetEnabled(true);
    wizard_->BringToFront();
  }
  wizard_ = nullptr;
  list_ = nullptr;
}

}  // namespace app
