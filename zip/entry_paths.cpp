#include "zip/entry_paths.h"

#include <algorithm>

#include "classlib/text.h"

namespace zip {
namespace {

bool IsSafeComponent(const std::string& component) {
  if (component == "..") return false;
  if (std::any_of(component.begin(), component.end(),
                  [](char c) { return c == ':' || static_cast<unsigned char>(c) < 0x20; }))
    return false;
  return component.empty() || !IsDeviceName(component);
}

}  // namespace

bool IsDeviceName(const std::string& component) {
  // The device is named by what stands before the first "." and any trailing blanks.
  std::string base = classlib::LowerAscii(component.substr(0, component.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (const char* device : {"con", "prn", "aux", "nul", "conin$", "conout$"})
    if (base == device) return true;
  if (base.compare(0, 3, "com") != 0 && base.compare(0, 3, "lpt") != 0) return false;
  const std::string number = base.substr(3);
  if (number.size() == 1) return number[0] >= '1' && number[0] <= '9';
  return number == "\xC2\xB9" || number == "\xC2\xB2" || number == "\xC2\xB3";  // superscript 1, 2, 3 in UTF-8
}

bool IsSafeRelativePath(const std::string& path) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = path.find('\\', start);
    if (!IsSafeComponent(path.substr(start, end - start))) return false;
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

}  // namespace zip
