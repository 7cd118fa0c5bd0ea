// SHA-256 by the platform's own provider.
#pragma once

#include <string>

namespace update {

// The digest of what the open file holds from its start, in lower-case hex; false when the file
// cannot be read or the platform has no SHA-256.
bool FileSHA256(void* file, std::string& hex);

}  // namespace update
