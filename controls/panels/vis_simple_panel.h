// The panel every window is laid out with, and the bevel that frames it. For now a plain panel
// that paints the bevel's rings and edges itself; the library's own painting replaces the inside
// later without changing this surface.
#pragma once

#include "classlib/graphics.h"
#include "classlib/stdctrls.h"
#include "controls/panels/vis_types.h"

namespace controls {

class TVisBevel {
 public:
  TVisBevelStyle StyleInner() const { return styleInner_; }
  void SetStyleInner(TVisBevelStyle value) { styleInner_ = value; Changed(); }
  TVisBevelStyle StyleOuter() const { return styleOuter_; }
  void SetStyleOuter(TVisBevelStyle value) { styleOuter_ = value; Changed(); }
  int WidthInner() const { return widthInner_; }
  void SetWidthInner(int value) { widthInner_ = value; Changed(); }
  int WidthOuter() const { return widthOuter_; }
  void SetWidthOuter(int value) { widthOuter_ = value; Changed(); }
  classlib::TColor BorderColor() const { return borderColor_; }
  void SetBorderColor(classlib::TColor value) { borderColor_ = value; Changed(); }
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int value) { borderWidth_ = value; Changed(); }
  int BorderInnerWidth() const { return borderInnerWidth_; }
  void SetBorderInnerWidth(int value) { borderInnerWidth_ = value; Changed(); }

  // The frame's width on each side.
  int Extent() const;
  // Paints the frame into r and shrinks r to the area inside it.
  void PaintFrame(classlib::TCanvas& canvas, RECT& r) const;

  std::function<void()> OnChange;

 private:
  void Changed() {
    if (OnChange) OnChange();
  }

  TVisBevelStyle styleInner_ = TVisBevelStyle::bvNone;
  TVisBevelStyle styleOuter_ = TVisBevelStyle::bvNone;
  int widthInner_ = 1;
  int widthOuter_ = 1;
  classlib::TColor borderColor_ = classlib::clBtnFace;
  int borderWidth_ = 0;
  int borderInnerWidth_ = 0;
};

class TVisSimplePanel : public classlib::TCustomControl {
 public:
  explicit TVisSimplePanel(classlib::TComponent* AOwner);
  TVisBevel& Bevel() { return bevel_; }

 protected:
  void AdjustClientRect(RECT& Rect) override;
  void Paint() override;

 private:
  TVisBevel bevel_;
};

}  // namespace controls
