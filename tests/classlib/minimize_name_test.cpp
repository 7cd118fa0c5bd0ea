#include <gtest/gtest.h>

#include <string>

#include "classlib/graphics.h"
#include "classlib/minimize_name.h"

namespace {

TEST(MinimizeName, DropsFoldersBeforeItCutsTheFileName) {
  classlib::TFont font;
  classlib::TBitmap probe(1, 1);
  probe.Canvas().Font().Assign(font);
  auto width = [&](const std::string& text) { return probe.Canvas().TextWidth(text); };
  const std::string path = "C:\\Dokumente\\Projekte\\Orvanta\\Sicherungen\\Bericht über 2024.txt";
  const std::string shorter[] = {
      path,
      "C:\\...\\Orvanta\\Sicherungen\\Bericht über 2024.txt",
      "C:\\...\\Bericht über 2024.txt",
      "...\\Bericht über 2024.txt",
      "Bericht ü...",
  };
  for (const std::string& expected : shorter) EXPECT_EQ(classlib::MinimizeName(path, font, width(expected)), expected);
  EXPECT_EQ(classlib::MinimizeName(path, font, 0), "...");
}

}  // namespace
