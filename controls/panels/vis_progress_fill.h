// The progress bar of the windows: a value between MinValue and MaxValue, shown as a percentage.
// For now the system's progress bar in the product's colours; the value rules are the library's.
#pragma once

#include <cstdint>

#include "classlib/comctrls.h"

namespace controls {

class TVisProgressFill : public classlib::TProgressBar {
 public:
  explicit TVisProgressFill(classlib::TComponent* AOwner);

  int MinValue() const { return minValue_; }
  int MaxValue() const { return maxValue_; }
  int UserValue() const { return userValue_; }
  // 0..100.
  int Position() const { return position_; }
  // A value equal to the maximum or the minimum changes nothing; one below the minimum swaps roles.
  void SetMaxValue(int value);
  void SetMinValue(int value);
  // Values outside the range are ignored.
  void SetUserValue(int value);
  // Above 100 counts as 100; the value follows the percentage.
  void SetPosition(int value);

 protected:
  void CreateWnd() override;

 private:
  int Percentage(int value) const;
  void Show();

  int minValue_ = 0;
  int maxValue_ = 100;
  int userValue_ = 0;
  int position_ = 0;
};

}  // namespace controls
