#include "classlib/minimize_name.h"

#include <vector>

#include "classlib/text.h"

namespace classlib {

std::string MinimizeName(const std::string& fileName, const TFont& font, int maxWidth) {
  TBitmap probe(1, 1);
  TCanvas& canvas = probe.Canvas();
  canvas.Font().Assign(font);
  auto fits = [&](const std::string& text) { return canvas.TextWidth(text) <= maxWidth; };
  if (fits(fileName)) return fileName;

  std::vector<std::string> parts;
  for (std::size_t start = 0;;) {
    const std::size_t end = fileName.find('\\', start);
    parts.push_back(fileName.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  const std::string& name = parts.back();
  // The first part stays; the folders after it go, one more each round.
  for (std::size_t first = 2; first < parts.size(); ++first) {
    std::string shortened = parts[0] + "\\...";
    for (std::size_t i = first; i < parts.size(); ++i) shortened += "\\" + parts[i];
    if (fits(shortened)) return shortened;
  }
  if (parts.size() > 1 && fits("...\\" + name)) return "...\\" + name;
  std::u32string letters = DecodeUtf8(name);
  while (!letters.empty()) {
    letters.pop_back();
    const std::string cut = EncodeUtf8(letters) + "...";
    if (fits(cut)) return cut;
  }
  return "...";
}

}  // namespace classlib
