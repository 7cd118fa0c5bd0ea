// What every flat control shares: its small types, the rule that derives hover, pressed and border
// colours from a base colour, and drawing helpers (a bevelled frame, the parent's background
// behind a control, a disabled-looking glyph, the glyph-and-caption layout of a button).
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "classlib/controls.h"
#include "classlib/graphics.h"

namespace controls {

enum class TFlatTabPosition { tpTop, tpBottom };
enum class TTransparentMode { tmAlways, tmNotFocused, tmNone };
enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
// Amounts of the advanced-colour rule, 0..100.
using TAdvColors = int;
// Glyph images side by side in a button's bitmap, 1..4.
using TNumGlyphs = int;

// The advanced-colour rule: base lightened or darkened by amount on the HSL range, starting 10
// above its own lightness; amount 0 keeps stored. The lightness stays within 0..range.
classlib::TColor DeriveAdvColor(classlib::TColor Base, classlib::TColor Stored, int Amount, bool Darken);

// width rings inside rect: top and left in TopColor, bottom and right in BottomColor.
void DrawBevelFrame(classlib::TCanvas& Canvas, RECT Rect, classlib::TColor TopColor, classlib::TColor BottomColor,
                    int Width);

// Paints what the control's parent shows behind the control into Canvas (whose origin is the
// control's top left); nothing without a parent.
void PaintParentBackground(classlib::TControl& Control, classlib::TCanvas& Canvas);

// A greyed copy of Source: its Outline-coloured pixels embossed in Highlight (one pixel down and
// right, when DrawHighlight) and Shadow on Back.
std::unique_ptr<classlib::TBitmap> MakeDisabledGlyph(const classlib::TBitmap& Source, classlib::TColor Outline,
                                                     classlib::TColor Back, classlib::TColor Highlight,
                                                     classlib::TColor Shadow, bool DrawHighlight);

struct TGlyphLayout {
  POINT GlyphPos;
  RECT TextBounds;
};

// Where a button draws its glyph (one image of NumGlyphs side by side, or none) and its caption in
// Client. Margin -1 centres, Spacing -1 spreads; Offset moves both (a pressed button's (1, 1)).
TGlyphLayout LayoutGlyphAndCaption(classlib::TCanvas& Canvas, const RECT& Client, POINT Offset,
                                   const std::string& Caption, TButtonLayout Layout, int Margin, int Spacing,
                                   const classlib::TBitmap* Glyph, int NumGlyphs);

// The screen's text metrics of the font.
TEXTMETRICW ReadFontMetrics(const classlib::TFont& Font);

bool RectsOverlap(const RECT& A, const RECT& B);

}  // namespace controls
