// The file name of a single backup, as typed in the creation wizard: ".zip" is added when missing,
// and a name Windows cannot take as a file name is refused with the reason, before anything is
// written.
#pragma once

#include <string>

namespace app {

// typed, with ".zip" appended unless its last four characters are ".zip" in any case.
std::string SingleBackupFileName(const std::string& typed);

// Why name (with its ".zip") cannot be the archive's file name, as a sentence for the user; empty
// when it can: not empty or blanks only, none of \ / : * ? " < > |, no control characters, and no
// device name such as "CON" or "LPT1" before its first ".".
std::string FileNameProblem(const std::string& name);

// What a name that is empty or blanks only and one that names a device are told, for the single
// backup's file name and a definition's name alike; DeviceNameProblem is empty for a name whose
// part before its first "." is no device.
extern const char kNoNameText[];
std::string DeviceNameProblem(const std::string& name);

// The characters the name field discards as they are typed; a paste is checked as a whole later.
bool IsRefusedNameKey(wchar_t key);

}  // namespace app
