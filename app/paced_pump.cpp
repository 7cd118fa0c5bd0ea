#include "app/paced_pump.h"

#include <windows.h>

#include "classlib/forms.h"

namespace app {

void ProcessMessagesPaced() {
  static ULONGLONG last = 0;
  const ULONGLONG now = GetTickCount64();
  if (now - last < kPumpIntervalMs) return;
  classlib::Application().ProcessMessages();
  // From the end of the pump: handlers it ran may have taken long themselves.
  last = GetTickCount64();
}

}  // namespace app
