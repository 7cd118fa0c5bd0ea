// "Restore Wizard": the folder and the options on the start page, then the extraction of the listed
// backup's entries with its progress, the questions for missing parts and passwords, and a result
// that says what was and what was not extracted.
#pragma once

#include <memory>
#include <string>

#include "app/restore_listing.h"
#include "app/wizards/extract_outcome.h"
#include "classlib/forms.h"
#include "classlib/shell_tree.h"
#include "classlib/stdctrls.h"
#include "controls/flat/flat_button.h"
#include "controls/panels/vis_progress_fill.h"
#include "controls/panels/vis_simple_panel.h"
#include "zip/zip_reader.h"

namespace app {

class TFormExtract : public classlib::TForm {
 public:
  explicit TFormExtract(classlib::TComponent* AOwner);
  ~TFormExtract() override;

  // Lists backups for the Restore page and extracts them here.
  zip::TZipReader& UnZipArchive() { return *unZipArchive_; }
  // Shows the start page for the entries of request.
  void ShowFor(const RestoreRequest& request);
  // An extraction is under way.
  bool Running() const { return running_; }

  controls::TVisSimplePanel* PanelRestore;
  classlib::TLabel* LabelWelcome;
  classlib::TLabel* LabelChooseFolder;
  classlib::TShellTreeView* FolderTree;
  classlib::TCheckBox* CheckBoxDirs;
  classlib::TCheckBox* CheckBoxNewer;

  controls::TVisSimplePanel* PanelExtract;
  classlib::TLabel* LabelTitle;
  classlib::TLabel* LabelCreationStep;
  classlib::TLabel* LabelCreationInfo;
  classlib::TLabel* LabelAction;
  controls::TVisProgressFill* FlatProgressBarActual;
  classlib::TLabel* LabelTotal;
  controls::TVisProgressFill* FlatProgressBarArchive;

  controls::TFlatButton* FlatButtonBack;
  controls::TFlatButton* FlatButtonNext;

 private:
  void FormShow(classlib::TComponent* Sender);
  void FormClose(classlib::TComponent* Sender, classlib::TCloseAction& Action);
  void FormCloseQuery(classlib::TComponent* Sender, bool& CanClose);
  void FlatButtonNextClick(classlib::TComponent* Sender);
  void FlatButtonBackClick(classlib::TComponent* Sender);

  void UnZipArchiveStartUnZip(int FileIndex, std::string& FName, bool& Skip);
  void UnZipArchiveFilePercentDone(int Percent);
  void UnZipArchiveTotalPercentDone(int Percent);
  void UnZipArchiveEndUnZip(int FileIndex, const std::string& FName);
  void UnZipArchiveSkippingFile(zip::TSkipReason Reason, const std::string& FName, int FileIndex, bool& Retry);
  void UnZipArchiveDamaged(int FileIndex, const zip::TDamage& Damage);
  void UnZipArchiveGetNextDisk(int NextDisk, std::string& FName);
  void UnZipArchiveBadPassword(int FileIndex, std::string& NewPassword);

  // The texts, options and bars a fresh start shows.
  void ResetPages();
  void ShowStartPage();
  void ShowProgressPage();
  void RunExtraction(const std::string& destination);
  // Raises what ends the run early; a cancel ends it with EUserCanceled or by skipping the rest.
  void Extract(const std::string& destination);
  bool ListedDirectoryIsLoaded() const;
  void ShowOutcome();
  // The reader stops at its next chance; the window closes once it has.
  void CancelRun();
  // The same for a question the user cancelled, but the window then shows the summary.
  void EndRunEarly(const std::string& why);

  std::unique_ptr<zip::TZipReader> unZipArchive_;
  RestoreRequest request_;
  TExtractOutcome outcome_;
  bool running_ = false;
  bool cancelled_ = false;
};

}  // namespace app
