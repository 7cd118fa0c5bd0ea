// The product's own look, shared by its windows: dark blue lines and frames on light backgrounds.
#pragma once

#include <string>

#include "classlib/graphics.h"
#include "controls/flat/flat_button.h"

namespace app {

constexpr classlib::TColor kLineColor = 0x996633;
constexpr classlib::TColor kBackColor = 0xF5DEDE;

// A flat button of the product's colours on parent.
inline controls::TFlatButton* NewFlatButton(classlib::TComponent* owner, classlib::TWinControl* parent,
                                            const std::string& caption) {
  auto* button = new controls::TFlatButton(owner);
  button->SetParent(parent);
  button->SetCaption(caption);
  button->SetColorBorder(kLineColor);
  return button;
}

}  // namespace app
