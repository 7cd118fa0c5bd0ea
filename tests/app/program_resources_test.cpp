#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/resource_ids.h"
#include "classlib/graphics.h"
#include "classlib/exceptions.h"
#include "classlib/icons.h"
#include "classlib/jpeg_image.h"

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

namespace {

// The JPEG resource's own bytes.
std::string ResourceBytes(int id) {
  const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
  if (!found) return {};
  const char* data = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
  return std::string(data, SizeofResource(nullptr, found));
}

TEST(ProgramResources, PicturesAreJpegsThatDecodeInTheProductsColours) {
  const struct {
    int id;
    int width, height;
    int x, y;  // a point of the emblem's dark blue square
  } cases[] = {{IDR_LOGO, 40, 40, 34, 36}, {IDR_INFO_PICTURE, 360, 96, 70, 74}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    const std::string bytes = ResourceBytes(c.id);
    ASSERT_GT(bytes.size(), 4u);
    EXPECT_EQ(bytes.substr(0, 3), "\xFF\xD8\xFF");
    TBitmap picture;
    ASSERT_TRUE(classlib::LoadJpegResource(picture, c.id));
    EXPECT_EQ(picture.Width(), c.width);
    EXPECT_EQ(picture.Height(), c.height);
    EXPECT_LE(Distance(picture.Pixel(c.x, c.y), 0x996633), 60);
  }
  TBitmap logo;
  classlib::LoadJpegResource(logo, IDR_LOGO);
  // The logo's corners are the band's white; the information picture runs into the light colour.
  EXPECT_LE(Distance(logo.Pixel(0, 0), classlib::clWhite), 24);
  TBitmap info;
  classlib::LoadJpegResource(info, IDR_INFO_PICTURE);
  EXPECT_LE(Distance(info.Pixel(359, 48), 0xF5DEDE), 24);
  TBitmap none;
  EXPECT_FALSE(classlib::LoadJpegResource(none, 9999));
  EXPECT_TRUE(none.Empty());
}

TEST(ProgramResources, ADamagedJpegRaisesAndLeavesThePicture) {
  const std::string good = ResourceBytes(IDR_LOGO);
  TBitmap picture;
  picture.SetSize(3, 2);
  const std::string damaged[] = {"", "\xFF\xD8", "keine JPEG-Datei", good.substr(0, 300) + std::string(40, '\0'),
                                 std::string("\xFF\xD8\xFF\xC0\x00\x11\x08\xFF\xFF\xFF\xFF", 11)};
  for (const std::string& bytes : damaged) {
    SCOPED_TRACE(bytes.size());
    EXPECT_THROW(classlib::LoadJpeg(picture, bytes.data(), bytes.size()), classlib::EInvalidGraphic);
    EXPECT_EQ(picture.Width(), 3);
  }
}

}  // namespace
