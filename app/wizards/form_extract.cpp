#include "app/wizards/form_extract.h"

#include "app/wizards/main_window_hooks.h"
#include "app/wizards/window_style.h"
#include "classlib/minimize_name.h"
#include "classlib/prompt.h"
#include "zip/fs.h"
#include "zip/zip_exceptions.h"

namespace app {

using classlib::Bind;
using classlib::TComponent;

namespace {

const char kChooseFolderText[] =
    "Bitte wählen Sie ein Verzeichnis aus, in welches die ausgewählte(n) Datei(en) extrahiert werden sollen.";

// The two pages take the same place above the buttons.
controls::TVisSimplePanel* NewPage(TComponent* owner, classlib::TWinControl* parent) {
  return NewFramedPanel(owner, parent, 8, 8, 454, 340);
}

// A label of fixed size whose text wraps, at the pages' left margin.
classlib::TLabel* NewTextBlock(TComponent* owner, classlib::TWinControl* parent, int top, int height) {
  classlib::TLabel* label = NewLabel(owner, parent, 16, top, "", 422);
  label->SetAutoSize(false);
  label->SetShowAccelChar(false);
  label->SetHeight(height);
  return label;
}

}  // namespace

TFormExtract::TFormExtract(TComponent* AOwner) : TForm(AOwner), unZipArchive_(std::make_unique<zip::TZipReader>()) {
  BeginLoading();
  SetWizardFrame(*this, "Restore Wizard", 470, 392);

  PanelRestore = NewPage(this, this);
  LabelWelcome = NewBoldLabel(this, PanelRestore, 16, 16, "Herzlich willkommen zum Restore Wizard von Orvanta.");
  LabelChooseFolder = NewTextBlock(this, PanelRestore, 44, 28);
  LabelChooseFolder->SetCaption(
      "Wählen Sie bitte das Verzeichnis aus, in welches die ausgewählte(n) Datei(en) extrahiert werden sollen:");
  FolderTree = Place(new classlib::TShellTreeView(this), PanelRestore, 16, 78, 422, 196);
  CheckBoxDirs = Place(new classlib::TCheckBox(this), PanelRestore, 16, 286, 300, kRadioHeight);
  CheckBoxDirs->SetCaption("Verzeichnis-Strukur beibehalten");
  CheckBoxNewer = Place(new classlib::TCheckBox(this), PanelRestore, 16, 310, 300, kRadioHeight);
  CheckBoxNewer->SetCaption("Nur neuere Dateien entpacken");

  PanelExtract = NewPage(this, this);
  PanelExtract->Hide();
  LabelTitle = NewBoldLabel(this, PanelExtract, 16, 16, "Restore");
  LabelTitle->Font().SetSize(14);
  LabelTitle->Font().SetColor(kLineColor);
  LabelCreationStep = NewTextBlock(this, PanelExtract, 56, 16);
  LabelCreationStep->Font().SetStyle(classlib::fsBold);
  LabelCreationInfo = NewTextBlock(this, PanelExtract, 80, 70);
  LabelAction = NewTextBlock(this, PanelExtract, 170, 16);
  LabelAction->SetWordWrap(false);
  FlatProgressBarActual = NewProgressBar(this, PanelExtract, 16, 190, 422, 18);
  LabelTotal = NewLabel(this, PanelExtract, 16, 228, "Gesamtfortschritt");
  FlatProgressBarArchive = NewProgressBar(this, PanelExtract, 16, 246, 422, 18);

  FlatButtonBack = NewFlatButton(this, this, 292, 358, "Zurück");
  FlatButtonNext = NewFlatButton(this, this, 382, 358, "Fertig");
  FlatButtonNext->SetDefault(true);
  ResetPages();
  EndLoading();

  OnShow = Bind(this, &TFormExtract::FormShow);
  OnClose = Bind(this, &TFormExtract::FormClose);
  OnCloseQuery = Bind(this, &TFormExtract::FormCloseQuery);
  FlatButtonNext->OnClick = Bind(this, &TFormExtract::FlatButtonNextClick);
  FlatButtonBack->OnClick = Bind(this, &TFormExtract::FlatButtonBackClick);

  zip::TZipReader& reader = *unZipArchive_;
  reader.OnStartUnZip = Bind(this, &TFormExtract::UnZipArchiveStartUnZip);
  reader.OnFilePercentDone = Bind(this, &TFormExtract::UnZipArchiveFilePercentDone);
  reader.OnTotalPercentDone = Bind(this, &TFormExtract::UnZipArchiveTotalPercentDone);
  reader.OnEndUnZip = Bind(this, &TFormExtract::UnZipArchiveEndUnZip);
  reader.OnSkippingFile = Bind(this, &TFormExtract::UnZipArchiveSkippingFile);
  reader.OnDamaged = Bind(this, &TFormExtract::UnZipArchiveDamaged);
  reader.SetDamagedMark(kDamagedMark);
  reader.OnGetNextDisk = Bind(this, &TFormExtract::UnZipArchiveGetNextDisk);
  reader.OnBadPassword = Bind(this, &TFormExtract::UnZipArchiveBadPassword);
}

TFormExtract::~TFormExtract() = default;

void TFormExtract::ShowFor(const RestoreRequest& request) {
  request_ = request;
  Show();
}

void TFormExtract::ResetPages() {
  LabelAction->SetCaption("Archiv wird vorbereitet...");
  LabelCreationStep->SetCaption("Dateien werden extrahiert...");
  LabelCreationInfo->SetCaption("Die Dateien werden entpackt. Bitte warten Sie einen Moment...");
  CheckBoxDirs->SetChecked(true);
  CheckBoxNewer->SetChecked(true);
  FlatProgressBarArchive->SetPosition(0);
  FlatProgressBarActual->SetPosition(0);
  FlatButtonBack->Show();
  FlatButtonNext->SetCaption("Fertig");
}

void TFormExtract::ShowStartPage() {
  PanelExtract->Hide();
  PanelRestore->Show();
  FlatButtonBack->Show();
}

void TFormExtract::ShowProgressPage() {
  PanelRestore->Hide();
  PanelExtract->Show();
  FocusPage(*PanelExtract, *FlatButtonNext);
}

void TFormExtract::FormShow(TComponent*) {
  MainWindow().SetEnabled(false);
  MainWindow().SetSchedulerEnabled(false);
}

void TFormExtract::FormClose(TComponent*, classlib::TCloseAction&) {
  ResetPages();
  unZipArchive_->FilesList().Clear();
  MainWindow().SetEnabled(true);
  MainWindow().SetSchedulerEnabled(true);
}

void TFormExtract::FormCloseQuery(TComponent*, bool& CanClose) { CanClose = !PanelExtract->Visible(); }

void TFormExtract::FlatButtonBackClick(TComponent*) {
  if (PanelRestore->Visible()) Close();
}

void TFormExtract::FlatButtonNextClick(TComponent*) {
  if (PanelRestore->Visible()) {
    const std::string destination = FolderTree->Path();
    // Virtual folders (the desktop's root, the computer, the network) have no path to write to.
    if (destination.empty()) {
      classlib::Prompts().Message({kChooseFolderText, "Orvanta", classlib::PromptButtons::Ok,
                                   classlib::PromptIcon::Warning, true});
      return;
    }
    return RunExtraction(destination);
  }
  if (running_) return CancelRun();
  ShowStartPage();
  Close();
}

void TFormExtract::RunExtraction(const std::string& destination) {
  // Marked before the first pump, so a click on "Abbrechen" finds the run.
  running_ = true;
  cancelled_ = false;
  outcome_ = TExtractOutcome();
  ShowProgressPage();
  FlatButtonBack->Hide();
  FlatButtonNext->SetCaption("Abbrechen");
  LabelAction->SetCaption("Dateien werden extrahiert...");
  classlib::Application().ProcessMessages();
  try {
    Extract(destination);
  } catch (const zip::EUserCanceled& e) {
    if (!cancelled_) outcome_.EndedEarly(e.what());
  } catch (const std::exception& e) {
    outcome_.EndedEarly(e.what());
  }
  running_ = false;
  // "Abbrechen" closes the window; a question the user cancelled leaves the summary.
  if (cancelled_ && !outcome_.HasEndedEarly()) {
    ShowStartPage();
    Close();
    return;
  }
  FlatButtonNext->SetCaption("Fertig");
  ShowOutcome();
}

void TFormExtract::Extract(const std::string& destination) {
  zip::TZipReader& reader = *unZipArchive_;
  // Entries are chosen by their index in the directory that was listed.
  if (StampOf(request_.archive) != request_.stamp) throw EArchiveChanged(kArchiveChangedText);
  reader.SetZipName(request_.archive);
  reader.LoadDirectory();
  if (!ListedDirectoryIsLoaded()) throw EArchiveChanged(kArchiveChangedText);
  reader.SetRecreateDirs(CheckBoxDirs->Checked());
  reader.SetDestDir(destination);
  reader.SetOverwriteMode(CheckBoxNewer->Checked() ? zip::TUZOverwriteMode::ifNewer : zip::TUZOverwriteMode::Always);
  if (request_.allEntries) {
    reader.FilesList().Add("*");
    reader.ExtractMatching();
    return;
  }
  for (int index : request_.marked) reader.SetEntryMarked(index, true);
  reader.ExtractMarked();
}

bool TFormExtract::ListedDirectoryIsLoaded() const {
  const zip::TZipReader& reader = *unZipArchive_;
  if (reader.EntryCount() != static_cast<int>(request_.listedPaths.size())) return false;
  for (int i = 0; i < reader.EntryCount(); ++i)
    if (reader.EntryPath(i) != request_.listedPaths[static_cast<size_t>(i)]) return false;
  return true;
}

void TFormExtract::ShowOutcome() {
  const ExtractTexts texts = outcome_.Texts();
  LabelCreationStep->SetCaption(texts.step);
  LabelCreationInfo->SetCaption(texts.info);
  LabelAction->SetCaption(texts.action);
  if (outcome_.Complete()) {
    FlatProgressBarArchive->SetPosition(100);
    FlatProgressBarActual->SetPosition(100);
  }
  classlib::Application().ProcessMessages();
}

void TFormExtract::CancelRun() {
  cancelled_ = true;
  unZipArchive_->RequestCancel();
}

void TFormExtract::EndRunEarly(const std::string& why) {
  outcome_.EndedEarly(why);
  CancelRun();
}

void TFormExtract::UnZipArchiveStartUnZip(int, std::string& FName, bool& Skip) {
  if (!cancelled_) {
    classlib::TBitmap probe(1, 1);
    probe.Canvas().Font().Assign(LabelAction->Font());
    LabelAction->SetCaption(classlib::MinimizeName(FName, LabelAction->Width(),
                                                   [&](const std::string& s) { return probe.Canvas().TextWidth(s); }));
    classlib::Application().ProcessMessages();
  }
  // After a cancel nothing more is written, even where the reader has no chance to stop.
  Skip = cancelled_;
}

void TFormExtract::UnZipArchiveFilePercentDone(int Percent) {
  FlatProgressBarActual->SetPosition(Percent);
  classlib::Application().ProcessMessages();
}

void TFormExtract::UnZipArchiveTotalPercentDone(int Percent) { FlatProgressBarArchive->SetPosition(Percent); }

void TFormExtract::UnZipArchiveEndUnZip(int, const std::string&) { outcome_.Extracted(); }

void TFormExtract::UnZipArchiveSkippingFile(zip::TSkipReason Reason, const std::string&, int, bool&) {
  outcome_.Skipped(Reason);
}

void TFormExtract::UnZipArchiveDamaged(int, const zip::TDamage& Damage) { outcome_.Damaged(Damage); }

void TFormExtract::UnZipArchiveGetNextDisk(int NextDisk, std::string& FName) {
  FName = NextPartName(FName, NextDisk, unZipArchive_->DiskCount());
  while (!zip::fs::FileExists(FName)) {
    const classlib::MessageRequest question{MissingPartText(NextDisk, FName), "Orvanta",
                                            classlib::PromptButtons::RetryCancel, classlib::PromptIcon::Warning, true};
    if (classlib::Prompts().Message(question) != classlib::PromptResult::Retry) {
      if (running_) {
        EndRunEarly(PartNotInsertedText(NextDisk, FName));
      }
      // The reader's signal to stop.
      FName.clear();
      return;
    }
  }
}

void TFormExtract::UnZipArchiveBadPassword(int, std::string& NewPassword) {
  // A run that is stopping gives up its entries without asking.
  if (cancelled_) return;
  std::string entered;
  if (!classlib::Prompts().InputText({"Passwort erforderlich", "Bitte geben Sie das Sicherungs-Passwort ein:", true},
                                     entered)) {
    EndRunEarly("Die Passwortabfrage wurde abgebrochen.");
    return;
  }
  // The password that just failed, entered again, gives the entry up at once.
  NewPassword = entered;
}

}  // namespace app
