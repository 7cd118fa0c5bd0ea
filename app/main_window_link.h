// What the secondary windows need of the main window: windows that edit definitions, restore or
// update disable it and stop the scheduler's timer while they are shown. The main window sets the
// hooks when it is created; until then (and in tests that leave them empty) they do nothing.
#pragma once

#include <functional>

namespace app {

struct MainWindowLink {
  std::function<void(bool enabled)> EnableMainWindow;
  std::function<void(bool enabled)> EnableSchedulerTimer;
};

MainWindowLink& TheMainWindowLink();

// A secondary window shows: main window disabled, scheduler timer stopped.
void SecondaryWindowShown();
// It closed: both on again.
void SecondaryWindowClosed();

}  // namespace app
