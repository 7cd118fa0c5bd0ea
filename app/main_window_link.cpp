#include "app/main_window_link.h"

namespace app {

namespace {

void EnableBoth(bool enabled) {
  const MainWindowLink& link = TheMainWindowLink();
  if (link.EnableMainWindow) link.EnableMainWindow(enabled);
  if (link.EnableSchedulerTimer) link.EnableSchedulerTimer(enabled);
}

}  // namespace

MainWindowLink& TheMainWindowLink() {
  static MainWindowLink link;
  return link;
}

void SecondaryWindowShown() { EnableBoth(false); }

void SecondaryWindowClosed() { EnableBoth(true); }

}  // namespace app
