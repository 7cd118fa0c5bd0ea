#include "update/form_download.h"

#include <exception>

#include "app/system_actions.h"
#include "app/wizards/main_window_hooks.h"
#include "app/wizards/window_style.h"
#include "classlib/prompt.h"
#include "update/update_server.h"

namespace update {

using app::NewBoldLabel;
using app::NewLabel;
using classlib::Bind;
using classlib::TComponent;

namespace {

constexpr int kPageWidth = 422;

controls::TVisSimplePanel* NewPage(TComponent* owner, classlib::TWinControl* parent) {
  controls::TVisSimplePanel* page = app::NewPanel(owner, parent, app::kWhiteColor, classlib::TAlign::alNone);
  page->SetBounds(16, 14, kPageWidth, 80);
  return page;
}

}  // namespace

TFormDownload::TFormDownload(TComponent* AOwner) : TForm(AOwner) {
  BeginLoading();
  app::SetWizardFrame(*this, "Download...", 470, 154);

  HTTPFetch = new THTTPFetch(this);
  SetUpUpdateFetch(*HTTPFetch, "Download Wizard");
  HTTPFetch->SetBinaryData(true);

  PanelMain = app::NewFramedPanel(this, this, 8, 8, 454, 104);

  PanelDownload = NewPage(this, PanelMain);
  LabelDownloadStep = NewBoldLabel(this, PanelDownload, 0, 0, "Die neue Version wird heruntergeladen...");
  LabelAction = NewLabel(this, PanelDownload, 0, 28, "", kPageWidth);
  LabelAction->SetAutoSize(false);
  LabelAction->SetHeight(16);
  FlatProgressBarDownload = app::NewProgressBar(this, PanelDownload, 0, 50, kPageWidth, 18);

  PanelInstall = NewPage(this, PanelMain);
  PanelInstall->Hide();
  LabelInstallStep =
      NewBoldLabel(this, PanelInstall, 0, 0, "Download Wizard hat die neue Version erfolgreich heruntergeladen.");
  LabelInstallInfo = NewLabel(this, PanelInstall, 0, 28,
                              "Orvanta wird nun beendet, damit die neue Version installiert werden kann.", kPageWidth);

  FlatButtonDownload = app::NewFlatButton(this, this, 382, 121, "Abbrechen");
  FlatButtonDownload->SetCancel(true);
  FlatButtonInstall = app::NewFlatButton(this, this, 342, 121, "Installation starten");
  FlatButtonInstall->SetWidth(120);
  FlatButtonInstall->SetDefault(true);
  FlatButtonInstall->Hide();
  EndLoading();

  OnShow = Bind(this, &TFormDownload::FormShow);
  OnClose = Bind(this, &TFormDownload::FormClose);
  FlatButtonDownload->OnClick = Bind(this, &TFormDownload::FlatButtonDownloadClick);
  FlatButtonInstall->OnClick = Bind(this, &TFormDownload::FlatButtonInstallClick);
  HTTPFetch->OnProgress = Bind(this, &TFormDownload::HTTPFetchProgress);
  HTTPFetch->OnDoneFile = Bind(this, &TFormDownload::HTTPFetchDoneFile);
  HTTPFetch->OnError = Bind(this, &TFormDownload::HTTPFetchError);
}

void TFormDownload::StartDownload(const TUpdateInfo& offer, int sizeKB, classlib::TForm& requester) {
  requester_ = &requester;
  sizeText_ = offer.DownloadSize;
  digest_ = offer.SetupDigest;
  FlatProgressBarDownload->SetMaxValue(sizeKB);
  ShowProgress(0);
  Show();
  DownloadSetupFile();
}

void TFormDownload::FormShow(TComponent*) {
  app::MainWindow().SetSchedulerEnabled(false);
  app::MainWindow().SetEnabled(false);
}

void TFormDownload::FormClose(TComponent*, classlib::TCloseAction&) {
  if (state_ == TState::Downloading || state_ == TState::Cancelling) {
    // The end of the transfer deletes what it wrote.
    state_ = TState::Cancelling;
    HTTPFetch->CancelDownload();
  } else if (state_ == TState::Downloaded) {
    setup_.Discard();
    state_ = TState::Idle;
  }
  PanelInstall->Hide();
  FlatButtonInstall->Hide();
  PanelDownload->Show();
  FlatButtonDownload->Show();
  if (classlib::TForm* requester = requester_) {
    requester_ = nullptr;
    requester->SetEnabled(true);
    requester->Close();
  }
}

void TFormDownload::DownloadSetupFile() {
  const std::string tempFolder = app::MainWindow().TempFolder();
  if (!setup_.Prepare(tempFolder)) {
    Message("Download Wizard konnte im folgenden Verzeichnis keinen Ordner für den Download anlegen:\r\r" +
            tempFolder);
    state_ = TState::Idle;
    Close();
    return;
  }
  HTTPFetch->SetFileName(setup_.FileName());
  HTTPFetch->SetURL(SetupFileURL());
  state_ = TState::Downloading;
  try {
    HTTPFetch->StartFileDownload();
  } catch (const std::exception&) {
    HTTPFetchError();
  }
}

void TFormDownload::HTTPFetchProgress(int, int Readed) {
  if (state_ == TState::Downloading) ShowProgress(Readed / 1024);
}

void TFormDownload::ShowProgress(int kb) {
  FlatProgressBarDownload->SetUserValue(kb);
  LabelAction->SetCaption(std::to_string(kb) + " KB von " + sizeText_ + " heruntergeladen.");
}

void TFormDownload::HTTPFetchDoneFile(const std::string&, int) {
  if (state_ != TState::Downloading) return;
  // Whatever the server sent, only our setup may run.
  if (!setup_.Verify(digest_)) return Fail();
  state_ = TState::Downloaded;
  PanelDownload->Hide();
  FlatButtonDownload->Hide();
  PanelInstall->Show();
  FlatButtonInstall->Show();
  app::FocusPage(*PanelInstall, *FlatButtonInstall);
}

void TFormDownload::HTTPFetchError() {
  if (state_ == TState::Downloading) return Fail();
  setup_.Discard();
  state_ = TState::Idle;
  if (Visible()) Close();
}

void TFormDownload::Fail() {
  setup_.Discard();
  state_ = TState::Idle;
  Message("Server-Fehler: Download nicht möglich!");
  if (Visible()) Close();
}

void TFormDownload::FlatButtonDownloadClick(TComponent*) {
  if (state_ != TState::Downloading) return Close();
  state_ = TState::Cancelling;
  // Its error event closes the window.
  HTTPFetch->CancelDownload();
}

void TFormDownload::FlatButtonInstallClick(TComponent*) {
  if (state_ != TState::Downloaded) return;
  if (!app::System().OpenFile(setup_.FileName())) {
    Message("Download Wizard konnte die Installation nicht starten:\r\r" + setup_.FileName());
    return;
  }
  setup_.Release();
  state_ = TState::Started;
  app::MainWindow().Quit();
}

void TFormDownload::Message(const std::string& text) {
  classlib::Prompts().Message(
      {text, "Orvanta", classlib::PromptButtons::Ok, classlib::PromptIcon::Warning, true});
}

}  // namespace update
