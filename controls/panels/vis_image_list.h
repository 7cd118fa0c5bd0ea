// Bitmap lists and image lists: containers whose items the pack's controls draw by index (the
// item's index in the list, ListIndex, and for image strips the image's index in the strip,
// ImageIndex), and the library's one global container with a list of each kind.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "classlib/graphics.h"
#include "controls/panels/vis_container.h"
#include "controls/panels/vis_system.h"

namespace controls {

// Bitmap item flags.
constexpr std::uint8_t kItemHasBitmap = 0x08;
constexpr std::uint8_t kItemMono = 0x10;
constexpr std::uint8_t kItem4Bit = 0x20;
constexpr std::uint8_t kItem8Bit = 0x40;

// The widest strip an image item holds, in pixels.
constexpr int kMaxStripWidth = 32768;

class TVisCustomImageList;

// The pixel-format flags of a bitmap or strip item.
std::uint8_t PixelFormatFlags(TVisSavePixelFormat Format);
TVisSavePixelFormat PixelFormatOfFlags(std::uint8_t Flags);

class TVisBitmapListItem : public TVisListItem {
 public:
  explicit TVisBitmapListItem(classlib::TComponent* AOwner) : TVisListItem(AOwner) {}

  // An empty bitmap is first fetched from the list's source (outside loading).
  classlib::TBitmap& Bitmap();
  // Copies the picture and notifies.
  void SetBitmap(const classlib::TBitmap& Value);
  TVisSavePixelFormat PixelFormat() const { return pixelFormat_; }
  void SetPixelFormat(TVisSavePixelFormat Value) { pixelFormat_ = Value; }

  void Clear() override;
  bool IsEmpty() const override { return bitmap_.Empty(); }
  std::uint8_t GetFlags() const override;

 protected:
  void WriteData(classlib::TStream& Stream) const override;
  void ReadData(classlib::TStream& Stream, std::uint8_t Flags) override;
  void AssignData(const TVisListItem& Source) override;

 private:
  void LoadFromSource(const TVisCustomImageList& List);

  classlib::TBitmap bitmap_;
  TVisSavePixelFormat pixelFormat_ = TVisSavePixelFormat::spfDefault;
};

// One strip of equally sized images side by side, with an optional mask (white where the
// background shows through).
class TVisImageListItem : public TVisListItem {
 public:
  explicit TVisImageListItem(classlib::TComponent* AOwner) : TVisListItem(AOwner) {}

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Values of 0 or less, and the present value, are ignored; another size empties the strip.
  void SetWidth(int Value) { SetSize(0, Value); }
  void SetHeight(int Value) { SetSize(1, Value); }
  std::int32_t AllocBy() const { return allocBy_; }
  void SetAllocBy(std::int32_t Value) { allocBy_ = Value; }
  bool Masked() const { return masked_; }
  // Switching gives the strip a mask (every image opaque) or takes it away.
  void SetMasked(bool Value);
  TVisSavePixelFormat PixelFormat() const { return pixelFormat_; }
  void SetPixelFormat(TVisSavePixelFormat Value) { pixelFormat_ = Value; }
  // Behind masked images for drawing styles 0 to 2 (clNone: none).
  classlib::TColor BkColor() const { return bkColor_; }
  void SetBkColor(classlib::TColor Value) { bkColor_ = Value; }
  // Laid over masked images in drawing styles 0 and 1 (clNone: none).
  classlib::TColor BlendColor() const { return blendColor_; }
  void SetBlendColor(classlib::TColor Value) { blendColor_ = Value; }
  // 0..3: how masked images are drawn (see Draw).
  int DrawingStyle() const { return drawingStyle_; }
  void SetDrawingStyle(int Value) { drawingStyle_ = Value; }
  // 1: images are drawn as they are, mask or not.
  int ImageType() const { return imageType_; }
  void SetImageType(int Value) { imageType_ = Value; }

  // Kept with the item and copied by Assign.
  bool Share() const { return share_; }
  void SetShare(bool Value) { share_ = Value; }

  int Count() const { return static_cast<int>(entries_.size()); }
  void Clear() override;
  bool IsEmpty() const override { return entries_.empty(); }
  // Whether image Index is drawn through the mask; false out of range.
  bool ImageMasked(int Index) const;
  std::uint8_t GetFlags() const override;

  // The strip and its mask; the mask is empty when not masked.
  const classlib::TBitmap& Image() const { return image_; }
  const classlib::TBitmap& Mask() const { return mask_; }
  // The cell of image Index in the strip.
  RECT CellRect(int Index) const;
  // Appends the images of Source (of the same size): classlib::EInvalidGraphic "Ungültige
  // Grafikgröße" for another size, "Zu viele Bilder" beyond 32768 pixels; the strip stays then.
  void AddImages(const TVisImageListItem& Source);
  // Draws image Index at (X, Y): an image without its mask (or image type 1) a plain copy; masked
  // by drawing style:
  // 3 the mask with SRCAND and the image with SRCPAINT on the canvas; 2 the same, on the
  // background colour when one is set; 0 and 1 on the background colour with the blend colour laid
  // over a pattern (1: where exactly one of x and y is odd; 0: where x or y is even).
  void Draw(classlib::TCanvas& Canvas, int X, int Y, int Index) const;

 protected:
  void WriteData(classlib::TStream& Stream) const override;
  void ReadData(classlib::TStream& Stream, std::uint8_t Flags) override;
  void AssignData(const TVisListItem& Source) override;

 private:
  void SetSize(int Which, int Value);
  // One entry an image, at x offsets i x Width, with the item's masked bit.
  void RebuildEntries(int Count);

  int width_ = 16;
  int height_ = 16;
  std::int32_t allocBy_ = 4;
  bool masked_ = false;
  classlib::TBitmap image_;
  classlib::TBitmap mask_;
  // One entry an image: the low 16 bits its x offset in the strip, bit 16 set when it is masked.
  std::vector<std::uint32_t> entries_;
  TVisSavePixelFormat pixelFormat_ = TVisSavePixelFormat::spfDefault;
  classlib::TColor bkColor_ = classlib::clNone;
  classlib::TColor blendColor_ = classlib::clNone;
  int drawingStyle_ = 2;
  int imageType_ = 0;
  bool share_ = false;
};

// The operations a control draws with, addressed by the item's index in the list and the image's
// index in the item. Out-of-range indexes answer with the defaults named and draw nothing.
class TVisCustomImageList : public TVisCustomContainer {
 public:
  TVisCustomImageList(classlib::TComponent* AOwner, int Kind) : TVisCustomContainer(AOwner, Kind) {}

  TVisSavePixelFormat DefaultPixelFormat() const { return defaultPixelFormat_; }
  void SetDefaultPixelFormat(TVisSavePixelFormat Value) { defaultPixelFormat_ = Value; }
  TVisPathPrefix PathPrefix() const { return pathPrefix_; }
  void SetPathPrefix(TVisPathPrefix Value) { pathPrefix_ = Value; }

  // The canvas of the item's picture; null out of range.
  classlib::TCanvas* ItemCanvas(int ListIndex);
  // The image's cell in the item's picture; empty out of range.
  RECT ItemRect(int ListIndex, int ImageIndex);
  // 0 width, 1 height of the item's images; 0 out of range.
  virtual int ItemSize(int ListIndex, int Which) = 0;
  // Images in the item (a bitmap: 1, or 0 when empty); -1 out of range.
  virtual int ImageCount(int ListIndex) = 0;
  bool IndexValid(int ListIndex, int ImageIndex);
  // Target becomes a copy of the image; false when there is none.
  bool AssignItemTo(int ListIndex, int ImageIndex, classlib::TBitmap& Target);
  virtual bool ItemMasked(int ListIndex) = 0;
  // The palette of the item's picture: none, as the lists keep their pictures in 32 bits.
  HPALETTE ItemPalette(int) const { return nullptr; }
  // The colour of the cell's bottom-left pixel; 0xFFFFFF out of range.
  classlib::TColor ItemTransparentColor(int ListIndex, int ImageIndex);
  // A pixel of the image; 0xFFFFFF out of range.
  classlib::TColor ItemPixel(int ListIndex, int ImageIndex, int X, int Y);
  // Unscaled at (X, Y).
  virtual void Draw(classlib::TCanvas& Canvas, int X, int Y, int ListIndex, int ImageIndex) = 0;
  // Placed in Rect by Flags (the placement flags of DrawBitmapEx), through the mask of a masked
  // strip, else leaving out the image's transparent colour.
  bool DrawTransparent(classlib::TCanvas& Canvas, const RECT& Rect, RECT& DrawnRect, int ListIndex, int ImageIndex,
                       unsigned Flags);
  // DrawBitmapEx with Color and Flags as given; a masked strip passes its mask.
  bool DrawExt(classlib::TCanvas& Canvas, const RECT& Rect, int ListIndex, int ImageIndex, classlib::TColor Color,
               unsigned Flags, RECT& DrawnRect);

 protected:
  // The picture, cell and mask (or null) of an image; false out of range or when empty.
  virtual bool Cell(int ListIndex, int ImageIndex, classlib::TBitmap*& Picture, RECT& Rect, const classlib::TBitmap*& Mask) = 0;
  void AssignSettings(const TVisCustomContainer& Source) override;

 private:
  TVisSavePixelFormat defaultPixelFormat_ = TVisSavePixelFormat::spfDefault;
  TVisPathPrefix pathPrefix_ = TVisPathPrefix::ppProgram;
};

class TVisBitmapList : public TVisCustomImageList {
 public:
  explicit TVisBitmapList(classlib::TComponent* AOwner) : TVisCustomImageList(AOwner, lkBitmapList) {}
  TVisBitmapListItem* Item(int Index) const override;
  int ItemSize(int ListIndex, int Which) override;
  int ImageCount(int ListIndex) override;
  bool ItemMasked(int ListIndex) override;
  void Draw(classlib::TCanvas& Canvas, int X, int Y, int ListIndex, int ImageIndex) override;

 protected:
  TVisListItem* NewItem() override;
  bool Cell(int ListIndex, int ImageIndex, classlib::TBitmap*& Picture, RECT& Rect, const classlib::TBitmap*& Mask) override;
};

class TVisImageList : public TVisCustomImageList {
 public:
  explicit TVisImageList(classlib::TComponent* AOwner) : TVisCustomImageList(AOwner, lkImageList) {}
  TVisImageListItem* Item(int Index) const override;
  int ItemSize(int ListIndex, int Which) override;
  int ImageCount(int ListIndex) override;
  bool ItemMasked(int ListIndex) override;
  void Draw(classlib::TCanvas& Canvas, int X, int Y, int ListIndex, int ImageIndex) override;

 protected:
  TVisListItem* NewItem() override;
  bool Cell(int ListIndex, int ImageIndex, classlib::TBitmap*& Picture, RECT& Rect, const classlib::TBitmap*& Mask) override;
};

// The library's global container: one list of each kind. Their changes are its own.
class TVisContainer : public TVisBaseContainer {
 public:
  explicit TVisContainer(classlib::TComponent* AOwner);

  TVisBitmapList& BitmapList() { return *bitmapList_; }
  TVisImageList& ImageList() { return *imageList_; }
  TVisStringList& StringList() { return *stringList_; }
  TVisWaveList& WaveList() { return *waveList_; }

 private:
  TVisBitmapList* bitmapList_;
  TVisImageList* imageList_;
  TVisStringList* stringList_;
  TVisWaveList* waveList_;
};

// The global container, created by the library's start.
TVisContainer& VisContainer();
void CreateVisContainer();
void FreeVisContainer();

// A form stream names the global container's bitmap or image list by its signature ("VISBML30",
// "VISIML30") instead of a reference: the signature of List, empty for any other list; and the
// global list a signature names, null for others.
std::string GlobalListSignature(const TVisCustomImageList* List);
TVisCustomImageList* GlobalListOfSignature(const std::string& Signature);

}  // namespace controls
