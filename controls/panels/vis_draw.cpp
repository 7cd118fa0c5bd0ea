#include "controls/panels/vis_draw.h"

#include <algorithm>
#include <optional>

#include "controls/panels/vis_dc_state.h"
#include "controls/panels/vis_system.h"
#include "controls/panels/vis_utils.h"

namespace controls {

using classlib::TBitmap;
using classlib::TBrushStyle;
using classlib::TCanvas;
using classlib::TColor;
using classlib::TPenStyle;

namespace {

void FrameIn(TCanvas& canvas, const RECT& r, TColor color) {
  canvas.Brush().SetColor(color);
  canvas.FrameRect(r);
}

void FillIn(TCanvas& canvas, int left, int top, int right, int bottom, TColor color) {
  canvas.Brush().SetColor(color);
  canvas.FillRect({left, top, right, bottom});
}

}  // namespace

bool DrawBevelBand(TCanvas& Canvas, RECT& Rect, TVisBevelStyle Style, TColor LightColor, TColor ShadowColor,
                   int Width) {
  const int w = Width;
  if (w <= 0 || Style == TVisBevelStyle::bvNone || Style == TVisBevelStyle::bvShadow) return false;
  // A: bottom and right; B: top and left.
  TColor a = classlib::clBlack, b = classlib::clBlack;
  if (Style == TVisBevelStyle::bvLowered || Style == TVisBevelStyle::bvFrameLowered) {
    a = LightColor;
    b = ShadowColor;
  } else if (Style == TVisBevelStyle::bvRaised || Style == TVisBevelStyle::bvFrameRaised) {
    a = ShadowColor;
    b = LightColor;
  }
  RECT& r = Rect;
  if (Style == TVisBevelStyle::bvFrameLowered || Style == TVisBevelStyle::bvFrameRaised) {
    for (int c = 0; c < w; ++c) {
      FrameIn(Canvas, {r.left + c + 1, r.top + c + 1, r.right, r.bottom}, a);
      FrameIn(Canvas, {r.left, r.top, r.right - c - 1, r.bottom - c - 1}, b);
    }
    InflateRect(&r, -(w + 1), -(w + 1));
    return true;
  }
  // One-pixel rings from the outside in, the top and left in B, the bottom and right in A; the
  // two colours meet along the diagonals of the corners.
  r.bottom -= 1;
  r.right -= 1;
  Canvas.Pen().SetStyle(TPenStyle::psSolid);
  Canvas.Pen().SetWidth(1);
  for (int c = 0; c < w; ++c) {
    Canvas.Pen().SetColor(b);
    Canvas.Polyline({{r.left, r.bottom}, {r.left, r.top}, {r.right, r.top}});
    Canvas.Pen().SetColor(a);
    Canvas.Polyline({{r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}});
    InflateRect(&r, -1, -1);
  }
  r.right += 1;
  r.bottom += 1;
  return true;
}

bool DrawShadowFrame(TCanvas& Canvas, RECT& Rect, TColor FrameColor, TColor CornerColor, TColor ShadowColor,
                     int ShadowWidth, int FrameCount, bool NoCorners) {
  const int d = ShadowWidth;
  RECT& r = Rect;
  Canvas.Brush().SetStyle(TBrushStyle::bsSolid);
  Canvas.Pen().SetStyle(TPenStyle::psClear);
  FillIn(Canvas, r.right - d, r.top + d, r.right, r.bottom, ShadowColor);
  FillIn(Canvas, r.left + d, r.bottom - d, r.right, r.bottom, ShadowColor);
  if (!NoCorners) {
    FillIn(Canvas, r.right - d, r.top, r.right, r.top + d, CornerColor);
    FillIn(Canvas, r.left, r.bottom - d, r.left + d, r.bottom, CornerColor);
  }
  r.right -= d;
  r.bottom -= d;
  for (int i = 0; i < FrameCount; ++i) {
    FrameIn(Canvas, r, FrameColor);
    InflateRect(&r, -1, -1);
  }
  Canvas.Pen().SetWidth(1);
  return true;
}

int BorderStyleWidth(TVisBorderStyle Style) {
  switch (Style) {
    case TVisBorderStyle::lsNone: return 0;
    case TVisBorderStyle::lsSingle:
    case TVisBorderStyle::lsSingleRaised:
    case TVisBorderStyle::lsSingleLowered: return 1;
    default: return 2;
  }
}

bool DrawBorderStyle(TCanvas& Canvas, RECT& Rect, TVisBorderStyle Style, unsigned ExtraFlags) {
  HDC dc = Canvas.Handle();
  const UINT x = (ExtraFlags & 0xFFFF) | BF_ADJUST;
  auto edge = [&](UINT kind, UINT flags) { DrawEdge(dc, &Rect, kind, flags); };
  switch (Style) {
    case TVisBorderStyle::lsNone: break;
    case TVisBorderStyle::lsSingle:
      edge(BDR_SUNKENOUTER, BF_LEFT | BF_TOP | x | BF_SOFT);
      edge(BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM);
      break;
    case TVisBorderStyle::lsLowered: edge(EDGE_SUNKEN, x | BF_RECT | BF_SOFT); break;
    case TVisBorderStyle::lsRaised: edge(EDGE_RAISED, x | BF_RECT | BF_SOFT); break;
    case TVisBorderStyle::lsRaisedspb:
    case TVisBorderStyle::lsRaisedExt:
      edge(BDR_RAISEDOUTER, x | BF_RECT | BF_SOFT);
      edge(BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM | BF_ADJUST);
      if (Style == TVisBorderStyle::lsRaisedExt) {
        Rect.left += 1;
        Rect.top += 1;
      }
      break;
    case TVisBorderStyle::lsLoweredspb:
      edge(BDR_SUNKENOUTER, x | BF_RECT);
      edge(BDR_SUNKENINNER, BF_LEFT | BF_TOP | x);
      break;
    case TVisBorderStyle::lsLoweredExt:
      edge(BDR_SUNKENOUTER, x | BF_RECT);
      edge(BDR_SUNKENINNER, BF_LEFT | BF_TOP | BF_ADJUST);
      Rect.right -= 1;
      Rect.bottom -= 1;
      break;
    case TVisBorderStyle::lsFrameInset: edge(EDGE_ETCHED, x | BF_RECT); break;
    case TVisBorderStyle::lsFrameOffset:
      edge(BDR_RAISEDINNER, x | BF_RECT);
      edge(BDR_SUNKENOUTER, x | BF_RECT);
      break;
    case TVisBorderStyle::lsWindowBorder:
      edge(BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM | x);
      Rect.left += 1;
      Rect.top += 1;
      edge(BDR_RAISEDINNER, x | BF_RECT);
      break;
    case TVisBorderStyle::lsSingleRaised: edge(BDR_RAISEDINNER, x | BF_RECT); break;
    case TVisBorderStyle::lsSingleLowered: edge(BDR_SUNKENOUTER, x | BF_RECT); break;
    case TVisBorderStyle::lsDoubleRaised:
      edge(BDR_RAISEDINNER, x | BF_RECT);
      edge(BDR_RAISEDINNER, x | BF_RECT);
      break;
    case TVisBorderStyle::lsDoubleLowered:
      edge(BDR_SUNKENOUTER, x | BF_RECT);
      edge(BDR_SUNKENOUTER, x | BF_RECT);
      break;
  }
  return true;
}

void DrawArrowGlyph(TCanvas& Canvas, int X, int Y, bool Enabled, bool Down, TColor Color, int Size) {
  const int s = Size;
  if (s < 2 || s > 15) return;
  auto glyph = [&](int x, int y, TColor color) {
    Canvas.Pen().SetStyle(TPenStyle::psSolid);
    Canvas.Pen().SetWidth(1);
    Canvas.Pen().SetColor(color);
    if (Down) {
      for (int c = 0; c <= s - 2; ++c) {
        Canvas.MoveTo(x + c, y + c);
        Canvas.LineTo(x + 2 * s - c - 1, y + c);
      }
      Canvas.SetPixel(x + s - 1, y + s - 1, color);
    } else {
      for (int c = 0; c <= s - 1; ++c) {
        Canvas.MoveTo(x + s / 2 - c, y + c);
        Canvas.LineTo(x + s / 2 + c + 1, y + c);
      }
    }
  };
  if (Enabled) {
    glyph(X, Y, Color);
  } else {
    glyph(X + 1, Y + 1, classlib::clHighlightText);
    glyph(X, Y, classlib::clGrayText);
  }
}

void FillBitmapRect(TBitmap& Bitmap, const RECT& Rect, TColor Color) {
  int w, h;
  RectSize(Rect, w, h);
  Bitmap.SetSize(w, h);
  if (Bitmap.Empty()) return;
  TCanvas& canvas = Bitmap.Canvas();
  canvas.Brush().SetStyle(TBrushStyle::bsSolid);
  FillIn(canvas, 0, 0, w, h, Color);
}

void AlignRect(TVisAlignment Alignment, const RECT& Source, const RECT& Target, RECT& Result) {
  int w, h, W, H;
  RectSize(Source, w, h);
  RectSize(Target, W, H);
  const int column = static_cast<int>(Alignment) % 3, row = static_cast<int>(Alignment) / 3;
  const int dx = column == 0 ? 0 : column == 1 ? (W - w) / 2 : W - w;
  const int dy = row == 0 ? 0 : row == 1 ? (H - h) / 2 : H - h;
  Result = {Target.left + dx, Target.top + dy, Target.left + dx + w, Target.top + dy + h};
}

void MakeTransparentMask(TCanvas& Canvas, const RECT& Rect, TBitmap& Mask, TColor TransparentColor, TBitmap& Work) {
  int w, h;
  RectSize(Rect, w, h);
  for (TBitmap* b : {&Mask, &Work}) {
    b->SetPixelFormat(classlib::TPixelFormat::pf32bit);
    b->SetSize(w, h);
  }
  if (Work.Empty() || Mask.Empty()) return;
  BitBlt(Work.SourceDC(), 0, 0, w, h, Canvas.Handle(), Rect.left, Rect.top, SRCCOPY);
  const TColor key = classlib::ColorToRGB(TransparentColor);
  for (int y = 0; y < h; ++y) {
    std::uint8_t* image = Work.ScanLine(y);
    std::uint8_t* mask = Mask.ScanLine(y);
    for (int x = 0; x < w; ++x, image += 4, mask += 4) {
      const bool transparent = static_cast<TColor>(image[2] | image[1] << 8 | image[0] << 16) == key;
      std::fill(mask, mask + 3, transparent ? 0xFF : 0x00);
      if (transparent) std::fill(image, image + 3, 0x00);
    }
  }
}

namespace {

// The picture as it is copied: opaque with the canvas's copy mode, or through a mask, with the
// transparent pixels first filled with a colour for a brush copy.
class TPicture {
 public:
  TPicture(TCanvas& canvas, TBitmap& bitmap, TColor color, unsigned flags, const TBitmap* mask)
      : canvas_(canvas), image_(bitmap.SourceDC()) {
    const RECT whole = {0, 0, bitmap.Width(), bitmap.Height()};
    if (flags & kBitmapBrushCopy) {
      background_ = CreateSolidBrush(classlib::ColorToRGB(color));
      // The bitmap's transparent colour is that of its bottom-left pixel.
      UsePrepared(bitmap, whole, bitmap.Pixel(0, bitmap.Height() - 1));
    } else if ((flags & kBitmapMasked) && mask && !mask->Empty()) {
      mask_ = mask->SourceDC();
    } else if (flags & kBitmapTransparent) {
      UsePrepared(bitmap, whole, color);
    }
  }
  ~TPicture() {
    if (background_) DeleteObject(background_);
  }
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  void Copy(const RECT& dest, const RECT& source) {
    HDC dc = canvas_.Handle();
    const int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
    const int sw = source.right - source.left, sh = source.bottom - source.top;
    if (!mask_) {
      StretchBlt(dc, dest.left, dest.top, dw, dh, image_, source.left, source.top, sw, sh, canvas_.CopyMode());
      return;
    }
    if (background_) FillRect(dc, &dest, background_);
    // A monochrome mask takes these colours; a colour one is white and black already.
    const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255)), oldText = SetTextColor(dc, RGB(0, 0, 0));
    StretchBlt(dc, dest.left, dest.top, dw, dh, mask_, source.left, source.top, sw, sh, SRCAND);
    StretchBlt(dc, dest.left, dest.top, dw, dh, image_, source.left, source.top, sw, sh, SRCPAINT);
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
  }

 private:
  void UsePrepared(TBitmap& bitmap, const RECT& whole, TColor key) {
    MakeTransparentMask(bitmap.Canvas(), whole, preparedMask_, key, preparedImage_);
    mask_ = preparedMask_.SourceDC();
    image_ = preparedImage_.SourceDC();
  }

  TCanvas& canvas_;
  HDC image_;
  HDC mask_ = nullptr;
  HBRUSH background_ = nullptr;
  TBitmap preparedMask_;
  TBitmap preparedImage_;
};

class TStretchModeScope {
 public:
  TStretchModeScope(HDC dc, int mode) : dc_(dc), old_(SetStretchBltMode(dc, mode)) {}
  ~TStretchModeScope() { SetStretchBltMode(dc_, old_); }
  TStretchModeScope(const TStretchModeScope&) = delete;
  TStretchModeScope& operator=(const TStretchModeScope&) = delete;

 private:
  HDC dc_;
  int old_;
};

}  // namespace

bool DrawBitmapEx(TCanvas& Canvas, const RECT& Rect, TBitmap& Bitmap, TColor Color, unsigned Flags, RECT& DrawnRect,
                  const TBitmap* Mask, HPALETTE Palette, std::uint32_t ClipOffset) {
  DrawnRect = Rect;
  if (Bitmap.Empty()) return false;
  HDC dc = Canvas.Handle();
  const int bw = Bitmap.Width(), bh = Bitmap.Height();
  const RECT whole = {0, 0, bw, bh};
  int W, H;
  RectSize(Rect, W, H);
  const int L = Rect.left, T = Rect.top;

  TVisPaletteScope palette(dc, PaletteWanted(Flags) ? Palette : nullptr);
  std::optional<TVisClipScope> clip;
  if (Flags & kBitmapClip) clip.emplace(dc, Rect, ClipOffset);
  TPicture picture(Canvas, Bitmap, Color, Flags, Mask);

  if (Flags & kBitmapTile) {
    for (int row = 0; row <= H / bh; ++row) {
      for (int column = 0; column <= W / bw; ++column) {
        const RECT tile = {L + column * bw, T + row * bh, std::min<LONG>(L + (column + 1) * bw, Rect.right),
                           std::min<LONG>(T + (row + 1) * bh, Rect.bottom)};
        if (IsRectEmpty(&tile)) continue;
        picture.Copy(tile, {0, 0, tile.right - tile.left, tile.bottom - tile.top});
      }
    }
    return true;
  }
  RECT placed = {L, T, L + bw, T + bh};
  std::optional<TStretchModeScope> stretchMode;
  if (Flags & kBitmapStretch) {
    stretchMode.emplace(dc, COLORONCOLOR);
    placed = Rect;
    if ((Flags & kBitmapProportional) == kBitmapProportional)
      FitRect(whole, Rect, placed);
    else if (Flags & kBitmapHeightFollows)
      placed.bottom = T + RoundHalfEven(static_cast<double>(W) / bw * bh);
    else if (Flags & kBitmapWidthFollows)
      placed.right = L + RoundHalfEven(static_cast<double>(H) / bh * bw);
  } else if (Flags & kBitmapCenter) {
    OffsetRect(&placed, (W - bw) / 2, (H - bh) / 2);
  }
  if (IsRectEmpty(&placed)) return true;
  picture.Copy(placed, whole);
  DrawnRect = placed;
  return true;
}

}  // namespace controls
