#include <gtest/gtest.h>
#include <windows.h>

#include "classlib/text.h"
#include "classlib/wide.h"
#include "controls/panels/vis_application.h"
#include "controls/panels/vis_system.h"
#include "controls/panels/vis_themes.h"
#include "tests/support/window_test.h"

using namespace controls;

TEST(ThemeLibrary, LoadedFromTheSystemFolder) {
  testing_support::InitWindows();
  if (!ThemeLibraryLoaded()) GTEST_SKIP() << "no visual-styles library on this system";
  const HMODULE module = GetModuleHandleW(L"uxtheme.dll");
  ASSERT_NE(module, nullptr);
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
  EXPECT_TRUE(classlib::StartsTextAscii(classlib::Narrow(path, length), SystemDirectory() + "\\"));

  // Every entry point is the library's own, and the theme state is the one the library reports.
  for (int i = 0; i < kThemeEntryCount; ++i) {
    const char* name = kThemeEntryNames[static_cast<size_t>(i)];
    EXPECT_NE(ThemeLibrary().Entry(i), nullptr) << name;
    EXPECT_EQ(ThemeLibrary().Entry(i), GetProcAddress(module, name)) << name;
  }
  using IsThemeActiveEntry = BOOL(WINAPI*)();
  const auto systems = reinterpret_cast<IsThemeActiveEntry>(
      reinterpret_cast<void (*)()>(GetProcAddress(module, "IsThemeActive")));
  const bool active = systems() != FALSE;
  EXPECT_EQ(ThemeLibrary().IsThemeActive(), active);
  EXPECT_EQ(VisApplication().ThemesAvailable(), active);
}

TEST(ThemeLibrary, MissingEntryPointsAnswerAsWithoutThemes) {
  testing_support::InitWindows();
  TVisThemeEntries missing;
  missing.Loaded = true;
  const TVisThemeEntries saved = SetThemeEntriesForTesting(missing);
  const TVisThemeLibrary& themes = ThemeLibrary();
  const RECT r = {0, 0, 10, 10};
  RECT content = r;
  EXPECT_TRUE(ThemeLibraryLoaded());
  EXPECT_FALSE(themes.IsThemeActive());
  EXPECT_FALSE(themes.SetThemeAppProperties(3));
  EXPECT_EQ(themes.OpenThemeData(nullptr, L"EDIT"), nullptr);
  EXPECT_EQ(themes.CloseThemeData(nullptr), E_NOTIMPL);
  EXPECT_EQ(themes.DrawThemeBackground(nullptr, nullptr, 1, 1, r, nullptr), E_NOTIMPL);
  EXPECT_EQ(themes.DrawThemeParentBackground(nullptr, nullptr, nullptr), E_NOTIMPL);
  EXPECT_EQ(themes.GetThemeBackgroundContentRect(nullptr, nullptr, 1, 0, r, content), E_NOTIMPL);
  SetThemeEntriesForTesting(saved);
}
