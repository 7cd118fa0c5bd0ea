#include <gtest/gtest.h>

#include "classlib/exceptions.h"
#include "controls/panels/vis_utils.h"

using namespace controls;

TEST(PackUtils, BlanksAndBackslashes) {
  const struct {
    const char* s;
    bool blank;
    const char* added;
    const char* removed;
  } cases[] = {
      {"", true, "\\", ""},
      {"   ", true, "   \\", "   "},
      {"C:\\", false, "C:\\", "C:"},
      {"C:\\Daten", false, "C:\\Daten\\", "C:\\Daten"},
      {"C:\\Daten\\\\", false, "C:\\Daten\\\\", "C:\\Daten\\"},
      {" x ", false, " x \\", " x "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.s);
    EXPECT_EQ(IsBlank(c.s), c.blank);
    EXPECT_EQ(AddBackslash(c.s), c.added);
    EXPECT_EQ(RemoveBackslash(c.s), c.removed);
  }
}

TEST(PackUtils, ExtremesOfAList) {
  EXPECT_EQ(MaxIntValue({3, -7, 12, 0}), 12);
  EXPECT_EQ(MinIntValue({3, -7, 12, 0}), -7);
  EXPECT_EQ(MaxIntValue({-5}), -5);
  EXPECT_THROW(MinIntValue({}), classlib::EListError);
}
