// The flat edit. For now a standard edit that keeps the frame colours the windows give it.
#pragma once

#include "classlib/graphics.h"
#include "classlib/stdctrls.h"

namespace controls {

class TFlatEdit : public classlib::TEdit {
 public:
  explicit TFlatEdit(classlib::TComponent* AOwner) : TEdit(AOwner) {}

  classlib::TColor ColorBorder() const { return colorBorder_; }
  void SetColorBorder(classlib::TColor value) { colorBorder_ = value; }
  classlib::TColor ColorFlat() const { return colorFlat_; }
  void SetColorFlat(classlib::TColor value) { colorFlat_ = value; }
  classlib::TColor ColorFocused() const { return colorFocused_; }
  void SetColorFocused(classlib::TColor value) { colorFocused_ = value; }

 private:
  classlib::TColor colorBorder_ = 0x008396A0;
  classlib::TColor colorFlat_ = classlib::clWindow;
  classlib::TColor colorFocused_ = classlib::clWhite;
};

}  // namespace controls
