#include "app/wizards/form_creation.h"

#include <windows.h>

#include <cstdint>
#include <exception>
#include <iterator>
#include <utility>
#include <vector>

#include "app/activity_log.h"
#include "app/archive_names.h"
#include "app/backup_limits.h"
#include "app/burn_folder.h"
#include "app/burn_on_cd.h"
#include "app/cd_devices.h"
#include "app/file_collection.h"
#include "app/single_backup_list.h"
#include "app/single_backup_name.h"
#include "app/single_backup_page.h"
#include "app/wizards/burn_controls.h"
#include "app/wizards/main_window_hooks.h"
#include "app/wizards/run_feedback.h"
#include "app/wizards/window_style.h"
#include "app/write_watch.h"
#include "classlib/prompt.h"
#include "classlib/text.h"
#include "zip/fs.h"
#include "zip/path_strings.h"
#include "zip/zip_exceptions.h"

namespace app {

using classlib::Bind;

namespace {

constexpr int kWidth = 480;
constexpr int kHeaderHeight = 56;
constexpr int kBoxWidth = kWidth - 2 * kMargin;
constexpr int kBoxHeight = 300;
constexpr int kBoxInnerWidth = kBoxWidth - 20;
constexpr int kButtonsTop = kMargin + kBoxHeight + kMargin;

const char kDefaultName[] = "unbenannt.zip";
constexpr int kDefaultSplitKB = 1400;

struct PageTexts {
  const char* title;
  const char* info;
};
// By Page.
const PageTexts kPageTexts[] = {
    {"Creation Wizard", "Erstellt ein einmaliges Backup der ausgewählten Dateien."},
    {"Zielort des Backups", "Schritt 1 von 3"},
    {"Backup-Bezeichnung", "Schritt 2 von 3"},
    {"Split-Backup", "Schritt 3 von 3"},
    {"CD-Recording", "Einstellungen für das Brennen des Backups"},
    {"Backup-Erstellung", "Das Backup wird momentan erstellt. Bitte warten Sie einen Moment..."},
};

controls::TVisSimplePanel* NewPage(classlib::TComponent* owner, classlib::TWinControl* body) {
  return NewFramedPanel(owner, body, kMargin, kMargin, kBoxWidth, kBoxHeight);
}

void Tell(const std::string& text, const std::string& caption = "Orvanta") {
  classlib::MessageRequest request;
  request.text = text;
  request.caption = caption;
  request.icon = classlib::PromptIcon::Warning;
  classlib::Prompts().Message(request);
}

void DeleteFiles(const std::vector<std::string>& files) {
  for (const std::string& file : files) zip::fs::Delete(file);
}

// The write stored none of the listed files.
CLASSLIB_EXCEPTION(ENothingSaved, classlib::Exception);

// The names of the parts (without folder), a run of more than two as its first and last.
std::vector<std::string> PartNames(const std::vector<std::string>& parts) {
  if (parts.size() > 2) return {parts.front() + " bis " + parts.back()};
  return parts;
}

// Where the files of a set that were not burned are kept, so the user can burn or copy them
// himself: the folder, and their names.
std::string NotBurnedText(const std::string& archive, int files) {
  const std::string folder = zip::ExtractFilePath(archive);
  std::vector<std::string> parts;
  for (int part = 1; part < files; ++part) {
    const std::string file = PartFileName(archive, part);
    if (zip::fs::FileExists(file)) parts.push_back(file.substr(folder.size()));
  }
  std::string names = zip::fs::FileExists(archive) ? archive.substr(folder.size()) : std::string();
  for (const std::string& line : PartNames(parts)) names += (names.empty() ? "" : "\r") + line;
  return "Das Backup wurde nicht vollständig auf CD gebrannt.\r\rDie noch nicht gebrannten Dateien liegen im "
         "Verzeichnis \"" + folder + "\":\r\r" + names;
}

// The parts written besides the archive, for the result page: none for an archive of one file.
std::string PartsLine(const std::string& archive, int files) {
  std::vector<std::string> parts;
  const std::size_t folder = zip::ExtractFilePath(archive).size();
  for (int part = 1; part < files; ++part) parts.push_back(PartFileName(archive, part).substr(folder));
  std::string line;
  for (const std::string& names : PartNames(parts)) line += (line.empty() ? "\rTeilarchive: " : ", ") + names;
  return line;
}

}  // namespace

TFormCreation::TFormCreation(classlib::TComponent* AOwner) : TForm(AOwner), OrvBurner(new TCDWriter(this)) {
  BeginLoading();
  SetCaption("Creation Wizard");
  SetBorderIcons(classlib::biSystemMenu);
  SetPosition(classlib::TPosition::poMainFormCenter);
  SetClientSize(kWidth, kHeaderHeight + 1 + kButtonsTop + kButtonHeight + kMargin);
  OnShow = Bind(this, &TFormCreation::FormShow);
  OnCloseQuery = Bind(this, &TFormCreation::FormCloseQuery);
  OnClose = Bind(this, &TFormCreation::FormClose);

  const THeader header = NewHeader(this, this, "", kHeaderHeight);
  PanelHeader = header.Panel;
  LabelHeader = header.Title;
  LabelInfo = NewLabel(this, PanelHeader, kHeaderTextLeft, kHeaderTextTop, "", kWidth - kHeaderTextLeft - kMargin);
  auto* body = NewPanel(this, this, kLightColor, classlib::TAlign::alClient);

  PanelWelcome = NewPage(this, body);
  NewBoldLabel(this, PanelWelcome, 10, 10, "Willkommen beim Creation Wizard");
  NewLabel(this, PanelWelcome, 10, 36,
           "Der Assistent erstellt in drei Schritten ein Backup der Dateien, die Sie auf der Seite "
           "\"Single Backup\" ausgewählt haben:",
           kBoxInnerWidth);
  NewLabel(this, PanelWelcome, 24, 80, "1.   Zielort des Backups wählen: ein Verzeichnis oder eine CD-R/RW");
  NewLabel(this, PanelWelcome, 24, 100, "2.   Bezeichnung des Backups festlegen");
  NewLabel(this, PanelWelcome, 24, 120, "3.   Backup bei Bedarf in Teilarchive splitten");
  NewLabel(this, PanelWelcome, 10, 156, "Klicken Sie auf \"Weiter\", um fortzufahren.");

  PanelStep1 = NewPage(this, body);
  NewLabel(this, PanelStep1, 10, 10, "Wählen Sie den Zielort (Festplatte, Netzlaufwerk, CD-R/RW) des Backups.");
  RadioButtonDir = NewRadio(this, PanelStep1, 10, 34, kBoxInnerWidth, "Backup in folgendem Verzeichnis erstellen");
  RadioButtonDir->SetChecked(true);
  FolderTree = Place(new classlib::TShellTreeView(this), PanelStep1, 10 + kOptionIndent, 54,
                     kBoxInnerWidth - kOptionIndent, 172);
  FolderTree->SetPath("c:\\");
  RadioButtonBurn = NewRadio(this, PanelStep1, 10, 236, kBoxInnerWidth, "Backup auf CD-R/RW brennen");
  const int comboWidth = kBoxInnerWidth - kOptionIndent - 6 - kLongCaptionButtonWidth;
  FlatComboBoxBurner = Place(new controls::TFlatComboBox(this), PanelStep1, 10 + kOptionIndent, 260, comboWidth,
                             kEditHeight);
  FlatComboBoxBurner->SetStyle(classlib::TComboBoxStyle::csDropDownList);
  FlatComboBoxBurner->SetColorBorder(kLineColor);
  FlatComboBoxBurner->SetColorArrowBackground(kLightColor);
  FlatComboBoxBurner->OnChange = Bind(this, &TFormCreation::FlatComboBoxBurnerChange);
  FlatButtonSettings =
      NewFlatButton(this, PanelStep1, 10 + kBoxInnerWidth - kLongCaptionButtonWidth, 258, "Einstellungen",
                    kLongCaptionButtonWidth);
  FlatButtonSettings->OnClick = Bind(this, &TFormCreation::FlatButtonSettingsClick);

  PanelStep2 = NewPage(this, body);
  NewLabel(this, PanelStep2, 10, 10, "Geben Sie die Bezeichnung des Backups ein:");
  FlatEditName = NewFlatEdit(this, PanelStep2, 10, 30, kBoxInnerWidth);
  FlatEditName->SetText(kDefaultName);
  FlatEditName->OnKeyPress = Bind(this, &TFormCreation::FlatEditNameKeyPress);
  NewLabel(this, PanelStep2, 10, 62,
           "Die Bezeichnung ist der Dateiname des Backups. Endet sie nicht auf \".zip\", wird diese Endung "
           "angefügt.",
           kBoxInnerWidth);

  PanelStep3Split = NewPage(this, body);
  NewLabel(this, PanelStep3Split, 10, 10,
           "Ein gesplittetes Backup wird auf mehrere Teilarchive der angegebenen Größe verteilt, etwa um es "
           "auf Disketten oder andere Wechselmedien zu kopieren.",
           kBoxInnerWidth);
  CheckBoxStep3 = NewCheckBox(this, PanelStep3Split, 10, 56, kBoxInnerWidth, "Backup splitten");
  CheckBoxStep3->OnClick = Bind(this, &TFormCreation::CheckBoxStep3Click);
  NewLabel(this, PanelStep3Split, 10 + kOptionIndent, 87, "Maximale Größe eines Teilarchivs:");
  VisSpinEditMax = Place(new controls::TVisSpinEdit(this), PanelStep3Split, 220, 83, 110, kEditHeight);
  VisSpinEditMax->SetMinValue(250);
  VisSpinEditMax->SetMaxValue(1000000);
  VisSpinEditMax->SetSuffix(" KB");
  VisSpinEditMax->SetValue(kDefaultSplitKB);
  VisSpinEditMax->SetEnabled(false);

  PanelStep3Burn = NewPage(this, body);
  NewLabel(this, PanelStep3Burn, 10, 10, "Legen Sie fest, wie das Backup auf den Datenträger geschrieben wird.",
           kBoxInnerWidth);
  NewLabel(this, PanelStep3Burn, 10, 44, "Schreibgeschwindigkeit:");
  FlatComboBoxCDRSpeed = Place(new controls::TFlatComboBox(this), PanelStep3Burn, 160, 40, 110, kEditHeight);
  FlatComboBoxCDRSpeed->SetStyle(classlib::TComboBoxStyle::csDropDownList);
  FlatComboBoxCDRSpeed->SetColorBorder(kLineColor);
  FlatComboBoxCDRSpeed->SetColorArrowBackground(kLightColor);
  CheckBoxCDRClose = NewCheckBox(this, PanelStep3Burn, 10, 76, kBoxInnerWidth, "CD schließen");
  CheckBoxCDRClose->SetChecked(true);
  CheckBoxCDRWDelete = NewCheckBox(this, PanelStep3Burn, 10, 100, kBoxInnerWidth, "CD vor Schreibvorgang löschen");
  CheckBoxCDRWDelete->SetChecked(true);

  PanelStepCreate = NewPage(this, body);
  LabelStatus = NewBoldLabel(this, PanelStepCreate, 10, 10, "Backup wird erstellt...");
  LabelAction = Place(new classlib::TLabel(this), PanelStepCreate, 10, 30, kBoxInnerWidth, 13);
  LabelAction->SetAutoSize(false);
  LabelAction->SetShowAccelChar(false);
  FlatProgressBarActual = NewProgressBar(this, PanelStepCreate, 10, 48, kBoxInnerWidth, 16);
  NewLabel(this, PanelStepCreate, 10, 74, "Gesamtfortschritt");
  FlatProgressBarArchive = NewProgressBar(this, PanelStepCreate, 10, 92, kBoxInnerWidth, 16);
  LabelOutput = NewLabel(this, PanelStepCreate, 10, 126, "", kBoxInnerWidth);
  LabelOutput->SetShowAccelChar(false);

  FlatButtonBack = NewFlatButton(this, body, kWidth - kMargin - 2 * kButtonWidth - 6, kButtonsTop, "Zurück");
  FlatButtonBack->OnClick = Bind(this, &TFormCreation::FlatButtonBackClick);
  FlatButtonNext = NewFlatButton(this, body, kWidth - kMargin - kButtonWidth, kButtonsTop, "Weiter");
  FlatButtonNext->SetDefault(true);
  FlatButtonNext->OnClick = Bind(this, &TFormCreation::FlatButtonNextClick);
  EndLoading();
  ShowPage(Page::Welcome);

  ZipArchive.SetRecurse(true);
  ZipArchive.SetStorePaths(true);
  ZipArchive.SetAddDirEntriesOnRecurse(true);
  ZipArchive.SetPackLevel(MainWindow().PackLevel());
  ZipArchive.SetTempPath(MainWindow().TempFolder());
  ZipArchive.OnStartZip = Bind(this, &TFormCreation::ZipArchiveStartZip);
  fileStatus_ = std::make_unique<TFileStatusLine>(*LabelAction);
  ConnectRunDisplay(ZipArchive, *OrvBurner, *fileStatus_, *FlatProgressBarActual, *FlatProgressBarArchive);
}

// ---- showing and closing

void TFormCreation::FormShow(classlib::TComponent*) {
  MainWindow().SetSchedulerEnabled(false);
  MainWindow().SetEnabled(false);
  ShowPage(Page::Welcome);
  // The writers of this moment: a drive may have come or gone since the last time.
  FlatComboBoxBurner->Items().Clear();
  for (const std::string& entry : CDWriterEntries(*OrvBurner)) FlatComboBoxBurner->Items().Add(entry);
  FlatComboBoxBurner->SetItemIndex(0);
  SelectBurner();
}

void TFormCreation::FormCloseQuery(classlib::TComponent*, bool& CanClose) {
  if (!creating_) return;
  RequestCancel();
  CanClose = false;
}

void TFormCreation::FormClose(classlib::TComponent*, classlib::TCloseAction&) {
  ShowPage(Page::Welcome);
  FolderTree->SetPath("c:\\");
  CheckBoxStep3->SetChecked(false);
  VisSpinEditMax->SetValue(kDefaultSplitKB);
  FlatEditName->SetText(kDefaultName);
  MainWindow().StopTrayAnimation();
  MainWindow().SetSchedulerEnabled(true);
  MainWindow().SetEnabled(true);
}

void TFormCreation::ShowPage(Page page) {
  page_ = page;
  controls::TVisSimplePanel* const pages[] = {PanelWelcome,    PanelStep1,     PanelStep2,
                                              PanelStep3Split, PanelStep3Burn, PanelStepCreate};
  for (int i = 0; i < static_cast<int>(std::size(pages)); ++i) pages[i]->SetVisible(i == static_cast<int>(page));
  const PageTexts& texts = kPageTexts[static_cast<int>(page)];
  LabelHeader->SetCaption(texts.title);
  LabelInfo->SetCaption(texts.info);
  FlatButtonBack->SetCaption(page == Page::Welcome ? "Abbrechen" : "Zurück");
  FlatButtonBack->SetVisible(page != Page::Create);
  FlatButtonNext->SetCaption(page == Page::Split ? "Fertig" : "Weiter");
  FocusPage(*pages[static_cast<int>(page)], *FlatButtonNext);
}

// ---- the buttons

void TFormCreation::FlatButtonNextClick(classlib::TComponent*) {
  if (creating_) {
    RequestCancel();
    return;
  }
  switch (page_) {
    case Page::Welcome: ShowPage(Page::Step1); break;
    case Page::Step1:
      if (DestinationChosen()) ShowPage(Page::Step2);
      break;
    case Page::Step2: ShowPage(Page::Split); break;
    case Page::Split: CreateBackup(); break;
    case Page::Burn: ShowPage(Page::Step1); break;
    case Page::Create: Close(); break;
  }
}

void TFormCreation::FlatButtonBackClick(classlib::TComponent*) {
  switch (page_) {
    case Page::Welcome: Close(); break;
    case Page::Step1: ShowPage(Page::Welcome); break;
    case Page::Step2: ShowPage(Page::Step1); break;
    case Page::Split: ShowPage(Page::Step2); break;
    case Page::Burn: ShowPage(Page::Step1); break;
    case Page::Create: break;
  }
}

bool TFormCreation::DestinationChosen() {
  if (RadioButtonBurn->Checked() || !FolderTree->Path().empty()) return true;
  Tell("Bitte wählen Sie ein Verzeichnis als Zielort des Backups aus.\r\r"
       "Nur Verzeichnisse auf einem Laufwerk oder im Netzwerk können ein Backup aufnehmen.");
  return false;
}

void TFormCreation::FlatButtonSettingsClick(classlib::TComponent*) {
  CheckBoxCDRWDelete->SetEnabled(OrvBurner->IsDiscRewritable());
  ShowPage(Page::Burn);
}

void TFormCreation::FlatComboBoxBurnerChange(classlib::TComponent*) { SelectBurner(); }

void TFormCreation::SelectBurner() {
  FlatComboBoxCDRSpeed->Items().Clear();
  const bool device = SelectCDDevice(*OrvBurner, DriveLetterOfEntry(FlatComboBoxBurner->Text()));
  if (device)
    for (const std::string& speed : CDSpeedEntries(OrvBurner->GetMaxWriteSpeed()))
      FlatComboBoxCDRSpeed->Items().Add(speed);
  FlatComboBoxCDRSpeed->SetItemIndex(device ? 0 : -1);
  RadioButtonBurn->SetEnabled(device);
  FlatComboBoxBurner->SetEnabled(device);
  FlatButtonSettings->SetEnabled(device);
  if (!device) RadioButtonDir->SetChecked(true);
}

void TFormCreation::FlatEditNameKeyPress(classlib::TComponent*, wchar_t& Key) {
  if (IsRefusedNameKey(Key)) Key = 0;
}

void TFormCreation::CheckBoxStep3Click(classlib::TComponent*) { VisSpinEditMax->SetEnabled(CheckBoxStep3->Checked()); }

// ---- creating

void TFormCreation::RequestCancel() {
  if (!creating_) return;
  cancelRequested_ = true;
  ZipArchive.RequestCancel();
  OrvBurner->Tag = 0;
  OrvBurner->AbortWriting();
}

void TFormCreation::CancelForSessionEnd() {
  if (!creating_) return;
  RequestCancel();
  if (!endLogged_) LogRunEnd(RunEnd::Cancelled);
  endLogged_ = true;
}

void TFormCreation::CreateBackup() {
  const std::string name = SingleBackupFileName(FlatEditName->Text());
  const std::string problem = FileNameProblem(name);
  if (!problem.empty()) {
    Tell(problem);
    return;
  }
  const bool burning = RadioButtonBurn->Checked();

  creating_ = true;
  writtenFiles_ = 1;
  cancelRequested_ = false;
  endLogged_ = false;
  MainWindow().SetBackupRunning(true);
  MainWindow().SetEnabled(false);
  MainWindow().StartTrayAnimation();
  ShowPage(Page::Create);
  FlatButtonNext->SetCaption("Abbrechen");
  LabelStatus->SetCaption("Backup wird erstellt...");
  LabelAction->SetCaption("Backup wird vorbereitet...");
  fileStatus_->Clear();
  LabelOutput->SetCaption("");
  FlatProgressBarActual->SetUserValue(0);
  FlatProgressBarArchive->SetUserValue(0);
  LogSingleBackupStart();

  std::string detail;
  Outcome outcome = Outcome::Failed;
  std::string burnFolder;
  try {
    if (burning) burnFolder = CreateBurnFolder(zip::WithTrailingBackslash(MainWindow().TempFolder()));
    outcome = WriteBackup(burning ? burnFolder : zip::WithTrailingBackslash(FolderTree->Path()), name, burning, detail);
  } catch (...) {
    detail = classlib::ExceptionMessage(std::current_exception());
  }
  // What a burn did not burn stays in its folder.
  if (!burnFolder.empty()) RemoveBurnFolder(burnFolder);
  EndCreation(outcome, detail);
}

TFormCreation::Outcome TFormCreation::WriteBackup(const std::string& destination, const std::string& name,
                                                  bool burning, std::string& detail) {
  const std::string target = destination + name;
  ArchiveSet written;
  try {
    written = WriteAside(target);
    writtenFiles_ = written.Files;
  } catch (const zip::EUserCanceled&) {
    return Outcome::Cancelled;
  } catch (const ENothingSaved& e) {
    detail = e.what();
    return Outcome::NothingSaved;
  }
  if (cancelRequested_) {
    DeleteFiles(ArchiveSetFiles(written));
    return Outcome::Cancelled;
  }
  if (ArchiveSetSize(written) > kMaxBackupBytes) {
    DeleteFiles(ArchiveSetFiles(written));
    Tell("Das erstellte Backup überschreitet das\rmaximale Dateivolumen von 4 GB!", "Dateivolumen überschritten");
    return Outcome::Cancelled;
  }
  const PlacementResult placed = ReplaceArchiveSet(written, target);
  if (!placed.Ok) {
    DeleteFiles(ArchiveSetFiles(written));
    detail = placed.Error;
    return Outcome::Failed;
  }
  for (const std::string& file : placed.NotDeleted)
    LogError("Die alte Datei \"" + file + "\" konnte nicht gelöscht werden.");
  if (burning) return BurnBackup(target, written.Files, name, detail);
  if (!zip::fs::FileExists(target)) return Outcome::Failed;
  detail = target;
  return Outcome::Completed;
}

ArchiveSet TFormCreation::WriteAside(const std::string& target) {
  const std::string name = target.substr(zip::ExtractFilePath(target).size());
  const auto ours = [&](const std::string& stem) {
    return classlib::SameTextAscii(stem, WithoutZipExtension(name));
  };
  RepairStoppedPlacements(zip::ExtractFilePath(target), ours);
  RemoveLeftoverAsideFiles(zip::ExtractFilePath(target), ours);
  const std::string aside = AsideArchiveName(target);
  LabelAction->SetCaption("Dateien werden komprimiert...");
  ZipArchive.SetZipName(aside);
  classlib::TStringList listed;
  if (TSingleBackupPage* page = MainWindow().SingleBackupPage())
    for (const std::string& file : ListedFiles(*page->ListViewSingleBackup)) listed.Add(file);
  // A file put on the list again, alone and with its folder, goes in once.
  const classlib::TStringList files = EachFileOnce(listed);
  // Known now, before a file is opened or the archive begun.
  const std::string tooMany = TooManyFilesProblem(files.Count());
  if (!tooMany.empty()) throw classlib::Exception(tooMany);
  ZipArchive.SetFilesList(files);
  const bool split = CheckBoxStep3->Checked();
  if (split) {
    VisSpinEditMax->SetValue(VisSpinEditMax->Value());  // a typed size outside the range is taken at its limit
    const std::int32_t partSize = VisSpinEditMax->Value() * 1024;
    ZipArchive.MultiZipInfo().FirstBlockSize = partSize;
    ZipArchive.MultiZipInfo().BlockSize = partSize;
  }
  ZipArchive.SetMultiMode(split ? zip::TMultiMode::mmBlocks : zip::TMultiMode::mmNone);
  ZipArchive.SetDiskCount(0);
  const WriteWatch watch(ZipArchive);
  const int entries = ZipArchive.ArchiveFiles();
  ArchiveSet written{aside, ZipArchive.DiskCount()};
  // A split archive's last part keeps its number until it takes the archive's name.
  if (written.Files > 1 && !zip::fs::Rename(ZipArchive.ZipName(), aside)) {
    DeleteFiles(ArchiveSetFiles(written));
    zip::fs::Delete(ZipArchive.ZipName());
    throw classlib::EFCreateError("Die Datei \"" + aside + "\" konnte nicht erstellt werden.");
  }
  ZipArchive.ClearArchive();
  if (entries == 0) {
    DeleteFiles(ArchiveSetFiles(written));
    throw ENothingSaved(watch.NothingSaved(files));
  }
  return written;
}

TFormCreation::Outcome TFormCreation::BurnBackup(const std::string& archive, int files, const std::string& name,
                                                 std::string& detail) {
  BurnSettings settings;
  settings.DriveLetter = DriveLetterOfEntry(FlatComboBoxBurner->Text());
  settings.Erase = CheckBoxCDRWDelete->Checked();
  settings.Speed = SpeedOfEntry(FlatComboBoxCDRSpeed->Text());
  settings.Eject = true;
  settings.FinalizeRewritable = CheckBoxCDRClose->Checked();
  settings.FinalizeWriteOnce = CheckBoxCDRClose->Checked();
  TBurnControls controls(LabelAction, FlatProgressBarArchive, FlatProgressBarActual,
                         [this] { return cancelRequested_; });
  const BurnReport report = BurnArchiveSet(*OrvBurner, settings, controls, archive, files);
  if (!report.Burned()) {
    // At the end of the session nobody reads a message any more.
    if (!endLogged_) {
      LogError(report.Text);
      Tell(NotBurnedText(archive, files));
    }
    return Outcome::Cancelled;
  }
  detail = settings.DriveLetter + ":\\" + name;
  return Outcome::Completed;
}

void TFormCreation::EndCreation(Outcome outcome, const std::string& detail) {
  // After the end of the session cancelled it, its end is in the log already.
  const bool log = !std::exchange(endLogged_, true);
  creating_ = false;
  MainWindow().SetBackupRunning(false);
  MainWindow().StopTrayAnimation();
  switch (outcome) {
    case Outcome::Completed:
      if (log) LogRunEnd(RunEnd::Completed);
      LabelStatus->SetCaption("Backup erfolgreich erstellt.");
      LabelAction->SetCaption("Backup erfolgreich erstellt.");
      LabelInfo->SetCaption("Das Backup wurde erfolgreich erstellt.");
      LabelOutput->SetCaption("Backup-Verzeichnis:\r" + ShortenedToLabel(*LabelOutput, detail) +
                              PartsLine(detail, writtenFiles_));
      FlatProgressBarActual->SetUserValue(FlatProgressBarActual->MaxValue());
      FlatProgressBarArchive->SetUserValue(FlatProgressBarArchive->MaxValue());
      break;
    case Outcome::Failed:
    case Outcome::NothingSaved:
      if (log && !detail.empty()) LogError(detail);
      if (log) LogRunEnd(RunEnd::Failed);
      LabelStatus->SetCaption("Backup nicht erstellt.");
      LabelAction->SetCaption("Backup nicht erstellt.");
      LabelInfo->SetCaption(outcome == Outcome::NothingSaved
                                ? "Das Backup wurde nicht erstellt, da keine der Dateien gesichert werden konnte."
                                : "Das Backup konnte nicht erstellt werden. Möglicherweise ist das Zielverzeichnis "
                                  "schreibgeschützt.");
      LabelOutput->SetCaption(detail);
      break;
    case Outcome::Cancelled:
      if (log) LogRunEnd(RunEnd::Cancelled);
      cancelRequested_ = false;
      Close();
      return;
  }
  cancelRequested_ = false;
  FlatButtonNext->SetCaption("Schließen");
}

// ---- the zip writer

void TFormCreation::ZipArchiveStartZip(const std::string& FName, zip::TZipHeaderInfo&, bool&) {
  // The writer forgets a request made before it started; this one must still stop it.
  if (cancelRequested_) ZipArchive.RequestCancel();
  fileStatus_->StartFile(FName);
}

}  // namespace app
