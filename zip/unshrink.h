// Method 1, shrinking: LZW with codes of 9 to 13 bits, widened and partly cleared on the
// compressor's command.
#pragma once

#include "zip/decode_result.h"
#include "zip/entry_input.h"
#include "zip/entry_output.h"

namespace zip {

// Decodes until the input ends.
TDecodeResult Unshrink(TEntryInput& input, TEntryOutput& output);

}  // namespace zip
