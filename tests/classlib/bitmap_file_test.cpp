#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "classlib/bitmap_file.h"
#include "classlib/exceptions.h"

using classlib::DecodeBitmapFile;
using classlib::EncodeBitmapFile;
using Bytes = std::vector<std::uint8_t>;

namespace {

void Put32(Bytes& b, size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A 3 x 2 picture of 4 bits: bottom row indexes 0 1 2, top row 3 0 15 (15 lies past a 4-colour table).
Bytes FourBit() {
  const Bytes rows = {0x01, 0x20, 0, 0, 0x30, 0xF0, 0, 0};
  Bytes file = EncodeBitmapFile(3, 2, 4, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}, rows.data(), rows.size());
  Put32(file, 46, 4);
  return file;
}

// The pixel's 0x00RRGGBB.
std::uint32_t At(const classlib::TBitmapFileImage& image, int x, int y) {
  const std::uint8_t* p = &image.Pixels[(static_cast<size_t>(y) * image.Width + x) * 4];
  return static_cast<std::uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
}

}  // namespace

TEST(BitmapFile, DecodesWhatItEncodes) {
  const Bytes file = FourBit();
  const auto image = DecodeBitmapFile(file.data(), file.size());
  ASSERT_EQ(image.Width, 3);
  ASSERT_EQ(image.Height, 2);
  EXPECT_EQ(At(image, 0, 0), 0x0000FFu);
  EXPECT_EQ(At(image, 1, 0), 0x000000u);
  EXPECT_EQ(At(image, 2, 0), 0x000000u) << "an index past the table is black";
  EXPECT_EQ(At(image, 1, 1), 0xFF0000u);
  EXPECT_EQ(At(image, 2, 1), 0x00FF00u);

  // 16 bits through bit fields (5-6-5), top-down.
  Bytes bf(14 + 40 + 12 + 4, 0);
  bf[0] = 'B', bf[1] = 'M';
  Put32(bf, 10, 66);
  Put32(bf, 14, 40);
  Put32(bf, 18, 2);
  Put32(bf, 22, static_cast<std::uint32_t>(-1));
  bf[26] = 1, bf[28] = 16, bf[30] = 3;
  Put32(bf, 54, 0xF800), Put32(bf, 58, 0x07E0), Put32(bf, 62, 0x001F);
  bf[66] = 0x00, bf[67] = 0xF8;  // red
  bf[68] = 0x1F, bf[69] = 0x00;  // blue
  const auto wide = DecodeBitmapFile(bf.data(), bf.size());
  EXPECT_EQ(At(wide, 0, 0), 0xFF0000u);
  EXPECT_EQ(At(wide, 1, 0), 0x0000FFu);
}

// Every field that says where or how much is checked against the file's length.
TEST(BitmapFile, DamagedHeadersAreRefused) {
  const Bytes good = FourBit();
  const struct {
    const char* name;
    size_t at;
    std::uint32_t value;
  } fields[] = {
      {"bits offset past the end", 10, 1000},
      {"bits offset inside the table", 10, 60},
      {"header size past the end", 14, 5000},
      {"header size unknown", 14, 44},
      {"width 0", 18, 0},
      {"width negative", 18, static_cast<std::uint32_t>(-3)},
      {"height 0", 22, 0},
      {"huge picture", 18, 0x10000},
      {"planes", 26, 2},
      {"bit count 2", 28, 2},
      {"run-length compression", 30, 2},
      {"more colours than the depth holds", 46, 17},
  };
  for (const auto& f : fields) {
    SCOPED_TRACE(f.name);
    Bytes file = good;
    if (std::string(f.name) == "huge picture") Put32(file, 22, 0x10000);
    if (f.at == 26 || f.at == 28)
      file[f.at] = static_cast<std::uint8_t>(f.value), file[f.at + 1] = 0;
    else
      Put32(file, f.at, f.value);
    EXPECT_THROW(DecodeBitmapFile(file.data(), file.size()), classlib::EInvalidGraphic);
  }
  for (size_t cut : {size_t{0}, size_t{2}, size_t{30}, size_t{54}, good.size() - 1}) {
    SCOPED_TRACE(cut);
    const Bytes shorter(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_THROW(DecodeBitmapFile(shorter.data(), shorter.size()), classlib::EInvalidGraphic);
  }
}
