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

namespace {

// Rect of source to a 32-bit picture, through a bitmap of the display's format.
void ThroughDisplayFormat(HDC source, const RECT& rect, classlib::TBitmap& into) {
  const int w = rect.right - rect.left, h = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, source, rect.left, rect.top, SRCCOPY);
  into.SetSize(w, h);
  BitBlt(into.Canvas().Handle(), 0, 0, w, h, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

}  // namespace

void ShownOnDisplay(HWND window, bool wholeWindow, classlib::TBitmap& into) {
  RECT r;
  if (wholeWindow) {
    GetWindowRect(window, &r);
    OffsetRect(&r, -r.left, -r.top);
  } else {
    GetClientRect(window, &r);
  }
  HDC dc = wholeWindow ? GetWindowDC(window) : GetDC(window);
  ThroughDisplayFormat(dc, r, into);
  ReleaseDC(window, dc);
}

void AsDisplayShows(classlib::TBitmap& picture) {
  classlib::TBitmap copy;
  ThroughDisplayFormat(picture.Canvas().Handle(), {0, 0, picture.Width(), picture.Height()}, copy);
  picture.Assign(copy);
}

int StalePixels(classlib::TWinControl& control, int inset) {
  classlib::TBitmap shown, fresh;
  ShownOnDisplay(control.Handle(), false, shown);
  PaintControl(control, fresh);
  AsDisplayShows(fresh);
  int stale = 0;
  for (int y = inset; y < fresh.Height() - inset; ++y)
    for (int x = inset; x < fresh.Width() - inset; ++x) stale += shown.Pixel(x, y) != fresh.Pixel(x, y);
  return stale;
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

void DoubleClickAt(HWND window, int x, int y) {
  const LPARAM at = MAKELPARAM(x, y);
  for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
    PostMessageW(window, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
  Pump();
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
