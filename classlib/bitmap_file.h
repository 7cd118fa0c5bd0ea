// The bitmap file format, decoded and encoded without the system's help so that every header
// field of a file can be checked against the file's length first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace classlib {

// A decoded picture: top-down rows of Width pixels, 4 bytes each (B, G, R, 0).
struct TBitmapFileImage {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Pixels;
};

// The largest picture a file may describe, in pixels.
constexpr std::int64_t kMaxBitmapPixels = std::int64_t{1} << 26;

// Uncompressed files of 1, 4, 8, 16, 24 or 32 bits a pixel (16 and 32 also with bit-field masks),
// bottom-up or top-down. Anything else, or a header that does not fit the Size bytes, raises
// EInvalidGraphic.
TBitmapFileImage DecodeBitmapFile(const std::uint8_t* Data, size_t Size);

// A file with a 40-byte information header: ColorTable holds the colours (0x00RRGGBB) for 1, 4 and
// 8 bits, Bits the bottom-up rows, each padded to a multiple of 4 bytes.
std::vector<std::uint8_t> EncodeBitmapFile(int Width, int Height, int BitCount, const std::vector<std::uint32_t>& ColorTable,
                                           const std::uint8_t* Bits, size_t BitsSize);

// Bytes of one padded row.
inline std::int64_t BitmapRowBytes(std::int64_t Width, int BitCount) { return (Width * BitCount + 31) / 32 * 4; }

}  // namespace classlib
