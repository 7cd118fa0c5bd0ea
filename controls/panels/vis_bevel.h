// The frame around a panel or a meter: which of four modes draws it, its styles, widths, colours
// and sides. The frame's width (its extent) is what owners subtract from their client area and
// align their children by; PaintFrame draws the frame and gives the area inside it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "classlib/graphics.h"
#include "controls/panels/vis_object.h"
#include "controls/panels/vis_types.h"

namespace controls {

enum class TVisBevelMode : std::uint8_t { bmCustom, bmStandard, bmEdge, bmWindows };

enum class TVisEdgeStyle : std::uint8_t {
  etRaisedInner,
  etRaisedOuter,
  etSunkenInner,
  etSunkenOuter,
  etBump,
  etEtched,
  etRaised,
  etSunken,
};

// TVisFrameSides, one bit a side.
using TVisFrameSides = std::uint8_t;
constexpr TVisFrameSides fsBottom = 0x01;
constexpr TVisFrameSides fsLeft = 0x02;
constexpr TVisFrameSides fsRight = 0x04;
constexpr TVisFrameSides fsTop = 0x08;
constexpr TVisFrameSides kAllFrameSides = fsBottom | fsLeft | fsRight | fsTop;

using TVisBevelWidth = std::uint8_t;
using TVisBorderWidth = std::uint8_t;

class TVisBevel : public TVisObject {
 public:
  TVisBevel() = default;

  TVisBevelStyle StyleInner() const { return styleInner_; }
  // Shadow is a style of both sides at once: setting it on one side sets it on the other, and
  // leaving it on one side takes it off the other.
  void SetStyleInner(TVisBevelStyle Value);
  TVisBevelStyle StyleOuter() const { return styleOuter_; }
  void SetStyleOuter(TVisBevelStyle Value);
  TVisBevelWidth WidthInner() const { return widthInner_; }
  void SetWidthInner(TVisBevelWidth Value);
  TVisBevelWidth WidthOuter() const { return widthOuter_; }
  void SetWidthOuter(TVisBevelWidth Value);
  classlib::TColor BorderColor() const { return colors_[0]; }
  classlib::TColor LightColor() const { return colors_[1]; }
  classlib::TColor ShadowColor() const { return colors_[2]; }
  // Index 0 BorderColor, 1 LightColor, 2 ShadowColor.
  void SetColor(int Index, classlib::TColor Value);
  void SetBorderColor(classlib::TColor Value) { SetColor(0, Value); }
  void SetLightColor(classlib::TColor Value) { SetColor(1, Value); }
  void SetShadowColor(classlib::TColor Value) { SetColor(2, Value); }
  TVisFrameSides BorderSides() const { return borderSides_; }
  void SetBorderSides(TVisFrameSides Value);
  // Rings in BorderColor between the outer and the inner bevel.
  TVisBorderWidth BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(TVisBorderWidth Value);
  // Rings in BorderColor inside everything else, in every mode.
  TVisBorderWidth BorderInnerWidth() const { return borderInnerWidth_; }
  void SetBorderInnerWidth(TVisBorderWidth Value);
  TVisEdgeStyle EdgeStyle() const { return edgeStyle_; }
  void SetEdgeStyle(TVisEdgeStyle Value);
  TVisBevelMode Mode() const { return mode_; }
  void SetMode(TVisBevelMode Value);
  TVisBorderStyle StandardStyle() const { return standardStyle_; }
  // Notifies only in bmStandard, the one mode that draws it.
  void SetStandardStyle(TVisBorderStyle Value);

  // Set by a windowed owner that shows bmWindows as its window's client edge; the extents follow
  // without a change notification.
  bool ClientEdgeSupported() const { return clientEdgeSupported_; }
  void SetClientEdgeSupported(bool Value);
  // Whether the owner's window must be made again for the client edge; clears the request.
  bool TakeRecreateNeeded();

  // The frame's width at the left and top, and at the right and bottom.
  int Extent() const { return extent_; }
  int ExtentRightBottom() const { return extentRightBottom_; }
  // Rect without the frame.
  RECT InnerRect(const RECT& Rect) const;
  // Draws the frame along the edges of Rect and gives InnerRect(Rect). Transparent leaves out the
  // rings in BorderColor (and the shadow's corners) so that what lies below shows through.
  void PaintFrame(classlib::TCanvas& Canvas, const RECT& Rect, RECT& Inner, bool Transparent) const;

  // The extents follow the settings, then the owner hears of the change.
  void Change() override;
  // From another bevel: every setting and ClientEdgeSupported, then one change.
  void Assign(const classlib::TPersistent& Source) override;
  std::string DesignText() const override;

 private:
  int FrameWidth() const;
  bool ShadowFrame() const;
  void UpdateExtents();

  TVisBevelStyle styleInner_ = TVisBevelStyle::bvNone;
  TVisBevelStyle styleOuter_ = TVisBevelStyle::bvNone;
  TVisBevelWidth widthInner_ = 1;
  TVisBevelWidth widthOuter_ = 1;
  classlib::TColor colors_[3] = {classlib::clBtnFace, classlib::clBtnHighlight, classlib::clBtnShadow};
  TVisFrameSides borderSides_ = kAllFrameSides;
  TVisBorderWidth borderWidth_ = 0;
  TVisBorderWidth borderInnerWidth_ = 0;
  TVisEdgeStyle edgeStyle_ = TVisEdgeStyle::etEtched;
  TVisBevelMode mode_ = TVisBevelMode::bmCustom;
  TVisBorderStyle standardStyle_ = TVisBorderStyle::lsSingleLowered;
  bool clientEdgeSupported_ = false;
  bool recreateNeeded_ = false;
  int extent_ = 0;
  int extentRightBottom_ = 0;
};

}  // namespace controls
