// The column sort that the single-backup and the restore list share: a click on a column header
// orders the list ascending by that column.
#pragma once

#include <string>

#include "classlib/comctrls.h"

namespace app {

// Texts compared as the user's locale orders them, without regard to case.
int CompareText(const std::string& a, const std::string& b);

// Negative, zero or positive as a comes before, with or after b in column: 0 (file name) and 1
// (folder) as text without regard to case, 2 by the KB number of the size text ("1.234 KB"), 3 by
// the date and time of the text ("31.12.2024 23:59"; a text that is none sorts first).
int CompareListColumn(const classlib::TListItem& a, const classlib::TListItem& b, int column);

void SortListByColumn(classlib::TListView& list, int column);

}  // namespace app
