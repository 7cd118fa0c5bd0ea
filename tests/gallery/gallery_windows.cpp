#include "app/wizards/form_popup.h"
#include "app/wizards/form_progress.h"
#include "app/wizards/form_recover.h"
#include "tests/gallery/gallery.h"

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

}  // namespace

// One line per window.
const std::vector<GalleryWindow>& GalleryWindows() {
  static const std::vector<GalleryWindow> windows = {
      {"progress", ShowProgress},
      {"popup", ShowPopup},
      {"popup-after", ShowPopupAfterTab},
      {"recover", ShowRecover},
  };
  return windows;
}

}  // namespace gallery
