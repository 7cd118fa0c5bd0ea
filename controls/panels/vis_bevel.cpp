#include "controls/panels/vis_bevel.h"

#include "controls/panels/vis_draw.h"

namespace controls {

using classlib::TCanvas;
using classlib::TColor;

namespace {

bool IsFrameStyle(TVisBevelStyle s) { return s == TVisBevelStyle::bvFrameLowered || s == TVisBevelStyle::bvFrameRaised; }

// The width a bevel band takes in the custom mode.
int BandWidth(TVisBevelStyle style, int width) {
  if (style == TVisBevelStyle::bvNone) return 0;
  return width + (IsFrameStyle(style) ? 1 : 0);
}

RECT Shrunk(const RECT& r, int by) { return {r.left + by, r.top + by, r.right - by, r.bottom - by}; }

// Count single-pixel rings from the outside of r in.
void PaintRings(TCanvas& canvas, const RECT& r, int count, TColor color, bool transparent) {
  if (transparent) return;
  canvas.Brush().SetStyle(classlib::TBrushStyle::bsSolid);
  canvas.Brush().SetColor(color);
  for (int i = 0; i < count; ++i) canvas.FrameRect(Shrunk(r, i));
}

UINT EdgeKind(TVisEdgeStyle style) {
  static const UINT kKinds[] = {BDR_RAISEDINNER, BDR_RAISEDOUTER, BDR_SUNKENINNER, BDR_SUNKENOUTER,
                                EDGE_BUMP,       EDGE_ETCHED,     EDGE_RAISED,     EDGE_SUNKEN};
  return kKinds[static_cast<int>(style)];
}

UINT EdgeSides(TVisFrameSides sides) {
  UINT flags = 0;
  if (sides & fsLeft) flags |= BF_LEFT;
  if (sides & fsTop) flags |= BF_TOP;
  if (sides & fsRight) flags |= BF_RIGHT;
  if (sides & fsBottom) flags |= BF_BOTTOM;
  return flags;
}

}  // namespace

void TVisBevel::SetStyleInner(TVisBevelStyle Value) {
  if (Value == styleInner_) return;
  if (Value == TVisBevelStyle::bvShadow)
    styleOuter_ = Value;
  else if (styleInner_ == TVisBevelStyle::bvShadow)
    styleOuter_ = TVisBevelStyle::bvNone;
  styleInner_ = Value;
  Change();
}

void TVisBevel::SetStyleOuter(TVisBevelStyle Value) {
  if (Value == styleOuter_) return;
  if (Value == TVisBevelStyle::bvShadow)
    styleInner_ = Value;
  else if (styleOuter_ == TVisBevelStyle::bvShadow)
    styleInner_ = TVisBevelStyle::bvNone;
  styleOuter_ = Value;
  Change();
}

void TVisBevel::SetWidthInner(TVisBevelWidth Value) {
  if (Value == widthInner_) return;
  widthInner_ = Value;
  Change();
}

void TVisBevel::SetWidthOuter(TVisBevelWidth Value) {
  if (Value == widthOuter_) return;
  widthOuter_ = Value;
  Change();
}

void TVisBevel::SetColor(int Index, TColor Value) {
  if (Value == colors_[Index]) return;
  colors_[Index] = Value;
  Change();
}

void TVisBevel::SetBorderSides(TVisFrameSides Value) {
  Value &= kAllFrameSides;
  if (Value == borderSides_) return;
  borderSides_ = Value;
  Change();
}

void TVisBevel::SetBorderWidth(TVisBorderWidth Value) {
  if (Value == borderWidth_) return;
  borderWidth_ = Value;
  Change();
}

void TVisBevel::SetBorderInnerWidth(TVisBorderWidth Value) {
  if (Value == borderInnerWidth_) return;
  borderInnerWidth_ = Value;
  Change();
}

void TVisBevel::SetEdgeStyle(TVisEdgeStyle Value) {
  if (Value == edgeStyle_) return;
  edgeStyle_ = Value;
  Change();
}

void TVisBevel::SetMode(TVisBevelMode Value) {
  if (Value == mode_) return;
  const bool edgeChanges = Value == TVisBevelMode::bmWindows || mode_ == TVisBevelMode::bmWindows;
  if (edgeChanges && clientEdgeSupported_) recreateNeeded_ = true;
  mode_ = Value;
  Change();
}

void TVisBevel::SetStandardStyle(TVisBorderStyle Value) {
  if (Value == standardStyle_) return;
  standardStyle_ = Value;
  if (mode_ == TVisBevelMode::bmStandard) Change();
}

bool TVisBevel::TakeRecreateNeeded() {
  const bool needed = recreateNeeded_ || (mode_ == TVisBevelMode::bmWindows && clientEdgeSupported_);
  recreateNeeded_ = false;
  return needed;
}

bool TVisBevel::ShadowFrame() const {
  return mode_ == TVisBevelMode::bmCustom && styleOuter_ == TVisBevelStyle::bvShadow;
}

int TVisBevel::FrameWidth() const {
  switch (mode_) {
    case TVisBevelMode::bmCustom: {
      if (ShadowFrame()) return widthInner_ + borderInnerWidth_;
      int width = borderWidth_ + borderInnerWidth_;
      if (styleInner_ != TVisBevelStyle::bvNone || styleOuter_ != TVisBevelStyle::bvNone)
        width += BandWidth(styleOuter_, widthOuter_) + BandWidth(styleInner_, widthInner_);
      return width;
    }
    case TVisBevelMode::bmStandard: return BorderStyleWidth(standardStyle_) + borderInnerWidth_;
    case TVisBevelMode::bmEdge: return (borderSides_ ? 2 : 0) + borderInnerWidth_;
    case TVisBevelMode::bmWindows:
      // The window's client edge takes the place of the sunken edge, not of the rings inside it.
      return borderInnerWidth_ + (clientEdgeSupported_ ? 0 : 2);
  }
  return 0;
}

void TVisBevel::SetClientEdgeSupported(bool Value) {
  clientEdgeSupported_ = Value;
  UpdateExtents();
}

void TVisBevel::UpdateExtents() {
  extent_ = FrameWidth();
  extentRightBottom_ = ShadowFrame() ? widthInner_ + widthOuter_ + borderInnerWidth_ : extent_;
}

void TVisBevel::Change() {
  UpdateExtents();
  TVisObject::Change();
}

RECT TVisBevel::InnerRect(const RECT& Rect) const {
  if (ShadowFrame()) {
    const int leftTop = widthInner_ + borderInnerWidth_;
    const int rightBottom = widthInner_ + widthOuter_ + borderInnerWidth_;
    return {Rect.left + leftTop, Rect.top + leftTop, Rect.right - rightBottom, Rect.bottom - rightBottom};
  }
  return Shrunk(Rect, extent_);
}

void TVisBevel::PaintFrame(TCanvas& Canvas, const RECT& Rect, RECT& Inner, bool Transparent) const {
  Inner = InnerRect(Rect);
  if (extent_ == 0 && extentRightBottom_ == 0) return;
  // Each step draws at the place the extents give it, so the frame always ends at Inner.
  RECT r = Rect;
  switch (mode_) {
    case TVisBevelMode::bmCustom:
      if (ShadowFrame()) {
        DrawShadowFrame(Canvas, r, LightColor(), BorderColor(), ShadowColor(), widthOuter_, widthInner_, Transparent);
      } else if (styleInner_ != TVisBevelStyle::bvNone || styleOuter_ != TVisBevelStyle::bvNone) {
        DrawBevelBand(Canvas, r, styleOuter_, LightColor(), ShadowColor(), widthOuter_);
        r = Shrunk(Rect, BandWidth(styleOuter_, widthOuter_));
        PaintRings(Canvas, r, borderWidth_, BorderColor(), Transparent);
        r = Shrunk(r, borderWidth_);
        DrawBevelBand(Canvas, r, styleInner_, LightColor(), ShadowColor(), widthInner_);
      } else {
        PaintRings(Canvas, r, borderWidth_, BorderColor(), Transparent);
      }
      break;
    case TVisBevelMode::bmStandard: DrawBorderStyle(Canvas, r, standardStyle_, 0); break;
    case TVisBevelMode::bmEdge:
      if (borderSides_) DrawEdge(Canvas.Handle(), &r, EdgeKind(edgeStyle_), EdgeSides(borderSides_));
      break;
    case TVisBevelMode::bmWindows:
      if (!clientEdgeSupported_) DrawBorderStyle(Canvas, r, TVisBorderStyle::lsLoweredExt, 0);
      break;
  }
  PaintRings(Canvas, Shrunk(Inner, -borderInnerWidth_), borderInnerWidth_, BorderColor(), Transparent);
}

void TVisBevel::Assign(const classlib::TPersistent& Source) {
  const auto* source = dynamic_cast<const TVisBevel*>(&Source);
  if (!source) return TVisObject::Assign(Source);
  styleInner_ = source->styleInner_;
  styleOuter_ = source->styleOuter_;
  widthInner_ = source->widthInner_;
  widthOuter_ = source->widthOuter_;
  for (int i = 0; i < 3; ++i) colors_[i] = source->colors_[i];
  borderSides_ = source->borderSides_;
  borderWidth_ = source->borderWidth_;
  borderInnerWidth_ = source->borderInnerWidth_;
  edgeStyle_ = source->edgeStyle_;
  mode_ = source->mode_;
  standardStyle_ = source->standardStyle_;
  clientEdgeSupported_ = source->clientEdgeSupported_;
  Change();
}

std::string TVisBevel::DesignText() const {
  static const char* const kModes[] = {"Custom style", "Standard style", "Edged style", "Windows style"};
  return std::string("{") + kModes[static_cast<int>(mode_)] + "}";
}

}  // namespace controls
