// Gives the form it sits on a non-rectangular outline with a drop shadow and a painted border,
// paints the form's background with a fill or with the region's bitmap, can hide the caption, and
// lets the user drag the form by any empty spot. A form holds one at most.
#pragma once

#include <windows.h>

#include <string>

#include "classlib/forms.h"
#include "classlib/graphics.h"
#include "controls/panels/vis_fill.h"
#include "controls/panels/vis_hook.h"
#include "controls/panels/vis_image_link.h"
#include "controls/panels/vis_region.h"

namespace controls {

class TVisFormShape : public TVisWndProcComponent {
 public:
  // VisEOneInstError when the owner is no form or already holds one.
  explicit TVisFormShape(classlib::TComponent* AOwner);
  ~TVisFormShape() override;

  TVisBorderRegion& Region() { return region_; }
  void SetRegion(const TVisBorderRegion& Value) { region_.Assign(Value); }
  TVisFillObject& FillObject() { return fill_; }
  void SetFillObject(const TVisFillObject& Value) { fill_.Assign(Value); }
  bool ShowFormCaption() const { return showFormCaption_; }
  void SetShowFormCaption(bool Value);
  bool FormDragable() const { return formDragable_; }
  void SetFormDragable(bool Value) { formDragable_ = Value; }
  bool UseRgnBitmap() const { return useRgnBitmap_; }
  void SetUseRgnBitmap(bool Value);
  TVisCustomImageList* ImageList() const { return imageList_.List(); }
  void SetImageList(TVisCustomImageList* Value) { imageList_.SetList(Value); }
  TVisImageListRef& ImageListRef() { return imageList_; }
  std::int32_t ListIndex() const { return listIndex_; }
  void SetListIndex(std::int32_t Value) { listIndex_ = Value; }
  std::int32_t ImageIndex() const { return imageIndex_; }
  void SetImageIndex(std::int32_t Value) { imageIndex_ = Value; }

  // The rectangle the region was last built for, and the caption height then.
  RECT ShapeRect() const { return shapeRect_; }
  int CaptionHeight() const { return captionHeight_; }

  // The form's picture for controls that paint a transparent background: the region's bitmap, or
  // the painted fill; null when there is none.
  classlib::TBitmap* FormBackgroundBitmap();
  bool FormHasBackground() const;
  // The form is painted from the region's bitmap: the background transparent children copy.
  bool PaintsFromRegionBitmap() const;

  // Builds the region for the form's present size and gives it to the window.
  void UpdateShape();
  // The background (DC null: the form's own) and the border.
  void PaintBackground(HDC DC);

 protected:
  void GetChange(classlib::TObject* Sender) override;
  void WndProc(classlib::TMessage& Message) override;
  void EnabledChanged() override;
  void Loaded() override;
  void Notification(classlib::TComponent* AComponent, classlib::TOperation Operation) override;

 private:
  classlib::TForm* Form() const;
  bool ChildAt(POINT ScreenPoint) const;

  TVisBorderRegion region_;
  TVisFillObject fill_;
  bool showFormCaption_ = true;
  bool formDragable_ = true;
  bool useRgnBitmap_ = true;
  TVisImageListRef imageList_;
  std::int32_t listIndex_ = 0;
  std::int32_t imageIndex_ = 0;
  classlib::TBitmap background_;
  RECT shapeRect_ = {0, 0, 0, 0};
  int captionHeight_ = 0;
  bool shapeUpdating_ = false;
  bool rightButtonDown_ = false;
};

// The form shape of a form with a window, or null (also for any other control).
TVisFormShape* FormShapeOf(classlib::TControl* Control);

// Whether the control's parent has a background bitmap a transparent child takes its background
// from: a control of the pack that has one, or a form painted from its form shape's region bitmap.
bool ParentBackgroundAvailable(const classlib::TControl& Control);

}  // namespace controls
