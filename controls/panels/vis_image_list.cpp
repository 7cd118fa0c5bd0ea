#include "controls/panels/vis_image_list.h"

#include <cstring>

#include "classlib/exceptions.h"
#include "classlib/format.h"
#include "controls/panels/vis_bitmap_stream.h"
#include "controls/panels/vis_draw.h"

namespace controls {

using classlib::TBitmap;
using classlib::TColor;
using classlib::TStream;

namespace {

TVisContainer* globalContainer = nullptr;

bool InsideList(int index, int count) { return index >= 0 && index < count; }

constexpr std::uint32_t kEntryOffset = 0xFFFF;
constexpr std::uint32_t kEntryMasked = 0x10000;

std::uint32_t Entry(int offset, bool masked) {
  return (static_cast<std::uint32_t>(offset) & kEntryOffset) | (masked ? kEntryMasked : 0);
}

// Rect of Source to (X, Y) of Target, row by row; both are 32-bit and the areas lie inside them.
void CopyPixels(const TBitmap& Source, const RECT& Rect, TBitmap& Target, int X, int Y) {
  const size_t bytes = static_cast<size_t>(Rect.right - Rect.left) * 4;
  for (int row = Rect.top; row < Rect.bottom; ++row)
    std::memcpy(Target.ScanLine(Y + row - Rect.top) + X * 4, Source.ScanLine(row) + Rect.left * 4, bytes);
}

void CopyCell(const TBitmap& Source, const RECT& Cell, TBitmap& Target) {
  Target.SetPixelFormat(classlib::TPixelFormat::pf32bit);
  Target.SetSize(Cell.right - Cell.left, Cell.bottom - Cell.top);
  if (!Target.Empty()) CopyPixels(Source, Cell, Target, 0, 0);
}

// The strip widened to Width, the new part in Fill.
void Widen(TBitmap& Strip, int Width, int Height, TColor Fill) {
  TBitmap wider(Width, Height);
  if (wider.Empty()) throw classlib::EOutOfResources("Das Bild kann nicht angelegt werden");
  FillBitmapRect(wider, {0, 0, Width, Height}, Fill);
  if (!Strip.Empty()) CopyPixels(Strip, {0, 0, Strip.Width(), Strip.Height()}, wider, 0, 0);
  Strip.Assign(wider);
}

std::string FileNamePart(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string DirectoryPart(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A bitmap resource of the program, copied into Target.
void LoadResourceBitmap(int ident, TBitmap& Target) {
  auto* handle = static_cast<HBITMAP>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ident), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!handle) throw classlib::EInvalidGraphic(classlib::Format("Die Bitmap-Ressource %d fehlt", ident));
  BITMAP info = {};
  GetObjectW(handle, sizeof info, &info);
  TBitmap loaded(info.bmWidth, info.bmHeight);
  HDC source = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(source, handle);
  BitBlt(loaded.Canvas().Handle(), 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
  DeleteObject(handle);
  Target.Assign(loaded);
}

}  // namespace

std::uint8_t PixelFormatFlags(TVisSavePixelFormat Format) {
  switch (Format) {
    case TVisSavePixelFormat::spfMono:
      return kItemMono;
    case TVisSavePixelFormat::spf4bit:
      return kItem4Bit;
    case TVisSavePixelFormat::spf8bit:
      return kItem8Bit;
    default:
      return 0;
  }
}

TVisSavePixelFormat PixelFormatOfFlags(std::uint8_t Flags) {
  if (Flags & kItemMono) return TVisSavePixelFormat::spfMono;
  if (Flags & kItem4Bit) return TVisSavePixelFormat::spf4bit;
  if (Flags & kItem8Bit) return TVisSavePixelFormat::spf8bit;
  return TVisSavePixelFormat::spfDefault;
}

// ---- TVisBitmapListItem

TBitmap& TVisBitmapListItem::Bitmap() {
  if (bitmap_.Empty() && !Loading())
    if (const auto* list = dynamic_cast<const TVisCustomImageList*>(Owner())) LoadFromSource(*list);
  return bitmap_;
}

void TVisBitmapListItem::LoadFromSource(const TVisCustomImageList& List) {
  BeginUpdate();
  try {
    switch (List.SourceKind()) {
      case TVisSourceKind::skContainerFile: {
        // Read beside this item: only the picture is taken, the item keeps its own settings.
        TVisBitmapListItem stored(nullptr);
        LoadItemFromFile(CreatePathPrefix(List.PathPrefix(), true) + List.FileName(), lkBitmapList, nullptr, stored, Ident());
        bitmap_.Assign(stored.bitmap_);
        break;
      }
      case TVisSourceKind::skResource:
        LoadResourceBitmap(Ident(), bitmap_);
        break;
      case TVisSourceKind::skBitmapFiles: {
        const std::string folder = List.PathPrefix() == TVisPathPrefix::ppFixed ? DirectoryPart(List.FileName())
                                                                                 : CreatePathPrefix(List.PathPrefix(), true);
        bitmap_.LoadFromFile(folder + FileNamePart(List.FileName()).substr(0, 3) + std::to_string(Ident()) + ".bmp");
        break;
      }
      // A resource library would have to be loaded, and its code run, for nothing: it stays empty.
      case TVisSourceKind::skResourceLibrary:
      case TVisSourceKind::skInternal:
        break;
    }
  } catch (...) {
    EndUpdate(false);
    throw;
  }
  EndUpdate(false);
}

void TVisBitmapListItem::SetBitmap(const TBitmap& Value) {
  bitmap_.Assign(Value);
  Change();
}

void TVisBitmapListItem::Clear() {
  bitmap_.SetSize(0, 0);
  Change();
}

std::uint8_t TVisBitmapListItem::GetFlags() const {
  return TVisListItem::GetFlags() | PixelFormatFlags(pixelFormat_) | (bitmap_.Empty() ? 0 : kItemHasBitmap);
}

void TVisBitmapListItem::WriteData(TStream& Stream) const {
  if (!bitmap_.Empty()) WriteBitmap(Stream, bitmap_, Compressed(), SavePixelFormatKind(pixelFormat_));
}

void TVisBitmapListItem::ReadData(TStream& Stream, std::uint8_t Flags) {
  TBitmap loaded;
  if (Flags & kItemHasBitmap) ReadBitmap(Stream, loaded, Flags & kItemCompressed);
  pixelFormat_ = PixelFormatOfFlags(Flags);
  SetBitmap(loaded);
}

void TVisBitmapListItem::AssignData(const TVisListItem& Source) {
  const auto& other = static_cast<const TVisBitmapListItem&>(Source);
  pixelFormat_ = other.pixelFormat_;
  SetBitmap(other.bitmap_);
}

// ---- TVisImageListItem

void TVisImageListItem::SetSize(int Which, int Value) {
  int& size = Which == 0 ? width_ : height_;
  if (Value <= 0 || Value == size) return;
  size = Value;
  image_.SetSize(0, 0);
  mask_.SetSize(0, 0);
  entries_.clear();
  Change();
}

void TVisImageListItem::RebuildEntries(int Count) {
  entries_.clear();
  for (int i = 0; i < Count; ++i) entries_.push_back(Entry(i * width_, masked_));
}

void TVisImageListItem::SetMasked(bool Value) {
  if (Value == masked_) return;
  masked_ = Value;
  if (!masked_)
    mask_.SetSize(0, 0);
  else if (!image_.Empty())
    FillBitmapRect(mask_, {0, 0, image_.Width(), image_.Height()}, classlib::clBlack);
  RebuildEntries(Count());
  Change();
}

void TVisImageListItem::Clear() {
  image_.SetSize(0, 0);
  mask_.SetSize(0, 0);
  entries_.clear();
  Change();
}

bool TVisImageListItem::ImageMasked(int Index) const {
  return InsideList(Index, Count()) && (entries_[static_cast<size_t>(Index)] & kEntryMasked) != 0;
}

RECT TVisImageListItem::CellRect(int Index) const {
  if (!InsideList(Index, Count())) return {0, 0, 0, 0};
  const int x = static_cast<int>(entries_[static_cast<size_t>(Index)] & kEntryOffset);
  return {x, 0, x + width_, height_};
}

void TVisImageListItem::AddImages(const TVisImageListItem& Source) {
  if (Source.width_ != width_ || Source.height_ != height_) throw classlib::EInvalidGraphic("Ungültige Grafikgröße");
  const std::int64_t used = static_cast<std::int64_t>(Count()) * width_;
  const int images = Source.Count();
  const std::int64_t added = static_cast<std::int64_t>(images) * width_;
  if (used + added > kMaxStripWidth) throw classlib::EInvalidGraphic("Zu viele Bilder");
  if (added > 0) {
    const int total = static_cast<int>(used + added);
    const RECT from = {0, 0, static_cast<int>(added), height_};
    TBitmap image, mask;
    image.Assign(image_);
    Widen(image, total, height_, classlib::clBlack);
    CopyPixels(Source.image_, from, image, static_cast<int>(used), 0);
    if (masked_) {
      // Images that bring no mask of their own are opaque.
      mask.Assign(mask_);
      Widen(mask, total, height_, classlib::clBlack);
      if (Source.masked_) CopyPixels(Source.mask_, from, mask, static_cast<int>(used), 0);
    }
    image_.Assign(image);
    mask_.Assign(mask);
    for (int i = 0; i < images; ++i) entries_.push_back(Entry(static_cast<int>(used) + i * width_, masked_));
  }
  Change();
}

void TVisImageListItem::Draw(classlib::TCanvas& Canvas, int X, int Y, int Index) const {
  const RECT cell = CellRect(Index);
  const int w = cell.right - cell.left, h = cell.bottom - cell.top;
  if (w <= 0) return;
  HDC target = Canvas.Handle();
  if (!ImageMasked(Index) || imageType_ == 1) {
    BitBlt(target, X, Y, w, h, image_.SourceDC(), cell.left, 0, SRCCOPY);
    return;
  }
  auto maskAndImage = [&](HDC dc, int x, int y) {
    BitBlt(dc, x, y, w, h, mask_.SourceDC(), cell.left, 0, SRCAND);
    BitBlt(dc, x, y, w, h, image_.SourceDC(), cell.left, 0, SRCPAINT);
  };
  if (drawingStyle_ == 3 || (drawingStyle_ == 2 && bkColor_ == classlib::clNone)) {
    maskAndImage(target, X, Y);
    return;
  }
  TBitmap work(w, h);
  if (bkColor_ == classlib::clNone)
    BitBlt(work.Canvas().Handle(), 0, 0, w, h, target, X, Y, SRCCOPY);
  else
    FillBitmapRect(work, {0, 0, w, h}, bkColor_);
  maskAndImage(work.Canvas().Handle(), 0, 0);
  if (drawingStyle_ != 2 && blendColor_ != classlib::clNone) {
    const TColor blend = classlib::ColorToRGB(blendColor_);
    for (int y = 0; y < h; ++y) {
      std::uint8_t* row = work.ScanLine(y);
      for (int x = 0; x < w; ++x) {
        const bool laid = drawingStyle_ == 1 ? ((x ^ y) & 1) != 0 : (x % 2 == 0 || y % 2 == 0);
        if (!laid) continue;
        row[x * 4] = static_cast<std::uint8_t>(blend >> 16);
        row[x * 4 + 1] = static_cast<std::uint8_t>(blend >> 8);
        row[x * 4 + 2] = static_cast<std::uint8_t>(blend);
      }
    }
  }
  BitBlt(target, X, Y, w, h, work.SourceDC(), 0, 0, SRCCOPY);
}

std::uint8_t TVisImageListItem::GetFlags() const { return TVisListItem::GetFlags() | PixelFormatFlags(pixelFormat_); }

void TVisImageListItem::WriteData(TStream& Stream) const {
  WriteInt(Stream, height_);
  WriteInt(Stream, width_);
  WriteInt(Stream, allocBy_);
  WriteByte(Stream, masked_ ? 1 : 0);
  WriteInt(Stream, Count());
  if (Count() == 0) return;
  WriteBitmap(Stream, image_, Compressed(), SavePixelFormatKind(pixelFormat_));
  if (masked_) WriteBitmap(Stream, mask_, Compressed(), kBitmapMono);
}

void TVisImageListItem::ReadData(TStream& Stream, std::uint8_t Flags) {
  const std::int32_t height = ReadInt(Stream);
  const std::int32_t width = ReadInt(Stream);
  const std::int32_t allocBy = ReadInt(Stream);
  const bool masked = ReadByte(Stream) != 0;
  const std::int32_t count = ReadInt(Stream);
  if (width <= 0 || width > kMaxStripWidth || height <= 0 || height > kMaxStripWidth || count < 0)
    throw classlib::EReadError("Ungültiger Bildstreifen");
  if (static_cast<std::int64_t>(count) * width > kMaxStripWidth) throw classlib::EInvalidGraphic("Zu viele Bilder");
  const RECT strip = {0, 0, count * width, height};
  // A picture must hold every image the count promises, in the strip's height.
  auto readStrip = [&](TBitmap& into) {
    TBitmap loaded;
    ReadBitmap(Stream, loaded, Flags & kItemCompressed);
    if (loaded.Height() != height || loaded.Width() < strip.right) throw classlib::EInvalidGraphic("Ungültige Grafikgröße");
    CopyCell(loaded, strip, into);
  };
  TBitmap image, mask;
  if (count > 0) {
    readStrip(image);
    if (masked) readStrip(mask);
  }
  width_ = width;
  height_ = height;
  allocBy_ = allocBy;
  masked_ = masked;
  pixelFormat_ = PixelFormatOfFlags(Flags);
  image_.Assign(image);
  mask_.Assign(mask);
  RebuildEntries(count);
  Change();
}

void TVisImageListItem::AssignData(const TVisListItem& Source) {
  const auto& other = static_cast<const TVisImageListItem&>(Source);
  pixelFormat_ = other.pixelFormat_;
  allocBy_ = other.allocBy_;
  bkColor_ = other.bkColor_;
  blendColor_ = other.blendColor_;
  drawingStyle_ = other.drawingStyle_;
  imageType_ = other.imageType_;
  height_ = other.height_;
  width_ = other.width_;
  masked_ = other.masked_;
  share_ = other.share_;
  Clear();
  AddImages(other);
}

// ---- TVisCustomImageList

void TVisCustomImageList::AssignSettings(const TVisCustomContainer& Source) {
  TVisCustomContainer::AssignSettings(Source);
  defaultPixelFormat_ = static_cast<const TVisCustomImageList&>(Source).defaultPixelFormat_;
}

classlib::TCanvas* TVisCustomImageList::ItemCanvas(int ListIndex) {
  TBitmap* picture = nullptr;
  RECT rect;
  const TBitmap* mask = nullptr;
  return Cell(ListIndex, 0, picture, rect, mask) ? &picture->Canvas() : nullptr;
}

RECT TVisCustomImageList::ItemRect(int ListIndex, int ImageIndex) {
  TBitmap* picture = nullptr;
  RECT rect;
  const TBitmap* mask = nullptr;
  return Cell(ListIndex, ImageIndex, picture, rect, mask) ? rect : RECT{0, 0, 0, 0};
}

bool TVisCustomImageList::IndexValid(int ListIndex, int ImageIndex) {
  TBitmap* picture = nullptr;
  RECT rect;
  const TBitmap* mask = nullptr;
  return Cell(ListIndex, ImageIndex, picture, rect, mask);
}

bool TVisCustomImageList::AssignItemTo(int ListIndex, int ImageIndex, TBitmap& Target) {
  TBitmap* picture = nullptr;
  RECT rect;
  const TBitmap* mask = nullptr;
  if (!Cell(ListIndex, ImageIndex, picture, rect, mask)) return false;
  CopyCell(*picture, rect, Target);
  return true;
}

TColor TVisCustomImageList::ItemTransparentColor(int ListIndex, int ImageIndex) {
  return ItemPixel(ListIndex, ImageIndex, 0, ItemSize(ListIndex, 1) - 1);
}

TColor TVisCustomImageList::ItemPixel(int ListIndex, int ImageIndex, int X, int Y) {
  TBitmap* picture = nullptr;
  RECT rect;
  const TBitmap* mask = nullptr;
  if (!Cell(ListIndex, ImageIndex, picture, rect, mask) || X < 0 || Y < 0 || X >= rect.right - rect.left ||
      Y >= rect.bottom - rect.top)
    return 0xFFFFFF;
  return picture->Pixel(rect.left + X, rect.top + Y);
}

bool TVisCustomImageList::DrawExt(classlib::TCanvas& Canvas, const RECT& Rect, int ListIndex, int ImageIndex, TColor Color,
                                  unsigned Flags, RECT& DrawnRect) {
  TBitmap* picture = nullptr;
  RECT rect;
  const TBitmap* mask = nullptr;
  if (!Cell(ListIndex, ImageIndex, picture, rect, mask)) return false;
  TBitmap cell, cellMask;
  CopyCell(*picture, rect, cell);
  if (mask) CopyCell(*mask, rect, cellMask);
  return DrawBitmapEx(Canvas, Rect, cell, Color, Flags, DrawnRect, mask ? &cellMask : nullptr);
}

bool TVisCustomImageList::DrawTransparent(classlib::TCanvas& Canvas, const RECT& Rect, RECT& DrawnRect, int ListIndex,
                                          int ImageIndex, unsigned Flags) {
  const bool masked = ItemMasked(ListIndex);
  const TColor color = masked ? classlib::clBlack : ItemTransparentColor(ListIndex, ImageIndex);
  Flags &= ~(kBitmapTransparent | kBitmapMasked | kBitmapBrushCopy);
  return DrawExt(Canvas, Rect, ListIndex, ImageIndex, color, Flags | (masked ? kBitmapMasked : kBitmapTransparent),
                 DrawnRect);
}

// ---- TVisBitmapList

TVisBitmapListItem* TVisBitmapList::Item(int Index) const {
  return static_cast<TVisBitmapListItem*>(TVisCustomContainer::Item(Index));
}

TVisListItem* TVisBitmapList::NewItem() {
  auto* item = new TVisBitmapListItem(this);
  item->SetPixelFormat(DefaultPixelFormat());
  return item;
}

bool TVisBitmapList::Cell(int ListIndex, int ImageIndex, TBitmap*& Picture, RECT& Rect, const TBitmap*& Mask) {
  if (!InsideList(ListIndex, Count()) || ImageIndex != 0) return false;
  Picture = &Item(ListIndex)->Bitmap();
  Rect = {0, 0, Picture->Width(), Picture->Height()};
  Mask = nullptr;
  return !Picture->Empty();
}

int TVisBitmapList::ItemSize(int ListIndex, int Which) {
  if (!InsideList(ListIndex, Count())) return 0;
  const TBitmap& bitmap = Item(ListIndex)->Bitmap();
  return Which == 0 ? bitmap.Width() : bitmap.Height();
}

int TVisBitmapList::ImageCount(int ListIndex) {
  if (!InsideList(ListIndex, Count())) return -1;
  return Item(ListIndex)->Bitmap().Empty() ? 0 : 1;
}

bool TVisBitmapList::ItemMasked(int) { return false; }

void TVisBitmapList::Draw(classlib::TCanvas& Canvas, int X, int Y, int ListIndex, int ImageIndex) {
  if (IndexValid(ListIndex, ImageIndex)) Canvas.Draw(X, Y, Item(ListIndex)->Bitmap());
}

// ---- TVisImageList

TVisImageListItem* TVisImageList::Item(int Index) const {
  return static_cast<TVisImageListItem*>(TVisCustomContainer::Item(Index));
}

TVisListItem* TVisImageList::NewItem() {
  auto* item = new TVisImageListItem(this);
  item->SetPixelFormat(DefaultPixelFormat());
  return item;
}

bool TVisImageList::Cell(int ListIndex, int ImageIndex, TBitmap*& Picture, RECT& Rect, const TBitmap*& Mask) {
  if (!InsideList(ListIndex, Count())) return false;
  TVisImageListItem* item = Item(ListIndex);
  if (!InsideList(ImageIndex, item->Count())) return false;
  Picture = const_cast<TBitmap*>(&item->Image());
  Rect = item->CellRect(ImageIndex);
  Mask = item->Masked() ? &item->Mask() : nullptr;
  return true;
}

int TVisImageList::ItemSize(int ListIndex, int Which) {
  if (!InsideList(ListIndex, Count())) return 0;
  return Which == 0 ? Item(ListIndex)->Width() : Item(ListIndex)->Height();
}

int TVisImageList::ImageCount(int ListIndex) { return InsideList(ListIndex, Count()) ? Item(ListIndex)->Count() : -1; }

bool TVisImageList::ItemMasked(int ListIndex) { return InsideList(ListIndex, Count()) && Item(ListIndex)->Masked(); }

void TVisImageList::Draw(classlib::TCanvas& Canvas, int X, int Y, int ListIndex, int ImageIndex) {
  if (InsideList(ListIndex, Count())) Item(ListIndex)->Draw(Canvas, X, Y, ImageIndex);
}

// ---- TVisContainer

TVisContainer::TVisContainer(classlib::TComponent* AOwner)
    : TVisBaseContainer(AOwner),
      bitmapList_(new TVisBitmapList(this)),
      imageList_(new TVisImageList(this)),
      stringList_(new TVisStringList(this)),
      waveList_(new TVisWaveList(this)) {
  for (TVisCustomContainer* list : std::initializer_list<TVisCustomContainer*>{bitmapList_, imageList_, stringList_, waveList_})
    list->OnChange = [this](classlib::TObject* Sender) { GetChange(Sender); };
}

TVisContainer& VisContainer() {
  if (!globalContainer) throw classlib::EInvalidOperation("Die Steuerelementbibliothek ist nicht gestartet");
  return *globalContainer;
}

void CreateVisContainer() { globalContainer = new TVisContainer(nullptr); }

void FreeVisContainer() {
  delete globalContainer;
  globalContainer = nullptr;
}

std::string GlobalListSignature(const TVisCustomImageList* List) {
  if (!globalContainer || !List) return {};
  if (List == &globalContainer->BitmapList()) return ContainerSignature(lkBitmapList);
  if (List == &globalContainer->ImageList()) return ContainerSignature(lkImageList);
  return {};
}

TVisCustomImageList* GlobalListOfSignature(const std::string& Signature) {
  if (!globalContainer) return nullptr;
  if (Signature == ContainerSignature(lkBitmapList)) return &globalContainer->BitmapList();
  if (Signature == ContainerSignature(lkImageList)) return &globalContainer->ImageList();
  return nullptr;
}

}  // namespace controls
