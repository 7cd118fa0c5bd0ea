#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "classlib/exceptions.h"
#include "classlib/graphics.h"
#include "classlib/streams.h"
#include "controls/panels/vis_bitmap_stream.h"
#include "controls/panels/vis_draw.h"
#include "controls/panels/vis_image_list.h"
#include "tests/controls/oracle.h"
#include "tests/controls/pixels.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test.h"

using classlib::TBitmap;
using classlib::TColor;
using classlib::TMemoryStream;
using controls::TVisImageList;
using controls::TVisImageListItem;
using controls_test::FileArg;
using controls_test::Hex;
using controls_test::RunOracle;

namespace {

// The oracle's strip picture and mask.
TColor StripPixel(int x, int y) {
  return static_cast<TColor>(((x * 7 + y) & 255) | ((y * 13) & 255) << 8 | ((x * 3 + y * 5) & 255) << 16);
}
bool StripTransparent(int x, int y) { return (x + y) % 3 == 0; }

// The oracle's description of a picture: its size and the checksum of its red, green, blue bytes.
std::string DescribePicture(const char* name, const TBitmap& bitmap) {
  std::vector<std::uint8_t> rgb;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      const TColor c = bitmap.Pixel(x, y);
      rgb.insert(rgb.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c >> 16)});
    }
  std::ostringstream out;
  out << name << ' ' << bitmap.Width() << 'x' << bitmap.Height() << " pixels " << controls_test::Checksum(rgb);
  return out.str();
}

std::string Describe(TVisImageList& list) {
  std::ostringstream out;
  out << "kind iml";
  for (int i = 0; i < list.Count(); ++i) {
    TVisImageListItem* item = list.Item(i);
    out << "\nitem flags " << int{item->GetFlags()} << " description " << Hex(item->Description()) << " ident "
        << item->Ident() << "\nstrip " << item->Width() << 'x' << item->Height() << " alloc " << item->AllocBy()
        << " masked " << int{item->Masked()} << " images " << item->Count();
    if (item->Count() > 0) out << '\n' << DescribePicture("image", item->Image());
    if (item->Count() > 0 && item->Masked()) out << '\n' << DescribePicture("mask", item->Mask());
  }
  return out.str();
}

// The oracle also names each picture's bits a pixel, which depend on the writer.
std::string WithoutBits(const std::string& text) { return std::regex_replace(text, std::regex(" bits \\d+"), ""); }

// The oracle's strip of 4 x 3 images, two of them, loaded from File.
void LoadStrip(TVisImageList& list, const std::string& file, int masked) {
  RunOracle({"strip", FileArg(file), "4", "3", "2", std::to_string(masked)});
  list.LoadFromFile(file);
}

void Fill(TBitmap& bitmap, int w, int h, const std::function<TColor(int, int)>& color) {
  bitmap.SetSize(w, h);
  const int step = bitmap.PixelFormat() == classlib::TPixelFormat::pf24bit ? 3 : 4;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const TColor c = color(x, y);
      std::uint8_t* p = bitmap.ScanLine(y) + x * step;
      p[0] = static_cast<std::uint8_t>(c >> 16), p[1] = static_cast<std::uint8_t>(c >> 8), p[2] = static_cast<std::uint8_t>(c);
    }
}

int BitCount(const std::vector<std::uint8_t>& file) { return file[28]; }

}  // namespace

// Each kind comes back: the own form and 24 bits exactly, 1 and 4 bits for the colours they hold.
TEST(BitmapStream, KindsComeBack) {
  testing_support::InitWindows();
  const TColor vga[] = {0x000000, 0x000080, 0x008000, 0x800000, 0x808080, 0xC0C0C0, 0x0000FF, 0x00FF00,
                        0xFF0000, 0xFFFFFF, 0x00FFFF, 0xFF00FF};
  TBitmap colours, blackWhite;
  Fill(colours, 7, 5, [&](int x, int y) { return vga[(x + 3 * y) % 12]; });
  Fill(blackWhite, 9, 4, [](int x, int y) { return (x * y) % 3 ? classlib::clWhite : classlib::clBlack; });
  const struct {
    const TBitmap& bitmap;
    int kind;
    int bits;
  } cases[] = {{colours, controls::kBitmapOwnForm, 32}, {colours, controls::kBitmapOwnDepth, 24},
               {colours, controls::kBitmap4Bit, 4},     {colours, controls::kBitmap8Bit, 8},
               {blackWhite, controls::kBitmapMono, 1}};
  for (const auto& c : cases) {
    for (bool compressed : {false, true}) {
      SCOPED_TRACE(testing::Message() << "kind " << c.kind << (compressed ? " compressed" : ""));
      const auto file = controls::BitmapFileBytes(c.bitmap, c.kind);
      EXPECT_EQ(BitCount(file), c.bits);
      if (c.bits <= 8) {
        EXPECT_EQ(file[10] | file[11] << 8, 54 + 4 * (1 << c.bits)) << "a full colour table";
      }
      TMemoryStream s;
      controls::WriteBitmap(s, c.bitmap, compressed, c.kind);
      s.SetPosition(0);
      TBitmap back;
      controls::ReadBitmap(s, back, compressed);
      EXPECT_EQ(s.Remaining(), 0);
      ASSERT_EQ(back.Width(), c.bitmap.Width());
      ASSERT_EQ(back.Height(), c.bitmap.Height());
      for (int y = 0; y < back.Height(); ++y)
        for (int x = 0; x < back.Width(); ++x) ASSERT_EQ(back.Pixel(x, y), c.bitmap.Pixel(x, y)) << x << "," << y;
    }
  }
  TBitmap wide;
  wide.SetPixelFormat(classlib::TPixelFormat::pf24bit);
  Fill(wide, 3, 3, [](int, int) { return 0x123456u; });
  EXPECT_EQ(BitCount(controls::BitmapFileBytes(wide, controls::kBitmapOwnDepth)), 24);

  TBitmap empty;
  EXPECT_TRUE(controls::BitmapFileBytes(empty, controls::kBitmapOwnForm).empty());
  try {
    controls::BitmapFileBytes(empty, controls::kBitmapOwnDepth);
    FAIL();
  } catch (const classlib::EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Bitmap ist ungültig");
  }
}

// A bitmap whose header promises more than its block holds fails, and the bitmap stays.
TEST(BitmapStream, HeaderCheckedAgainstItsBlock) {
  testing_support::InitWindows();
  TBitmap picture;
  Fill(picture, 4, 4, [](int x, int) { return x ? 0x0000FFu : 0u; });
  auto file = controls::BitmapFileBytes(picture, controls::kBitmapOwnDepth);
  file.pop_back();
  TMemoryStream s;
  controls::WriteBlock(s, file, false);
  s.SetPosition(0);
  TBitmap kept;
  Fill(kept, 2, 2, [](int, int) { return 0x00FF00u; });
  EXPECT_THROW(controls::ReadBitmap(s, kept, false), classlib::EInvalidGraphic);
  EXPECT_EQ(kept.Width(), 2);
  EXPECT_EQ(kept.Pixel(1, 1), 0x00FF00u);
}

// Strips written by the oracle load as it reads them, image by image and pixel by pixel, and
// what we save it reads the same way.
TEST(ImageList, StripFilesAgreeWithTheOracle) {
  testing_support::InitWindows();
  testing_support::TempDir dir;
  for (int masked : {0, 1}) {
    SCOPED_TRACE(masked ? "masked" : "plain");
    const std::string theirs = dir / "fremd.iml", ours = dir / "eigen.iml";
    RunOracle({"strip", FileArg(theirs), "5", "4", "3", std::to_string(masked)});
    const std::string expected = RunOracle({"read", FileArg(theirs)});
    TVisImageList list(nullptr);
    list.LoadFromFile(theirs);
    EXPECT_EQ(Describe(list), WithoutBits(expected));
    ASSERT_EQ(list.ImageCount(0), 3);
    EXPECT_EQ(list.ItemMasked(0), masked == 1);
    EXPECT_EQ(list.ItemSize(0, 0), 5);
    EXPECT_EQ(list.ItemSize(0, 1), 4);
    for (int image = 0; image < 3; ++image)
      for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) ASSERT_EQ(list.ItemPixel(0, image, x, y), StripPixel(image * 5 + x, y));
    if (masked) {
      for (int x = 0; x < 15; ++x) EXPECT_EQ(list.Item(0)->Mask().Pixel(x, 2), StripTransparent(x, 2) ? 0xFFFFFFu : 0u);
    }
    EXPECT_EQ(list.ItemTransparentColor(0, 1), StripPixel(5, 3));
    EXPECT_EQ(pixels::Text(list.ItemRect(0, 2)), "10,0,15,4");

    list.SaveToFile(ours);
    const std::string read = RunOracle({"read", FileArg(ours)});
    EXPECT_EQ(WithoutBits(read), WithoutBits(expected));
    EXPECT_NE(read.find(masked ? "mask 15x4 bits 1" : "image 15x4 bits 32"), std::string::npos) << read;
  }
}

TEST(ImageList, DamagedStripsLeaveTheListAsItWas) {
  testing_support::InitWindows();
  testing_support::TempDir dir;
  TVisImageList list(nullptr);
  LoadStrip(list, dir / "gut.iml", 1);
  const std::string before = Describe(list);
  for (const std::string& name : controls_test::Lines(RunOracle({"damaged", FileArg(dir.Path()), "strip"}))) {
    SCOPED_TRACE(name);
    EXPECT_THROW(list.LoadFromFile(dir / name), classlib::Exception);
    EXPECT_EQ(Describe(list), before);
  }
}

TEST(ImageList, OutOfRangeIndexesAnswerWithDefaults) {
  testing_support::InitWindows();
  TVisImageList list(nullptr);
  list.Add();
  TBitmap target;
  for (auto [listIndex, imageIndex] : {std::pair{-1, 0}, {1, 0}, {0, 0}, {0, -1}}) {
    EXPECT_FALSE(list.IndexValid(listIndex, imageIndex));
    EXPECT_FALSE(list.AssignItemTo(listIndex, imageIndex, target));
    EXPECT_EQ(list.ItemPixel(listIndex, imageIndex, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(list.ItemTransparentColor(listIndex, imageIndex), 0xFFFFFFu);
  }
  EXPECT_EQ(list.ImageCount(1), -1);
  EXPECT_EQ(list.ImageCount(0), 0);
  EXPECT_EQ(list.ItemSize(-1, 0), 0);
  EXPECT_EQ(list.ItemCanvas(3), nullptr);
}

namespace {

// An item of Count images of Width x 1 pixels, read from its stream record.
void MakeStrip(TVisImageListItem& item, int width, int count) {
  TBitmap strip;
  Fill(strip, width * count, 1, [](int x, int) { return static_cast<TColor>(x * 5); });
  TMemoryStream s;
  controls::WriteByte(s, 0);
  for (int v : {1, width, 4}) controls::WriteInt(s, v);
  controls::WriteByte(s, 0);
  controls::WriteInt(s, count);
  controls::WriteBitmap(s, strip, false, controls::kBitmapOwnForm);
  s.SetPosition(0);
  item.ReadFromStream(s);
}

}  // namespace

TEST(ImageList, AddingImagesKeepsTheStripWithinItsLimits) {
  testing_support::InitWindows();
  TVisImageListItem many(nullptr), one(nullptr), other(nullptr);
  MakeStrip(many, 16, 2047);
  MakeStrip(one, 16, 1);
  MakeStrip(other, 8, 1);
  int changes = 0;
  many.OnChange = [&](classlib::TObject*) { ++changes; };
  try {
    many.AddImages(other);
    FAIL();
  } catch (const classlib::EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Ungültige Grafikgröße");
  }
  many.AddImages(one);
  EXPECT_EQ(many.Count(), 2048);
  EXPECT_EQ(many.Image().Width(), 32768);
  EXPECT_EQ(changes, 1);
  try {
    many.AddImages(one);
    FAIL();
  } catch (const classlib::EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Zu viele Bilder");
  }
  EXPECT_EQ(many.Count(), 2048);
  EXPECT_EQ(many.Image().Pixel(32767, 0), 15u * 5);

  // A strip read from a stream is held to the same limit.
  TVisImageListItem tooMany(nullptr);
  TMemoryStream s;
  controls::WriteByte(s, 0);
  for (int v : {1, 16, 4}) controls::WriteInt(s, v);
  controls::WriteByte(s, 0);
  controls::WriteInt(s, 2049);
  s.SetPosition(0);
  EXPECT_THROW(tooMany.ReadFromStream(s), classlib::EInvalidGraphic);

  TVisImageListItem copy(nullptr);
  copy.Assign(one);
  EXPECT_EQ(copy.Width(), 16);
  EXPECT_EQ(copy.Count(), 1);
  copy.SetWidth(0);
  EXPECT_EQ(copy.Count(), 1);
  copy.SetWidth(8);
  EXPECT_EQ(copy.Count(), 0);
}

// A masked image on a green canvas, by drawing style: where the mask is white the background
// shows (combined with the image's own pixel, as the raster operations do).
TEST(ImageList, DrawingStyles) {
  testing_support::InitWindows();
  testing_support::TempDir dir;
  TVisImageList list(nullptr);
  LoadStrip(list, dir / "streifen.iml", 1);
  TVisImageListItem& item = *list.Item(0);
  const TColor green = 0x00FF00, red = 0x0000FF, blue = 0xFF0000;
  const struct {
    int style;
    TColor bk, blend;
    std::function<bool(int, int)> laid;
  } cases[] = {
      {3, red, blue, nullptr},
      {2, classlib::clNone, blue, nullptr},
      {2, red, blue, nullptr},
      {1, red, blue, [](int x, int y) { return ((x ^ y) & 1) != 0; }},
      {0, red, blue, [](int x, int y) { return x % 2 == 0 || y % 2 == 0; }},
      {0, red, classlib::clNone, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "style " << c.style << " bk " << c.bk);
    item.SetDrawingStyle(c.style);
    item.SetBkColor(c.bk);
    item.SetBlendColor(c.blend);
    TBitmap canvas;
    pixels::Prepare(canvas, 8, 6, green);
    list.Draw(canvas.Canvas(), 2, 1, 0, 1);
    const TColor behind = c.style == 3 || c.bk == classlib::clNone ? green : c.bk;
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 4; ++x) {
        TColor expected = StripPixel(4 + x, y) | (StripTransparent(4 + x, y) ? behind : 0);
        if (c.laid && c.laid(x, y)) expected = c.blend;
        ASSERT_EQ(canvas.Pixel(2 + x, 1 + y), expected) << x << "," << y;
      }
    EXPECT_EQ(pixels::ChangedOutside(canvas, {2, 1, 6, 4}, green), 0);
  }
  item.SetImageType(1);
  TBitmap plain;
  pixels::Prepare(plain, 4, 3, green);
  list.Draw(plain.Canvas(), 0, 0, 0, 0);
  EXPECT_EQ(plain.Pixel(0, 0), StripPixel(0, 0)) << "image type 1 ignores the mask";
}

// Every image carries the strip's masked bit: switching Masked sets or clears it for each image and
// keeps its place, and a copy keeps the bits and the share flag.
TEST(ImageList, EachImageCarriesTheMaskedBit) {
  testing_support::InitWindows();
  testing_support::TempDir dir;
  TVisImageList list(nullptr);
  LoadStrip(list, dir / "streifen.iml", 1);
  TVisImageListItem& item = *list.Item(0);
  const auto bits = [](const TVisImageListItem& i) {
    return std::vector<bool>{i.ImageMasked(0), i.ImageMasked(1), i.ImageMasked(2)};
  };
  EXPECT_EQ(bits(item), (std::vector<bool>{true, true, false})) << "two images, the third out of range";
  item.SetMasked(false);
  EXPECT_EQ(bits(item), (std::vector<bool>{false, false, false}));
  EXPECT_EQ(pixels::Text(item.CellRect(1)), "4,0,8,3");
  TBitmap plain;
  pixels::Prepare(plain, 4, 3, 0x00FF00);
  list.Draw(plain.Canvas(), 0, 0, 0, 1);
  EXPECT_EQ(plain.Pixel(2, 0), StripPixel(6, 0)) << "drawn without the mask, where it would let the green through";
  item.SetMasked(true);
  item.SetShare(true);
  EXPECT_EQ(bits(item), (std::vector<bool>{true, true, false}));

  TVisImageListItem copy(nullptr);
  copy.Assign(item);
  EXPECT_EQ(bits(copy), (std::vector<bool>{true, true, false}));
  EXPECT_TRUE(copy.Share());
  EXPECT_EQ(pixels::Text(copy.CellRect(1)), "4,0,8,3");
}

// Transparent drawing: a masked strip through its mask, an unmasked one without the colour of
// the cell's bottom-left pixel.
TEST(ImageList, TransparentDrawing) {
  testing_support::InitWindows();
  testing_support::TempDir dir;
  const TColor green = 0x00FF00;
  for (int masked : {0, 1}) {
    SCOPED_TRACE(masked ? "masked" : "plain");
    TVisImageList list(nullptr);
    LoadStrip(list, dir / "streifen.iml", masked);
    TBitmap canvas;
    pixels::Prepare(canvas, 10, 10, green);
    RECT drawn;
    ASSERT_TRUE(list.DrawTransparent(canvas.Canvas(), {3, 3, 10, 10}, drawn, 0, 1, 0));
    EXPECT_EQ(pixels::Text(drawn), "3,3,7,6");
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 4; ++x) {
        const bool through = masked ? StripTransparent(4 + x, y) : (x == 0 && y == 2);
        const TColor expected = masked ? StripPixel(4 + x, y) | (through ? green : 0) : through ? green : StripPixel(4 + x, y);
        ASSERT_EQ(canvas.Pixel(3 + x, 3 + y), expected) << x << "," << y;
      }
  }
}

// An empty bitmap item fetches its picture from the list's source when asked for it.
TEST(BitmapList, LazyLoadingBySource) {
  testing_support::InitWindows();
  testing_support::TempDir dir;
  TBitmap red, blue;
  Fill(red, 3, 2, [](int, int) { return 0x0000FFu; });
  Fill(blue, 2, 2, [](int, int) { return 0xFF0000u; });

  controls::TVisBitmapList stored(nullptr);
  stored.Add();
  static_cast<controls::TVisBitmapListItem*>(stored.Add())->SetBitmap(red);
  stored.SaveToFile(dir / "bilder.bmp");
  blue.SaveToFile(dir / "bil7.bmp");

  controls::TVisBitmapList list(nullptr);
  auto* item = static_cast<controls::TVisBitmapListItem*>(list.Add());
  item->SetIdent(1);
  item->SetDescription("eigene");
  list.SetPathPrefix(controls::TVisPathPrefix::ppFixed);
  list.SetFileName(dir / "bilder.bmp");
  list.SetSourceKind(controls::TVisSourceKind::skContainerFile);
  EXPECT_EQ(item->Bitmap().Width(), 3);
  EXPECT_EQ(item->Bitmap().Pixel(0, 0), 0x0000FFu);
  EXPECT_EQ(item->Description(), "eigene") << "only the picture is taken";
  EXPECT_EQ(item->Ident(), 1);

  item->Clear();
  item->SetIdent(7);
  list.SetSourceKind(controls::TVisSourceKind::skBitmapFiles);
  EXPECT_EQ(item->Bitmap().Width(), 2);
  EXPECT_EQ(item->Bitmap().Pixel(1, 1), 0xFF0000u);

  item->Clear();
  list.SetSourceKind(controls::TVisSourceKind::skResourceLibrary);
  list.SetFileName(dir / "bilder.dll");
  EXPECT_TRUE(item->Bitmap().Empty()) << "no library is loaded";
  list.SetSourceKind(controls::TVisSourceKind::skResource);
  EXPECT_THROW(item->Bitmap(), classlib::EInvalidGraphic);
  item->SetIdent(3);
  list.SetFileName(dir / "bilder.bmp");
  list.SetSourceKind(controls::TVisSourceKind::skContainerFile);
  EXPECT_THROW(item->Bitmap(), classlib::EFOpenError) << "the file holds two items";
}

TEST(BitmapList, FilesAgreeWithTheOracle) {
  testing_support::InitWindows();
  testing_support::TempDir dir;
  TBitmap picture;
  Fill(picture, 6, 5, [](int x, int y) { return StripPixel(x, y); });
  controls::TVisBitmapList list(nullptr);
  list.Add()->SetDescription("leer");
  auto* item = static_cast<controls::TVisBitmapListItem*>(list.Add());
  item->SetBitmap(picture);
  item->SetCompressed(true);
  item->SetIdent(9);
  list.SaveToFile(dir / "liste.bmp");
  EXPECT_EQ(RunOracle({"read", FileArg(dir / "liste.bmp")}),
            "kind bml\nitem flags 2 description " + Hex("leer") + " ident 0\nitem flags 13 description  ident 9\n" +
                DescribePicture("bitmap", picture).insert(10, " bits 32"));
  controls::TVisBitmapList back(nullptr);
  back.LoadFromFile(dir / "liste.bmp");
  ASSERT_EQ(back.Count(), 2);
  EXPECT_TRUE(back.Item(0)->IsEmpty());
  EXPECT_EQ(back.Item(1)->Bitmap().Pixel(5, 4), StripPixel(5, 4));
}

TEST(Container, GlobalContainerAndItsListNames) {
  testing_support::InitWindows();
  controls::TVisContainer& global = controls::VisContainer();
  EXPECT_TRUE(global.ImageList().IsEmpty());
  EXPECT_EQ(controls::GlobalListSignature(&global.BitmapList()), "VISBML30");
  EXPECT_EQ(controls::GlobalListSignature(&global.ImageList()), "VISIML30");
  TVisImageList own(nullptr);
  EXPECT_EQ(controls::GlobalListSignature(&own), "");
  EXPECT_EQ(controls::GlobalListOfSignature("VISIML30"), &global.ImageList());
  EXPECT_EQ(controls::GlobalListOfSignature("VISWVL30"), nullptr);
  std::vector<classlib::TObject*> senders;
  global.OnChange = [&](classlib::TObject* sender) { senders.push_back(sender); };
  global.StringList().Clear();
  global.OnChange = nullptr;
  EXPECT_EQ(senders, std::vector<classlib::TObject*>{&global});
}
