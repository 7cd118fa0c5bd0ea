#include "classlib/stringlist.h"

#include "classlib/exceptions.h"
#include "classlib/format.h"
#include "classlib/text.h"

namespace classlib {

void TStringList::CheckIndex(int index, int limit) const {
  if (index < 0 || index > limit) throw EListError(Format("Listenindex überschreitet das Maximum (%d)", index));
}

const std::string& TStringList::operator[](int index) const {
  CheckIndex(index, Count() - 1);
  return items_[static_cast<size_t>(index)];
}

std::string& TStringList::operator[](int index) {
  CheckIndex(index, Count() - 1);
  return items_[static_cast<size_t>(index)];
}

void TStringList::Insert(int index, const std::string& item) {
  CheckIndex(index, Count());
  items_.insert(items_.begin() + index, item);
}

void TStringList::Delete(int index) {
  CheckIndex(index, Count() - 1);
  items_.erase(items_.begin() + index);
}

std::string TStringList::Text() const {
  std::string text;
  for (const std::string& item : items_) text += item + "\r\n";
  return text;
}

void TStringList::SetText(const std::string& text) {
  items_.clear();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    items_.push_back(text.substr(start, end - start));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
}

int TStringList::IndexOf(const std::string& s) const {
  for (int i = 0; i < Count(); ++i)
    if (SameTextAscii(items_[static_cast<size_t>(i)], s)) return i;
  return -1;
}

}  // namespace classlib
