#include "controls/panels/vis_progress_fill.h"

#include <cstdio>

#include "controls/panels/vis_draw.h"

namespace controls {

TVisCustomProgressFill::TVisCustomProgressFill(classlib::TComponent* AOwner) : TVisBaseMeter(AOwner) {
  fillObject_.OnChange = [this](TObject* sender) { GetChange(sender); };
}

TVisCustomProgressFill::~TVisCustomProgressFill() { fillObject_.OnChange = nullptr; }

void TVisCustomProgressFill::SetBrushBackColor(classlib::TColor Value) {
  if (Value == brushBackColor_) return;
  brushBackColor_ = Value;
  RepaintOrInvalidate();
}

void TVisCustomProgressFill::SetBar3D(TVisBorderStyle Value) {
  if (Value == bar3D_) return;
  bar3D_ = Value;
  RepaintOrInvalidate();
}

void TVisCustomProgressFill::ImageChanged(int Flag) {
  // The fill's list picture is the list's image; none without one.
  if (!ImageList() || !ImageList()->AssignItemTo(ListIndex(), ImageIndex(), fillObject_.ListBitmap()))
    fillObject_.ListBitmap().SetSize(0, 0);
  TVisBaseMeter::ImageChanged(Flag);
}

void TVisCustomProgressFill::PaintBar(classlib::TCanvas& Canvas, const RECT& BarRect, const RECT& AreaRect,
                                      const RECT& RestRect) {
  if (!IsRectEmpty(&BarRect)) fillObject_.Fill(Canvas, BarRect, brushBackColor_);
  if (Position() > 0) {
    RECT border = BarRect;
    DrawBorderStyle(Canvas, border, bar3D_, 0);
  }
  if (OptionsText() == TVisMeterTextOptions::toNoText) return;
  std::string text = Caption();
  if (OptionsText() == TVisMeterTextOptions::toPercent) {
    char percent[8];
    std::snprintf(percent, sizeof percent, "%d%%", Position());
    text = percent;
  }
  const TVisFillStyle style = fillObject_.Style();
  const bool brushRest = style == TVisFillStyle::sfNone || style == TVisFillStyle::sfBrush;
  PaintText(Canvas, text, BarRect, AreaRect, RestRect, brushRest ? fillObject_.Brush().Color() : Font().Color());
}

}  // namespace controls
