#include "app/list_sort.h"

#include <windows.h>

#include <cstdio>

#include "classlib/datetime.h"
#include "classlib/wide.h"

namespace app {

namespace {

enum Column { kName, kFolder, kSize, kDate };

std::string ColumnText(const classlib::TListItem& item, int column) {
  return column == 0 ? item.Caption() : item.SubItem(column - 1);
}

// By the digits alone, of any length: "1.000 KB" after "999 KB".
int CompareNumbers(const std::string& a, const std::string& b) {
  auto digits = [](const std::string& text) {
    std::string d;
    for (char c : text)
      if (c >= '0' && c <= '9' && !(d.empty() && c == '0')) d += c;
    return d;
  };
  const std::string da = digits(a), db = digits(b);
  if (da.size() != db.size()) return da.size() < db.size() ? -1 : 1;
  return da.compare(db);
}

classlib::TDateTime DateTimeOfText(const std::string& text) {
  int day = 0, month = 0, year = 0, hour = 0, minute = 0, second = 0;
  const int fields = std::sscanf(text.c_str(), "%d.%d.%d %d:%d:%d", &day, &month, &year, &hour, &minute, &second);
  classlib::TDateTime date = 0, time = 0;
  if (fields < 3 || !classlib::TryEncodeDate(year, month, day, date)) return 0;
  if (fields >= 5 && !classlib::TryEncodeTime(hour, minute, second, 0, time)) return 0;
  return date + time;
}

}  // namespace

int CompareText(const std::string& a, const std::string& b) {
  const std::wstring wa = classlib::Widen(a), wb = classlib::Widen(b);
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wa.c_str(), static_cast<int>(wa.size()), wb.c_str(),
                        static_cast<int>(wb.size())) -
         CSTR_EQUAL;
}

int CompareListColumn(const classlib::TListItem& a, const classlib::TListItem& b, int column) {
  const std::string ta = ColumnText(a, column), tb = ColumnText(b, column);
  switch (column) {
    case kSize:
      return CompareNumbers(ta, tb);
    case kDate: {
      const classlib::TDateTime da = DateTimeOfText(ta), db = DateTimeOfText(tb);
      return da < db ? -1 : da > db ? 1 : 0;
    }
    default:
      return CompareText(ta, tb);
  }
}

void SortListByColumn(classlib::TListView& list, int column) {
  list.CustomSort([column](const classlib::TListItem& a, const classlib::TListItem& b) {
    return CompareListColumn(a, b, column);
  });
}

}  // namespace app
