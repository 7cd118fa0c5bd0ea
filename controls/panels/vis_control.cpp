#include "controls/panels/vis_control.h"

#include "controls/panels/vis_application.h"
#include "controls/panels/vis_messages.h"

namespace controls {

using classlib::TMessage;

void TVisControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  const RECT old = BoundsRect();
  TGraphicControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  std::uint8_t kinds = 0;
  if (Left() != old.left || Top() != old.top) kinds |= kBoundsPosition;
  if (Width() != old.right - old.left || Height() != old.bottom - old.top) kinds |= kBoundsSize;
  if (kinds && !Loading()) BoundsChanged(kinds);
}

void TVisControl::BoundsChanged(std::uint8_t Kinds) {
  if (OnBoundsChange) OnBoundsChange(this, Kinds);
}

void TVisControl::WndProc(TMessage& Message) {
  if (Message.Msg == CM_VISREDRAW) {
    ThemeChanged();
    return;
  }
  TGraphicControl::WndProc(Message);
}

bool TVisControl::UseThemedDrawing() const {
  return ThemeCapable() && VisApplication().ThemesInUse() && themedDrawing_;
}

void TVisControl::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) Redraw(0);
}

void TVisControl::ThemeChanged() {
  if (ThemeCapable()) Invalidate();
}

void TVisControl::MouseEnter() {
  if (Enabled() && OnMouseEnter) OnMouseEnter(this);
}

void TVisControl::MouseExit() {
  if (Enabled() && OnMouseExit) OnMouseExit(this);
}

void TVisControl::Redraw(int) {
  if (!IsUpdating() && !Loading()) Invalidate();
}

TVisBaseControl::TVisBaseControl(classlib::TComponent* AOwner)
    : TVisControl(AOwner), image_(*this, [this] { ImageChanged(0); }) {
  effect_.OnChange = [this](TObject*) { Redraw(0); };
}

TVisBaseControl::~TVisBaseControl() { effect_.OnChange = nullptr; }

void TVisBaseControl::Loaded() {
  TVisControl::Loaded();
  if (image_.List()) ImageChanged(0);
}

void TVisBaseControl::Notification(classlib::TComponent* AComponent, classlib::TOperation Operation) {
  TVisControl::Notification(AComponent, Operation);
  if (Operation == classlib::TOperation::opRemove) image_.Ref().Removed(AComponent);
}

void TVisBaseControl::WndProc(TMessage& Message) {
  if (Message.Msg == CM_VISPARENTBKGNDCHANGED) {
    if (!Visible()) return;
    if (!Loading() && UsesParentBackground()) Redraw(0);
    effect_.InvalidateBuffer();
    return;
  }
  TVisControl::WndProc(Message);
}

}  // namespace controls
