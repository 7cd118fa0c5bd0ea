// The date picker: a title bar with two arrow buttons and the month (or year) between them, and
// the calendar grid below, whose cells the calendar paints in its thirteen colours.
#pragma once

#include <array>
#include <string>

#include "classlib/stdctrls.h"
#include "classlib/timer.h"
#include "controls/flat/calendar_grid.h"

namespace controls {

class TDateCalendar;

// Whether the "Symbol" font is installed as a font of symbols (its character map has the symbol
// encoding), where the characters 0xAC and 0xAE are the arrows left and right. Wine's "Symbol" is a
// font of Unicode characters, whose 0xAC and 0xAE are other signs.
bool SymbolFontArrows();

// The calendar's colours, indexed 0..12; a change goes to the calendar's controls at once.
class TDateCalendarColors : public classlib::TPersistent {
 public:
  enum Index {
    BackColorIndex, TextColorIndex, TitleBackColorIndex, TitleTextColorIndex, MonthBackColorIndex,
    TrailingTextColorIndex, TodaysColorIndex, TodaysBorderColorIndex, TodaysTextColorIndex,
    SelectedBorderColorIndex, SelectedColorIndex, SelectedTextColorIndex, FlyByColorIndex, ColorCount
  };

  explicit TDateCalendarColors(TDateCalendar* AOwner);
  classlib::TColor Color(int index) const { return colors_[static_cast<size_t>(index)]; }
  void SetColor(int index, classlib::TColor value);
  // Copies and applies the colours of another set; any other source raises EConvertError
  // "<its class> kann nicht zu  TDateCalendarColors zugewiesen werden".
  void Assign(const classlib::TPersistent& Source) override;

  classlib::TColor BackColor() const { return Color(BackColorIndex); }
  void SetBackColor(classlib::TColor c) { SetColor(BackColorIndex, c); }
  // Stored only: day texts are always white.
  classlib::TColor TextColor() const { return Color(TextColorIndex); }
  void SetTextColor(classlib::TColor c) { SetColor(TextColorIndex, c); }
  classlib::TColor TitleBackColor() const { return Color(TitleBackColorIndex); }
  void SetTitleBackColor(classlib::TColor c) { SetColor(TitleBackColorIndex, c); }
  classlib::TColor TitleTextColor() const { return Color(TitleTextColorIndex); }
  void SetTitleTextColor(classlib::TColor c) { SetColor(TitleTextColorIndex, c); }
  // Stored only.
  classlib::TColor MonthBackColor() const { return Color(MonthBackColorIndex); }
  void SetMonthBackColor(classlib::TColor c) { SetColor(MonthBackColorIndex, c); }
  classlib::TColor TrailingTextColor() const { return Color(TrailingTextColorIndex); }
  void SetTrailingTextColor(classlib::TColor c) { SetColor(TrailingTextColorIndex, c); }
  classlib::TColor TodaysColor() const { return Color(TodaysColorIndex); }
  void SetTodaysColor(classlib::TColor c) { SetColor(TodaysColorIndex, c); }
  classlib::TColor TodaysBorderColor() const { return Color(TodaysBorderColorIndex); }
  void SetTodaysBorderColor(classlib::TColor c) { SetColor(TodaysBorderColorIndex, c); }
  classlib::TColor TodaysTextColor() const { return Color(TodaysTextColorIndex); }
  void SetTodaysTextColor(classlib::TColor c) { SetColor(TodaysTextColorIndex, c); }
  classlib::TColor SelectedBorderColor() const { return Color(SelectedBorderColorIndex); }
  void SetSelectedBorderColor(classlib::TColor c) { SetColor(SelectedBorderColorIndex, c); }
  classlib::TColor SelectedColor() const { return Color(SelectedColorIndex); }
  void SetSelectedColor(classlib::TColor c) { SetColor(SelectedColorIndex, c); }
  classlib::TColor SelectedTextColor() const { return Color(SelectedTextColorIndex); }
  void SetSelectedTextColor(classlib::TColor c) { SetColor(SelectedTextColorIndex, c); }
  classlib::TColor FlyByColor() const { return Color(FlyByColorIndex); }
  void SetFlyByColor(classlib::TColor c) { SetColor(FlyByColorIndex, c); }

 private:
  TDateCalendar* owner_;
  std::array<classlib::TColor, ColorCount> colors_;
};

// A label of the title bar that lights up under the mouse and, held down, clicks after 400 ms, then
// every 100 ms, and once more on release, as every click does.
class TCalendarButton : public classlib::TLabel {
 public:
  explicit TCalendarButton(classlib::TComponent* AOwner);

  classlib::TColor FlyByColor() const { return flyByColor_; }
  void SetFlyByColor(classlib::TColor value);
  bool AllowTimer() const { return allowTimer_; }
  void SetAllowTimer(bool value) { allowTimer_ = value; }
  // Takes the focus when the button is pressed.
  classlib::TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(classlib::TWinControl* value) { focusControl_ = value; }
  // The text colour, kept for after the hover when the mouse is over the button.
  void SetTextColor(classlib::TColor value);
  // Created on the first press.
  classlib::TTimer* RepeatTimer() const { return timer_; }

  void WndProc(classlib::TMessage& Message) override;

 protected:
  void MouseDown(classlib::TMouseButton Button, classlib::TShiftState Shift, int X, int Y) override;
  void MouseUp(classlib::TMouseButton Button, classlib::TShiftState Shift, int X, int Y) override;

 private:
  void TimerTick();
  void StopTimer();

  classlib::TColor flyByColor_ = classlib::clRed;
  bool hasSavedColor_ = false;
  classlib::TColor savedColor_ = classlib::clWindowText;
  classlib::TTimer* timer_ = nullptr;
  bool allowTimer_ = true;
  classlib::TWinControl* focusControl_ = nullptr;
  bool held_ = false;
};

class TDateCalendar : public classlib::TPanel {
 public:
  explicit TDateCalendar(classlib::TComponent* AOwner);

  classlib::TDateTime SelectedDate() const { return grid_->CalendarDate(); }
  // Taken as the whole day.
  void SetSelectedDate(classlib::TDateTime value) { grid_->SetCalendarDate(value); }
  int Day() const { return grid_->Day(); }
  void SetDay(int value) { grid_->SetDay(value); }
  int Month() const { return grid_->Month(); }
  void SetMonth(int value) { grid_->SetMonth(value); }
  int Year() const { return grid_->Year(); }
  void SetYear(int value) { grid_->SetYear(value); }
  TDayOfWeek StartOfWeek() const { return grid_->StartOfWeek(); }
  void SetStartOfWeek(TDayOfWeek value) { grid_->SetStartOfWeek(value); }
  TCalendarView ViewStyle() const { return grid_->CalendarView(); }
  void SetViewStyle(TCalendarView value) { grid_->SetCalendarView(value); }
  const std::string& Caption4Year() const { return grid_->Caption4Year(); }
  void SetCaption4Year(const std::string& value) { grid_->SetCaption4Year(value); }
  TCalendarOptions Options() const { return grid_->CalOptions(); }
  void SetOptions(TCalendarOptions value);
  TDateCalendarColors& Colors() { return colors_; }
  void SetColors(const TDateCalendarColors& value);

  TCalendarGrid* Grid() const { return grid_; }
  classlib::TPanel* TitlePanel() const { return titlePanel_; }
  TCalendarButton* TitleButton() const { return titleButton_; }
  TCalendarButton* PrevButton() const { return prevButton_; }
  TCalendarButton* NextButton() const { return nextButton_; }

  classlib::TNotifyEvent OnChange;
  classlib::TNotifyEvent OnViewChange;

  void WndProc(classlib::TMessage& Message) override;

 protected:
  void Paint() override;

 private:
  friend class TDateCalendarColors;
  void ApplyColor(int index, classlib::TColor value);
  void ApplyFont();
  void UpdateTitle();
  void Navigate(classlib::TComponent* Sender);
  void GridChange(classlib::TComponent* Sender);
  void GridViewChange(classlib::TComponent* Sender);
  void DrawCell(classlib::TComponent* Sender, const std::string& AText, int Col, int Row, const RECT& Rect,
                TGridDrawState State, TTypeOfCell AType);

  classlib::TPanel* titlePanel_;
  TCalendarGrid* grid_;
  TCalendarButton* titleButton_;
  TCalendarButton* prevButton_;
  TCalendarButton* nextButton_;
  TDateCalendarColors colors_;
};

}  // namespace controls
