#include "classlib/hint_window.h"

#include "classlib/forms.h"

namespace classlib {

namespace {

constexpr UINT kHintTextFlags = DT_WORDBREAK | DT_NOPREFIX;

}  // namespace

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  SetVisible(false);
  SetColor(clInfoBk);
  Font().SetColor(clInfoText);
}

void THintWindow::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.Style = WS_POPUP | WS_BORDER;
  p.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  p.WndParent = Application().Handle();
}

RECT THintWindow::CalcHintRect(int MaxWidth, const std::string& AHint) {
  RECT r = {0, 0, MaxWidth, 0};
  HDC screen = GetDC(nullptr);
  {
    TCanvas canvas(screen);
    canvas.Font().Assign(Font());
    canvas.DrawText(AHint, r, kHintTextFlags | DT_CALCRECT);
  }
  ReleaseDC(nullptr, screen);
  r.right += 6;
  r.bottom += 2;
  return r;
}

void THintWindow::ActivateHint(RECT Rect, const std::string& AHint) {
  SetCaption(AHint);
  SetBounds(Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top);
  ShowOnTop();
}

void THintWindow::ShowOnTop() {
  SetWindowPos(Handle(), HWND_TOPMOST, Left(), Top(), Width(), Height(), SWP_NOACTIVATE | SWP_SHOWWINDOW);
  TControl::SetVisible(true);
  Invalidate();
}

void THintWindow::Paint() {
  TCustomControl::Paint();
  RECT r = ClientRect();
  InflateRect(&r, -2, -1);
  Canvas().Brush().SetStyle(TBrushStyle::bsClear);
  Canvas().DrawText(Caption(), r, kHintTextFlags);
}

void THintWindow::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_NCHITTEST:
      m.Result = HTTRANSPARENT;
      return;
    case WM_MOUSEACTIVATE:
      m.Result = MA_NOACTIVATE;
      return;
    default:
      TCustomControl::WndProc(m);
  }
}

}  // namespace classlib
