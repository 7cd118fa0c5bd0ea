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
    return HTTPFetch.StartStringDownload();
  } catch (const std::exception&) {
    // No thread to spare now; the scheduler asks again at its next tick.
    return false;
  }
}

void AutomaticUpdateCheckDone(const std::string& Result) {
  // Nobody asked for this check; a version file it cannot believe or read is not worth a message.
  const TUpdateFile file = ReadUpdateFile(Result, OwnFileVersion());
  if (file.Kind != TUpdateFileKind::Offer) return;
  app::MainWindow().SetUpdateMenuCaption(file.Newer ? kNewVersionMenuCaption : kUpdateMenuCaption);
}

}  // namespace update
