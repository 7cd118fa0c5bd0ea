// Lets the user interface run during long work of the engine, so that a cancel button can be
// pressed. Under Win32 this empties the thread's message queue; elsewhere it does nothing.
#pragma once

#include <functional>

namespace zip {

void ProcessMessages();

// Replaces the pump: the program hands its application's loop in, so the engine's pumping goes
// through the same key handling and exception boundary as the rest; tests act while the engine
// works. An empty function restores the platform's own.
void SetMessagePump(std::function<void()> pump);

}  // namespace zip
