// The flat tab control: a strip of tabs over a page area in which the window places its panels.
// It only reports the active tab; the window shows and hides its own pages. For now a standard
// tab strip.
#pragma once

#include "classlib/comctrls.h"
#include "classlib/graphics.h"

namespace controls {

class TFlatTabControl : public classlib::TTabControl {
 public:
  explicit TFlatTabControl(classlib::TComponent* AOwner) : TTabControl(AOwner) {
    OnChange = [this](classlib::TComponent*) {
      if (OnTabChanged) OnTabChanged(this);
    };
  }

  int ActiveTab() const { return TabIndex(); }
  // Clamped to the tabs; OnTabChanged fires every time, also for the current tab.
  void SetActiveTab(int value) {
    const int count = Tabs().Count();
    if (value > count - 1) value = count - 1;
    if (value < 0) value = count == 0 ? -1 : 0;
    SetTabIndex(value);
    if (OnTabChanged) OnTabChanged(this);
  }
  classlib::TColor ColorBorder() const { return colorBorder_; }
  void SetColorBorder(classlib::TColor value) { colorBorder_ = value; }

  classlib::TNotifyEvent OnTabChanged;

 private:
  classlib::TColor colorBorder_ = 0x008396A0;
};

}  // namespace controls
