// The measures of the region shapes for a rectangle L, T, R, B (W = R - L, H = B - T; divisions
// round towards zero, other fractions to the nearest integer with halves to even). The region
// objects build their regions and paint their outlines from the same measures.
#pragma once

#include <windows.h>

#include <vector>

#include "controls/panels/vis_region.h"

namespace controls {

// The polygons, in their points' order.
std::vector<POINT> StarPoints(const RECT& Rect);
std::vector<POINT> DiamondPoints(const RECT& Rect);
std::vector<POINT> OctagonPoints(const RECT& Rect);
std::vector<POINT> CombPoints(const RECT& Rect);

// The body: Rect less Size at the top or bottom and at the left or right, as Position names them.
RECT ShrunkBody(const RECT& Rect, int Size, TVisExtPos Position);

// A nose of size N and offset B: the body, the tip (Rect's corner) and the two base points on the
// body's edge that the position names first, B and B + round(sqrt(2 N^2)) from its corner.
struct TVisNose {
  RECT Body;
  POINT Tip;
  POINT Base[2];
};
TVisNose NoseOf(const RECT& Rect, int N, int B, TVisExtPos Position);
// The nose of the nose shapes: size W div 10; offset 5, or for the rounded body the corner's
// height on the left and right sides and its width on the top and bottom.
TVisNose ShapeNose(const RECT& Rect, bool Round, TVisExtPos Position, int RoundX, int RoundY);

// A bubble trail of size S with Count + 3 circles from Rect's corner towards the body, along a
// quarter circle of radius S; the first one has no size. No circles when Count is below 1.
struct TVisBubbles {
  RECT Body;
  std::vector<RECT> Circles;
};
TVisBubbles BubblesOf(const RECT& Rect, int S, int Count, TVisExtPos Position);

// The ellipses of the shields, moved to Rect's top left: the outer ellipse (the round shield's
// one, or the sharp shield's two, which it intersects) and the two cut out at the top beside the
// bar (0, -40, W, 0).
struct TVisShield {
  std::vector<RECT> Outer;
  RECT Cuts[2];
  RECT Bar;
};
TVisShield ShieldOf(const RECT& Rect, bool Sharp);

}  // namespace controls
