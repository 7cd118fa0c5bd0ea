// A scratch world for the application core: the program file in a fresh folder (so its log and
// its "Logs" folder land there), a fixed clock, and files with chosen dates.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "app/activity_log.h"
#include "app/program_paths.h"
#include "classlib/clock.h"
#include "classlib/datetime.h"
#include "classlib/wide.h"
#include "tests/support/locked_file.h"
#include "tests/support/temp_dir.h"
#include "zip/fs.h"

namespace app_testing {

// Checked-in files of these tests.
inline std::string TestData(const std::string& name) { return std::string(APP_TEST_DATA) + "/" + name; }

inline std::uint32_t DosTime(int year, int month, int day, int hour, int minute, int second = 0) {
  return classlib::DateTimeToFileDate(classlib::EncodeDate(year, month, day) +
                                      classlib::EncodeTime(hour, minute, second, 0));
}

using testing_support::LockedFile;

class AppFixture : public ::testing::Test {
 protected:
  AppFixture() {
    app::SetProgramFileForTesting(dir / "orvapp.exe");
    app::SetLoggingEnabled(true);
    SetNow(2024, 3, 5, 14, 22);
  }
  ~AppFixture() override {
    app::SetProgramFileForTesting("");
    app::SetLoggingEnabled(true);
    classlib::SetClockForTesting(nullptr);
  }

  void SetNow(int year, int month, int day, int hour, int minute, int second = 0) {
    const classlib::TDateTime now =
        classlib::EncodeDate(year, month, day) + classlib::EncodeTime(hour, minute, second, 0);
    classlib::SetClockForTesting([now] { return now; });
  }

  // Writes a file below the scratch folder (creating its folders) with the given last-write time.
  std::string MakeFile(const std::string& relative, std::uint32_t dosTime = DosTime(2024, 1, 10, 9, 30),
                       const std::string& bytes = "x") {
    const std::string path = dir / relative;
    for (std::size_t at = path.find('\\', dir.Path().size() + 1); at != std::string::npos; at = path.find('\\', at + 1))
      zip::fs::MakeDirectory(path.substr(0, at));
    testing_support::WriteFile(path, bytes);
    EXPECT_TRUE(zip::fs::SetFileDate(path, dosTime)) << path;
    return path;
  }

  testing_support::TempDir dir;
};

}  // namespace app_testing
