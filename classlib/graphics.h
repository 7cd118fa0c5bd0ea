// Colours, fonts, pens, brushes, the canvas over a device context, and 32-bit bitmaps.
// Colours are 0x00BBGGRR, or a system colour index with the high byte set (clBtnFace, ...).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace classlib {

using TColor = std::uint32_t;

constexpr TColor kSystemColor = 0xFF000000;
constexpr TColor clScrollBar = kSystemColor | COLOR_SCROLLBAR;
constexpr TColor clBackground = kSystemColor | COLOR_BACKGROUND;
constexpr TColor clActiveCaption = kSystemColor | COLOR_ACTIVECAPTION;
constexpr TColor clWindow = kSystemColor | COLOR_WINDOW;
constexpr TColor clWindowText = kSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clWindowFrame = kSystemColor | COLOR_WINDOWFRAME;
constexpr TColor clHighlight = kSystemColor | COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = kSystemColor | COLOR_HIGHLIGHTTEXT;
constexpr TColor clBtnFace = kSystemColor | COLOR_BTNFACE;
constexpr TColor clBtnShadow = kSystemColor | COLOR_BTNSHADOW;
constexpr TColor clGrayText = kSystemColor | COLOR_GRAYTEXT;
constexpr TColor clBtnText = kSystemColor | COLOR_BTNTEXT;
constexpr TColor clBtnHighlight = kSystemColor | COLOR_BTNHIGHLIGHT;
constexpr TColor cl3DDkShadow = kSystemColor | COLOR_3DDKSHADOW;
constexpr TColor cl3DLight = kSystemColor | COLOR_3DLIGHT;
constexpr TColor clInfoText = kSystemColor | COLOR_INFOTEXT;
constexpr TColor clInfoBk = kSystemColor | COLOR_INFOBK;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clNavy = 0x800000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;

// System colours become their present RGB value; others pass unchanged.
TColor ColorToRGB(TColor color);

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// A font description; Handle() makes the GDI font on demand and keeps it until a change.
class TFont {
 public:
  TFont();
  ~TFont();
  TFont(const TFont&) = delete;
  TFont& operator=(const TFont&) = delete;

  void Assign(const TFont& source);
  bool SameAs(const TFont& other) const;

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name);
  // Points; negative values are pixel heights, as the system takes them.
  int Size() const { return size_; }
  void SetSize(int points);
  int Height() const;  // pixels, negative for the character height
  unsigned Style() const { return style_; }
  void SetStyle(unsigned style);
  TColor Color() const { return color_; }
  void SetColor(TColor color);

  HFONT Handle() const;

  // Fired before the GDI font is dropped (a canvas deselects it) and after every change.
  std::function<void()> OnChanging;
  std::function<void()> OnChange;

 private:
  void Changed();
  void DropHandle() const;

  std::string name_ = "Tahoma";
  int size_ = 8;
  unsigned style_ = 0;
  TColor color_ = clWindowText;
  mutable HFONT handle_ = nullptr;
};

// Whether a font family of the name is installed.
bool FontFamilyInstalled(const std::string& name);

enum class TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBitmap;
class TStream;

class TBrush {
 public:
  TBrush() = default;
  ~TBrush();
  TBrush(const TBrush&) = delete;
  TBrush& operator=(const TBrush&) = delete;

  // Colour, style and pattern of source; one change.
  void Assign(const TBrush& source);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle style);
  // A pattern that replaces colour and style while set; the bitmap stays the caller's and must
  // outlive its use here.
  const TBitmap* Bitmap() const { return bitmap_; }
  void SetBitmap(const TBitmap* bitmap);
  HBRUSH Handle() const;

  // Fired before the GDI brush may be dropped, so a canvas can deselect it.
  std::function<void()> OnChanging;
  // Fired after every change, for an owner that repaints.
  std::function<void()> OnChange;

 private:
  TColor color_ = clWhite;
  TBrushStyle style_ = TBrushStyle::bsSolid;
  const TBitmap* bitmap_ = nullptr;
  mutable HBRUSH handle_ = nullptr;
  // What the cached handle was made from.
  mutable TColor handleRgb_ = 0;
  mutable TBrushStyle handleStyle_ = TBrushStyle::bsSolid;
  mutable HBITMAP handleBitmap_ = nullptr;
};

enum class TPenStyle { psSolid, psDash, psDot, psClear };
// How the pen's colour combines with the pixels it covers (the system's binary raster operations).
enum class TPenMode { pmCopy, pmNot, pmMask, pmMerge, pmXor, pmNotXor };

class TPen {
 public:
  TPen() = default;
  ~TPen();
  TPen(const TPen&) = delete;
  TPen& operator=(const TPen&) = delete;

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  int Width() const { return width_; }
  void SetWidth(int width);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle style);
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode mode) { mode_ = mode; }
  HPEN Handle() const;

  // Fired before the GDI pen is dropped, so a canvas can deselect it.
  std::function<void()> OnChanging;

 private:
  void DropHandle() const;
  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = TPenStyle::psSolid;
  TPenMode mode_ = TPenMode::pmCopy;
  mutable HPEN handle_ = nullptr;
};

// Raster operations of the canvas's bitmap copies.
using TCopyMode = DWORD;
constexpr TCopyMode cmSrcCopy = SRCCOPY;
constexpr TCopyMode cmSrcAnd = SRCAND;
constexpr TCopyMode cmSrcPaint = SRCPAINT;
constexpr TCopyMode cmSrcInvert = SRCINVERT;
constexpr TCopyMode cmMergeCopy = MERGECOPY;
constexpr TCopyMode cmPatCopy = PATCOPY;

// Drawing on a device context with the canvas's font, pen and brush. The canvas selects its
// objects into the context as it draws and puts the context's own objects back when released.
class TCanvas {
 public:
  TCanvas();
  explicit TCanvas(HDC dc) : TCanvas() { SetHandle(dc); }
  ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  HDC Handle() const { return dc_; }
  // Releases the present context (restoring its objects) and takes dc; null only releases.
  void SetHandle(HDC dc);

  TFont& Font() { return font_; }
  TBrush& Brush() { return brush_; }
  TPen& Pen() { return pen_; }
  // The raster operation of Draw, StretchDraw and CopyRect.
  TCopyMode CopyMode() const { return copyMode_; }
  void SetCopyMode(TCopyMode mode) { copyMode_ = mode; }

  void FillRect(const RECT& rect);
  void FrameRect(const RECT& rect);
  void Rectangle(int left, int top, int right, int bottom);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Polyline(const std::vector<POINT>& points);
  // Filled with the brush, outlined with the pen.
  void Polygon(const std::vector<POINT>& points);
  void Ellipse(int left, int top, int right, int bottom);
  void RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
  // The part of the ellipse in the box from the ray towards (x1, y1) counter-clockwise to the ray
  // towards (x2, y2), with the pen.
  void Arc(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2);
  // The region filled with the brush, mixed by the pen's mode.
  void PaintRgn(HRGN region);
  // A frame of width x height pixels inside the region's edge, in the brush.
  void FrameRgn(HRGN region, int width, int height);
  void TextOut(int x, int y, const std::string& text);
  // DrawText with the given DT_ flags; with DT_CALCRECT the rectangle is measured.
  int DrawText(const std::string& text, RECT& rect, UINT flags);
  SIZE TextExtent(const std::string& text);
  int TextWidth(const std::string& text) { return TextExtent(text).cx; }
  int TextHeight(const std::string& text) { return TextExtent(text).cy; }
  void Draw(int x, int y, const TBitmap& bitmap);
  void StretchDraw(const RECT& rect, const TBitmap& bitmap);
  void CopyRect(const RECT& dest, const TCanvas& source, const RECT& sourceRect);
  TColor Pixel(int x, int y);
  void SetPixel(int x, int y, TColor color);

 private:
  void Select();
  void Deselect();

  HDC dc_ = nullptr;
  int savedState_ = 0;
  TCopyMode copyMode_ = cmSrcCopy;
  TFont font_;
  TBrush brush_;
  TPen pen_;
};

enum class TPixelFormat { pf24bit, pf32bit };

// A top-down DIB section with a memory canvas, 32 bits a pixel unless set to 24. ScanLine gives a
// row: 4 bytes a pixel in the order B, G, R, A, or 3 bytes B, G, R; 24-bit rows are padded to
// whole 4-byte words.
class TBitmap {
 public:
  TBitmap() = default;
  TBitmap(int width, int height) { SetSize(width, height); }
  ~TBitmap();
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  // Keeps nothing of the old picture.
  void SetSize(int width, int height);
  void Assign(const TBitmap& source);
  TPixelFormat PixelFormat() const { return format_; }
  // Converts the picture to the new format.
  void SetPixelFormat(TPixelFormat format);

  // The bitmap file form, bottom-up in the bitmap's own format; an empty bitmap writes nothing.
  void SaveToStream(TStream& stream) const;
  void SaveToFile(const std::string& fileName) const;
  // A bitmap file from the rest of the stream (nothing left: an empty bitmap) becomes the
  // picture, 32 bits a pixel; a damaged one raises EInvalidGraphic and the picture stays.
  void LoadFromStream(TStream& stream);
  void LoadFromFile(const std::string& fileName);

  HBITMAP Handle() const { return bitmap_; }
  std::uint8_t* ScanLine(int row) const;
  // Bytes from one row to the next.
  int RowBytes() const;
  TColor Pixel(int x, int y) const;
  TCanvas& Canvas();
  // The memory context the bitmap is selected into, for copying from it.
  HDC SourceDC() const;

 private:
  void Release();

  int width_ = 0;
  int height_ = 0;
  TPixelFormat format_ = TPixelFormat::pf32bit;
  HBITMAP bitmap_ = nullptr;
  std::uint8_t* bits_ = nullptr;
  // A bitmap can be selected into one context only: the canvas's, made on first use.
  mutable HDC dc_ = nullptr;
  mutable HGDIOBJ oldBitmap_ = nullptr;
  std::unique_ptr<TCanvas> canvas_;
};

}  // namespace classlib
