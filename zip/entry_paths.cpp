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

// Lower case for the letters whose pairs Windows' case table holds in the scripts names use here.
char32_t FoldCase(char32_t c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
      (c >= 0x410 && c <= 0x42F))
    return c + 0x20;
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  if (c == 0x178) return 0xFF;
  // Latin Extended-A: each capital stands just before its small letter.
  const bool evenCapital = (c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
  const bool oddCapital = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
  if ((evenCapital && c % 2 == 0) || (oddCapital && c % 2 == 1)) return c + 1;
  return c;
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

std::string FoldedPath(const std::string& path) {
  std::u32string folded;
  auto endComponent = [&folded] {
    while (!folded.empty() && (folded.back() == '.' || folded.back() == ' ')) folded.pop_back();
  };
  for (char32_t c : classlib::DecodeUtf8(path)) {
    if (c == '\\') endComponent();
    folded += FoldCase(c);
  }
  endComponent();
  return classlib::EncodeUtf8(folded);
}

}  // namespace zip
