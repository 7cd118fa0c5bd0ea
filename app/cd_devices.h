// The CD writers as the windows offer them: one entry per device, "(E:) Vendor Product", so that
// character 2 of an entry is its drive letter, or "Kein CD-Recorder verfügbar!" alone. A definition
// stores the chosen entry as "RecDrive". Also the write speeds the windows offer for a device.
#pragma once

#include <string>
#include <vector>

#include "app/cd_writer.h"

namespace app {

// The one entry of the list when there is no device.
extern const char kNoCDWriter[];

// An entry per device of writer, or kNoCDWriter alone.
std::vector<std::string> CDWriterEntries(TCDWriter& writer);
// The drive letter of an entry; empty for any other text, such as kNoCDWriter, whose second
// character is no drive letter.
std::string DriveLetterOfEntry(const std::string& entry);
// One letter of the alphabet, in either case.
bool IsDriveLetter(const std::string& letter);
// The first device of that drive letter (in any case); -1 when none has it or it is no letter.
int FindCDDevice(TCDWriter& writer, const std::string& driveLetter);
// Selects FindCDDevice's device; false when there is none.
bool SelectCDDevice(TCDWriter& writer, const std::string& driveLetter);
// From maxSpeed down in steps of 2 while above 1, then 1: "24-fach", "22-fach", ... "2-fach",
// "1-fach".
std::vector<std::string> CDSpeedEntries(int maxSpeed);
// The factor before "-fach"; 0 when the text starts with none.
int SpeedOfEntry(const std::string& entry);

}  // namespace app
