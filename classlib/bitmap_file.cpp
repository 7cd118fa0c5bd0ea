#include "classlib/bitmap_file.h"

#include <cstring>

#include "classlib/exceptions.h"

namespace classlib {

namespace {

constexpr size_t kFileHeader = 14;
constexpr size_t kInfoHeader = 40;
constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kBitFields = 3;

[[noreturn]] void Invalid() { throw EInvalidGraphic("Bitmap ist ungültig"); }

std::uint32_t U16(const std::uint8_t* p) { return p[0] | p[1] << 8; }
std::uint32_t U32(const std::uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24; }

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// One channel through a bit-field mask, scaled to 8 bits.
struct Channel {
  explicit Channel(std::uint32_t mask) : mask(mask) {
    if (!mask) return;
    while (!(mask >> shift & 1)) ++shift;
    while (shift + bits < 32 && (mask >> (shift + bits) & 1)) ++bits;
  }
  std::uint8_t operator()(std::uint32_t value) const {
    if (!mask) return 0;
    const std::uint32_t v = (value & mask) >> shift;
    const std::uint32_t max = bits >= 32 ? 0xFFFFFFFF : (std::uint32_t{1} << bits) - 1;
    return static_cast<std::uint8_t>((std::uint64_t{v} * 255 + max / 2) / max);
  }
  std::uint32_t mask;
  int shift = 0;
  int bits = 0;
};

}  // namespace

TBitmapFileImage DecodeBitmapFile(const std::uint8_t* Data, size_t Size) {
  if (Size < kFileHeader + kInfoHeader || Data[0] != 'B' || Data[1] != 'M') Invalid();
  const std::uint64_t bitsOffset = U32(Data + 10);
  const std::uint64_t headerSize = U32(Data + 14);
  // The information header and its later versions.
  if ((headerSize != kInfoHeader && headerSize != 52 && headerSize != 56 && headerSize != 108 && headerSize != 124) ||
      kFileHeader + headerSize > Size)
    Invalid();
  const std::uint8_t* h = Data + kFileHeader;
  const std::int64_t width = static_cast<std::int32_t>(U32(h + 4));
  const std::int64_t rawHeight = static_cast<std::int32_t>(U32(h + 8));
  const int bitCount = static_cast<int>(U16(h + 14));
  const std::uint32_t compression = U32(h + 16);
  const std::uint32_t colorsUsed = U32(h + 32);
  const std::int64_t height = rawHeight < 0 ? -rawHeight : rawHeight;
  if (U16(h + 12) != 1 || width <= 0 || height <= 0 || width * height > kMaxBitmapPixels) Invalid();
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32) Invalid();
  if (compression != kRgb && !(compression == kBitFields && (bitCount == 16 || bitCount == 32))) Invalid();

  std::uint64_t tableStart = kFileHeader + headerSize;
  std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
  if (bitCount == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
  if (compression == kBitFields) {
    // The masks follow a 40-byte header; larger headers hold them.
    if (headerSize == kInfoHeader) tableStart += 12;
    if (tableStart > Size) Invalid();
    for (int i = 0; i < 3; ++i) masks[i] = U32(Data + kFileHeader + kInfoHeader + 4 * i);
  }
  std::uint64_t colors = 0;
  if (bitCount <= 8) {
    const std::uint64_t most = std::uint64_t{1} << bitCount;
    colors = colorsUsed == 0 ? most : colorsUsed;
    if (colors > most) Invalid();
  }
  const std::uint64_t rowBytes = static_cast<std::uint64_t>(BitmapRowBytes(width, bitCount));
  if (tableStart + 4 * colors > bitsOffset || bitsOffset > Size || rowBytes * height > Size - bitsOffset) Invalid();

  const std::uint8_t* table = Data + tableStart;
  const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
  TBitmapFileImage image;
  image.Width = static_cast<int>(width);
  image.Height = static_cast<int>(height);
  image.Pixels.assign(static_cast<size_t>(width * height * 4), 0);
  for (std::int64_t y = 0; y < height; ++y) {
    const std::uint8_t* row = Data + bitsOffset + rowBytes * static_cast<std::uint64_t>(rawHeight < 0 ? y : height - 1 - y);
    std::uint8_t* out = image.Pixels.data() + y * width * 4;
    for (std::int64_t x = 0; x < width; ++x, out += 4) {
      if (bitCount <= 8) {
        const int perByte = 8 / bitCount;
        const unsigned shift = static_cast<unsigned>(8 - bitCount * (x % perByte + 1));
        const std::uint64_t index = (row[x / perByte] >> shift) & ((1u << bitCount) - 1);
        // An index past the table is black.
        if (index < colors) std::memcpy(out, table + 4 * index, 3);
      } else if (bitCount == 24) {
        std::memcpy(out, row + 3 * x, 3);
      } else {
        const std::uint32_t value = bitCount == 16 ? U16(row + 2 * x) : U32(row + 4 * x);
        out[0] = blue(value);
        out[1] = green(value);
        out[2] = red(value);
      }
    }
  }
  return image;
}

std::vector<std::uint8_t> EncodeBitmapFile(int Width, int Height, int BitCount, const std::vector<std::uint32_t>& ColorTable,
                                           const std::uint8_t* Bits, size_t BitsSize) {
  const size_t imageSize = static_cast<size_t>(BitmapRowBytes(Width, BitCount) * Height);
  if (Width <= 0 || Height <= 0 || BitsSize < imageSize) Invalid();
  const auto bitsOffset = static_cast<std::uint32_t>(kFileHeader + kInfoHeader + 4 * ColorTable.size());
  std::vector<std::uint8_t> out;
  out.reserve(bitsOffset + imageSize);
  out.push_back('B');
  out.push_back('M');
  Put32(out, static_cast<std::uint32_t>(bitsOffset + imageSize));
  Put32(out, 0);
  Put32(out, bitsOffset);
  Put32(out, kInfoHeader);
  Put32(out, static_cast<std::uint32_t>(Width));
  Put32(out, static_cast<std::uint32_t>(Height));
  Put16(out, 1);
  Put16(out, static_cast<std::uint32_t>(BitCount));
  Put32(out, kRgb);
  Put32(out, static_cast<std::uint32_t>(imageSize));
  for (int i = 0; i < 4; ++i) Put32(out, 0);
  for (std::uint32_t color : ColorTable) Put32(out, color);
  out.insert(out.end(), Bits, Bits + imageSize);
  return out;
}

}  // namespace classlib
