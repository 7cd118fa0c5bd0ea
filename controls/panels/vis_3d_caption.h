// The 3-D text effect of the pack's captions (sunken, raised, shadowed, outlined, extruded) and
// the painter that draws a text with it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "classlib/graphics.h"
#include "controls/panels/vis_object.h"

namespace controls {

enum class TVisDisabledStyle : std::uint8_t { dsAuto, dsStandard, ds3d, dsNone };
enum class TVisThreeDOrientation : std::uint8_t { toBottomLeft, toBottomRight, toTopLeft, toTopRight };
enum class TVisThreeDStyle : std::uint8_t {
  tdNone,
  tdSunken,
  tdRaised,
  tdSunkenShadow,
  tdRaisedShadow,
  tdPColorSunken,
  tdPColorRaised,
  tdShadow,
  tdOutline,
  tdExtrude,
  tdExtrudeEnh,
};

class TVis3DCaption : public TVisObject {
 public:
  TVisDisabledStyle DisabledStyle() const { return disabledStyle_; }
  void SetDisabledStyle(TVisDisabledStyle Value);
  int LightDepth() const { return depth_[0]; }
  int ShadowDepth() const { return depth_[1]; }
  // Index 0 LightDepth, 1 ShadowDepth.
  void SetDepth(int Index, std::uint8_t Value);
  void SetLightDepth(std::uint8_t Value) { SetDepth(0, Value); }
  void SetShadowDepth(std::uint8_t Value) { SetDepth(1, Value); }
  classlib::TColor LightColor() const { return color_[0]; }
  classlib::TColor ShadowColor() const { return color_[1]; }
  // Index 0 LightColor, 1 ShadowColor.
  void SetColor(int Index, classlib::TColor Value);
  void SetLightColor(classlib::TColor Value) { SetColor(0, Value); }
  void SetShadowColor(classlib::TColor Value) { SetColor(1, Value); }
  TVisThreeDOrientation Orientation() const { return orientation_; }
  void SetOrientation(TVisThreeDOrientation Value);
  TVisThreeDStyle Style() const { return style_; }
  void SetStyle(TVisThreeDStyle Value);
  // Extra pixels between characters.
  int Tracing() const { return tracing_; }
  void SetTracing(int Value);

  // Copies everything but Orientation, then notifies once.
  void Assign(const classlib::TPersistent& Source) override;
  std::string DesignText() const override;

 private:
  TVisDisabledStyle disabledStyle_ = TVisDisabledStyle::dsAuto;
  std::uint8_t depth_[2] = {1, 1};
  classlib::TColor color_[2] = {classlib::clBtnHighlight, classlib::clBtnShadow};
  TVisThreeDOrientation orientation_ = TVisThreeDOrientation::toTopLeft;
  TVisThreeDStyle style_ = TVisThreeDStyle::tdNone;
  int tracing_ = 0;
};

// DrawText3D's flags.
constexpr unsigned kText3DEnabled = 0x2;
// A disabled control prefers the sunken look.
constexpr unsigned kText3DDisabledSunken = 0x4;
// Clip to ClipRect, or to Rect when none is given.
constexpr unsigned kText3DClip = 0x8;

// Draws Text into Rect with the DT_ format flags Format and the effect of Caption (plain text
// without one). The context's clip region and character spacing are put back afterwards.
void DrawText3D(classlib::TCanvas& Canvas, const std::string& Text, const TVis3DCaption* Caption,
                const RECT* ClipRect, unsigned Flags, UINT Format, const RECT& Rect);

}  // namespace controls
