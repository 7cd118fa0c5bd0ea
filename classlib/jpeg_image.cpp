#include "classlib/jpeg_image.h"

#include <windows.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include "classlib/exceptions.h"

extern "C" {
#include <jpeglib.h>
}

namespace classlib {

namespace {

// libjpeg ends the process on an error unless its handler jumps back here; no C++ object with a
// destructor may live between setjmp and the jump.
struct TJpegError {
  jpeg_error_mgr manager;
  std::jmp_buf back;
  char message[JMSG_LENGTH_MAX];
};

void JumpBack(j_common_ptr info) {
  auto* error = reinterpret_cast<TJpegError*>(info->err);
  info->err->format_message(info, error->message);
  std::longjmp(error->back, 1);
}

// Decodes into rgb (3 bytes a pixel, top-down); false with the reason in error->message.
bool Decode(const void* data, std::size_t size, std::vector<unsigned char>& rgb, int& width, int& height,
            TJpegError* error) {
  jpeg_decompress_struct info;
  info.err = jpeg_std_error(&error->manager);
  error->manager.error_exit = JumpBack;
  if (setjmp(error->back)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, static_cast<const unsigned char*>(data), static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  width = static_cast<int>(info.output_width);
  height = static_cast<int>(info.output_height);
  const std::size_t row = static_cast<std::size_t>(width) * 3;
  rgb.resize(row * static_cast<std::size_t>(height));
  while (info.output_scanline < info.output_height) {
    JSAMPROW line = rgb.data() + row * info.output_scanline;
    jpeg_read_scanlines(&info, &line, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace

void LoadJpeg(TBitmap& bitmap, const void* data, std::size_t size) {
  std::vector<unsigned char> rgb;
  int width = 0, height = 0;
  TJpegError error;
  std::strcpy(error.message, "no picture");
  if (size == 0 || !Decode(data, size, rgb, width, height, &error) || width <= 0 || height <= 0)
    throw EInvalidGraphic(std::string("JPEG-Bild fehlerhaft: ") + error.message);
  bitmap.SetSize(width, height);
  for (int y = 0; y < height; ++y) {
    const unsigned char* from = rgb.data() + static_cast<std::size_t>(y) * width * 3;
    std::uint8_t* to = bitmap.ScanLine(y);
    for (int x = 0; x < width; ++x, from += 3, to += 4) {
      to[0] = from[2];
      to[1] = from[1];
      to[2] = from[0];
      to[3] = 0xFF;
    }
  }
}

bool LoadJpegResource(TBitmap& bitmap, int id) {
  const HMODULE module = GetModuleHandleW(nullptr);
  const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (!found) return false;
  const HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return false;
  LoadJpeg(bitmap, data, SizeofResource(module, found));
  return true;
}

}  // namespace classlib
