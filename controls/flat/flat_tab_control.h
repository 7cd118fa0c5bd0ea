// The flat tab control: a strip of tabs along its top or bottom edge over a framed page area in
// which the window places its panels. It only reports the active tab (OnTabChanged); the window
// shows and hides its own pages. A click or Alt with a tab's accelerator activates a tab.
#pragma once

#include <vector>

#include "classlib/controls.h"
#include "classlib/graphics.h"
#include "classlib/stringlist.h"
#include "controls/flat/flat_utils.h"

namespace controls {

class TFlatTabControl : public classlib::TCustomControl {
 public:
  explicit TFlatTabControl(classlib::TComponent* AOwner);

  const classlib::TStringList& Tabs() const { return tabs_; }
  // Takes the captions without their outer blanks; an active tab past the end becomes the last.
  void SetTabs(const classlib::TStringList& value);
  void AddTab(const std::string& caption);
  // 0 without tabs.
  int ActiveTab() const { return activeTab_; }
  // Held within the tabs; OnTabChanged fires every time, also for the current tab.
  void SetActiveTab(int value);
  // Where tab index is drawn and clicked, in client coordinates.
  RECT TabRect(int index) const { return tabRects_[static_cast<size_t>(index)]; }

  TFlatTabPosition TabPosition() const { return tabPosition_; }
  // Moves the children with the page area, so they keep their place below the strip.
  void SetTabPosition(TFlatTabPosition value);
  int TabHeight() const { return tabHeight_; }
  void SetTabHeight(int value);
  int TabSpacing() const { return tabSpacing_; }
  void SetTabSpacing(int value);

  classlib::TColor ColorBorder() const { return colorBorder_; }
  void SetColorBorder(classlib::TColor value);
  classlib::TColor ColorUnselectedTab() const { return colorUnselectedTab_; }
  void SetColorUnselectedTab(classlib::TColor value);
  // While UseAdvColors, ColorBorder follows Color by this amount (0..100), Color the parent.
  TAdvColors AdvColorBorder() const { return advColorBorder_; }
  void SetAdvColorBorder(TAdvColors value);
  bool UseAdvColors() const { return useAdvColors_; }
  void SetUseAdvColors(bool value);

  classlib::TNotifyEvent OnTabChanged;
  void WndProc(classlib::TMessage& Message) override;

 protected:
  void Loaded() override;
  void AdjustClientRect(RECT& Rect) override;
  void Paint() override;
  void MouseDown(classlib::TMouseButton Button, classlib::TShiftState Shift, int X, int Y) override;

 private:
  void LayoutTabs();
  void DeriveAdvColors();
  bool DialogChar(wchar_t ch);
  int StripLine() const;

  bool useAdvColors_ = false;
  TAdvColors advColorBorder_ = 50;
  TFlatTabPosition tabPosition_ = TFlatTabPosition::tpTop;
  classlib::TStringList tabs_;
  std::vector<RECT> tabRects_;
  int tabHeight_ = 16;
  int tabSpacing_ = 4;
  int activeTab_ = 0;
  classlib::TColor colorUnselectedTab_ = 0x996633;
  classlib::TColor colorBorder_ = 0x8396A0;
};

}  // namespace controls
