// Reads back what the writer produced through the engine's own extraction run.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace written_archive {

// Path ("/" separated) to content of every file entry, folders as "name/" with empty content.
// parts are the archive's files in order (one for an unsplit archive), found from the last. Fails
// the running test on a bad CRC or a skipped entry.
std::map<std::string, std::string> ReadEntries(const std::vector<std::string>& parts, const std::string& password = {});

// The files below root as path relative to root ("/" separated) to content; folders end in "/".
std::map<std::string, std::string> ReadTree(const std::string& root);

}  // namespace written_archive
