#include "controls/panels/vis_custom_control.h"

#include <uxtheme.h>

#include "controls/panels/vis_application.h"
#include "controls/panels/vis_messages.h"
#include "controls/panels/vis_themes.h"

namespace controls {

using classlib::TCanvas;
using classlib::TMessage;

namespace {

void FrameIn(TCanvas& canvas, const RECT& r, classlib::TColor color) {
  canvas.Brush().SetStyle(classlib::TBrushStyle::bsSolid);
  canvas.Brush().SetColor(color);
  canvas.FrameRect(r);
}

}  // namespace

TVisCustomControl::TVisCustomControl(classlib::TComponent* AOwner)
    : TCustomControl(AOwner), image_(*this, [this] { ImageListChanged(image_.List()); }) {
  effect_.OnChange = [this](TObject* sender) { GetChange(sender); };
  SetBounds(Left(), Top(), 100, 40);
}

TVisCustomControl::~TVisCustomControl() { effect_.OnChange = nullptr; }

void TVisCustomControl::SetTransparent(bool Value) {
  if (Value == transparent_) return;
  transparent_ = Value;
  SetControlStyle(Value ? ControlStyle() & ~classlib::csOpaque : ControlStyle() | classlib::csOpaque);
  RecreateWnd();
}

void TVisCustomControl::SetCtl3D(bool Value) {
  if (Value == ctl3D_) return;
  ctl3D_ = Value;
  Ctl3DChanged();
}

bool TVisCustomControl::DrawBackground(TCanvas&, const RECT&, unsigned, POINT) { return false; }

void TVisCustomControl::RedrawAll() {
  Invalidate();
  NotifyControls(CM_VISREDRAW);
}

bool TVisCustomControl::ThemeParentBackgroundWanted() {
  return transparent_ && VisApplication().ThemesAvailable() && themedDrawing_ && !BackgroundAvailable();
}

void TVisCustomControl::EraseBackground() {
  if (ThemeParentBackgroundWanted() && ThemeBackgroundAllowed()) {
    // The window is painted off-screen, so the theme's parent background goes into that picture;
    // whatever the call gives, the control paints no background of its own.
    if (HandleAllocated()) ThemeLibrary().DrawThemeParentBackground(Handle(), Canvas().Handle(), nullptr);
    return;
  }
  const RECT client = ClientRect();
  if (UsesParentBuffer() && DrawBackground(Canvas(), client, 0, {0, 0})) return;
  Canvas().Brush().SetStyle(classlib::TBrushStyle::bsSolid);
  Canvas().Brush().SetColor(Color());
  Canvas().FillRect(client);
}

void TVisCustomControl::GetChange(TObject*) {
  if (redrawOnChange_) Invalidate();
}

void TVisCustomControl::MouseEntered() {
  if (OnMouseEnter) OnMouseEnter(this);
  hot_ = true;
}

void TVisCustomControl::MouseLeft() {
  hot_ = false;
  if (!hasFocus_ && flatBorder_) PaintFlatBorder();
  if (OnMouseExit) OnMouseExit(this);
}

void TVisCustomControl::Paint() {
  if (Loading()) return;
  EraseBackground();
  PaintFlatBorder(Canvas());
}

void TVisCustomControl::Loaded() {
  TCustomControl::Loaded();
  if (image_.List()) ImageListChanged(image_.List());
}

void TVisCustomControl::Notification(classlib::TComponent* AComponent, classlib::TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == classlib::TOperation::opRemove) image_.Ref().Removed(AComponent);
}

void TVisCustomControl::DoEnter() {
  TCustomControl::DoEnter();
  hasFocus_ = true;
  if (flatBorder_) PaintFocusBorder();
}

void TVisCustomControl::DoExit() {
  hasFocus_ = false;
  PaintFlatBorder();
  TCustomControl::DoExit();
}

template <typename F>
void TVisCustomControl::OnWindowCanvas(F paint) {
  if (!HandleAllocated()) return;
  HWND window = Handle();
  HDC dc = GetWindowDC(window);
  if (!dc) return;
  struct Release {
    HWND window;
    HDC dc;
    ~Release() { ReleaseDC(window, dc); }
  } release{window, dc};
  TCanvas canvas(dc);
  paint(canvas);
}

void TVisCustomControl::PaintFlatBorder() {
  OnWindowCanvas([this](TCanvas& canvas) { PaintFlatBorder(canvas); });
}

void TVisCustomControl::PaintFocusBorder() {
  OnWindowCanvas([this](TCanvas& canvas) { PaintFocusBorder(canvas); });
}

void TVisCustomControl::PaintFocusBorder(TCanvas& Canvas) {
  if (ThemedBorderInUse()) {
    PaintThemedBorder(Canvas, ClientRect());
    return;
  }
  const int w = Width(), h = Height();
  if (ctl3D_) {
    FrameIn(Canvas, {1, 1, w, h}, classlib::clWindowFrame);
    FrameIn(Canvas, {0, 0, w - 1, h - 1}, classlib::clBtnFace);
    RECT r = {0, 0, w, h};
    DrawEdge(Canvas.Handle(), &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  } else {
    FrameIn(Canvas, {0, 0, w, h}, classlib::clWindowFrame);
  }
}

void TVisCustomControl::PaintFlatBorder(TCanvas& Canvas) {
  if (Focused() || !flatBorder_ || hot_) return;
  if (ThemedBorderInUse()) {
    PaintThemedBorder(Canvas, ClientRect());
    return;
  }
  const int w = Width(), h = Height();
  FrameIn(Canvas, {0, 0, w, h}, classlib::clBtnFace);
  if (ctl3D_) FrameIn(Canvas, {1, 1, w - 1, h - 1}, classlib::clBtnFace);
}

TVisThemedState TVisCustomControl::GetThemedEditState() {
  TVisThemedState state{L"EDIT", 1, 1};
  if (Focused()) state.State = 5;
  if (hot_) state.State = 2;
  if (IsReadOnly()) state.State = 6;
  if (!Enabled()) state.State = 4;
  return state;
}

void TVisCustomControl::FillBackgroundRect(TCanvas& Canvas, const RECT& Rect) {
  if (ThemedBorderInUse()) return;
  if (UsesParentBuffer() && DrawBackground(Canvas, Rect, 0, {0, 0})) return;
  Canvas.Brush().SetStyle(classlib::TBrushStyle::bsSolid);
  Canvas.Brush().SetColor(Color());
  Canvas.FillRect(Rect);
}

void TVisCustomControl::PaintThemedBorder(TCanvas& Canvas, const RECT& Rect) {
  const TVisThemedState state = GetThemedEditState();
  const TVisThemeLibrary& themes = ThemeLibrary();
  HTHEME theme = themes.OpenThemeData(Handle(), state.ClassName);
  if (!theme) return;
  struct Close {
    const TVisThemeLibrary& themes;
    HTHEME theme;
    ~Close() { themes.CloseThemeData(theme); }
  } close{themes, theme};
  themes.DrawThemeBackground(theme, Canvas.Handle(), state.Part, state.State, Rect, nullptr);
}

bool TVisCustomControl::ThemedBorderInUse() {
  return ThemedBorderWanted() && VisApplication().ThemesInUse() && themedDrawing_;
}

void TVisCustomControl::EraseWindow(TMessage& m) {
  if ((transparent_ && ThemeParentBackgroundWanted() && ThemeBackgroundAllowed()) || UsesParentBuffer()) {
    // The paint draws the background.
    m.Result = 1;
    return;
  }
  TCustomControl::WndProc(m);
}

void TVisCustomControl::BackgroundChanged() {
  effect_.InvalidateBuffer();
  if (UsesParentBuffer()) {
    // Drawn from the parent's picture: now, and the children that do the same follow.
    Repaint();
    NotifyControls(CM_VISPARENTBKGNDCHANGED);
  } else {
    Invalidate();
  }
}

void TVisCustomControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_VISPARENTBKGNDCHANGED:
      if (Loading() || Destroying()) return;
      BackgroundChanged();
      return;
    case CM_VISFOCUSGAINED:
      if (OnFocusGained) OnFocusGained(this);
      return;
    case CM_VISFOCUSLOST:
      if (OnFocusLost) OnFocusLost(this);
      return;
    case CM_VISPASSPARENTBKGND:
      if (UsesParentBuffer()) NotifyControls(CM_VISPARENTBKGNDCHANGED);
      return;
    case CM_VISREDRAW:
      RedrawAll();
      return;
    case WM_THEMECHANGED:
      TCustomControl::WndProc(m);
      RedrawAll();
      return;
    case classlib::CM_SYSCOLORCHANGE:
      TCustomControl::WndProc(m);
      if (!transparent_) Invalidate();
      return;
    case WM_ERASEBKGND:
      EraseWindow(m);
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TCustomControl::WndProc(m);
      if (HandleAllocated())
        PostMessageW(Handle(), m.Msg == WM_SETFOCUS ? CM_VISFOCUSGAINED : CM_VISFOCUSLOST, 0, 0);
      return;
    case WM_MOVE:
      TCustomControl::WndProc(m);
      if (UsesParentBuffer()) {
        effect_.InvalidateBuffer();
        Repaint();
      }
      return;
    case WM_SIZE:
      TCustomControl::WndProc(m);
      BackgroundChanged();
      return;
    default:
      TCustomControl::WndProc(m);
  }
}

}  // namespace controls
