#include "controls/panels/vis_region_shapes.h"

#include <cmath>

#include "controls/panels/vis_utils.h"

namespace controls {

namespace {

constexpr double kPi = 3.14159265358979323846;

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }
int R(double value) { return RoundHalfEven(value); }

int Index(TVisExtPos p) { return static_cast<int>(p); }
// The positions at the top side or the top end of a side.
bool AtTop(TVisExtPos p) { return Index(p) <= 3; }
bool AtLeft(TVisExtPos p) { return Index(p) <= 1 || Index(p) >= 6; }
// The side named first is the left or the right one.
bool SideVertical(TVisExtPos p) { return p == TVisExtPos::epLeftTop || p == TVisExtPos::epRightTop ||
                                         p == TVisExtPos::epRightBottom || p == TVisExtPos::epLeftBottom; }

POINT Corner(const RECT& r, TVisExtPos p) { return {AtLeft(p) ? r.left : r.right, AtTop(p) ? r.top : r.bottom}; }

RECT Moved(RECT r, int dx, int dy) {
  OffsetRect(&r, dx, dy);
  return r;
}

}  // namespace

std::vector<POINT> StarPoints(const RECT& r) {
  const int L = r.left, T = r.top, W = Width(r), H = Height(r);
  return {{L + W / 2, T},
          {L + R(0.65 * W), T + R(0.38 * H)},
          {r.right, T + R(0.38 * H)},
          {L + R(0.7 * W), T + R(0.6 * H)},
          {L + R(0.85 * W), r.bottom},
          {L + W / 2, T + R(0.75 * H)},
          {L + R(0.15 * W), r.bottom},
          {L + R(0.3 * W), T + R(0.6 * H)},
          {L, T + R(0.38 * H)},
          {L + R(0.35 * W), T + R(0.38 * H)}};
}

std::vector<POINT> DiamondPoints(const RECT& r) {
  const int W = Width(r), H = Height(r);
  return {{r.left + W / 2, r.top}, {r.left, r.top + H / 2}, {r.left + W / 2, r.bottom}, {r.right, r.top + H / 2}};
}

std::vector<POINT> OctagonPoints(const RECT& r) {
  const int L = r.left, T = r.top, w = Width(r) / 3, h = Height(r) / 3;
  return {{L + w * 2, T}, {L + w, T},        {L, T + h},          {L, T + h * 2},
          {L + w, r.bottom}, {L + w * 2, r.bottom}, {r.right, T + h * 2}, {r.right, T + h}};
}

std::vector<POINT> CombPoints(const RECT& r) {
  const int L = r.left, T = r.top, W = Width(r), h = Height(r) / 4;
  return {{L + W / 2, T}, {L, T + h}, {L, T + h * 3}, {L + W / 2, r.bottom}, {r.right, T + h * 3}, {r.right, T + h}};
}

RECT ShrunkBody(const RECT& r, int size, TVisExtPos p) {
  RECT body = r;
  (AtTop(p) ? body.top : body.bottom) += AtTop(p) ? size : -size;
  (AtLeft(p) ? body.left : body.right) += AtLeft(p) ? size : -size;
  return body;
}

TVisNose NoseOf(const RECT& r, int n, int b, TVisExtPos p) {
  TVisNose nose;
  nose.Body = ShrunkBody(r, n, p);
  nose.Tip = Corner(r, p);
  const int d = R(std::sqrt(2.0 * n * n));
  const RECT& body = nose.Body;
  // The base runs away from the body's corner at the position's end.
  const bool endTop = p == TVisExtPos::epLeftTop || p == TVisExtPos::epRightTop;
  const bool endLeft = p == TVisExtPos::epTopLeft || p == TVisExtPos::epBottomLeft;
  if (SideVertical(p)) {
    const int x = AtLeft(p) ? body.left : body.right;
    const int y = endTop ? body.top + b : body.bottom - b;
    const int dy = endTop ? d : -d;
    nose.Base[0] = {x, y};
    nose.Base[1] = {x, y + dy};
  } else {
    const int y = AtTop(p) ? body.top : body.bottom;
    const int x = endLeft ? body.left + b : body.right - b;
    const int dx = endLeft ? d : -d;
    nose.Base[0] = {x, y};
    nose.Base[1] = {x + dx, y};
  }
  return nose;
}

TVisNose ShapeNose(const RECT& r, bool round, TVisExtPos p, int roundX, int roundY) {
  return NoseOf(r, Width(r) / 10, round ? (SideVertical(p) ? roundY : roundX) : 5, p);
}

TVisBubbles BubblesOf(const RECT& r, int s, int count, TVisExtPos p) {
  TVisBubbles bubbles;
  bubbles.Body = ShrunkBody(r, s, p);
  if (count < 1) return bubbles;
  const POINT corner = Corner(r, p);
  const int sx = AtLeft(p) ? 1 : -1, sy = AtTop(p) ? 1 : -1;
  const double e = s * (2 * kPi / 4) / count / count;
  for (int f = 0; f <= count + 2; ++f) {
    const double g = f * (kPi / 2) / (count + 1);
    // Along the side first: a trail on the left or right side leaves the corner vertically.
    const int along = s - R(s * std::cos(g)), across = R(s * std::sin(g));
    const int x = corner.x + sx * (SideVertical(p) ? along : across);
    const int y = corner.y + sy * (SideVertical(p) ? across : along);
    const int half = R(f * e) / 2;
    bubbles.Circles.push_back({x - half, y - half, x + half, y + half});
  }
  return bubbles;
}

TVisShield ShieldOf(const RECT& r, bool sharp) {
  const int W = Width(r), H = Height(r), L = r.left, T = r.top;
  TVisShield shield;
  if (sharp) {
    const int h = 8 * H / 7;
    shield.Outer = {Moved({-W, -h, W, h}, L, T), Moved({0, -h, 2 * W, h}, L, T)};
  } else {
    shield.Outer = {Moved({0, H / 5 - H, W, H}, L, T)};
  }
  shield.Cuts[0] = Moved({-W / 2, -H / 5, W / 2, H / 5}, L, T);
  shield.Cuts[1] = Moved({W / 2, -H / 5, W + W / 2, H / 5}, L, T);
  shield.Bar = Moved({0, -40, W, 0}, L, T);
  return shield;
}

}  // namespace controls
