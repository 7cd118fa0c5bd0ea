#include "app/wizards/main_window_hooks.h"

namespace app {

MainWindowHooks& MainWindow() {
  static MainWindowHooks hooks;
  return hooks;
}

}  // namespace app
