#include "controls/panels/vis_utils.h"

#include <algorithm>

#include "classlib/exceptions.h"

namespace controls {

bool IsBlank(const std::string& S) { return S.find_first_not_of(' ') == std::string::npos; }

std::string AddBackslash(const std::string& S) {
  if (!S.empty() && S.back() == '\\') return S;
  return S + '\\';
}

std::string RemoveBackslash(const std::string& S) {
  if (IsBlank(S) || S.back() != '\\') return S;
  return S.substr(0, S.size() - 1);
}

int MaxIntValue(std::initializer_list<int> Values) {
  if (Values.size() == 0) throw classlib::EListError("Leere Liste");
  return std::max(Values);
}

int MinIntValue(std::initializer_list<int> Values) {
  if (Values.size() == 0) throw classlib::EListError("Leere Liste");
  return std::min(Values);
}

}  // namespace controls
