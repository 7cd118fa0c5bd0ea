#include "controls/panels/vis_meter.h"

#include <algorithm>
#include <cstdlib>

#include "controls/panels/vis_application.h"
#include "controls/panels/vis_form_shape.h"
#include "controls/panels/vis_messages.h"
#include "controls/panels/vis_themes.h"

namespace controls {

using classlib::TCanvas;

namespace {

// Numerator / Denominator (both not negative, Denominator positive) rounded half to even.
std::int64_t DivideRounded(std::int64_t Numerator, std::int64_t Denominator) {
  std::int64_t q = Numerator / Denominator;
  const std::int64_t twice = 2 * (Numerator % Denominator);
  if (twice > Denominator || (twice == Denominator && (q & 1))) ++q;
  return q;
}

}  // namespace

// ---- TVisBaseGraphicControl

TVisBaseGraphicControl::TVisBaseGraphicControl(classlib::TComponent* AOwner) : TVisBaseControl(AOwner) {
  SetControlStyle((ControlStyle() & ~classlib::csOpaque) | classlib::csReplicatable);
  SetBounds(Left(), Top(), 30, 30);
}

void TVisBaseGraphicControl::SetOpaque() {
  transparent_ = false;
  SetControlStyle(ControlStyle() | classlib::csOpaque);
}

bool TVisBaseGraphicControl::UsesParentBackground() const { return transparent_ && ParentBackgroundAvailable(*this); }

void TVisBaseGraphicControl::Redraw(int) {
  if (!Loading()) RepaintOrInvalidate();
}

void TVisBaseGraphicControl::RepaintOrInvalidate() {
  if (IsUpdating()) return;
  if (transparent_)
    Invalidate();
  else
    Repaint();
}

void TVisBaseGraphicControl::GetChange(TObject*) { RepaintOrInvalidate(); }

// ---- TVisGraphicControl

TVisGraphicControl::TVisGraphicControl(classlib::TComponent* AOwner) : TVisBaseGraphicControl(AOwner) {
  bevel_.OnChange = [this](TObject* sender) { GetChange(sender); };
}

TVisGraphicControl::~TVisGraphicControl() { bevel_.OnChange = nullptr; }

void TVisGraphicControl::SetBevel(const TVisBevel& Value) {
  bevel_.Assign(Value);
  Perform(CM_VISBEVELCHANGED);
}

void TVisGraphicControl::Paint() {
  if (Loading() || bevel_.Extent() == 0) return;
  RECT inner;
  bevel_.PaintFrame(Canvas(), ClientRect(), inner, Transparent());
}

// ---- TVisBaseMeter

TVisBaseMeter::TVisBaseMeter(classlib::TComponent* AOwner) : TVisGraphicControl(AOwner) {
  SetOpaque();
  SetControlStyle(ControlStyle() & ~classlib::csSetCaption);
  SetBounds(Left(), Top(), 80, 20);
  Bevel().BeginUpdate();
  Bevel().SetStyleOuter(TVisBevelStyle::bvLowered);
  Bevel().EndUpdate(false);
  font3D_.OnChange = [this](TObject* sender) { GetChange(sender); };
}

TVisBaseMeter::~TVisBaseMeter() { font3D_.OnChange = nullptr; }

int TVisBaseMeter::Percentage(int Value) const {
  const std::int64_t span = static_cast<std::int64_t>(maxValue_) - minValue_;
  const std::int64_t above = static_cast<std::int64_t>(Value) - minValue_;
  if (span <= 0 || above <= 0) return 0;
  return static_cast<int>(std::min<std::int64_t>(100, DivideRounded(above * 100, span)));
}

void TVisBaseMeter::RangeChanged() {
  position_ = Percentage(userValue_);
  RepaintOrInvalidate();
}

void TVisBaseMeter::SetMaxValue(int Value) {
  if (Value == maxValue_ || Value == minValue_) return;
  const int oldMin = minValue_;
  minValue_ = std::min(Value, oldMin);
  maxValue_ = std::max(Value, oldMin);
  if (userValue_ < minValue_ || userValue_ > maxValue_) userValue_ = maxValue_;
  RangeChanged();
}

void TVisBaseMeter::SetMinValue(int Value) {
  if (Value == minValue_ || Value == maxValue_) return;
  const int oldMax = maxValue_;
  minValue_ = std::min(Value, oldMax);
  maxValue_ = std::max(Value, oldMax);
  if (userValue_ < minValue_ || userValue_ > maxValue_) userValue_ = minValue_;
  RangeChanged();
}

void TVisBaseMeter::SetUserValue(int Value) {
  if (Value == userValue_ || Value < minValue_ || Value > maxValue_) return;
  userValue_ = Value;
  position_ = Percentage(Value);
  ApplyRepaintRule();
}

void TVisBaseMeter::SetPosition(int Value) {
  Value = std::clamp(Value, 0, 100);
  if (Value == position_) return;
  position_ = Value;
  const std::int64_t span = static_cast<std::int64_t>(maxValue_) - minValue_;
  userValue_ = static_cast<int>(minValue_ + DivideRounded(Value * span, 100));
  ApplyRepaintRule();
}

void TVisBaseMeter::SetAlignment(classlib::TAlignment Value) {
  if (Value == alignment_) return;
  alignment_ = Value;
  RepaintOrInvalidate();
}

void TVisBaseMeter::SetDirection(TVisMeterDirection Value) {
  if (Value == direction_) return;
  direction_ = Value;
  RepaintOrInvalidate();
}

void TVisBaseMeter::SetOptionsText(TVisMeterTextOptions Value) {
  if (Value == optionsText_) return;
  optionsText_ = Value;
  RepaintOrInvalidate();
}

void TVisBaseMeter::SetUseFontColor(bool Value) {
  if (Value == useFontColor_) return;
  useFontColor_ = Value;
  RepaintOrInvalidate();
}

void TVisBaseMeter::ApplyRepaintRule() {
  if (painting_) return;
  const int p = CurrentPercent(), last = lastPainted_;
  if (std::abs(p - last) >= delta_ || (p != last && (p == 0 || p == 100))) RepaintOrInvalidate();
}

void TVisBaseMeter::WndProc(classlib::TMessage& Message) {
  switch (Message.Msg) {
    case CM_VISREPAINT:
      if (Visible()) RepaintOrInvalidate();
      return;
    case classlib::CM_TEXTCHANGED:
      RepaintOrInvalidate();
      return;
    default:
      TVisGraphicControl::WndProc(Message);
  }
}

void TVisBaseMeter::Paint() {
  if (Loading() || painting_) return;
  painting_ = true;
  struct Done {
    TVisBaseMeter& meter;
    ~Done() {
      meter.painting_ = false;
      meter.lastPainted_ = meter.CurrentPercent();
    }
  } done{*this};
  PaintMeter();
}

RECT TVisBaseMeter::PaintFrame(TCanvas& Canvas, const RECT& Client) {
  if (Bevel().Mode() == TVisBevelMode::bmWindows && VisApplication().ThemesAvailable() && Parent()) {
    const TVisThemeLibrary& themes = ThemeLibrary();
    if (HTHEME theme = themes.OpenThemeData(Parent()->Handle(), L"PROGRESS")) {
      struct Close {
        const TVisThemeLibrary& themes;
        HTHEME theme;
        ~Close() { themes.CloseThemeData(theme); }
      } close{themes, theme};
      const bool vertical =
          direction_ == TVisMeterDirection::mdVertical || direction_ == TVisMeterDirection::mdVerticalReverse;
      const int part = vertical ? 2 : 1;
      themes.DrawThemeBackground(theme, Canvas.Handle(), part, 0, Client, nullptr);
      RECT content = Client;
      if (themes.GetThemeBackgroundContentRect(theme, Canvas.Handle(), part, 0, Client, content) != S_OK)
        content = Client;
      return content;
    }
  }
  RECT inner;
  Bevel().PaintFrame(Canvas, Client, inner, false);
  return inner;
}

void TVisBaseMeter::PaintMeter() {
  const RECT client = ClientRect();
  if (IsRectEmpty(&client)) return;
  classlib::TBitmap picture(client.right, client.bottom);
  TCanvas& canvas = picture.Canvas();
  canvas.Brush().SetStyle(classlib::TBrushStyle::bsSolid);
  canvas.Brush().SetColor(Color());
  canvas.FillRect(client);
  const RECT a = PaintFrame(canvas, client);
  const bool vertical =
      direction_ == TVisMeterDirection::mdVertical || direction_ == TVisMeterDirection::mdVerticalReverse;
  const int extent = std::max(0, vertical ? static_cast<int>(a.bottom - a.top) : static_cast<int>(a.right - a.left));
  const int b = std::min(CurrentPercent() * extent / 100, extent);
  RECT bar = a, rest = a;
  switch (direction_) {
    case TVisMeterDirection::mdHorizontal:
      bar.right = a.left + b;
      rest.left = bar.right;
      break;
    case TVisMeterDirection::mdHorizontalReverse:
      bar.left = a.right - b;
      rest.right = bar.left;
      break;
    case TVisMeterDirection::mdVertical:
      bar.bottom = a.top + b;
      rest.top = bar.bottom;
      break;
    case TVisMeterDirection::mdVerticalReverse:
      bar.top = a.bottom - b;
      rest.bottom = bar.top;
      break;
  }
  PaintBar(canvas, bar, a, rest);
  Canvas().Draw(0, 0, picture);
}

void TVisBaseMeter::PaintBar(TCanvas&, const RECT&, const RECT&, const RECT&) {}

void TVisBaseMeter::PaintText(TCanvas& Canvas, const std::string& Text, const RECT& BarRect, const RECT& AreaRect,
                              const RECT& RestRect, classlib::TColor RestColor) {
  Canvas.Font().Assign(Font());
  Canvas.Brush().SetColor(Color());
  Canvas.Brush().SetStyle(classlib::TBrushStyle::bsClear);
  UINT format = DT_VCENTER | DT_SINGLELINE;
  if (alignment_ == classlib::TAlignment::taCenter) format |= DT_CENTER;
  if (alignment_ == classlib::TAlignment::taRightJustify) format |= DT_RIGHT;
  const unsigned flags = Enabled() ? kText3DEnabled : 0;
  if (useFontColor_) {
    DrawText3D(Canvas, Text, &font3D_, nullptr, flags, format, AreaRect);
    return;
  }
  const struct {
    const RECT& clip;
    classlib::TColor color;
  } passes[] = {{BarRect, Color()}, {RestRect, RestColor}};
  for (const auto& pass : passes) {
    if (IsRectEmpty(&pass.clip)) continue;
    Canvas.Font().SetColor(pass.color);
    DrawText3D(Canvas, Text, &font3D_, &pass.clip, flags | kText3DClip, format, AreaRect);
  }
}

}  // namespace controls
