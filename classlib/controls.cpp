#include "classlib/controls.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "classlib/exceptions.h"
#include "classlib/forms.h"
#include "classlib/menus.h"
#include "classlib/wide.h"

namespace classlib {

namespace {

constexpr wchar_t kControlProperty[] = L"OrvantaControl";
constexpr UINT_PTR kSubclassId = 1;

bool IsClientMouseMessage(UINT msg) {
  return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL && msg != WM_MOUSEHWHEEL;
}

LPARAM MovePoint(LPARAM lParam, int dx, int dy) {
  return MAKELPARAM(GET_X_LPARAM(lParam) - dx, GET_Y_LPARAM(lParam) - dy);
}

TShiftState MouseShift(WPARAM keys) {
  TShiftState s = 0;
  if (keys & MK_SHIFT) s |= ssShift;
  if (keys & MK_CONTROL) s |= ssCtrl;
  if (keys & MK_LBUTTON) s |= ssLeft;
  if (keys & MK_RBUTTON) s |= ssRight;
  if (keys & MK_MBUTTON) s |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

LPCWSTR SystemCursor(TCursor cursor) {
  switch (cursor) {
    case TCursor::crHandPoint: return IDC_HAND;
    case TCursor::crHourGlass: return IDC_WAIT;
    case TCursor::crIBeam: return IDC_IBEAM;
    default: return IDC_ARROW;
  }
}

// A memory context with a bitmap of the target's format, released on every way out.
class OffscreenDC {
 public:
  OffscreenDC(HDC target, int width, int height)
      : dc_(CreateCompatibleDC(target)), bitmap_(CreateCompatibleBitmap(target, width, height)) {
    old_ = SelectObject(dc_, bitmap_);
  }
  ~OffscreenDC() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  OffscreenDC(const OffscreenDC&) = delete;
  OffscreenDC& operator=(const OffscreenDC&) = delete;
  HDC Handle() const { return dc_; }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

// Gives the canvas a context for one paint and takes it back whatever happens.
class CanvasOn {
 public:
  CanvasOn(TCanvas& canvas, HDC dc) : canvas_(canvas) { canvas_.SetHandle(dc); }
  ~CanvasOn() { canvas_.SetHandle(nullptr); }
  CanvasOn(const CanvasOn&) = delete;
  CanvasOn& operator=(const CanvasOn&) = delete;

 private:
  TCanvas& canvas_;
};

}  // namespace

TShiftState KeyboardShiftState() {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

// ===================================================================== TControl

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
  font_.OnChange = [this] { FontChanged(); };
}

TControl::~TControl() {
  BeginDestroy();
  font_.OnChange = nullptr;
  if (parent_) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* AParent) {
  if (AParent == parent_) return;
  if (AParent == this) throw EListError("Ein Steuerelement kann nicht sein eigener Parent sein");
  if (parent_) parent_->RemoveControl(this);
  if (AParent) AParent->InsertControl(this);
}

TForm* TControl::ParentForm() const {
  const TControl* c = this;
  while (c->parent_) c = c->parent_;
  return dynamic_cast<TForm*>(const_cast<TControl*>(c));
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (AWidth < 0) AWidth = 0;
  if (AHeight < 0) AHeight = 0;
  if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_) return;
  const bool resized = AWidth != width_ || AHeight != height_;
  if (!IsWindowed()) Invalidate();
  left_ = ALeft;
  top_ = ATop;
  width_ = AWidth;
  height_ = AHeight;
  BoundsChanged();
  if (!IsWindowed()) Invalidate();
  if (align_ != TAlign::alNone) RequestAlign();
  if (resized && !IsWindowed()) Resize();
}

int TControl::ClientWidth() const {
  const RECT r = ClientRect();
  return r.right - r.left;
}

int TControl::ClientHeight() const {
  const RECT r = ClientRect();
  return r.bottom - r.top;
}

POINT TControl::ClientOrigin() const {
  if (!parent_) return {left_, top_};
  POINT p = parent_->ClientOrigin();
  return {p.x + left_, p.y + top_};
}

POINT TControl::ClientToScreen(POINT p) const {
  const POINT o = ClientOrigin();
  return {p.x + o.x, p.y + o.y};
}

POINT TControl::ScreenToClient(POINT p) const {
  const POINT o = ClientOrigin();
  return {p.x - o.x, p.y - o.y};
}

void TControl::SetAlign(TAlign value) {
  if (value == align_) return;
  align_ = value;
  RequestAlign();
}

void TControl::RequestAlign() {
  if (parent_) parent_->Realign();
}

void TControl::SetVisible(bool value) {
  if (value == visible_) return;
  if (!value) Invalidate();
  visible_ = value;
  if (value) Invalidate();
  Perform(CM_VISIBLECHANGED, value);
  RequestAlign();
}

bool TControl::Showing() const { return visible_ && parent_ && parent_->Showing(); }

void TControl::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  Perform(CM_ENABLEDCHANGED);
  Invalidate();
}

void TControl::SetText(const std::string& value) {
  if (value == Text()) return;
  text_ = value;
  Perform(CM_TEXTCHANGED);
}

void TControl::SetColor(TColor value) {
  parentColor_ = false;
  if (value == color_) return;
  color_ = value;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool value) {
  parentColor_ = value;
  if (value && parent_) TakeParentColor();
}

void TControl::TakeParentColor() {
  if (!parent_ || parent_->Color() == color_) return;
  color_ = parent_->Color();
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentFont(bool value) {
  parentFont_ = value;
  if (value && parent_) TakeParentFont();
}

void TControl::TakeParentFont() {
  if (!parent_ || font_.SameAs(parent_->Font())) return;
  takingParentFont_ = true;
  font_.Assign(parent_->Font());
  takingParentFont_ = false;
}

void TControl::FontChanged() {
  if (!takingParentFont_) parentFont_ = false;
  Perform(CM_FONTCHANGED);
}

bool TControl::ShowHint() const { return parentShowHint_ && parent_ ? parent_->ShowHint() : showHint_; }

void TControl::SetShowHint(bool value) {
  showHint_ = value;
  parentShowHint_ = false;
  Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool value) {
  if (value == parentShowHint_) return;
  parentShowHint_ = value;
  Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* value) {
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = value;
  if (value) value->FreeNotification(this);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == popupMenu_) popupMenu_ = nullptr;
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage m{Msg, WParam, LParam, 0};
  WndProc(m);
  return m.Result;
}

void TControl::HandleMouse(TMessage& m) {
  const int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
  const TShiftState shift = MouseShift(m.WParam);
  switch (m.Msg) {
    case WM_MOUSEMOVE:
      MouseMove(shift, x, y);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      pressed_ = true;
      MouseDown(TMouseButton::mbLeft, shift | (m.Msg == WM_LBUTTONDBLCLK ? static_cast<unsigned>(ssDouble) : 0u), x, y);
      if (m.Msg == WM_LBUTTONDBLCLK && (controlStyle_ & csDoubleClicks)) DblClick();
      break;
    case WM_LBUTTONUP: {
      const bool wasPressed = pressed_;
      pressed_ = false;
      MouseUp(TMouseButton::mbLeft, shift, x, y);
      if (wasPressed && (controlStyle_ & csClickEvents) && x >= 0 && y >= 0 && x < width_ && y < height_) Click();
      break;
    }
    case WM_RBUTTONDOWN:
      MouseDown(TMouseButton::mbRight, shift, x, y);
      break;
    case WM_RBUTTONUP:
      MouseUp(TMouseButton::mbRight, shift, x, y);
      if (popupMenu_) {
        const POINT p = ClientToScreen({x, y});
        popupMenu_->Popup(p.x, p.y);
      }
      break;
    case WM_MBUTTONDOWN:
      MouseDown(TMouseButton::mbMiddle, shift, x, y);
      break;
    case WM_MBUTTONUP:
      MouseUp(TMouseButton::mbMiddle, shift, x, y);
      break;
    default:
      break;
  }
}

void TControl::WndProc(TMessage& m) {
  if (IsClientMouseMessage(m.Msg)) {
    if (enabled_ || m.Msg == WM_MOUSEMOVE) HandleMouse(m);
    // System controls handle the mouse themselves as well.
    DefaultHandler(m);
    return;
  }
  switch (m.Msg) {
    case CM_MOUSEENTER:
      mouseInControl_ = true;
      MouseEnter();
      return;
    case CM_MOUSELEAVE:
      mouseInControl_ = false;
      MouseLeave();
      return;
    case CM_PARENTCOLORCHANGED:
      if (parentColor_) TakeParentColor();
      return;
    case CM_PARENTFONTCHANGED:
      if (parentFont_) TakeParentFont();
      return;
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
      Invalidate();
      break;
    default:
      break;
  }
  DefaultHandler(m);
}

void TControl::Invalidate() {}

void TControl::Update() {}

void TControl::BringToFront() {
  if (!parent_) return;
  auto& list = parent_->controls_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  list.push_back(this);
  if (IsWindowed()) {
    auto* self = static_cast<TWinControl*>(this);
    if (self->HandleAllocated()) SetWindowPos(self->handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  Invalidate();
}

void TControl::SendToBack() {
  if (!parent_) return;
  auto& list = parent_->controls_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  list.insert(list.begin(), this);
  if (IsWindowed()) {
    auto* self = static_cast<TWinControl*>(this);
    if (self->HandleAllocated())
      SetWindowPos(self->handle_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  Invalidate();
}

// ===================================================================== TGraphicControl

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}

void TGraphicControl::Invalidate() {
  TWinControl* p = Parent();
  if (!p || !p->HandleAllocated() || !Visible()) return;
  const RECT r = BoundsRect();
  InvalidateRect(p->Handle(), &r, FALSE);
}

void TGraphicControl::Update() {
  if (Parent() && Parent()->HandleAllocated()) UpdateWindow(Parent()->Handle());
}

void TGraphicControl::Repaint() {
  TWinControl* p = Parent();
  if (!Visible() || !p || !p->HandleAllocated()) return;
  if (!(ControlStyle() & csOpaque)) {
    TControl::Repaint();
    return;
  }
  if (!IsWindowVisible(p->handle_)) return;
  struct WindowDC {
    HWND window;
    HDC dc;
    ~WindowDC() { ReleaseDC(window, dc); }
  } target{p->handle_, GetDC(p->handle_)};
  if (!target.dc) return;
  IntersectClipRect(target.dc, Left(), Top(), Left() + Width(), Top() + Height());
  p->PaintGraphicChildren(target.dc, this);
}

void TGraphicControl::PaintTo(HDC dc) {
  CanvasOn on(canvas_, dc);
  canvas_.Font().Assign(Font());
  Paint();
}

// ===================================================================== TWinControl

LRESULT CALLBACK ControlSubclassProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR ref) {
  auto* control = reinterpret_cast<TWinControl*>(ref);
  TMessage m{msg, wParam, lParam, 0};
  try {
    control->WndProc(m);
  } catch (...) {
    Application().HandleException(std::current_exception());
  }
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(window, ControlSubclassProc, kSubclassId);
    RemovePropW(window, kControlProperty);
    if (control->handle_ == window) control->handle_ = nullptr;
  }
  return m.Result;
}

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
  BeginDestroy();
  while (!controls_.empty()) delete controls_.back();
  DestroyHandle();
}

TWinControl* TWinControl::FindControl(HWND window) {
  return window ? static_cast<TWinControl*>(GetPropW(window, kControlProperty)) : nullptr;
}

void TWinControl::RegisterOwnClass(const wchar_t* name, HICON large, HICON small) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hIcon = large;
  wc.hIconSm = small;
  wc.lpszClassName = name;
  RegisterClassExW(&wc);
}

const wchar_t* TWinControl::OwnWindowClass() {
  static const wchar_t* name = [] {
    RegisterOwnClass(L"OrvantaWindow", nullptr, nullptr);
    return L"OrvantaWindow";
  }();
  return name;
}

void TWinControl::CreateParams(TCreateParams& p) {
  p.WinClassName = OwnWindowClass();
  p.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (Visible()) p.Style |= WS_VISIBLE;
  if (!Enabled()) p.Style |= WS_DISABLED;
  if (tabStop_) p.Style |= WS_TABSTOP;
  p.X = Left();
  p.Y = Top();
  p.Width = Width();
  p.Height = Height();
}

HWND TWinControl::Handle() {
  if (!handle_) {
    if (Parent()) Parent()->HandleNeeded();
    if (!handle_) CreateHandle();
  }
  return handle_;
}

void TWinControl::CreateHandle() {
  if (Destroying()) throw EOSError("Fenster eines freigegebenen Steuerelements angefordert");
  CreateWnd();
  for (TControl* c : std::vector<TControl*>(controls_))
    if (c->IsWindowed()) static_cast<TWinControl*>(c)->HandleNeeded();
  Realign();
}

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  HWND parentWindow = Parent() ? Parent()->Handle() : p.WndParent;
  if ((p.Style & WS_CHILD) && !parentWindow)
    throw EOSError("Steuerelement '" + Name() + "' hat kein übergeordnetes Fenster");
  HWND window = CreateWindowExW(p.ExStyle, p.WinClassName.c_str(), Widen(TControl::Text()).c_str(), p.Style, p.X,
                                p.Y, p.Width, p.Height, parentWindow, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!window) throw EOSError("Fenster kann nicht erzeugt werden (" + Name() + ")");
  handle_ = window;
  SetPropW(window, kControlProperty, this);
  SetWindowSubclass(window, ControlSubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
  UpdateBoundsFromWindow();
}

void TWinControl::DestroyWnd() { text_ = Text(); }

void TWinControl::DestroyHandle() {
  if (!handle_) return;
  for (TControl* c : controls_)
    if (c->IsWindowed()) static_cast<TWinControl*>(c)->DestroyHandle();
  if (!Destroying()) DestroyWnd();
  HWND window = handle_;
  RemoveWindowSubclass(window, ControlSubclassProc, kSubclassId);
  RemovePropW(window, kControlProperty);
  handle_ = nullptr;
  DestroyWindow(window);
}

void TWinControl::RecreateWnd() {
  if (!handle_ || recreatePending_) return;
  recreatePending_ = true;
  PostMessageW(handle_, CM_RECREATEWND, 0, 0);
}

void TWinControl::InsertControl(TControl* control) {
  controls_.push_back(control);
  control->parent_ = this;
  if (control->parentColor_) control->TakeParentColor();
  if (control->parentFont_) control->TakeParentFont();
  if (control->IsWindowed()) {
    if (handle_) static_cast<TWinControl*>(control)->HandleNeeded();
  } else {
    control->Invalidate();
  }
  if (control->Align() != TAlign::alNone) Realign();
}

void TWinControl::RemoveControl(TControl* control) {
  if (control == captureChild_) captureChild_ = nullptr;
  if (control == hoverChild_) hoverChild_ = nullptr;
  if (!control->IsWindowed()) control->Invalidate();
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
  control->parent_ = nullptr;
  if (control->IsWindowed()) static_cast<TWinControl*>(control)->DestroyHandle();
  if (control->Align() != TAlign::alNone && !Destroying()) Realign();
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (const TControl* c = control; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(POINT p) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    if (c->IsWindowed() || !c->Visible()) continue;
    const RECT r = c->BoundsRect();
    if (PtInRect(&r, p)) return c;
  }
  return nullptr;
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  const bool resized = AWidth != Width() || AHeight != Height();
  TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (handle_ && !settingBounds_) {
    settingBounds_ = true;
    SetWindowPos(handle_, nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    settingBounds_ = false;
  }
  if (resized) {
    Realign();
    if (!handle_) Resize();
  }
}

void TWinControl::UpdateBoundsFromWindow() {
  RECT r;
  GetWindowRect(handle_, &r);
  if (Parent() && Parent()->HandleAllocated()) MapWindowPoints(nullptr, Parent()->handle_, reinterpret_cast<POINT*>(&r), 2);
  left_ = r.left;
  top_ = r.top;
  width_ = r.right - r.left;
  height_ = r.bottom - r.top;
}

RECT TWinControl::ClientRect() const {
  RECT r = {0, 0, Width(), Height()};
  if (handle_) GetClientRect(handle_, &r);
  return r;
}

POINT TWinControl::ClientOrigin() const {
  if (!handle_) return TControl::ClientOrigin();
  POINT p = {0, 0};
  ::ClientToScreen(handle_, &p);
  return p;
}

void TWinControl::SetVisible(bool value) {
  if (value == Visible()) return;
  TControl::SetVisible(value);
  if (handle_) ShowWindow(handle_, value ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::SetEnabled(bool value) {
  if (value == Enabled()) return;
  TControl::SetEnabled(value);
  if (handle_) EnableWindow(handle_, value);
}

bool TWinControl::Showing() const {
  if (handle_) return IsWindowVisible(handle_) != FALSE;
  return TControl::Showing();
}

std::string TWinControl::Text() const {
  if (!handle_) return TControl::Text();
  const int length = GetWindowTextLengthW(handle_);
  std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(handle_, buffer.data(), length + 1);
  return Narrow(buffer.data(), static_cast<size_t>(got));
}

LRESULT TWinControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  // System messages go through the window, so the system control sees them too.
  if (handle_ && Msg < CM_BASE) return SendMessageW(handle_, Msg, WParam, LParam);
  return TControl::Perform(Msg, WParam, LParam);
}

void TWinControl::Invalidate() {
  if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::Update() {
  if (handle_) UpdateWindow(handle_);
}

void TWinControl::SetBorderWidth(int value) {
  if (value == borderWidth_) return;
  borderWidth_ = value;
  Realign();
  Invalidate();
}

void TWinControl::SetTabStop(bool value) {
  tabStop_ = value;
  if (!handle_) return;
  LONG_PTR style = GetWindowLongPtrW(handle_, GWL_STYLE);
  style = value ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
  SetWindowLongPtrW(handle_, GWL_STYLE, style);
}

bool TWinControl::CanFocus() const {
  if (Destroying()) return false;
  for (const TControl* c = this; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

void TWinControl::SetFocus() {
  if (TForm* form = ParentForm()) form->SetActiveControl(this);
  if (CanFocus()) ::SetFocus(Handle());
}

void TWinControl::Realign() {
  if (aligning_) return;
  RECT r = ClientRect();
  aligning_ = true;
  try {
    AlignControls(nullptr, r);
  } catch (...) {
    aligning_ = false;
    throw;
  }
  aligning_ = false;
}

void TWinControl::AdjustClientRect(RECT& r) { InflateRect(&r, -borderWidth_, -borderWidth_); }

void TWinControl::AlignControls(TControl*, RECT& r) {
  AdjustClientRect(r);
  for (TAlign kind : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
    for (TControl* c : std::vector<TControl*>(controls_)) {
      if (c->Align() != kind || !c->Visible()) continue;
      const int w = r.right - r.left, h = r.bottom - r.top;
      switch (kind) {
        case TAlign::alTop:
          c->SetBounds(r.left, r.top, w, c->Height());
          r.top += c->Height();
          break;
        case TAlign::alBottom:
          c->SetBounds(r.left, r.bottom - c->Height(), w, c->Height());
          r.bottom -= c->Height();
          break;
        case TAlign::alLeft:
          c->SetBounds(r.left, r.top, c->Width(), h);
          r.left += c->Width();
          break;
        case TAlign::alRight:
          c->SetBounds(r.right - c->Width(), r.top, c->Width(), h);
          r.right -= c->Width();
          break;
        default:
          c->SetBounds(r.left, r.top, w, h);
          break;
      }
    }
  }
}

void TWinControl::NotifyControls(UINT Msg, WPARAM WParam, LPARAM LParam) {
  for (TControl* c : std::vector<TControl*>(controls_)) c->Perform(Msg, WParam, LParam);
}

LRESULT TWinControl::Broadcast(UINT Msg, WPARAM WParam, LPARAM LParam) {
  for (TControl* c : std::vector<TControl*>(controls_)) {
    if (const LRESULT r = c->Perform(Msg, WParam, LParam)) return r;
    if (c->IsWindowed())
      if (const LRESULT r = static_cast<TWinControl*>(c)->Broadcast(Msg, WParam, LParam)) return r;
  }
  return 0;
}

HBRUSH TWinControl::ColorBrush() {
  colorBrush_.SetColor(Color());
  return colorBrush_.Handle();
}

void TWinControl::PaintWindow(HDC) {}

void TWinControl::PaintControls(HDC dc) { PaintGraphicChildren(dc, nullptr); }

void TWinControl::PaintGraphicChildren(HDC dc, const TControl* first) {
  std::vector<TControl*> list(controls_);
  if (first) list.erase(list.begin(), std::find(list.begin(), list.end(), first));
  for (TControl* c : list) {
    if (c->IsWindowed() || !c->Visible()) continue;
    const int saved = SaveDC(dc);
    OffsetViewportOrgEx(dc, c->Left(), c->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
    static_cast<TGraphicControl*>(c)->PaintTo(dc);
    RestoreDC(dc, saved);
  }
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(wchar_t& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::TrackMouseLeave() {
  if (trackingLeave_ || !handle_) return;
  TRACKMOUSEEVENT t = {sizeof t, TME_LEAVE, handle_, 0};
  trackingLeave_ = TrackMouseEvent(&t) != FALSE;
}

void TWinControl::SetHoverChild(TControl* child) {
  if (child == hoverChild_) return;
  TControl* old = hoverChild_;
  hoverChild_ = child;
  if (old) old->Perform(CM_MOUSELEAVE);
  if (child) child->Perform(CM_MOUSEENTER);
}

bool TWinControl::RouteMouseToChild(TMessage& m) {
  const POINT p = {GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  TControl* target = captureChild_;
  if (!target) {
    target = ControlAtPos(p);
    if (m.Msg == WM_MOUSEMOVE) SetHoverChild(target);
  }
  if (!target) return false;
  if (!target->Enabled() && m.Msg != WM_MOUSEMOVE) return true;
  const bool down = m.Msg == WM_LBUTTONDOWN || m.Msg == WM_RBUTTONDOWN || m.Msg == WM_MBUTTONDOWN ||
                    m.Msg == WM_LBUTTONDBLCLK;
  const bool up = m.Msg == WM_LBUTTONUP || m.Msg == WM_RBUTTONUP || m.Msg == WM_MBUTTONUP;
  if (down && (target->ControlStyle() & csCaptureMouse)) {
    captureChild_ = target;
    SetCapture(handle_);
  }
  TMessage child{m.Msg, m.WParam, MovePoint(m.LParam, target->Left(), target->Top()), 0};
  if (up && captureChild_ == target) {
    captureChild_ = nullptr;
    if (GetCapture() == handle_) ReleaseCapture();
  }
  target->WndProc(child);
  m.Result = child.Result;
  return true;
}

bool TWinControl::ReflectToChild(TMessage& m) {
  HWND child = nullptr;
  switch (m.Msg) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
      child = reinterpret_cast<HWND>(m.LParam);
      break;
    case WM_NOTIFY:
      child = reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom;
      break;
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
      if (item->CtlType != ODT_MENU) child = item->hwndItem;
      break;
    }
    default:
      return false;
  }
  TWinControl* control = FindControl(child);
  if (!control || control == this) return false;
  m.Result = control->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
  return true;
}

void TWinControl::WndProc(TMessage& m) {
  if (ReflectToChild(m)) return;
  if (IsClientMouseMessage(m.Msg)) {
    if (m.Msg == WM_MOUSEMOVE && !MouseInControl()) {
      TrackMouseLeave();
      Perform(CM_MOUSEENTER);
    }
    if (RouteMouseToChild(m)) return;
  }
  switch (m.Msg) {
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      SetHoverChild(nullptr);
      Perform(CM_MOUSELEAVE);
      break;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(m.WParam) == handle_ && LOWORD(m.LParam) == HTCLIENT) {
        POINT p;
        GetCursorPos(&p);
        ::ScreenToClient(handle_, &p);
        TControl* over = ControlAtPos(p);
        const TCursor cursor = over && over->Cursor() != TCursor::crDefault ? over->Cursor() : Cursor();
        if (cursor != TCursor::crDefault) {
          ::SetCursor(LoadCursorW(nullptr, SystemCursor(cursor)));
          m.Result = TRUE;
          return;
        }
      }
      break;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(m.LParam) != handle_) captureChild_ = nullptr;
      break;
    case WM_SIZE:
    case WM_MOVE:
      if (!settingBounds_ && handle_) {
        const int oldWidth = Width(), oldHeight = Height();
        UpdateBoundsFromWindow();
        if (m.Msg == WM_SIZE) Realign();
        if (m.Msg == WM_SIZE && (oldWidth != Width() || oldHeight != Height())) Resize();
      } else if (m.Msg == WM_SIZE) {
        Resize();
      }
      break;
    case WM_SETFOCUS:
      if (TForm* form = ParentForm()) form->SetActiveControl(this);
      DoEnter();
      break;
    case WM_KILLFOCUS:
      DoExit();
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      WORD key = static_cast<WORD>(m.WParam);
      KeyDown(key, KeyboardShiftState());
      if (key == 0) return;
      m.WParam = key;
      break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      WORD key = static_cast<WORD>(m.WParam);
      KeyUp(key, KeyboardShiftState());
      if (key == 0) return;
      m.WParam = key;
      break;
    }
    case WM_CHAR: {
      wchar_t key = static_cast<wchar_t>(m.WParam);
      KeyPress(key);
      if (key == 0) return;
      m.WParam = key;
      break;
    }
    case WM_CONTEXTMENU:
      if (PopupMenu() && reinterpret_cast<HWND>(m.WParam) == handle_) {
        POINT p = {GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        if (p.x == -1 && p.y == -1) p = ClientToScreen({0, 0});
        PopupMenu()->Popup(p.x, p.y);
        return;
      }
      break;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      break;
    case CM_RECREATEWND:
      recreatePending_ = false;
      if (handle_) {
        DestroyHandle();
        HandleNeeded();
      }
      return;
    case CM_COLORCHANGED:
      NotifyControls(CM_PARENTCOLORCHANGED);
      Invalidate();
      return;
    case CM_FONTCHANGED:
      if (handle_) SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
      NotifyControls(CM_PARENTFONTCHANGED);
      Invalidate();
      return;
    case CM_TEXTCHANGED:
      if (handle_) SetWindowTextW(handle_, Widen(TControl::Text()).c_str());
      return;
    case CM_SYSCOLORCHANGE:
      NotifyControls(CM_SYSCOLORCHANGE);
      break;
    case CN_CTLCOLORBTN:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      SetTextColor(dc, ColorToRGB(Enabled() ? Font().Color() : clGrayText));
      SetBkColor(dc, ColorToRGB(Color()));
      m.Result = reinterpret_cast<LRESULT>(ColorBrush());
      return;
    }
    default:
      break;
  }
  TControl::WndProc(m);
}

void TWinControl::DefaultHandler(TMessage& m) {
  // The layer's own messages and reflections end here; the rest go on to the window's class.
  if (m.Msg >= CM_BASE || !handle_) return;
  m.Result = DefSubclassProc(handle_, m.Msg, m.WParam, m.LParam);
}

// ===================================================================== TCustomControl

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {
  SetParentColor(false);
  SetControlStyle(ControlStyle() | csAcceptsControls | csOpaque);
}

void TCustomControl::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.Style |= WS_CLIPCHILDREN;
}

void TCustomControl::Paint() {
  canvas_.Brush().SetColor(Color());
  canvas_.Brush().SetStyle(TBrushStyle::bsSolid);
  canvas_.FillRect(ClientRect());
}

void TCustomControl::PaintWindow(HDC dc) {
  const RECT r = ClientRect();
  const int w = std::max<int>(1, r.right), h = std::max<int>(1, r.bottom);
  OffscreenDC memory(dc, w, h);
  {
    CanvasOn on(canvas_, memory.Handle());
    canvas_.Font().Assign(Font());
    Paint();
  }
  PaintControls(memory.Handle());
  BitBlt(dc, 0, 0, w, h, memory.Handle(), 0, 0, SRCCOPY);
}

void TCustomControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND:
      // Paint covers every pixel.
      m.Result = 1;
      return;
    case WM_PAINT:
      if (m.WParam) {
        PaintWindow(reinterpret_cast<HDC>(m.WParam));
      } else {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Handle(), &ps);
        struct EndPaintOnExit {
          HWND window;
          PAINTSTRUCT* ps;
          ~EndPaintOnExit() { EndPaint(window, ps); }
        } end{Handle(), &ps};
        PaintWindow(dc);
      }
      return;
    case WM_LBUTTONDOWN:
      if (ControlStyle() & csCaptureMouse) SetCapture(Handle());
      break;
    case WM_LBUTTONUP:
      if (GetCapture() == Handle()) ReleaseCapture();
      break;
    case WM_PRINTCLIENT:
      PaintWindow(reinterpret_cast<HDC>(m.WParam));
      return;
    case CM_TEXTCHANGED:
      // The system's classes repaint their own text; this window draws its caption itself.
      TWinControl::WndProc(m);
      Invalidate();
      return;
    default:
      break;
  }
  TWinControl::WndProc(m);
}

// ===================================================================== lookup

TControl* FindDragTarget(POINT ScreenPos, bool AllowDisabled) {
  TWinControl* window = nullptr;
  for (HWND w = WindowFromPoint(ScreenPos); w && !window; w = GetParent(w)) window = TWinControl::FindControl(w);
  if (!window) return nullptr;
  TControl* child = window->ControlAtPos(window->ScreenToClient(ScreenPos));
  if (child && (AllowDisabled || child->Enabled())) return child;
  return window;
}

}  // namespace classlib
