#include <gtest/gtest.h>
#include <windows.h>

#include "classlib/text.h"
#include "classlib/wide.h"
#include "controls/panels/vis_system.h"

using namespace controls;

TEST(SystemHelpers, FoldersOfTheProgramAndTheSystem) {
  const std::string app = AppPath();
  ASSERT_FALSE(app.empty());
  EXPECT_EQ(app.back(), '\\');
  EXPECT_TRUE(classlib::StartsTextAscii(ProgramFileName(), app));
  EXPECT_TRUE(classlib::SameTextAscii(ProgramFileName().substr(ProgramFileName().size() - 4), ".exe"));
  EXPECT_NE(GetFileAttributesW(classlib::Widen(SystemDirectory()).c_str()), INVALID_FILE_ATTRIBUTES);

  EXPECT_EQ(CreatePathPrefix(TVisPathPrefix::ppFixed, true), "");
  EXPECT_EQ(CreatePathPrefix(TVisPathPrefix::ppFixed, false), "");
  EXPECT_EQ(CreatePathPrefix(TVisPathPrefix::ppWindows, false), WindowsDirectory());
  EXPECT_EQ(CreatePathPrefix(TVisPathPrefix::ppSystem, true), SystemDirectory() + "\\");
  EXPECT_EQ(CreatePathPrefix(TVisPathPrefix::ppProgram, true), app);
  EXPECT_EQ(CreatePathPrefix(TVisPathPrefix::ppProgram, false), app.substr(0, app.size() - 1));
}

TEST(SystemHelpers, UserAndDisplay) {
  EXPECT_FALSE(CurrentUserName().empty());
  EXPECT_NE(CurrentUserName(), "(Unbekannt)");
  EXPECT_GE(ColorDepth(), 8);
}

TEST(SystemHelpers, Rectangles) {
  int w = 0, h = 0;
  RectSize({5, 10, 25, 50}, w, h);
  EXPECT_EQ(w, 20);
  EXPECT_EQ(h, 40);

  const struct {
    RECT source, target, expected;
  } cases[] = {
      {{0, 0, 100, 50}, {10, 10, 60, 60}, {10, 10, 60, 35}},
      {{0, 0, 20, 80}, {0, 0, 40, 40}, {0, 0, 10, 40}},
      {{0, 0, 10, 10}, {5, 5, 105, 55}, {5, 5, 55, 55}},
      {{0, 0, 0, 20}, {3, 4, 50, 50}, {3, 4, 3, 4}},
  };
  for (const auto& c : cases) {
    RECT r;
    FitRect(c.source, c.target, r);
    EXPECT_TRUE(EqualRect(&r, &c.expected)) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
  }
}
