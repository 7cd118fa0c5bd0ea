// The flat push button. For now a standard push button that keeps the colours the windows give
// it; its own painting replaces the inside later without changing this surface.
#pragma once

#include "classlib/graphics.h"
#include "classlib/stdctrls.h"

namespace controls {

class TFlatButton : public classlib::TButton {
 public:
  explicit TFlatButton(classlib::TComponent* AOwner) : TButton(AOwner) {}

  classlib::TColor ColorBorder() const { return colorBorder_; }
  void SetColorBorder(classlib::TColor value) { colorBorder_ = value; }
  classlib::TColor ColorHighLight() const { return colorHighLight_; }
  void SetColorHighLight(classlib::TColor value) { colorHighLight_ = value; }
  classlib::TColor ColorShadow() const { return colorShadow_; }
  void SetColorShadow(classlib::TColor value) { colorShadow_ = value; }
  classlib::TColor ColorFocused() const { return colorFocused_; }
  void SetColorFocused(classlib::TColor value) { colorFocused_ = value; }
  classlib::TColor ColorDown() const { return colorDown_; }
  void SetColorDown(classlib::TColor value) { colorDown_ = value; }
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int value) { modalResult_ = value; }

 private:
  classlib::TColor colorBorder_ = 0x008396A0;
  classlib::TColor colorHighLight_ = classlib::clWhite;
  classlib::TColor colorShadow_ = classlib::clBlack;
  classlib::TColor colorFocused_ = classlib::clWhite;
  classlib::TColor colorDown_ = 0x00C5D6D9;
  int modalResult_ = 0;
};

}  // namespace controls
