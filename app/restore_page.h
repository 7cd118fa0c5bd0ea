// The Restore page of the main window: opens a backup, lists its files with sizes and dates, and
// hands all of them or the marked ones to the extraction window. Its host creates it, sizes it and
// gives it the extraction window, whose reader it lists with.
#pragma once

#include <string>
#include <vector>

#include "app/restore_listing.h"
#include "classlib/comctrls.h"
#include "classlib/stdctrls.h"
#include "controls/flat/flat_button.h"
#include "controls/panels/vis_progress_fill.h"
#include "controls/panels/vis_simple_panel.h"

namespace app {

class TFormExtract;

class TRestorePage : public controls::TVisSimplePanel {
 public:
  explicit TRestorePage(classlib::TComponent* AOwner);

  TFormExtract* ExtractForm() const { return extractForm_; }
  void SetExtractForm(TFormExtract* form);

  // Lists the backup at Path; the reader's errors reach the caller with the list empty.
  void OpenBackup(const std::string& Path);
  // The backup listed now; empty when none is.
  const std::string& OpenedArchive() const { return openedArchive_; }
  // The last extraction asked for all entries ("Alle entpacken") rather than the marked ones.
  bool ExtractAllEntries() const { return extractAllEntries_; }

  controls::TFlatButton* FlatButtonOpen;
  classlib::TListView* ListViewRestore;
  classlib::TLabel* LabelRestore;
  controls::TVisProgressFill* FlatProgressBarRestore;
  controls::TFlatButton* FlatButtonExtract;
  controls::TFlatButton* FlatButtonExtractAll;

 protected:
  void Resize() override;
  void Notification(classlib::TComponent* AComponent, classlib::TOperation Operation) override;

 private:
  void FlatButtonOpenClick(classlib::TComponent* Sender);
  void FlatButtonExtractClick(classlib::TComponent* Sender);
  void FlatButtonExtractAllClick(classlib::TComponent* Sender);
  void ListViewRestoreColumnClick(classlib::TComponent* Sender, int Column);

  // A listing or an extraction is under way: the page starts neither another listing nor another
  // extraction.
  bool Busy() const;
  void ClearListing();
  // Reads the directory of Path into the list and the label.
  void ListEntries(const std::string& Path);
  void ShowExtraction(bool allEntries);

  TFormExtract* extractForm_ = nullptr;
  std::string openedArchive_;
  FileStamp openedStamp_;
  // EntryPath of every entry of the listed directory, by index.
  std::vector<std::string> listedPaths_;
  bool extractAllEntries_ = false;
  bool listing_ = false;
};

}  // namespace app
