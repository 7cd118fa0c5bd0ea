#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "classlib/clock.h"
#include "classlib/date_format.h"
#include "classlib/datetime.h"
#include "classlib/wide.h"
#include "controls/flat/date_calendar.h"
#include "tests/controls/flat_fixture.h"
#include "tests/controls/oracle.h"

using namespace controls;
using classlib::EncodeDate;
using classlib::TColor;
using classlib::TDateTime;

namespace {

constexpr TColor kBack = 0x996633;
constexpr TColor kTitleBack = 0xC8A38A;
constexpr TColor kTodays = 0x112233;
constexpr TColor kTodaysBorder = 0x445566;
constexpr TColor kSelected = 0x778899;
constexpr TColor kSelectedBorder = 0xAABBCC;

std::string Iso(TDateTime d) { return classlib::FormatDateTime("yyyy-mm-dd", d); }

class Calendar : public flat_testing::FlatFixture {
 protected:
  Calendar() {
    classlib::SetClockForTesting([] { return EncodeDate(2024, 3, 15) + 0.5; });
    form->Show();
    calendar = new TDateCalendar(form);
    calendar->SetParent(form);
    calendar->SetBounds(10, 10, 164, 174);
    calendar->SetStartOfWeek(TDayOfWeek::Monday);
    calendar->SetViewStyle(TCalendarView::cvMonthView);
    calendar->SetOptions(0x0FFF);
    TDateCalendarColors& c = calendar->Colors();
    c.SetBackColor(kBack);
    c.SetTitleBackColor(kTitleBack);
    c.SetTodaysColor(kTodays);
    c.SetTodaysBorderColor(kTodaysBorder);
    c.SetSelectedColor(kSelected);
    c.SetSelectedBorderColor(kSelectedBorder);
    grid = calendar->Grid();
    calendar->OnChange = [this](classlib::TComponent*) { changes.push_back(Iso(calendar->SelectedDate())); };
  }
  ~Calendar() override { classlib::SetClockForTesting(nullptr); }

  void ClickCell(int col, int row, bool twice = false) {
    const RECT r = grid->CellRect(col, row);
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(grid->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(grid->Handle(), WM_LBUTTONUP, 0, at);
    if (!twice) return;
    SendMessageW(grid->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageW(grid->Handle(), WM_LBUTTONUP, 0, at);
  }
  void Key(WORD key) { SendMessageW(grid->Handle(), WM_KEYDOWN, key, 1); }
  // A press of a title button through the title bar's window.
  void Press(TCalendarButton* b) {
    SendMessageW(calendar->TitlePanel()->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, Centre(b));
  }
  void Release(TCalendarButton* b) { SendMessageW(calendar->TitlePanel()->Handle(), WM_LBUTTONUP, 0, Centre(b)); }
  void ClickButton(TCalendarButton* b) {
    Press(b);
    Release(b);
  }
  static LPARAM Centre(TCalendarButton* b) { return MAKELPARAM(b->Left() + b->Width() / 2, b->Top() + b->Height() / 2); }

  // The month view's rows as the oracle writes them.
  std::string Rows() const {
    std::string out;
    for (int row = 1; row <= 6; ++row) {
      out += (row > 1 ? " | " : "") + grid->CellText(0, row) + ":";
      for (int col = 1; col <= 7; ++col) {
        out += (col > 1 ? " " : "") + grid->CellText(col, row);
        if (grid->CellType(col, row) == TTypeOfCell::dtTrailingday) out += "*";
      }
    }
    return out;
  }

  TDateCalendar* calendar;
  TCalendarGrid* grid;
  std::vector<std::string> changes;
};

TEST_F(Calendar, MonthCellsMatchPythonsCalendarForEveryWeekStart) {
  const std::vector<std::string> expected = controls_test::Lines(controls_test::RunOracle({"cells", "1999", "2001"}, "calendar_oracle"));
  ASSERT_EQ(expected.size(), 3u * 12 * 7);
  std::vector<std::string> got;
  for (int year = 1999; year <= 2001; ++year)
    for (int month = 1; month <= 12; ++month)
      for (int start = 0; start < 7; ++start) {
        // Date and week start in turn: each must lay the month out again.
        calendar->SetSelectedDate(EncodeDate(year, month, 1 + (start * 4) % 28));
        calendar->SetStartOfWeek(static_cast<TDayOfWeek>(start));
        got.push_back(std::to_string(year) + "-" + std::to_string(month) + " " + std::to_string(start) + ": " + Rows());
        EXPECT_EQ(grid->CellDate(grid->Col(), grid->Row()), calendar->SelectedDate()) << got.back();
      }
  for (size_t i = 0; i < expected.size() && i < got.size(); ++i) EXPECT_EQ(got[i], expected[i]);
}

TEST_F(Calendar, HeadingHasTheProgramsDayAndMonthNames) {
  std::string heading;
  for (int col = 0; col <= 7; ++col) heading += grid->CellText(col, 0) + ",";
  EXPECT_EQ(heading, ",Mo,Di,Mi,Do,Fr,Sa,So,");
  calendar->SetStartOfWeek(TDayOfWeek::Sunday);
  EXPECT_EQ(grid->CellText(1, 0), "So");
  calendar->SetViewStyle(TCalendarView::cvYearView);
  std::string months;
  for (int row = 1; row <= 3; ++row)
    for (int col = 0; col < 4; ++col) months += grid->CellText(col, row) + ",";
  EXPECT_EQ(months, "Jan.,Feb.,März,Apr.,Mai,Juni,Juli,Aug.,Sep.,Okt.,Nov.,Dez.,");
}

TEST_F(Calendar, WeekNumbersMatchIsoCalendar) {
  const std::vector<std::string> expected = controls_test::Lines(controls_test::RunOracle({"weeks", "1998", "2032"}, "calendar_oracle"));
  ASSERT_EQ(expected.size(), 35u);
  for (int year = 1998; year <= 2032; ++year) {
    std::string line = std::to_string(year) + ": ";
    for (TDateTime d = EncodeDate(year, 1, 1); d < EncodeDate(year + 1, 1, 1); d += 1)
      line += (d > EncodeDate(year, 1, 1) ? "," : "") + std::to_string(IsoWeekNumber(d));
    EXPECT_EQ(line, expected[static_cast<size_t>(year - 1998)]);
  }
}

TEST_F(Calendar, LayoutSizesFollowTheClientSize) {
  ASSERT_EQ(grid->ClientWidth(), 148);
  ASSERT_EQ(grid->ClientHeight(), 143);
  EXPECT_EQ(grid->ColWidth(0), 22);
  EXPECT_EQ(grid->ColWidth(1), 18);
  EXPECT_EQ(grid->RowHeight(3), 20);
  calendar->SetOptions(calendar->Options() & ~coShowWeekNumbers);
  EXPECT_EQ(grid->ColCount(), 7);
  EXPECT_EQ(grid->ColWidth(0), 21);
  calendar->SetViewStyle(TCalendarView::cvYearView);
  EXPECT_EQ(grid->ColWidth(2), 37);
  EXPECT_EQ(grid->RowHeight(0), 20);
  EXPECT_EQ(grid->RowHeight(1), 41);
}

TEST_F(Calendar, KeysAndMonthStepsMatchDatetime) {
  std::vector<std::string> args = {"steps"};
  for (int year : {2023, 2024})
    for (int month = 1; month <= 12; ++month)
      for (int day : {1, 15, 28, 29, 30, 31})
        if (day <= classlib::DaysInMonth(year, month)) args.push_back(Iso(EncodeDate(year, month, day)));
  args.push_back("1999-12-31");
  for (const std::string& line : controls_test::Lines(controls_test::RunOracle(args, "calendar_oracle"))) {
    std::istringstream in(line);
    std::string start, prevDay, nextDay, prevMonth, nextMonth;
    in >> start >> prevDay >> nextDay >> prevMonth >> nextMonth;
    const TDateTime date = EncodeDate(std::stoi(start.substr(0, 4)), std::stoi(start.substr(5, 2)), std::stoi(start.substr(8)));
    const struct {
      TCalendarView view;
      WORD key;
      const std::string& expected;
    } cases[] = {
        {TCalendarView::cvMonthView, VK_LEFT, prevDay},     {TCalendarView::cvMonthView, VK_SUBTRACT, prevDay},
        {TCalendarView::cvMonthView, VK_RIGHT, nextDay},    {TCalendarView::cvMonthView, VK_ADD, nextDay},
        {TCalendarView::cvYearView, VK_LEFT, prevMonth},    {TCalendarView::cvYearView, VK_RIGHT, nextMonth},
    };
    for (const auto& c : cases) {
      calendar->SetViewStyle(c.view);
      calendar->SetSelectedDate(date);
      Key(c.key);
      EXPECT_EQ(Iso(calendar->SelectedDate()), c.expected) << start << " key " << c.key;
    }
    calendar->SetSelectedDate(date);
    grid->StepMonth(-1);
    EXPECT_EQ(Iso(calendar->SelectedDate()), prevMonth) << start;
    calendar->SetSelectedDate(date);
    grid->StepMonth(1);
    EXPECT_EQ(Iso(calendar->SelectedDate()), nextMonth) << start;
  }
}

TEST_F(Calendar, GridKeysMoveOnlyToDaysOfTheMonth) {
  const struct {
    TDateTime from;
    WORD key;
    const char* to;
  } cases[] = {
      {EncodeDate(2024, 3, 20), VK_UP, "2024-03-13"},   {EncodeDate(2024, 3, 20), VK_DOWN, "2024-03-27"},
      {EncodeDate(2024, 3, 5), VK_UP, "2024-03-05"},    {EncodeDate(2024, 3, 27), VK_DOWN, "2024-03-27"},
      {EncodeDate(2024, 3, 20), VK_HOME, "2024-03-18"}, {EncodeDate(2024, 3, 20), VK_END, "2024-03-24"},
      {EncodeDate(2024, 3, 20), VK_PRIOR, "2024-03-20"},
  };
  for (const auto& c : cases) {
    calendar->SetSelectedDate(c.from);
    Key(c.key);
    EXPECT_EQ(Iso(calendar->SelectedDate()), c.to) << Iso(c.from) << " key " << c.key;
  }
}

TEST_F(Calendar, SettersCutTheDayAndIgnoreWhatIsOutOfRange) {
  const struct {
    TDateTime from;
    std::function<void(TDateCalendar&)> set;
    const char* to;
  } cases[] = {
      {EncodeDate(2023, 1, 31), [](TDateCalendar& c) { c.SetMonth(2); }, "2023-02-28"},
      {EncodeDate(2024, 1, 31), [](TDateCalendar& c) { c.SetMonth(4); }, "2024-04-30"},
      {EncodeDate(2024, 2, 29), [](TDateCalendar& c) { c.SetYear(2023); }, "2023-02-28"},
      {EncodeDate(2024, 2, 10), [](TDateCalendar& c) { c.SetMonth(13); }, "2024-02-10"},
      {EncodeDate(2024, 2, 10), [](TDateCalendar& c) { c.SetMonth(0); }, "2024-02-10"},
      {EncodeDate(2024, 2, 10), [](TDateCalendar& c) { c.SetDay(30); }, "2024-02-10"},
      {EncodeDate(2024, 2, 10), [](TDateCalendar& c) { c.SetDay(29); }, "2024-02-29"},
      {EncodeDate(9999, 6, 1), [](TDateCalendar& c) { c.SetYear(10000); }, "9999-06-01"},
      {EncodeDate(2024, 2, 10), [](TDateCalendar& c) { c.SetSelectedDate(EncodeDate(2024, 5, 6) + 0.75); }, "2024-05-06"},
  };
  for (const auto& c : cases) {
    calendar->SetSelectedDate(c.from);
    c.set(*calendar);
    EXPECT_EQ(Iso(calendar->SelectedDate()), c.to);
  }
  // Only whole days are kept, so the date compares equal to the day it shows.
  EXPECT_EQ(calendar->SelectedDate(), EncodeDate(2024, 5, 6));
  EXPECT_THROW(grid->DaysInMonth(2024, 13), classlib::EConvertError);
  EXPECT_THROW(grid->DaysInMonth(2024, 0), classlib::EConvertError);
  EXPECT_EQ(grid->DaysInMonth(1900, 2), 28);
  EXPECT_EQ(grid->DaysInMonth(2000, 2), 29);
}

TEST_F(Calendar, EveryChangeReachesTheCalendarOnceWithItsTitle) {
  calendar->SetSelectedDate(EncodeDate(2024, 3, 10));
  EXPECT_EQ(calendar->TitleButton()->Caption(), "März 2024");
  changes.clear();
  calendar->SetSelectedDate(EncodeDate(2024, 3, 10));
  ClickCell(3, 3);  // a day of the month
  ClickCell(1, 1);  // a trailing day of February
  ClickCell(7, 6);  // now a trailing day of March
  EXPECT_EQ(changes, (std::vector<std::string>{"2024-03-13", "2024-02-26", "2024-03-10"}));
  EXPECT_EQ(calendar->TitleButton()->Caption(), "März 2024");
  calendar->SetViewStyle(TCalendarView::cvYearView);
  EXPECT_EQ(calendar->TitleButton()->Caption(), "2024");
}

TEST_F(Calendar, YearViewClicksPickTheMonthAndADoubleClickOpensIt) {
  calendar->SetSelectedDate(EncodeDate(2024, 1, 31));
  calendar->SetViewStyle(TCalendarView::cvYearView);
  ClickCell(1, 1);  // February
  EXPECT_EQ(Iso(calendar->SelectedDate()), "2024-02-29");
  ClickCell(3, 3, true);  // December, twice
  EXPECT_EQ(Iso(calendar->SelectedDate()), "2024-12-29");
  EXPECT_EQ(calendar->ViewStyle(), TCalendarView::cvMonthView);
  EXPECT_EQ(calendar->TitleButton()->Caption(), "Dezember 2024");

  calendar->SetOptions(calendar->Options() & ~coAllowViewChange);
  calendar->SetViewStyle(TCalendarView::cvYearView);
  ClickCell(0, 1, true);
  EXPECT_EQ(calendar->ViewStyle(), TCalendarView::cvYearView);
  EXPECT_FALSE(calendar->TitleButton()->Enabled());
  ClickButton(calendar->TitleButton());
  EXPECT_EQ(calendar->ViewStyle(), TCalendarView::cvYearView);
}

TEST_F(Calendar, ArrowsStepMonthsOrYearsAcross29February) {
  const struct {
    TCalendarView view;
    TDateTime from;
    bool next;
    const char* to;
  } cases[] = {
      {TCalendarView::cvYearView, EncodeDate(2024, 2, 29), false, "2023-02-28"},
      {TCalendarView::cvYearView, EncodeDate(2024, 2, 29), true, "2025-02-28"},
      {TCalendarView::cvYearView, EncodeDate(2023, 12, 31), true, "2024-12-31"},
      {TCalendarView::cvMonthView, EncodeDate(2024, 3, 31), false, "2024-02-29"},
      {TCalendarView::cvMonthView, EncodeDate(2023, 3, 31), false, "2023-02-28"},
      {TCalendarView::cvMonthView, EncodeDate(2023, 12, 31), true, "2024-01-31"},
      {TCalendarView::cvMonthView, EncodeDate(2024, 1, 15), false, "2023-12-15"},
  };
  for (const auto& c : cases) {
    calendar->SetViewStyle(c.view);
    calendar->SetSelectedDate(c.from);
    changes.clear();
    ClickButton(c.next ? calendar->NextButton() : calendar->PrevButton());
    EXPECT_EQ(changes, std::vector<std::string>{c.to}) << Iso(c.from);
  }
  ClickButton(calendar->TitleButton());
  EXPECT_EQ(calendar->ViewStyle(), TCalendarView::cvYearView);
}

// Held, an arrow steps after 400 ms, then every 100 ms, and once more on release.
TEST_F(Calendar, HeldArrowRepeatsAndTheReleaseStepsOnceMore) {
  calendar->SetSelectedDate(EncodeDate(2024, 6, 15));
  TCalendarButton* next = calendar->NextButton();
  Press(next);
  classlib::TTimer* timer = next->RepeatTimer();
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(timer->Interval(), 400u);
  EXPECT_TRUE(timer->Enabled());
  EXPECT_EQ(Iso(calendar->SelectedDate()), "2024-06-15") << "no step on the press";
  timer->Tick();
  EXPECT_EQ(timer->Interval(), 100u);
  timer->Tick();
  timer->Tick();
  EXPECT_EQ(Iso(calendar->SelectedDate()), "2024-09-15");
  Release(next);
  EXPECT_FALSE(timer->Enabled());
  EXPECT_EQ(Iso(calendar->SelectedDate()), "2024-10-15");
  ClickButton(next);  // a plain click steps once
  EXPECT_EQ(Iso(calendar->SelectedDate()), "2024-11-15");
  EXPECT_EQ(calendar->TitleButton()->RepeatTimer(), nullptr);
}

// The arrows are the "Symbol" font's characters 0xAC and 0xAE where that font has them, else the
// system's glyph font's; either way each paints an arrow in the title's colour. Wine's "Symbol" is a
// font of Unicode characters: its 0xAC and 0xAE are a fraktur R and a diamond.
TEST_F(Calendar, ArrowsComeFromTheSymbolFontWhereItHasThem) {
  EXPECT_FALSE(classlib::FontFamilyInstalled("Orvanta Keine Schrift"));
  EXPECT_TRUE(classlib::FontFamilyInstalled("Marlett"));
  const bool symbol = SymbolFontArrows();
  const struct {
    TCalendarButton* button;
    const char* symbolCaption;
    const char* glyphCaption;
  } arrows[] = {{calendar->PrevButton(), "\u00AC", "3"}, {calendar->NextButton(), "\u00AE", "4"}};
  calendar->Colors().SetTitleTextColor(0x0000FF);
  classlib::TBitmap title;
  testing_support::PaintControl(*calendar->TitlePanel(), title);
  for (const auto& a : arrows) {
    EXPECT_EQ(a.button->Font().Name(), symbol ? "Symbol" : "Marlett");
    EXPECT_EQ(a.button->Caption(), symbol ? a.symbolCaption : a.glyphCaption);
    // The font the button paints with has the character.
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, a.button->Font().Handle());
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(screen, LF_FACESIZE, face);
    WORD glyph = 0;
    const std::wstring text = classlib::Widen(a.button->Caption());
    GetGlyphIndicesW(screen, text.c_str(), 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(classlib::Narrow(face), a.button->Font().Name());
    EXPECT_NE(glyph, 0xFFFF);
    int red = 0;
    const RECT r = a.button->BoundsRect();
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) red += title.Pixel(x, y) == 0x0000FFu;
    EXPECT_GT(red, 3) << a.button->Caption();
  }
}

TEST_F(Calendar, OptionsShowAndHideTheTitleParts) {
  calendar->SetOptions(calendar->Options() & ~coShowNavButtons);
  EXPECT_FALSE(calendar->PrevButton()->Visible());
  EXPECT_FALSE(calendar->NextButton()->Visible());
  EXPECT_TRUE(calendar->TitlePanel()->Visible());
  calendar->SetOptions(calendar->Options() & ~coShowTitle);
  EXPECT_FALSE(calendar->TitlePanel()->Visible());
  EXPECT_EQ(grid->Top(), 8);
}

TEST_F(Calendar, ColoursReachTheControlsAndHoverRestoresOnlyWhatItSaved) {
  TDateCalendarColors set(nullptr);
  set.SetBackColor(0x010203);
  set.SetTitleBackColor(0x040506);
  set.SetTitleTextColor(0x070809);
  set.SetFlyByColor(0x0A0B0C);
  calendar->SetColors(set);
  EXPECT_EQ(calendar->Color(), TColor{0x010203});
  EXPECT_EQ(grid->Color(), TColor{0x010203});
  EXPECT_EQ(grid->FixedColor(), TColor{0x040506});
  EXPECT_EQ(calendar->TitleButton()->Font().Color(), TColor{0x070809});
  EXPECT_EQ(calendar->NextButton()->Font().Color(), TColor{0x070809});
  EXPECT_EQ(calendar->NextButton()->FlyByColor(), TColor{0x0A0B0C});
  EXPECT_EQ(calendar->Colors().TrailingTextColor(), set.TrailingTextColor());
  classlib::TPersistent stranger;
  try {
    calendar->Colors().Assign(stranger);
    FAIL();
  } catch (const classlib::EConvertError& e) {
    EXPECT_EQ(e.Message(), "TPersistent kann nicht zu  TDateCalendarColors zugewiesen werden");
  }

  TCalendarButton* next = calendar->NextButton();
  next->Perform(classlib::CM_MOUSEENTER);
  EXPECT_EQ(next->Font().Color(), TColor{0x0A0B0C});
  calendar->Colors().SetTitleTextColor(0x0D0E0F);  // kept for after the hover
  EXPECT_EQ(next->Font().Color(), TColor{0x0A0B0C});
  next->Perform(classlib::CM_MOUSELEAVE);
  EXPECT_EQ(next->Font().Color(), TColor{0x0D0E0F});
  next->Perform(classlib::CM_MOUSELEAVE);  // a leave without an enter changes nothing
  EXPECT_EQ(next->Font().Color(), TColor{0x0D0E0F});
  calendar->TitleButton()->SetEnabled(false);
  calendar->TitleButton()->Perform(classlib::CM_MOUSEENTER);
  calendar->TitleButton()->Perform(classlib::CM_MOUSELEAVE);
  EXPECT_EQ(calendar->TitleButton()->Font().Color(), TColor{0x0D0E0F});
}

TEST_F(Calendar, CellsArePaintedInTheirColours) {
  // Today is 15 March 2024 (Friday: column 5, row 3 with week numbers and a Monday start).
  calendar->SetSelectedDate(EncodeDate(2024, 3, 20));
  classlib::TBitmap& shot = Painted(*grid);
  auto at = [&](int col, int row, int dx, int dy) {
    const RECT r = grid->CellRect(col, row);
    return shot.Pixel(r.left + dx, r.top + dy);
  };
  const struct {
    const char* name;
    int col, row;
    TColor background, border;
  } cases[] = {
      {"day", 4, 3, kBack, kBack},
      {"today", 5, 3, kTodays, kTodaysBorder},
      {"selected", 3, 4, kSelected, kSelectedBorder},
      {"trailing day", 1, 1, kBack, kBack},
      {"heading", 3, 0, kTitleBack, kTitleBack},
      {"week number", 0, 2, kTitleBack, kTitleBack},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(at(c.col, c.row, 2, 3), c.background) << c.name;
    EXPECT_EQ(at(c.col, c.row, 1, 3), c.border) << c.name;
  }
  // The line below each row.
  EXPECT_EQ(at(4, 3, 5, 0), kTitleBack);
  // A selected day that is today shows as selected.
  calendar->SetSelectedDate(EncodeDate(2024, 3, 15));
  classlib::TBitmap& again = Painted(*grid);
  const RECT r = grid->CellRect(5, 3);
  EXPECT_EQ(again.Pixel(r.left + 2, r.top + 3), kSelected);
  EXPECT_EQ(again.Pixel(r.left + 1, r.top + 3), kSelectedBorder);
}

TEST_F(Calendar, GridNeedsItsCalendar) {
  try {
    TCalendarGrid orphan(nullptr);
    FAIL();
  } catch (const classlib::EConvertError& e) {
    EXPECT_EQ(e.Message(), "nil kann nicht zu  TCalendarGrid zugewiesen werden");
  }
}

}  // namespace
