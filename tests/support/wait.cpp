#include "tests/support/wait.h"

#include <windows.h>

#include <utility>

namespace testing_support {

namespace {

// The one deadline running: tests wait for one dialog at a time.
DialogDeadline* running = nullptr;

// The dialog (class "#32770") of this thread, shown or not yet; null when there is none.
HWND DialogOfThisThread() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM parameter) -> BOOL {
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (lstrcmpW(name, L"#32770") != 0) return TRUE;
        *reinterpret_cast<HWND*>(parameter) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace

std::string WaitText() { return std::to_string(kWaitMs / 1000) + " s"; }

DialogDeadline::DialogDeadline(std::string dialog) : dialog_(std::move(dialog)) {
  running = this;
  timer_ = SetTimer(nullptr, 0, kWaitMs, [](HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (!running || running->timer_ != timer) return;
    const HWND open = DialogOfThisThread();
    running->problem_ = running->dialog_ + (open ? " was still open after " : " did not open within ") + WaitText();
    if (open) PostMessageW(open, WM_COMMAND, IDCANCEL, 0);
  });
}

DialogDeadline::~DialogDeadline() {
  KillTimer(nullptr, timer_);
  running = nullptr;
}

}  // namespace testing_support
