#include "zip/message_pump.h"

#include <utility>

namespace zip {

void PlatformProcessMessages();

namespace {

std::function<void()>& InstalledPump() {
  static std::function<void()> pump;
  return pump;
}

}  // namespace

void ProcessMessages() {
  if (InstalledPump()) {
    InstalledPump()();
  } else {
    PlatformProcessMessages();
  }
}

void SetMessagePump(std::function<void()> pump) { InstalledPump() = std::move(pump); }

#ifndef _WIN32
// The native build has no message queue.
void PlatformProcessMessages() {}
#endif

}  // namespace zip
