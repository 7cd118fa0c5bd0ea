// The pack's shared vocabulary: the kinds of bevel, border, placement and fill its drawing
// routines and settings objects speak of.
#pragma once

#include <cstdint>

namespace controls {

enum class TVisBevelStyle : std::uint8_t { bvNone, bvLowered, bvRaised, bvFrameLowered, bvFrameRaised, bvNormal, bvShadow };

enum class TVisBorderStyle : std::uint8_t {
  lsNone,
  lsSingle,
  lsLowered,
  lsRaised,
  lsRaisedspb,
  lsLoweredspb,
  lsRaisedExt,
  lsLoweredExt,
  lsFrameInset,
  lsFrameOffset,
  lsWindowBorder,
  lsSingleRaised,
  lsSingleLowered,
  lsDoubleRaised,
  lsDoubleLowered,
};

enum class TVisAlignment : std::uint8_t {
  agTopLeft,
  agTopCenter,
  agTopRight,
  agCenterLeft,
  agCenter,
  agCenterRight,
  agBottomLeft,
  agBottomCenter,
  agBottomRight,
};

enum class TVisFillStyle : std::uint8_t { sfNone, sfBrushBitmap, sfBrush, sfBitmap, sfBitmapList, sfGradient };

enum class TVisTileMode : std::uint8_t { tmNone, tmCenter, tmStretch, tmTile };

// TVisFillOptions, one bit each.
using TVisFillOptions = std::uint8_t;
// Fill the area with the given colour behind a bitmap that does not cover it.
constexpr TVisFillOptions foFillInner = 0x01;
// Draw bitmaps without palette handling.
constexpr TVisFillOptions foQuickDraw = 0x02;
// Paint the gradient through an off-screen bitmap (no clip region needed then).
constexpr TVisFillOptions foGrUseBitmap = 0x04;

}  // namespace controls
