#include "app/restore_page.h"

#include "app/list_sort.h"
#include "app/paced_pump.h"
#include "app/wizards/form_extract.h"
#include "app/wizards/window_style.h"
#include "classlib/date_format.h"
#include "classlib/forms.h"
#include "classlib/prompt.h"
#include "zip/zip_exceptions.h"

namespace app {

using classlib::Bind;
using classlib::TComponent;

TRestorePage::TRestorePage(TComponent* AOwner) : TVisSimplePanel(AOwner) {
  BeginLoading();
  SetColor(kLightColor);
  Bevel().SetBorderColor(kLineColor);
  Bevel().SetBorderWidth(1);

  // Resize places the controls in the size the host gives the page.
  FlatButtonOpen = NewFlatButton(this, this, 0, 0, "Backup öffnen");
  ListViewRestore = new classlib::TListView(this);
  ListViewRestore->SetParent(this);
  ListViewRestore->SetColor(kWhiteColor);
  ListViewRestore->SetMultiSelect(true);
  // A backup may hold tens of thousands of entries.
  ListViewRestore->SetOwnerData(true);
  ListViewRestore->AddColumn("Datei", 180);
  ListViewRestore->AddColumn("Verzeichnis", 190);
  ListViewRestore->AddColumn("Größe", 80, classlib::TAlignment::taRightJustify);
  ListViewRestore->AddColumn("Geändert", 100);
  LabelRestore = NewLabel(this, this, 0, 0, kRestoreLabelEmpty);
  FlatProgressBarRestore = NewProgressBar(this, this, 0, 0, 0, 0);
  FlatProgressBarRestore->Hide();
  FlatButtonExtract = NewFlatButton(this, this, 0, 0, "Entpacken");
  FlatButtonExtractAll = NewFlatButton(this, this, 0, 0, "Alle entpacken");
  SetBounds(0, 0, 584, 330);
  EndLoading();

  FlatButtonOpen->OnClick = Bind(this, &TRestorePage::FlatButtonOpenClick);
  FlatButtonExtract->OnClick = Bind(this, &TRestorePage::FlatButtonExtractClick);
  FlatButtonExtractAll->OnClick = Bind(this, &TRestorePage::FlatButtonExtractAllClick);
  ListViewRestore->OnColumnClick = Bind(this, &TRestorePage::ListViewRestoreColumnClick);
}

void TRestorePage::Resize() {
  TVisSimplePanel::Resize();
  const int w = ClientWidth(), h = ClientHeight();
  const int button = 110;
  FlatButtonOpen->SetBounds(kMargin, kMargin, button, kButtonHeight);
  const int listTop = 2 * kMargin + kButtonHeight, bottomRow = h - kMargin - kButtonHeight;
  ListViewRestore->SetBounds(kMargin, listTop, w - 2 * kMargin, bottomRow - 30 - listTop);
  LabelRestore->SetBounds(kMargin, bottomRow - 22, w - 2 * kMargin, 16);
  FlatProgressBarRestore->SetBounds(kMargin, bottomRow + 4, w - 4 * kMargin - 2 * button, 18);
  FlatButtonExtract->SetBounds(w - 2 * kMargin - 2 * button, bottomRow, button, kButtonHeight);
  FlatButtonExtractAll->SetBounds(w - kMargin - button, bottomRow, button, kButtonHeight);
}

void TRestorePage::SetExtractForm(TFormExtract* form) {
  if (extractForm_) extractForm_->RemoveFreeNotification(this);
  extractForm_ = form;
  if (form) form->FreeNotification(this);
}

void TRestorePage::Notification(TComponent* AComponent, classlib::TOperation Operation) {
  TVisSimplePanel::Notification(AComponent, Operation);
  if (Operation == classlib::TOperation::opRemove && AComponent == extractForm_) extractForm_ = nullptr;
}

bool TRestorePage::Busy() const { return listing_ || !extractForm_ || extractForm_->Visible(); }

void TRestorePage::ClearListing() {
  ListViewRestore->Items().Clear();
  LabelRestore->SetCaption(kRestoreLabelEmpty);
  openedArchive_.clear();
  openedStamp_ = FileStamp();
  listedPaths_.clear();
}

void TRestorePage::OpenBackup(const std::string& Path) {
  if (Busy()) return;
  ClearListing();
  listing_ = true;
  FlatProgressBarRestore->SetVisible(true);
  ListViewRestore->Items().BeginUpdate();
  auto endListing = [this] {
    ListViewRestore->Items().EndUpdate();
    FlatProgressBarRestore->Hide();
    listing_ = false;
  };
  try {
    ListEntries(Path);
  } catch (const zip::EUserCanceled&) {
    // The user gave up asking for a part: nothing to report.
    ClearListing();
  } catch (...) {
    ClearListing();
    endListing();
    throw;
  }
  endListing();
}

void TRestorePage::ListEntries(const std::string& Path) {
  zip::TZipReader& reader = extractForm_->UnZipArchive();
  // Taken before the directory is read: a change after it shows when the files are extracted.
  const FileStamp stamp = StampOf(Path);
  reader.SetZipName(Path);
  reader.LoadDirectory();
  openedArchive_ = Path;
  openedStamp_ = stamp;
  const int count = reader.EntryCount();
  FlatProgressBarRestore->SetMaxValue(count);
  std::int64_t unpackedKB = 0, packedKB = 0;
  for (int i = 0; i < count; ++i) {
    const std::string name = reader.EntryName(i), path = reader.EntryPath(i);
    listedPaths_.push_back(path);
    // Folder entries are no files to restore; the files below them bring their folders along.
    if (!name.empty()) {
      const std::int64_t kb = ListedKB(reader.EntryUnpackedSize(i));
      classlib::TListItem* item = ListViewRestore->Items().Add();
      item->SetCaption(name);
      item->AddSubItem(path.substr(0, path.size() - name.size()));
      item->AddSubItem(KBText(kb));
      item->AddSubItem(classlib::DateTimeToStr(reader.EntryDate(i)));
      item->Data = i;
      unpackedKB += kb;
      packedKB += ListedKB(reader.EntryPackedSize(i));
    }
    FlatProgressBarRestore->SetUserValue(i);
    ProcessMessagesPaced();
  }
  LabelRestore->SetCaption(RestoreLabelText(ListViewRestore->Items().Count(), unpackedKB, packedKB));
}

void TRestorePage::FlatButtonOpenClick(TComponent*) {
  if (Busy()) return;
  std::string path;
  if (classlib::Prompts().OpenFile({"ZIP-Datei öffnen", "ZIP-Dateien|*.zip", "", "*.zip"}, path)) OpenBackup(path);
}

void TRestorePage::FlatButtonExtractClick(TComponent*) {
  if (!Busy() && ListViewRestore->SelCount() > 0) ShowExtraction(false);
}

void TRestorePage::FlatButtonExtractAllClick(TComponent*) {
  if (!Busy() && ListViewRestore->Items().Count() > 0) ShowExtraction(true);
}

void TRestorePage::ShowExtraction(bool allEntries) {
  RestoreRequest request{openedArchive_, openedStamp_, listedPaths_, allEntries, {}};
  for (const classlib::TListItem* item : ListViewRestore->SelectedItems())
    request.marked.push_back(static_cast<int>(item->Data));
  extractAllEntries_ = allEntries;
  extractForm_->ShowFor(request);
}

void TRestorePage::ListViewRestoreColumnClick(TComponent*, int Column) { SortListByColumn(*ListViewRestore, Column); }

}  // namespace app
