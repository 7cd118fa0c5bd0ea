#include "controls/panels/vis_simple_panel.h"

#include "controls/panels/vis_form_shape.h"
#include "controls/panels/vis_messages.h"

namespace controls {

using classlib::TCanvas;

// ---- TVisCustomPanel

TVisCustomPanel::TVisCustomPanel(classlib::TComponent* AOwner) : TVisCustomControl(AOwner) {
  SetControlStyle(classlib::csAcceptsControls | classlib::csCaptureMouse | classlib::csClickEvents |
                  classlib::csOpaque | classlib::csDoubleClicks | classlib::csReplicatable);
  SetColor(classlib::clBtnFace);
}

TVisCustomControl* TVisCustomPanel::BackgroundParent() const {
  auto* parent = dynamic_cast<TVisCustomControl*>(Parent());
  return parent && parent->HandleAllocated() ? parent : nullptr;
}

bool TVisCustomPanel::BackgroundAvailable() { return Transparent() && ParentBackgroundAvailable(*this); }

classlib::TBitmap* TVisCustomPanel::BackgroundBitmap() {
  if (!BackgroundAvailable()) return nullptr;
  if (TVisCustomControl* parent = BackgroundParent()) return parent->BackgroundBitmap();
  return FormShapeOf(Parent())->FormBackgroundBitmap();
}

POINT TVisCustomPanel::MapToBackground(POINT P) {
  if (!BackgroundAvailable()) return P;
  // A form's picture starts at its client area's corner.
  TVisCustomControl* parent = BackgroundParent();
  const POINT at = parent ? parent->MapToBackground({Left(), Top()}) : POINT{Left(), Top()};
  // Past the window's border, if it has one.
  return {at.x + P.x + (Width() - ClientWidth()) / 2, at.y + P.y + (Height() - ClientHeight()) / 2};
}

bool TVisCustomPanel::DrawBackground(TCanvas& Canvas, const RECT& Rect, unsigned, POINT Origin) {
  if (Loading() || Destroying()) return false;
  classlib::TBitmap* bitmap = BackgroundBitmap();
  if (!bitmap) return false;
  const POINT at = MapToBackground({0, 0});
  RECT source = Rect;
  OffsetRect(&source, at.x + Origin.x, at.y + Origin.y);
  Canvas.CopyRect(Rect, bitmap->Canvas(), source);
  return true;
}

void TVisCustomPanel::WndProc(classlib::TMessage& Message) {
  TVisCustomControl::WndProc(Message);
  if (Message.Msg == WM_SIZE) BitmapEffect().InvalidateBuffer();
}

// ---- TVisCustomBevelPanel

TVisCustomBevelPanel::TVisCustomBevelPanel(classlib::TComponent* AOwner) : TVisCustomPanel(AOwner) {
  bevel_.SetClientEdgeSupported(true);
  bevel_.OnChange = [this](TObject* sender) { GetChange(sender); };
}

TVisCustomBevelPanel::~TVisCustomBevelPanel() { bevel_.OnChange = nullptr; }

void TVisCustomBevelPanel::SetBevel(const TVisBevel& Value) {
  bevel_.Assign(Value);
  Perform(CM_VISBEVELCHANGED);
}

void TVisCustomBevelPanel::AlignControls(classlib::TControl* AControl, RECT& Rect) {
  Rect = bevel_.InnerRect(Rect);
  TVisCustomPanel::AlignControls(AControl, Rect);
}

void TVisCustomBevelPanel::CreateParams(classlib::TCreateParams& Params) {
  TVisCustomPanel::CreateParams(Params);
  if (!WindowsMode()) return;
  if (Ctl3D())
    Params.ExStyle |= WS_EX_CLIENTEDGE;
  else
    Params.Style |= WS_BORDER;
  if (ThemedBorderInUse()) {
    Params.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
    Params.Style &= ~static_cast<DWORD>(WS_BORDER);
  }
}

void TVisCustomBevelPanel::Ctl3DChanged() {
  if (WindowsMode() && !ThemedBorderInUse())
    RecreateWnd();
  else
    TVisCustomPanel::Ctl3DChanged();
}

void TVisCustomBevelPanel::GetChange(TObject* Sender) {
  if (Loading()) return;
  if (Sender == &bevel_) {
    bevel_.SetClientEdgeSupported(true);
    if (bevel_.TakeRecreateNeeded()) RecreateWnd();
    Realign();
  }
  TVisCustomPanel::GetChange(Sender);
}

void TVisCustomBevelPanel::Loaded() {
  TVisCustomPanel::Loaded();
  // Bevel changes while loading were not applied one by one.
  Realign();
  Invalidate();
}

void TVisCustomBevelPanel::DoEnter() {
  if (!Focused() && FlatBorder()) PaintFocusBorder();
  TVisCustomPanel::DoEnter();
}

void TVisCustomBevelPanel::MouseEntered() {
  if (!Focused() && FlatBorder() && !HasFocus()) PaintFocusBorder();
  TVisCustomPanel::MouseEntered();
}

void TVisCustomBevelPanel::Paint() {
  EraseBackground();
  if (Focused() || !FlatBorder()) {
    RECT inner;
    bevel_.PaintFrame(Canvas(), ClientRect(), inner, Transparent());
  } else {
    PaintFlatBorder(Canvas());
  }
}

void TVisCustomBevelPanel::PaintFocusBorder(TCanvas& Canvas) {
  if (WindowsMode()) return TVisCustomPanel::PaintFocusBorder(Canvas);
  // Only the bevels: the rings in BorderColor stay as the paint left them.
  RECT inner;
  bevel_.PaintFrame(Canvas, ClientRect(), inner, true);
}

void TVisCustomBevelPanel::PaintFlatBorder(TCanvas& Canvas) {
  if (Focused() || !FlatBorder() || Hot()) return;
  if (WindowsMode()) return TVisCustomPanel::PaintFlatBorder(Canvas);
  const int e = bevel_.Extent(), f = bevel_.ExtentRightBottom(), w = Width(), h = Height();
  FillBackgroundRect(Canvas, {0, 0, w, e});
  FillBackgroundRect(Canvas, {0, e, e, h});
  FillBackgroundRect(Canvas, {e, h - f - 1, w, h});
  FillBackgroundRect(Canvas, {w - f, e, w, h - f});
}

}  // namespace controls
