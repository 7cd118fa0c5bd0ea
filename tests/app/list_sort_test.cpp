#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/list_sort.h"
#include "classlib/comctrls.h"

namespace {

struct SortCase {
  int column;
  // The texts of that column before and after the sort.
  std::vector<std::string> before, after;
};

class ListSort : public ::testing::TestWithParam<SortCase> {};

TEST_P(ListSort, OrdersAscendingByTheClickedColumn) {
  const SortCase& c = GetParam();
  classlib::TListView list(nullptr);
  for (std::size_t i = 0; i < c.before.size(); ++i) {
    classlib::TListItem* item = list.Items().Add();
    for (int column = 0; column < 4; ++column) {
      const std::string text = column == c.column ? c.before[i] : "x";
      if (column == 0)
        item->SetCaption(text);
      else
        item->AddSubItem(text);
    }
    item->Data = static_cast<std::intptr_t>(i);
  }
  app::SortListByColumn(list, c.column);
  std::vector<std::string> sorted;
  for (int i = 0; i < list.Items().Count(); ++i) {
    const classlib::TListItem& item = *list.Items()[i];
    sorted.push_back(c.column == 0 ? item.Caption() : item.SubItem(c.column - 1));
    // The item's data travels with it.
    EXPECT_EQ(sorted.back(), c.before[static_cast<std::size_t>(item.Data)]);
  }
  EXPECT_EQ(sorted, c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Columns, ListSort,
    ::testing::Values(SortCase{0, {"b.txt", "Ä.txt", "a.txt", "C.txt"}, {"a.txt", "Ä.txt", "b.txt", "C.txt"}},
                      SortCase{1, {"Unterordner\\", "", "daten\\Tief\\", "Daten\\"}, {"", "Daten\\", "daten\\Tief\\", "Unterordner\\"}},
                      SortCase{2, {"1.000 KB", "999 KB", "12.345.678 KB", "1 KB"}, {"1 KB", "999 KB", "1.000 KB", "12.345.678 KB"}},
                      SortCase{3,
                               {"02.01.2024 10:00", "01.02.2023 09:30", "01.02.2023", "31.12.2023 23:59"},
                               {"01.02.2023", "01.02.2023 09:30", "31.12.2023 23:59", "02.01.2024 10:00"}}));

}  // namespace
