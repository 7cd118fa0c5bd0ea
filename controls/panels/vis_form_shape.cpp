#include "controls/panels/vis_form_shape.h"

#include <windowsx.h>

#include "controls/panels/vis_application.h"
#include "controls/panels/vis_custom_control.h"

namespace controls {

using classlib::TFormBorderStyle;

namespace {

// The frame and caption sizes the system gives a form of the border style.
struct Frame {
  int x = 0, y = 0, caption = 0;
};

Frame FrameOf(TFormBorderStyle style) {
  Frame f;
  if (style == TFormBorderStyle::bsNone) return f;
  const bool sizeable = style == TFormBorderStyle::bsSizeable;
  f.x = GetSystemMetrics(sizeable ? SM_CXFRAME : SM_CXDLGFRAME);
  f.y = GetSystemMetrics(sizeable ? SM_CYFRAME : SM_CYDLGFRAME);
  f.caption = GetSystemMetrics(style == TFormBorderStyle::bsToolWindow ? SM_CYSMCAPTION : SM_CYCAPTION);
  return f;
}

HRGN Copy(HRGN region, int dx, int dy) {
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  CombineRgn(copy, region, nullptr, RGN_COPY);
  OffsetRgn(copy, dx, dy);
  return copy;
}

}  // namespace

TVisFormShape::TVisFormShape(classlib::TComponent* AOwner)
    : TVisWndProcComponent(AOwner), imageList_(*this, [this] { GetChange(imageList_.List()); }) {
  if (CheckSingleInstance<TVisFormShape>(AOwner)) throw VisEOneInstError("TVisFormShape", 0);
  region_.SetOwner(Form());
  region_.OnChange = [this](classlib::TObject* Sender) { GetChange(Sender); };
  fill_.OnChange = [this](classlib::TObject* Sender) { GetChange(Sender); };
}

TVisFormShape::~TVisFormShape() {
  region_.SetOwner(nullptr);
  region_.OnChange = nullptr;
  fill_.OnChange = nullptr;
}

classlib::TForm* TVisFormShape::Form() const { return dynamic_cast<classlib::TForm*>(Owner()); }

void TVisFormShape::SetShowFormCaption(bool Value) {
  if (Value == showFormCaption_) return;
  showFormCaption_ = Value;
  UpdateShape();
}

void TVisFormShape::SetUseRgnBitmap(bool Value) {
  if (Value == useRgnBitmap_) return;
  useRgnBitmap_ = Value;
  Change();
}

void TVisFormShape::Notification(classlib::TComponent* AComponent, classlib::TOperation Operation) {
  TVisWndProcComponent::Notification(AComponent, Operation);
  if (Operation == classlib::TOperation::opRemove) imageList_.Removed(AComponent);
}

void TVisFormShape::GetChange(classlib::TObject* Sender) {
  TVisWndProcComponent::GetChange(Sender);
  UpdateShape();
}

void TVisFormShape::Loaded() {
  TVisWndProcComponent::Loaded();
  if (Enabled()) UpdateShape();
}

void TVisFormShape::EnabledChanged() {
  classlib::TForm* form = Form();
  if (Enabled())
    UpdateShape();
  else if (form && form->HandleAllocated())
    SetWindowRgn(form->Handle(), nullptr, TRUE);
}

void TVisFormShape::UpdateShape() {
  classlib::TForm* form = Form();
  // Resizing the form for the bitmap comes back here through WM_SIZE.
  if (Loading() || !Enabled() || !form || form->Destroying() || shapeUpdating_) return;
  shapeUpdating_ = true;
  try {
    HWND window = form->Handle();
    const bool minimised = IsIconic(window) != FALSE;
    const Frame f = FrameOf(form->BorderStyle());
    const int depth = region_.Shadow().Depth();
    const TVisRegionShape shape = region_.Shape();
    const classlib::TBitmap& picture = region_.Mask().Border(TVisRegionMask::kBorder);
    if (!minimised && shape == TVisRegionShape::rsBitmap)
      form->SetBounds(form->Left(), form->Top(), picture.Width() + depth + 2 * f.x,
                      f.caption + picture.Height() + 2 * f.y + depth);
    RECT rect = {0, 0, form->Width() - 2 * f.x, form->Height() - 2 * f.y - f.caption};
    InflateRect(&rect, 1, 1);
    const RECT strip = {0, 0, form->Width(), f.caption + f.y};
    HRGN outline = nullptr;
    if (minimised) {
      region_.SetRectRegion(strip);
      outline = Copy(region_.RegionHandle(), 0, 0);
    } else {
      shapeRect_ = rect;
      region_.BuildRegion(rect);
      outline = Copy(region_.RegionHandle(), f.x, f.caption + f.y);
      if (region_.Shadow().Style() != TVisShadowStyle::hssNone) {
        HRGN shadow = Copy(outline, depth, depth);
        CombineRgn(outline, outline, shadow, RGN_OR);
        DeleteObject(shadow);
      }
      HRGN caption = CreateRectRgnIndirect(&strip);
      const bool keepCaption = showFormCaption_ && form->BorderStyle() != TFormBorderStyle::bsNone;
      CombineRgn(outline, outline, caption, keepCaption ? RGN_OR : RGN_DIFF);
      DeleteObject(caption);
    }
    // The window takes the region over; ours is only ever the copy we keep for nothing.
    SetWindowRgn(window, nullptr, FALSE);
    if (!SetWindowRgn(window, outline, TRUE)) DeleteObject(outline);
    captionHeight_ = f.caption;
  } catch (...) {
    shapeUpdating_ = false;
    throw;
  }
  shapeUpdating_ = false;
}

bool TVisFormShape::PaintsFromRegionBitmap() const {
  return useRgnBitmap_ && region_.Shape() == TVisRegionShape::rsBitmap;
}

classlib::TBitmap* TVisFormShape::FormBackgroundBitmap() {
  if (PaintsFromRegionBitmap()) return &region_.Mask().Border(TVisRegionMask::kBorder);
  return fill_.Style() != TVisFillStyle::sfNone ? &background_ : nullptr;
}

bool TVisFormShape::FormHasBackground() const {
  return PaintsFromRegionBitmap() || fill_.Style() != TVisFillStyle::sfNone;
}

TVisFormShape* FormShapeOf(classlib::TControl* Control) {
  auto* form = dynamic_cast<classlib::TForm*>(Control);
  if (!form || !form->HandleAllocated()) return nullptr;
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (auto* shape = dynamic_cast<TVisFormShape*>(form->Components(i))) return shape;
  return nullptr;
}

bool ParentBackgroundAvailable(const classlib::TControl& Control) {
  if (auto* parent = dynamic_cast<TVisCustomControl*>(Control.Parent()))
    return parent->HandleAllocated() && parent->BackgroundAvailable();
  const TVisFormShape* shape = FormShapeOf(Control.Parent());
  return shape && shape->PaintsFromRegionBitmap();
}

void TVisFormShape::PaintBackground(HDC DC) {
  classlib::TForm* form = Form();
  if (!form) return;
  HWND window = form->Handle();
  HDC own = DC ? nullptr : GetDC(window);
  classlib::TCanvas canvas(DC ? DC : own);
  RECT client;
  GetClientRect(window, &client);
  if (PaintsFromRegionBitmap()) {
    canvas.Draw(0, 0, region_.Mask().Border(TVisRegionMask::kBorder));
  } else if (fill_.Style() != TVisFillStyle::sfNone) {
    background_.SetSize(client.right, client.bottom);
    if (fill_.Style() == TVisFillStyle::sfBitmapList && ImageList())
      ImageList()->AssignItemTo(listIndex_, imageIndex_, fill_.ListBitmap());
    if (!background_.Empty()) {
      fill_.Fill(background_.Canvas(), client, classlib::clWhite);
      canvas.Draw(0, 0, background_);
    }
  }
  region_.PaintBorder(canvas, client);
  canvas.SetHandle(nullptr);
  if (own) ReleaseDC(window, own);
}

bool TVisFormShape::ChildAt(POINT ScreenPoint) const {
  classlib::TForm* form = Form();
  POINT p = ScreenPoint;
  ScreenToClient(form->Handle(), &p);
  for (int i = 0; i < form->ControlCount(); ++i) {
    const classlib::TControl* child = form->Controls(i);
    const RECT bounds = child->BoundsRect();
    if (child->Visible() && PtInRect(&bounds, p)) return true;
  }
  return false;
}

void TVisFormShape::WndProc(classlib::TMessage& Message) {
  switch (Message.Msg) {
    case WM_SIZE: {
      // The form first lays out its children for the new size.
      TVisWndProcComponent::WndProc(Message);
      UpdateShape();
      InvalidateRect(Window(), nullptr, TRUE);
      break;
    }
    case WM_ERASEBKGND:
      if (fill_.Style() == TVisFillStyle::sfNone && region_.Shape() != TVisRegionShape::rsBitmap)
        TVisWndProcComponent::WndProc(Message);
      PaintBackground(reinterpret_cast<HDC>(Message.WParam));
      Message.Result = 1;
      break;
    case WM_NCHITTEST:
      TVisWndProcComponent::WndProc(Message);
      if (formDragable_ && Message.Result == HTCLIENT && !rightButtonDown_ &&
          !ChildAt({GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)}))
        Message.Result = HTCAPTION;
      break;
    case WM_NCRBUTTONDOWN:
      TVisWndProcComponent::WndProc(Message);
      rightButtonDown_ = true;
      break;
    case WM_NCRBUTTONUP:
    case WM_CAPTURECHANGED:
      TVisWndProcComponent::WndProc(Message);
      rightButtonDown_ = false;
      break;
    default:
      TVisWndProcComponent::WndProc(Message);
  }
}

}  // namespace controls
