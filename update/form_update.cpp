#include "update/form_update.h"

#include <exception>

#include "app/wizards/main_window_hooks.h"
#include "app/wizards/window_style.h"
#include "update/file_version.h"
#include "update/form_download.h"
#include "update/update_server.h"

namespace update {

using app::NewBoldLabel;
using app::NewLabel;
using classlib::Bind;
using classlib::TComponent;

namespace {

constexpr char kCheck[] = "Überprüfen ";
constexpr char kDone[] = "Fertig ";
constexpr char kPending[] = "Wird ermittelt...";
constexpr char kFailed[] = "Fehler";
constexpr int kValueLeft = 130;

// A caption and, beside it, the label that shows its value.
classlib::TLabel* NewValueRow(TComponent* owner, classlib::TWinControl* parent, int top, const std::string& caption) {
  NewLabel(owner, parent, 0, top, caption);
  return NewLabel(owner, parent, kValueLeft, top, "");
}

}  // namespace

TFormUpdate::TFormUpdate(TComponent* AOwner) : TForm(AOwner) {
  BeginLoading();
  app::SetWizardFrame(*this, "Update Wizard", 470, 310);

  HTTPFetch = new THTTPFetch(this);
  SetUpUpdateFetch(*HTTPFetch, "Update Wizard");

  PanelUpdate = app::NewFramedPanel(this, this, 8, 8, 454, 260);
  LabelWelcome = NewBoldLabel(this, PanelUpdate, 16, 16, "Herzlich willkommen zum Update Wizard von Orvanta.");
  LabelWelcomeInfo = NewLabel(this, PanelUpdate, 16, 40,
                              "Update Wizard ermittelt, ob im Internet eine neue Version von Orvanta verfügbar ist, "
                              "und lädt sie auf Wunsch herunter. Klicken Sie auf \"Überprüfen\", um die "
                              "Informationen abzurufen.",
                              422);
  LabelWelcomeInfo->SetShowAccelChar(false);

  PanelDownload = app::NewPanel(this, PanelUpdate, app::kWhiteColor, classlib::TAlign::alNone);
  PanelDownload->SetBounds(16, 92, 422, 156);
  PanelDownload->Hide();
  LabelDownloadAction = NewBoldLabel(this, PanelDownload, 0, 0, "");
  LabelDownloadInfo = NewLabel(this, PanelDownload, 0, 20, "", 422);
  LabelDownloadInfo->SetAutoSize(false);
  LabelDownloadInfo->SetHeight(28);
  LabelActualVersion = NewValueRow(this, PanelDownload, 60, "Installierte Version:");
  LabelAvailableVersion = NewValueRow(this, PanelDownload, 80, "Verfügbare Version:");
  LabelDownloadSize = NewValueRow(this, PanelDownload, 100, "Download-Größe:");
  LabelVersionInfo = NewBoldLabel(this, PanelDownload, 0, 131, "");
  FlatButtonDownload = app::NewFlatButton(this, PanelDownload, 342, 126, "Download");

  FlatButtonNext = app::NewFlatButton(this, this, 382, 277, kCheck);
  FlatButtonNext->SetDefault(true);
  EndLoading();

  OnShow = Bind(this, &TFormUpdate::FormShow);
  OnClose = Bind(this, &TFormUpdate::FormClose);
  FlatButtonNext->OnClick = Bind(this, &TFormUpdate::FlatButtonNextClick);
  FlatButtonDownload->OnClick = Bind(this, &TFormUpdate::FlatButtonDownloadClick);
  HTTPFetch->OnDoneString = Bind(this, &TFormUpdate::HTTPFetchDoneString);
  HTTPFetch->OnError = Bind(this, &TFormUpdate::HTTPFetchError);
}

void TFormUpdate::FormShow(TComponent*) {
  app::MainWindow().SetSchedulerEnabled(false);
  app::MainWindow().SetEnabled(false);
}

void TFormUpdate::FormClose(TComponent*, classlib::TCloseAction&) {
  // A check still under way ends unseen.
  if (checking_) HTTPFetch->CancelDownload();
  checking_ = false;
  ForgetOffer();
  FlatButtonNext->SetCaption(kCheck);
  PanelDownload->Hide();
  app::MainWindow().SetSchedulerEnabled(true);
  app::MainWindow().SetEnabled(true);
}

void TFormUpdate::FlatButtonNextClick(TComponent*) {
  if (FlatButtonNext->Caption() == kDone) return Close();
  // Its answer is on the way.
  if (checking_) return;
  ForgetOffer();
  LabelDownloadAction->SetCaption("Informationen werden heruntergeladen...");
  LabelDownloadInfo->SetCaption(
      "Update Wizard lädt die Informationen zur im Internet verfügbaren Version herunter. Bitte warten Sie einen "
      "Moment...");
  LabelActualVersion->SetCaption(VersionText(OwnFileVersion()));
  LabelAvailableVersion->SetCaption(kPending);
  LabelDownloadSize->SetCaption(kPending);
  LabelVersionInfo->SetCaption("");
  PanelDownload->Show();
  // A check that closing the window cancelled ends first, so its end is never taken for this one's.
  HTTPFetch->WaitForCancelledTransfer();
  checking_ = true;
  HTTPFetch->SetURL(UpdateFileURL());
  bool started = false;
  try {
    started = HTTPFetch->StartStringDownload();
  } catch (const std::exception&) {
  }
  if (!started) HTTPFetchError();
}

void TFormUpdate::HTTPFetchDoneString(const std::string& Result) {
  if (!checking_) return;
  checking_ = false;
  const TFileVersion own = OwnFileVersion();
  const TUpdateFile file = ReadUpdateFile(Result, own);
  switch (file.Kind) {
    case TUpdateFileKind::Offer:
      ShowOffer(file);
      break;
    case TUpdateFileKind::NotVerified:
      ShowFailure("Informationen konnten nicht verifiziert werden.",
                  "Update Wizard konnte nicht bestätigen, dass die Informationen zur im Internet verfügbaren "
                  "Version vom Hersteller stammen.");
      break;
    case TUpdateFileKind::Unreadable:
      ShowFailure("Informationen konnten nicht gelesen werden.",
                  "Update Wizard hat die Informationen zur im Internet verfügbaren Version heruntergeladen, "
                  "kann sie aber nicht lesen.");
      break;
  }
  FlatButtonNext->SetCaption(kDone);
}

void TFormUpdate::HTTPFetchError() {
  if (!checking_) return;
  checking_ = false;
  ShowFailure("Informationen konnten nicht heruntergeladen werden.",
              "Update Wizard konnte die Informationen zur im Internet verfügbaren Version nicht erfolgreich "
              "herunterladen.");
  FlatButtonNext->SetCaption(kDone);
}

void TFormUpdate::ShowOffer(const TUpdateFile& file) {
  LabelActualVersion->SetCaption(file.Info.ActualVersion);
  LabelAvailableVersion->SetCaption(file.Info.AvailableVersion);
  LabelDownloadSize->SetCaption(file.Info.DownloadSize);
  LabelDownloadAction->SetCaption("Informationen erfolgreich heruntergeladen.");
  LabelDownloadInfo->SetCaption(
      "Update Wizard hat die Informationen zur im Internet verfügbaren Version erfolgreich heruntergeladen.");
  LabelVersionInfo->SetCaption(file.Newer ? "Es ist eine neue Version verfügbar!"
                                          : "Derzeit ist keine neue Version verfügbar!");
  // Only a later version is offered: a replayed older version file must not bring its setup back.
  if (!file.Newer) return;
  offer_ = file.Info;
  sizeKB_ = DownloadSizeKB(file.Info.DownloadSize);
  FlatButtonDownload->SetEnabled(sizeKB_ > 0);
}

void TFormUpdate::ShowFailure(const std::string& action, const std::string& info) {
  ForgetOffer();
  LabelDownloadAction->SetCaption(action);
  LabelDownloadInfo->SetCaption(info);
  LabelAvailableVersion->SetCaption(kFailed);
  LabelDownloadSize->SetCaption(kFailed);
}

void TFormUpdate::ForgetOffer() {
  offer_ = TUpdateInfo();
  sizeKB_ = 0;
  FlatButtonDownload->SetEnabled(false);
}

void TFormUpdate::FlatButtonDownloadClick(TComponent*) {
  if (sizeKB_ <= 0 || !formDownload_) return;
  SetEnabled(false);
  formDownload_->StartDownload(offer_, sizeKB_, *this);
}

}  // namespace update
