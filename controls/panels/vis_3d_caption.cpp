#include "controls/panels/vis_3d_caption.h"

#include <cmath>
#include <optional>
#include <vector>

#include "controls/panels/vis_dc_state.h"

namespace controls {

using classlib::TColor;

void TVis3DCaption::SetDisabledStyle(TVisDisabledStyle Value) {
  if (Value == disabledStyle_) return;
  disabledStyle_ = Value;
  Change();
}

void TVis3DCaption::SetDepth(int Index, std::uint8_t Value) {
  if (Value == depth_[Index]) return;
  depth_[Index] = Value;
  Change();
}

void TVis3DCaption::SetColor(int Index, TColor Value) {
  if (Value == color_[Index]) return;
  color_[Index] = Value;
  Change();
}

void TVis3DCaption::SetOrientation(TVisThreeDOrientation Value) {
  if (Value == orientation_) return;
  orientation_ = Value;
  Change();
}

void TVis3DCaption::SetStyle(TVisThreeDStyle Value) {
  if (Value == style_) return;
  style_ = Value;
  Change();
}

void TVis3DCaption::SetTracing(int Value) {
  if (Value == tracing_) return;
  tracing_ = Value;
  Change();
}

void TVis3DCaption::Assign(const classlib::TPersistent& Source) {
  const auto* source = dynamic_cast<const TVis3DCaption*>(&Source);
  if (!source) return TVisObject::Assign(Source);
  disabledStyle_ = source->disabledStyle_;
  depth_[0] = source->depth_[0];
  depth_[1] = source->depth_[1];
  color_[0] = source->color_[0];
  color_[1] = source->color_[1];
  style_ = source->style_;
  tracing_ = source->tracing_;
  Change();
}

std::string TVis3DCaption::DesignText() const {
  static const char* const kNames[] = {"Disabled",      "sunken", "raised",  "sunken shadow", "raised shadow", "PColor sunken",
                                       "",              "shadow", "outline", "extrude",       "extrude enh"};
  return std::string("{") + kNames[static_cast<int>(style_)] + "}";
}

namespace {

// One copy of the text: the working rectangle moves by (dx, dy), then the text is drawn there.
struct TCopy {
  int dx, dy;
  TColor color;
};

// What the painter changes on the canvas and its context, put back at the end.
class TTextState {
 public:
  TTextState(classlib::TCanvas& canvas, int tracing)
      : canvas_(canvas), fontColor_(canvas.Font().Color()), tracing_(tracing != 0) {
    if (tracing_) oldExtra_ = SetTextCharacterExtra(canvas.Handle(), tracing);
  }
  ~TTextState() {
    if (tracing_) SetTextCharacterExtra(canvas_.Handle(), oldExtra_);
    canvas_.Font().SetColor(fontColor_);
  }
  TTextState(const TTextState&) = delete;
  TTextState& operator=(const TTextState&) = delete;

 private:
  classlib::TCanvas& canvas_;
  TColor fontColor_;
  bool tracing_;
  int oldExtra_ = 0;
};

void DrawCopy(classlib::TCanvas& canvas, const std::string& text, RECT& at, const TCopy& copy, UINT format) {
  OffsetRect(&at, copy.dx, copy.dy);
  canvas.Font().SetColor(copy.color);
  RECT r = at;
  canvas.DrawText(text, r, format);
}

// Letters outlined, not filled: the text as a path, stroked S pixels wide in the face colour.
void DrawOutline(classlib::TCanvas& canvas, const std::string& text, RECT& at, int depth, TColor face, UINT format) {
  canvas.Pen().SetStyle(classlib::TPenStyle::psSolid);
  HDC dc = canvas.Handle();
  BeginPath(dc);
  DrawCopy(canvas, text, at, {depth / 2, depth / 2, face}, format);
  EndPath(dc);
  HPEN pen = CreatePen(PS_SOLID, depth, classlib::ColorToRGB(face));
  HGDIOBJ old = SelectObject(dc, pen);
  StrokePath(dc);
  SelectObject(dc, old);
  DeleteObject(pen);
}

// Shadow mixed towards light: weight k of d, each channel truncated.
TColor Mixed(TColor shadow, TColor light, int k, int d) {
  const TColor s = classlib::ColorToRGB(shadow), l = classlib::ColorToRGB(light);
  TColor rgb = 0;
  for (int shift : {0, 8, 16}) {
    const int cs = (s >> shift) & 0xFF, cl = (l >> shift) & 0xFF;
    const int value = static_cast<int>(std::trunc(static_cast<double>(k) * (cl - cs) / d + cs));
    rgb |= static_cast<TColor>(value) << shift;
  }
  return rgb;
}

}  // namespace

void DrawText3D(classlib::TCanvas& Canvas, const std::string& Text, const TVis3DCaption* Caption, const RECT* ClipRect,
                unsigned Flags, UINT Format, const RECT& Rect) {
  if (Text.empty() || IsRectEmpty(&Rect)) return;
  if (!Caption) {
    RECT r = Rect;
    Canvas.DrawText(Text, r, Format);
    return;
  }
  std::optional<TVisClipScope> clip;
  if (Flags & kText3DClip) clip.emplace(Canvas.Handle(), ClipRect ? *ClipRect : Rect, 0);
  TTextState state(Canvas, Caption->Tracing());

  TColor face;
  TVisThreeDStyle style = Caption->Style();
  if ((Flags & kText3DEnabled) || Caption->DisabledStyle() == TVisDisabledStyle::dsNone) {
    const bool brushFace = style == TVisThreeDStyle::tdPColorSunken || style == TVisThreeDStyle::tdPColorRaised;
    face = brushFace ? Canvas.Brush().Color() : Canvas.Font().Color();
  } else {
    face = classlib::clGrayText;
    if (Caption->DisabledStyle() == TVisDisabledStyle::ds3d ||
        (Caption->DisabledStyle() == TVisDisabledStyle::dsAuto && (Flags & kText3DDisabledSunken)))
      style = TVisThreeDStyle::tdSunken;
  }

  const int L = Caption->LightDepth(), S = Caption->ShadowDepth(), d = S;
  const TColor light = Caption->LightColor(), shadow = Caption->ShadowColor();
  RECT at = Rect;
  // Extrusion: where the working rectangle starts, and the step each shadow copy moves it by.
  int stepX = 0, stepY = 0;
  if (style == TVisThreeDStyle::tdExtrude || style == TVisThreeDStyle::tdExtrudeEnh) {
    const bool right = Caption->Orientation() == TVisThreeDOrientation::toBottomRight ||
                       Caption->Orientation() == TVisThreeDOrientation::toTopRight;
    const bool bottom = Caption->Orientation() == TVisThreeDOrientation::toBottomLeft ||
                        Caption->Orientation() == TVisThreeDOrientation::toBottomRight;
    OffsetRect(&at, right ? d + 1 : 0, bottom ? d + 1 : 0);
    stepX = right ? -1 : 1;
    stepY = bottom ? -1 : 1;
  }

  int narrower = 0;
  std::vector<TCopy> copies;
  auto add = [&copies](int dx, int dy, TColor color) { copies.push_back({dx, dy, color}); };
  switch (style) {
    case TVisThreeDStyle::tdNone: add(0, 0, face); break;
    case TVisThreeDStyle::tdSunken:
      narrower = L;
      add(L, L, light);
      add(-L, -L, face);
      break;
    case TVisThreeDStyle::tdRaised:
      narrower = L;
      add(0, 0, light);
      add(L, L, face);
      break;
    case TVisThreeDStyle::tdSunkenShadow:
    case TVisThreeDStyle::tdPColorSunken:
      narrower = L + S;
      add(0, 0, shadow);
      add(L + S, L + S, light);
      add(-L, -L, face);
      break;
    case TVisThreeDStyle::tdRaisedShadow:
    case TVisThreeDStyle::tdPColorRaised:
      narrower = L + S;
      add(L + S, L + S, shadow);
      add(-(L + S), -(L + S), light);
      add(L, L, face);
      break;
    case TVisThreeDStyle::tdShadow:
      narrower = S;
      add(S, S, shadow);
      add(-S, -S, face);
      break;
    case TVisThreeDStyle::tdOutline: break;
    case TVisThreeDStyle::tdExtrude:
      for (int i = 0; i < d; ++i) add(stepX, stepY, shadow);
      add(0, 0, face);
      break;
    case TVisThreeDStyle::tdExtrudeEnh:
      for (int i = 0; i < d; ++i) add(stepX, stepY, Mixed(shadow, light, d - 1 - i, d));
      add(0, 0, face);
      break;
  }
  at.right -= narrower;

  Canvas.Brush().SetStyle(classlib::TBrushStyle::bsClear);
  if (style == TVisThreeDStyle::tdOutline) {
    DrawOutline(Canvas, Text, at, S, face, Format);
    return;
  }
  for (const TCopy& copy : copies) DrawCopy(Canvas, Text, at, copy, Format);
}

}  // namespace controls
