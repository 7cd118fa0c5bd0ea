// Method 8, deflating, through the compression library's raw inflate.
#pragma once

#include <memory>

#include "zip/decode_result.h"
#include "zip/entry_input.h"
#include "zip/entry_output.h"

struct z_stream_s;

namespace zip {

// Kept for a run: started at its first deflated entry and reset for every other, so entries
// allocate nothing.
class TInflater {
 public:
  TInflater();
  ~TInflater();
  TInflater(const TInflater&) = delete;
  TInflater& operator=(const TInflater&) = delete;

  // Decodes until the deflate stream ends, straight into the output's window. Damaged: the
  // library finds bad data, or the compressed bytes end before the stream does. Raises
  // EZCompressionError ("error") for any other failure of the library, also when it cannot start.
  TDecodeResult InflateEntry(TEntryInput& input, TEntryOutput& output);

 private:
  std::unique_ptr<z_stream_s> stream_;
  bool started_ = false;
};

}  // namespace zip
