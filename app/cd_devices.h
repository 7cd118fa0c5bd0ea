// The CD writers as the windows offer them: one entry per device, "(E:) Vendor Product", so that
// character 2 of an entry is its drive letter, and the write speeds of the selected device.
#pragma once

#include <string>
#include <vector>

#include "app/cd_writer.h"

namespace app {

// The one entry of the list when there is no device.
extern const char kNoCDWriter[];

// An entry per device of writer, or kNoCDWriter alone.
std::vector<std::string> CDWriterEntries(TCDWriter& writer);
// Selects the first device of that drive letter (in any case); false when none has it. The letter
// of an entry is DriveLetterOfEntry's (burn_on_cd.h).
bool SelectCDDevice(TCDWriter& writer, const std::string& driveLetter);
// From maxSpeed down in steps of 2 while above 1, then 1: "24-fach", "22-fach", ... "2-fach",
// "1-fach".
std::vector<std::string> CDSpeedEntries(int maxSpeed);
// The factor before "-fach"; 0 when the text starts with none.
int SpeedOfEntry(const std::string& entry);

}  // namespace app
