#include "controls/panels/vis_region.h"

#include "controls/panels/vis_region_shapes.h"

namespace controls {

namespace {

// a := a combined with b; b is deleted.
void CombineInto(HRGN a, HRGN b, int mode) {
  CombineRgn(a, a, b, mode);
  DeleteObject(b);
}

HRGN Polygon(const std::vector<POINT>& points) {
  return CreatePolygonRgn(points.data(), static_cast<int>(points.size()), ALTERNATE);
}

HRGN Ellipse(const RECT& r) { return CreateEllipticRgn(r.left, r.top, r.right, r.bottom); }

}  // namespace

// ---- TVisRegionBorder

void TVisRegionBorder::SetStyle(TVisRegionBorderStyle Value) {
  if (Value == style_) return;
  style_ = Value;
  Change();
}

void TVisRegionBorder::SetLightColor(classlib::TColor Value) {
  if (Value == lightColor_) return;
  lightColor_ = Value;
  Change();
}

void TVisRegionBorder::SetShadowColor(classlib::TColor Value) {
  if (Value == shadowColor_) return;
  shadowColor_ = Value;
  Change();
}

void TVisRegionBorder::SetSingleColor(classlib::TColor Value) {
  if (Value == singleColor_) return;
  singleColor_ = Value;
  Change();
}

void TVisRegionBorder::Assign(const classlib::TPersistent& Source) {
  const auto* other = dynamic_cast<const TVisRegionBorder*>(&Source);
  if (!other) {
    TVisObject::Assign(Source);
    return;
  }
  style_ = other->style_;
  lightColor_ = other->lightColor_;
  shadowColor_ = other->shadowColor_;
  singleColor_ = other->singleColor_;
  Change();
}

// ---- TVisRegion

TVisRegion::TVisRegion() {
  shadow_.OnChange = [this](classlib::TObject* Sender) { GetChange(Sender); };
  mask_.OnChange = [this](classlib::TObject* Sender) { GetChange(Sender); };
  points_.OnChange = [this](classlib::TObject*) { PointsChanged(); };
}

TVisRegion::~TVisRegion() {
  if (region_) DeleteObject(region_);
}

void TVisRegion::SetShape(TVisRegionShape Value) {
  if (Value == shape_) return;
  shape_ = Value;
  if (shape_ == TVisRegionShape::rsPointList) PointsChanged();
  Change();
}

void TVisRegion::SetExtPos(TVisExtPos Value) {
  if (Value == extPos_) return;
  extPos_ = Value;
  Change();
}

void TVisRegion::SetRoundX(std::int32_t Value) {
  if (Value == roundX_) return;
  roundX_ = Value;
  Change();
}

void TVisRegion::SetRoundY(std::int32_t Value) {
  if (Value == roundY_) return;
  roundY_ = Value;
  Change();
}

void TVisRegion::SetUserRegion(HRGN Region) { userRegion_ = RegionDataOf(Region); }

void TVisRegion::PointsChanged() {
  // Fewer than three points enclose nothing.
  if (shape_ != TVisRegionShape::rsPointList || points_.Count() < 3) return;
  std::vector<POINT> polygon;
  for (int i = 0; i < points_.Count(); ++i) {
    TVisPoint p;
    points_.GetPoint(i, p);
    polygon.push_back({p.X, p.Y});
  }
  HRGN region = Polygon(polygon);
  SetUserRegion(region);
  DeleteObject(region);
}

RECT TVisRegion::ShapeRect(RECT Rect) const {
  Rect.left += Origin.x;
  Rect.top += Origin.y;
  if (shadow_.Style() != TVisShadowStyle::hssNone) {
    Rect.right -= shadow_.Depth();
    Rect.bottom -= shadow_.Depth();
  }
  return Rect;
}

void TVisRegion::SetRectRegion(const RECT& Rect) {
  if (owner_ && owner_->Destroying()) return;
  if (region_) DeleteObject(region_);
  region_ = CreateRectRgn(Rect.left, Rect.top, Rect.right, Rect.bottom);
}

void TVisRegion::BuildRegion(const RECT& Rect) {
  if (owner_ && owner_->Destroying()) return;
  if (region_) DeleteObject(region_);
  const RECT r = ShapeRect(Rect);
  region_ = ShapeRegion(r);
  // A shape without a region of its own keeps the window rectangular, never without a region.
  if (!region_) region_ = CreateRectRgn(r.left, r.top, r.right, r.bottom);
}

HRGN TVisRegion::ShapeRegion(const RECT& r) const {
  const int W = r.right - r.left;
  switch (shape_) {
    case TVisRegionShape::rsRect:
      return CreateRectRgn(r.left, r.top, r.right, r.bottom);
    case TVisRegionShape::rsRoundRect:
      return CreateRoundRectRgn(r.left, r.top, r.right, r.bottom, roundX_, roundY_);
    case TVisRegionShape::rsBitmap:
      return mask_.CreateRegion();
    case TVisRegionShape::rsNoseRect:
    case TVisRegionShape::rsRoundNoseRect: {
      const bool round = shape_ == TVisRegionShape::rsRoundNoseRect;
      const TVisNose nose = ShapeNose(r, round, extPos_, roundX_, roundY_);
      const RECT& b = nose.Body;
      HRGN body = round ? CreateRoundRectRgn(b.left, b.top, b.right, b.bottom, roundX_, roundY_)
                        : CreateRectRgn(b.left, b.top, b.right, b.bottom);
      CombineInto(body, Polygon({nose.Tip, nose.Base[0], nose.Base[1]}), RGN_OR);
      return body;
    }
    case TVisRegionShape::rsElliptic:
      return Ellipse(r);
    case TVisRegionShape::rsStar:
      return Polygon(StarPoints(r));
    case TVisRegionShape::rsRoundShield:
    case TVisRegionShape::rsSharpShield: {
      const TVisShield shield = ShieldOf(r, shape_ == TVisRegionShape::rsSharpShield);
      HRGN region = Ellipse(shield.Outer[0]);
      for (size_t i = 1; i < shield.Outer.size(); ++i) CombineInto(region, Ellipse(shield.Outer[i]), RGN_AND);
      for (const RECT& cut : shield.Cuts) CombineInto(region, Ellipse(cut), RGN_DIFF);
      CombineInto(region, CreateRectRgnIndirect(&shield.Bar), RGN_DIFF);
      return region;
    }
    case TVisRegionShape::rsDiamond:
      return Polygon(DiamondPoints(r));
    case TVisRegionShape::rsOctagon:
      return Polygon(OctagonPoints(r));
    case TVisRegionShape::rsComb:
      return Polygon(CombPoints(r));
    case TVisRegionShape::rsHalfRound:
      return CreateEllipticRgn(r.left, 2 * r.top - r.bottom, r.right, r.bottom);
    case TVisRegionShape::rsUserRegion:
    case TVisRegionShape::rsPointList:
      return RegionOfData(userRegion_);
    case TVisRegionShape::rsThinkBubble:
    case TVisRegionShape::rsRoundThinkBubble:
    case TVisRegionShape::rsEllipticThinkBubble: {
      const TVisBubbles bubbles = BubblesOf(r, W / 6, bubbleCount_, extPos_);
      const RECT& b = bubbles.Body;
      HRGN body = shape_ == TVisRegionShape::rsThinkBubble        ? CreateRectRgn(b.left, b.top, b.right, b.bottom)
                  : shape_ == TVisRegionShape::rsRoundThinkBubble ? CreateRoundRectRgn(b.left, b.top, b.right, b.bottom, roundX_, roundY_)
                                                                  : Ellipse(b);
      // The circles are gathered in a region that starts empty.
      HRGN circles = CreateRectRgn(0, 0, 0, 0);
      for (const RECT& c : bubbles.Circles) CombineInto(circles, Ellipse(c), RGN_OR);
      CombineInto(body, circles, RGN_OR);
      return body;
    }
  }
  return nullptr;
}

void TVisRegion::Assign(const classlib::TPersistent& Source) {
  const auto* other = dynamic_cast<const TVisRegion*>(&Source);
  if (!other) {
    TVisObject::Assign(Source);
    return;
  }
  if (other == this) return;
  BeginUpdate();
  shape_ = other->shape_;
  roundX_ = other->roundX_;
  roundY_ = other->roundY_;
  shadow_.Assign(other->shadow_);
  extPos_ = other->extPos_;
  auto* border = dynamic_cast<TVisBorderRegion*>(this);
  auto* otherBorder = dynamic_cast<const TVisBorderRegion*>(other);
  if (border && otherBorder) border->Border().Assign(const_cast<TVisBorderRegion*>(otherBorder)->Border());
  mask_.Assign(other->mask_);
  EndUpdate(true);
}

TVisBorderRegion::TVisBorderRegion() {
  border_.OnChange = [this](classlib::TObject* Sender) { GetChange(Sender); };
}

}  // namespace controls
