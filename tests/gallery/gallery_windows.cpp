#include <windows.h>

#include <filesystem>
#include <fstream>

#include "app/activity_log.h"
#include "app/backup_definition.h"
#include "app/cd_simulator.h"
#include "app/form_info.h"
#include "app/form_main.h"
#include "app/program_paths.h"
#include "app/program_windows.h"
#include "app/restore_page.h"
#include "app/single_backup_list.h"
#include "app/single_backup_page.h"
#include "app/wizards/form_add.h"
#include "app/wizards/form_creation.h"
#include "app/wizards/form_extract.h"
#include "app/wizards/form_instant.h"
#include "app/wizards/form_popup.h"
#include "app/wizards/form_progress.h"
#include "app/wizards/form_recover.h"
#include "app/wizards/main_window_hooks.h"
#include "classlib/wide.h"
#include "tests/gallery/gallery.h"
#include "tests/support/scratch_registry.h"
#include "tests/support/temp_dir.h"
#include "update/form_download.h"
#include "update/form_update.h"
#include "update/update_server.h"
#include "zip/zip_writer.h"

namespace gallery {

namespace {

classlib::TComponent* Owner() { return &classlib::Application(); }

classlib::TForm* ShowProgress() {
  auto* form = new app::TFormProgress(Owner());
  form->Show();
  form->LabelAction->SetCaption("C:\\...\\Jahresübersichten\\Übersicht März 2024.xls");
  form->FlatProgressBarActual->SetUserValue(70);
  form->FlatProgressBarArchive->SetUserValue(45);
  return form;
}

app::TFormPopup* Popup() {
  auto* form = new app::TFormPopup(Owner());
  form->LabelInfo->SetCaption(
      "Sicherung \"Tägliche Sicherung der Geschäftsberichte\" hat das Sicherungs-Intervall erreicht. Wie möchten Sie "
      "fortfahren?");
  form->FlatComboBoxBurner->Items().Add("Kein CD-Recorder verfügbar!");
  form->FlatComboBoxBurner->SetItemIndex(0);
  form->RadioButtonBurn->SetEnabled(false);
  form->FolderTree->SetPath("C:\\windows");
  form->FlatEditFileStart->SetText("C:\\Programme\\Prüfprogramm\\prüfen.exe");
  form->Show();
  return form;
}

classlib::TForm* ShowPopup() { return Popup(); }

classlib::TForm* ShowPopupAfterTab() {
  app::TFormPopup* form = Popup();
  form->FlatTabControlMain->SetActiveTab(1);
  return form;
}

classlib::TForm* ShowRecover() {
  auto* form = new app::TFormRecover(Owner());
  form->LabelInfo->SetCaption(
      "Sicherung \"Wöchentliche Sicherung\" konnte beim letzten Sicherungszeitpunkt nicht durchgeführt werden.");
  form->Show();
  return form;
}

// A small backup of our own writer in a fresh folder of the temporary folder; the folder for the
// restored files beside it.
struct RestoreSample {
  std::string archive;
  std::string restored;
};

RestoreSample MakeRestoreSample() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::filesystem::path folder = std::filesystem::path(temp) / L"orvgallery-restore";
  std::filesystem::remove_all(folder);
  const std::filesystem::path source = folder / L"Dokumente";
  std::filesystem::create_directories(source / L"Fotos");
  std::filesystem::create_directories(folder / L"Wiederhergestellt");
  auto write = [&](const std::wstring& name, const std::string& bytes) {
    std::ofstream(source / name, std::ios::binary) << bytes;
  };
  write(L"Brief an Herrn Müller.txt", "Sehr geehrter Herr Müller,\r\n");
  write(L"Rechnungen 2024.xls", std::string(48000, 'r'));
  write(L"Fotos\\Urlaub am See.jpg", std::string(1300000, 'j'));
  const RestoreSample sample{classlib::Narrow((folder / L"Sicherung.zip").wstring()),
                             classlib::Narrow((folder / L"Wiederhergestellt").wstring())};
  zip::TZipWriter writer;
  writer.SetZipName(sample.archive);
  writer.SetRootDir(classlib::Narrow(source.wstring()));
  writer.SetRelativePaths(true);
  writer.FilesList().Add(classlib::Narrow((source / L"*.*").wstring()));
  writer.ArchiveFiles();
  return sample;
}

// The page as the main window will host it, with the sample backup listed; and its extraction
// window.
app::TRestorePage* ShowRestorePage(const RestoreSample& sample) {
  auto* host = new classlib::TForm(Owner());
  host->SetCaption("Orvanta");
  host->SetClientSize(600, 346);
  auto* page = new app::TRestorePage(host);
  page->SetParent(host);
  page->SetAlign(classlib::TAlign::alClient);
  page->SetExtractForm(new app::TFormExtract(Owner()));
  host->Show();
  page->OpenBackup(sample.archive);
  return page;
}

classlib::TForm* ShowRestore() { return ShowRestorePage(MakeRestoreSample())->ParentForm(); }

// The page as it reads a backup: the bar beside the buttons shows how far it got.
classlib::TForm* ShowRestoreOpening() {
  app::TRestorePage* page = ShowRestorePage(MakeRestoreSample());
  page->FlatProgressBarRestore->Show();
  page->FlatProgressBarRestore->SetUserValue(page->FlatProgressBarRestore->MaxValue() / 2);
  return page->ParentForm();
}

app::TFormExtract* ShowExtractStart(const RestoreSample& sample) {
  app::TRestorePage* page = ShowRestorePage(sample);
  page->FlatButtonExtractAll->Click();
  page->ExtractForm()->FolderTree->SetPath(sample.restored);
  return page->ExtractForm();
}

classlib::TForm* ShowExtract() { return ShowExtractStart(MakeRestoreSample()); }

classlib::TForm* ShowExtractDone() {
  app::TFormExtract* form = ShowExtractStart(MakeRestoreSample());
  form->FlatButtonNext->Click();
  return form;
}

// A few files in the list of the Single Backup page.
void FillSingleBackupPage(app::TSingleBackupPage& page) {
  const struct {
    const char* name;
    const char* folder;
    const char* size;
  } files[] = {
      {"Übersicht März 2024.xls", "C:\\Dokumente\\Jahresübersichten\\", "1.234 KB"},
      {"Angebot Müller.doc", "C:\\Dokumente\\Angebote\\", "87 KB"},
      {"Präsentation Vertrieb.ppt", "C:\\Dokumente\\Vorträge\\Vertrieb und Marketing\\", "12.873 KB"},
      {"Adressen.csv", "D:\\Daten\\", "3 KB"},
      {"Urlaubsfoto 017.jpg", "D:\\Bilder\\2023\\Sommer\\", "2.406 KB"},
  };
  for (const auto& f : files) {
    classlib::TListItem* item = page.ListViewSingleBackup->Items().Add();
    item->SetCaption(f.name);
    item->AddSubItem(f.folder);
    item->AddSubItem(f.size);
  }
  page.SetFilesText();
}

// The Single Backup page of the main window, holding a few files, as the wizards see it.
app::TSingleBackupPage* SingleBackupPage() {
  static app::TSingleBackupPage* page = [] {
    auto* created = new app::TSingleBackupPage(Owner());
    FillSingleBackupPage(*created);
    app::MainWindow().SingleBackupPage = [created] { return created; };
    return created;
  }();
  return page;
}

classlib::TForm* ShowSingleBackupPage() {
  auto* form = new classlib::TForm(Owner());
  form->SetCaption("Orvanta v2.4");
  form->SetClientSize(560, 340);
  app::TSingleBackupPage* page = SingleBackupPage();
  page->SetParent(form);
  page->SetAlign(classlib::TAlign::alClient);
  form->Show();
  return form;
}

app::TFormAdd* Add() {
  auto* form = new app::TFormAdd(Owner());
  form->ShowWithFiles(*SingleBackupPage()->ListViewSingleBackup);
  return form;
}

classlib::TForm* ShowAdd() { return Add(); }

classlib::TForm* ShowAddFiles() {
  app::TFormAdd* form = Add();
  form->FlatButtonNext->Click();
  form->ListViewFiles->Items()[1]->SetSelected(true);
  return form;
}

classlib::TForm* ShowAddFolders() {
  app::TFormAdd* form = Add();
  form->RadioButtonFolders->SetChecked(true);
  form->FlatButtonNext->Click();
  return form;
}

classlib::TForm* ShowAddWait() {
  app::TFormAdd* form = Add();
  form->FlatButtonNext->Click();
  form->PanelFiles->Hide();
  form->PanelWait->Show();
  form->FlatButtonBack->SetEnabled(false);
  form->FlatButtonNext->SetEnabled(false);
  form->FlatProgressBarWait->SetUserValue(3);
  return form;
}

// One rewritable drive E: of 52 times speed, simulated.
void SimulateBurner(app::TCDWriter& writer) {
  auto device = std::make_shared<app::SimulatedCDDevice>();
  device->DriveLetter = "E";
  device->Vendor = "Lumtec";
  device->Product = "DVD-RW 52x";
  device->MaxWriteSpeed = 52;
  device->Disc = std::make_shared<app::SimulatedDisc>();
  device->Disc->Rewritable = true;
  writer.SetBackend(
      std::make_unique<app::CDSimulator>(std::vector<std::shared_ptr<app::SimulatedCDDevice>>{device}));
}

// The creation wizard after clicking "Weiter" steps times; with a simulated CD writer when burner.
app::TFormCreation* Creation(int steps, bool burner = false) {
  SingleBackupPage();
  auto* form = new app::TFormCreation(Owner());
  if (burner) SimulateBurner(*form->OrvBurner);
  form->Show();
  for (int i = 0; i < steps; ++i) form->FlatButtonNext->Click();
  return form;
}

classlib::TForm* ShowCreation() { return Creation(0); }
classlib::TForm* ShowCreationStep1() { return Creation(1); }
classlib::TForm* ShowCreationStep2() { return Creation(2); }

classlib::TForm* ShowCreationSplit() {
  app::TFormCreation* form = Creation(3);
  form->CheckBoxStep3->SetChecked(true);
  return form;
}

classlib::TForm* ShowCreationBurn() {
  app::TFormCreation* form = Creation(1, true);
  form->RadioButtonBurn->SetChecked(true);
  form->FlatButtonSettings->Click();
  return form;
}

// A real single backup of two files into a scratch folder: small ones, or ones that do not
// compress, split into parts of the least size.
app::TFormCreation* Created(bool destinationGone, bool split = false) {
  static testing_support::TempDir dir;
  app::SetLoggingEnabled(false);
  auto* page = SingleBackupPage();
  page->ListViewSingleBackup->Items().Clear();
  unsigned noise = 1;
  for (const char* name : {"Übersicht März 2024.xls", "Angebot Müller.doc"}) {
    std::string content(split ? 400000 : 5000, 'x');
    if (split)
      for (char& c : content) c = static_cast<char>((noise = noise * 1103515245u + 12345u) >> 24);
    testing_support::WriteFile(dir / name, content);
    classlib::TListItem* item = page->ListViewSingleBackup->Items().Add();
    item->SetCaption(name);
    item->AddSubItem(dir.Path() + "\\");
    item->AddSubItem("5 KB");
  }
  const std::string destination = dir / "Sicherungen der Geschäftsberichte";
  CreateDirectoryW(classlib::Widen(destination).c_str(), nullptr);
  app::TFormCreation* form = Creation(1);
  form->FolderTree->SetPath(destination);
  form->FlatButtonNext->Click();
  form->FlatEditName->SetText("Geschäftsberichte 2024");
  form->FlatButtonNext->Click();
  if (destinationGone) RemoveDirectoryW(classlib::Widen(destination).c_str());
  form->CheckBoxStep3->SetChecked(split);
  form->VisSpinEditMax->SetValue(250);
  form->FlatButtonNext->Click();
  return form;
}

classlib::TForm* ShowCreationDone() { return Created(false); }
classlib::TForm* ShowCreationDoneSplit() { return Created(false, true); }
classlib::TForm* ShowCreationFailed() { return Created(true); }

// The creating page as it looks while the archive is written.
classlib::TForm* ShowCreationRunning() {
  app::TFormCreation* form = Created(false);
  form->LabelStatus->SetCaption("Backup wird erstellt...");
  form->LabelInfo->SetCaption("Das Backup wird momentan erstellt. Bitte warten Sie einen Moment...");
  form->LabelAction->SetCaption("C:\\...\\Jahresübersichten\\Übersicht März 2024.xls");
  form->LabelOutput->SetCaption("");
  form->FlatProgressBarActual->SetUserValue(70);
  form->FlatProgressBarArchive->SetUserValue(45);
  form->FlatButtonNext->SetCaption("Abbrechen");
  return form;
}

// The main window as the program shows it, on names of its own beside a running program, with a
// few files listed; its log goes to a scratch folder.
app::ProgramWindows MainWindowsSample() {
  static testing_support::TempDir dir;
  app::SetProgramFileForTesting(dir / "orvapp.exe");
  app::ProgramStart start;
  start.CommandLine = "orvapp.exe";
  start.InstanceName = "OrvantaGallery";
  start.DdeService = "orvgallery";
  const app::ProgramWindows windows = app::CreateProgramWindows(Owner(), start);
  FillSingleBackupPage(*windows.FormMain->PanelSingleBackup);
  windows.FormMain->Show();
  return windows;
}

app::TFormMain* MainWindowSample() { return MainWindowsSample().FormMain; }

classlib::TForm* ShowMain() { return MainWindowSample(); }

// The main window with the hint of its page's heading, the mouse resting on the heading.
classlib::TForm* ShowMainHint() {
  app::TFormMain* main = MainWindowSample();
  classlib::TWinControl& heading = *main->PanelSingleBackupHeading;
  const POINT at = {heading.Width() * 2 / 3, heading.Height() / 2};
  const POINT screen = heading.ClientToScreen(at);
  SetCursorPos(screen.x, screen.y);
  PostMessageW(heading.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
  classlib::Application().ProcessMessages();
  classlib::Application().HintTimer().Tick();
  // The hint is a window of its own: it is on the screen once it has painted there.
  for (int i = 0; i < 20; ++i) {
    classlib::Application().ProcessMessages();
    Sleep(50);
  }
  return main;
}

// The information window over the main window, as "Info" shows it.
classlib::TForm* ShowInfo() {
  const app::ProgramWindows windows = MainWindowsSample();
  windows.FormMain->Action18->Click();
  return windows.FormInfo;
}

classlib::TForm* ShowMainRestore() {
  app::TFormMain* main = MainWindowSample();
  main->FlatTabControlMain->SetActiveTab(app::TFormMain::kRestoreTab);
  main->PanelRestoreBackup->OpenBackup(MakeRestoreSample().archive);
  return main;
}

// The main window on its Instant Backup page with definitions in every state of their column, on a
// scratch registry; the first has the results of a run.
app::TFormMain* MainInstantSample() {
  static testing_support::ScratchRegistry registry;
  const char* names[] = {"Buchhaltung", "Digitalfotos", "Eigene Dateien (täglich)", "Projekt Nordlicht",
                         "Steuererklärung 2023", "Vertragsarchiv"};
  for (const char* name : names) {
    app::BackupDefinition def;
    def.Title = name;
    def.Folder = "C:\\Dokumente";
    def.Create = "D:\\Sicherungen\\";
    def.Intervall = 45;
    def.Definition = "12. Februar 2024 um 09:15 Uhr";
    app::WriteBackupDefinition(def);
  }
  app::WriteBackupResults(names[0], {"04.03.2024 18:00", "148.392 KB", "1.204"});
  app::TFormMain* main = MainWindowSample();
  main->FlatTabControlMain->SetActiveTab(app::TFormMain::kInstantBackupTab);
  const char* columns[] = {"12 Minute(n)", "18:00 Uhr", "Wird durchgeführt...", "Deaktiviert", "Montag", "n/a"};
  for (int i = 0; i < 6; ++i) main->Jobs.SetNextRun(names[i], columns[i]);
  main->Jobs.SetSelected(names[0], true);
  return main;
}

classlib::TForm* ShowMainInstant() { return MainInstantSample(); }

classlib::TForm* ShowMainInstantInfo() {
  app::TFormMain* main = MainInstantSample();
  main->PanelInstantBackup->ListViewInstantBackup->OnDblClick(main->PanelInstantBackup->ListViewInstantBackup);
  return main;
}

// The definition wizard in expert mode, on the welcome page of a files or a folders definition,
// then "Weiter" steps times; the burner list has the simulated drive.
app::TFormInstant* Instant(bool files, int steps) {
  static testing_support::ScratchRegistry registry;  // the wizard stores its mode
  static auto* burner = [] {
    auto* writer = new app::TCDWriter(Owner());
    SimulateBurner(*writer);
    return writer;
  }();
  auto* form = new app::TFormInstant(Owner(), burner);
  form->CheckBoxExpert->SetChecked(true);
  (files ? form->RadioButtonFiles : form->RadioButtonFolders)->SetChecked(true);
  form->AddDefinition();
  if (files) {
    for (int i = 0; i < SingleBackupPage()->ListViewSingleBackup->Items().Count(); ++i)
      app::CopyFileItem(*SingleBackupPage()->ListViewSingleBackup->Items()[i], *form->ListViewFiles);
  }
  form->FolderTree->SetPath("C:\\windows");
  for (int i = 0; i < steps; ++i) form->FlatButtonNext->Click();
  return form;
}

classlib::TForm* ShowInstant() { return Instant(true, 0); }
classlib::TForm* ShowInstantFiles() { return Instant(true, 1); }
classlib::TForm* ShowInstantFolders() { return Instant(false, 1); }

classlib::TForm* ShowInstantExtended() {
  app::TFormInstant* form = Instant(false, 1);
  form->RadioButtonExtended->SetChecked(true);
  app::AddExtendedFolder(*form->ListViewExtended, "C:\\Dokumente\\Geschäftsberichte", true);
  app::AddExtendedFolder(*form->ListViewExtended, "D:\\Bilder\\Urlaub am See", false);
  app::AddExtendedFolder(*form->ListViewExtended, "C:\\Dokumente\\Angebote", true);
  return form;
}

classlib::TForm* ShowInstantFilter() {
  app::TFormInstant* form = Instant(false, 2);
  form->RadioButtonOnly->SetChecked(true);
  form->FlatEditTypen->SetText("*.doc;*.xls;*.ppt");
  form->CheckBoxMax->SetChecked(true);
  return form;
}

classlib::TForm* ShowInstantSchedule() {
  app::TFormInstant* form = Instant(false, 3);
  form->CheckBoxTime->SetChecked(true);
  form->CheckBoxSunday->SetChecked(false);
  return form;
}

classlib::TForm* ShowInstantCatchUp() { return Instant(false, 4); }

classlib::TForm* ShowInstantKind() {
  app::TFormInstant* form = Instant(false, 5);
  form->RadioButtonPart->SetChecked(true);
  form->RadioButtonPartNewDate->SetChecked(true);
  form->UpDownDate->SetPosition(2);
  form->DateCalendarDate->Show();
  return form;
}

classlib::TForm* ShowInstantInstances() { return Instant(false, 6); }

classlib::TForm* ShowInstantPassword() {
  app::TFormInstant* form = Instant(false, 7);
  form->CheckBoxPassword->SetChecked(true);
  form->FlatEditPasswordPW->SetText("geheim");
  form->FlatEditPasswordPWRepeat->SetText("geheimer");
  form->FlatButtonNext->Click();
  return form;
}

classlib::TForm* ShowInstantSplit() { return Instant(false, 8); }
classlib::TForm* ShowInstantDestination() { return Instant(false, 9); }

classlib::TForm* ShowInstantBurner() {
  app::TFormInstant* form = Instant(false, 9);
  form->RadioButtonBurn->SetChecked(true);
  form->FlatButtonBurnerSettings->Click();
  return form;
}

classlib::TForm* ShowInstantBurnerRewritable() {
  app::TFormInstant* form = static_cast<app::TFormInstant*>(ShowInstantBurner());
  form->FlatTabControlRecording->SetActiveTab(1);
  return form;
}

classlib::TForm* ShowInstantName() {
  app::TFormInstant* form = Instant(false, 10);
  form->FlatEditName->SetText("Buchhaltung taeglich");
  return form;
}

classlib::TForm* ShowSelect() {
  app::TFormInstant* form = Instant(false, 1);
  form->RadioButtonExtended->SetChecked(true);
  form->FlatButtonExtendedAdd->Click();
  form->FormSelect->FolderTree->SetPath("C:\\windows");
  return form->FormSelect;
}

// The Update Wizard after a check that found a newer version.
classlib::TForm* ShowUpdate() {
  auto* form = new update::TFormUpdate(Owner());
  form->Show();
  form->PanelDownload->Show();
  form->LabelDownloadAction->SetCaption("Informationen erfolgreich heruntergeladen.");
  form->LabelDownloadInfo->SetCaption(
      "Update Wizard hat die Informationen zur im Internet verfügbaren Version erfolgreich heruntergeladen.");
  form->LabelActualVersion->SetCaption("2.402");
  form->LabelAvailableVersion->SetCaption("2.41");
  form->LabelDownloadSize->SetCaption("1024 KB");
  form->LabelVersionInfo->SetCaption("Es ist eine neue Version verfügbar!");
  form->FlatButtonNext->SetCaption("Fertig ");
  return form;
}

// The Update Wizard after a check that found no server: the real check, waited for.
classlib::TForm* ShowUpdateFailed() {
  update::SetUpdateServerForTesting("http://127.0.0.1:1");
  auto* form = new update::TFormUpdate(Owner());
  form->Show();
  form->FlatButtonNext->Click();
  classlib::Application().WaitUntil([form] { return form->FlatButtonNext->Caption() == "Fertig "; });
  return form;
}

update::TFormDownload* Download() {
  auto* form = new update::TFormDownload(Owner());
  form->Show();
  form->FlatProgressBarDownload->SetMaxValue(1024);
  form->FlatProgressBarDownload->SetUserValue(384);
  form->LabelAction->SetCaption("384 KB von 1024 KB heruntergeladen.");
  return form;
}

classlib::TForm* ShowDownload() { return Download(); }

// The download window once the setup is in and checked.
classlib::TForm* ShowDownloadDone() {
  update::TFormDownload* form = Download();
  form->PanelDownload->Hide();
  form->FlatButtonDownload->Hide();
  form->PanelInstall->Show();
  form->FlatButtonInstall->Show();
  return form;
}

}  // namespace

// One line per window.
const std::vector<GalleryWindow>& GalleryWindows() {
  static const std::vector<GalleryWindow> windows = {
      {"progress", ShowProgress},
      {"popup", ShowPopup},
      {"popup-after", ShowPopupAfterTab},
      {"recover", ShowRecover},
      {"restore", ShowRestore},
      {"restore-opening", ShowRestoreOpening},
      {"extract", ShowExtract},
      {"extract-done", ShowExtractDone},
      {"single-page", ShowSingleBackupPage},
      {"add", ShowAdd},
      {"add-files", ShowAddFiles},
      {"add-folders", ShowAddFolders},
      {"add-wait", ShowAddWait},
      {"creation", ShowCreation},
      {"creation-step1", ShowCreationStep1},
      {"creation-step2", ShowCreationStep2},
      {"creation-split", ShowCreationSplit},
      {"creation-burn", ShowCreationBurn},
      {"creation-running", ShowCreationRunning},
      {"creation-done", ShowCreationDone},
      {"creation-done-split", ShowCreationDoneSplit},
      {"creation-failed", ShowCreationFailed},
      {"main", ShowMain},
      {"main-hint", ShowMainHint},
      {"main-instant", ShowMainInstant},
      {"main-instant-info", ShowMainInstantInfo},
      {"main-restore", ShowMainRestore},
      {"info", ShowInfo},
      {"instant", ShowInstant},
      {"instant-files", ShowInstantFiles},
      {"instant-folders", ShowInstantFolders},
      {"instant-extended", ShowInstantExtended},
      {"instant-filter", ShowInstantFilter},
      {"instant-schedule", ShowInstantSchedule},
      {"instant-catchup", ShowInstantCatchUp},
      {"instant-kind", ShowInstantKind},
      {"instant-instances", ShowInstantInstances},
      {"instant-password", ShowInstantPassword},
      {"instant-split", ShowInstantSplit},
      {"instant-destination", ShowInstantDestination},
      {"instant-burner", ShowInstantBurner},
      {"instant-burner-cdrw", ShowInstantBurnerRewritable},
      {"instant-name", ShowInstantName},
      {"select", ShowSelect},
      {"update", ShowUpdate},
      {"update-failed", ShowUpdateFailed},
      {"download", ShowDownload},
      {"download-done", ShowDownloadDone},
  };
  return windows;
}

}  // namespace gallery
