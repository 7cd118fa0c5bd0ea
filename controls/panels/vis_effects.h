// Post-processing of a control's painted image: mirroring, grey scale, inversion, brightness and
// blending with a fill. Every control owns the settings, but in this program they keep their
// neutral values: each setter stores the neutral value whatever it is given, so controls paint
// without effects. The effect routines work on 24-bit bitmaps.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "classlib/exceptions.h"
#include "classlib/graphics.h"
#include "controls/panels/vis_fill.h"
#include "controls/panels/vis_object.h"

namespace controls {

using TVisBrightness = std::int16_t;  // -255..255

// A bitmap handed to an effect routine is not of the 24-bit format.
class EVisWrongPixelFormat : public classlib::Exception {
 public:
  // Which: "Source 1", "Source 2", "Source" or "Target".
  explicit EVisWrongPixelFormat(const std::string& Which);
};

class TVisCustomImageList;

// Blending the image with a fill.
class TVisAlphaObject : public TVisObject {
 public:
  TVisAlphaObject();

  TVisCustomImageList* ImageList() const { return imageList_; }
  // Leaves the current list and stores none.
  void SetImageList(TVisCustomImageList* Value);
  std::int32_t ImageIndex() const { return imageIndex_; }
  void SetImageIndex(std::int32_t Value);
  std::int32_t ListIndex() const { return listIndex_; }
  void SetListIndex(std::int32_t Value);
  // 0.6 at creation; the setter stores 0.
  float Strength() const { return strength_; }
  void SetStrength(float Value);
  // Whether a form stream stores Strength (it differs from 0.6 in millionths).
  bool StrengthStored() const;
  TVisFillObject& FillObject() { return fill_; }
  const TVisFillObject& FillObject() const { return fill_; }
  void SetFillObject(const TVisFillObject& Value) { fill_.Assign(Value); }
  bool Transparent() const { return transparent_; }

  // The fill's list bitmap follows the image list's picture; then notifies.
  void RefreshPicture();
  bool AlphaActive() const;

  void Assign(const classlib::TPersistent& Source) override;
  std::string DesignText() const override;

 private:
  TVisCustomImageList* imageList_ = nullptr;
  std::int32_t imageIndex_ = 0;
  std::int32_t listIndex_ = 0;
  float strength_ = 0.6f;
  bool transparent_ = false;
  TVisFillObject fill_;
  TVisChangeLink link_;
};

class TVisBitmapEffectObject : public TVisObject {
 public:
  // The indexes of the flag setter.
  enum TFlag { kFlipVertical, kFlipHorizontal, kGrayScale, kInvert, kBuffered, kMonochrome };

  TVisBitmapEffectObject();

  TVisAlphaObject& AlphaBlend() { return alpha_; }
  void SetAlphaBlend(const TVisAlphaObject& Value) { alpha_.Assign(Value); }
  bool Flag(TFlag Index) const { return flags_[Index]; }
  // Stores false; notifies only when the flag was set. Buffered also drops the buffer.
  void SetFlag(TFlag Index, bool Value);
  bool FlipVertical() const { return Flag(kFlipVertical); }
  bool FlipHorizontal() const { return Flag(kFlipHorizontal); }
  bool GrayScale() const { return Flag(kGrayScale); }
  bool Invert() const { return Flag(kInvert); }
  bool Buffered() const { return Flag(kBuffered); }
  TVisBrightness Brightness() const { return brightness_; }
  // Stores 0; notifies only when it was not 0.
  void SetBrightness(TVisBrightness Value);

  // The inherited notification, then the buffered image is out of date.
  void Change() override;
  void InvalidateBuffer() { bufferValid_ = false; }
  bool HasEffects() const { return false; }

  // Copies the flags and Brightness as they are, then Buffered through its setter and the blend.
  void Assign(const classlib::TPersistent& Source) override;
  std::string DesignText() const override;

  // SourceRect of Source to the top left of Target, then the effects that are set over
  // TargetRect of Target (24 bits), then the blend with the alpha fill.
  void Apply(const classlib::TBitmap& Source, const RECT& SourceRect, classlib::TBitmap& Target, const RECT& TargetRect);

 private:
  bool flags_[6] = {};
  TVisBrightness brightness_ = 0;
  TVisAlphaObject alpha_;
  bool bufferValid_ = false;
  std::unique_ptr<classlib::TBitmap> buffer_;
};

// The effect routines: Rect of Source, pixel by pixel, to Target with Rect's top left at At.
// Source and Target may be the same bitmap. Both must be 24-bit (else EVisWrongPixelFormat);
// Rect is clipped to both bitmaps.
// Grey = red x 0.3 + green x 0.59 + blue x 0.11, each product rounded half to even.
void EffectGrayScale(const classlib::TBitmap& Source, const RECT& Rect, classlib::TBitmap& Target, POINT At);
void EffectInvert(const classlib::TBitmap& Source, const RECT& Rect, classlib::TBitmap& Target, POINT At);
// Each channel + Amount, kept within 0..255.
void EffectBrightness(const classlib::TBitmap& Source, const RECT& Rect, classlib::TBitmap& Target, POINT At,
                      int Amount);
// Each row reversed.
void EffectMirrorLeftRight(const classlib::TBitmap& Source, const RECT& Rect, classlib::TBitmap& Target, POINT At);
// The rows in reverse order.
void EffectMirrorTopBottom(const classlib::TBitmap& Source, const RECT& Rect, classlib::TBitmap& Target, POINT At);
// Strength x Source1 + (1 - Strength) x Source2 per channel, both read at Rect.
void EffectBlend(const classlib::TBitmap& Source1, const classlib::TBitmap& Source2, const RECT& Rect,
                 classlib::TBitmap& Target, POINT At, float Strength);

}  // namespace controls
