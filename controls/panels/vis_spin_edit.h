// The number field with an up/down button: TVisSpinButton (one square split along its diagonal into
// an upper "up" and a lower "down" half, repeating while held through the application object's
// timer slots), TVisCustomSpinEdit (the edit, its limits, keys and layout) and TVisSpinEdit.
#pragma once

#include <cstdint>
#include <string>

#include "classlib/graphics.h"
#include "classlib/stdctrls.h"

namespace controls {

class TVisSpinButton : public classlib::TGraphicControl {
 public:
  explicit TVisSpinButton(classlib::TComponent* AOwner);
  ~TVisSpinButton() override;

  // 0 nothing pressed, 1 the upper half, 2 the lower half, 3 disabled.
  int State() const { return state_; }
  // Milliseconds between repeats; the first repeat waits 200 ms longer.
  std::uint16_t Interval() const { return interval_; }
  void SetInterval(std::uint16_t value) { interval_ = value; }
  // The timer slot held for the repeat, 0 when none.
  std::uint16_t TimerIdent() const { return timer_; }
  // The mouse went elsewhere without a release here (capture lost): the press ends.
  void CancelPress();

  classlib::TNotifyEvent OnTopClick;
  classlib::TNotifyEvent OnBottomClick;

  void WndProc(classlib::TMessage& Message) override;

 protected:
  void Paint() override;
  void MouseDown(classlib::TMouseButton Button, classlib::TShiftState Shift, int X, int Y) override;
  void MouseMove(classlib::TShiftState Shift, int X, int Y) override;
  void MouseUp(classlib::TMouseButton Button, classlib::TShiftState Shift, int X, int Y) override;

 private:
  // 1 for the upper half, 2 for the lower one.
  int HalfAt(int X, int Y) const;
  void FireHalf(int half);
  void StartRepeat();
  void RepeatTick();
  void ReleaseTimer();
  void SetState(int value);
  void BuildFrames();
  void DrawFrame(int t);

  std::uint16_t timer_ = 0;
  classlib::TBitmap frames_;
  int state_ = 0;
  int pressed_ = 0;
  std::uint16_t interval_ = 100;
  bool held_ = false;
};

class TVisCustomSpinEdit : public classlib::TEdit {
 public:
  explicit TVisCustomSpinEdit(classlib::TComponent* AOwner);

  int MinValue() const { return minValue_; }
  // Ignored when equal, or (outside loading) when not below MaxValue; a Value above is lowered.
  void SetMinValue(int value);
  int MaxValue() const { return maxValue_; }
  void SetMaxValue(int value);
  int LineSize() const { return lineSize_; }
  void SetLineSize(int value) { lineSize_ = value; }
  int PageSize() const { return pageSize_; }
  void SetPageSize(int value) { pageSize_ = value; }
  // Off: the number changes only through the button, the arrow and page keys and the wheel.
  bool EditorEnabled() const { return editorEnabled_; }
  void SetEditorEnabled(bool value) { editorEnabled_ = value; }
  const std::string& Suffix() const { return suffix_; }
  // The text is rebuilt with the new suffix.
  void SetSuffix(const std::string& value);
  std::uint16_t Interval() const;
  void SetInterval(std::uint16_t value);
  classlib::TAlignment Alignment() const { return alignment_; }
  void SetAlignment(classlib::TAlignment value);
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool value) { autoSelect_ = value; }
  TVisSpinButton* Button() const { return button_; }

  virtual void UpClick();
  virtual void DownClick();
  virtual bool IsValidChar(wchar_t Key) const;

  void WndProc(classlib::TMessage& Message) override;

 protected:
  // Read from the text, which is repaired when it holds no number (then MinValue); not clamped.
  int Value();
  // Clamped to MinValue..MaxValue when those make a range; the text is the number and Suffix.
  void SetValue(int value);

  void CreateParams(classlib::TCreateParams& Params) override;
  void CreateWnd() override;
  void KeyDown(WORD& Key, classlib::TShiftState Shift) override;
  void KeyPress(wchar_t& Key) override;
  void DoEnter() override;
  void DoExit() override;

 private:
  int Clamped(int value) const;
  void LayOut();
  void Step(int delta);

  classlib::TAlignment alignment_ = classlib::TAlignment::taLeftJustify;
  int minValue_ = 0;
  int maxValue_ = 100;
  int lineSize_ = 1;
  int pageSize_ = 10;
  bool editorEnabled_ = true;
  bool autoSelect_ = true;
  TVisSpinButton* button_;
  classlib::TCustomControl* buttonHost_;
  std::string suffix_;
};

class TVisSpinEdit : public TVisCustomSpinEdit {
 public:
  using TVisCustomSpinEdit::TVisCustomSpinEdit;
  using TVisCustomSpinEdit::SetValue;
  using TVisCustomSpinEdit::Value;
};

}  // namespace controls
