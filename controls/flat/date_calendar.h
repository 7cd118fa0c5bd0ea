// The date picker: one month of days. For now the system's month calendar.
#pragma once

#include "classlib/comctrls.h"

namespace controls {

class TDateCalendar : public classlib::TMonthCalendar {
 public:
  explicit TDateCalendar(classlib::TComponent* AOwner) : TMonthCalendar(AOwner) {}
  classlib::TDateTime SelectedDate() const { return Date(); }
  void SetSelectedDate(classlib::TDateTime value) { SetDate(value); }
};

}  // namespace controls
