#include "controls/flat/flat_button.h"

#include <algorithm>
#include <utility>

#include "classlib/forms.h"
#include "classlib/stdctrls.h"

namespace controls {

using classlib::TColor;
using classlib::TMessage;

classlib::TTimer* TFlatButton::hoverTimer_ = nullptr;
TFlatButton* TFlatButton::hoverButton_ = nullptr;
int TFlatButton::buttonCount_ = 0;

TFlatButton::TFlatButton(classlib::TComponent* AOwner) : TCustomControl(AOwner) {
  if (!hoverTimer_) {
    hoverTimer_ = new classlib::TTimer(nullptr);
    hoverTimer_->SetEnabled(false);
    hoverTimer_->SetInterval(100);
  }
  ++buttonCount_;
  SetBounds(0, 0, 25, 25);
  SetControlStyle(classlib::csCaptureMouse | classlib::csOpaque | classlib::csDoubleClicks);
  SetColor(0xE1EAEB);
  SetParentColor(true);
  // Reachable with Tab like every push button of the windows.
  SetTabStop(true);
}

TFlatButton::~TFlatButton() {
  BeginDestroy();
  ReleaseHoverTimer();
  if (--buttonCount_ == 0) {
    delete hoverTimer_;
    hoverTimer_ = nullptr;
  }
}

// ---------------------------------------------------------------- properties

void TFlatButton::SetTransparentMode(TTransparentMode value) {
  transparentMode_ = value;
  Invalidate();
}

void TFlatButton::SetDefault(bool value) {
  default_ = value;
  Invalidate();
}

void TFlatButton::SetColorProperty(TColor& field, TColor value) {
  field = value;
  Invalidate();
}

void TFlatButton::SetColorFocused(TColor value) { SetColorProperty(colorFocused_, value); }
void TFlatButton::SetColorDown(TColor value) { SetColorProperty(colorDown_, value); }
void TFlatButton::SetColorBorder(TColor value) { SetColorProperty(colorBorder_, value); }
void TFlatButton::SetColorHighLight(TColor value) { SetColorProperty(colorHighLight_, value); }
void TFlatButton::SetColorShadow(TColor value) { SetColorProperty(colorShadow_, value); }

void TFlatButton::SetAdvAmount(TAdvColors& field, TAdvColors value) {
  field = std::clamp(value, 0, 100);
  DeriveAdvColors();
  Invalidate();
}

void TFlatButton::SetAdvColorFocused(TAdvColors value) { SetAdvAmount(advColorFocused_, value); }
void TFlatButton::SetAdvColorDown(TAdvColors value) { SetAdvAmount(advColorDown_, value); }
void TFlatButton::SetAdvColorBorder(TAdvColors value) { SetAdvAmount(advColorBorder_, value); }

void TFlatButton::SetUseAdvColors(bool value) {
  if (value == useAdvColors_) return;
  useAdvColors_ = value;
  SetParentColor(value);
  DeriveAdvColors();
  Invalidate();
}

void TFlatButton::DeriveAdvColors() {
  if (!useAdvColors_) return;
  colorFocused_ = DeriveAdvColor(Color(), colorFocused_, advColorFocused_, false);
  colorDown_ = DeriveAdvColor(Color(), colorDown_, advColorDown_, true);
  colorBorder_ = DeriveAdvColor(Color(), colorBorder_, advColorBorder_, true);
}

void TFlatButton::SetGroupIndex(int value) {
  if (value == groupIndex_) return;
  groupIndex_ = value;
  TellGroup();
}

void TFlatButton::SetAllowAllUp(bool value) {
  if (value == allowAllUp_) return;
  allowAllUp_ = value;
  TellGroup();
}

void TFlatButton::SetDown(bool value) {
  if (groupIndex_ == 0) value = false;
  if (value == down_ || (down_ && !allowAllUp_)) return;
  down_ = value;
  if (value) {
    state_ = TState::exclusive;
    Invalidate();
    TellGroup();
  } else {
    state_ = TState::up;
    Repaint();
  }
}

void TFlatButton::TellGroup() {
  if (groupIndex_ != 0 && Parent())
    Parent()->NotifyControls(CM_BUTTONPRESSED, static_cast<WPARAM>(groupIndex_), reinterpret_cast<LPARAM>(this));
}

void TFlatButton::ButtonPressed(int Group, TFlatButton* Sender) {
  if (Group != groupIndex_ || Sender == this) return;
  if (Sender->Down() && down_) {
    down_ = false;
    state_ = TState::up;
    Invalidate();
  }
  allowAllUp_ = Sender->AllowAllUp();
}

void TFlatButton::SetGlyph(const classlib::TBitmap& value) {
  if (&value == &glyph_) return;
  glyph_.Assign(value);
  if (!glyph_.Empty() && glyph_.Width() % glyph_.Height() == 0) {
    const int count = glyph_.Width() / glyph_.Height();
    numGlyphs_ = count > 4 ? 1 : count;
  }
  Invalidate();
}

void TFlatButton::SetNumGlyphs(TNumGlyphs value) {
  value = std::clamp(value, 1, 4);
  if (value == numGlyphs_) return;
  numGlyphs_ = value;
  Invalidate();
}

void TFlatButton::SetLayout(TButtonLayout value) {
  if (value == layout_) return;
  layout_ = value;
  Invalidate();
}

void TFlatButton::SetMargin(int value) {
  if (value == margin_ || value < -1) return;
  margin_ = value;
  Invalidate();
}

void TFlatButton::SetSpacing(int value) {
  if (value == spacing_) return;
  spacing_ = value;
  Invalidate();
}

void TFlatButton::Loaded() {
  TCustomControl::Loaded();
  Invalidate();
}

// ---------------------------------------------------------------- clicks

void TFlatButton::Click() {
  // Buttons placed outside a form have no form to answer to.
  if (classlib::TForm* form = ParentForm()) form->SetModalResult(modalResult_);
  TCustomControl::Click();
}

void TFlatButton::DblClick() {
  if (down_) TCustomControl::DblClick();
}

// ---------------------------------------------------------------- hover

bool TFlatButton::UnderCursor(POINT ScreenPos) const { return classlib::FindDragTarget(ScreenPos, true) == this; }

void TFlatButton::GainHover() {
  if (!GetActiveWindow()) return;
  hoverTimer_->SetEnabled(false);
  hoverButton_ = this;
  hoverTimer_->OnTimer = [this](classlib::TComponent*) { HoverTick(); };
  hoverTimer_->SetEnabled(true);
  if (Enabled() && !hovered_) {
    hovered_ = true;
    Repaint();
  }
}

void TFlatButton::LoseHover() {
  if (!Enabled() || !hovered_ || dragging_) return;
  hovered_ = false;
  ReleaseHoverTimer();
  Repaint();
}

void TFlatButton::ReleaseHoverTimer() {
  if (hoverButton_ != this) return;
  hoverTimer_->SetEnabled(false);
  hoverTimer_->OnTimer = nullptr;
  hoverButton_ = nullptr;
}

void TFlatButton::HoverTick() {
  POINT cursor;
  GetCursorPos(&cursor);
  if (!UnderCursor(cursor)) LoseHover();
}

void TFlatButton::RefreshHover() {
  if (!Enabled()) return;
  POINT cursor;
  GetCursorPos(&cursor);
  if (UnderCursor(cursor)) {
    GainHover();
  } else {
    LoseHover();
  }
  Repaint();
}

// ---------------------------------------------------------------- mouse

void TFlatButton::MouseDown(classlib::TMouseButton Button, classlib::TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != classlib::TMouseButton::mbLeft || !Enabled()) return;
  if (!down_) {
    state_ = TState::down;
    Repaint();
  }
  dragging_ = true;
  SetFocus();
}

void TFlatButton::MouseMove(classlib::TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (dragging_) {
    TState next = down_ ? TState::exclusive : TState::up;
    if (Inside(X, Y)) next = down_ ? TState::exclusive : TState::down;
    if (next != state_) {
      state_ = next;
      Repaint();
    }
  }
  if (hoverButton_ != this && UnderCursor(ClientToScreen({X, Y}))) {
    if (hoverButton_) hoverButton_->LoseHover();
    GainHover();
  }
}

void TFlatButton::MouseUp(classlib::TMouseButton Button, classlib::TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (!dragging_ || Button != classlib::TMouseButton::mbLeft) return;
  dragging_ = false;
  const bool inside = Inside(X, Y);
  if (groupIndex_ == 0) {
    state_ = TState::up;
    hovered_ = false;
    if (inside) Repaint();
  } else if (inside) {
    SetDown(!down_);
    if (down_) Repaint();
  } else {
    state_ = down_ ? TState::exclusive : TState::up;
    Repaint();
  }
  if (inside) {
    Click();
  } else {
    LoseHover();
  }
  RefreshHover();
}

// ---------------------------------------------------------------- messages

void TFlatButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_KEYDOWN:
      if (m.WParam != VK_SPACE) break;
      spacePressed_ = true;
      if (groupIndex_ != 0) {
        SetDown(true);
      } else {
        state_ = TState::down;
      }
      Repaint();
      return;
    case WM_KEYUP:
      if (m.WParam != VK_SPACE) break;
      if (!std::exchange(spacePressed_, false)) return;
      if (groupIndex_ != 0) {
        SetDown(false);
      } else {
        state_ = TState::up;
      }
      Click();
      Repaint();
      return;
    case BM_CLICK:
      // What automation sends a push button.
      if (Enabled()) Click();
      return;
    case classlib::CM_DIALOGCHAR:
      // Only a button the user can see answers: the wizards' hidden pages hold buttons too.
      if (classlib::IsAccel(static_cast<wchar_t>(m.WParam), Caption()) && Showing() && Enabled()) {
        if (groupIndex_ != 0) SetDown(true);
        Click();
        m.Result = 1;
      }
      return;
    case classlib::CM_DIALOGKEY:
      if (classlib::IsButtonDialogKey(m, default_, cancel_) && Showing() && Enabled()) {
        Click();
        m.Result = 1;
      }
      return;
    case CM_BUTTONPRESSED:
      ButtonPressed(static_cast<int>(m.WParam), reinterpret_cast<TFlatButton*>(m.LParam));
      return;
    default:
      break;
  }
  TCustomControl::WndProc(m);
  switch (m.Msg) {
    case WM_SETFOCUS:
      if (Enabled()) {
        hovered_ = true;
        Repaint();
      }
      break;
    case WM_KILLFOCUS:
      if (std::exchange(spacePressed_, false) && groupIndex_ == 0) state_ = TState::up;
      LoseHover();
      break;
    case classlib::CM_ENABLEDCHANGED:
      if (!Enabled()) {
        hovered_ = false;
        state_ = TState::disabled;
        ReleaseHoverTimer();
      }
      RefreshHover();
      Repaint();
      break;
    case classlib::CM_SYSCOLORCHANGE:
    case classlib::CM_PARENTCOLORCHANGED:
      if (useAdvColors_) {
        SetParentColor(true);
        DeriveAdvColors();
      }
      Invalidate();
      break;
    case WM_MOVE:
    case WM_SIZE:
      if (transparentMode_ != TTransparentMode::tmNone) Invalidate();
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------- painting

void TFlatButton::Paint() {
  classlib::TCanvas& canvas = Canvas();
  const RECT client = ClientRect();
  const bool pressed = state_ == TState::down || state_ == TState::exclusive;
  const TGlyphLayout layout = LayoutGlyphAndCaption(canvas, client, pressed ? POINT{1, 1} : POINT{0, 0}, Caption(),
                                                    layout_, margin_, spacing_, &glyph_, numGlyphs_);
  if (Enabled()) {
    if (state_ == TState::disabled) state_ = down_ && groupIndex_ != 0 ? TState::exclusive : TState::up;
  } else {
    state_ = TState::disabled;
    dragging_ = false;
  }
  PaintBackground(canvas, client);
  switch (state_) {
    case TState::up:
      if (hovered_)
        DrawBevelFrame(canvas, client, colorHighLight_, colorShadow_, 1);
      else
        DrawBevelFrame(canvas, client, colorBorder_, colorBorder_, default_ ? 2 : 1);
      break;
    case TState::disabled:
      DrawBevelFrame(canvas, client, colorBorder_, colorBorder_, 1);
      break;
    case TState::down:
    case TState::exclusive:
      DrawBevelFrame(canvas, client, colorShadow_, colorHighLight_, 1);
      break;
  }
  if (!glyph_.Empty()) PaintGlyph(canvas, layout.GlyphPos);
  PaintCaption(canvas, layout.TextBounds);
}

void TFlatButton::PaintBackground(classlib::TCanvas& canvas, const RECT& client) {
  TColor fill = Color();
  switch (transparentMode_) {
    case TTransparentMode::tmAlways:
      PaintParentBackground(*this, canvas);
      return;
    case TTransparentMode::tmNotFocused:
      if (!hovered_) {
        PaintParentBackground(*this, canvas);
        return;
      }
      if (state_ == TState::up || state_ == TState::exclusive) fill = colorFocused_;
      if (state_ == TState::down) fill = colorDown_;
      break;
    case TTransparentMode::tmNone:
      switch (state_) {
        case TState::up: fill = hovered_ ? colorFocused_ : Color(); break;
        case TState::disabled: fill = Color(); break;
        case TState::down: fill = colorDown_; break;
        case TState::exclusive: fill = hovered_ ? colorFocused_ : colorDown_; break;
      }
      break;
  }
  canvas.Brush().SetStyle(classlib::TBrushStyle::bsSolid);
  canvas.Brush().SetColor(fill);
  canvas.FillRect(client);
}

void TFlatButton::PaintGlyph(classlib::TCanvas& canvas, POINT at) {
  const int width = glyph_.Width() / numGlyphs_, height = glyph_.Height();
  int image = 0;
  switch (state_) {
    case TState::up: image = 0; break;
    case TState::disabled: image = numGlyphs_ >= 2 ? 1 : 0; break;
    case TState::down: image = numGlyphs_ >= 3 ? 2 : 0; break;
    case TState::exclusive: image = numGlyphs_ == 4 ? 3 : numGlyphs_ == 3 ? 2 : 0; break;
  }
  TColor transparent = glyph_.Pixel(0, height - 1);
  classlib::TBitmap picture(width, height);
  BitBlt(picture.SourceDC(), 0, 0, width, height, glyph_.SourceDC(), image * width, 0, SRCCOPY);
  if (numGlyphs_ == 1 && state_ == TState::disabled) {
    picture.Assign(*MakeDisabledGlyph(picture, classlib::clBlack, classlib::clBtnFace, classlib::clBtnHighlight,
                                      classlib::clBtnShadow, true));
    transparent = picture.Pixel(0, height - 1);
  }
  GdiTransparentBlt(canvas.Handle(), at.x, at.y, width, height, picture.SourceDC(), 0, 0, width, height, transparent);
}

void TFlatButton::PaintCaption(classlib::TCanvas& canvas, RECT bounds) {
  const UINT flags = DT_SINGLELINE | DT_CENTER | DT_VCENTER;
  canvas.Brush().SetStyle(classlib::TBrushStyle::bsClear);
  if (state_ == TState::disabled) {
    RECT shifted = bounds;
    OffsetRect(&shifted, 1, 1);
    canvas.Font().SetColor(classlib::clBtnHighlight);
    canvas.DrawText(Caption(), shifted, flags);
    canvas.Font().SetColor(classlib::clBtnShadow);
  } else {
    canvas.Font().SetColor(Font().Color());
  }
  canvas.DrawText(Caption(), bounds, flags);
}

}  // namespace controls
