// The CD writers as the windows list them: "(E:) " followed by the device's vendor and product, so
// that the second character is the drive letter, or the one entry "Kein CD-Recorder verfügbar!".
// The definition stores the chosen entry as "RecDrive".
#pragma once

#include <string>

#include "app/cd_writer.h"
#include "classlib/stringlist.h"

namespace app {

extern const char kNoBurner[];  // "Kein CD-Recorder verfügbar!"

classlib::TStringList BurnerEntries(TCDWriter& writer);

// The drive letter of an entry; 0 for the entry without a device and for any text not of that form.
char BurnerDriveLetter(const std::string& entry);

// The device of writer whose drive letter is letter (in any case), selected; false when there is none.
bool SelectBurner(TCDWriter& writer, char letter);

}  // namespace app
