// The panels every window is laid out with. TVisCustomPanel lets a transparent panel paint its
// background out of its parent's background bitmap; TVisCustomBevelPanel frames the panel with a
// bevel that also keeps aligned children inside the frame; TVisSimplePanel is the one the windows
// place.
#pragma once

#include "controls/panels/vis_bevel.h"
#include "controls/panels/vis_custom_control.h"

namespace controls {

class TVisCustomPanel : public TVisCustomControl {
 public:
  explicit TVisCustomPanel(classlib::TComponent* AOwner);

  bool Locked() const { return locked_; }
  void SetLocked(bool Value) { locked_ = Value; }

  // Only a transparent panel on a parent that has a background bitmap has one: a control of the
  // pack with one, or a form painted from its form shape's region bitmap.
  bool BackgroundAvailable() override;
  classlib::TBitmap* BackgroundBitmap() override;
  bool DrawBackground(classlib::TCanvas& Canvas, const RECT& Rect, unsigned Flags, POINT Origin) override;
  POINT MapToBackground(POINT P) override;

  void WndProc(classlib::TMessage& Message) override;

 private:
  // The parent, when it takes part in the background protocol.
  TVisCustomControl* BackgroundParent() const;

  bool locked_ = false;
};

class TVisCustomBevelPanel : public TVisCustomPanel {
 public:
  explicit TVisCustomBevelPanel(classlib::TComponent* AOwner);
  ~TVisCustomBevelPanel() override;

  // A change of the bevel realigns the children at once and repaints the panel.
  TVisBevel& Bevel() { return bevel_; }
  // Copies Value.
  void SetBevel(const TVisBevel& Value);

 protected:
  void AlignControls(classlib::TControl* AControl, RECT& Rect) override;
  void CreateParams(classlib::TCreateParams& Params) override;
  void Ctl3DChanged() override;
  void GetChange(TObject* Sender) override;
  void Loaded() override;
  void DoEnter() override;
  void MouseEntered() override;
  void Paint() override;
  void PaintFocusBorder(classlib::TCanvas& Canvas) override;
  void PaintFlatBorder(classlib::TCanvas& Canvas) override;
  using TVisCustomControl::PaintFlatBorder;
  using TVisCustomControl::PaintFocusBorder;

 private:
  bool WindowsMode() const { return bevel_.Mode() == TVisBevelMode::bmWindows; }

  TVisBevel bevel_;
};

class TVisSimplePanel : public TVisCustomBevelPanel {
 public:
  explicit TVisSimplePanel(classlib::TComponent* AOwner) : TVisCustomBevelPanel(AOwner) {}
};

}  // namespace controls
