// Bitmaps in the pack's stream formats: as the bitmap's own file form, or as a device-independent
// bitmap file of a chosen depth, each in a sized block or a compressed block sequence.
#pragma once

#include "classlib/graphics.h"
#include "classlib/streams.h"
#include "controls/panels/vis_streams.h"

namespace controls {

// Bitmap kinds: the own form; the bitmap's depth (24 bits for this layer's bitmaps); 1, 4 or 8
// bits through the system's colour tables.
constexpr int kBitmapOwnForm = -1;
constexpr int kBitmapOwnDepth = 0;
constexpr int kBitmapMono = 2;
constexpr int kBitmap4Bit = 16;
constexpr int kBitmap8Bit = 256;

// The bitmap file of the kind; an empty bitmap raises classlib::EInvalidGraphic ("Bitmap ist
// ungültig") for every kind but the own form, which is empty then.
TVisBytes BitmapFileBytes(const classlib::TBitmap& Bitmap, int Kind);

void WriteBitmap(classlib::TStream& Stream, const classlib::TBitmap& Bitmap, bool Compressed, int Kind);
// The block's bytes must hold the whole bitmap file; a damaged one raises and Bitmap stays.
void ReadBitmap(classlib::TStream& Stream, classlib::TBitmap& Bitmap, bool Compressed);

}  // namespace controls
