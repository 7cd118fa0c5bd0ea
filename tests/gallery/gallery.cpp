// orvgallery NAME OUT.png: shows the named window with sample state and saves what the screen
// shows of it. orvgallery --list: the names.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "classlib/forms.h"
#include "controls/panels/vis_application.h"
#include "classlib/wide.h"
#include "tests/gallery/gallery.h"
#include "tests/gallery/png_file.h"

namespace {

// Lets the window and all its children paint, and the display take the picture.
void LetItPaint(HWND window) {
  for (int i = 0; i < 10; ++i) {
    classlib::Application().ProcessMessages();
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();
    Sleep(50);
  }
}

// The window's rectangle as the screen shows it, as rows of RGB.
std::vector<std::uint8_t> Grab(const RECT& r) {
  const int width = r.right - r.left, height = r.bottom - r.top;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  std::vector<std::uint8_t> rgb;
  rgb.reserve(static_cast<size_t>(width) * height * 3);
  const auto* bgra = static_cast<const std::uint8_t*>(bits);
  for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
    rgb.push_back(bgra[i * 4 + 2]);
    rgb.push_back(bgra[i * 4 + 1]);
    rgb.push_back(bgra[i * 4]);
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return rgb;
}

int Usage() {
  std::fprintf(stderr, "usage: orvgallery NAME OUT.png | --list\n");
  return 2;
}

}  // namespace

int main() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(classlib::Narrow(argv[i]));
  LocalFree(argv);

  if (args.size() == 1 && args[0] == "--list") {
    for (const gallery::GalleryWindow& w : gallery::GalleryWindows()) std::printf("%s\n", w.name.c_str());
    return 0;
  }
  if (args.size() != 2) return Usage();

  for (const gallery::GalleryWindow& w : gallery::GalleryWindows()) {
    if (w.name != args[0]) continue;
    controls::StartControlLibrary();
    classlib::TApplication& application = classlib::Application();
    application.Initialize();
    application.SetTitle("Orvanta");
    classlib::TForm* form = w.show();
    const HWND window = form->Handle();
    LetItPaint(window);
    RECT r;
    GetWindowRect(window, &r);
    const bool written = gallery::WritePng(classlib::Widen(args[1]), r.right - r.left, r.bottom - r.top, Grab(r));
    if (!written) std::fprintf(stderr, "orvgallery: cannot write %s\n", args[1].c_str());
    // As the program ends: the windows go while everything they use is still there.
    while (application.ComponentCount() > 0) delete application.Components(application.ComponentCount() - 1);
    controls::StopControlLibrary();
    return written ? 0 : 1;
  }
  std::fprintf(stderr, "orvgallery: no window named %s (see --list)\n", args[0].c_str());
  return 2;
}
