// SHA-256 by the platform's own provider.
#pragma once

#include <string>

namespace update {

// The digest of what the open file holds from its start, in lower-case hex; false when the file
// cannot be read or the platform has no SHA-256.
bool FileSHA256(void* file, std::string& hex);
// The 32 bytes of the digest of bytes; false when the platform has no SHA-256.
bool BytesSHA256(const std::string& bytes, std::string& digest);

}  // namespace update
