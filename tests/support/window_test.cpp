#include "tests/support/window_test.h"

#include <cstdint>
#include <utility>

#include "controls/panels/vis_application.h"

namespace testing_support {

namespace {

std::vector<std::string>& BoundaryErrors() {
  static std::vector<std::string> errors;
  return errors;
}

}  // namespace

void InitWindows() {
  // The program's entry does the same before its first window.
  static const bool started = (controls::StartControlLibrary(), true);
  (void)started;
  classlib::Application().Initialize();
  classlib::Application().SetTitle("Orvanta");
  classlib::Application().OnException = [](std::exception_ptr e) {
    BoundaryErrors().push_back(classlib::ExceptionMessage(e));
  };
}

std::vector<std::string> TakeBoundaryErrors() { return std::exchange(BoundaryErrors(), {}); }

void PaintControl(classlib::TWinControl& control, classlib::TBitmap& into) {
  const RECT r = control.ClientRect();
  into.SetSize(r.right, r.bottom);
  SendMessageW(control.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(into.Canvas().Handle()),
               PRF_CLIENT | PRF_ERASEBKGND);
}

int GdiObjectCount() {
  if (const DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<int>(count);
  // Wine answers 0 above; its process's table of GDI handles (the PEB's, 24-byte entries whose
  // byte 14 is the object's type, 0 when free) knows.
  using GetPeb = const std::uint8_t*(WINAPI*)();
  // Through void (*)(), the one function type that converts to any other without a warning.
  const auto getPeb = reinterpret_cast<GetPeb>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetCurrentPeb")));
  const std::uint8_t* peb = getPeb();
  const auto* table = *reinterpret_cast<const std::uint8_t* const*>(peb + 0xF8);
  int count = 0;
  for (int i = 0; table && i < 0x10000; ++i) count += table[i * 24 + 14] != 0;
  return count;
}

void ClickAt(HWND window, int x, int y) {
  const LPARAM at = MAKELPARAM(x, y);
  SendMessageW(window, WM_MOUSEMOVE, 0, at);
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(window, WM_LBUTTONUP, 0, at);
}

void ClickButton(classlib::TWinControl& button) { SendMessageW(button.Handle(), BM_CLICK, 0, 0); }

void PressKey(HWND window, WORD key) {
  PostMessageW(window, WM_KEYDOWN, key, 1);
  PostMessageW(window, WM_KEYUP, key, 0xC0000001);
  Pump();
}

void TypeChars(HWND window, const std::wstring& chars) {
  for (wchar_t c : chars) PostMessageW(window, WM_CHAR, c, 1);
  Pump();
}

void PressAltKey(HWND window, wchar_t letter) {
  PostMessageW(window, WM_SYSCHAR, letter, 0x20000001);
  Pump();
}

void CloseBox(classlib::TForm& form) { SendMessageW(form.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }

void Pump() { classlib::Application().ProcessMessages(); }

void MainLoopPause() {
  Pump();
  classlib::Application().Idle();
  Pump();
}

}  // namespace testing_support
