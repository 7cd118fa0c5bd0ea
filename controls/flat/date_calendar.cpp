#include "controls/flat/date_calendar.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "classlib/clock.h"
#include "classlib/date_format.h"
#include "classlib/format.h"

namespace controls {

using classlib::TColor;

// ===================================================================== TDateCalendarColors

TDateCalendarColors::TDateCalendarColors(TDateCalendar* AOwner)
    : owner_(AOwner),
      colors_{classlib::clBlack, classlib::clWhite,  0x4F4F4F,          classlib::clWhite, classlib::clBlack,
              classlib::clGray,  0xBF5F5F,           0xFF0000,          classlib::clWhite, classlib::clSilver,
              classlib::clGray,  classlib::clWhite, classlib::clRed} {}

void TDateCalendarColors::SetColor(int index, TColor value) {
  if (owner_) owner_->ApplyColor(index, value);
  colors_[static_cast<size_t>(index)] = value;
  if (owner_) {
    owner_->Invalidate();
    owner_->Grid()->Invalidate();
  }
}

void TDateCalendarColors::Assign(const classlib::TPersistent& Source) {
  const auto* other = dynamic_cast<const TDateCalendarColors*>(&Source);
  if (!other)
    throw classlib::EConvertError(classlib::Format("%s kann nicht zu  %s zugewiesen werden",
                                                   classlib::ClassNameOf(Source).c_str(), "TDateCalendarColors"));
  // Applied too: the calendar shows the colours it holds.
  for (int i = 0; i < ColorCount; ++i) SetColor(i, other->Color(i));
}

// ===================================================================== TCalendarButton

TCalendarButton::TCalendarButton(classlib::TComponent* AOwner) : TLabel(AOwner) {
  SetAutoSize(true);
  SetTransparent(true);
  SetLayout(classlib::TTextLayout::tlCenter);
}

void TCalendarButton::SetFlyByColor(TColor value) {
  if (value == flyByColor_) return;
  flyByColor_ = value;
  if (hasSavedColor_) Font().SetColor(value);
  Invalidate();
}

void TCalendarButton::SetTextColor(TColor value) {
  if (hasSavedColor_) savedColor_ = value;
  else Font().SetColor(value);
}

void TCalendarButton::WndProc(classlib::TMessage& m) {
  switch (m.Msg) {
    case classlib::CM_MOUSEENTER:
      if (Enabled() && !hasSavedColor_) {
        savedColor_ = Font().Color();
        hasSavedColor_ = true;
        Font().SetColor(flyByColor_);
      }
      if (timer_ && allowTimer_ && held_) timer_->SetEnabled(true);
      break;
    case classlib::CM_MOUSELEAVE:
      // Only a colour the enter saved comes back.
      if (hasSavedColor_) {
        hasSavedColor_ = false;
        Font().SetColor(savedColor_);
      }
      StopTimer();
      break;
    default:
      break;
  }
  TLabel::WndProc(m);
}

void TCalendarButton::MouseDown(classlib::TMouseButton Button, classlib::TShiftState Shift, int X, int Y) {
  TLabel::MouseDown(Button, Shift, X, Y);
  if (Button != classlib::TMouseButton::mbLeft) return;
  held_ = true;
  if (focusControl_ && focusControl_->CanFocus()) focusControl_->SetFocus();
  if (!allowTimer_ || !Enabled()) return;
  if (!timer_) {
    timer_ = new classlib::TTimer(this);
    timer_->SetEnabled(false);
    timer_->OnTimer = [this](classlib::TComponent*) { TimerTick(); };
  }
  timer_->SetInterval(400);
  timer_->SetEnabled(true);
}

void TCalendarButton::MouseUp(classlib::TMouseButton Button, classlib::TShiftState Shift, int X, int Y) {
  held_ = false;
  StopTimer();
  TLabel::MouseUp(Button, Shift, X, Y);
}

void TCalendarButton::TimerTick() {
  timer_->SetInterval(100);
  const bool captured = Parent() && Parent()->HandleAllocated() && GetCapture() == Parent()->Handle();
  if (!held_ || !captured || !Enabled()) return;
  try {
    Click();
  } catch (...) {
    StopTimer();
    throw;
  }
}

void TCalendarButton::StopTimer() {
  if (timer_) timer_->SetEnabled(false);
}

// ===================================================================== TDateCalendar

namespace {

std::uint16_t BigEndian16(const std::vector<std::uint8_t>& data, size_t at) {
  return static_cast<std::uint16_t>(data[at] << 8 | data[at + 1]);
}

}  // namespace

bool SymbolFontArrows() {
  if (!classlib::FontFamilyInstalled("Symbol")) return false;
  classlib::TFont font;
  font.SetName("Symbol");
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, font.Handle());
  // The character map's tables: version, count, then platform, encoding and offset of each.
  constexpr DWORD kCmap = 'c' | 'm' << 8 | 'a' << 16 | 'p' << 24;
  std::vector<std::uint8_t> cmap;
  const DWORD size = GetFontData(screen, kCmap, 0, nullptr, 0);
  if (size != GDI_ERROR && size >= 4) {
    cmap.resize(size);
    if (GetFontData(screen, kCmap, 0, cmap.data(), size) != size) cmap.clear();
  }
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  if (cmap.size() < 4) return false;
  const size_t tables = BigEndian16(cmap, 2);
  for (size_t i = 0; i < tables && 4 + 8 * i + 4 <= cmap.size(); ++i)
    if (BigEndian16(cmap, 4 + 8 * i) == 3 && BigEndian16(cmap, 6 + 8 * i) == 0) return true;
  return false;
}

namespace {

// The arrows of the "Symbol" font (characters 0xAC and 0xAE) where it has them, else of the
// system's glyph font, which every Windows and Wine has.
TCalendarButton* NewArrowButton(TDateCalendar* calendar, classlib::TPanel* parent, classlib::TAlign align,
                                bool left) {
  static const bool symbol = SymbolFontArrows();
  auto* button = new TCalendarButton(calendar);
  button->SetParent(parent);
  button->SetAlign(align);
  button->Font().SetName(symbol ? "Symbol" : "Marlett");
  button->Font().SetSize(9);
  if (symbol)
    button->SetCaption(left ? "\u00AC" : "\u00AE");
  else
    button->SetCaption(left ? "3" : "4");
  button->SetFocusControl(calendar->Grid());
  return button;
}

}  // namespace

TDateCalendar::TDateCalendar(classlib::TComponent* AOwner) : TPanel(AOwner), colors_(this) {
  SetBounds(0, 0, 158, 170);
  SetBevelOuter(classlib::TBevelCut::bvNone);
  SetBevelInner(classlib::TBevelCut::bvNone);
  SetBorderWidth(8);
  SetCaption("");

  titlePanel_ = new classlib::TPanel(this);
  titlePanel_->SetParent(this);
  titlePanel_->SetAlign(classlib::TAlign::alTop);
  titlePanel_->SetParentColor(true);
  titlePanel_->SetCaption("");
  titlePanel_->SetBevelOuter(classlib::TBevelCut::bvNone);
  titlePanel_->SetBevelInner(classlib::TBevelCut::bvNone);
  titlePanel_->SetHeight(15);

  grid_ = new TCalendarGrid(this);
  grid_->SetParent(this);
  grid_->SetAlign(classlib::TAlign::alClient);
  grid_->SetCaption4Year("Monat auswählen");
  grid_->OnDrawCalendarCell = [this](classlib::TComponent* s, const std::string& text, int col, int row,
                                     const RECT& rect, TGridDrawState state, TTypeOfCell type) {
    DrawCell(s, text, col, row, rect, state, type);
  };
  grid_->OnChange = [this](classlib::TComponent* s) { GridChange(s); };
  grid_->OnViewChange = [this](classlib::TComponent* s) { GridViewChange(s); };

  prevButton_ = NewArrowButton(this, titlePanel_, classlib::TAlign::alLeft, true);
  titleButton_ = new TCalendarButton(this);
  titleButton_->SetParent(titlePanel_);
  titleButton_->SetCaption(" ");
  titleButton_->SetFocusControl(grid_);
  titleButton_->SetAlign(classlib::TAlign::alClient);
  titleButton_->SetAllowTimer(false);
  titleButton_->SetAlignment(classlib::TAlignment::taCenter);
  nextButton_ = NewArrowButton(this, titlePanel_, classlib::TAlign::alRight, false);
  for (TCalendarButton* b : {prevButton_, titleButton_, nextButton_})
    b->OnClick = [this](classlib::TComponent* s) { Navigate(s); };

  SetOptions(grid_->CalOptions() | coShowHeading | coShowFrame | coShowNavButtons | coShowTitle);
  for (int i = 0; i < TDateCalendarColors::ColorCount; ++i) ApplyColor(i, colors_.Color(i));
  ApplyFont();
  UpdateTitle();
  if (OnChange) OnChange(this);
}

void TDateCalendar::SetOptions(TCalendarOptions value) {
  const TCalendarOptions old = grid_->CalOptions();
  if (value == old) return;
  const TCalendarOptions changed = value ^ old;
  if (changed & coShowFrame) Invalidate();
  if (changed & coShowNavButtons) {
    prevButton_->SetVisible(value & coShowNavButtons);
    nextButton_->SetVisible(value & coShowNavButtons);
  }
  if (changed & coShowTitle) titlePanel_->SetVisible(value & coShowTitle);
  if (changed & coAllowViewChange) titleButton_->SetEnabled(value & coAllowViewChange);
  grid_->SetCalOptions(value);
}

void TDateCalendar::SetColors(const TDateCalendarColors& value) {
  if (&value != &colors_) colors_.Assign(value);
}

void TDateCalendar::ApplyColor(int index, TColor value) {
  switch (index) {
    case TDateCalendarColors::BackColorIndex:
      SetColor(value);
      break;
    case TDateCalendarColors::TitleBackColorIndex:
      grid_->SetFixedColor(value);
      break;
    case TDateCalendarColors::TitleTextColorIndex:
      for (TCalendarButton* b : {prevButton_, titleButton_, nextButton_}) b->SetTextColor(value);
      grid_->Font().SetColor(value);  // the year view's heading
      break;
    case TDateCalendarColors::FlyByColorIndex:
      for (TCalendarButton* b : {prevButton_, titleButton_, nextButton_}) b->SetFlyByColor(value);
      break;
    default:
      break;
  }
}

// The calendar's font for the grid and the title; the arrows keep their glyph font.
void TDateCalendar::ApplyFont() {
  grid_->Font().Assign(Font());
  titleButton_->Font().Assign(Font());
  ApplyColor(TDateCalendarColors::TitleTextColorIndex, colors_.TitleTextColor());
}

void TDateCalendar::WndProc(classlib::TMessage& m) {
  TPanel::WndProc(m);
  if (m.Msg == classlib::CM_FONTCHANGED) ApplyFont();
}

void TDateCalendar::UpdateTitle() {
  const std::string year = std::to_string(grid_->Year());
  titleButton_->SetCaption(ViewStyle() == TCalendarView::cvMonthView
                               ? classlib::LongMonthName(grid_->Month()) + " " + year
                               : year);
}

void TDateCalendar::Navigate(classlib::TComponent* Sender) {
  const bool yearView = ViewStyle() == TCalendarView::cvYearView;
  if (Sender == prevButton_ || Sender == nextButton_) {
    const int step = Sender == prevButton_ ? -1 : 1;
    // The year setter takes 29 February to the 28th in a common year.
    if (yearView) grid_->SetYear(grid_->Year() + step);
    else grid_->StepMonth(step);
  } else if (Sender == titleButton_ && (Options() & coAllowViewChange)) {
    SetViewStyle(yearView ? TCalendarView::cvMonthView : TCalendarView::cvYearView);
  }
}

void TDateCalendar::GridChange(classlib::TComponent*) {
  UpdateTitle();
  if (OnChange) OnChange(this);
}

void TDateCalendar::GridViewChange(classlib::TComponent*) {
  UpdateTitle();
  if (OnViewChange) OnViewChange(this);
}

void TDateCalendar::Paint() {
  TPanel::Paint();
  if (!(Options() & coShowFrame)) return;
  RECT r = ClientRect();
  InflateRect(&r, -3, -3);
  Canvas().Brush().SetStyle(classlib::TBrushStyle::bsSolid);
  Canvas().Brush().SetColor(grid_->FixedColor());
  Canvas().FrameRect(r);
}

void TDateCalendar::DrawCell(classlib::TComponent*, const std::string& AText, int Col, int Row, const RECT& Rect,
                             TGridDrawState State, TTypeOfCell AType) {
  const TDateCalendarColors& c = colors_;
  TColor back = c.BackColor(), frame = c.BackColor(), border = c.BackColor(), text = classlib::clWhite;
  if (AType == TTypeOfCell::dtTrailingday) text = c.TrailingTextColor();
  if (State & gdFixed) {
    back = frame = border = c.TitleBackColor();
    text = c.TitleTextColor();
  }
  const double today = std::trunc(classlib::Now());
  if (AType == TTypeOfCell::dtDay && grid_->CellDate(Col, Row) == today) {
    back = c.TodaysColor();
    text = c.TodaysTextColor();
    border = c.TodaysBorderColor();
  }
  if (State & gdSelected) {
    back = c.SelectedColor();
    text = c.SelectedTextColor();
    border = c.SelectedBorderColor();
  }
  classlib::TCanvas& canvas = grid_->Canvas();
  canvas.Font().Assign(Font());
  canvas.Font().SetColor(text);
  canvas.Brush().SetStyle(classlib::TBrushStyle::bsSolid);
  canvas.Brush().SetColor(back);
  canvas.FillRect(Rect);
  canvas.Brush().SetStyle(classlib::TBrushStyle::bsClear);
  const SIZE size = canvas.TextExtent(AText);
  canvas.TextOut(Rect.left + (Rect.right - Rect.left - size.cx) / 2, Rect.top + (Rect.bottom - Rect.top - size.cy) / 2,
                 AText);
  RECT r = Rect;
  if (Options() & coShowHorzLines) r.top += 1;
  canvas.Brush().SetStyle(classlib::TBrushStyle::bsSolid);
  if (!(State & gdFixed)) {
    canvas.Brush().SetColor(frame);
    canvas.FrameRect(r);
  }
  if ((State & gdFocused) && (Options() & coShowFocusRect)) DrawFocusRect(canvas.Handle(), &r);
  if (Options() & coShowCellFrames) {
    InflateRect(&r, -1, -1);
    canvas.Brush().SetColor(border);
    canvas.FrameRect(r);
  }
}

}  // namespace controls
