#include <windows.h>

#include <filesystem>
#include <fstream>

#include "app/restore_page.h"
#include "app/wizards/form_extract.h"
#include "app/wizards/form_popup.h"
#include "app/wizards/form_progress.h"
#include "app/wizards/form_recover.h"
#include "classlib/wide.h"
#include "tests/gallery/gallery.h"
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

}  // namespace

// One line per window.
const std::vector<GalleryWindow>& GalleryWindows() {
  static const std::vector<GalleryWindow> windows = {
      {"progress", ShowProgress},
      {"popup", ShowPopup},
      {"popup-after", ShowPopupAfterTab},
      {"recover", ShowRecover},
      {"restore", ShowRestore},
      {"extract", ShowExtract},
      {"extract-done", ShowExtractDone},
  };
  return windows;
}

}  // namespace gallery
