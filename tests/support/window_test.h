// Helpers for tests that drive windows: the application set up once, exceptions that reach a
// boundary collected instead of shown, a control's own pixels read back from a DIB, and the input
// a user would give (clicks, keys, the close box) as messages.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "classlib/controls.h"
#include "classlib/forms.h"
#include "classlib/graphics.h"

namespace testing_support {

// Starts the control library and initialises the application, once, and collects the
// application's boundary exceptions from now on.
void InitWindows();
// Messages of the exceptions that reached the application's handler since the last call.
std::vector<std::string> TakeBoundaryErrors();

// The client area as the control paints it (WM_PRINTCLIENT into a 32-bit DIB).
void PaintControl(classlib::TWinControl& control, classlib::TBitmap& into);

// What the window shows on the display now (its client area, or the whole window with its frame),
// and a picture as the display would show it: both pass through a bitmap of the display's format,
// so the two compare exactly whatever the display's depth. A control's own fresh paint passed
// through the second equals the first only when the control repainted what changed.
void ShownOnDisplay(HWND window, bool wholeWindow, classlib::TBitmap& into);
void AsDisplayShows(classlib::TBitmap& picture);
// The pixels of the client area, Inset from its edges, that the control shows on the display
// otherwise than a fresh paint of its present state: 0 once every change has been repainted.
int StalePixels(classlib::TWinControl& control, int inset = 0);

// The GDI objects the process holds now.
int GdiObjectCount();

// A left click at a client point of a window, as the mouse gives it.
void ClickAt(HWND window, int x, int y);
// A double-click at a client point, as the mouse gives it: down, up, double, up through the loop.
void DoubleClickAt(HWND window, int x, int y);
// A click on a button-like control through its window (BM_CLICK).
void ClickButton(classlib::TWinControl& button);
// Key down and up for a virtual key on the window that has it, through the application's loop.
void PressKey(HWND window, WORD key);
// Characters typed into the window, one WM_CHAR each, through the application's loop.
void TypeChars(HWND window, const std::wstring& chars);
// Alt plus a letter, as the system reports an accelerator.
void PressAltKey(HWND window, wchar_t letter);
// The system menu's close command.
void CloseBox(classlib::TForm& form);
// Runs the message loop until nothing is waiting.
void Pump();
// One pause of the program's main loop, as Run makes it: every waiting message, the application's
// idle step, then what that left waiting. Only from a test's own code, never inside a handler.
void MainLoopPause();

}  // namespace testing_support
