// Methods 2 to 5, reducing with compression factors 1 to 4: follower sets, then runs copied from
// a window of up to 4096 bytes back behind the marker byte 144.
#pragma once

#include <cstdint>

#include "zip/decode_result.h"
#include "zip/entry_input.h"
#include "zip/entry_output.h"

namespace zip {

constexpr std::uint16_t kMethodReduceFirst = 2;
constexpr std::uint16_t kMethodReduceLast = 5;

// method: 2 to 5. Decodes until the uncompressed size is reached.
TDecodeResult Unreduce(TEntryInput& input, TEntryOutput& output, std::uint16_t method);

}  // namespace zip
