#include "update/automatic_update.h"

#include <exception>

#include "app/system_actions.h"
#include "app/wizards/main_window_hooks.h"
#include "update/file_version.h"
#include "update/update_info.h"
#include "update/update_server.h"

namespace update {

bool StartAutomaticUpdateCheck(THTTPFetch& HTTPFetch) {
  if (app::MainWindow().UpdateMenuCaption() != kUpdateMenuCaption || !app::MainWindow().AutoUpdate() ||
      !app::System().Online()) {
    return false;
  }
  SetUpUpdateFetch(HTTPFetch, "Auto Update Wizard");
  HTTPFetch.SetURL(UpdateFileURL());
  // A failed transfer leaves no trace.
  HTTPFetch.OnDoneString = AutomaticUpdateCheckDone;
  try {
    HTTPFetch.StartStringDownload();
  } catch (const std::exception&) {
    // No thread to spare now; the scheduler asks again at its next tick.
    return false;
  }
  return true;
}

void AutomaticUpdateCheckDone(const std::string& Result) {
  try {
    const TFileVersion own = OwnFileVersion();
    const TUpdateInfo info = GetUpdateInfo(Result, VersionText(own));
    const bool newer = IsNewerVersion(own, info.AvailableVersion);
    app::MainWindow().SetUpdateMenuCaption(newer ? kNewVersionMenuCaption : kUpdateMenuCaption);
  } catch (const std::exception&) {
    // Nobody asked for this check; a version file it cannot read is not worth a message.
  }
}

}  // namespace update
