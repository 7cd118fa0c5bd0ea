// Window outlines: a region object describes a shape by its name and a few measures and builds the
// system region for a rectangle; the border region adds the settings its outline is painted with.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "classlib/controls.h"
#include "classlib/graphics.h"
#include "controls/panels/vis_object.h"
#include "controls/panels/vis_point_list.h"
#include "controls/panels/vis_shadow.h"

namespace controls {

enum class TVisRegionShape : std::uint8_t {
  rsRect,
  rsRoundRect,
  rsBitmap,
  rsNoseRect,
  rsRoundNoseRect,
  rsElliptic,
  rsStar,
  rsRoundShield,
  rsSharpShield,
  rsDiamond,
  rsOctagon,
  rsComb,
  rsHalfRound,
  rsUserRegion,
  rsThinkBubble,
  rsRoundThinkBubble,
  rsEllipticThinkBubble,
  rsPointList,
};

// Where a nose or a bubble trail sits: the side first, then the end of that side.
enum class TVisExtPos : std::uint8_t {
  epLeftTop,
  epTopLeft,
  epTopRight,
  epRightTop,
  epRightBottom,
  epBottomRight,
  epBottomLeft,
  epLeftBottom,
};

enum class TVisRegionBorderStyle : std::uint8_t {
  rbNone,
  rbLowered,
  rbRaised,
  rbSingle,
  rbSingleRaised,
  rbSingleLowered,
  rbRaisedpsb,
  rbLoweredpsb,
};

class TVisRegionBorder : public TVisObject {
 public:
  TVisRegionBorderStyle Style() const { return style_; }
  void SetStyle(TVisRegionBorderStyle Value);
  classlib::TColor LightColor() const { return lightColor_; }
  void SetLightColor(classlib::TColor Value);
  classlib::TColor ShadowColor() const { return shadowColor_; }
  void SetShadowColor(classlib::TColor Value);
  classlib::TColor SingleColor() const { return singleColor_; }
  void SetSingleColor(classlib::TColor Value);

  void Assign(const classlib::TPersistent& Source) override;

 private:
  TVisRegionBorderStyle style_ = TVisRegionBorderStyle::rbSingle;
  classlib::TColor lightColor_ = classlib::clBtnHighlight;
  classlib::TColor shadowColor_ = classlib::clBtnShadow;
  classlib::TColor singleColor_ = classlib::clBlack;
};

class TVisRegion : public TVisObject {
 public:
  TVisRegion();
  ~TVisRegion() override;

  TVisPointList& Points() { return points_; }
  TVisRegionShape Shape() const { return shape_; }
  void SetShape(TVisRegionShape Value);
  TVisExtPos ExtPos() const { return extPos_; }
  void SetExtPos(TVisExtPos Value);
  TVisRegionMask& Mask() { return mask_; }
  const TVisRegionMask& Mask() const { return mask_; }
  void SetMask(const TVisRegionMask& Value) { mask_.Assign(Value); }
  std::int32_t RoundX() const { return roundX_; }
  void SetRoundX(std::int32_t Value);
  std::int32_t RoundY() const { return roundY_; }
  void SetRoundY(std::int32_t Value);
  TVisRgnShadow& Shadow() { return shadow_; }
  const TVisRgnShadow& Shadow() const { return shadow_; }
  void SetShadow(const TVisShadow& Value) { shadow_.Assign(Value); }

  // The window the region is for; nothing is built while it is being destroyed.
  classlib::TWinControl* Owner() const { return owner_; }
  void SetOwner(classlib::TWinControl* Value) { owner_ = Value; }
  std::int32_t BubbleCount() const { return bubbleCount_; }
  void SetBubbleCount(std::int32_t Value) { bubbleCount_ = Value; }
  // Added to the left and top of every rectangle built or painted for.
  POINT Origin = {0, 0};
  bool NoShadowPaint = false;

  // The region last built; owned here.
  HRGN RegionHandle() const { return region_; }
  // The outline for Rect: the shape within Rect (less the shadow's depth at the right and
  // bottom). A shape that yields no region gives the rectangle itself.
  void BuildRegion(const RECT& Rect);
  void SetRectRegion(const RECT& Rect);

  const std::vector<std::uint8_t>& UserRegionData() const { return userRegion_; }
  // The data of Region becomes the user region.
  void SetUserRegion(HRGN Region);
  // With the point-list shape and at least three points, their polygon becomes the user region.
  void PointsChanged();

  // The shadow's area for the built region, filled in its colour (solid) or through its
  // checkerboard (tracing); Rect loses the shadow's depth at the right and bottom.
  void PaintShadow(classlib::TCanvas& Canvas, RECT& Rect);

  // The stream property "PointList": X and Y of each point.
  bool PointListStored() const { return points_.Count() > 0; }
  std::vector<std::int32_t> WritePointList() const { return points_.Values(); }
  void ReadPointList(const std::vector<std::int32_t>& Values) { points_.AppendValues(Values); }

  // Shape, corners, shadow, position, mask and, between border regions, the border (not the
  // points); one change.
  void Assign(const classlib::TPersistent& Source) override;

 protected:
  // The shape's region for the rectangle L, T, R, B as BuildRegion has prepared it, or null.
  HRGN ShapeRegion(const RECT& Rect) const;
  // The rectangle a shape is built and painted for: Origin added, the shadow left out.
  RECT ShapeRect(RECT Rect) const;

 private:
  TVisPointList points_;
  TVisRegionShape shape_ = TVisRegionShape::rsRoundRect;
  TVisExtPos extPos_ = TVisExtPos::epLeftTop;
  TVisRegionMask mask_;
  std::int32_t roundX_ = 20;
  std::int32_t roundY_ = 20;
  TVisRgnShadow shadow_;
  classlib::TWinControl* owner_ = nullptr;
  std::int32_t bubbleCount_ = 4;
  HRGN region_ = nullptr;
  std::vector<std::uint8_t> userRegion_;
};

class TVisBorderRegion : public TVisRegion {
 public:
  TVisBorderRegion();

  TVisRegionBorder& Border() { return border_; }
  void SetBorder(const TVisRegionBorder& Value) { border_.Assign(Value); }

  // The shadow, then the outline of the shape in the border's style and colours (none for the
  // bitmap and user-region shapes). The canvas keeps its clip region.
  void PaintBorder(classlib::TCanvas& Canvas, RECT Rect);

 private:
  TVisRegionBorder border_;
};

}  // namespace controls
