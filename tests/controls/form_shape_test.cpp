#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "classlib/forms.h"
#include "classlib/stdctrls.h"
#include "controls/panels/vis_application.h"
#include "controls/panels/vis_form_shape.h"
#include "controls/panels/vis_image_list.h"
#include "tests/controls/pixels.h"
#include "tests/support/window_test.h"

using controls::TVisFormShape;
using controls::TVisRegionShape;

namespace {

struct Rgn {
  HRGN h = CreateRectRgn(0, 0, 0, 0);
  ~Rgn() { DeleteObject(h); }
};

// A bordered form of the size with a panel filling its client area, and a form shape built in
// its loading bracket.
struct ShapedForm {
  std::unique_ptr<classlib::TForm> form = std::make_unique<classlib::TForm>(nullptr);
  TVisFormShape* shape = nullptr;
  classlib::TPanel* panel = nullptr;

  explicit ShapedForm(TVisRegionShape kind, int width = 300, int height = 200) {
    form->BeginLoading();
    form->SetBounds(50, 50, width, height);
    panel = new classlib::TPanel(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(100, 80, 40, 30);
    shape = new TVisFormShape(form.get());
    shape->Region().SetShape(kind);
    form->EndLoading();
  }
  HWND Window() { return form->Handle(); }
};

int FrameX() { return GetSystemMetrics(SM_CXDLGFRAME); }
int FrameY() { return GetSystemMetrics(SM_CYDLGFRAME); }
int Caption() { return GetSystemMetrics(SM_CYCAPTION); }

std::string WindowRegionBox(HWND window) {
  Rgn region;
  if (GetWindowRgn(window, region.h) == ERROR) return "none";
  RECT box;
  GetRgnBox(region.h, &box);
  return pixels::Text(box);
}

}  // namespace

// The window region: the shape for the client area grown by a pixel, moved below the caption,
// with the caption strip kept, or taken away when the caption is not shown.
TEST(FormShape, WindowRegionFollowsTheShape) {
  testing_support::InitWindows();
  ShapedForm f(TVisRegionShape::rsRect);
  const int fx = FrameX(), fy = FrameY(), c = Caption();
  EXPECT_EQ(f.shape->Window(), f.Window());
  const RECT expectedShape = {-1, -1, 300 - 2 * fx + 1, 200 - 2 * fy - c + 1};
  EXPECT_EQ(pixels::Text(f.shape->ShapeRect()), pixels::Text(expectedShape));
  EXPECT_EQ(f.shape->CaptionHeight(), c);

  Rgn expected;
  HRGN body = CreateRectRgn(fx - 1, c + fy - 1, 300 - fx + 1, 200 - fy + 1);
  HRGN strip = CreateRectRgn(0, 0, 300, c + fy);
  CombineRgn(expected.h, body, strip, RGN_OR);
  Rgn actual;
  ASSERT_NE(GetWindowRgn(f.Window(), actual.h), ERROR);
  EXPECT_TRUE(EqualRgn(actual.h, expected.h));

  f.shape->SetShowFormCaption(false);
  ASSERT_NE(GetWindowRgn(f.Window(), actual.h), ERROR);
  CombineRgn(expected.h, body, strip, RGN_DIFF);
  EXPECT_TRUE(EqualRgn(actual.h, expected.h));
  EXPECT_FALSE(PtInRegion(actual.h, 150, 2));
  DeleteObject(body);
  DeleteObject(strip);

  // An elliptic form loses its client corners; a shadow adds its offset copy.
  f.shape->Region().SetShape(TVisRegionShape::rsElliptic);
  ASSERT_NE(GetWindowRgn(f.Window(), actual.h), ERROR);
  EXPECT_FALSE(PtInRegion(actual.h, fx + 2, c + fy + 2));
  EXPECT_TRUE(PtInRegion(actual.h, 150, 110));
  f.shape->Region().Shadow().SetStyle(controls::TVisShadowStyle::hssSolid);
  ASSERT_NE(GetWindowRgn(f.Window(), actual.h), ERROR);
  HRGN shaped = CreateEllipticRgn(fx - 1, c + fy - 1, 300 - fx + 1 - 6, 200 - fy + 1 - 6);
  HRGN shadow = CreateEllipticRgn(fx - 1 + 6, c + fy - 1 + 6, 300 - fx + 1, 200 - fy + 1);
  HRGN caption = CreateRectRgn(0, 0, 300, c + fy);
  CombineRgn(expected.h, shaped, shadow, RGN_OR);
  CombineRgn(expected.h, expected.h, caption, RGN_DIFF);
  Rgn difference;
  EXPECT_EQ(CombineRgn(difference.h, expected.h, actual.h, RGN_XOR), NULLREGION);
  for (HRGN r : {shaped, shadow, caption}) DeleteObject(r);

  f.shape->SetEnabled(false);
  EXPECT_EQ(WindowRegionBox(f.Window()), "none");
  EXPECT_EQ(f.shape->Window(), nullptr);
}

// A resize reaches the form's children before the shape is rebuilt for the new size.
TEST(FormShape, ResizeRealignsChildrenAndRebuilds) {
  testing_support::InitWindows();
  ShapedForm f(TVisRegionShape::rsRect);
  f.panel->SetAlign(classlib::TAlign::alClient);
  SetWindowPos(f.Window(), nullptr, 0, 0, 400, 260, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  const RECT client = f.form->ClientRect();
  EXPECT_EQ(f.panel->Width(), client.right);
  EXPECT_EQ(f.panel->Height(), client.bottom);
  EXPECT_EQ(f.shape->ShapeRect().right, 400 - 2 * FrameX() + 1);
  EXPECT_EQ(WindowRegionBox(f.Window()), pixels::Text({0, 0, 400, 260 - FrameY() + 1}));

  // The region the window holds stays valid through many updates, and no GDI object is lost.
  const int before = testing_support::GdiObjectCount();
  ASSERT_GT(before, 0);
  for (int i = 0; i < 200; ++i) f.shape->UpdateShape();
  EXPECT_LE(testing_support::GdiObjectCount(), before + 2);
  EXPECT_NE(WindowRegionBox(f.Window()), "none");
}

// With the bitmap shape the form takes the mask picture's size plus frame, caption and shadow,
// resizing itself once (its own WM_SIZE does not start the update again).
TEST(FormShape, BitmapShapeSizesTheForm) {
  testing_support::InitWindows();
  ShapedForm f(TVisRegionShape::rsRect);
  controls::TVisRegionMask& mask = f.shape->Region().Mask();
  pixels::Prepare(mask.Border(controls::TVisRegionMask::kBorder), 80, 60, 0x00FF00);
  HRGN picture = CreateEllipticRgn(0, 0, 80, 60);
  mask.SetRegion(picture);
  DeleteObject(picture);
  f.shape->Region().SetShape(TVisRegionShape::rsBitmap);
  const int depth = f.shape->Region().Shadow().Depth();
  EXPECT_EQ(f.form->Width(), 80 + depth + 2 * FrameX());
  EXPECT_EQ(f.form->Height(), Caption() + 60 + 2 * FrameY() + depth);
  Rgn actual;
  ASSERT_NE(GetWindowRgn(f.Window(), actual.h), ERROR);
  EXPECT_TRUE(PtInRegion(actual.h, FrameX() + 40, Caption() + FrameY() + 30));
  EXPECT_FALSE(PtInRegion(actual.h, FrameX() + 1, Caption() + FrameY() + 1));
  EXPECT_EQ(f.shape->FormBackgroundBitmap(), &mask.Border(controls::TVisRegionMask::kBorder));
  EXPECT_TRUE(f.shape->FormHasBackground());
}

TEST(FormShape, MinimisedFormKeepsTheCaptionStrip) {
  testing_support::InitWindows();
  ShapedForm f(TVisRegionShape::rsElliptic);
  f.form->Show();
  ShowWindow(f.Window(), SW_MINIMIZE);
  if (!IsIconic(f.Window())) GTEST_SKIP() << "the window could not be minimised here";
  f.shape->UpdateShape();
  EXPECT_EQ(WindowRegionBox(f.Window()), pixels::Text({0, 0, f.form->Width(), Caption() + FrameY()}));
  ShowWindow(f.Window(), SW_RESTORE);
  f.form->Hide();
}

// An empty spot of the surface drags the form; a child control, the right button or the switch
// keep the client answer.
TEST(FormShape, DraggingByTheSurface) {
  testing_support::InitWindows();
  ShapedForm f(TVisRegionShape::rsRect);
  POINT origin = {0, 0};
  ClientToScreen(f.Window(), &origin);
  auto hit = [&](int x, int y) {
    return SendMessageW(f.Window(), WM_NCHITTEST, 0, MAKELPARAM(origin.x + x, origin.y + y));
  };
  EXPECT_EQ(hit(20, 20), HTCAPTION);
  EXPECT_EQ(hit(110, 90), HTCLIENT) << "on the panel";
  SendMessageW(f.Window(), WM_NCRBUTTONDOWN, HTNOWHERE, 0);
  EXPECT_EQ(hit(20, 20), HTCLIENT);
  SendMessageW(f.Window(), WM_NCRBUTTONUP, HTNOWHERE, 0);
  EXPECT_EQ(hit(20, 20), HTCAPTION);
  f.shape->SetFormDragable(false);
  EXPECT_EQ(hit(20, 20), HTCLIENT);
}

// The background: the fill, then the border; the region's bitmap when the shape is a bitmap.
TEST(FormShape, PaintsTheBackground) {
  testing_support::InitWindows();
  ShapedForm f(TVisRegionShape::rsRect);
  f.shape->Region().Border().SetSingleColor(0xFF0000);
  f.shape->FillObject().SetStyle(controls::TVisFillStyle::sfBrush);
  f.shape->FillObject().Brush().SetColor(0x0000FF);
  const RECT client = f.form->ClientRect();
  classlib::TBitmap into;
  pixels::Prepare(into, client.right, client.bottom, 0xFFFFFF);
  EXPECT_EQ(SendMessageW(f.Window(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(into.Canvas().Handle()), 0), 1);
  EXPECT_EQ(into.Pixel(client.right / 2, client.bottom / 2), 0x0000FFu);
  EXPECT_EQ(into.Pixel(client.right / 2, 0), 0xFF0000u);
  EXPECT_EQ(f.shape->FormBackgroundBitmap()->Width(), client.right);
  EXPECT_TRUE(testing_support::TakeBoundaryErrors().empty());
}

TEST(FormShape, OneOnAFormAndImageListReferences) {
  testing_support::InitWindows();
  ShapedForm f(TVisRegionShape::rsRect);
  EXPECT_THROW(new TVisFormShape(f.form.get()), controls::VisEOneInstError);
  EXPECT_THROW(TVisFormShape(nullptr), controls::VisEOneInstError);
  EXPECT_EQ(f.form->ComponentCount(), 2);

  auto* list = new controls::TVisImageList(nullptr);
  f.shape->SetImageList(list);
  EXPECT_TRUE(f.shape->ImageListRef().ListStored());
  EXPECT_FALSE(f.shape->ImageListRef().InternalStored());
  delete list;
  EXPECT_EQ(f.shape->ImageList(), nullptr);

  f.shape->ImageListRef().ReadInternal("VISIML30");
  EXPECT_EQ(f.shape->ImageList(), &controls::VisContainer().ImageList());
  EXPECT_EQ(f.shape->ImageListRef().WriteInternal(), "VISIML30");
  EXPECT_FALSE(f.shape->ImageListRef().ListStored());
  f.shape->SetImageList(nullptr);
}
