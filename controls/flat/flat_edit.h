// The flat edit: a single-line edit that paints its own 3-pixel frame in its non-client area,
// one line of ColorBorder and two of its background. Idle it shows ColorFlat; focused, or under
// the mouse while no other flat edit has the focus, ColorFocused.
#pragma once

#include <windows.h>

#include "classlib/graphics.h"
#include "classlib/stdctrls.h"
#include "controls/flat/flat_utils.h"

namespace controls {

class TFlatEdit : public classlib::TEdit {
 public:
  explicit TFlatEdit(classlib::TComponent* AOwner);

  classlib::TColor ColorFocused() const { return colorFocused_; }
  void SetColorFocused(classlib::TColor value);
  classlib::TColor ColorBorder() const { return colorBorder_; }
  void SetColorBorder(classlib::TColor value);
  classlib::TColor ColorFlat() const { return colorFlat_; }
  // Also ends ParentColor.
  void SetColorFlat(classlib::TColor value);
  // The edit's own flag, in place of the control's: ColorFlat follows the parent's Color (the
  // edit's Color itself always shows the look).
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool value);
  // While UseAdvColors, ColorFocused and ColorBorder follow ColorFlat by these amounts (0..100),
  // and ColorFlat the parent.
  TAdvColors AdvColorFocused() const { return advColorFocused_; }
  void SetAdvColorFocused(TAdvColors value);
  TAdvColors AdvColorBorder() const { return advColorBorder_; }
  void SetAdvColorBorder(TAdvColors value);
  bool UseAdvColors() const { return useAdvColors_; }
  void SetUseAdvColors(bool value);

  void SetParent(classlib::TWinControl* AParent) override;
  void WndProc(classlib::TMessage& Message) override;

 protected:
  void CreateParams(classlib::TCreateParams& Params) override;
  void CreateWnd() override;
  void Loaded() override;

 private:
  bool ActiveLook() const;
  // The edit's Color becomes the look's.
  void ShowLook();
  // Paints the frame into dc, whose origin is the window's top left.
  void PaintFrame(HDC dc);
  void RedrawFrame();
  void AdjustHeight();
  void DeriveAdvColors();
  void ParentColorChanged();
  void PrintWindow(HDC dc, LPARAM flags);

  bool useAdvColors_ = false;
  TAdvColors advColorFocused_ = 10;
  TAdvColors advColorBorder_ = 50;
  bool parentColor_ = true;
  classlib::TColor colorFocused_ = 0xFFFFFF;
  classlib::TColor colorBorder_ = 0x8396A0;
  classlib::TColor colorFlat_ = 0xE1EAEB;
  bool hovered_ = false;
};

}  // namespace controls
