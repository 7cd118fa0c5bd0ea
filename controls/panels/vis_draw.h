// The pack's drawing routines: bevel bands, drop-shadow frames, the fifteen standard borders, a
// small arrow glyph, placing a rectangle by alignment, and drawing a bitmap placed, centred,
// stretched or tiled, opaque or transparent. Rectangles exclude their right and bottom edge.
#pragma once

#include <windows.h>

#include <cstdint>

#include "classlib/graphics.h"
#include "controls/panels/vis_types.h"

namespace controls {

// A band of Width pixels along the edges of Rect, light and shadow sides by Style (bvNormal is
// black); Rect shrinks to the inside. False, and nothing drawn, for Width 0, bvNone and bvShadow.
bool DrawBevelBand(classlib::TCanvas& Canvas, RECT& Rect, TVisBevelStyle Style, classlib::TColor LightColor,
                   classlib::TColor ShadowColor, int Width);

// A drop shadow ShadowWidth pixels wide on the right and bottom (its two outer corners in
// CornerColor unless NoCorners), then FrameCount rings in FrameColor; Rect shrinks to the inside.
bool DrawShadowFrame(classlib::TCanvas& Canvas, RECT& Rect, classlib::TColor FrameColor, classlib::TColor CornerColor,
                     classlib::TColor ShadowColor, int ShadowWidth, int FrameCount, bool NoCorners);

// The frame width of a standard border: 0, 1 or 2 pixels.
int BorderStyleWidth(TVisBorderStyle Style);
// Draws the border with the system's edges; ExtraFlags (low 16 bits) are added to the BF_ flags.
// Rect shrinks as the edges are drawn.
bool DrawBorderStyle(classlib::TCanvas& Canvas, RECT& Rect, TVisBorderStyle Style, unsigned ExtraFlags);

// A filled triangle pointing down (Down) or up, Size rows high, its top left at (X, Y); greyed
// with a highlight when not Enabled. Nothing for Size outside 2..15.
void DrawArrowGlyph(classlib::TCanvas& Canvas, int X, int Y, bool Enabled, bool Down, classlib::TColor Color, int Size);

// Bitmap becomes Rect's size, all in Color.
void FillBitmapRect(classlib::TBitmap& Bitmap, const RECT& Rect, classlib::TColor Color);

// Source's size placed inside Target by Alignment (offsets are negative where Source is larger).
void AlignRect(TVisAlignment Alignment, const RECT& Source, const RECT& Target, RECT& Result);

// DrawBitmapEx's flags: placement (tile before stretch before centre, else at the top left),
// transparency, clipping and palette.
constexpr unsigned kBitmapClip = 0x0001;
constexpr unsigned kBitmapCenter = 0x0008;
constexpr unsigned kBitmapStretch = 0x0010;
constexpr unsigned kBitmapTile = 0x0020;
// Pixels of the colour Color are transparent.
constexpr unsigned kBitmapTransparent = 0x0040;
// Pixels of the bitmap's own transparent colour (its bottom-left pixel) show Color.
constexpr unsigned kBitmapBrushCopy = 0x0080;
// Through the given mask: white where transparent; the image is black there.
constexpr unsigned kBitmapMasked = 0x0100;
// With kBitmapStretch: the width follows the height, the height the width, or both (fitted).
constexpr unsigned kBitmapWidthFollows = 0x0200;
constexpr unsigned kBitmapHeightFollows = 0x0400;
constexpr unsigned kBitmapProportional = 0x0600;
constexpr unsigned kBitmapPalette = 0x1000;

// Draws Bitmap into Rect of Canvas as Flags say; DrawnRect receives the rectangle it covers (all
// of Rect for tiles and for an empty placement). Tiles end at Rect's edges. An empty bitmap draws
// nothing and gives false. Clipping shifts Rect by ClipOffset (as PaintGradient does); the palette
// step selects Palette. The context keeps its clip region, palette and colours.
bool DrawBitmapEx(classlib::TCanvas& Canvas, const RECT& Rect, classlib::TBitmap& Bitmap, classlib::TColor Color,
                  unsigned Flags, RECT& DrawnRect, const classlib::TBitmap* Mask = nullptr, HPALETTE Palette = nullptr,
                  std::uint32_t ClipOffset = 0);

// From the area Rect of Canvas: Mask becomes white where the area has TransparentColor and black
// elsewhere, Work the area with those pixels black (ready for a copy with SRCPAINT over a target
// masked with SRCAND). Both take Rect's size; Canvas is only read.
void MakeTransparentMask(classlib::TCanvas& Canvas, const RECT& Rect, classlib::TBitmap& Mask,
                         classlib::TColor TransparentColor, classlib::TBitmap& Work);

}  // namespace controls
