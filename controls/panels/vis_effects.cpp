#include "controls/panels/vis_effects.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "classlib/number_format.h"
#include "controls/panels/vis_utils.h"

namespace controls {

using classlib::TBitmap;
using classlib::TPixelFormat;

EVisWrongPixelFormat::EVisWrongPixelFormat(const std::string& Which)
    : Exception("Wrong PixelFormat in " + Which + " bitmap!") {}

// ---- TVisAlphaObject

TVisAlphaObject::TVisAlphaObject() {
  fill_.OnChange = [this](TObject* sender) { GetChange(sender); };
  link_.OnChange = [this](TObject*) { RefreshPicture(); };
}

void TVisAlphaObject::SetImageList(TVisCustomImageList*) {
  if (link_.Sender()) link_.Sender()->UnRegisterChanges(&link_);
  imageList_ = nullptr;
  RefreshPicture();
}

void TVisAlphaObject::SetImageIndex(std::int32_t) {
  imageIndex_ = 0;
  RefreshPicture();
}

void TVisAlphaObject::SetListIndex(std::int32_t) {
  listIndex_ = 0;
  RefreshPicture();
}

void TVisAlphaObject::SetStrength(float) {
  if (strength_ == 0.0f) return;
  strength_ = 0.0f;
  Change();
}

bool TVisAlphaObject::StrengthStored() const { return std::lround(strength_ * 1000000.0) != 600000; }

void TVisAlphaObject::RefreshPicture() {
  // The setters store no image list, so there is no picture to take.
  fill_.ListBitmap().SetSize(0, 0);
  Change();
}

bool TVisAlphaObject::AlphaActive() const { return fill_.Style() != TVisFillStyle::sfNone && strength_ != 1.0f; }

void TVisAlphaObject::Assign(const classlib::TPersistent& Source) {
  const auto* source = dynamic_cast<const TVisAlphaObject*>(&Source);
  if (!source) return TVisObject::Assign(Source);
  fill_.Assign(source->fill_);
  transparent_ = source->transparent_;
  strength_ = source->strength_;
  imageIndex_ = source->imageIndex_;
  listIndex_ = source->listIndex_;
  imageList_ = source->imageList_;
}

namespace {

// Fixed notation of 5 significant digits with 3 decimals, as the program writes numbers.
std::string FixedStrength(float value) {
  char significant[32];
  std::snprintf(significant, sizeof significant, "%.4e", static_cast<double>(value));
  return classlib::FormatFloat("0.000", std::strtod(significant, nullptr));
}

}  // namespace

std::string TVisAlphaObject::DesignText() const {
  const TVisFillStyle style = fill_.Style();
  if (style == TVisFillStyle::sfNone) return "{Disabled}";
  std::string kind;
  if (style == TVisFillStyle::sfBrush) kind = "brush";
  if (style == TVisFillStyle::sfBitmap || style == TVisFillStyle::sfBitmapList) kind = "bmp";
  if (style == TVisFillStyle::sfGradient) kind = "grad";
  return "{Enabled (" + kind + "), strength: " + FixedStrength(strength_) + "}";
}

// ---- TVisBitmapEffectObject

TVisBitmapEffectObject::TVisBitmapEffectObject() {
  alpha_.OnChange = [this](TObject* sender) { GetChange(sender); };
}

void TVisBitmapEffectObject::SetFlag(TFlag Index, bool) {
  if (!flags_[Index]) return;
  flags_[Index] = false;
  if (Index == kBuffered) {
    InvalidateBuffer();
    buffer_.reset();
  }
  Change();
}

void TVisBitmapEffectObject::SetBrightness(TVisBrightness) {
  if (brightness_ == 0) return;
  brightness_ = 0;
  Change();
}

void TVisBitmapEffectObject::Change() {
  TVisObject::Change();
  InvalidateBuffer();
}

void TVisBitmapEffectObject::Assign(const classlib::TPersistent& Source) {
  const auto* source = dynamic_cast<const TVisBitmapEffectObject*>(&Source);
  if (!source) return TVisObject::Assign(Source);
  for (TFlag flag : {kFlipVertical, kFlipHorizontal, kGrayScale, kInvert}) flags_[flag] = source->flags_[flag];
  brightness_ = source->brightness_;
  SetFlag(kBuffered, source->Buffered());
  SetAlphaBlend(source->alpha_);
}

std::string TVisBitmapEffectObject::DesignText() const {
  std::vector<std::string> names;
  if (alpha_.FillObject().Style() != TVisFillStyle::sfNone) names.push_back("alpha");
  if (FlipVertical()) names.push_back("FV");
  if (FlipHorizontal()) names.push_back("FH");
  if (GrayScale()) names.push_back("GS");
  if (Invert()) names.push_back("INV");
  if (brightness_ != 0) names.push_back("B");
  if (names.empty()) return "{Disabled}";
  std::string text = "{";
  for (size_t i = 0; i < names.size(); ++i) text += (i ? "," : "") + names[i];
  return text + "}";
}

void TVisBitmapEffectObject::Apply(const TBitmap& Source, const RECT& SourceRect, TBitmap& Target,
                                   const RECT& TargetRect) {
  if (Buffered() && bufferValid_ && buffer_) {
    Target.Canvas().Draw(0, 0, *buffer_);
    return;
  }
  const int w = SourceRect.right - SourceRect.left, h = SourceRect.bottom - SourceRect.top;
  BitBlt(Target.SourceDC(), 0, 0, w, h, Source.SourceDC(), SourceRect.left, SourceRect.top, SRCCOPY);
  const POINT at = {TargetRect.left, TargetRect.top};
  if (FlipVertical()) EffectMirrorLeftRight(Target, TargetRect, Target, at);
  if (FlipHorizontal()) EffectMirrorTopBottom(Target, TargetRect, Target, at);
  if (GrayScale()) EffectGrayScale(Target, TargetRect, Target, at);
  if (Invert()) EffectInvert(Target, TargetRect, Target, at);
  if (brightness_ != 0) EffectBrightness(Target, TargetRect, Target, at, brightness_);
  if (alpha_.FillObject().Style() != TVisFillStyle::sfNone) {
    TBitmap fill;
    fill.SetPixelFormat(TPixelFormat::pf24bit);
    fill.SetSize(w + 2, h + 2);
    alpha_.FillObject().Fill(fill.Canvas(), {0, 0, w + 2, h + 2}, classlib::clWhite);
    EffectBlend(Target, fill, {0, 0, w, h}, Target, {0, 0}, alpha_.Strength());
  }
  if (Buffered() && !bufferValid_) {
    buffer_ = std::make_unique<TBitmap>();
    buffer_->Assign(Target);
    bufferValid_ = true;
  }
}

// ---- The effect routines

namespace {

void Require24Bit(const TBitmap& bitmap, const char* which) {
  if (bitmap.PixelFormat() != TPixelFormat::pf24bit) throw EVisWrongPixelFormat(which);
}

// The pixels of an area, 3 bytes each (blue, green, red), row after row.
struct TArea {
  RECT source;  // clipped to the sources
  POINT at;     // clipped to the target
  int width, height;
  std::vector<std::uint8_t> pixels;

  std::uint8_t* Row(int y) { return pixels.data() + static_cast<size_t>(y) * width * 3; }
};

// Rect within every source and, placed at At, within the target; false when nothing is left.
bool ClipArea(RECT rect, std::initializer_list<const TBitmap*> sources, const TBitmap& target, POINT at, TArea& area) {
  for (const TBitmap* source : sources) {
    const RECT bounds = {0, 0, source->Width(), source->Height()};
    RECT inside;
    if (!IntersectRect(&inside, &rect, &bounds)) return false;
    at.x += inside.left - rect.left;
    at.y += inside.top - rect.top;
    rect = inside;
  }
  const RECT placed = {at.x, at.y, at.x + rect.right - rect.left, at.y + rect.bottom - rect.top};
  const RECT bounds = {0, 0, target.Width(), target.Height()};
  RECT inside;
  if (!IntersectRect(&inside, &placed, &bounds)) return false;
  rect.left += inside.left - placed.left;
  rect.top += inside.top - placed.top;
  rect.right = rect.left + (inside.right - inside.left);
  rect.bottom = rect.top + (inside.bottom - inside.top);
  area.source = rect;
  area.at = {inside.left, inside.top};
  area.width = rect.right - rect.left;
  area.height = rect.bottom - rect.top;
  return true;
}

void ReadArea(const TBitmap& source, TArea& area) {
  area.pixels.resize(static_cast<size_t>(area.width) * area.height * 3);
  for (int y = 0; y < area.height; ++y)
    std::memcpy(area.Row(y), source.ScanLine(area.source.top + y) + area.source.left * 3, area.width * 3);
}

void WriteArea(TArea& area, TBitmap& target) {
  for (int y = 0; y < area.height; ++y)
    std::memcpy(target.ScanLine(area.at.y + y) + area.at.x * 3, area.Row(y), area.width * 3);
}

// Reads the clipped area of Source, lets change work on it, writes it to Target: the copy in
// between lets Source and Target be one bitmap.
void Transform(const TBitmap& source, const RECT& rect, TBitmap& target, POINT at,
               const std::function<void(TArea&)>& change) {
  Require24Bit(source, "Source");
  Require24Bit(target, "Target");
  TArea area;
  if (!ClipArea(rect, {&source}, target, at, area)) return;
  ReadArea(source, area);
  change(area);
  WriteArea(area, target);
}

void ForEachChannel(TArea& area, const std::function<std::uint8_t(std::uint8_t)>& change) {
  for (std::uint8_t& channel : area.pixels) channel = change(channel);
}

// n / d rounded half to even, for n >= 0.
int RoundedRatio(int n, int d) {
  const int q = n / d, twice = 2 * (n % d);
  return q + (twice > d || (twice == d && (q & 1)));
}

}  // namespace

void EffectGrayScale(const TBitmap& Source, const RECT& Rect, TBitmap& Target, POINT At) {
  // Whole hundredths, so that a product ending in .5 rounds to even exactly.
  int red[256], green[256], blue[256];
  for (int i = 0; i < 256; ++i) {
    red[i] = RoundedRatio(i * 30, 100);
    green[i] = RoundedRatio(i * 59, 100);
    blue[i] = RoundedRatio(i * 11, 100);
  }
  Transform(Source, Rect, Target, At, [&](TArea& area) {
    for (size_t p = 0; p < area.pixels.size(); p += 3) {
      std::uint8_t* px = &area.pixels[p];
      const auto grey = static_cast<std::uint8_t>(red[px[2]] + green[px[1]] + blue[px[0]]);
      px[0] = px[1] = px[2] = grey;
    }
  });
}

void EffectInvert(const TBitmap& Source, const RECT& Rect, TBitmap& Target, POINT At) {
  Transform(Source, Rect, Target, At, [](TArea& area) {
    ForEachChannel(area, [](std::uint8_t c) { return static_cast<std::uint8_t>(~c); });
  });
}

void EffectBrightness(const TBitmap& Source, const RECT& Rect, TBitmap& Target, POINT At, int Amount) {
  Transform(Source, Rect, Target, At, [Amount](TArea& area) {
    ForEachChannel(area, [Amount](std::uint8_t c) { return static_cast<std::uint8_t>(std::clamp(c + Amount, 0, 255)); });
  });
}

void EffectMirrorLeftRight(const TBitmap& Source, const RECT& Rect, TBitmap& Target, POINT At) {
  Transform(Source, Rect, Target, At, [](TArea& area) {
    for (int y = 0; y < area.height; ++y) {
      std::uint8_t* row = area.Row(y);
      for (int left = 0, right = area.width - 1; left < right; ++left, --right)
        std::swap_ranges(row + left * 3, row + left * 3 + 3, row + right * 3);
    }
  });
}

void EffectMirrorTopBottom(const TBitmap& Source, const RECT& Rect, TBitmap& Target, POINT At) {
  Transform(Source, Rect, Target, At, [](TArea& area) {
    for (int top = 0, bottom = area.height - 1; top < bottom; ++top, --bottom)
      std::swap_ranges(area.Row(top), area.Row(top) + area.width * 3, area.Row(bottom));
  });
}

void EffectBlend(const TBitmap& Source1, const TBitmap& Source2, const RECT& Rect, TBitmap& Target, POINT At,
                 float Strength) {
  Require24Bit(Source1, "Source 1");
  Require24Bit(Source2, "Source 2");
  Require24Bit(Target, "Target");
  TArea first, second;
  if (!ClipArea(Rect, {&Source1, &Source2}, Target, At, first)) return;
  second = first;
  ReadArea(Source1, first);
  ReadArea(Source2, second);
  // share[d + 255]: the part of a difference d that Source 1 adds over Source 2.
  int share[511];
  for (int d = -255; d <= 255; ++d) share[d + 255] = RoundHalfEven(d * static_cast<double>(Strength));
  for (size_t i = 0; i < first.pixels.size(); ++i) {
    const int s1 = first.pixels[i], s2 = second.pixels[i];
    first.pixels[i] = static_cast<std::uint8_t>(std::clamp(share[s1 - s2 + 255] + s2, 0, 255));
  }
  WriteArea(first, Target);
}

}  // namespace controls
