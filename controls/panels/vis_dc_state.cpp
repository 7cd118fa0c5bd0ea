#include "controls/panels/vis_dc_state.h"

#include "controls/panels/vis_application.h"
#include "controls/panels/vis_system.h"

namespace controls {

RECT ShiftByClipOffset(const RECT& Rect, std::uint32_t ClipOffset) {
  RECT r = Rect;
  OffsetRect(&r, static_cast<std::int16_t>(ClipOffset & 0xFFFF), static_cast<std::int16_t>(ClipOffset >> 16));
  return r;
}

TVisClipScope::TVisClipScope(HDC dc, const RECT& Rect, std::uint32_t ClipOffset) : dc_(dc) {
  old_ = CreateRectRgn(0, 0, 0, 0);
  if (GetClipRgn(dc_, old_) != 1) {
    DeleteObject(old_);
    old_ = nullptr;
  }
  const RECT r = ShiftByClipOffset(Rect, ClipOffset);
  HRGN clip = CreateRectRgnIndirect(&r);
  if (old_) CombineRgn(clip, clip, old_, RGN_AND);
  SelectClipRgn(dc_, clip);
  DeleteObject(clip);
}

TVisClipScope::~TVisClipScope() {
  SelectClipRgn(dc_, old_);
  if (old_) DeleteObject(old_);
}

TVisPaletteScope::TVisPaletteScope(HDC dc, HPALETTE palette) : dc_(dc) {
  if (!palette) return;
  old_ = SelectPalette(dc_, palette, FALSE);
  RealizePalette(dc_);
}

TVisPaletteScope::~TVisPaletteScope() {
  if (!old_) return;
  SelectPalette(dc_, old_, FALSE);
  RealizePalette(dc_);
}

bool PaletteWanted(unsigned Flags) {
  if (!(Flags & 0x1000)) return false;
  return !((VisApplication().Options & 0x01) && ColorDepth() < 9);
}

}  // namespace controls
