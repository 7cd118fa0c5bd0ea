#include "controls/flat/flat_utils.h"

#include <algorithm>

#include "controls/flat/hsl_utils.h"

namespace controls {

using classlib::TColor;

TColor DeriveAdvColor(TColor Base, TColor Stored, int Amount, bool Darken) {
  if (Amount == 0) return Stored;
  THslRange hsl = ColorToHslRange(classlib::ColorToRGB(Base));
  // Clamped at every step: white lightened stays white, and darkening white still darkens.
  hsl.L = std::min(hsl.L + 10, HSLRange);
  hsl.L = std::clamp(Darken ? hsl.L - Amount : hsl.L + Amount, 0, HSLRange);
  return HslRangeToColor(hsl.H, hsl.S, hsl.L);
}

void DrawBevelFrame(classlib::TCanvas& Canvas, RECT Rect, TColor TopColor, TColor BottomColor, int Width) {
  Canvas.Pen().SetWidth(1);
  --Rect.right;
  --Rect.bottom;
  for (int i = 0; i < Width; ++i) {
    Canvas.Pen().SetColor(TopColor);
    Canvas.Polyline({{Rect.left, Rect.bottom}, {Rect.left, Rect.top}, {Rect.right, Rect.top}});
    Canvas.Pen().SetColor(BottomColor);
    Canvas.Polyline({{Rect.right, Rect.top}, {Rect.right, Rect.bottom}, {Rect.left - 1, Rect.bottom}});
    InflateRect(&Rect, -1, -1);
  }
}

void PaintParentBackground(classlib::TControl& Control, classlib::TCanvas& Canvas) {
  classlib::TWinControl* parent = Control.Parent();
  if (!parent) return;
  HDC dc = Canvas.Handle();
  const int saved = SaveDC(dc);
  OffsetViewportOrgEx(dc, -Control.Left(), -Control.Top(), nullptr);
  const RECT client = parent->ClientRect();
  IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
  parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc));
  parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc));
  RestoreDC(dc, saved);
}

std::unique_ptr<classlib::TBitmap> MakeDisabledGlyph(const classlib::TBitmap& Source, TColor Outline, TColor Back,
                                                     TColor Highlight, TColor Shadow, bool DrawHighlight) {
  const int w = Source.Width(), h = Source.Height();
  auto result = std::make_unique<classlib::TBitmap>(w, h);
  if (result->Empty()) return result;
  // The mask: white where the source has the outline colour, black elsewhere.
  HDC maskDC = CreateCompatibleDC(nullptr);
  HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
  HGDIOBJ oldMask = SelectObject(maskDC, mask);
  HDC source = Source.SourceDC();
  const COLORREF oldBack = SetBkColor(source, classlib::ColorToRGB(Outline));
  BitBlt(maskDC, 0, 0, w, h, source, 0, 0, SRCCOPY);
  SetBkColor(source, oldBack);

  classlib::TCanvas& canvas = result->Canvas();
  canvas.Brush().SetStyle(classlib::TBrushStyle::bsSolid);
  canvas.Brush().SetColor(Back);
  canvas.FillRect({0, 0, w, h});
  const auto emboss = [&](TColor color, int offset) {
    HDC dc = canvas.Handle();
    HBRUSH brush = CreateSolidBrush(classlib::ColorToRGB(color));
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    // The brush where the mask is white; the destination stays elsewhere.
    BitBlt(dc, offset, offset, w, h, maskDC, 0, 0, 0x00E20746);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
  };
  if (DrawHighlight) emboss(Highlight, 1);
  emboss(Shadow, 0);

  SelectObject(maskDC, oldMask);
  DeleteObject(mask);
  DeleteDC(maskDC);
  return result;
}

TGlyphLayout LayoutGlyphAndCaption(classlib::TCanvas& Canvas, const RECT& Client, POINT Offset,
                                   const std::string& Caption, TButtonLayout Layout, int Margin, int Spacing,
                                   const classlib::TBitmap* Glyph, int NumGlyphs) {
  const POINT client = {Client.right - Client.left, Client.bottom - Client.top};
  POINT glyph = {0, 0};
  if (Glyph && !Glyph->Empty()) glyph = {Glyph->Width() / std::max(1, NumGlyphs), Glyph->Height()};
  RECT text = {0, 0, 0, 0};
  if (!Caption.empty()) {
    text = {0, 0, client.x, 0};
    Canvas.DrawText(Caption, text, DT_CALCRECT | DT_SINGLELINE);
  }
  const POINT textSize = {text.right - text.left, text.bottom - text.top};
  const bool horizontal = Layout == TButtonLayout::blGlyphLeft || Layout == TButtonLayout::blGlyphRight;
  POINT glyphPos = {0, 0}, textPos = {0, 0};
  if (horizontal) {
    glyphPos.y = (client.y - glyph.y + 1) / 2;
    textPos.y = (client.y - textSize.y + 1) / 2;
  } else {
    glyphPos.x = (client.x - glyph.x + 1) / 2;
    textPos.x = (client.x - textSize.x + 1) / 2;
  }
  if (textSize.x == 0 || glyph.x == 0) Spacing = 0;
  const int extent = horizontal ? client.x : client.y;
  const int glyphExtent = horizontal ? glyph.x : glyph.y;
  const int textExtent = horizontal ? textSize.x : textSize.y;
  if (Margin == -1 && Spacing == -1) {
    Margin = (extent - (glyphExtent + textExtent)) / 3;
    Spacing = Margin;
  } else if (Margin == -1) {
    Margin = (extent - (glyphExtent + Spacing + textExtent) + 1) / 2;
  } else if (Spacing == -1) {
    Spacing = (extent - Margin - glyphExtent - textExtent) / 2;
  }
  switch (Layout) {
    case TButtonLayout::blGlyphLeft:
      glyphPos.x = Margin;
      textPos.x = glyphPos.x + glyph.x + Spacing;
      break;
    case TButtonLayout::blGlyphRight:
      glyphPos.x = client.x - Margin - glyph.x;
      textPos.x = glyphPos.x - Spacing - textSize.x;
      break;
    case TButtonLayout::blGlyphTop:
      glyphPos.y = Margin;
      textPos.y = glyphPos.y + glyph.y + Spacing;
      break;
    case TButtonLayout::blGlyphBottom:
      glyphPos.y = client.y - Margin - glyph.y;
      textPos.y = glyphPos.y - Spacing - textSize.y;
      break;
  }
  const int dx = Client.left + Offset.x, dy = Client.top + Offset.y;
  TGlyphLayout result;
  result.GlyphPos = {glyphPos.x + dx, glyphPos.y + dy};
  result.TextBounds = {textPos.x + dx, textPos.y + dy, textPos.x + dx + textSize.x, textPos.y + dy + textSize.y};
  return result;
}

TEXTMETRICW ReadFontMetrics(const classlib::TFont& Font) {
  TEXTMETRICW metrics = {};
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, Font.Handle());
  GetTextMetricsW(screen, &metrics);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  return metrics;
}

bool RectsOverlap(const RECT& A, const RECT& B) {
  RECT common;
  return IntersectRect(&common, &A, &B) != FALSE;
}

}  // namespace controls
