#include "controls/panels/vis_gradient.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "controls/panels/vis_dc_state.h"
#include "controls/panels/vis_utils.h"

namespace controls {

using classlib::TColor;

TVisGradient::TVisGradient() { BuildColors(); }

TVisGradient::~TVisGradient() { DeletePalette(); }

void TVisGradient::SetColor(TColor Value) {
  if (Value == color_) return;
  color_ = Value;
  Change();
}

void TVisGradient::SetColorCount(int Value) {
  Value = std::clamp(Value, kMinGradientColors, kMaxGradientColors);
  if (Value == colorCount_) return;
  colorCount_ = Value;
  Change();
}

void TVisGradient::SetStyle(TVisGradientStyle Value) {
  if (Value == style_) return;
  style_ = Value;
  Change();
}

void TVisGradient::SetEndColor(TColor Value) {
  if (Value == endColor_) return;
  endColor_ = Value;
  Change();
}

void TVisGradient::SetPaletteRealize(bool Value) {
  if (Value == paletteRealize_) return;
  paletteRealize_ = Value;
  Change();
}

void TVisGradient::SetTwoColors(bool Value) {
  if (Value == twoColors_) return;
  twoColors_ = Value;
  Change();
}

std::vector<std::int32_t> TVisGradient::WriteColorList() const {
  return std::vector<std::int32_t>(colors_.begin(), colors_.end());
}

void TVisGradient::ReadColorList(const std::vector<std::int32_t>& Values) {
  BeginUpdate();
  colors_.assign(Values.begin(), Values.end());
  EndUpdate(true);
}

void TVisGradient::Assign(const classlib::TPersistent& Source) {
  const auto* source = dynamic_cast<const TVisGradient*>(&Source);
  if (!source) return TVisObject::Assign(Source);
  BeginUpdate();
  SetColorCount(source->colorCount_);
  SetColor(source->color_);
  SetStyle(source->style_);
  SetEndColor(source->endColor_);
  SetPaletteRealize(source->paletteRealize_);
  SetTwoColors(source->twoColors_);
  colors_ = source->colors_;
  EndUpdate(true);
}

void TVisGradient::Change() {
  BuildColors();
  TVisObject::Change();
}

std::string TVisGradient::DesignText() const {
  static const char* const kNames[] = {"horizontal", "vertical",     "square",        "elliptic",      "top left",
                                       "top right",  "bottom left",  "bottom right",  "top left diag", "top right diag"};
  return std::string(kNames[static_cast<int>(style_)]) + ", Col: " + std::to_string(colorCount_) +
         (twoColors_ ? ", 2 col mode" : ", mult. col mode");
}

void TVisGradient::DeletePalette() {
  if (palette_) DeleteObject(palette_);
  palette_ = nullptr;
}

void TVisGradient::BuildColors() {
  DeletePalette();
  colorList_.clear();
  if (twoColors_) {
    BuildGradientColors(color_, endColor_, colorCount_, true, colorList_);
  } else if (colors_.size() > 1) {
    const int steps = colorCount_ / static_cast<int>(colors_.size());
    BuildGradientColors(colors_[0], colors_[1], steps, true, colorList_);
    for (size_t k = 1; k + 1 < colors_.size(); ++k) BuildGradientColors(colors_[k], colors_[k + 1], steps, false, colorList_);
  }
  if (paletteRealize_) palette_ = CreateGradientPalette(colorList_);
}

void BuildGradientColors(TColor C1, TColor C2, int Steps, bool First, std::vector<TColor>& List) {
  if (Steps <= 0) return;
  const TColor from = classlib::ColorToRGB(C1), to = classlib::ColorToRGB(C2);
  if (First) List.clear();
  auto channel = [](TColor c, int shift) { return static_cast<int>((c >> shift) & 0xFF); };
  for (int i = First ? 0 : 1; i < Steps; ++i) {
    TColor rgb = 0;
    for (int shift : {0, 8, 16}) {
      const int c1 = channel(from, shift), c2 = channel(to, shift);
      // One step has no span to divide: it is the start colour.
      const int value = Steps == 1 ? c1 : c1 + MulDiv(i, c2 - c1, Steps - 1);
      rgb |= static_cast<TColor>(value & 0xFF) << shift;
    }
    List.push_back(rgb);
  }
}

HPALETTE CreateGradientPalette(const std::vector<TColor>& List) {
  if (List.empty()) return nullptr;
  std::vector<BYTE> buffer(sizeof(LOGPALETTE) + List.size() * sizeof(PALETTEENTRY));
  auto* palette = reinterpret_cast<LOGPALETTE*>(buffer.data());
  palette->palVersion = 0x300;
  palette->palNumEntries = static_cast<WORD>(List.size());
  for (size_t i = 0; i < List.size(); ++i)
    palette->palPalEntry[i] = {GetRValue(List[i]), GetGValue(List[i]), GetBValue(List[i]), PC_NOCOLLAPSE};
  return CreatePalette(palette);
}

namespace {

// The shapes are filled with the context's own primitives and a null pen; the context gets its
// pen and brush back.
class TBandPainter {
 public:
  TBandPainter(HDC dc, bool paletteRelative) : dc_(dc), paletteRelative_(paletteRelative) {
    oldPen_ = SelectObject(dc_, GetStockObject(NULL_PEN));
    oldBrush_ = GetCurrentObject(dc_, OBJ_BRUSH);
  }
  ~TBandPainter() {
    SelectObject(dc_, oldPen_);
    SelectObject(dc_, oldBrush_);
    if (brush_) DeleteObject(brush_);
  }
  TBandPainter(const TBandPainter&) = delete;
  TBandPainter& operator=(const TBandPainter&) = delete;

  void SetColor(TColor rgb) {
    HBRUSH brush = CreateSolidBrush(paletteRelative_ ? (rgb | 0x02000000) : rgb);
    SelectObject(dc_, brush);
    if (brush_) DeleteObject(brush_);
    brush_ = brush;
  }
  void Fill(int left, int top, int right, int bottom) {
    const RECT r = {left, top, right, bottom};
    ::FillRect(dc_, &r, brush_);
  }
  void Rectangle(int left, int top, int right, int bottom) { ::Rectangle(dc_, left, top, right, bottom); }
  void Ellipse(int left, int top, int right, int bottom) { ::Ellipse(dc_, left, top, right, bottom); }
  void Polygon(const POINT (&points)[4]) { ::Polygon(dc_, points, 4); }

 private:
  HDC dc_;
  bool paletteRelative_;
  HGDIOBJ oldPen_;
  HGDIOBJ oldBrush_;
  HBRUSH brush_ = nullptr;
};

// Where the bands grow from, (left, top, right, bottom) as the bands use it, not normalised.
RECT BaseRect(TVisGradientStyle style, int w, int h) {
  switch (style) {
    case TVisGradientStyle::gstHorizontal:
    case TVisGradientStyle::gstVertical: return {0, 0, w, h};
    case TVisGradientStyle::gstSquare:
    case TVisGradientStyle::gstElliptic: return {w / 2, h / 2, w / 2, h / 2};
    case TVisGradientStyle::gstTopRight: return {w, 1, w + 1, 0};
    case TVisGradientStyle::gstBottomLeft: return {1, h, 0, h + 1};
    case TVisGradientStyle::gstBottomRight: return {w, h, w + 1, h + 1};
    case TVisGradientStyle::gstTopRightDiagonal: return {w, 0, w + 1, 0};
    default: return {0, 0, 1, 1};  // top left and its diagonal
  }
}

void PaintBand(TBandPainter& p, TVisGradientStyle style, const RECT& base, int i, int n, int w, int h) {
  const int x0 = base.left, y0 = base.top, x1 = base.right, y1 = base.bottom;
  const int a = MulDiv(i + 1, w, n), b = MulDiv(i + 1, h, n);
  switch (style) {
    case TVisGradientStyle::gstHorizontal: p.Fill(x0 + MulDiv(i, w, n), y0, x0 + a, y1); break;
    case TVisGradientStyle::gstVertical: p.Fill(x0, y0 + MulDiv(i, h, n), x1, y0 + b); break;
    case TVisGradientStyle::gstSquare: p.Rectangle(x0 - a / 2, y0 - b / 2, x0 + a / 2 + 2, y0 + b / 2 + 2); break;
    case TVisGradientStyle::gstElliptic: {
      const int rx = RoundHalfEven(a / 1.4), ry = RoundHalfEven(b / 1.4);
      p.Ellipse(x0 - rx, y0 - ry, x0 + rx, y0 + ry);
      break;
    }
    case TVisGradientStyle::gstTopLeft: p.Rectangle(x0, y0, x1 + a, y1 + b); break;
    case TVisGradientStyle::gstTopRight: p.Rectangle(x0 - a, y0 + b, x1, y1); break;
    case TVisGradientStyle::gstBottomLeft: p.Rectangle(x0 + a, y0 - b, x1, y1); break;
    case TVisGradientStyle::gstBottomRight: p.Rectangle(x0 - a, y0 - b, x1, y1); break;
    case TVisGradientStyle::gstTopLeftDiagonal:
      p.Polygon({{x0, y0}, {x0 + 2 * a, y0}, {x0, y1 + 2 * b}, {x0 - 2 * a, y1 + 2 * b}});
      break;
    case TVisGradientStyle::gstTopRightDiagonal:
      p.Polygon({{x1, y0}, {x1 - 2 * a, y0}, {x1, y1 + 2 * b}, {x1 + 2 * a, y1 + 2 * b}});
      break;
  }
}

}  // namespace

void PaintGradient(classlib::TCanvas& Canvas, const RECT& Rect, TVisGradientStyle Style,
                   const std::vector<TColor>& ColorList, HPALETTE Palette, unsigned Flags, std::uint32_t ClipOffset) {
  const int n = static_cast<int>(ColorList.size());
  if (n == 0 || IsRectEmpty(&Rect)) return;
  const int w = Rect.right - Rect.left, h = Rect.bottom - Rect.top;
  const HPALETTE palette = PaletteWanted(Flags) ? Palette : nullptr;
  RECT base = BaseRect(Style, w, h);

  std::unique_ptr<classlib::TBitmap> offscreen;
  std::optional<TVisClipScope> clip;
  HDC target = Canvas.Handle();
  if (Flags & kGradientUseBitmap) {
    offscreen = std::make_unique<classlib::TBitmap>(w, h);
    target = offscreen->Canvas().Handle();
  } else {
    if (Flags & kGradientClip) clip.emplace(target, Rect, ClipOffset);
    OffsetRect(&base, Rect.left, Rect.top);
  }
  {
    TVisPaletteScope selected(target, palette);
    TBandPainter painter(target, palette != nullptr);
    // Shapes shrink with i: the largest is painted first, the smaller ones over it.
    const bool ascending = Style == TVisGradientStyle::gstHorizontal;
    for (int k = 0; k < n; ++k) {
      const int i = ascending ? k : n - 1 - k;
      painter.SetColor(ColorList[i]);
      PaintBand(painter, Style, base, i, n, w, h);
    }
  }
  if (offscreen) {
    TVisPaletteScope selected(Canvas.Handle(), palette);
    Canvas.Draw(Rect.left, Rect.top, *offscreen);
  }
}

}  // namespace controls
