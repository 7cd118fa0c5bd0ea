#include "zip/inflate_entry.h"

#define ZLIB_CONST
#include <zlib.h>

#include <vector>

#include "zip/zip_exceptions.h"

namespace zip {

namespace {

class TInflater {
 public:
  TInflater() {
    if (inflateInit2(&stream_, -MAX_WBITS) != Z_OK) throw EZCompressionError("error");
  }
  ~TInflater() { inflateEnd(&stream_); }
  TInflater(const TInflater&) = delete;
  TInflater& operator=(const TInflater&) = delete;

  z_stream& Stream() { return stream_; }

 private:
  z_stream stream_{};
};

}  // namespace

TDecodeResult InflateEntry(TEntryInput& input, TEntryOutput& output) {
  TInflater inflater;
  z_stream& z = inflater.Stream();
  std::vector<std::uint8_t> window(TEntryOutput::kWindowSize);
  for (;;) {
    if (z.avail_in == 0) {
      // With the input used up, zlib may still hold output of the last bytes it read.
      const std::uint8_t* chunk = nullptr;
      z.avail_in = static_cast<uInt>(input.TakeChunk(chunk));
      if (z.avail_in != 0) z.next_in = chunk;
    }
    z.next_out = window.data();
    z.avail_out = static_cast<uInt>(window.size());
    const int result = inflate(&z, Z_NO_FLUSH);
    output.OutBytes(window.data(), window.size() - z.avail_out);
    if (result == Z_STREAM_END) return TDecodeResult::kComplete;
    // No progress without more input: the data ended before the stream did.
    if (result == Z_DATA_ERROR || result == Z_BUF_ERROR) return TDecodeResult::kDamaged;
    if (result < 0) throw EZCompressionError("error");
  }
}

}  // namespace zip
