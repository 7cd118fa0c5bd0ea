#include "app/backup_run.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <set>
#include <unordered_map>
#include <vector>

#include "app/activity_log.h"
#include "app/archive_names.h"
#include "app/backup_definition.h"
#include "app/backup_limits.h"
#include "app/burn_folder.h"
#include "app/burn_on_cd.h"
#include "app/cd_devices.h"
#include "app/definition_name.h"
#include "app/destination_clash.h"
#include "app/file_collection.h"
#include "app/file_helpers.h"
#include "app/file_state_list.h"
#include "app/generations.h"
#include "app/partial_filter.h"
#include "app/split_media.h"
#include "app/system_actions.h"
#include "app/wizards/burn_controls.h"
#include "app/wizards/main_window_hooks.h"
#include "app/write_watch.h"
#include "classlib/clock.h"
#include "classlib/date_format.h"
#include "classlib/exceptions.h"
#include "classlib/number_format.h"
#include "classlib/prompt.h"
#include "classlib/wide.h"
#include "zip/fs.h"
#include "zip/path_strings.h"

namespace app {
namespace {

namespace fs = zip::fs;

bool AbsoluteFolder(const std::string& folder) {
  const bool drive = folder.size() >= 3 && folder[1] == ':' && folder[2] == '\\';
  const bool network = folder.size() >= 3 && folder[0] == '\\' && folder[1] == '\\';
  return (drive || network) && fs::DirectoryExists(folder);
}

const char kNoPasswordText[] =
    "Das Backup soll mit einem Passwort geschützt werden, es ist aber kein Passwort gespeichert. Bitte geben Sie im "
    "Assistenten ein Passwort ein.";

void ShowFailure(const std::string& job, const std::string& reason) {
  classlib::MessageRequest request;
  request.text = RunFailureText(job, reason);
  request.caption = "Orvanta";
  request.icon = classlib::PromptIcon::Error;
  classlib::Prompts().Message(request);
}

// One run of one job; the working state of the steps below.
class Run {
 public:
  Run(TFormProgress& progress, TFormPopup& popup, const std::string& job)
      : progress_(progress), popup_(popup), job_(job), zip_(progress.ZipArchive) {}

  void Execute() {
    try {
      Carry();
    } catch (const zip::EUserCanceled&) {
      Cancel();
    } catch (const std::exception& e) {
      Fail(e.what());
    } catch (...) {
      Fail("Unbekannter Fehler.");
    }
  }

 private:
  void Carry() {
    Reset();
    // A name from the registry may reach outside the destination or name a device.
    const std::string nameProblem = DefinitionNameProblem(job_);
    if (!nameProblem.empty()) throw classlib::Exception(nameProblem);
    const std::optional<BackupDefinition> def = ReadBackupDefinition(job_);
    if (!def) return;
    def_ = *def;
    if (def_.UsePassword && def_.Password.empty()) throw classlib::Exception(kNoPasswordText);
    PresetChoices();
    if (def_.User && !Confirmed()) return;
    if (!def_.User) ChooseUnattended();
    StartRunning();
    SetPassword();
    SetSplitting();
    ChoosePartialMode();
    name_ = ArchiveName(def_, partial_, start_);
    destination_ = zip::WithTrailingBackslash(destination_);
    if (!AbsoluteFolder(destination_))
      throw classlib::EFCreateError("Das Zielverzeichnis \"" + destination_ + "\" ist nicht vorhanden.");
    if (const std::optional<DestinationClash> clash = FindDestinationClash(def_, destination_))
      throw classlib::Exception(RunClashText(*clash, destination_));
    RepairStoppedPlacements(destination_, [this](const std::string& stem) {
      return IsRunArchiveStem(def_, stem) || IsKeptArchiveStem(def_, stem);
    });
    RestoreDroppedSets(destination_, def_);
    RemoveLeftoverAsideFiles(destination_, [this](const std::string& stem) { return IsRunArchiveStem(def_, stem); });
    if (def_.UseDateTime) TakeFreeTimeName();

    CollectFiles();
    if (progress_.CancelRequested() || zipList_.Count() == 0) return Cancel();
    // Known now, before a file is opened or the archive started.
    const std::string tooMany = TooManyFilesProblem(zipList_.Count());
    if (!tooMany.empty()) throw classlib::Exception(tooMany);
    if (burning_) destination_ = burnFolder_ = CreateBurnFolder(destination_);
    Zip();
    // The writer looks at the window only now and then: a click that came after its last look
    // still cancels.
    classlib::Application().ProcessMessages();
    if (progress_.CancelRequested()) return Cancel();
    if (TooLarge()) return Cancel();
    PlaceArchive();
    // A backup not burned is no backup: no file states, no results; the window's cancel ends the
    // run as cancelled, anything else ends it as usual.
    if (burning_ && !Burn()) return progress_.CancelRequested() ? Cancel() : End();
    if (!partial_) SaveFileStates();
    WriteResults();
    End();
  }

  void Reset() {
    start_ = classlib::Now();
    zip_.FilesList().Clear();
    progress_.FlatProgressBarActual->SetUserValue(0);
    progress_.FlatProgressBarArchive->SetUserValue(0);
  }

  // The choices of the confirmation come from this job alone, also when it does not ask: a
  // choice left from another job's confirmation never acts on this one.
  void PresetChoices() {
    const AfterBackupAction after = def_.AfterBackup.value_or(AfterBackupAction::None);
    popup_.FlatEditFileStart->SetText(def_.AfterBackup ? def_.AfterFile : std::string());
    (after == AfterBackupAction::OpenFile ? popup_.RadioButtonFileStart : popup_.RadioButtonNoAction)
        ->SetChecked(true);
    (def_.FullBackup.value_or(true) ? popup_.RadioButtonFull : popup_.RadioButtonPart)->SetChecked(true);
  }

  // Asks with the confirmation; false, with the run's block closed, when the user cancels.
  bool Confirmed() {
    popup_.LabelInfo->SetCaption("Sicherung \"" + job_ +
                                 "\" hat das Sicherungs-Intervall erreicht. Wie möchten Sie fortfahren?");
    if (fs::DirectoryExists(def_.Create)) popup_.FolderTree->SetPath(def_.Create);
    controls::TFlatComboBox& burners = *popup_.FlatComboBoxBurner;
    burners.Items().Clear();
    for (const std::string& entry : CDWriterEntries(*progress_.OrvBurner)) burners.Items().Add(entry);
    burners.SetItemIndex(0);
    const bool noBurner = burners.Items()[0] == kNoCDWriter;
    popup_.RadioButtonBurn->SetEnabled(!noBurner);
    const int stored = def_.RecDrive.empty() ? -1 : burners.Items().IndexOf(def_.RecDrive);
    if (stored >= 0) burners.SetItemIndex(stored);
    (def_.Recording && !noBurner ? popup_.RadioButtonBurn : popup_.RadioButtonDir)->SetChecked(true);

    MainWindow().SetEnabled(false);
    if (AskUser(popup_) != TChoiceForm::kOK) {
      LogRunEnd(RunEnd::Cancelled);
      return false;
    }
    burning_ = popup_.RadioButtonBurn->Checked();
    if (burning_) {
      destination_ = MainWindow().TempFolder();
      driveLetter_ = DriveLetterOfEntry(burners.Text());
    } else {
      destination_ = popup_.FolderTree->Path();
    }
    return true;
  }

  // A stored entry that names no drive ("Kein CD-Recorder verfügbar!") still burns: the burn
  // then tells that there is no recorder, instead of the backup going elsewhere unasked.
  void ChooseUnattended() {
    burning_ = def_.Recording && !def_.RecDrive.empty();
    driveLetter_ = burning_ ? DriveLetterOfEntry(def_.RecDrive) : std::string();
    destination_ = burning_ ? MainWindow().TempFolder() : def_.Create;
  }

  void StartRunning() {
    MainWindow().SetBackupRunning(true);
    MainWindow().StartTrayAnimation();
    if (MainWindow().Visible()) progress_.Show();
  }

  void SetPassword() {
    // The archive's key is the password's bytes in the ANSI code page, as it was typed.
    zip_.SetPassword(def_.UsePassword ? classlib::ToCodePage(def_.Password, CP_ACP) : std::string());
  }

  void SetSplitting() {
    zip_.SetMultiMode(zip::TMultiMode::mmNone);
    if (!def_.SplitEver) return;
    const bool split = *def_.SplitEver == SplitWhen::Always || (*def_.SplitEver == SplitWhen::OnlyWhenBurning && burning_);
    const std::int32_t size = split ? static_cast<std::int32_t>(SplitPartSize(def_.SplitVar).value_or(0)) : 0;
    if (size == 0) return;
    // Parts too big for the disc they are named after would be asked for a bigger disc for ever.
    const std::string tooBig = burning_ ? SplitDiscError(def_.SplitVar) : std::string();
    if (!tooBig.empty()) throw classlib::Exception(tooBig);
    zip_.SetMultiMode(zip::TMultiMode::mmBlocks);
    zip_.MultiZipInfo().FirstBlockSize = size;
    zip_.MultiZipInfo().BlockSize = size;
  }

  // A partial run since the last full backup without a usable state file runs as a full backup.
  void ChoosePartialMode() {
    partial_ = !popup_.RadioButtonFull->Checked();
    if (!partial_) return;
    if (def_.PartBackupFull && LoadFileStates(StateFileName(job_), filter_.States)) {
      filter_.Mode = PartialMode::SinceLastFull;
    } else if (def_.PartBackupDate) {
      filter_.Mode = PartialMode::SinceDate;
      filter_.SinceDate = classlib::DateTimeToFileDate(def_.SinceDate);
    } else if (def_.PartBackupDays) {
      filter_.Mode = PartialMode::WithinDays;
      filter_.SinceDays = def_.SinceDays;
      filter_.Today = start_;
    } else {
      partial_ = false;
    }
  }

  // Another job's archive of the same minute stays: this one takes a free name beside it.
  void TakeFreeTimeName() {
    const std::string free = FreeArchiveName(destination_, name_);
    if (free != name_) LogArchiveNameTaken(name_, free);
    name_ = free;
  }

  void Status(const std::string& text) {
    progress_.LabelAction->SetCaption(text);
    classlib::Application().ProcessMessages();
  }

  void CollectFiles() {
    Status(def_.Option == BackupOption::Files ? "Backup wird geöffnet..." : "Dateien werden eingelesen...");
    CollectedFiles collected = CollectDefinitionFiles(def_, destination_);
    for (const std::string& problem : collected.Problems) LogError(problem);
    if (collected.DestinationLeftOut) LogDestinationLeftOut(destination_);
    Status("Dateien werden komprimiert...");
    fullList_ = collected.Files;
    found_ = std::move(collected.Found);
    // The dates as found before zipping, so a file that changes while the archive is written
    // counts as changed next time.
    for (const CollectedFile& file : found_) fileDates_.push_back(file.DosTime);
    zipList_ = partial_ ? ApplyPartialFilter(fullList_, fileDates_, filter_) : fullList_;
  }

  void Zip() {
    progress_.FlatProgressBarActual->SetMaxValue(100);
    progress_.FlatProgressBarArchive->SetMaxValue(100);
    written_.ZipFile = AsideArchiveName(destination_ + name_);
    zip_.SetZipName(written_.ZipFile);
    zip_.SetFilesList(zipList_);
    std::unordered_map<std::string, zip::TFoundFile> found;
    for (int i = 0; i < fullList_.Count(); ++i) {
      const CollectedFile& file = found_[static_cast<std::size_t>(i)];
      found.emplace(fullList_[i], zip::TFoundFile{file.Size, file.Attributes});
    }
    zip_.SetFoundFiles(std::move(found));
    {
      const WriteWatch watch(zip_);
      filesWritten_ = zip_.ArchiveFiles();
      // Every file that went into the archive, so that the state file can tell the others.
      stored_ = watch.Stored();
      written_.Files = zip_.DiskCount();
      asideWritten_ = true;
      // An archive of none of the files is no backup: it must not take the place of one.
      if (filesWritten_ == 0) throw classlib::Exception(watch.NothingSaved(zipList_));
    }
    // The writer leaves the last part under its number; the set ends in its ".zip" file.
    if (written_.Files > 1 && !fs::Rename(zip_.ZipName(), written_.ZipFile))
      throw classlib::EFCreateError("Die Datei \"" + zip_.ZipName() + "\" konnte nicht in \"" + written_.ZipFile +
                                    "\" umbenannt werden.");
  }

  // The size as the information panel shows it, and the check of the whole set against 4 GB.
  bool TooLarge() {
    const std::int64_t bytes = ArchiveSetSize(written_);
    if (bytes < 0) throw classlib::EFOpenError("Das geschriebene Backup \"" + written_.ZipFile + "\" ist unvollständig.");
    double kb = 0;
    for (const std::string& file : ArchiveSetFiles(written_)) kb += GetFileSizeKB(file);
    backupSize_ = classlib::FormatFloat("#,##0.00", kb / 1024) + " MB";
    if (bytes <= kMaxBackupBytes) return false;
    classlib::MessageRequest request;
    request.text = "Das erstellte Backup überschreitet das\rmaximale Dateivolumen von 4 GB!";
    request.caption = "Dateivolumen überschritten";
    request.icon = classlib::PromptIcon::Warning;
    classlib::Prompts().Message(request);
    RemoveAside();
    return true;
  }

  void PlaceArchive() {
    const int generations = GenerationsOf(def_);
    PlacementResult result;
    if (generations < 2) {
      finalName_ = destination_ + name_;
      result = ReplaceArchiveSet(written_, finalName_);
    } else {
      const std::string base = GenerationBase(destination_, name_);
      finalName_ = GenerationFileName(base, 1);
      result = RotateGenerations(written_, base, generations);
    }
    if (!result.Ok) throw classlib::EFCreateError(result.Error);
    asideWritten_ = false;
    for (const std::string& file : result.NotDeleted)
      LogError("Die Datei \"" + file + "\" der älteren Sicherung konnte nicht gelöscht werden.");
  }

  // The archive and its parts, one disc each, on the recorder of the job's drive letter. A disc
  // not burned is logged with its reason.
  bool Burn() {
    BurnSettings settings;
    settings.DriveLetter = driveLetter_;
    settings.Erase = def_.CDRWDelete;
    settings.Speed = SpeedOfEntry(def_.RecSpeed);
    settings.Eject = def_.Eject;
    settings.FinalizeRewritable = def_.CDRWFinalize;
    settings.FinalizeWriteOnce = def_.CDRFinalize;
    TBurnControls controls(progress_.LabelAction, progress_.FlatProgressBarArchive, progress_.FlatProgressBarActual,
                           [this] { return progress_.CancelRequested(); });
    const BurnReport report = BurnArchiveSet(*progress_.OrvBurner, settings, controls, finalName_, written_.Files);
    if (!report.Burned()) {
      LogError(report.Text);
      LogUnburnedFilesKept(burnFolder_);
    }
    LeaveBurnFolder();
    return report.Burned();
  }

  // A file that did not get into the archive is kept with date 0, so it counts as changed.
  void SaveFileStates() {
    Status("Backup-Protokoll wird erstellt...");
    TLogData states;
    for (int i = 0; i < fullList_.Count(); ++i)
      AddFileState(states, fullList_[i], stored_.count(fullList_[i]) ? fileDates_[static_cast<std::size_t>(i)] : 0);
    const std::string file = StateFileName(job_);
    if (!app::SaveFileStates(file, states))
      LogError("Die Liste der gesicherten Dateien \"" + file + "\" konnte nicht geschrieben werden.");
  }

  void WriteResults() {
    BackupResults results;
    results.LastBackup = classlib::FormatDateTime("dd. mmmm yyyy - hh\":\"nn \"Uhr\"", classlib::Now());
    results.BackupSize = backupSize_;
    results.BackupFiles = SetThousand(std::to_string(filesWritten_));
    Store([&] { WriteBackupResults(job_, results); });
    MainWindow().RefreshInformationPanel();
    progress_.FlatProgressBarActual->SetMaxValue(100);
  }

  // Results of a job that was deleted or renamed meanwhile have nowhere to go; the run goes on.
  void Store(const std::function<void()>& write) {
    try {
      write();
    } catch (const classlib::ERegistryException& e) {
      LogError(e.what());
    }
  }

  AfterBackupAction ChosenAfterAction() const {
    if (popup_.RadioButtonShutDown->Checked()) return AfterBackupAction::ShutDown;
    if (popup_.RadioButtonReboot->Checked()) return AfterBackupAction::Restart;
    if (popup_.RadioButtonFileStart->Checked()) return AfterBackupAction::OpenFile;
    return AfterBackupAction::None;
  }

  // The end of a run that got its archive written (also when burning it failed).
  void End() {
    const AfterBackupAction after = ChosenAfterAction();
    const std::string file = popup_.FlatEditFileStart->Text();
    const bool logEnd = MainWindow().BackupRunning();
    if (logEnd) Store([&] { WriteAfterBackup(job_, after, file); });
    // Logging pumps messages: the end of the session must no longer find a run to ask about.
    MainWindow().SetBackupRunning(false);
    if (logEnd) LogRunEnd(RunEnd::Completed);
    zip_.ClearArchive();
    MainWindow().StopTrayAnimation();
    // Once the user (or Windows ending the session) can reach the window, the run is over; the
    // progress window closes only with the main window enabled.
    MainWindow().SetEnabled(true);
    progress_.Close();
    switch (after) {
      case AfterBackupAction::ShutDown:
        System().ExitSystem(EWX_POWEROFF);
        break;
      case AfterBackupAction::Restart:
        System().ExitSystem(EWX_REBOOT);
        break;
      case AfterBackupAction::OpenFile:
        if (fs::FileExists(file)) System().OpenFile(file);
        break;
      case AfterBackupAction::None:
        break;
    }
  }

  // Every early end goes through the progress window's cancel path, which logs the abort.
  void Cancel() {
    RemoveAside();
    LeaveBurnFolder();
    progress_.EndCancelledRun();
  }

  void Fail(const std::string& reason) {
    RemoveAside();
    LeaveBurnFolder();
    LogError(reason);
    // Before the run was under way the progress window has no abort to log.
    if (!MainWindow().BackupRunning()) LogRunEnd(RunEnd::Cancelled);
    progress_.EndCancelledRun();
    if (!MainWindow().Visible()) return;
    try {
      ShowFailure(job_, reason);
    } catch (const std::exception&) {
      // The run is over and logged; a message that cannot be shown changes nothing.
    }
  }

  // The new set while it is still aside: it never replaced anything, so it goes.
  void RemoveAside() {
    if (!asideWritten_) return;
    asideWritten_ = false;
    for (int part = 1; part <= written_.Files; ++part) fs::Delete(PartFileName(written_.ZipFile, part));
    fs::Delete(written_.ZipFile);
  }

  // The folder a burn staged its set in goes once it is empty; what was not burned stays in it.
  void LeaveBurnFolder() {
    if (!burnFolder_.empty()) RemoveBurnFolder(burnFolder_);
    burnFolder_.clear();
  }

  TFormProgress& progress_;
  TFormPopup& popup_;
  const std::string job_;
  zip::TZipWriter& zip_;

  BackupDefinition def_;
  classlib::TDateTime start_ = 0;
  std::string destination_;
  std::string driveLetter_;
  bool burning_ = false;
  // The fresh folder a burning run writes its set to, below the temporary folder.
  std::string burnFolder_;
  bool partial_ = false;
  PartialFilter filter_;
  std::string name_;
  classlib::TStringList fullList_;
  classlib::TStringList zipList_;
  std::vector<CollectedFile> found_;
  std::vector<std::uint32_t> fileDates_;
  std::set<std::string> stored_;
  int filesWritten_ = 0;
  ArchiveSet written_;
  bool asideWritten_ = false;
  std::string backupSize_;
  std::string finalName_;
};

}  // namespace

void BackupRunner::ExecuteBackup(const std::string& job) { Run(progress_, popup_, job).Execute(); }

}  // namespace app
