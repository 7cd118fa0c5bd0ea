// Worker threads reach the GUI thread through a message-only window that lives there, so their
// calls run whenever the GUI thread pumps messages: in the main loop, in message-processing loops,
// in modal loops and in the waits below. An exception thrown by such a call stops at that
// boundary and goes to the exception hook.
#pragma once

#include <exception>
#include <functional>

namespace classlib {

// Makes the calling thread the GUI thread (creating its message-only window) unless there is one
// already. Start-up calls it first; components that need it call it again from their constructor.
void InitGuiThread();
bool IsGuiThread();

// Runs call on the GUI thread and returns after it ran; on the GUI thread it runs at once. False
// when it could not run (no GUI thread, or its window is gone).
bool Synchronize(const std::function<void()>& call);
// Posts call to the GUI thread and returns at once; it runs when the GUI thread next pumps
// messages, also when posted from the GUI thread itself. False when it could not be posted.
bool Queue(std::function<void()> call);

// Receives what a synchronised or queued call threw, on the GUI thread. The default writes it to
// the debugger output and drops it; an empty function restores the default.
using GuiExceptionHook = std::function<void(std::exception_ptr)>;
void SetGuiExceptionHook(GuiExceptionHook hook);

// Dispatches the messages waiting in the calling thread's queue, then returns. False when the
// program was asked to quit (WM_QUIT is posted again for the main loop).
bool DispatchPendingMessages();
// Dispatches the GUI thread's messages, sleeping while there are none, until done() is true.
// False when the program was asked to quit first (WM_QUIT is posted again for the main loop).
bool PumpMessagesUntil(const std::function<bool()>& done);
// Waits for a handle while running only what other threads send to this thread's windows (the
// calls they synchronise onto it among them), so a worker blocked in Synchronize or in a broadcast
// can still finish, and repainting the windows that need it; no posted message or input is
// handled. False when timeoutMs passed first.
bool WaitRunningSynchronizedCalls(void* handle, unsigned long timeoutMs = 0xFFFFFFFF);

}  // namespace classlib
