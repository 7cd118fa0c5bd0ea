// A colour gradient: two end colours (or a list of colours), a number of bands and a geometric
// style. The band colours are kept ready at all times and rebuilt on every change; PaintGradient
// draws such a list into a rectangle in one of ten styles.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "classlib/graphics.h"
#include "controls/panels/vis_object.h"

namespace controls {

enum class TVisGradientStyle : std::uint8_t {
  gstHorizontal,
  gstVertical,
  gstSquare,
  gstElliptic,
  gstTopLeft,
  gstTopRight,
  gstBottomLeft,
  gstBottomRight,
  gstTopLeftDiagonal,
  gstTopRightDiagonal,
};

// The number of bands.
constexpr int kMinGradientColors = 2;
constexpr int kMaxGradientColors = 236;

// PaintGradient's flags.
constexpr unsigned kGradientClip = 0x0001;
constexpr unsigned kGradientUseBitmap = 0x0004;
constexpr unsigned kGradientUsePalette = 0x1000;

class TVisGradient : public TVisObject {
 public:
  TVisGradient();
  ~TVisGradient() override;

  classlib::TColor Color() const { return color_; }
  void SetColor(classlib::TColor Value);
  int ColorCount() const { return colorCount_; }
  // Kept within 2..236.
  void SetColorCount(int Value);
  TVisGradientStyle Style() const { return style_; }
  void SetStyle(TVisGradientStyle Value);
  classlib::TColor EndColor() const { return endColor_; }
  void SetEndColor(classlib::TColor Value);
  bool PaletteRealize() const { return paletteRealize_; }
  void SetPaletteRealize(bool Value);
  // False: the bands run through Colors() instead of Color .. EndColor.
  bool TwoColors() const { return twoColors_; }
  void SetTwoColors(bool Value);

  // The multi-colour definition.
  const std::vector<classlib::TColor>& Colors() const { return colors_; }
  // The band colours.
  const std::vector<classlib::TColor>& ColorList() const { return colorList_; }
  // Made only when PaletteRealize is set; owned here.
  HPALETTE GetPalette() const { return palette_; }

  // The extra stream property "ColorList": Colors as integers, stored only when Colors is not
  // empty. Reading it replaces Colors.
  bool ColorListStored() const { return !colors_.empty(); }
  std::vector<std::int32_t> WriteColorList() const;
  void ReadColorList(const std::vector<std::int32_t>& Values);

  void Assign(const classlib::TPersistent& Source) override;
  // Rebuilds the band colours, then notifies.
  void Change() override;
  std::string DesignText() const override;

 private:
  void BuildColors();
  void DeletePalette();

  classlib::TColor color_ = classlib::clBlue;
  int colorCount_ = 16;
  TVisGradientStyle style_ = TVisGradientStyle::gstVertical;
  classlib::TColor endColor_ = classlib::clBlack;
  bool paletteRealize_ = false;
  bool twoColors_ = true;
  std::vector<classlib::TColor> colors_;
  std::vector<classlib::TColor> colorList_;
  HPALETTE palette_ = nullptr;
};

// Appends Steps colours from C1 to C2 inclusive to List (cleared first when First); a later
// segment (First false) leaves out its first colour, which the previous segment ended with. One
// step gives C1 alone.
void BuildGradientColors(classlib::TColor C1, classlib::TColor C2, int Steps, bool First,
                         std::vector<classlib::TColor>& List);
// A logical palette of the colours in order; null for an empty list. The caller deletes it.
HPALETTE CreateGradientPalette(const std::vector<classlib::TColor>& List);
// Paints the colours into Rect of Canvas in Style. Flags: kGradientClip clips to Rect (shifted by
// ClipOffset, x in the low and y in the high 16 bits, signed); kGradientUseBitmap paints through
// an off-screen bitmap; kGradientUsePalette selects Palette while painting. The context is left
// with the clip region and palette it had.
void PaintGradient(classlib::TCanvas& Canvas, const RECT& Rect, TVisGradientStyle Style,
                   const std::vector<classlib::TColor>& ColorList, HPALETTE Palette, unsigned Flags,
                   std::uint32_t ClipOffset);

}  // namespace controls
