#include "app/backup_limits.h"

#include <gtest/gtest.h>

namespace {

// The run and the single backup refuse with this sentence before any file is opened.
TEST(BackupLimits, MoreFilesThanAnArchiveHoldsAreNamedInGerman) {
  EXPECT_EQ(app::TooManyFilesProblem(65535), "");
  EXPECT_EQ(app::TooManyFilesProblem(65536),
            "Die Sicherung umfasst 65.536 Dateien; ein Backup kann h\xC3\xB6" "chstens 65.535 Dateien aufnehmen.");
  EXPECT_EQ(app::TooManyFilesProblem(1234567),
            "Die Sicherung umfasst 1.234.567 Dateien; ein Backup kann h\xC3\xB6" "chstens 65.535 Dateien aufnehmen.");
}

}  // namespace
