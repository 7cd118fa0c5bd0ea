// The flat hint: placed on the main window, it makes the application show its hints in
// TFlatHintWindow, a borderless box with a coloured strip on one side whose small arrow points at
// the mouse; the box opens away from the screen corner nearest to the cursor.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "classlib/component.h"
#include "classlib/graphics.h"
#include "classlib/hint_window.h"

namespace controls {

// The look of a flat hint: the settings TFlatHint stores, with its defaults.
struct TFlatHintLook {
  classlib::TColor ColorBackground = 0xFFFFFF;
  classlib::TColor ColorBorder = 0x000000;
  classlib::TColor ColorArrowBackground = 0x53D2FF;
  classlib::TColor ColorArrow = 0x000000;
  int MaxHintWidth = 200;
};

class TFlatHint : public classlib::TComponent {
 public:
  explicit TFlatHint(classlib::TComponent* AOwner);
  ~TFlatHint() override;

  // All take effect at the next hint.
  classlib::TFont& Font() { return font_; }
  const classlib::TFont& Font() const { return font_; }
  classlib::TColor ColorBackground() const { return look_.ColorBackground; }
  void SetColorBackground(classlib::TColor value) { look_.ColorBackground = value; }
  classlib::TColor ColorBorder() const { return look_.ColorBorder; }
  void SetColorBorder(classlib::TColor value) { look_.ColorBorder = value; }
  classlib::TColor ColorArrowBackground() const { return look_.ColorArrowBackground; }
  void SetColorArrowBackground(classlib::TColor value) { look_.ColorArrowBackground = value; }
  classlib::TColor ColorArrow() const { return look_.ColorArrow; }
  void SetColorArrow(classlib::TColor value) { look_.ColorArrow = value; }
  int MaxHintWidth() const { return look_.MaxHintWidth; }
  void SetMaxHintWidth(int value) { look_.MaxHintWidth = value; }
  const TFlatHintLook& Look() const { return look_; }

  // The application's OnShowHint, passed on.
  classlib::TShowHintEvent OnShowHint;

 private:
  struct TForwardShowHint;

  classlib::TFont font_;
  TFlatHintLook look_;
};

class TFlatHintWindow : public classlib::THintWindow {
 public:
  // The screen quadrant the cursor was in when the hint opened; the box lies towards the middle.
  enum class TArrowCorner { TopRight = 0, TopLeft = 1, BottomRight = 2, BottomLeft = 3 };

  explicit TFlatHintWindow(classlib::TComponent* AOwner);
  // Places the box by the cursor; of Rect only the left edge counts.
  void ActivateHint(RECT Rect, const std::string& AHint) override;
  TArrowCorner ArrowCorner() const { return arrowCorner_; }

 protected:
  void CreateParams(classlib::TCreateParams& Params) override;
  void Paint() override;
  void Notification(classlib::TComponent* AComponent, classlib::TOperation Operation) override;

 private:
  // The first TFlatHint on the main window, or null.
  static TFlatHint* FindSettings();
  // The settings' look, TFlatHint's defaults without settings.
  TFlatHintLook Look() const { return settings_ ? settings_->Look() : TFlatHintLook(); }
  const classlib::TFont& HintFont() const { return settings_ ? settings_->Font() : Font(); }

  TArrowCorner arrowCorner_ = TArrowCorner::TopLeft;
  POINT arrowPos_ = {0, 0};
  TFlatHint* settings_ = nullptr;
};

}  // namespace controls
