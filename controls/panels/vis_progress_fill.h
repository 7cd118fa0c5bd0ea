// The progress bar of the windows: a meter whose bar is painted by a fill object (a gradient in
// the windows), on the empty part's Color, framed by its bevel. The application sets MaxValue and
// UserValue, and Position to reset it; everything else comes from the window.
#pragma once

#include <cstdint>

#include "controls/panels/vis_fill.h"
#include "controls/panels/vis_meter.h"

namespace controls {

class TVisCustomProgressFill : public TVisBaseMeter {
 public:
  explicit TVisCustomProgressFill(classlib::TComponent* AOwner);
  ~TVisCustomProgressFill() override;

  TVisFillObject& FillObject() { return fillObject_; }
  // Copies Value.
  void SetFillObject(const TVisFillObject& Value) { fillObject_.Assign(Value); }
  // The colour behind the fill's bitmaps and in the gaps of its hatches.
  classlib::TColor BrushBackColor() const { return brushBackColor_; }
  void SetBrushBackColor(classlib::TColor Value);
  // A border drawn around the bar while it is not empty.
  TVisBorderStyle Bar3D() const { return bar3D_; }
  void SetBar3D(TVisBorderStyle Value);

 protected:
  void ImageChanged(int Flag) override;
  void PaintBar(classlib::TCanvas& Canvas, const RECT& BarRect, const RECT& AreaRect, const RECT& RestRect) override;

 private:
  TVisFillObject fillObject_;
  classlib::TColor brushBackColor_ = classlib::clBtnFace;
  TVisBorderStyle bar3D_ = TVisBorderStyle::lsNone;
};

class TVisProgressFill : public TVisCustomProgressFill {
 public:
  explicit TVisProgressFill(classlib::TComponent* AOwner) : TVisCustomProgressFill(AOwner) {}

  // Kept for the window's settings; the bar does not use it.
  int Step() const { return step_; }
  void SetStep(std::uint8_t Value) { step_ = Value; }

 private:
  int step_ = 10;
};

}  // namespace controls
