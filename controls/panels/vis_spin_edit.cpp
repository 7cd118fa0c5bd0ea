#include "controls/panels/vis_spin_edit.h"

#include <algorithm>
#include <cstdlib>

namespace controls {

TVisSpinEdit::TVisSpinEdit(classlib::TComponent* AOwner) : TEdit(AOwner), arrows_(new classlib::TUpDown(this)) {
  SetText("0");
  arrows_->SetParent(this);
  arrows_->SetRange(-1, 1);
  arrows_->OnChange = [this](classlib::TComponent*) {
    const int step = arrows_->Position();
    arrows_->SetPosition(0);
    if (step > 0) UpClick();
    if (step < 0) DownClick();
  };
}

void TVisSpinEdit::CreateWnd() {
  TEdit::CreateWnd();
  // Leaves room for the arrows inside the edit.
  SendMessageW(Handle(), EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, 17));
}

void TVisSpinEdit::Loaded() {
  TEdit::Loaded();
  const RECT r = ClientRect();
  arrows_->SetBounds(r.right - 16, 0, 16, r.bottom);
}

void TVisSpinEdit::WndProc(classlib::TMessage& m) {
  if (m.Msg == WM_SIZE || m.Msg == classlib::CM_RECREATEWND) {
    TEdit::WndProc(m);
    const RECT r = ClientRect();
    arrows_->SetBounds(r.right - 16, 0, 16, r.bottom);
    return;
  }
  if (m.Msg == WM_KEYDOWN && (m.WParam == VK_UP || m.WParam == VK_DOWN)) {
    if (m.WParam == VK_UP) UpClick(); else DownClick();
    return;
  }
  if (m.Msg == WM_MOUSEWHEEL) {
    if (static_cast<short>(HIWORD(m.WParam)) > 0) UpClick(); else DownClick();
    return;
  }
  TEdit::WndProc(m);
}

int TVisSpinEdit::Value() {
  std::string digits;
  for (char c : Text())
    if (c == '+' || c == '-' || (c >= '0' && c <= '9')) digits += c;
  char* end = nullptr;
  const long parsed = digits.empty() ? minValue_ : std::strtol(digits.c_str(), &end, 10);
  const bool ok = digits.empty() || (end && *end == '\0');
  return ok ? static_cast<int>(parsed) : minValue_;
}

void TVisSpinEdit::SetValue(int value) {
  if (minValue_ != maxValue_) value = std::clamp(value, minValue_, maxValue_);
  SetText(std::to_string(value) + suffix_);
}

void TVisSpinEdit::SetMinValue(int value) {
  if (value == minValue_ || (value >= maxValue_ && !Loading())) return;
  minValue_ = value;
  if (Value() < value) SetValue(value);
}

void TVisSpinEdit::SetMaxValue(int value) {
  if (value == maxValue_ || (value <= minValue_ && !Loading())) return;
  maxValue_ = value;
  if (Value() > value) SetValue(value);
}

void TVisSpinEdit::SetEditorEnabled(bool value) {
  editorEnabled_ = value;
  SetReadOnly(!value);
  SetColor(classlib::clWindow);
}

void TVisSpinEdit::SetSuffix(const std::string& value) {
  if (value == suffix_) return;
  const int current = Value();
  suffix_ = value;
  SetValue(current);
}

}  // namespace controls
