// Lets test failures show a string list's items instead of its bytes.
#pragma once

#include <ostream>

#include "classlib/stringlist.h"

namespace classlib {

inline void PrintTo(const TStringList& list, std::ostream* out) {
  *out << "{";
  for (const std::string& item : list) *out << (&item == &*list.begin() ? "" : ", ") << '"' << item << '"';
  *out << "}";
}

}  // namespace classlib
