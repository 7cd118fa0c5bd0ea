// How an area is filled: nothing, a brush, a brush pattern, a bitmap placed, centred, stretched or
// tiled, or a gradient; and the painting of that fill into a rectangle.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "classlib/graphics.h"
#include "controls/panels/vis_gradient.h"
#include "controls/panels/vis_object.h"
#include "controls/panels/vis_types.h"

namespace controls {

class TVisShapeFill : public TVisObject {
 public:
  TVisShapeFill();

  // Owned; call Change() after drawing into it.
  classlib::TBitmap& Bitmap() { return bitmap_; }
  // Copies the picture and notifies.
  void SetBitmap(const classlib::TBitmap& Value);
  // The picture taken from an image list for sfBitmapList; set without notification.
  classlib::TBitmap& ListBitmap() { return listBitmap_; }
  void SetListBitmap(const classlib::TBitmap& Value) { listBitmap_.Assign(Value); }
  TVisGradient& Gradient() { return gradient_; }
  void SetGradient(const TVisGradient& Value) { gradient_.Assign(Value); }
  TVisFillStyle Style() const { return style_; }
  void SetStyle(TVisFillStyle Value);
  TVisTileMode TileMode() const { return tileMode_; }
  void SetTileMode(TVisTileMode Value);

  void Assign(const classlib::TPersistent& Source) override;
  std::string DesignText() const override;

 protected:
  // Copies the pictures and the gradient (inside the caller's update bracket).
  void AssignPictures(const TVisShapeFill& Source);

  TVisFillStyle style_ = TVisFillStyle::sfBrush;

 private:
  classlib::TBitmap bitmap_;
  classlib::TBitmap listBitmap_;
  TVisGradient gradient_;
  TVisTileMode tileMode_ = TVisTileMode::tmTile;
};

class TVisFillObject : public TVisShapeFill {
 public:
  TVisFillObject();

  TVisAlignment Alignment() const { return alignment_; }
  // Alignment and the offsets matter, and notify, only for a bitmap drawn unscaled (tmNone).
  void SetAlignment(TVisAlignment Value);
  classlib::TBrush& Brush() { return brush_; }
  void SetBrush(const classlib::TBrush& Value) { brush_.Assign(Value); }
  std::int32_t OffsetX() const { return offsetX_; }
  void SetOffsetX(std::int32_t Value);
  std::int32_t OffsetY() const { return offsetY_; }
  void SetOffsetY(std::int32_t Value);
  TVisFillOptions Options() const { return options_; }
  void SetOptions(TVisFillOptions Value);

  // Keeps Alignment and the offsets.
  void Assign(const classlib::TPersistent& Source) override;

  // Paints the fill into Rect; Color is the colour behind bitmaps and in the gaps of a hatch.
  // True when the fill covered the area.
  bool Fill(classlib::TCanvas& Canvas, const RECT& Rect, classlib::TColor Color);
  // Fill clipped to Rect shifted by ClipOffset (x in the low, y in the high 16 bits, signed).
  bool FillClipped(classlib::TCanvas& Canvas, const RECT& Rect, std::uint32_t ClipOffset, classlib::TColor Color);

 private:
  void PlacementChanged();
  bool FillBitmap(classlib::TCanvas& Canvas, const RECT& Rect, classlib::TBitmap& Picture, classlib::TColor Color);

  TVisAlignment alignment_ = TVisAlignment::agTopLeft;
  classlib::TBrush brush_;
  std::int32_t offsetX_ = 0;
  std::int32_t offsetY_ = 0;
  TVisFillOptions options_ = foFillInner | foGrUseBitmap;
};

}  // namespace controls
