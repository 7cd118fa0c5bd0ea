// The list of renames a placement is about to make, kept in the destination while it makes them,
// so that a start after a kill can tell what was moved and put it right. It is named after the
// new set's ".zip" written aside, with "~plan" added, and holds file names without folder, in the
// order they are renamed.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace app {

using FileRenames = std::vector<std::pair<std::string, std::string>>;

// The list's name for the new set's ".zip" asideZip.
std::string PlacementJournalName(const std::string& asideZip);
// The ".zip" name a list of that file name was kept for; empty when it is no such name.
std::string JournalAsideZip(const std::string& fileName);

// Writes the list as a new file, whole before it returns; false when it could not.
bool WritePlacementJournal(const std::string& path, const FileRenames& renames);

// The renames of a list; none when its end is missing, as then its writer stopped before any
// rename. Raises EFOpenError for a file that cannot be read or is no such list.
std::optional<FileRenames> ReadPlacementJournal(const std::string& path);

}  // namespace app
