// The split sizes a definition offers (its SplitVar text), each named after a medium, and whether
// the parts of a size named after a CD fit such a disc when they are burned.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace app {

// The part size in bytes, for the first and every further part; none for "Keine" and for any text
// not offered.
std::optional<std::int64_t> SplitPartSize(const std::string& splitVar);

// For a size named after a CD whose parts do not fit that disc with the space burning keeps free:
// the message why the backup is not made, for the run to show before it zips anything. Empty when
// the parts fit, and for sizes named after other media.
std::string SplitDiscError(const std::string& splitVar);

}  // namespace app
