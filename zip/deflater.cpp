#include "zip/deflater.h"

#include <zlib.h>

#include "zip/zip_exceptions.h"

namespace zip {

TDeflater::TDeflater(int level) : stream_(std::make_unique<z_stream>()) {
  // Memory level 8 and the default strategy, as every zip tool writes.
  if (deflateInit2(stream_.get(), level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw EZCompressionError("error");
}

TDeflater::~TDeflater() { deflateEnd(stream_.get()); }

z_stream_s& TDeflater::Begin() {
  if (deflateReset(stream_.get()) != Z_OK) throw EZCompressionError("error");
  return *stream_;
}

}  // namespace zip
