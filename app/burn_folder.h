// Where a run that burns stages its archive: a fresh folder below the temporary folder for each
// burn, so the parts a stopped burn keeps never meet the names of a later run.
#pragma once

#include <string>

namespace app {

// Creates "Orvanta CD 1" (or the first free number) in tempFolder, which ends in "\", and returns
// it with a trailing "\". Throws EFCreateError when none can be made.
std::string CreateBurnFolder(const std::string& tempFolder);

// Removes the folder once nothing is left in it; one that still holds files stays.
void RemoveBurnFolder(const std::string& folder);

}  // namespace app
