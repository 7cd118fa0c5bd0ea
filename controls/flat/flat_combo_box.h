// The flat combo box. For now a standard combo box that keeps the colours the windows give it.
#pragma once

#include "classlib/graphics.h"
#include "classlib/stdctrls.h"

namespace controls {

class TFlatComboBox : public classlib::TComboBox {
 public:
  explicit TFlatComboBox(classlib::TComponent* AOwner) : TComboBox(AOwner) {}

  classlib::TColor ColorBorder() const { return colorBorder_; }
  void SetColorBorder(classlib::TColor value) { colorBorder_ = value; }
  classlib::TColor ColorFlat() const { return colorFlat_; }
  void SetColorFlat(classlib::TColor value) { colorFlat_ = value; }
  classlib::TColor ColorArrow() const { return colorArrow_; }
  void SetColorArrow(classlib::TColor value) { colorArrow_ = value; }
  classlib::TColor ColorArrowBackground() const { return colorArrowBackground_; }
  void SetColorArrowBackground(classlib::TColor value) { colorArrowBackground_ = value; }

 private:
  classlib::TColor colorBorder_ = 0x008396A0;
  classlib::TColor colorFlat_ = classlib::clWindow;
  classlib::TColor colorArrow_ = classlib::clBlack;
  classlib::TColor colorArrowBackground_ = 0x00C5D6D9;
};

}  // namespace controls
