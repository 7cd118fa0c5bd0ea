// Checks what the writer produced without the extraction run: every entry's data is read through
// the records, decrypted and inflated here, and its CRC compared.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace written_archive {

// Path ("/" separated) to content of every file entry, folders as "name/" with empty content.
// parts are the archive's files in order (one for an unsplit archive); the directory is read by
// the engine's reader from the last. Fails the running test on a bad CRC.
std::map<std::string, std::string> ReadEntries(const std::vector<std::string>& parts, const std::string& password = {});

// The files below root as path relative to root ("/" separated) to content; folders end in "/".
std::map<std::string, std::string> ReadTree(const std::string& root);

}  // namespace written_archive
