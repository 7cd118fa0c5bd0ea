// Method 6, imploding: a sliding dictionary of 4096 or 8192 bytes with two or three Shannon-Fano
// trees.
#pragma once

#include <cstdint>

#include "zip/decode_result.h"
#include "zip/entry_input.h"
#include "zip/entry_output.h"

namespace zip {

constexpr std::uint16_t kFlagImplode8KDictionary = 0x0002;
constexpr std::uint16_t kFlagImplodeLiteralTree = 0x0004;

// flags: the entry's general purpose flags. Decodes until the uncompressed size is reached.
TDecodeResult Explode(TEntryInput& input, TEntryOutput& output, std::uint16_t flags);

}  // namespace zip
