// The number field with up and down arrows. For now an edit with the system's up-down buttons
// inside it; the value rules are the library's.
#pragma once

#include <string>

#include "classlib/comctrls.h"
#include "classlib/stdctrls.h"

namespace controls {

class TVisSpinEdit : public classlib::TEdit {
 public:
  explicit TVisSpinEdit(classlib::TComponent* AOwner);

  // Read from the text (repaired to MinValue when it holds no number).
  int Value();
  // Clamped to MinValue..MaxValue unless the two are equal.
  void SetValue(int value);
  int MinValue() const { return minValue_; }
  void SetMinValue(int value);
  int MaxValue() const { return maxValue_; }
  void SetMaxValue(int value);
  int LineSize() const { return lineSize_; }
  void SetLineSize(int value) { lineSize_ = value; }
  bool EditorEnabled() const { return editorEnabled_; }
  void SetEditorEnabled(bool value);
  const std::string& Suffix() const { return suffix_; }
  void SetSuffix(const std::string& value);

  void UpClick() { SetValue(Value() + lineSize_); }
  void DownClick() { SetValue(Value() - lineSize_); }
  void WndProc(classlib::TMessage& Message) override;

 protected:
  void CreateWnd() override;
  void Loaded() override;

 private:
  int minValue_ = 0;
  int maxValue_ = 100;
  int lineSize_ = 1;
  bool editorEnabled_ = true;
  std::string suffix_;
  classlib::TUpDown* arrows_;
};

}  // namespace controls
