// Painting a region's drop shadow and its outline.
#include <algorithm>
#include <functional>

#include "controls/panels/vis_application.h"
#include "controls/panels/vis_region.h"
#include "controls/panels/vis_region_shapes.h"

namespace controls {

using classlib::TCanvas;
using classlib::TColor;

namespace {

// Puts the context's clip region back as it was, whatever was excluded meanwhile.
class ClipKeeper {
 public:
  explicit ClipKeeper(HDC dc) : dc_(dc), saved_(CreateRectRgn(0, 0, 0, 0)) { had_ = GetClipRgn(dc, saved_) == 1; }
  ~ClipKeeper() {
    SelectClipRgn(dc_, had_ ? saved_ : nullptr);
    DeleteObject(saved_);
  }
  ClipKeeper(const ClipKeeper&) = delete;
  ClipKeeper& operator=(const ClipKeeper&) = delete;

 private:
  HDC dc_;
  HRGN saved_;
  bool had_ = false;
};

// One outline of a shape for a rectangle: the upper/left part in Upper, the lower/right part in
// Lower; with LowerOnly only the lower/right part.
using TOutline = std::function<void(const RECT& Rect, TColor Upper, TColor Lower, bool LowerOnly)>;

struct Pen {
  TCanvas& canvas;
  void Color(TColor color) const { canvas.Pen().SetColor(color); }
  void Path(const std::vector<POINT>& points, TColor color) const {
    Color(color);
    canvas.Polyline(points);
  }
  void Arc(const RECT& box, POINT from, POINT to, TColor color) const {
    Color(color);
    canvas.Arc(box.left, box.top, box.right, box.bottom, from.x, from.y, to.x, to.y);
  }
};

RECT Shrunk(RECT r, int by) {
  InflateRect(&r, -by, -by);
  return r;
}

// The border style rule: which outlines are drawn in which colours, on the shape and on the shape
// shrunk by Inner (the single styles) or InnerPsb (the psb styles).
void Styled(TVisRegionBorderStyle style, TColor light, TColor shadow, TColor single, int inner, int innerPsb,
            const RECT& r, const TOutline& draw) {
  switch (style) {
    case TVisRegionBorderStyle::rbNone:
      break;
    case TVisRegionBorderStyle::rbRaised:
      draw(r, light, shadow, false);
      break;
    case TVisRegionBorderStyle::rbLowered:
      draw(r, shadow, light, false);
      break;
    case TVisRegionBorderStyle::rbSingle:
      draw(r, single, single, false);
      break;
    case TVisRegionBorderStyle::rbSingleRaised:
    case TVisRegionBorderStyle::rbSingleLowered: {
      const bool raised = style == TVisRegionBorderStyle::rbSingleRaised;
      draw(r, single, single, false);
      draw(Shrunk(r, inner), raised ? light : shadow, raised ? shadow : light, false);
      break;
    }
    case TVisRegionBorderStyle::rbRaisedpsb:
      // The single and shadow colours change places.
      draw(r, light, single, false);
      draw(Shrunk(r, innerPsb), light, shadow, true);
      break;
    case TVisRegionBorderStyle::rbLoweredpsb:
      // The same after light and shadow changed places.
      draw(r, shadow, single, false);
      draw(Shrunk(r, innerPsb), shadow, light, true);
      break;
  }
}

void RectOutline(const Pen& pen, const RECT& r, TColor upper, TColor lower, bool lowerOnly) {
  const int R = r.right - 1, B = r.bottom - 1;
  if (!lowerOnly) pen.Path({{r.left, B}, {r.left, r.top}, {R, r.top}}, upper);
  pen.Path({{R, r.top}, {R, B}, {r.left, B}}, lower);
}

void RoundRectOutline(const Pen& pen, const RECT& r, int rx, int ry, TColor upper, TColor lower, bool lowerOnly) {
  if (!lowerOnly) {
    pen.Color(upper);
    pen.canvas.RoundRect(r.left, r.top, r.right, r.bottom, rx, ry);
  }
  const int R = r.right, B = r.bottom;
  // From the middle of the lower-left corner round the bottom and the right to the middle of the
  // upper-right corner.
  pen.Arc({r.left, B - ry, r.left + rx, B}, {r.left, B}, {r.left + rx / 2, B}, lower);
  pen.Path({{r.left + rx / 2, B - 1}, {R - rx / 2, B - 1}}, lower);
  pen.Arc({R - rx, B - ry, R, B}, {R - rx / 2, B}, {R, B - ry / 2}, lower);
  pen.Path({{R - 1, B - ry / 2}, {R - 1, r.top + ry / 2}}, lower);
  pen.Arc({R - rx, r.top, R, r.top + ry}, {R, r.top + ry / 2}, {R, r.top}, lower);
}

void EllipseOutline(const Pen& pen, const RECT& r, TColor upper, TColor lower, bool lowerOnly) {
  if (!lowerOnly) pen.Arc(r, {r.right, r.top}, {r.left, r.bottom}, upper);
  pen.Arc(r, {r.left, r.bottom}, {r.right, r.top}, lower);
}

void HalfRoundOutline(const Pen& pen, const RECT& r, TColor upper, TColor lower, bool lowerOnly) {
  const RECT box = {r.left, 2 * r.top - r.bottom, r.right, r.bottom};
  if (!lowerOnly) {
    pen.Path({{r.right - 1, r.top}, {r.left, r.top}}, upper);
    pen.Arc(box, {r.left, r.top}, {r.left, r.bottom}, upper);
  }
  pen.Arc(box, {r.left, r.bottom}, {r.right, r.top}, lower);
}

void ShieldOutline(const Pen& pen, const RECT& r, bool sharp, TColor upper, TColor lower, bool lowerOnly) {
  const TVisShield shield = ShieldOf(r, sharp);
  const int W = r.right - r.left, H = r.bottom - r.top;
  const POINT left = {r.left, r.top + H / 5}, bottom = {r.left + W / 2, r.bottom}, right = {r.right, r.top + H / 5};
  if (!lowerOnly) {
    const RECT& a = shield.Cuts[0];
    const RECT& b = shield.Cuts[1];
    pen.Arc(a, {(a.left + a.right) / 2, a.bottom}, {a.right, (a.top + a.bottom) / 2}, upper);
    pen.Arc(b, {b.left, (b.top + b.bottom) / 2}, {(b.left + b.right) / 2, b.bottom}, upper);
  }
  // The left half lies on the ellipse whose centre is on the right, and the other way round.
  pen.Arc(shield.Outer[sharp ? 1 : 0], left, bottom, lower);
  pen.Arc(shield.Outer[0], bottom, right, lower);
}

// Edge i of a polygon goes from point i to point i + 1 (the last back to the first).
void Edges(const Pen& pen, const std::vector<POINT>& points, const std::function<bool(size_t)>& upperEdge, TColor upper,
           TColor lower, bool lowerOnly) {
  for (size_t i = 0; i < points.size(); ++i) {
    const bool isUpper = upperEdge(i);
    if (lowerOnly && isUpper) continue;
    pen.Path({points[i], points[(i + 1) % points.size()]}, isUpper ? upper : lower);
  }
}

}  // namespace

void TVisRegion::PaintShadow(TCanvas& Canvas, RECT& Rect) {
  const TVisShadowStyle style = shadow_.Style();
  if (style == TVisShadowStyle::hssNone) return;
  Rect.right -= shadow_.Depth();
  Rect.bottom -= shadow_.Depth();
  // Without a region there is nothing to cast a shadow.
  if (NoShadowPaint || !region_) return;
  HRGN area = CreateRectRgn(0, 0, 0, 0);
  CombineRgn(area, region_, nullptr, RGN_COPY);
  OffsetRgn(area, shadow_.Depth(), shadow_.Depth());
  CombineRgn(area, area, region_, RGN_DIFF);
  Canvas.Pen().SetStyle(classlib::TPenStyle::psClear);
  if (style == TVisShadowStyle::hssSolid) {
    Canvas.Brush().SetColor(shadow_.Color());
    Canvas.Brush().SetStyle(classlib::TBrushStyle::bsSolid);
  } else {
    // Through the checkerboard, darkening what lies below.
    Canvas.Brush().SetBitmap(&VisApplication().PatternBitmap(shadow_.Color()));
    Canvas.Pen().SetMode(classlib::TPenMode::pmMask);
  }
  Canvas.PaintRgn(area);
  DeleteObject(area);
  Canvas.Brush().SetBitmap(nullptr);
  Canvas.Brush().SetStyle(classlib::TBrushStyle::bsClear);
  Canvas.Pen().SetMode(classlib::TPenMode::pmCopy);
  Canvas.Pen().SetStyle(classlib::TPenStyle::psSolid);
}

void TVisBorderRegion::PaintBorder(TCanvas& Canvas, RECT Rect) {
  Rect.left += Origin.x;
  Rect.top += Origin.y;
  Canvas.Brush().SetStyle(classlib::TBrushStyle::bsClear);
  Canvas.Pen().SetWidth(2);
  PaintShadow(Canvas, Rect);
  Canvas.Pen().SetStyle(classlib::TPenStyle::psSolid);

  const Pen pen{Canvas};
  const TVisRegionShape shape = Shape();
  const int rx = RoundX(), ry = RoundY();
  TOutline outline;
  int inner = 1, innerPsb = 1;
  switch (shape) {
    case TVisRegionShape::rsRect:
      outline = [&](const RECT& r, TColor u, TColor l, bool lo) { RectOutline(pen, r, u, l, lo); };
      break;
    case TVisRegionShape::rsRoundRect:
      outline = [&](const RECT& r, TColor u, TColor l, bool lo) { RoundRectOutline(pen, r, rx, ry, u, l, lo); };
      break;
    case TVisRegionShape::rsElliptic:
      outline = [&](const RECT& r, TColor u, TColor l, bool lo) { EllipseOutline(pen, r, u, l, lo); };
      break;
    case TVisRegionShape::rsHalfRound:
      outline = [&](const RECT& r, TColor u, TColor l, bool lo) { HalfRoundOutline(pen, r, u, l, lo); };
      break;
    case TVisRegionShape::rsRoundShield:
    case TVisRegionShape::rsSharpShield: {
      const bool sharp = shape == TVisRegionShape::rsSharpShield;
      outline = [&, sharp](const RECT& r, TColor u, TColor l, bool lo) { ShieldOutline(pen, r, sharp, u, l, lo); };
      break;
    }
    case TVisRegionShape::rsDiamond:
      outline = [&](const RECT& r, TColor u, TColor l, bool lo) {
        const std::vector<POINT> p = DiamondPoints(r);
        if (lo) {
          // The psb line runs along the two right-hand edges.
          pen.Path({p[0], p[3], p[2]}, l);
          return;
        }
        pen.Path({p[3], p[0], p[1]}, u);
        pen.Path({p[1], p[2], p[3]}, l);
      };
      break;
    case TVisRegionShape::rsOctagon:
      outline = [&](const RECT& r, TColor u, TColor l, bool lo) {
        const std::vector<POINT> p = OctagonPoints(r);
        if (!lo) pen.Path({p[7], p[0], p[1], p[2], p[3]}, u);
        pen.Path({p[3], p[4], p[5], p[6], p[7]}, l);
      };
      break;
    case TVisRegionShape::rsComb:
      outline = [&](const RECT& r, TColor u, TColor l, bool lo) {
        const std::vector<POINT> p = CombPoints(r);
        if (!lo) pen.Path({p[5], p[0], p[1], p[2]}, u);
        pen.Path({p[2], p[3], p[4], p[5]}, l);
      };
      break;
    case TVisRegionShape::rsStar:
      inner = 2;
      innerPsb = 3;
      outline = [&](const RECT& r, TColor u, TColor l, bool lo) {
        static const bool kUpper[10] = {false, true, false, true, false, false, true, false, true, true};
        Edges(pen, StarPoints(r), [](size_t i) { return kUpper[i]; }, u, l, lo);
      };
      break;
    case TVisRegionShape::rsNoseRect:
    case TVisRegionShape::rsRoundNoseRect: {
      const bool round = shape == TVisRegionShape::rsRoundNoseRect;
      outline = [&, round](const RECT& r, TColor u, TColor l, bool lo) {
        const TVisNose placed = ShapeNose(r, round, ExtPos(), rx, ry);
        // The body's edge is left open where the nose joins it.
        RECT keepOut = {std::min(placed.Base[0].x, placed.Base[1].x), std::min(placed.Base[0].y, placed.Base[1].y),
                        std::max(placed.Base[0].x, placed.Base[1].x), std::max(placed.Base[0].y, placed.Base[1].y)};
        InflateRect(&keepOut, round ? 4 : 2, round ? 4 : 2);
        ClipKeeper clip(Canvas.Handle());
        ExcludeClipRect(Canvas.Handle(), keepOut.left, keepOut.top, keepOut.right, keepOut.bottom);
        if (round)
          RoundRectOutline(pen, placed.Body, rx, ry, u, l, lo);
        else
          RectOutline(pen, placed.Body, u, l, lo);
      };
      break;
    }
    case TVisRegionShape::rsThinkBubble:
    case TVisRegionShape::rsRoundThinkBubble:
    case TVisRegionShape::rsEllipticThinkBubble:
      outline = [&, shape](const RECT& r, TColor u, TColor l, bool lo) {
        const TVisBubbles bubbles = BubblesOf(r, (r.right - r.left) / 6, BubbleCount(), ExtPos());
        ClipKeeper clip(Canvas.Handle());
        // Each bubble, then kept out of the body's outline.
        for (const RECT& c : bubbles.Circles) {
          EllipseOutline(pen, c, u, l, lo);
          HRGN circle = CreateEllipticRgnIndirect(&c);
          ExtSelectClipRgn(Canvas.Handle(), circle, RGN_DIFF);
          DeleteObject(circle);
        }
        if (shape == TVisRegionShape::rsThinkBubble)
          RectOutline(pen, bubbles.Body, u, l, lo);
        else if (shape == TVisRegionShape::rsRoundThinkBubble)
          RoundRectOutline(pen, bubbles.Body, rx, ry, u, l, lo);
        else
          EllipseOutline(pen, bubbles.Body, u, l, lo);
      };
      break;
    case TVisRegionShape::rsPointList:
      outline = [&](const RECT&, TColor u, TColor l, bool lo) {
        std::vector<POINT> points;
        for (int i = 0; i < Points().Count(); ++i) {
          TVisPoint p;
          Points().GetPoint(i, p);
          points.push_back({p.X, p.Y});
        }
        if (points.size() < 2) return;
        // Up or to the right in the upper colour; the horizontal direction decides first.
        Edges(pen, points, [&](size_t i) {
          const POINT a = points[i], b = points[(i + 1) % points.size()];
          return b.x != a.x ? b.x > a.x : b.y < a.y;
        }, u, l, lo);
      };
      break;
    case TVisRegionShape::rsBitmap:
    case TVisRegionShape::rsUserRegion:
      return;
  }
  const TVisRegionBorder& border = Border();
  Styled(border.Style(), border.LightColor(), border.ShadowColor(), border.SingleColor(), inner, innerPsb, Rect, outline);
}

}  // namespace controls
