// JPEG pictures, as the windows carry them in the program's resources, decoded by libjpeg into a
// 32-bit bitmap.
#pragma once

#include <cstddef>

#include "classlib/graphics.h"

namespace classlib {

// Decodes a JPEG file's bytes into bitmap; damaged data raises EInvalidGraphic and the bitmap stays.
void LoadJpeg(TBitmap& bitmap, const void* data, std::size_t size);
// The JPEG stored as RCDATA resource id of the program file; false (the bitmap unchanged) when the
// program carries no such resource.
bool LoadJpegResource(TBitmap& bitmap, int id);

}  // namespace classlib
