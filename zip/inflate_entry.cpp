#include "zip/inflate_entry.h"

#define ZLIB_CONST
#include <zlib.h>

#include "zip/zip_exceptions.h"

namespace zip {

TInflater::TInflater() : stream_(std::make_unique<z_stream>()) {}

TInflater::~TInflater() {
  if (started_) inflateEnd(stream_.get());
}

TDecodeResult TInflater::InflateEntry(TEntryInput& input, TEntryOutput& output) {
  z_stream& z = *stream_;
  const int ready = started_ ? inflateReset(&z) : inflateInit2(&z, -MAX_WBITS);
  if (ready != Z_OK) throw EZCompressionError("error");
  started_ = true;
  z.avail_in = 0;
  for (;;) {
    if (z.avail_in == 0) {
      // With the input used up, zlib may still hold output of the last bytes it read.
      const std::uint8_t* chunk = nullptr;
      z.avail_in = static_cast<uInt>(input.TakeChunk(chunk));
      if (z.avail_in != 0) z.next_in = chunk;
    }
    std::size_t room = 0;
    z.next_out = output.Room(room);
    z.avail_out = static_cast<uInt>(room);
    const int result = inflate(&z, Z_NO_FLUSH);
    output.Commit(room - z.avail_out);
    if (result == Z_STREAM_END) return TDecodeResult::kComplete;
    // No progress without more input: the data ended before the stream did.
    if (result == Z_DATA_ERROR || result == Z_BUF_ERROR) return TDecodeResult::kDamaged;
    if (result < 0) throw EZCompressionError("error");
  }
}

}  // namespace zip
