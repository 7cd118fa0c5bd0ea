#include <windows.h>

#include <gtest/gtest.h>

#include "app/program_settings.h"
#include "classlib/registry.h"
#include "classlib/wide.h"
#include "tests/support/scratch_registry.h"

using namespace app;

class Settings : public ::testing::Test {
 protected:
  testing_support::ScratchRegistry scratch;
};

TEST_F(Settings, DefaultsWhenNothingIsStored) {
  const ProgramSettings s = ReadProgramSettings();
  EXPECT_FALSE(s.Minimized);
  EXPECT_TRUE(s.PreventErrors);
  EXPECT_TRUE(s.AnimatedIcon);
  EXPECT_FALSE(s.AutoUpdate);
  EXPECT_TRUE(s.Logfile);
  EXPECT_EQ(s.CompressRatio, 6);
  EXPECT_FALSE(s.ExpertMode);
  ASSERT_FALSE(s.Temp.empty());
  EXPECT_EQ(s.Temp.back(), '\\');
  EXPECT_EQ(s.Temp, DefaultTempFolder());
  EXPECT_EQ(s.Temp.find('~'), std::string::npos);  // the long form
}

TEST_F(Settings, StoredValuesWinAndAreWrittenWithTheirTypes) {
  WriteBoolSetting(setting::kMinimized, true);
  WriteBoolSetting(setting::kPreventErrors, false);
  WriteBoolSetting(setting::kAnimatedIcon, false);
  WriteBoolSetting(setting::kAutoUpdate, true);
  WriteBoolSetting(setting::kLogfile, false);
  WriteStringSetting(setting::kTemp, "D:\\Temp\\");
  WriteIntegerSetting(setting::kCompressRatio, 9);
  WriteBoolSetting(setting::kExpertMode, true);

  const ProgramSettings s = ReadProgramSettings();
  EXPECT_TRUE(s.Minimized);
  EXPECT_FALSE(s.PreventErrors);
  EXPECT_FALSE(s.AnimatedIcon);
  EXPECT_TRUE(s.AutoUpdate);
  EXPECT_FALSE(s.Logfile);
  EXPECT_EQ(s.Temp, "D:\\Temp\\");
  EXPECT_EQ(s.CompressRatio, 9);
  EXPECT_TRUE(s.ExpertMode);

  DWORD type = 0, value = 0, size = sizeof(value);
  ASSERT_EQ(RegGetValueW(scratch.Key(), L"Software\\Norvex\\Orvanta", L"CompressRatio", RRF_RT_ANY, &type, &value,
                         &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(value, 9u);
}

TEST_F(Settings, TheDefaultTemporaryFolderIsTrimmedToItsLongFormWithATrailingBackslash) {
  wchar_t saved[MAX_PATH * 2] = {};
  ASSERT_GT(GetEnvironmentVariableW(L"TEMP", saved, MAX_PATH * 2), 0u);
  const std::string folder = DefaultTempFolder();
  SetEnvironmentVariableW(L"TEMP", (std::wstring(L"  \t") + saved + L" \t").c_str());
  EXPECT_EQ(DefaultTempFolder(), folder);
  SetEnvironmentVariableW(L"TEMP", saved);
  EXPECT_EQ(ExpandedFolderText(" %TEMP%\\Sub \t"), classlib::Narrow(saved) + "\\Sub");
}
