#include "controls/panels/vis_spin_edit.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "classlib/exceptions.h"
#include "classlib/forms.h"
#include "controls/panels/vis_application.h"
#include "controls/panels/vis_draw.h"

namespace controls {

using classlib::TColor;

namespace {

// The pool runs on a grid of its base tick: an interval off the grid is taken at the next step.
TVisTimerInterval OnPoolGrid(unsigned ms) {
  const unsigned base = VisApplication().TimerPool()->MinInterval();
  const unsigned top = 65535u / base * base;
  return static_cast<TVisTimerInterval>(std::clamp((ms + base - 1) / base * base, base, top));
}

// Optional sign and decimal digits, within the range of int.
bool ParseInteger(const std::string& text, int& result) {
  size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) i = 1;
  if (i == text.size()) return false;
  long long value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) return false;
  }
  if (negative) value = -value;
  if (value < INT_MIN || value > INT_MAX) return false;
  result = static_cast<int>(value);
  return true;
}

int TextHeight(HFONT font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW tm = {};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm.tmHeight;
}

// The button's container inside the edit. A press ends when the mouse is taken away from it
// (another window's capture, a menu, a dialog), released over the button or not.
class TSpinButtonHost : public classlib::TCustomControl {
 public:
  TSpinButtonHost(classlib::TComponent* AOwner, TVisSpinButton* button) : TCustomControl(AOwner), button_(button) {}
  void WndProc(classlib::TMessage& m) override {
    const bool lost = (m.Msg == WM_CAPTURECHANGED && reinterpret_cast<HWND>(m.LParam) != Handle()) ||
                      m.Msg == WM_CANCELMODE;
    if (lost && !Destroying()) button_->CancelPress();
    TCustomControl::WndProc(m);
  }

 private:
  TVisSpinButton* button_;
};

}  // namespace

// ===================================================================== TVisSpinButton

TVisSpinButton::TVisSpinButton(classlib::TComponent* AOwner) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 20, 20);
}

TVisSpinButton::~TVisSpinButton() { ReleaseTimer(); }

int TVisSpinButton::HalfAt(int X, int Y) const {
  const double w = Width(), h = Height();
  return Y > h - (w / h) * X ? 2 : 1;
}

void TVisSpinButton::SetState(int value) {
  if (value == state_) return;
  state_ = value;
  Invalidate();
}

void TVisSpinButton::FireHalf(int half) {
  const classlib::TNotifyEvent& event = half == 2 ? OnBottomClick : OnTopClick;
  if (event) event(this);
}

void TVisSpinButton::MouseDown(classlib::TMouseButton Button, classlib::TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != classlib::TMouseButton::mbLeft || !Enabled() || pressed_ != 0) return;
  held_ = true;
  pressed_ = HalfAt(X, Y);
  state_ = pressed_;
  FireHalf(pressed_);
  Invalidate();
  StartRepeat();
}

void TVisSpinButton::MouseMove(classlib::TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!held_ || pressed_ == 0) return;
  const bool inside = X >= 0 && Y >= 0 && X < Width() && Y < Height();
  SetState(inside && HalfAt(X, Y) == pressed_ ? pressed_ : 0);
}

void TVisSpinButton::MouseUp(classlib::TMouseButton Button, classlib::TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (Button == classlib::TMouseButton::mbLeft) CancelPress();
}

void TVisSpinButton::CancelPress() {
  held_ = false;
  pressed_ = 0;
  ReleaseTimer();
  SetState(Enabled() ? 0 : 3);
}

// The first repeat waits 200 ms longer than the others.
void TVisSpinButton::StartRepeat() {
  if (timer_ != 0) return;
  timer_ = VisApplication().AddTimer(OnPoolGrid(interval_ + 200u), [this](classlib::TObject*) { RepeatTick(); });
  if (timer_ == 0) throw classlib::EOutOfResources("Nicht genügend Timer verfügbar");
}

void TVisSpinButton::RepeatTick() {
  if (TVisTimerItem* item = VisApplication().TimerItem(timer_)) item->SetInterval(OnPoolGrid(interval_));
  const bool captured = Parent() && Parent()->HandleAllocated() && GetCapture() == Parent()->Handle();
  if (state_ == 0 || state_ == 3 || !held_ || !captured) return;
  try {
    FireHalf(pressed_);
  } catch (...) {
    ReleaseTimer();
    throw;
  }
}

void TVisSpinButton::ReleaseTimer() {
  if (timer_ == 0) return;
  const std::uint16_t ident = timer_;
  timer_ = 0;
  VisApplication().RemoveTimer(ident);
}

void TVisSpinButton::WndProc(classlib::TMessage& m) {
  if (m.Msg == classlib::CM_ENABLEDCHANGED) CancelPress();
  TGraphicControl::WndProc(m);
}

void TVisSpinButton::DrawFrame(int t) {
  classlib::TCanvas& c = frames_.Canvas();
  const int W = Width(), H = Height(), x0 = t * W;
  auto line = [&](TColor color, std::initializer_list<POINT> points) {
    c.Pen().SetColor(color);
    const POINT* p = points.begin();
    c.MoveTo(x0 + p->x, p->y);
    for (++p; p != points.end(); ++p) c.LineTo(x0 + p->x, p->y);
  };
  c.Brush().SetStyle(classlib::TBrushStyle::bsSolid);
  c.Brush().SetColor(classlib::clBtnFace);
  c.FillRect({x0, 0, x0 + W, H});
  c.Pen().SetStyle(classlib::TPenStyle::psSolid);
  c.Pen().SetWidth(1);
  line(classlib::clWindowFrame, {{0, 0}, {W - 1, 0}, {W - 1, H - 1}, {0, H - 1}, {0, 0}});
  line(classlib::clWindowFrame, {{-1, H}, {W, -1}});
  line(t == 1 ? classlib::clBtnShadow : classlib::clBtnHighlight, {{1, H - 4}, {1, 1}, {W - 3, 1}});
  if (t != 1) line(classlib::clBtnShadow, {{1, H - 3}, {W - 2, 0}});
  line(t == 2 ? classlib::clBtnHighlight : classlib::clBtnShadow, {{2, H - 2}, {W - 2, H - 2}, {W - 2, 1}});
  line(t == 2 ? classlib::clBtnShadow : classlib::clBtnHighlight, {{2, H - 2}, {W - 1, 1}});
  if (t == 2) line(classlib::clBtnShadow, {{3, H - 2}, {W - 1, 2}});
  const int upShift = t == 1 ? 1 : 0, downShift = t == 2 ? 1 : 0;
  const int upX = static_cast<int>(std::nearbyint(W / 4.0 - 2)) + 1 + upShift;
  const int upY = static_cast<int>(std::nearbyint(H / 4.0 - 2)) + 1 + upShift;
  const int downX = static_cast<int>(std::nearbyint(3 * W / 4.0 - 2)) - 1 + downShift;
  const int downY = static_cast<int>(std::nearbyint(3 * H / 4.0 - 2)) - 1 + downShift;
  DrawArrowGlyph(c, x0 + upX, upY, t != 3, false, classlib::clBtnText, 3);
  DrawArrowGlyph(c, x0 + downX, downY, t != 3, true, classlib::clBtnText, 3);
}

void TVisSpinButton::BuildFrames() {
  frames_.SetSize(4 * Width(), Height());
  for (int t = 0; t < 4; ++t) DrawFrame(t);
}

void TVisSpinButton::Paint() {
  if (Width() <= 0 || Height() <= 0) return;
  if (frames_.Height() != Height() || frames_.Width() != 4 * Width()) BuildFrames();
  if (!Enabled()) held_ = false;
  const int W = Width(), H = Height();
  Canvas().CopyRect({0, 0, W, H}, frames_.Canvas(), {state_ * W, 0, (state_ + 1) * W, H});
}

// ===================================================================== TVisCustomSpinEdit

TVisCustomSpinEdit::TVisCustomSpinEdit(classlib::TComponent* AOwner) : TEdit(AOwner) {
  SetControlStyle(ControlStyle() & ~classlib::csSetCaption);
  button_ = new TVisSpinButton(this);
  buttonHost_ = new TSpinButtonHost(this, button_);
  buttonHost_->SetColor(classlib::clBtnFace);
  buttonHost_->SetParent(this);
  buttonHost_->SetBounds(0, 0, Height(), Height());
  button_->SetParent(buttonHost_);
  button_->OnTopClick = [this](classlib::TComponent*) { UpClick(); };
  button_->OnBottomClick = [this](classlib::TComponent*) { DownClick(); };
  SetText("0");
}

void TVisCustomSpinEdit::CreateParams(classlib::TCreateParams& p) {
  TEdit::CreateParams(p);
  p.Style |= ES_MULTILINE | WS_CLIPCHILDREN;
  if (alignment_ == classlib::TAlignment::taRightJustify) p.Style |= ES_RIGHT;
  if (alignment_ == classlib::TAlignment::taCenter) p.Style |= ES_CENTER;
}

void TVisCustomSpinEdit::CreateWnd() {
  TEdit::CreateWnd();
  LayOut();
}

void TVisCustomSpinEdit::LayOut() {
  if (!HandleAllocated()) return;
  const int fontHeight = TextHeight(Font().Handle());
  const int systemHeight = TextHeight(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
  const int border = GetSystemMetrics(SM_CYBORDER);
  const int minimum = fontHeight + std::min(fontHeight, systemHeight) / 4 + 4 * border;
  if (Height() < minimum) {
    SetHeight(minimum);  // the resize lays out again
    return;
  }
  const int size = Height() - 4 * border;
  buttonHost_->SetBounds(Width() - Height(), 0, size, size);
  button_->SetBounds(0, 0, size, size);
  RECT r = {0, 0, ClientWidth() - button_->Width() - 2, ClientHeight() + 1};
  SendMessageW(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}

int TVisCustomSpinEdit::Clamped(int value) const {
  // Equal bounds (and reversed ones a form may load) are no range.
  return minValue_ < maxValue_ ? std::clamp(value, minValue_, maxValue_) : value;
}

int TVisCustomSpinEdit::Value() {
  std::string number;
  if (!suffix_.empty()) {
    for (char c : Text())
      if (c == '+' || c == '-' || (c >= '0' && c <= '9')) number += c;
  } else {
    number = Text();
  }
  if (number.empty()) number = std::to_string(minValue_);
  int value;
  if (ParseInteger(number, value)) {
    SetText(number + suffix_);
    return value;
  }
  SetText(std::to_string(minValue_) + suffix_);
  return minValue_;
}

void TVisCustomSpinEdit::SetValue(int value) { SetText(std::to_string(Clamped(value)) + suffix_); }

void TVisCustomSpinEdit::Step(int delta) {
  const long long next = static_cast<long long>(Value()) + delta;
  SetValue(static_cast<int>(std::clamp<long long>(next, INT_MIN, INT_MAX)));
}

void TVisCustomSpinEdit::SetMinValue(int value) {
  if (value == minValue_ || (!Loading() && value >= maxValue_)) return;
  minValue_ = value;
  if (Value() < value) SetValue(value);
}

void TVisCustomSpinEdit::SetMaxValue(int value) {
  if (value == maxValue_ || (!Loading() && value <= minValue_)) return;
  maxValue_ = value;
  if (Value() > value) SetValue(value);
}

void TVisCustomSpinEdit::SetSuffix(const std::string& value) {
  if (value == suffix_) return;
  suffix_ = value;
  SetValue(Value());
}

std::uint16_t TVisCustomSpinEdit::Interval() const { return button_->Interval(); }

void TVisCustomSpinEdit::SetInterval(std::uint16_t value) { button_->SetInterval(value); }

void TVisCustomSpinEdit::SetAlignment(classlib::TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  RecreateWnd();
}

void TVisCustomSpinEdit::UpClick() {
  if (ReadOnly()) MessageBeep(0);
  else Step(lineSize_);
}

void TVisCustomSpinEdit::DownClick() {
  if (ReadOnly()) MessageBeep(0);
  else Step(-lineSize_);
}

bool TVisCustomSpinEdit::IsValidChar(wchar_t Key) const {
  // Copy, Return and Escape only: everything else would change the text.
  if (!editorEnabled_) return Key == 3 || Key == VK_RETURN || Key == VK_ESCAPE;
  // A multi-line edit would put tabs and line breaks into the number.
  if (Key == '\t' || Key == '\n') return false;
  return Key == '+' || Key == '-' || (Key >= '0' && Key <= '9') || Key < 32;
}

void TVisCustomSpinEdit::KeyDown(WORD& Key, classlib::TShiftState Shift) {
  switch (Key) {
    case VK_PRIOR:
      if (!ReadOnly()) Step(pageSize_);
      break;
    case VK_NEXT:
      if (!ReadOnly()) Step(-pageSize_);
      break;
    case VK_UP:
      UpClick();
      break;
    case VK_DOWN:
      DownClick();
      break;
    default:
      break;
  }
  TEdit::KeyDown(Key, Shift);
  // Delete, Shift+Del (cut) and Shift+Ins (paste) change the text without a character.
  const bool editing = Key == VK_DELETE || (Key == VK_INSERT && (Shift & classlib::ssShift));
  if (editing && !editorEnabled_) Key = 0;
}

void TVisCustomSpinEdit::KeyPress(wchar_t& Key) {
  if (!IsValidChar(Key)) {
    Key = 0;
    MessageBeep(0);
  }
  TEdit::KeyPress(Key);
  if (Key == VK_RETURN || Key == VK_ESCAPE) {
    if (classlib::TForm* form = ParentForm()) form->DialogKey(static_cast<WORD>(Key), 0);
    if (Key == VK_RETURN) Key = 0;
  }
}

void TVisCustomSpinEdit::DoEnter() {
  if (autoSelect_ && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
  TEdit::DoEnter();
}

void TVisCustomSpinEdit::DoExit() {
  const int value = Value();
  if (Clamped(value) != value) SetValue(value);
  TEdit::DoExit();
}

void TVisCustomSpinEdit::WndProc(classlib::TMessage& m) {
  switch (m.Msg) {
    case WM_GETDLGCODE:
      // Not the multi-line edit's "all keys": Tab moves on, Return and Escape reach the form.
      m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
      return;
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
      if (!editorEnabled_ || ReadOnly()) return;
      break;
    case WM_MOUSEWHEEL:
      if (static_cast<short>(HIWORD(m.WParam)) > 0) UpClick();
      else DownClick();
      return;
    case WM_SIZE:
    case classlib::CM_FONTCHANGED:
      TEdit::WndProc(m);
      LayOut();
      return;
    case classlib::CM_ENABLEDCHANGED:
      button_->SetEnabled(Enabled());
      break;
    case classlib::CM_TEXTCHANGED:
      // A multi-line edit reports no change for text set from outside.
      TEdit::WndProc(m);
      if (HandleAllocated() && !Loading()) Change();
      return;
    default:
      break;
  }
  TEdit::WndProc(m);
}

}  // namespace controls
