// The two lowest layers of the pack's windowless controls. TVisControl adds mouse enter and exit
// events that only an enabled control raises, the reaction to a theme switch, a hook that hears
// which of position and size changed, and an update counter. TVisBaseControl adds the place in an
// image list and the control's bitmap-effect settings.
#pragma once

#include <cstdint>
#include <functional>

#include "classlib/controls.h"
#include "controls/panels/vis_effects.h"
#include "controls/panels/vis_image_link.h"

namespace controls {

// What SetBounds changed, as BoundsChanged hears it.
constexpr std::uint8_t kBoundsSize = 0x01;
constexpr std::uint8_t kBoundsPosition = 0x02;

using TVisBoundsEvent = std::function<void(classlib::TObject* Sender, std::uint8_t Kinds)>;

class TVisControl : public classlib::TGraphicControl {
 public:
  explicit TVisControl(classlib::TComponent* AOwner) : TGraphicControl(AOwner) {}

  // OnMouseEnter (the layer's) and OnMouseExit fire only while the control is enabled.
  classlib::TNotifyEvent OnMouseExit;
  // After SetBounds moved or resized the control, outside the loading bracket.
  TVisBoundsEvent OnBoundsChange;

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void WndProc(classlib::TMessage& Message) override;

  // The control's own wish to be drawn with the system's theme.
  bool ThemedDrawing() const { return themedDrawing_; }
  void SetThemedDrawing(bool Value) { themedDrawing_ = Value; }
  // The wish, where the control can draw themed and themes are in use.
  bool UseThemedDrawing() const;

  // Between BeginUpdate and the matching EndUpdate the control does not redraw; the last
  // EndUpdate redraws it once.
  void BeginUpdate() { ++updateCount_; }
  void EndUpdate();
  bool IsUpdating() const { return updateCount_ > 0; }

 protected:
  using TGraphicControl::BoundsChanged;
  virtual void ThemeChanged();
  virtual bool ThemeCapable() const { return false; }
  virtual void BoundsChanged(std::uint8_t Kinds);
  void MouseEnter() override;
  void MouseLeave() override { MouseExit(); }
  virtual void MouseExit();
  // Invalidates; descendants paint at once instead.
  virtual void Redraw(int Flag);

 private:
  std::int32_t updateCount_ = 0;
  bool themedDrawing_ = false;
};

class TVisBaseControl : public TVisControl {
 public:
  explicit TVisBaseControl(classlib::TComponent* AOwner);
  ~TVisBaseControl() override;

  // The image list the control draws from (not owned); its changes and its going away reach the
  // control.
  TVisCustomImageList* ImageList() const { return image_.List(); }
  void SetImageList(TVisCustomImageList* Value) { image_.Ref().SetList(Value); }
  TVisImageListRef& ImageListRef() { return image_.Ref(); }
  std::int32_t ImageIndex() const { return image_.ImageIndex(); }
  void SetImageIndex(std::int32_t Value) { image_.SetIndex(0, Value); }
  std::int32_t ListIndex() const { return image_.ListIndex(); }
  void SetListIndex(std::int32_t Value) { image_.SetIndex(1, Value); }
  bool HasNoImage() const { return image_.HasNoImage(); }
  TVisBitmapEffectObject& BitmapEffect() { return effect_; }

  void WndProc(classlib::TMessage& Message) override;

 protected:
  virtual bool UsesParentBackground() const { return false; }
  virtual void ImageChanged(int Flag) { Redraw(Flag); }
  void Loaded() override;
  void Notification(classlib::TComponent* AComponent, classlib::TOperation Operation) override;

 private:
  TVisImageLink image_;
  TVisBitmapEffectObject effect_;
};

}  // namespace controls
