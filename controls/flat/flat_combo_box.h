// The flat combo box: the system's combo box with a flat frame (one line of ColorBorder, two of
// its Color) and a narrow arrow button painted over the system's drop-down button. The arrow
// points up while the list is open; a disabled one is grey with a white shadow.
#pragma once

#include <windows.h>

#include "classlib/graphics.h"
#include "classlib/stdctrls.h"
#include "controls/flat/flat_utils.h"

namespace controls {

class TFlatComboBox : public classlib::TComboBox {
 public:
  explicit TFlatComboBox(classlib::TComponent* AOwner);

  static constexpr int ButtonWidth = 11;

  classlib::TColor ColorArrow() const { return colorArrow_; }
  void SetColorArrow(classlib::TColor value);
  classlib::TColor ColorArrowBackground() const { return colorArrowBackground_; }
  void SetColorArrowBackground(classlib::TColor value);
  classlib::TColor ColorBorder() const { return colorBorder_; }
  void SetColorBorder(classlib::TColor value);
  // The field's colour: the combo's Color.
  classlib::TColor ColorFlat() const { return Color(); }
  void SetColorFlat(classlib::TColor value) { SetColor(value); }
  // While UseAdvColors, ColorBorder and ColorArrowBackground follow the parent's Color by these
  // amounts (0..100).
  TAdvColors AdvColorBorder() const { return advColorBorder_; }
  void SetAdvColorBorder(TAdvColors value);
  TAdvColors AdvColorArrowBackground() const { return advColorArrowBackground_; }
  void SetAdvColorArrowBackground(TAdvColors value);
  bool UseAdvColors() const { return useAdvColors_; }
  void SetUseAdvColors(bool value);

  bool DroppedDown() const;
  void WndProc(classlib::TMessage& Message) override;

 protected:
  void CreateWnd() override;

 private:
  static LRESULT CALLBACK InnerEditProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR ref);
  RECT ButtonRect() const;
  bool HasFocusArea() const { return Style() == classlib::TComboBoxStyle::csDropDownList; }
  void DeriveAdvColors();
  void UpdateLook();
  // Each into dc, whose origin is the window's top left.
  void DrawFrame(HDC dc);
  void DrawArrowButton(HDC dc);
  void DrawFocusArea(HDC dc);
  void DrawFocusArea();
  void RedrawFrameAndButton();
  void PaintCombo(HDC dc, const RECT& update);
  HWND InnerEdit() const;

  int systemButtonWidth_;
  classlib::TColor colorArrow_ = 0x000000;
  classlib::TColor colorArrowBackground_ = 0xC5D6D9;
  classlib::TColor colorBorder_ = 0x8396A0;
  bool useAdvColors_ = false;
  TAdvColors advColorArrowBackground_ = 10;
  TAdvColors advColorBorder_ = 50;
  bool activeLook_ = false;
  // The dropped list's background; one brush, remade only when the colour changes.
  classlib::TBrush listBrush_;
};

}  // namespace controls
