#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/resource_ids.h"
#include "classlib/graphics.h"
#include "classlib/icons.h"

using classlib::TBitmap;
using classlib::TColor;
using classlib::TIcon;

namespace {

std::vector<BYTE> OwnVersionInfo() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  std::vector<BYTE> info(size);
  if (size == 0 || !GetFileVersionInfoW(path, 0, size, info.data())) info.clear();
  return info;
}

// The icon drawn over white.
void Draw(const TIcon& icon, int size, TBitmap& into) {
  into.SetSize(size, size);
  into.Canvas().Brush().SetColor(classlib::clWhite);
  into.Canvas().FillRect({0, 0, size, size});
  DrawIconEx(into.Canvas().Handle(), 0, 0, icon.Handle(), size, size, 0, nullptr, DI_NORMAL);
}

int Distance(TColor a, TColor b) {
  int d = 0;
  for (int shift = 0; shift < 24; shift += 8) d += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
  return d;
}

// Share of the pixels near a colour.
double ShareNear(const TBitmap& picture, TColor color, int tolerance) {
  int matching = 0;
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) matching += Distance(picture.Pixel(x, y), color) <= tolerance;
  return static_cast<double>(matching) / (picture.Width() * picture.Height());
}

bool SamePixels(const TBitmap& a, const TBitmap& b) {
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
  return true;
}

TEST(ProgramResources, FileVersionIsTheOneTheUpdateCheckCompares) {
  std::vector<BYTE> info = OwnVersionInfo();
  ASSERT_FALSE(info.empty());
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), 2);
  EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), 4);
  EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), 0);
  EXPECT_EQ(LOWORD(fixed->dwFileVersionLS), 2);

  wchar_t* text = nullptr;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\040704B0\\ProductName", reinterpret_cast<void**>(&text),
                             &length));
  EXPECT_EQ(std::wstring(text), L"Orvanta");
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\040704B0\\OriginalFilename",
                             reinterpret_cast<void**>(&text), &length));
  EXPECT_EQ(std::wstring(text), L"orvapp.exe");
}

TEST(ProgramResources, ProgramIconIsDarkBlueWithALightSymbolAtEverySize) {
  for (int size : {16, 32, 48}) {
    SCOPED_TRACE(size);
    TIcon icon;
    icon.LoadFromResource(IDI_PROGRAM, size);
    TBitmap picture;
    Draw(icon, size, picture);
    // The product's dark blue (with its soft light) fills the square, its light colour draws the arrow.
    EXPECT_GT(ShareNear(picture, 0x996633, 60), 0.3);
    EXPECT_GT(ShareNear(picture, 0xF5DEDE, 12), 0.08);
  }
}

TEST(ProgramResources, AnimationFramesTurnAndTheFirstIsTheProgramIcon) {
  TIcon program;
  program.LoadFromResource(IDI_PROGRAM, 16);
  TBitmap resting;
  Draw(program, 16, resting);
  std::vector<TBitmap> frames(ICON_FRAME_COUNT);
  for (int i = 0; i < ICON_FRAME_COUNT; ++i) {
    TIcon frame;
    frame.LoadFromResource(IDI_FRAME_FIRST + i, 16);
    Draw(frame, 16, frames[i]);
  }
  EXPECT_TRUE(SamePixels(frames[0], resting));
  for (int i = 0; i < ICON_FRAME_COUNT; ++i)
    for (int j = i + 1; j < ICON_FRAME_COUNT; ++j) EXPECT_FALSE(SamePixels(frames[i], frames[j])) << i << " " << j;

  TIcon missing;
  EXPECT_THROW(missing.LoadFromResource(IDI_FRAME_FIRST + ICON_FRAME_COUNT, 16), std::exception);
}

}  // namespace
