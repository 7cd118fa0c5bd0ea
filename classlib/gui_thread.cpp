#include "classlib/gui_thread.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <utility>

#include "classlib/exceptions.h"

namespace classlib {
namespace {

constexpr wchar_t kWindowClass[] = L"OrvantaGuiThreadCalls";
constexpr UINT kSynchronizedCall = WM_APP + 1;
constexpr UINT kQueuedCall = WM_APP + 2;
// What the window answers a synchronised call it ran; SendMessage gives 0 when it failed.
constexpr LRESULT kRan = 1;
// Windows painted at most each time a wait wakes up.
constexpr int kPaintsPerWake = 64;

std::atomic<HWND> guiWindow{nullptr};
std::atomic<DWORD> guiThreadId{0};

GuiExceptionHook& Hook() {
  static GuiExceptionHook hook;
  return hook;
}

void WriteToDebugger(std::exception_ptr error) {
  std::string text = "Unhandled exception in a call on the GUI thread";
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    text += ": ";
    text += e.what();
  } catch (...) {
  }
  OutputDebugStringA((text + "\n").c_str());
}

void RunGuarded(const std::function<void()>& call) {
  try {
    call();
  } catch (...) {
    try {
      if (Hook()) {
        Hook()(std::current_exception());
      } else {
        WriteToDebugger(std::current_exception());
      }
    } catch (...) {
      // Nothing may unwind into the window procedure.
    }
  }
}

LRESULT CALLBACK CallWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kSynchronizedCall:
      RunGuarded(*reinterpret_cast<const std::function<void()>*>(lParam));
      return kRan;
    case kQueuedCall: {
      std::unique_ptr<std::function<void()>> call(reinterpret_cast<std::function<void()>*>(lParam));
      RunGuarded(*call);
      return 0;
    }
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

void InitGuiThread() {
  if (guiWindow.load()) return;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = CallWindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExW(&windowClass);
  HWND window = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
  if (!window) throw EOSError("The window for calls onto the GUI thread cannot be created.");
  guiThreadId = GetCurrentThreadId();
  guiWindow = window;
}

bool IsGuiThread() { return guiWindow.load() && guiThreadId.load() == GetCurrentThreadId(); }

bool Synchronize(const std::function<void()>& call) {
  if (IsGuiThread()) {
    RunGuarded(call);
    return true;
  }
  HWND window = guiWindow.load();
  return window && SendMessageW(window, kSynchronizedCall, 0, reinterpret_cast<LPARAM>(&call)) == kRan;
}

bool Queue(std::function<void()> call) {
  HWND window = guiWindow.load();
  if (!window) return false;
  auto posted = std::make_unique<std::function<void()>>(std::move(call));
  if (!PostMessageW(window, kQueuedCall, 0, reinterpret_cast<LPARAM>(posted.get()))) return false;
  posted.release();  // the window procedure frees it
  return true;
}

void SetGuiExceptionHook(GuiExceptionHook hook) { Hook() = std::move(hook); }

bool DispatchPendingMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

bool PumpMessagesUntil(const std::function<bool()>& done) {
  while (!done()) {
    if (!DispatchPendingMessages()) return false;
    if (done()) break;
    MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
  return true;
}

bool WaitRunningSynchronizedCalls(void* handle, unsigned long timeoutMs) {
  HANDLE waited = handle;
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    const ULONGLONG passed = GetTickCount64() - start;
    if (timeoutMs != INFINITE && passed >= timeoutMs) return false;
    const DWORD left = timeoutMs == INFINITE ? INFINITE : static_cast<DWORD>(timeoutMs - passed);
    const DWORD woken =
        MsgWaitForMultipleObjectsEx(1, &waited, left, QS_SENDMESSAGE | QS_PAINT, MWMO_INPUTAVAILABLE);
    if (woken == WAIT_OBJECT_0) return true;
    if (woken != WAIT_OBJECT_0 + 1) return false;
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    // A bounded round, so a window that never validates cannot hold it.
    for (int round = 0; round < kPaintsPerWake && PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE | PM_QS_PAINT);
         ++round) {
      DispatchMessageW(&msg);
    }
  }
}

}  // namespace classlib
