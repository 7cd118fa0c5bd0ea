// An ordered list of UTF-8 strings, as the registry's name listings and the engine's pattern lists use it.
#pragma once

#include <string>
#include <vector>

namespace classlib {

class TStringList {
 public:
  TStringList() = default;
  TStringList(std::initializer_list<std::string> items) : items_(items) {}

  int Count() const { return static_cast<int>(items_.size()); }
  const std::string& operator[](int index) const;
  std::string& operator[](int index);

  void Add(const std::string& item) { items_.push_back(item); }
  void Insert(int index, const std::string& item);
  void Delete(int index);
  void Clear() { items_.clear(); }

  // The text form: each item followed by CR LF. Setting it splits at CR LF, LF or CR; a last line
  // without a break counts too.
  std::string Text() const;
  void SetText(const std::string& text);

  // Position of the first item equal to s, letters A-Z compared without case; -1 when absent.
  int IndexOf(const std::string& s) const;

  std::vector<std::string>::const_iterator begin() const { return items_.begin(); }
  std::vector<std::string>::const_iterator end() const { return items_.end(); }

  bool operator==(const TStringList& other) const { return items_ == other.items_; }

 private:
  void CheckIndex(int index, int limit) const;
  std::vector<std::string> items_;
};

}  // namespace classlib
