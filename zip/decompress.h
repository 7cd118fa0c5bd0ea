// The decompression of one entry's data, by its compression method: stored (0), shrunk (1),
// reduced (2 to 5), imploded (6) and deflated (8).
#pragma once

#include <cstdint>

#include "classlib/exceptions.h"
#include "zip/decode_result.h"
#include "zip/entry_input.h"
#include "zip/entry_output.h"
#include "zip/inflate_entry.h"

namespace zip {

// "Unknown Compression Method"
CLASSLIB_EXCEPTION(EUnknownMethod, classlib::Exception);

bool IsSupportedMethod(std::uint16_t method);

// Decodes the entry's data from input into output and flushes the output. flags: the entry's
// general purpose flags (imploded entries take their dictionary size and trees from them).
// Damaged also when the output is shorter than the uncompressed size.
// Raises EUnknownMethod, touching neither input nor output, for a method IsSupportedMethod
// refuses; EBiggerThanUncompressed and ECantWriteUCF from the output; EUserCanceled and
// EFatalUnzipError from the input; EZCompressionError for a failure of the compression library
// other than bad data. An old method's decoder that gets no memory shows "*** inflate out of
// memory ***" and the entry is damaged. Input and output must have begun the entry; the inflater
// serves method 8.
TDecodeResult DecompressEntry(std::uint16_t method, std::uint16_t flags, TEntryInput& input, TEntryOutput& output,
                              TInflater& inflater);

}  // namespace zip
