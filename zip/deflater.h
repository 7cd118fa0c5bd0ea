// The compression library's raw deflate (no header or trailer, as zip entries hold it).
#pragma once

#include <memory>

struct z_stream_s;

namespace zip {

// Made once for a writing run at its level and reset for every entry, so entries allocate nothing.
class TDeflater {
 public:
  // Raises EZCompressionError ("error") when the library refuses, say, the level.
  explicit TDeflater(int level);
  ~TDeflater();
  TDeflater(const TDeflater&) = delete;
  TDeflater& operator=(const TDeflater&) = delete;

  // The stream, reset for the next entry.
  z_stream_s& Begin();

 private:
  std::unique_ptr<z_stream_s> stream_;
};

}  // namespace zip
