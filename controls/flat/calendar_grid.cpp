#include "controls/flat/calendar_grid.h"

#include <cmath>

#include "classlib/clock.h"
#include "classlib/date_format.h"
#include "classlib/exceptions.h"

namespace controls {

using classlib::TDateTime;

namespace {

// Characters, not bytes: "März" has four.
size_t Utf8Length(const std::string& text) {
  size_t n = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

// 1 = Monday .. 7 = Sunday.
int IsoWeekday(TDateTime date) { return (classlib::DayOfWeek(date) + 5) % 7 + 1; }

int WeekOf(TDateTime date, int year) {
  const int ordinal = static_cast<int>(date - classlib::EncodeDate(year, 1, 1)) + 1;
  return (ordinal - IsoWeekday(date) + 10) / 7;
}

// 28 December always lies in a year's last week.
int WeeksInYear(int year) { return WeekOf(classlib::EncodeDate(year, 12, 28), year); }

}  // namespace

int IsoWeekNumber(TDateTime Date) {
  try {
    const int year = classlib::DecodeDate(Date).year;
    const int week = WeekOf(Date, year);
    if (week < 1) return WeeksInYear(year - 1);
    if (week > WeeksInYear(year)) return 1;
    return week;
  } catch (const classlib::EConvertError&) {
    return 0;  // a neighbouring year outside the calendar's range
  }
}

TCalendarGrid::TCalendarGrid(classlib::TComponent* AOwner) : TCustomControl(AOwner) {
  if (!AOwner) throw classlib::EConvertError("nil kann nicht zu  TCalendarGrid zugewiesen werden");
  SetControlStyle(ControlStyle() & ~classlib::csClickEvents);
  SetParentColor(true);
  SetTabStop(true);
  date_ = std::trunc(classlib::Now());
  options_ = coAllowViewChange | coPerformTrailingDay | coShowTrailingDays | coShowHorzLines | coAcceptHoliday |
             coShowFocusRect | coShowCellFrames | coShowWeekNumbers;
  UpdateCalendar();
}

int TCalendarGrid::Day() const { return classlib::DecodeDate(date_).day; }
int TCalendarGrid::Month() const { return classlib::DecodeDate(date_).month; }
int TCalendarGrid::Year() const { return classlib::DecodeDate(date_).year; }

int TCalendarGrid::DaysInMonth(int AYear, int AMonth) const {
  if (AMonth < 1 || AMonth > 12) throw classlib::EConvertError("Ungültiger Monat: " + std::to_string(AMonth));
  return classlib::DaysInMonth(AYear, AMonth);
}

void TCalendarGrid::Change() {
  if (OnChange) OnChange(this);
}

void TCalendarGrid::SetCalendarDate(TDateTime value) {
  value = std::trunc(value);
  if (value == date_) return;
  date_ = value;
  UpdateCalendar();
  Change();
}

void TCalendarGrid::SetDay(int value) {
  if (value < 1 || value > DaysThisMonth() || value == Day()) return;
  SetCalendarDate(classlib::EncodeDate(Year(), Month(), value));
}

void TCalendarGrid::SetMonth(int value) {
  if (value < 1 || value > 12 || value == Month()) return;
  SetCalendarDate(classlib::EncodeDate(Year(), value, std::min(Day(), DaysInMonth(Year(), value))));
}

void TCalendarGrid::SetYear(int value) {
  if (value < 1 || value > 9999 || value == Year()) return;
  SetCalendarDate(classlib::EncodeDate(value, Month(), std::min(Day(), DaysInMonth(value, Month()))));
}

void TCalendarGrid::StepMonth(int n) {
  const classlib::DateParts d = classlib::DecodeDate(date_);
  int y = d.year, m = d.month + (n < 0 ? -1 : 1);
  if (m < 1) m = 12, --y;
  if (m > 12) m = 1, ++y;
  SetCalendarDate(classlib::EncodeDate(y, m, std::min(d.day, DaysInMonth(y, m))));
}

void TCalendarGrid::SetStartOfWeek(TDayOfWeek value) {
  if (value == startOfWeek_) return;
  startOfWeek_ = value;
  UpdateCalendar();
}

void TCalendarGrid::SetCaption4Year(const std::string& value) {
  if (value == caption4Year_) return;
  caption4Year_ = value;
  if (view_ == TCalendarView::cvYearView) Invalidate();
}

void TCalendarGrid::SetCalOptions(TCalendarOptions value) {
  if (value == options_) return;
  options_ = value;
  UpdateCalendar();
}

void TCalendarGrid::SetCalendarView(TCalendarView value) {
  if (value == view_) return;
  view_ = value;
  UpdateCalendar();
  if (OnViewChange) OnViewChange(this);
}

void TCalendarGrid::SetFixedColor(classlib::TColor value) {
  if (value == fixedColor_) return;
  fixedColor_ = value;
  Invalidate();
}

void TCalendarGrid::UpdateCalendar() {
  MoveCurrent();
  Invalidate();
}

void TCalendarGrid::MoveCurrent() {
  const classlib::DateParts d = classlib::DecodeDate(date_);
  const int k = (classlib::DayOfWeek(classlib::EncodeDate(d.year, d.month, 1)) - static_cast<int>(startOfWeek_) + 7) % 7;
  firstDayOffset_ = k == 0 ? -5 : 2 - k;
  if (view_ == TCalendarView::cvYearView) {
    col_ = (d.month - 1) % 4;
    row_ = (d.month - 1) / 4 + 1;
  } else {
    col_ = (d.day - firstDayOffset_) % 7 + WeekColumns();
    row_ = (d.day - firstDayOffset_) / 7 + 1 + (firstDayOffset_ == 1 ? 1 : 0);
  }
}

// ---- layout

int TCalendarGrid::WeekColumns() const {
  return view_ == TCalendarView::cvMonthView && (options_ & coShowWeekNumbers) ? 1 : 0;
}

// The five sizes follow the client size (no grid lines): seven or eight columns and seven rows
// in the month view, four columns of three rows below a heading row in the year view.
int TCalendarGrid::ColWidth7() const { return ClientWidth() / 7; }
int TCalendarGrid::RowHeight7() const { return ClientHeight() / 7; }
int TCalendarGrid::ColWidth8() const { return ClientWidth() / 8; }
int TCalendarGrid::ColWidth4() const { return ClientWidth() / 4; }
int TCalendarGrid::RowHeight4() const { return (ClientHeight() - RowHeight7()) / 3; }

int TCalendarGrid::ColCount() const { return view_ == TCalendarView::cvYearView ? 4 : 7 + WeekColumns(); }
int TCalendarGrid::RowCount() const { return view_ == TCalendarView::cvYearView ? 4 : 7; }
int TCalendarGrid::FixedCols() const { return WeekColumns(); }

int TCalendarGrid::ColWidth(int col) const {
  if (view_ == TCalendarView::cvYearView) return ColWidth4();
  if (!WeekColumns()) return ColWidth7();
  return col == 0 ? ClientWidth() - 7 * ColWidth8() : ColWidth8();
}

int TCalendarGrid::RowHeight(int row) const {
  return view_ == TCalendarView::cvYearView && row > 0 ? RowHeight4() : RowHeight7();
}

RECT TCalendarGrid::CellRect(int col, int row) const {
  RECT r = {0, 0, 0, 0};
  for (int c = 0; c < col; ++c) r.left += ColWidth(c);
  for (int w = 0; w < row; ++w) r.top += RowHeight(w);
  r.right = r.left + ColWidth(col);
  r.bottom = r.top + RowHeight(row);
  return r;
}

bool TCalendarGrid::MouseToCell(int x, int y, int& col, int& row) const {
  for (row = 0; row < RowCount(); ++row)
    for (col = 0; col < ColCount(); ++col) {
      const RECT r = CellRect(col, row);
      if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
    }
  return false;
}

// ---- cells

int TCalendarGrid::DayNumber(int col, int row) const {
  return col - WeekColumns() + firstDayOffset_ + 7 * row - (firstDayOffset_ == 1 ? 14 : 7);
}

TTypeOfCell TCalendarGrid::CellType(int col, int row) const {
  if (row == 0) return TTypeOfCell::dtHeading;
  if (view_ == TCalendarView::cvYearView) return TTypeOfCell::dtMonth;
  if (col < WeekColumns()) return TTypeOfCell::dtWeekNo;
  const int n = DayNumber(col, row);
  return n <= 0 || n > DaysThisMonth() ? TTypeOfCell::dtTrailingday : TTypeOfCell::dtDay;
}

TDateTime TCalendarGrid::CellDate(int col, int row) const {
  const int n = DayNumber(col, row), y = Year(), m = Month();
  if (n <= 0) {
    const int py = m == 1 ? y - 1 : y, pm = m == 1 ? 12 : m - 1;
    return classlib::EncodeDate(py, pm, n + DaysInMonth(py, pm));
  }
  if (n > DaysThisMonth()) {
    const int ny = m == 12 ? y + 1 : y, nm = m == 12 ? 1 : m + 1;
    return classlib::EncodeDate(ny, nm, n - DaysThisMonth());
  }
  return classlib::EncodeDate(y, m, n);
}

std::string TCalendarGrid::CellText(int col, int row) const {
  if (view_ == TCalendarView::cvYearView) {
    if (row == 0) return "";
    const int month = col + 4 * row - 3;
    const std::string& name = classlib::LongMonthName(month);
    return Utf8Length(name) <= 4 ? name : classlib::ShortMonthName(month) + ".";
  }
  const int w = WeekColumns();
  if (row == 0) return col < w ? "" : classlib::ShortDayName((static_cast<int>(startOfWeek_) + col - w) % 7 + 1);
  if (col < w) return std::to_string(IsoWeekNumber(CellDate(w, row)));
  const TTypeOfCell type = CellType(col, row);
  if (type == TTypeOfCell::dtTrailingday && !(options_ & coShowTrailingDays)) return "";
  return std::to_string(classlib::DecodeDate(CellDate(col, row)).day);
}

bool TCalendarGrid::SelectCell(int col, int row) const {
  return !CellText(col, row).empty() && CellType(col, row) != TTypeOfCell::dtTrailingday;
}

// ---- painting

void TCalendarGrid::DrawCell(int col, int row, const RECT& rect) {
  TGridDrawState state = 0;
  if (row == 0 || col < FixedCols()) state |= gdFixed;
  if (col == col_ && row == row_) state |= gdSelected | (Focused() ? gdFocused : 0u);
  const std::string text = CellText(col, row);
  if (OnDrawCalendarCell) {
    OnDrawCalendarCell(this, text, col, row, rect, state, CellType(col, row));
    return;
  }
  classlib::TCanvas& canvas = Canvas();
  canvas.Brush().SetStyle(classlib::TBrushStyle::bsSolid);
  canvas.Brush().SetColor(state & gdFixed ? fixedColor_ : Color());
  canvas.FillRect(rect);
  canvas.Brush().SetStyle(classlib::TBrushStyle::bsClear);
  const SIZE size = canvas.TextExtent(text);
  canvas.TextOut(rect.left + (rect.right - rect.left - size.cx) / 2, rect.top + (rect.bottom - rect.top - size.cy) / 2,
                 text);
}

void TCalendarGrid::Paint() {
  TCustomControl::Paint();
  classlib::TCanvas& canvas = Canvas();
  const bool yearView = view_ == TCalendarView::cvYearView;
  for (int row = yearView ? 1 : 0; row < RowCount(); ++row)
    for (int col = 0; col < ColCount(); ++col) DrawCell(col, row, CellRect(col, row));
  if (yearView) {
    RECT heading = CellRect(0, 0);
    heading.right = CellRect(3, 0).right;
    canvas.Font().Assign(Font());
    canvas.Brush().SetStyle(classlib::TBrushStyle::bsSolid);
    canvas.Brush().SetColor(fixedColor_);
    canvas.FillRect(heading);
    canvas.Brush().SetStyle(classlib::TBrushStyle::bsClear);
    canvas.DrawText(caption4Year_, heading, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  if (options_ & coShowHorzLines) {
    const int width = CellRect(ColCount() - 1, 0).right;
    canvas.Pen().SetStyle(classlib::TPenStyle::psSolid);
    canvas.Pen().SetWidth(1);
    canvas.Pen().SetColor(fixedColor_);
    for (int row = 0; row + 1 < RowCount(); ++row) {
      const int y = CellRect(0, row).bottom;
      canvas.MoveTo(0, y);
      canvas.LineTo(width, y);
    }
  }
}

// ---- keys and mouse

void TCalendarGrid::FocusCell(int col, int row) {
  col_ = col;
  row_ = row;
  Invalidate();
  if (view_ == TCalendarView::cvYearView) {
    SetMonth(col + 4 * row - 3);
    return;
  }
  const std::string text = CellText(col, row);
  if (!text.empty()) SetDay(std::stoi(text));
}

void TCalendarGrid::KeyDown(WORD& Key, classlib::TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  const bool back = Key == VK_LEFT || Key == VK_SUBTRACT;
  if (Shift == 0 && (back || Key == VK_RIGHT || Key == VK_ADD)) {
    if (view_ == TCalendarView::cvYearView) StepMonth(back ? -1 : 1);
    else if (back) Day() > 1 ? SetDay(Day() - 1) : SetCalendarDate(date_ - 1);
    else Day() < DaysThisMonth() ? SetDay(Day() + 1) : SetCalendarDate(date_ + 1);
    Key = 0;
    return;
  }
  int col = col_, row = row_;
  switch (Key) {
    case VK_UP: --row; break;
    case VK_DOWN: ++row; break;
    case VK_LEFT: --col; break;
    case VK_RIGHT: ++col; break;
    case VK_HOME: col = FixedCols(); break;
    case VK_END: col = ColCount() - 1; break;
    case VK_PRIOR: row = 1; break;
    case VK_NEXT: row = RowCount() - 1; break;
    default: return;
  }
  Key = 0;
  const bool inside = col >= FixedCols() && col < ColCount() && row >= 1 && row < RowCount();
  if (inside && (col != col_ || row != row_) && SelectCell(col, row)) FocusCell(col, row);
}

void TCalendarGrid::MouseDown(classlib::TMouseButton Button, classlib::TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != classlib::TMouseButton::mbLeft) return;
  if (CanFocus() && !Focused()) SetFocus();
  int col, row;
  if (!MouseToCell(X, Y, col, row) || row < 1 || col < FixedCols()) return;
  if ((col != col_ || row != row_) && SelectCell(col, row)) FocusCell(col, row);
}

void TCalendarGrid::DblClick() {
  TCustomControl::DblClick();
  if (view_ != TCalendarView::cvYearView || !(options_ & coAllowViewChange)) return;
  doubleClicked_ = true;
  SetMonth(col_ + 4 * row_ - 3);
  SetCalendarView(TCalendarView::cvMonthView);
}

void TCalendarGrid::MouseUp(classlib::TMouseButton Button, classlib::TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (Button != classlib::TMouseButton::mbLeft) return;
  int col, row;
  const bool jump = (options_ & coShowTrailingDays) && (options_ & coPerformTrailingDay) && !doubleClicked_ &&
                    MouseToCell(X, Y, col, row) && row >= 1 && CellType(col, row) == TTypeOfCell::dtTrailingday;
  doubleClicked_ = false;
  if (jump) SetCalendarDate(CellDate(col, row));
}

void TCalendarGrid::WndProc(classlib::TMessage& m) {
  switch (m.Msg) {
    case WM_GETDLGCODE:
      m.Result = DLGC_WANTARROWS;
      return;
    case WM_SIZE:
      Invalidate();
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      Invalidate();
      break;
    default:
      break;
  }
  TCustomControl::WndProc(m);
}

}  // namespace controls
