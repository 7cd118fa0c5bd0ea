#include "classlib/graphics.h"

#include <cstring>
#include <utility>

#include "classlib/bitmap_file.h"
#include "classlib/exceptions.h"
#include "classlib/streams.h"
#include "classlib/wide.h"

namespace classlib {

TColor ColorToRGB(TColor color) {
  if ((color & 0xFF000000) == kSystemColor) return GetSysColor(static_cast<int>(color & 0xFF));
  return color & 0x00FFFFFF;
}

// ---- TFont

TFont::TFont() = default;

TFont::~TFont() { DropHandle(); }

void TFont::DropHandle() const {
  if (handle_) DeleteObject(handle_);
  handle_ = nullptr;
}

void TFont::Changed() {
  if (OnChanging) OnChanging();
  DropHandle();
  if (OnChange) OnChange();
}

void TFont::Assign(const TFont& source) {
  if (SameAs(source)) return;
  // The colour is no part of the GDI font: a font that differs only there keeps its handle.
  if (name_ == source.name_ && size_ == source.size_ && style_ == source.style_) {
    SetColor(source.color_);
    return;
  }
  name_ = source.name_;
  size_ = source.size_;
  style_ = source.style_;
  color_ = source.color_;
  Changed();
}

bool TFont::SameAs(const TFont& o) const {
  return name_ == o.name_ && size_ == o.size_ && style_ == o.style_ && color_ == o.color_;
}

void TFont::SetName(const std::string& name) {
  if (name == name_) return;
  name_ = name;
  Changed();
}

void TFont::SetSize(int points) {
  if (points == size_) return;
  size_ = points;
  Changed();
}

void TFont::SetStyle(unsigned style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TFont::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  if (OnChange) OnChange();
}

int TFont::Height() const {
  // Sizes are 96-DPI points.
  return size_ < 0 ? size_ : -MulDiv(size_, 96, 72);
}

namespace {

int CALLBACK NoteFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

}  // namespace

bool FontFamilyInstalled(const std::string& name) {
  const std::wstring face = Widen(name);
  // A longer name would be cut to another family's.
  if (face.size() >= LF_FACESIZE) return false;
  LOGFONTW wanted = {};
  wanted.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(wanted.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &wanted, NoteFamily, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

HFONT TFont::Handle() const {
  if (!handle_) {
    LOGFONTW lf = {};
    lf.lfHeight = Height();
    lf.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (style_ & fsItalic) ? TRUE : FALSE;
    lf.lfUnderline = (style_ & fsUnderline) ? TRUE : FALSE;
    lf.lfStrikeOut = (style_ & fsStrikeOut) ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    const std::wstring face = Widen(name_);
    wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    handle_ = CreateFontIndirectW(&lf);
  }
  return handle_;
}

// ---- TBrush

TBrush::~TBrush() {
  if (handle_) DeleteObject(handle_);
}

void TBrush::Assign(const TBrush& source) {
  if (OnChanging) OnChanging();
  color_ = source.color_;
  style_ = source.style_;
  bitmap_ = source.bitmap_;
  if (OnChange) OnChange();
}

void TBrush::SetColor(TColor color) {
  if (OnChanging) OnChanging();
  color_ = color;
  if (OnChange) OnChange();
}

void TBrush::SetStyle(TBrushStyle style) {
  if (OnChanging) OnChanging();
  style_ = style;
  if (OnChange) OnChange();
}

void TBrush::SetBitmap(const TBitmap* bitmap) {
  if (OnChanging) OnChanging();
  bitmap_ = bitmap;
  if (OnChange) OnChange();
}

namespace {

int HatchOf(TBrushStyle style) {
  switch (style) {
    case TBrushStyle::bsHorizontal: return HS_HORIZONTAL;
    case TBrushStyle::bsVertical: return HS_VERTICAL;
    case TBrushStyle::bsFDiagonal: return HS_FDIAGONAL;
    case TBrushStyle::bsBDiagonal: return HS_BDIAGONAL;
    case TBrushStyle::bsCross: return HS_CROSS;
    default: return HS_DIAGCROSS;
  }
}

}  // namespace

HBRUSH TBrush::Handle() const {
  const HBITMAP pattern = bitmap_ ? bitmap_->Handle() : nullptr;
  if (!pattern && style_ == TBrushStyle::bsClear) return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  const TColor rgb = ColorToRGB(color_);
  if (handle_ && (handleRgb_ != rgb || handleStyle_ != style_ || handleBitmap_ != pattern)) {
    DeleteObject(handle_);
    handle_ = nullptr;
  }
  if (!handle_) {
    if (pattern)
      handle_ = CreatePatternBrush(pattern);
    else if (style_ == TBrushStyle::bsSolid)
      handle_ = CreateSolidBrush(rgb);
    else
      handle_ = CreateHatchBrush(HatchOf(style_), rgb);
    handleRgb_ = rgb;
    handleStyle_ = style_;
    handleBitmap_ = pattern;
  }
  return handle_;
}

// ---- TPen

TPen::~TPen() { DropHandle(); }

void TPen::DropHandle() const {
  if (handle_) DeleteObject(handle_);
  handle_ = nullptr;
}

void TPen::SetColor(TColor color) {
  if (OnChanging) OnChanging();
  color_ = color;
  DropHandle();
}

void TPen::SetWidth(int width) {
  if (OnChanging) OnChanging();
  width_ = width;
  DropHandle();
}

void TPen::SetStyle(TPenStyle style) {
  if (OnChanging) OnChanging();
  style_ = style;
  DropHandle();
}

HPEN TPen::Handle() const {
  if (!handle_) {
    int style = PS_SOLID;
    if (style_ == TPenStyle::psDash) style = PS_DASH;
    if (style_ == TPenStyle::psDot) style = PS_DOT;
    if (style_ == TPenStyle::psClear) style = PS_NULL;
    handle_ = CreatePen(style, width_, ColorToRGB(color_));
  }
  return handle_;
}

// ---- TCanvas

TCanvas::TCanvas() {
  font_.OnChanging = [this] { Deselect(); };
  brush_.OnChanging = [this] { Deselect(); };
  pen_.OnChanging = [this] { Deselect(); };
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

// Our objects leave the context before they may be deleted.
void TCanvas::Deselect() {
  if (!dc_) return;
  SelectObject(dc_, GetStockObject(SYSTEM_FONT));
  SelectObject(dc_, GetStockObject(NULL_BRUSH));
  SelectObject(dc_, GetStockObject(BLACK_PEN));
}

void TCanvas::SetHandle(HDC dc) {
  if (dc_) Deselect();
  if (dc_ && savedState_) RestoreDC(dc_, savedState_);
  dc_ = dc;
  savedState_ = dc ? SaveDC(dc) : 0;
}

namespace {

int Rop2Of(TPenMode mode) {
  switch (mode) {
    case TPenMode::pmNot: return R2_NOT;
    case TPenMode::pmMask: return R2_MASKPEN;
    case TPenMode::pmMerge: return R2_MERGEPEN;
    case TPenMode::pmXor: return R2_XORPEN;
    case TPenMode::pmNotXor: return R2_NOTXORPEN;
    default: return R2_COPYPEN;
  }
}

}  // namespace

void TCanvas::Select() {
  SelectObject(dc_, font_.Handle());
  SelectObject(dc_, brush_.Handle());
  SelectObject(dc_, pen_.Handle());
  SetROP2(dc_, Rop2Of(pen_.Mode()));
  SetTextColor(dc_, ColorToRGB(font_.Color()));
  if (brush_.Style() == TBrushStyle::bsClear) {
    SetBkMode(dc_, TRANSPARENT);
  } else {
    SetBkMode(dc_, OPAQUE);
    SetBkColor(dc_, ColorToRGB(brush_.Color()));
  }
}

void TCanvas::FillRect(const RECT& rect) {
  if (brush_.Style() == TBrushStyle::bsClear && !brush_.Bitmap()) return;
  ::FillRect(dc_, &rect, brush_.Handle());
}

void TCanvas::FrameRect(const RECT& rect) { ::FrameRect(dc_, &rect, brush_.Handle()); }

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  Select();
  ::Rectangle(dc_, left, top, right, bottom);
}

void TCanvas::MoveTo(int x, int y) { MoveToEx(dc_, x, y, nullptr); }

void TCanvas::LineTo(int x, int y) {
  Select();
  ::LineTo(dc_, x, y);
}

void TCanvas::Polyline(const std::vector<POINT>& points) {
  Select();
  ::Polyline(dc_, points.data(), static_cast<int>(points.size()));
}

void TCanvas::Polygon(const std::vector<POINT>& points) {
  Select();
  ::Polygon(dc_, points.data(), static_cast<int>(points.size()));
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
  Select();
  ::Ellipse(dc_, left, top, right, bottom);
}

void TCanvas::RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight) {
  Select();
  ::RoundRect(dc_, left, top, right, bottom, cornerWidth, cornerHeight);
}

void TCanvas::Arc(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) {
  Select();
  ::Arc(dc_, left, top, right, bottom, x1, y1, x2, y2);
}

void TCanvas::PaintRgn(HRGN region) {
  Select();
  ::PaintRgn(dc_, region);
}

void TCanvas::FrameRgn(HRGN region, int width, int height) { ::FrameRgn(dc_, region, brush_.Handle(), width, height); }

void TCanvas::TextOut(int x, int y, const std::string& text) {
  Select();
  const std::wstring w = Widen(text);
  ::TextOutW(dc_, x, y, w.c_str(), static_cast<int>(w.size()));
}

int TCanvas::DrawText(const std::string& text, RECT& rect, UINT flags) {
  Select();
  std::wstring w = Widen(text);
  return ::DrawTextW(dc_, w.c_str(), static_cast<int>(w.size()), &rect, flags);
}

SIZE TCanvas::TextExtent(const std::string& text) {
  Select();
  const std::wstring w = Widen(text);
  SIZE size = {0, 0};
  GetTextExtentPoint32W(dc_, w.c_str(), static_cast<int>(w.size()), &size);
  return size;
}

// Copies go through the bitmap's own context: a bitmap whose canvas was used cannot be selected
// into a second one.
void TCanvas::Draw(int x, int y, const TBitmap& bitmap) {
  if (bitmap.Empty()) return;
  Select();
  BitBlt(dc_, x, y, bitmap.Width(), bitmap.Height(), bitmap.SourceDC(), 0, 0, copyMode_);
}

void TCanvas::StretchDraw(const RECT& rect, const TBitmap& bitmap) {
  if (bitmap.Empty()) return;
  Select();
  SetStretchBltMode(dc_, HALFTONE);
  StretchBlt(dc_, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, bitmap.SourceDC(), 0, 0,
             bitmap.Width(), bitmap.Height(), copyMode_);
}

void TCanvas::CopyRect(const RECT& dest, const TCanvas& source, const RECT& s) {
  Select();
  StretchBlt(dc_, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, source.Handle(), s.left, s.top,
             s.right - s.left, s.bottom - s.top, copyMode_);
}

TColor TCanvas::Pixel(int x, int y) { return GetPixel(dc_, x, y); }

void TCanvas::SetPixel(int x, int y, TColor color) { ::SetPixel(dc_, x, y, ColorToRGB(color)); }

// ---- TBitmap

TBitmap::~TBitmap() { Release(); }

void TBitmap::Release() {
  canvas_.reset();
  if (dc_) {
    if (oldBitmap_) SelectObject(dc_, oldBitmap_);
    DeleteDC(dc_);
    dc_ = nullptr;
  }
  if (bitmap_) DeleteObject(bitmap_);
  bitmap_ = nullptr;
  bits_ = nullptr;
  width_ = height_ = 0;
}

namespace {

int BitsPerPixel(TPixelFormat format) { return format == TPixelFormat::pf24bit ? 24 : 32; }

}  // namespace

void TBitmap::SetSize(int width, int height) {
  Release();
  if (width <= 0 || height <= 0) return;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(BitsPerPixel(format_));
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap_) return;
  bits_ = static_cast<std::uint8_t*>(bits);
  width_ = width;
  height_ = height;
}

void TBitmap::Assign(const TBitmap& source) {
  if (&source == this) return;
  format_ = source.format_;
  SetSize(source.Width(), source.Height());
  if (bits_ && source.bits_) {
    GdiFlush();
    std::memcpy(bits_, source.bits_, static_cast<size_t>(RowBytes()) * height_);
  }
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == format_) return;
  if (!bits_) {
    format_ = format;
    return;
  }
  TBitmap converted;
  converted.format_ = format;
  converted.SetSize(width_, height_);
  if (!converted.bits_) return;
  const int from = BitsPerPixel(format_) / 8, to = BitsPerPixel(format) / 8;
  for (int y = 0; y < height_; ++y) {
    const std::uint8_t* source = ScanLine(y);
    std::uint8_t* target = converted.ScanLine(y);
    for (int x = 0; x < width_; ++x) std::memcpy(target + x * to, source + x * from, 3);
  }
  Release();
  std::swap(bitmap_, converted.bitmap_);
  std::swap(bits_, converted.bits_);
  width_ = converted.width_;
  height_ = converted.height_;
  format_ = format;
}

int TBitmap::RowBytes() const { return (width_ * BitsPerPixel(format_) + 31) / 32 * 4; }

std::uint8_t* TBitmap::ScanLine(int row) const {
  GdiFlush();
  return bits_ + static_cast<size_t>(row) * RowBytes();
}

TColor TBitmap::Pixel(int x, int y) const {
  const std::uint8_t* p = ScanLine(y) + x * (BitsPerPixel(format_) / 8);
  return p[2] | (p[1] << 8) | (p[0] << 16);
}

void TBitmap::SaveToStream(TStream& stream) const {
  if (!bits_) return;
  GdiFlush();
  const size_t rowBytes = static_cast<size_t>(RowBytes());
  std::vector<std::uint8_t> rows(rowBytes * height_);
  for (int y = 0; y < height_; ++y) std::memcpy(&rows[rowBytes * (height_ - 1 - y)], ScanLine(y), rowBytes);
  const std::vector<std::uint8_t> file = EncodeBitmapFile(width_, height_, BitsPerPixel(format_), {}, rows.data(), rows.size());
  stream.WriteBuffer(file.data(), file.size());
}

void TBitmap::SaveToFile(const std::string& fileName) const {
  TFileStream file(fileName, TFileMode::fmCreate);
  SaveToStream(file);
}

void TBitmap::LoadFromStream(TStream& stream) {
  std::vector<std::uint8_t> file(static_cast<size_t>(stream.Remaining()));
  stream.ReadBuffer(file.data(), file.size());
  if (file.empty()) {
    SetSize(0, 0);
    return;
  }
  const TBitmapFileImage image = DecodeBitmapFile(file.data(), file.size());
  format_ = TPixelFormat::pf32bit;
  SetSize(image.Width, image.Height);
  if (!bits_) throw EOutOfResources("Das Bild kann nicht angelegt werden");
  for (int y = 0; y < height_; ++y)
    std::memcpy(ScanLine(y), &image.Pixels[static_cast<size_t>(y) * width_ * 4], static_cast<size_t>(width_) * 4);
}

void TBitmap::LoadFromFile(const std::string& fileName) {
  TFileStream file(fileName, TFileMode::fmOpenRead);
  LoadFromStream(file);
}

HDC TBitmap::SourceDC() const {
  if (!dc_) {
    dc_ = CreateCompatibleDC(nullptr);
    oldBitmap_ = bitmap_ ? SelectObject(dc_, bitmap_) : nullptr;
  }
  return dc_;
}

TCanvas& TBitmap::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TCanvas>(SourceDC());
  return *canvas_;
}

}  // namespace classlib
