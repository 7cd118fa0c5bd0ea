#include "classlib/minimize_name.h"

#include <gtest/gtest.h>

namespace {

int Characters(const std::string& s) { return static_cast<int>(s.size()); }

TEST(MinimizeName, DropsFoldersFromTheFrontThenTheDriveButNeverTheFileName) {
  const std::string path = "C:\\Programme\\Orvanta\\Daten\\datei.txt";
  struct Case {
    int width;
    const char* expected;
  };
  const Case cases[] = {
      {36, "C:\\Programme\\Orvanta\\Daten\\datei.txt"},
      {35, "C:\\...\\Orvanta\\Daten\\datei.txt"},
      {29, "C:\\...\\Daten\\datei.txt"},
      {21, "C:\\...\\datei.txt"},
      {15, "...\\datei.txt"},
      {12, "datei.txt"},
      {3, "datei.txt"},
  };
  for (const Case& c : cases) EXPECT_EQ(classlib::MinimizeName(path, c.width, Characters), c.expected) << c.width;
}

TEST(MinimizeName, NetworkShareGoesLikeADriveAndEveryPathEndsAtItsFileName) {
  const std::string unc = "\\\\server\\freigabe\\Berichte\\2024\\a.txt";
  EXPECT_EQ(classlib::MinimizeName(unc, 32, Characters), "\\\\server\\freigabe\\...\\2024\\a.txt");
  EXPECT_EQ(classlib::MinimizeName(unc, 27, Characters), "\\\\server\\freigabe\\...\\a.txt");
  EXPECT_EQ(classlib::MinimizeName(unc, 26, Characters), "...\\a.txt");
  for (const char* path : {"C:\\datei.txt", "\\datei.txt", "\\\\server\\freigabe\\datei.txt", "datei.txt"})
    EXPECT_EQ(classlib::MinimizeName(path, 3, Characters), "datei.txt") << path;
}

}  // namespace
