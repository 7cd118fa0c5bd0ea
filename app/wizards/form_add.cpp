#include "app/wizards/form_add.h"

#include <algorithm>

#include "app/list_sort.h"
#include "app/single_backup_list.h"
#include "app/single_backup_page.h"
#include "app/wizards/main_window_hooks.h"
#include "app/wizards/window_style.h"
#include "classlib/prompt.h"

namespace app {

using classlib::Bind;

namespace {

constexpr int kWidth = 520;
constexpr int kHeaderHeight = 56;
constexpr int kBoxWidth = kWidth - 2 * kMargin;
constexpr int kBoxHeight = 300;
constexpr int kBoxInnerWidth = kBoxWidth - 20;
constexpr int kButtonsTop = kMargin + kBoxHeight + kMargin;
const char kReading[] = "Backup Wizard liest die Dateien ein.";

struct PageTexts {
  const char* title;
  const char* info;
};
constexpr PageTexts kStep1Texts = {"Single Backup Wizard",
                                   "Legen Sie fest, wie die Dateien des Backups ausgewählt werden sollen."};
constexpr PageTexts kFilesTexts = {"Datei-Auswahl", "Fügen Sie die Dateien hinzu, die gesichert werden sollen."};
constexpr PageTexts kFoldersTexts = {"Verzeichnis-Auswahl",
                                     "Lesen Sie ein Verzeichnis samt aller Unterverzeichnisse ein."};

// A page of the wizard: a white box on the light body, all pages in the same place.
controls::TVisSimplePanel* NewPage(classlib::TComponent* owner, classlib::TWinControl* body) {
  return NewFramedPanel(owner, body, kMargin, kMargin, kBoxWidth, kBoxHeight);
}

// The files and the folders page: a list of files with "Hinzufügen" and "Entfernen" below it.
struct ListPage {
  controls::TVisSimplePanel* page;
  classlib::TListView* list;
  controls::TFlatButton* add;
  controls::TFlatButton* remove;
};

ListPage NewListPage(classlib::TComponent* owner, classlib::TWinControl* body) {
  constexpr int kListButtonsTop = kBoxHeight - 10 - kButtonHeight;
  constexpr int kRemoveLeft = 10 + kBoxInnerWidth - kButtonWidth;
  ListPage p;
  p.page = NewPage(owner, body);
  p.list = NewFileListView(owner, p.page, 10, 10, kBoxInnerWidth, kListButtonsTop - kMargin - 10);
  p.add = NewFlatButton(owner, p.page, kRemoveLeft - 6 - kButtonWidth, kListButtonsTop, "Hinzufügen");
  p.remove = NewFlatButton(owner, p.page, kRemoveLeft, kListButtonsTop, "Entfernen");
  return p;
}

}  // namespace

TFormAdd::TFormAdd(classlib::TComponent* AOwner) : TForm(AOwner) {
  BeginLoading();
  SetCaption("Single Backup Wizard");
  SetBorderIcons(classlib::biSystemMenu);
  SetPosition(classlib::TPosition::poMainFormCenter);
  SetClientSize(kWidth, kHeaderHeight + 1 + kButtonsTop + kButtonHeight + kMargin);
  OnShow = Bind(this, &TFormAdd::FormShow);
  OnCloseQuery = Bind(this, &TFormAdd::FormCloseQuery);
  OnClose = Bind(this, &TFormAdd::FormClose);

  const THeader header = NewHeader(this, this, kStep1Texts.title, kHeaderHeight);
  PanelHeader = header.Panel;
  LabelHeader = header.Title;
  LabelInfo = NewLabel(this, PanelHeader, kHeaderTextLeft, kHeaderTextTop, kStep1Texts.info,
                       kWidth - kHeaderTextLeft - kMargin);
  auto* body = NewPanel(this, this, kLightColor, classlib::TAlign::alClient);

  PanelStep1 = NewPage(this, body);
  NewLabel(this, PanelStep1, 10, 10, "Wie möchten Sie die Dateien für das Backup auswählen?");
  RadioButtonFiles = NewOption(this, PanelStep1, 10, 40, kBoxInnerWidth, "Dateien auswählen",
                               "Fügt einzelne Dateien hinzu, die Sie in einem Dateidialog auswählen.");
  RadioButtonFolders =
      NewOption(this, PanelStep1, 10, 40 + kOptionStep, kBoxInnerWidth, "Verzeichnis einlesen",
                "Fügt alle Dateien eines Verzeichnisses samt seiner Unterverzeichnisse hinzu.");
  RadioButtonFiles->SetChecked(true);

  const ListPage files = NewListPage(this, body);
  PanelFiles = files.page;
  ListViewFiles = files.list;
  FlatButtonFilesAdd = files.add;
  FlatButtonFilesDelete = files.remove;
  const ListPage folders = NewListPage(this, body);
  PanelFolders = folders.page;
  ListViewFolders = folders.list;
  FlatButtonFoldersAdd = folders.add;
  FlatButtonFoldersDelete = folders.remove;
  FlatButtonFilesAdd->OnClick = Bind(this, &TFormAdd::FlatButtonFilesAddClick);
  FlatButtonFoldersAdd->OnClick = Bind(this, &TFormAdd::FlatButtonFoldersAddClick);
  FlatButtonFilesDelete->OnClick = Bind(this, &TFormAdd::FlatButtonDeleteClick);
  FlatButtonFoldersDelete->OnClick = Bind(this, &TFormAdd::FlatButtonDeleteClick);
  for (classlib::TListView* list : {ListViewFiles, ListViewFolders}) {
    list->OnKeyDown = Bind(this, &TFormAdd::ListViewKeyDown);
    list->OnColumnClick = Bind(this, &TFormAdd::ListViewColumnClick);
  }

  PanelWait = NewPage(this, body);
  LabelWait = NewBoldLabel(this, PanelWait, 10, 110, kReading);
  NewLabel(this, PanelWait, 10, 130, "Bitte warten Sie einen Moment...");
  FlatProgressBarWait = NewProgressBar(this, PanelWait, 10, 156, kBoxInnerWidth, 16);
  PanelWait->Hide();

  FlatButtonBack = NewFlatButton(this, body, kWidth - kMargin - 2 * kButtonWidth - 6, kButtonsTop, "Zurück");
  FlatButtonBack->OnClick = Bind(this, &TFormAdd::FlatButtonBackClick);
  FlatButtonNext = NewFlatButton(this, body, kWidth - kMargin - kButtonWidth, kButtonsTop, "Weiter");
  FlatButtonNext->SetDefault(true);
  FlatButtonNext->OnClick = Bind(this, &TFormAdd::FlatButtonNextClick);
  EndLoading();
  ShowPage(PanelStep1);
}

void TFormAdd::ShowWithFiles(classlib::TListView& source) {
  Show();
  BeginWait("Backup Wizard Dateiliste wird aktualisiert.");
  const int count = source.Items().Count();
  FlatProgressBarWait->SetMaxValue(std::max(count, 1));
  for (classlib::TListView* list : {ListViewFiles, ListViewFolders}) {
    list->Items().Clear();
    list->Items().BeginUpdate();
  }
  for (int i = 0; i < count && !stopReading_; ++i) {
    CopyFileItem(*source.Items()[i], *ListViewFiles);
    CopyFileItem(*source.Items()[i], *ListViewFolders);
    FlatProgressBarWait->SetUserValue(i + 1);
    classlib::Application().ProcessMessages();
  }
  for (classlib::TListView* list : {ListViewFiles, ListViewFolders}) list->Items().EndUpdate();
  EndWait();
}

void TFormAdd::FormShow(classlib::TComponent*) {
  MainWindow().SetSchedulerEnabled(false);
  MainWindow().SetEnabled(false);
}

void TFormAdd::FormCloseQuery(classlib::TComponent*, bool& CanClose) {
  if (!Waiting()) return;
  stopReading_ = true;
  CanClose = false;
}

void TFormAdd::FormClose(classlib::TComponent*, classlib::TCloseAction&) {
  PanelWait->Hide();
  EnableButtons(true);
  ShowPage(PanelStep1);
  LabelWait->SetCaption(kReading);
  FlatProgressBarWait->SetUserValue(0);
  stopReading_ = false;
  MainWindow().SetSchedulerEnabled(true);
  MainWindow().SetEnabled(true);
}

void TFormAdd::FlatButtonNextClick(classlib::TComponent*) {
  if (Waiting()) return;
  if (page_ == PanelStep1)
    ShowPage(RadioButtonFiles->Checked() ? PanelFiles : PanelFolders);
  else
    TakeOverFiles();
}

void TFormAdd::FlatButtonBackClick(classlib::TComponent*) {
  if (!Waiting()) ShowPage(PanelStep1);
}

void TFormAdd::FlatButtonFilesAddClick(classlib::TComponent*) {
  classlib::FileOpenRequest request;
  request.title = "Dateien hinzufügen";
  request.filter = "Alle Dateien (*.*)|*.*";
  std::vector<std::string> files;
  if (!classlib::Prompts().OpenFiles(request, files)) return;
  BeginWait(kReading);
  FlatProgressBarWait->SetMaxValue(std::max(static_cast<int>(files.size()), 1));
  for (std::size_t i = 0; i < files.size() && !stopReading_; ++i) {
    AddFileItem(*ListViewFiles, files[i]);
    FlatProgressBarWait->SetUserValue(static_cast<int>(i) + 1);
    classlib::Application().ProcessMessages();
  }
  EndWait();
}

void TFormAdd::FlatButtonFoldersAddClick(classlib::TComponent*) {
  classlib::FolderRequest request;
  request.prompt = "Wählen Sie nun das Verzeichnis aus, welches samt Unterverzeichnissen eingelesen werden soll.";
  std::string folder;
  if (!classlib::Prompts().SelectFolder(request, folder) || folder.empty()) return;
  BeginWait(kReading);
  MyFileRead(folder, *ListViewFolders, FlatProgressBarWait, [this] { return stopReading_; });
  EndWait();
}

void TFormAdd::FlatButtonDeleteClick(classlib::TComponent*) { DeleteSelectedItems(PageList()); }

void TFormAdd::ListViewKeyDown(classlib::TComponent*, WORD& Key, classlib::TShiftState) {
  if (Key == VK_DELETE) DeleteSelectedItems(PageList());
}

void TFormAdd::ListViewColumnClick(classlib::TComponent*, int Column) { SortListByColumn(PageList(), Column); }

void TFormAdd::ShowPage(controls::TVisSimplePanel* page) {
  page_ = page;
  const PageTexts& texts = page == PanelFiles ? kFilesTexts : page == PanelFolders ? kFoldersTexts : kStep1Texts;
  LabelHeader->SetCaption(texts.title);
  LabelInfo->SetCaption(texts.info);
  for (controls::TVisSimplePanel* p : {PanelStep1, PanelFiles, PanelFolders}) p->SetVisible(p == page);
  FlatButtonBack->SetVisible(page != PanelStep1);
  FlatButtonNext->SetCaption(page == PanelStep1 ? "Weiter" : "Fertig");
  FocusPage(*page, *FlatButtonNext);
}

void TFormAdd::BeginWait(const std::string& text) {
  LabelWait->SetCaption(text);
  FlatProgressBarWait->SetUserValue(0);
  page_->Hide();
  PanelWait->Show();
  EnableButtons(false);
}

void TFormAdd::EndWait() {
  PanelWait->Hide();
  page_->Show();
  EnableButtons(true);
  FocusPage(*page_, *FlatButtonNext);
  LabelWait->SetCaption(kReading);
  if (stopReading_) Close();
}

void TFormAdd::EnableButtons(bool enabled) {
  FlatButtonBack->SetEnabled(enabled);
  FlatButtonNext->SetEnabled(enabled);
}

classlib::TListView& TFormAdd::PageList() { return page_ == PanelFolders ? *ListViewFolders : *ListViewFiles; }

void TFormAdd::TakeOverFiles() {
  BeginWait("Backup Wizard Dateiliste wird übernommen.");
  if (TSingleBackupPage* page = MainWindow().SingleBackupPage()) {
    classlib::TListView& source = PageList();
    classlib::TListView& target = *page->ListViewSingleBackup;
    target.Items().BeginUpdate();
    target.Items().Clear();
    for (int i = 0; i < source.Items().Count(); ++i) CopyFileItem(*source.Items()[i], target);
    target.Items().EndUpdate();
    page->SetFilesText();
  }
  EndWait();
  Close();
}

}  // namespace app
