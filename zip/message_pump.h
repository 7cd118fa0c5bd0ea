// Lets the user interface run during long work of the engine, so that a cancel button can be
// pressed. Under Win32 this empties the thread's message queue; elsewhere it does nothing.
#pragma once

#include <functional>

namespace zip {

void ProcessMessages();

// Replaces the pump, so tests can act while the engine works; an empty function restores it.
void SetMessagePumpForTesting(std::function<void()> pump);

}  // namespace zip
