#include "zip/entry_paths.h"

#include <gtest/gtest.h>

namespace {

TEST(EntryPaths, DeviceNamesInEveryForm) {
  const struct {
    const char* name;
    bool device;
  } cases[] = {
      {"CON", true},          {"con.txt", true},    {"Nul .log", true},      {"CONIN$", true},
      {"conout$.txt", true},  {"COM1", true},       {"lpt9.x", true},        {"COM\xC2\xB9", true},
      {"LPT\xC2\xB2.txt", true}, {"com\xC2\xB3", true}, {"COM0", false},     {"COM10", false},
      {"console", false},     {"CONIN", false},     {"LPT\xC2\xB4", false},  {"a.con", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(zip::IsDeviceName(c.name), c.device) << c.name;
}

TEST(EntryPaths, SafeRelativePathsRefuseDevicesInAnyFolder) {
  EXPECT_TRUE(zip::IsSafeRelativePath("sub\\file.txt"));
  EXPECT_FALSE(zip::IsSafeRelativePath("sub\\CONIN$.log"));
  EXPECT_FALSE(zip::IsSafeRelativePath("COM\xC2\xB9\\x.txt"));
  EXPECT_FALSE(zip::IsSafeRelativePath("..\\x"));
  EXPECT_FALSE(zip::IsSafeRelativePath("c:x"));
}

}  // namespace
