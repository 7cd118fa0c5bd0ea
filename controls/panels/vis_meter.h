// The windowless bases of the meters: TVisBaseGraphicControl (transparent or opaque, repainted at
// once or invalidated), TVisGraphicControl (a bevel frame) and TVisBaseMeter (a value between
// MinValue and MaxValue shown as a bar of its percentage, painted off-screen in one of four
// directions, optionally with a caption or the percentage as text).
#pragma once

#include <windows.h>

#include <cstdint>

#include "controls/panels/vis_3d_caption.h"
#include "controls/panels/vis_bevel.h"
#include "controls/panels/vis_control.h"

namespace controls {

class TVisBaseGraphicControl : public TVisBaseControl {
 public:
  explicit TVisBaseGraphicControl(classlib::TComponent* AOwner);

  // Transparent controls leave what lies below them and are invalidated; opaque ones paint every
  // pixel and are repainted at once.
  bool Transparent() const { return transparent_; }
  void SetOpaque();

 protected:
  bool UsesParentBackground() const override;
  void Redraw(int Flag) override;
  // Nothing while updating; an opaque control paints at once (only while it and its parent are
  // shown), a transparent one is invalidated.
  void RepaintOrInvalidate();
  // The change handler of the control's settings objects.
  virtual void GetChange(TObject* Sender);

 private:
  bool transparent_ = true;
};

class TVisGraphicControl : public TVisBaseGraphicControl {
 public:
  explicit TVisGraphicControl(classlib::TComponent* AOwner);
  ~TVisGraphicControl() override;

  TVisBevel& Bevel() { return bevel_; }
  // Copies Value.
  void SetBevel(const TVisBevel& Value);

 protected:
  void Paint() override;

 private:
  TVisBevel bevel_;
};

enum class TVisMeterDirection : std::uint8_t { mdHorizontal, mdVertical, mdHorizontalReverse, mdVerticalReverse };
enum class TVisMeterTextOptions : std::uint8_t { toNoText, toCaption, toPercent };

class TVisBaseMeter : public TVisGraphicControl {
 public:
  explicit TVisBaseMeter(classlib::TComponent* AOwner);
  ~TVisBaseMeter() override;

  int MinValue() const { return minValue_; }
  int MaxValue() const { return maxValue_; }
  int UserValue() const { return userValue_; }
  // 0..100.
  int Position() const { return position_; }
  // A value equal to the maximum or the minimum changes nothing; one beyond the other end swaps
  // their roles. A value outside the new range moves to the end that moved.
  void SetMaxValue(int Value);
  void SetMinValue(int Value);
  // Values outside the range are ignored.
  void SetUserValue(int Value);
  // Above 100 counts as 100; the value follows the percentage.
  void SetPosition(int Value);
  // A value change repaints only once the percentage moved by Delta, or reached 0 or 100.
  int Delta() const { return delta_; }
  void SetDelta(std::uint8_t Value) { delta_ = Value ? Value : 1; }

  classlib::TAlignment Alignment() const { return alignment_; }
  void SetAlignment(classlib::TAlignment Value);
  TVisMeterDirection Direction() const { return direction_; }
  void SetDirection(TVisMeterDirection Value);
  TVisMeterTextOptions OptionsText() const { return optionsText_; }
  void SetOptionsText(TVisMeterTextOptions Value);
  bool UseFontColor() const { return useFontColor_; }
  void SetUseFontColor(bool Value);
  TVis3DCaption& Font3D() { return font3D_; }
  void SetFont3D(const TVis3DCaption& Value) { font3D_.Assign(Value); }

  // The percentage of a value in the range, rounded half to even.
  int Percentage(int Value) const;

  void WndProc(classlib::TMessage& Message) override;

 protected:
  // A window paint: always the current value.
  void Paint() override;
  // The bar, the whole area inside the frame, and the rest of it.
  virtual void PaintBar(classlib::TCanvas& Canvas, const RECT& BarRect, const RECT& AreaRect, const RECT& RestRect);
  virtual int CurrentPercent() const { return position_; }
  // Paints after a value change when the percentage moved far enough since the last paint.
  void ApplyRepaintRule();
  // Text laid out over the area: in Color where it lies on the bar and in RestColor on the rest,
  // or all in the font's colour with UseFontColor.
  void PaintText(classlib::TCanvas& Canvas, const std::string& Text, const RECT& BarRect, const RECT& AreaRect,
                 const RECT& RestRect, classlib::TColor RestColor);

 private:
  void PaintMeter();
  // The frame into Canvas; gives the area inside it.
  RECT PaintFrame(classlib::TCanvas& Canvas, const RECT& Client);
  void RangeChanged();

  TVis3DCaption font3D_;
  classlib::TAlignment alignment_ = classlib::TAlignment::taCenter;
  TVisMeterDirection direction_ = TVisMeterDirection::mdHorizontal;
  int maxValue_ = 100;
  int minValue_ = 0;
  int position_ = 0;
  int lastPainted_ = 0;
  TVisMeterTextOptions optionsText_ = TVisMeterTextOptions::toNoText;
  bool useFontColor_ = false;
  int userValue_ = 0;
  int delta_ = 1;
  bool painting_ = false;
};

}  // namespace controls
