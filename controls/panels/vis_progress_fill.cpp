#include "controls/panels/vis_progress_fill.h"

#include <windows.h>
#include <uxtheme.h>

#include <algorithm>
#include <cmath>

namespace controls {

TVisProgressFill::TVisProgressFill(classlib::TComponent* AOwner) : TProgressBar(AOwner) {
  SetBarColor(0x996633);
  SetBackColor(0xF5DEDE);
  TProgressBar::SetRange(0, 100);
}

// A visual style would paint the system's bar over the product's colours.
void TVisProgressFill::CreateWnd() {
  TProgressBar::CreateWnd();
  SetWindowTheme(Handle(), L" ", L" ");
}

// Rounded half to even, as the library rounds, and in 64 bits: the range may span all of int.
int TVisProgressFill::Percentage(int value) const {
  const std::int64_t span = static_cast<std::int64_t>(maxValue_) - minValue_;
  if (span <= 0) return 0;
  const double exact = static_cast<double>(static_cast<std::int64_t>(value) - minValue_) * 100.0 / static_cast<double>(span);
  return std::clamp(static_cast<int>(std::nearbyint(exact)), 0, 100);
}

void TVisProgressFill::Show() { TProgressBar::SetPosition(position_); }

void TVisProgressFill::SetMaxValue(int value) {
  if (value == maxValue_ || value == minValue_) return;
  const int oldMin = minValue_;
  minValue_ = std::min(value, oldMin);
  maxValue_ = std::max(value, oldMin);
  if (userValue_ < minValue_ || userValue_ > maxValue_) userValue_ = maxValue_;
  position_ = Percentage(userValue_);
  Show();
}

void TVisProgressFill::SetMinValue(int value) {
  if (value == minValue_ || value == maxValue_) return;
  const int oldMax = maxValue_;
  minValue_ = std::min(value, oldMax);
  maxValue_ = std::max(value, oldMax);
  if (userValue_ < minValue_ || userValue_ > maxValue_) userValue_ = minValue_;
  position_ = Percentage(userValue_);
  Show();
}

void TVisProgressFill::SetUserValue(int value) {
  if (value == userValue_ || value < minValue_ || value > maxValue_) return;
  userValue_ = value;
  position_ = Percentage(value);
  Show();
}

void TVisProgressFill::SetPosition(int value) {
  value = std::clamp(value, 0, 100);
  if (value == position_) return;
  position_ = value;
  userValue_ = minValue_ + static_cast<int>(std::lround(value * 0.01 * (static_cast<double>(maxValue_) - minValue_)));
  Show();
}

}  // namespace controls
