// Method 8, deflating, through the compression library's raw inflate.
#pragma once

#include "zip/decode_result.h"
#include "zip/entry_input.h"
#include "zip/entry_output.h"

namespace zip {

// Decodes until the deflate stream ends. Damaged: the library finds bad data, or the compressed
// bytes end before the stream does. Raises EZCompressionError ("error") for any other failure of
// the library.
TDecodeResult InflateEntry(TEntryInput& input, TEntryOutput& output);

}  // namespace zip
