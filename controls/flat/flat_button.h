// The flat push button: painted off-screen in the colours it is given, highlighted while the mouse
// is over it (one hover clock shared by every button), optionally with a glyph, grouped like a
// speed button (GroupIndex, Down, AllowAllUp), and a default or cancel button for Return and
// Escape. Space clicks a focused button, Alt with the caption's accelerator a showing one.
#pragma once

#include "classlib/controls.h"
#include "classlib/graphics.h"
#include "classlib/timer.h"
#include "controls/flat/flat_utils.h"

namespace controls {

// Sent to the buttons of a parent when one of a group goes down: WParam the group, LParam the
// button.
constexpr UINT CM_BUTTONPRESSED = 0xB018;

class TFlatButton : public classlib::TCustomControl {
 public:
  explicit TFlatButton(classlib::TComponent* AOwner);
  ~TFlatButton() override;

  TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode value);
  // Return on the form clicks the default button, which shows a double frame.
  bool Default() const { return default_; }
  void SetDefault(bool value);
  // Escape on the form clicks the cancel button.
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  // Stored on the parent form when the button is clicked.
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int value) { modalResult_ = value; }

  classlib::TColor ColorFocused() const { return colorFocused_; }
  void SetColorFocused(classlib::TColor value);
  classlib::TColor ColorDown() const { return colorDown_; }
  void SetColorDown(classlib::TColor value);
  classlib::TColor ColorBorder() const { return colorBorder_; }
  void SetColorBorder(classlib::TColor value);
  classlib::TColor ColorHighLight() const { return colorHighLight_; }
  void SetColorHighLight(classlib::TColor value);
  classlib::TColor ColorShadow() const { return colorShadow_; }
  void SetColorShadow(classlib::TColor value);
  // While UseAdvColors, ColorFocused, ColorDown and ColorBorder follow Color by these amounts
  // (0..100), and Color follows the parent.
  TAdvColors AdvColorFocused() const { return advColorFocused_; }
  void SetAdvColorFocused(TAdvColors value);
  TAdvColors AdvColorDown() const { return advColorDown_; }
  void SetAdvColorDown(TAdvColors value);
  TAdvColors AdvColorBorder() const { return advColorBorder_; }
  void SetAdvColorBorder(TAdvColors value);
  bool UseAdvColors() const { return useAdvColors_; }
  void SetUseAdvColors(bool value);

  // Buttons of one parent with the same non-zero group: at most one is down.
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int value);
  // Only grouped buttons go down; a down one comes up only with AllowAllUp.
  bool Down() const { return down_; }
  void SetDown(bool value);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool value);

  // NumGlyphs images side by side: up, disabled, pressed, held down. A glyph whose width is 1 to
  // 4 times its height sets NumGlyphs. Its bottom-left pixel's colour is transparent.
  const classlib::TBitmap& Glyph() const { return glyph_; }
  void SetGlyph(const classlib::TBitmap& value);
  TNumGlyphs NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(TNumGlyphs value);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout value);
  // -1 centres glyph and caption; smaller values are ignored.
  int Margin() const { return margin_; }
  void SetMargin(int value);
  int Spacing() const { return spacing_; }
  void SetSpacing(int value);

  void Click() override;
  void WndProc(classlib::TMessage& Message) override;

  // The hover clock every button shares and the button it serves now (tests tick the clock).
  static classlib::TTimer* HoverTimer() { return hoverTimer_; }
  static TFlatButton* HoverButton() { return hoverButton_; }

 protected:
  void Loaded() override;
  void Paint() override;
  void MouseDown(classlib::TMouseButton Button, classlib::TShiftState Shift, int X, int Y) override;
  void MouseMove(classlib::TShiftState Shift, int X, int Y) override;
  void MouseUp(classlib::TMouseButton Button, classlib::TShiftState Shift, int X, int Y) override;
  void DblClick() override;

 private:
  enum class TState { up, disabled, down, exclusive };

  bool Inside(int X, int Y) const { return X >= 0 && X < Width() && Y >= 0 && Y < Height(); }
  bool UnderCursor(POINT ScreenPos) const;
  void GainHover();
  void LoseHover();
  void RefreshHover();
  void ReleaseHoverTimer();
  void HoverTick();
  void DeriveAdvColors();
  void TellGroup();
  void ButtonPressed(int Group, TFlatButton* Sender);
  void SetColorProperty(classlib::TColor& field, classlib::TColor value);
  void SetAdvAmount(TAdvColors& field, TAdvColors value);
  void PaintBackground(classlib::TCanvas& Canvas, const RECT& Client);
  void PaintGlyph(classlib::TCanvas& Canvas, POINT At);
  void PaintCaption(classlib::TCanvas& Canvas, RECT Bounds);

  static classlib::TTimer* hoverTimer_;
  static TFlatButton* hoverButton_;
  static int buttonCount_;

  TTransparentMode transparentMode_ = TTransparentMode::tmNone;
  int modalResult_ = 0;
  bool useAdvColors_ = false;
  TAdvColors advColorFocused_ = 10;
  TAdvColors advColorDown_ = 10;
  TAdvColors advColorBorder_ = 50;
  TNumGlyphs numGlyphs_ = 1;
  classlib::TColor colorDown_ = 0xC5D6D9;
  classlib::TColor colorBorder_ = 0x8396A0;
  classlib::TColor colorHighLight_ = 0xFFFFFF;
  classlib::TColor colorShadow_ = 0x000000;
  classlib::TColor colorFocused_ = 0xE1EAEB;
  int groupIndex_ = 0;
  classlib::TBitmap glyph_;
  bool down_ = false;
  // A left press started here and is still held.
  bool dragging_ = false;
  // Space went down on this button and not up yet.
  bool spacePressed_ = false;
  bool allowAllUp_ = false;
  TButtonLayout layout_ = TButtonLayout::blGlyphTop;
  int spacing_ = 4;
  int margin_ = -1;
  // The hovered look, also while focused.
  bool hovered_ = false;
  bool default_ = false;
  bool cancel_ = false;
  TState state_ = TState::up;
};

}  // namespace controls
