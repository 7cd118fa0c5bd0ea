// Raw deflate and inflate of every file below a folder with the system zlib, one stream per file:
// the throughput limit for the archive writer and the extraction. Only the zlib calls are timed;
// reading the files and checking the round trip are not. With DEST, each file is also inflated
// again, its CRC-32 computed and written to the same place below DEST, and that is timed too: the
// limit for an extraction, which does the same with files.
//
// Usage:  raw_zlib LEVEL DIR [DEST]
// Prints: BYTES_IN BYTES_OUT DEFLATE_SECONDS INFLATE_SECONDS [EXTRACT_SECONDS]

#include <fcntl.h>
#include <unistd.h>
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
  double extractSeconds = 0;
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

  // target: where to write the file again, empty for none.
  void Measure(const Bytes& data, const std::filesystem::path& path, const std::filesystem::path& target,
               Totals& totals) {
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

    if (!target.empty()) {
      start = Clock::now();
      Extract(packedSize, target);
      totals.extractSeconds += SecondsSince(start);
    }

    totals.bytesIn += data.size();
    totals.bytesOut += packedSize;
  }

 private:
  // Inflates the packed bytes again through a window of 64 KiB, as an extraction streams them,
  // computes their CRC-32 and writes them to a new file.
  void Extract(size_t packedSize, const std::filesystem::path& target) {
    if (target.parent_path() != folder_) {
      folder_ = target.parent_path();
      std::filesystem::create_directories(folder_);
    }
    const int fd = open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) throw std::runtime_error("cannot create " + target.string());
    inflateReset(&inflater_);
    inflater_.next_in = packed_.data();
    inflater_.avail_in = static_cast<uInt>(packedSize);
    unsigned char window[65536];
    for (int result = Z_OK; result != Z_STREAM_END;) {
      inflater_.next_out = window;
      inflater_.avail_out = sizeof window;
      result = inflate(&inflater_, Z_NO_FLUSH);
      if (result != Z_OK && result != Z_STREAM_END) throw std::runtime_error("inflate failed: " + target.string());
      const size_t n = sizeof window - inflater_.avail_out;
      crc_ = crc32_z(crc_, window, n);
      if (write(fd, window, n) != static_cast<ssize_t>(n)) throw std::runtime_error("cannot write " + target.string());
    }
    if (close(fd) != 0) throw std::runtime_error("cannot write " + target.string());
  }

  z_stream deflater_{};
  z_stream inflater_{};
  Bytes packed_;
  Bytes restored_;
  uLong crc_ = 0;  // kept, so the computation cannot be left out
  std::filesystem::path folder_;  // made last
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: raw_zlib LEVEL DIR [DEST]\n");
    return 2;
  }
  try {
    RawCodec codec(std::atoi(argv[1]));
    Totals totals;
    const std::filesystem::path root = argv[2];
    const std::filesystem::path dest = argc == 4 ? argv[3] : "";
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
      if (!entry.is_regular_file()) continue;
      const std::filesystem::path target = dest.empty() ? dest : dest / entry.path().lexically_relative(root);
      codec.Measure(ReadFile(entry.path()), entry.path(), target, totals);
    }
    std::printf("%llu %llu %.3f %.3f", totals.bytesIn, totals.bytesOut, totals.deflateSeconds,
                totals.inflateSeconds);
    if (!dest.empty()) std::printf(" %.3f", totals.extractSeconds);
    std::printf("\n");
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "raw_zlib: %s\n", e.what());
    return 1;
  }
}
