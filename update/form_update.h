// "Update Wizard": on request, fetches the version file and shows the own and the available version
// and the size of the setup; "Download" hands the setup of a version file the vendor signed to the
// download window.
#pragma once

#include <string>

#include "classlib/forms.h"
#include "classlib/stdctrls.h"
#include "controls/flat/flat_button.h"
#include "controls/panels/vis_simple_panel.h"
#include "update/http_fetch.h"
#include "update/update_info.h"

namespace update {

class TFormDownload;

class TFormUpdate : public classlib::TForm {
 public:
  explicit TFormUpdate(classlib::TComponent* AOwner);

  // The window that "Download" shows; none leaves the button without effect.
  void SetDownloadForm(TFormDownload* form) { formDownload_ = form; }

  THTTPFetch* HTTPFetch;
  controls::TVisSimplePanel* PanelUpdate;
  classlib::TLabel* LabelWelcome;
  classlib::TLabel* LabelWelcomeInfo;
  controls::TVisSimplePanel* PanelDownload;
  classlib::TLabel* LabelDownloadAction;
  classlib::TLabel* LabelDownloadInfo;
  classlib::TLabel* LabelActualVersion;
  classlib::TLabel* LabelAvailableVersion;
  classlib::TLabel* LabelDownloadSize;
  classlib::TLabel* LabelVersionInfo;
  controls::TFlatButton* FlatButtonDownload;
  controls::TFlatButton* FlatButtonNext;

 private:
  void FormShow(classlib::TComponent* Sender);
  void FormClose(classlib::TComponent* Sender, classlib::TCloseAction& Action);
  void FlatButtonNextClick(classlib::TComponent* Sender);
  void FlatButtonDownloadClick(classlib::TComponent* Sender);
  void HTTPFetchDoneString(const std::string& Result);
  void HTTPFetchError();

  void ShowOffer(const TUpdateFile& file);
  // Nothing to offer: why, in a heading and a sentence, and "Fehler" for the values.
  void ShowFailure(const std::string& action, const std::string& info);
  // The next check may begin; "Download" does nothing until it succeeded.
  void ForgetOffer();

  TFormDownload* formDownload_ = nullptr;
  // A check was started and its answer is awaited.
  bool checking_ = false;
  // What the last successful check found; sizeKB_ 0 when there is nothing to download.
  TUpdateInfo offer_;
  int sizeKB_ = 0;
};

}  // namespace update
