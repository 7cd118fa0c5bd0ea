#include "controls/panels/vis_fill.h"

#include <memory>

#include "controls/panels/vis_dc_state.h"
#include "controls/panels/vis_draw.h"
#include "controls/panels/vis_system.h"

namespace controls {

using classlib::TBitmap;
using classlib::TCanvas;
using classlib::TColor;

TVisShapeFill::TVisShapeFill() {
  gradient_.OnChange = [this](TObject* sender) { GetChange(sender); };
}

void TVisShapeFill::SetBitmap(const TBitmap& Value) {
  bitmap_.Assign(Value);
  Change();
}

void TVisShapeFill::SetStyle(TVisFillStyle Value) {
  if (Value == style_) return;
  style_ = Value;
  Change();
}

void TVisShapeFill::SetTileMode(TVisTileMode Value) {
  if (Value == tileMode_) return;
  tileMode_ = Value;
  Change();
}

void TVisShapeFill::AssignPictures(const TVisShapeFill& Source) {
  SetBitmap(Source.bitmap_);
  SetListBitmap(Source.listBitmap_);
  SetGradient(Source.gradient_);
}

void TVisShapeFill::Assign(const classlib::TPersistent& Source) {
  const auto* source = dynamic_cast<const TVisShapeFill*>(&Source);
  if (!source) return TVisObject::Assign(Source);
  BeginUpdate();
  AssignPictures(*source);
  SetStyle(source->style_);
  SetTileMode(source->tileMode_);
  EndUpdate(true);
}

std::string TVisShapeFill::DesignText() const {
  static const char* const kWords[] = {"Disabled", "", "Brush", "Bitmap", "BitmapList", "Gradient"};
  return std::string("{") + kWords[static_cast<int>(style_)] + "}";
}

TVisFillObject::TVisFillObject() {
  style_ = TVisFillStyle::sfNone;
  brush_.OnChange = [this] { Change(); };
}

void TVisFillObject::PlacementChanged() {
  const bool bitmap = Style() == TVisFillStyle::sfBitmap || Style() == TVisFillStyle::sfBitmapList;
  if (bitmap && TileMode() == TVisTileMode::tmNone) Change();
}

void TVisFillObject::SetAlignment(TVisAlignment Value) {
  if (Value == alignment_) return;
  alignment_ = Value;
  PlacementChanged();
}

void TVisFillObject::SetOffsetX(std::int32_t Value) {
  if (Value == offsetX_) return;
  offsetX_ = Value;
  PlacementChanged();
}

void TVisFillObject::SetOffsetY(std::int32_t Value) {
  if (Value == offsetY_) return;
  offsetY_ = Value;
  PlacementChanged();
}

void TVisFillObject::SetOptions(TVisFillOptions Value) {
  if (Value == options_) return;
  options_ = Value;
  Change();
}

void TVisFillObject::Assign(const classlib::TPersistent& Source) {
  const auto* source = dynamic_cast<const TVisFillObject*>(&Source);
  if (!source) return TVisShapeFill::Assign(Source);
  BeginUpdate();
  SetBrush(source->brush_);
  SetOptions(source->options_);
  AssignPictures(*source);
  SetStyle(source->Style());
  SetTileMode(source->TileMode());
  EndUpdate(true);
}

namespace {

void FillSolid(TCanvas& canvas, const RECT& rect, TColor color) {
  canvas.Brush().SetBitmap(nullptr);
  canvas.Brush().SetStyle(classlib::TBrushStyle::bsSolid);
  canvas.Brush().SetColor(color);
  canvas.FillRect(rect);
}

// The gaps of a hatch show the context's background colour (with an opaque background), which
// the fill sets for itself and puts back.
class TBackgroundScope {
 public:
  TBackgroundScope(HDC dc, TColor color)
      : dc_(dc), oldColor_(SetBkColor(dc, classlib::ColorToRGB(color))), oldMode_(SetBkMode(dc, OPAQUE)) {}
  ~TBackgroundScope() {
    SetBkColor(dc_, oldColor_);
    SetBkMode(dc_, oldMode_);
  }
  TBackgroundScope(const TBackgroundScope&) = delete;
  TBackgroundScope& operator=(const TBackgroundScope&) = delete;

 private:
  HDC dc_;
  COLORREF oldColor_;
  int oldMode_;
};

}  // namespace

bool TVisFillObject::FillBitmap(TCanvas& Canvas, const RECT& Rect, TBitmap& Picture, TColor Color) {
  const bool fillInner = options_ & foFillInner;
  if (Picture.Empty()) {
    if (fillInner) FillSolid(Canvas, Rect, Color);
    return false;
  }
  unsigned flags = (options_ & foQuickDraw) ? 0 : kBitmapPalette;
  RECT target = Rect, drawn;
  switch (TileMode()) {
    case TVisTileMode::tmNone:
      if (fillInner) FillSolid(Canvas, Rect, Color);
      AlignRect(alignment_, {0, 0, Picture.Width(), Picture.Height()}, Rect, target);
      OffsetRect(&target, offsetX_, offsetY_);
      break;
    case TVisTileMode::tmCenter:
      if (fillInner) FillSolid(Canvas, Rect, Color);
      flags |= kBitmapCenter;
      break;
    case TVisTileMode::tmStretch: flags |= kBitmapStretch; break;
    case TVisTileMode::tmTile: flags |= kBitmapTile; break;
  }
  DrawBitmapEx(Canvas, target, Picture, Color, flags, drawn);
  return true;
}

bool TVisFillObject::Fill(TCanvas& Canvas, const RECT& Rect, TColor Color) {
  switch (Style()) {
    case TVisFillStyle::sfNone: return false;
    case TVisFillStyle::sfBrushBitmap: {
      // Systems outside the NT family take brush patterns of 8 x 8 pixels only.
      std::unique_ptr<TBitmap> corner;
      const TBitmap* pattern = nullptr;
      if (!Bitmap().Empty()) {
        pattern = &Bitmap();
        if (!IsWinNT) {
          corner = std::make_unique<TBitmap>(8, 8);
          BitBlt(corner->SourceDC(), 0, 0, 8, 8, Bitmap().SourceDC(), 0, 0, SRCCOPY);
          pattern = corner.get();
        }
      }
      Canvas.Brush().SetBitmap(pattern);
      Canvas.FillRect(Rect);
      Canvas.Brush().SetBitmap(nullptr);
      return true;
    }
    case TVisFillStyle::sfBrush: {
      Canvas.Brush().Assign(brush_);
      Canvas.Pen().SetColor(Color);
      if (brush_.Style() == classlib::TBrushStyle::bsSolid || brush_.Bitmap()) {
        Canvas.FillRect(Rect);
      } else {
        TBackgroundScope background(Canvas.Handle(), Color);
        Canvas.FillRect(Rect);
      }
      return true;
    }
    case TVisFillStyle::sfBitmap: return FillBitmap(Canvas, Rect, Bitmap(), Color);
    case TVisFillStyle::sfBitmapList: return FillBitmap(Canvas, Rect, ListBitmap(), Color);
    case TVisFillStyle::sfGradient: {
      const unsigned flags = ((options_ & foGrUseBitmap) ? kGradientUseBitmap : 0) |
                             (Gradient().PaletteRealize() ? kGradientUsePalette : 0);
      PaintGradient(Canvas, Rect, Gradient().Style(), Gradient().ColorList(), Gradient().GetPalette(), flags, 0);
      return true;
    }
  }
  return false;
}

bool TVisFillObject::FillClipped(TCanvas& Canvas, const RECT& Rect, std::uint32_t ClipOffset, TColor Color) {
  if (Style() == TVisFillStyle::sfGradient && (options_ & foGrUseBitmap)) return Fill(Canvas, Rect, Color);
  TVisClipScope clip(Canvas.Handle(), Rect, ClipOffset);
  return Fill(Canvas, Rect, Color);
}

}  // namespace controls
