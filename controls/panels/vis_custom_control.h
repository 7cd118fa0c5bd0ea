// The windowed base of the pack's controls. It adds a Transparent switch, a protocol by which a
// transparent child paints its background out of its parent's background bitmap, the theme's
// parent background, optional hover and focus borders (classic or the theme's edit frame), mouse
// enter and exit events, a place in an image list, and the library's messages that carry redraw
// requests and background changes down a tree of controls.
#pragma once

#include <windows.h>

#include <cstdint>

#include "classlib/controls.h"
#include "classlib/graphics.h"
#include "controls/panels/vis_effects.h"
#include "controls/panels/vis_image_link.h"

namespace controls {

// The theme class, part and state of a themed frame.
struct TVisThemedState {
  const wchar_t* ClassName;
  int Part;
  int State;
};

class TVisCustomControl : public classlib::TCustomControl {
 public:
  explicit TVisCustomControl(classlib::TComponent* AOwner);
  ~TVisCustomControl() override;

  bool Transparent() const { return transparent_; }
  // Makes the window again: an opaque control paints every pixel, a transparent one does not.
  void SetTransparent(bool Value);
  // Hover and focus borders in place of the control's own frame.
  bool FlatBorder() const { return flatBorder_; }
  void SetFlatBorder(bool Value) { flatBorder_ = Value; }
  // The mouse is over the control.
  bool Hot() const { return hot_; }
  // Between entering and leaving the control with the focus.
  bool HasFocus() const { return hasFocus_; }
  // Whether a change of a settings object invalidates the control.
  bool RedrawOnChange() const { return redrawOnChange_; }
  void SetRedrawOnChange(bool Value) { redrawOnChange_ = Value; }
  // Allows the theme to draw this control.
  bool ThemedDrawing() const { return themedDrawing_; }
  void SetThemedDrawing(bool Value) { themedDrawing_ = Value; }
  // The classic frames drawn sunken (true) or flat.
  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool Value);

  // The image list of the control (not owned); its changes and its going away reach the control.
  TVisCustomImageList* ImageList() const { return image_.List(); }
  void SetImageList(TVisCustomImageList* Value) { image_.Ref().SetList(Value); }
  TVisImageListRef& ImageListRef() { return image_.Ref(); }
  std::int32_t ImageIndex() const { return image_.ImageIndex(); }
  void SetImageIndex(std::int32_t Value) { image_.SetIndex(0, Value); }
  std::int32_t ListIndex() const { return image_.ListIndex(); }
  void SetListIndex(std::int32_t Value) { image_.SetIndex(1, Value); }
  TVisBitmapEffectObject& BitmapEffect() { return effect_; }

  // Fired after the focus change has completed (the messages are posted).
  classlib::TNotifyEvent OnFocusGained;
  classlib::TNotifyEvent OnFocusLost;
  // OnMouseEnter (the layer's) and OnMouseExit fire as the mouse comes and goes, so that a control
  // disabled under the mouse still reports its exit.
  classlib::TNotifyEvent OnMouseExit;

  // The parent-background protocol, asked by transparent children. A control that has a
  // background bitmap of its own answers BackgroundAvailable by itself; the others pass the
  // question up.
  virtual bool BackgroundAvailable() { return false; }
  virtual classlib::TBitmap* BackgroundBitmap() { return nullptr; }
  // Copies Rect of the control's background (moved by Origin) into Rect of Canvas; false when
  // there is none.
  virtual bool DrawBackground(classlib::TCanvas& Canvas, const RECT& Rect, unsigned Flags, POINT Origin);
  // A point of the control in the coordinates of the background bitmap.
  virtual POINT MapToBackground(POINT P) { return P; }
  // The background bitmap's palette: none, as the pack's pictures are 32-bit and carry none.
  virtual HPALETTE BackgroundPalette() { return nullptr; }

  void WndProc(classlib::TMessage& Message) override;

 protected:
  // Invalidates the control and asks every child to redraw.
  virtual void RedrawAll();
  virtual bool ThemeBackgroundAllowed() const { return true; }
  virtual bool ThemedBorderWanted() const { return false; }
  virtual bool ThemeParentBackgroundWanted();
  virtual bool UsesParentBuffer() { return transparent_ && BackgroundAvailable(); }
  // The first step of every paint: the parent's background, or Color.
  virtual void EraseBackground();
  // The change handler of the control's settings objects.
  virtual void GetChange(TObject* Sender);
  virtual bool IsReadOnly() const { return false; }
  virtual void ImageListChanged(TObject* Sender) { GetChange(Sender); }
  virtual void MouseEntered();
  virtual void MouseLeft();
  virtual void Ctl3DChanged() { Invalidate(); }

  void MouseEnter() override { MouseEntered(); }
  void MouseLeave() override { MouseLeft(); }
  void Paint() override;
  void Loaded() override;
  void Notification(classlib::TComponent* AComponent, classlib::TOperation Operation) override;
  void DoEnter() override;
  void DoExit() override;

  // The borders of the flat look, drawn over the window outside a paint, or on Canvas inside one.
  void PaintFlatBorder();
  void PaintFocusBorder();
  virtual void PaintFlatBorder(classlib::TCanvas& Canvas);
  virtual void PaintFocusBorder(classlib::TCanvas& Canvas);
  virtual TVisThemedState GetThemedEditState();
  // Rect in the background the control's erase would give it.
  void FillBackgroundRect(classlib::TCanvas& Canvas, const RECT& Rect);
  void PaintThemedBorder(classlib::TCanvas& Canvas, const RECT& Rect);
  bool ThemedBorderInUse();

 private:
  void EraseWindow(classlib::TMessage& Message);
  // The background below the control changed (or the control's place in it).
  void BackgroundChanged();
  // Runs paint on a canvas over the window's own context, when the window exists.
  template <typename F>
  void OnWindowCanvas(F paint);

  bool hot_ = false;
  bool hasFocus_ = false;
  bool flatBorder_ = false;
  bool transparent_ = false;
  bool redrawOnChange_ = true;
  bool themedDrawing_ = true;
  bool ctl3D_ = true;
  TVisImageLink image_;
  TVisBitmapEffectObject effect_;
};

}  // namespace controls
