// The body of the calendar control: one date shown as a month (day-name heading, up to six weeks,
// ISO week numbers, the neighbouring months' trailing days) or as a year (a heading row and the
// twelve months in a 4 x 3 block). Its owner, the calendar, paints the cells.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "classlib/controls.h"
#include "classlib/datetime.h"

namespace controls {

enum class TDayOfWeek { Sunday, Monday, Tuesday, Wednesday, Thursday, Friday, Saturday };
enum class TCalendarView { cvMonthView, cvYearView };

// The calendar's options as bits of one word, in this order.
enum TCalOption : std::uint16_t {
  coAllowViewChange = 1 << 0,
  coPerformTrailingDay = 1 << 1,
  coShowTrailingDays = 1 << 2,
  coShowHorzLines = 1 << 3,
  coShowHeading = 1 << 4,
  coAcceptHoliday = 1 << 5,
  coShowFocusRect = 1 << 6,
  coShowFrame = 1 << 7,
  coShowCellFrames = 1 << 8,
  coShowWeekNumbers = 1 << 9,
  coShowNavButtons = 1 << 10,
  coShowTitle = 1 << 11,
};
using TCalendarOptions = std::uint16_t;

enum class TTypeOfCell { dtHeading, dtWeekNo, dtTrailingday, dtDay, dtMonth };

using TGridDrawState = unsigned;
enum : unsigned { gdSelected = 1, gdFocused = 2, gdFixed = 4 };

using TDrawCalendarCellEvent =
    std::function<void(classlib::TComponent* Sender, const std::string& AText, int Col, int Row, const RECT& Rect,
                       TGridDrawState State, TTypeOfCell AType)>;

// ISO 8601 week of the date: weeks begin on Monday, week 1 holds the year's first Thursday; 0 where a
// neighbouring year lies outside the dates the calendar knows.
int IsoWeekNumber(classlib::TDateTime Date);

class TCalendarGrid : public classlib::TCustomControl {
 public:
  // The owner is the calendar; without one EConvertError is raised.
  explicit TCalendarGrid(classlib::TComponent* AOwner);

  classlib::TDateTime CalendarDate() const { return date_; }
  // Cut to the whole day; a different day moves the current cell and runs Change.
  void SetCalendarDate(classlib::TDateTime value);
  int Day() const;
  int Month() const;
  int Year() const;
  // Out of range or equal values are ignored. Month and Year cut the day to the new month's length.
  void SetDay(int value);
  void SetMonth(int value);
  void SetYear(int value);
  // One month back (-1) or on (+1), the day cut to that month's length.
  void StepMonth(int n);
  int WeekNumber() const { return IsoWeekNumber(date_); }

  TDayOfWeek StartOfWeek() const { return startOfWeek_; }
  void SetStartOfWeek(TDayOfWeek value);
  const std::string& Caption4Year() const { return caption4Year_; }
  void SetCaption4Year(const std::string& value);
  TCalendarOptions CalOptions() const { return options_; }
  void SetCalOptions(TCalendarOptions value);
  TCalendarView CalendarView() const { return view_; }
  void SetCalendarView(TCalendarView value);
  classlib::TColor FixedColor() const { return fixedColor_; }
  void SetFixedColor(classlib::TColor value);

  // Months outside 1..12 raise EConvertError.
  virtual int DaysInMonth(int AYear, int AMonth) const;
  virtual int DaysThisMonth() const { return DaysInMonth(Year(), Month()); }
  // Moves the current cell to the date and repaints.
  virtual void UpdateCalendar();

  // The grid as laid out now.
  int ColCount() const;
  int RowCount() const;
  int FixedCols() const;
  int ColWidth(int col) const;
  int RowHeight(int row) const;
  RECT CellRect(int col, int row) const;
  // False outside the cells.
  bool MouseToCell(int x, int y, int& col, int& row) const;
  int Col() const { return col_; }
  int Row() const { return row_; }
  // Layout offset of day 1: the day number of cell (col, row) follows from it.
  int FirstDayOffset() const { return firstDayOffset_; }
  std::string CellText(int col, int row) const;
  TTypeOfCell CellType(int col, int row) const;
  // The date a day cell (of this month or a trailing one) stands for.
  classlib::TDateTime CellDate(int col, int row) const;
  // Only cells with a text that are not trailing days can become the current cell.
  bool SelectCell(int col, int row) const;

  classlib::TNotifyEvent OnChange;
  classlib::TNotifyEvent OnViewChange;
  TDrawCalendarCellEvent OnDrawCalendarCell;

  void WndProc(classlib::TMessage& Message) override;

 protected:
  virtual void Change();
  void Paint() override;
  void KeyDown(WORD& Key, classlib::TShiftState Shift) override;
  void MouseDown(classlib::TMouseButton Button, classlib::TShiftState Shift, int X, int Y) override;
  void MouseUp(classlib::TMouseButton Button, classlib::TShiftState Shift, int X, int Y) override;
  void DblClick() override;

 private:
  int ColWidth7() const;
  int RowHeight7() const;
  int ColWidth8() const;
  int ColWidth4() const;
  int RowHeight4() const;
  void MoveCurrent();
  // The user made (col, row) the current cell: the date follows it.
  void FocusCell(int col, int row);
  int DayNumber(int col, int row) const;
  int WeekColumns() const;
  void DrawCell(int col, int row, const RECT& rect);

  classlib::TDateTime date_ = 0;
  TDayOfWeek startOfWeek_ = TDayOfWeek::Sunday;
  std::string caption4Year_;
  TCalendarOptions options_ = 0;
  TCalendarView view_ = TCalendarView::cvYearView;
  classlib::TColor fixedColor_ = classlib::clGray;
  int firstDayOffset_ = 0;
  bool doubleClicked_ = false;
  int col_ = 0, row_ = 1;
};

}  // namespace controls
