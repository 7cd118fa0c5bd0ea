#include "zip/message_pump.h"

#include <utility>

namespace zip {

void PlatformProcessMessages();

namespace {

std::function<void()>& TestPump() {
  static std::function<void()> pump;
  return pump;
}

}  // namespace

void ProcessMessages() {
  if (TestPump()) {
    TestPump()();
  } else {
    PlatformProcessMessages();
  }
}

void SetMessagePumpForTesting(std::function<void()> pump) { TestPump() = std::move(pump); }

#ifndef _WIN32
// The native build has no message queue.
void PlatformProcessMessages() {}
#endif

}  // namespace zip
