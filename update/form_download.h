// "Download...": fetches the setup the version file offers into a folder of its own, shows its
// progress, checks it against the digest the vendor signed and, on "Installation starten", starts
// it and ends the program. Closing the window, or "Abbrechen", cancels a download under way; its
// file goes once the transfer has let go of it.
#pragma once

#include <string>

#include "classlib/forms.h"
#include "classlib/stdctrls.h"
#include "controls/flat/flat_button.h"
#include "controls/panels/vis_progress_fill.h"
#include "controls/panels/vis_simple_panel.h"
#include "update/http_fetch.h"
#include "update/setup_file.h"
#include "update/update_info.h"

namespace update {

class TFormDownload : public classlib::TForm {
 public:
  explicit TFormDownload(classlib::TComponent* AOwner);
  ~TFormDownload() override;

  // Shows the window and downloads the setup offered, sizeKB large; requester is disabled meanwhile
  // and is enabled and closed when this window closes.
  void StartDownload(const TUpdateInfo& offer, int sizeKB, classlib::TForm& requester);

  THTTPFetch* HTTPFetch;
  controls::TVisSimplePanel* PanelMain;
  controls::TVisSimplePanel* PanelDownload;
  classlib::TLabel* LabelDownloadStep;
  classlib::TLabel* LabelAction;
  controls::TVisProgressFill* FlatProgressBarDownload;
  controls::TVisSimplePanel* PanelInstall;
  classlib::TLabel* LabelInstallStep;
  classlib::TLabel* LabelInstallInfo;
  controls::TFlatButton* FlatButtonDownload;
  controls::TFlatButton* FlatButtonInstall;

 private:
  enum class TState { Idle, Downloading, Cancelling, Downloaded, Started };

  void FormShow(classlib::TComponent* Sender);
  void FormClose(classlib::TComponent* Sender, classlib::TCloseAction& Action);
  void DownloadSetupFile();
  void HTTPFetchProgress(int TotalSize, int Readed);
  void HTTPFetchDoneFile(const std::string& FileName, int FileSize);
  void HTTPFetchError();
  void FlatButtonDownloadClick(classlib::TComponent* Sender);
  void FlatButtonInstallClick(classlib::TComponent* Sender);

  void ShowProgress(int kb);
  // The download failed: it is deleted, the user told why, and the window closed.
  void Fail(const std::string& message);
  void Message(const std::string& text);

  TState state_ = TState::Idle;
  TSetupFile setup_;
  std::string sizeText_;
  std::string digest_;
  classlib::TForm* requester_ = nullptr;
};

}  // namespace update
