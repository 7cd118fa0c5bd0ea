#include "controls/panels/vis_bitmap_stream.h"

#include <windows.h>

#include <vector>

#include "classlib/bitmap_file.h"
#include "classlib/exceptions.h"

namespace controls {

namespace {

int BitCount(int kind) {
  switch (kind) {
    case kBitmapMono:
      return 1;
    case kBitmap4Bit:
      return 4;
    case kBitmap8Bit:
      return 8;
    default:
      return 24;
  }
}

}  // namespace

TVisBytes BitmapFileBytes(const classlib::TBitmap& Bitmap, int Kind) {
  if (Kind == kBitmapOwnForm) {
    classlib::TMemoryStream own;
    Bitmap.SaveToStream(own);
    return own.Bytes();
  }
  if (!Bitmap.Handle()) throw classlib::EInvalidGraphic("Bitmap ist ungültig");
  const int bits = BitCount(Kind);
  const int colors = bits <= 8 ? 1 << bits : 0;
  std::vector<std::uint8_t> header(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
  auto* info = reinterpret_cast<BITMAPINFO*>(header.data());
  info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info->bmiHeader.biWidth = Bitmap.Width();
  info->bmiHeader.biHeight = Bitmap.Height();
  info->bmiHeader.biPlanes = 1;
  info->bmiHeader.biBitCount = static_cast<WORD>(bits);
  info->bmiHeader.biCompression = BI_RGB;
  std::vector<std::uint8_t> rows(static_cast<size_t>(classlib::BitmapRowBytes(Bitmap.Width(), bits) * Bitmap.Height()));
  GdiFlush();
  HDC screen = GetDC(nullptr);
  const int got = GetDIBits(screen, Bitmap.Handle(), 0, static_cast<UINT>(Bitmap.Height()), rows.data(), info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (got != Bitmap.Height()) throw classlib::EInvalidGraphic("Bitmap ist ungültig");
  std::vector<std::uint32_t> table;
  for (int i = 0; i < colors; ++i) {
    const RGBQUAD& q = info->bmiColors[i];
    table.push_back(static_cast<std::uint32_t>(q.rgbRed) << 16 | q.rgbGreen << 8 | q.rgbBlue);
  }
  return classlib::EncodeBitmapFile(Bitmap.Width(), Bitmap.Height(), bits, table, rows.data(), rows.size());
}

void WriteBitmap(classlib::TStream& Stream, const classlib::TBitmap& Bitmap, bool Compressed, int Kind) {
  WriteBlock(Stream, BitmapFileBytes(Bitmap, Kind), Compressed);
}

void ReadBitmap(classlib::TStream& Stream, classlib::TBitmap& Bitmap, bool Compressed) {
  classlib::TMemoryStream file(ReadBlock(Stream, Compressed));
  Bitmap.LoadFromStream(file);
}

}  // namespace controls
