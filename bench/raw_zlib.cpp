// Raw deflate and inflate of every file below a folder with the system zlib, one stream per file:
// the throughput limit for the archive writer and the extraction. Only the zlib calls are timed;
// reading the files and checking the round trip are not.
//
// Usage:  raw_zlib LEVEL DIR
// Prints: BYTES_IN BYTES_OUT DEFLATE_SECONDS INFLATE_SECONDS

#include <zlib.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
using Clock = std::chrono::steady_clock;

Bytes ReadFile(const std::filesystem::path& path) {
  auto size = std::filesystem::file_size(path);
  if (size > UINT_MAX) throw std::runtime_error("too large for one zlib call: " + path.string());
  Bytes data(size);
  std::ifstream in(path, std::ios::binary);
  if (!in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(size)))
    throw std::runtime_error("cannot read " + path.string());
  return data;
}

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Totals {
  unsigned long long bytesIn = 0;
  unsigned long long bytesOut = 0;
  double deflateSeconds = 0;
  double inflateSeconds = 0;
};

class RawCodec {
 public:
  explicit RawCodec(int level) {
    // Window bits -15: raw deflate without a zlib header, as zip entries hold it.
    if (deflateInit2(&deflater_, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK ||
        inflateInit2(&inflater_, -15) != Z_OK)
      throw std::runtime_error("zlib initialisation failed");
  }
  ~RawCodec() {
    deflateEnd(&deflater_);
    inflateEnd(&inflater_);
  }
  RawCodec(const RawCodec&) = delete;
  RawCodec& operator=(const RawCodec&) = delete;

  void Measure(const Bytes& data, const std::filesystem::path& path, Totals& totals) {
    packed_.resize(deflateBound(&deflater_, data.size()));
    auto start = Clock::now();
    deflateReset(&deflater_);
    deflater_.next_in = data.data();
    deflater_.avail_in = static_cast<uInt>(data.size());
    deflater_.next_out = packed_.data();
    deflater_.avail_out = static_cast<uInt>(packed_.size());
    int result = deflate(&deflater_, Z_FINISH);
    totals.deflateSeconds += SecondsSince(start);
    if (result != Z_STREAM_END) throw std::runtime_error("deflate failed: " + path.string());
    size_t packedSize = deflater_.total_out;

    restored_.resize(data.size());
    start = Clock::now();
    inflateReset(&inflater_);
    inflater_.next_in = packed_.data();
    inflater_.avail_in = static_cast<uInt>(packedSize);
    inflater_.next_out = restored_.data();
    inflater_.avail_out = static_cast<uInt>(restored_.size());
    result = inflate(&inflater_, Z_FINISH);
    totals.inflateSeconds += SecondsSince(start);
    if (result != Z_STREAM_END || restored_ != data)
      throw std::runtime_error("round trip failed: " + path.string());

    totals.bytesIn += data.size();
    totals.bytesOut += packedSize;
  }

 private:
  z_stream deflater_{};
  z_stream inflater_{};
  Bytes packed_;
  Bytes restored_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: raw_zlib LEVEL DIR\n");
    return 2;
  }
  try {
    RawCodec codec(std::atoi(argv[1]));
    Totals totals;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(argv[2])) {
      if (!entry.is_regular_file()) continue;
      codec.Measure(ReadFile(entry.path()), entry.path(), totals);
    }
    std::printf("%llu %llu %.3f %.3f\n", totals.bytesIn, totals.bytesOut, totals.deflateSeconds,
                totals.inflateSeconds);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "raw_zlib: %s\n", e.what());
    return 1;
  }
}
