// Scoped changes to a device context that the pack's painters make on a caller's context: a clip
// rectangle and a palette. Each puts back what the context held before, also when painting
// raises.
#pragma once

#include <windows.h>

#include <cstdint>

namespace controls {

// Rect moved by a packed offset: x in the low 16 bits, y in the high 16 bits, both signed. An
// offset of 0 leaves Rect as it is.
RECT ShiftByClipOffset(const RECT& Rect, std::uint32_t ClipOffset);

// Clips the context to Rect shifted by ClipOffset (device units), within the clip region it
// already has.
class TVisClipScope {
 public:
  TVisClipScope(HDC dc, const RECT& Rect, std::uint32_t ClipOffset);
  ~TVisClipScope();
  TVisClipScope(const TVisClipScope&) = delete;
  TVisClipScope& operator=(const TVisClipScope&) = delete;

 private:
  HDC dc_;
  HRGN old_ = nullptr;  // null: the context had no clip region
};

// Selects a palette into the context in the foreground and realises it; a null palette does
// nothing. The palette is never left selected, so its owner may delete it.
class TVisPaletteScope {
 public:
  TVisPaletteScope(HDC dc, HPALETTE palette);
  ~TVisPaletteScope();
  TVisPaletteScope(const TVisPaletteScope&) = delete;
  TVisPaletteScope& operator=(const TVisPaletteScope&) = delete;

 private:
  HDC dc_;
  HPALETTE old_ = nullptr;
};

// Whether a painter asked for its palette step (flag 0x1000) takes it: not when the application
// object's flag 0 is set and the display has 8 bits per pixel or fewer.
bool PaletteWanted(unsigned Flags);

}  // namespace controls
