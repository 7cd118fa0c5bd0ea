#include "controls/panels/vis_simple_panel.h"

namespace controls {

namespace {

bool IsFrame(TVisBevelStyle s) { return s == TVisBevelStyle::bvFrameLowered || s == TVisBevelStyle::bvFrameRaised; }

bool IsRaised(TVisBevelStyle s) {
  return s == TVisBevelStyle::bvRaised || s == TVisBevelStyle::bvFrameRaised || s == TVisBevelStyle::bvNormal;
}

void PaintBevel(classlib::TCanvas& canvas, RECT& r, TVisBevelStyle style, int width) {
  if (style == TVisBevelStyle::bvNone) return;
  const int rings = width + (IsFrame(style) ? 1 : 0);
  for (int i = 0; i < rings; ++i) {
    DrawEdge(canvas.Handle(), &r, IsRaised(style) ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
    InflateRect(&r, -1, -1);
  }
}

void PaintRings(classlib::TCanvas& canvas, RECT& r, int count, classlib::TColor color) {
  canvas.Brush().SetColor(color);
  canvas.Brush().SetStyle(classlib::TBrushStyle::bsSolid);
  for (int i = 0; i < count; ++i) {
    canvas.FrameRect(r);
    InflateRect(&r, -1, -1);
  }
}

}  // namespace

int TVisBevel::Extent() const {
  int extent = borderWidth_ + borderInnerWidth_;
  if (styleOuter_ != TVisBevelStyle::bvNone) extent += widthOuter_ + (IsFrame(styleOuter_) ? 1 : 0);
  if (styleInner_ != TVisBevelStyle::bvNone) extent += widthInner_ + (IsFrame(styleInner_) ? 1 : 0);
  return extent;
}

void TVisBevel::PaintFrame(classlib::TCanvas& canvas, RECT& r) const {
  PaintBevel(canvas, r, styleOuter_, widthOuter_);
  PaintRings(canvas, r, borderWidth_, borderColor_);
  PaintBevel(canvas, r, styleInner_, widthInner_);
  PaintRings(canvas, r, borderInnerWidth_, borderColor_);
}

TVisSimplePanel::TVisSimplePanel(classlib::TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(ControlStyle() | classlib::csClickEvents | classlib::csCaptureMouse);
  SetBounds(0, 0, 185, 41);
  bevel_.OnChange = [this] {
    Realign();
    Invalidate();
  };
}

void TVisSimplePanel::AdjustClientRect(RECT& r) {
  TCustomControl::AdjustClientRect(r);
  InflateRect(&r, -bevel_.Extent(), -bevel_.Extent());
}

void TVisSimplePanel::Paint() {
  TCustomControl::Paint();
  RECT r = ClientRect();
  bevel_.PaintFrame(Canvas(), r);
}

}  // namespace controls
