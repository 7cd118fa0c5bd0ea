#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "classlib/controls.h"
#include "classlib/forms.h"
#include "classlib/graphics.h"
#include "tests/support/window_test.h"

using namespace classlib;
using testing_support::PaintControl;

namespace {

// A private notification of a control library, above the layer's own range.
constexpr UINT kLibraryMessage = 0xB0D6;

// Fills itself with one colour and records what reaches it.
class Swatch : public TGraphicControl {
 public:
  Swatch(TComponent* owner, TColor color) : TGraphicControl(owner), color_(color) {}
  std::vector<UINT> heard;
  int paints = 0;
  void WndProc(TMessage& m) override {
    if (m.Msg >= CM_BASE) heard.push_back(m.Msg);
    TGraphicControl::WndProc(m);
  }

 protected:
  void Paint() override {
    ++paints;
    Canvas().Brush().SetColor(color_);
    Canvas().FillRect(ClientRect());
  }

 private:
  TColor color_;
};

class Frame : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  std::vector<UINT> heard;
  int paints = 0;
  void WndProc(TMessage& m) override {
    if (m.Msg >= CM_BASE && m.Msg < CN_BASE) heard.push_back(m.Msg);
    TCustomControl::WndProc(m);
  }

 protected:
  void Paint() override {
    ++paints;
    TCustomControl::Paint();
  }
};

bool Heard(const std::vector<UINT>& messages, UINT msg) {
  for (UINT m : messages)
    if (m == msg) return true;
  return false;
}

class ControlFramework : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::InitWindows();
    form = new TForm(nullptr);
    form->SetClientSize(300, 200);
    form->SetColor(clWhite);
    frame = new Frame(form);
    frame->SetParent(form);
    frame->SetBounds(10, 10, 120, 80);
    frame->SetColor(0xF5DEDE);
    swatch = new Swatch(form, 0x996633);
    swatch->SetParent(frame);
    swatch->SetBounds(100, 20, 40, 10);  // reaches past the frame's right edge
  }
  void TearDown() override {
    delete form;
    EXPECT_TRUE(testing_support::TakeBoundaryErrors().empty());
  }
  TForm* form = nullptr;
  Frame* frame = nullptr;
  Swatch* swatch = nullptr;
};

}  // namespace

TEST_F(ControlFramework, LibraryMessagesReachControlsWithAndWithoutAWindow) {
  auto* inner = new Frame(form);
  inner->SetParent(frame);
  auto* deep = new Swatch(form, clBlack);
  deep->SetParent(inner);
  form->Show();

  form->NotifyControls(kLibraryMessage);
  EXPECT_TRUE(Heard(frame->heard, kLibraryMessage));
  EXPECT_FALSE(Heard(swatch->heard, kLibraryMessage)) << "NotifyControls reaches direct children only";

  frame->Broadcast(kLibraryMessage);
  EXPECT_TRUE(Heard(swatch->heard, kLibraryMessage));
  EXPECT_TRUE(Heard(deep->heard, kLibraryMessage));

  // Posted to the window, as a control posts its focus notifications to itself.
  inner->heard.clear();
  PostMessageW(inner->Handle(), kLibraryMessage + 1, 0, 0);
  testing_support::Pump();
  EXPECT_TRUE(Heard(inner->heard, kLibraryMessage + 1));
}

TEST_F(ControlFramework, SystemColourChangeTravelsFromTheFormDown) {
  form->Show();
  SendMessageW(form->Handle(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_TRUE(Heard(frame->heard, CM_SYSCOLORCHANGE));
  EXPECT_TRUE(Heard(swatch->heard, CM_SYSCOLORCHANGE));
}

TEST_F(ControlFramework, GraphicChildPaintsClippedAndSurvivesItsParentsRecreation) {
  frame->SetCaption("Rahmen");
  form->Show();
  const HWND before = frame->Handle();

  frame->RecreateWnd();
  EXPECT_EQ(frame->Handle(), before) << "re-creation waits for the message loop";
  testing_support::Pump();
  EXPECT_NE(frame->Handle(), before);
  EXPECT_EQ(frame->Caption(), "Rahmen");
  ASSERT_EQ(frame->ControlCount(), 1);

  TBitmap pixels;
  PaintControl(*frame, pixels);
  EXPECT_EQ(pixels.Pixel(99, 25), 0xF5DEDEu);
  EXPECT_EQ(pixels.Pixel(100, 20), 0x996633u);
  EXPECT_EQ(pixels.Pixel(119, 29), 0x996633u);
  EXPECT_EQ(pixels.Pixel(110, 30), 0xF5DEDEu);
  TBitmap formPixels;
  PaintControl(*form, formPixels);
  EXPECT_EQ(formPixels.Pixel(135, 35), 0xFFFFFFu) << "the child spilled out of its parent";
}

TEST_F(ControlFramework, RepaintIsImmediateForOpaqueGraphicsAndOnlyWhileVisible) {
  form->Show();
  testing_support::Pump();
  auto* above = new Swatch(form, clRed);
  above->SetParent(frame);
  above->SetBounds(105, 25, 10, 10);
  testing_support::Pump();

  swatch->SetControlStyle(swatch->ControlStyle() | csOpaque);
  swatch->paints = above->paints = frame->paints = 0;
  swatch->Repaint();
  EXPECT_EQ(swatch->paints, 1);
  EXPECT_EQ(above->paints, 1) << "a sibling above it is painted over it again";
  EXPECT_EQ(frame->paints, 0) << "an opaque control needs no background from its parent";

  swatch->SetControlStyle(swatch->ControlStyle() & ~csOpaque);
  swatch->Repaint();
  EXPECT_EQ(swatch->paints, 2);
  EXPECT_EQ(frame->paints, 1) << "a transparent one is painted with its parent";

  swatch->Hide();
  testing_support::Pump();
  swatch->paints = frame->paints = 0;
  swatch->Repaint();
  EXPECT_EQ(swatch->paints, 0);
  EXPECT_EQ(frame->paints, 0);
}

TEST_F(ControlFramework, ScreenListsTheFormsInCreationOrder) {
  auto* second = new TForm(nullptr);
  const int count = Screen().FormCount();
  ASSERT_GE(count, 2);
  EXPECT_EQ(Screen().Forms(count - 2), form);
  EXPECT_EQ(Screen().Forms(count - 1), second);
  delete second;
  EXPECT_EQ(Screen().FormCount(), count - 1);
}

TEST(Canvas, PenBrushAndCopyModes) {
  TBitmap target(20, 20);
  TCanvas& canvas = target.Canvas();
  canvas.Brush().SetColor(0x00F0F0F0);
  canvas.FillRect({0, 0, 20, 20});

  canvas.Pen().SetColor(0x00FF00FF);
  canvas.Pen().SetMode(TPenMode::pmXor);
  canvas.MoveTo(0, 1);
  canvas.LineTo(20, 1);
  EXPECT_EQ(target.Pixel(5, 1), 0x00F0F0F0u ^ 0x00FF00FFu);
  canvas.Pen().SetMode(TPenMode::pmNot);
  canvas.MoveTo(0, 2);
  canvas.LineTo(20, 2);
  EXPECT_EQ(target.Pixel(5, 2), 0x000F0F0Fu);
  canvas.Pen().SetMode(TPenMode::pmCopy);

  // SRCAND keeps only the bits both have.
  TBitmap mask(4, 4);
  mask.Canvas().Brush().SetColor(0x000000FF);
  mask.Canvas().FillRect({0, 0, 4, 4});
  canvas.SetCopyMode(cmSrcAnd);
  canvas.Draw(10, 10, mask);
  EXPECT_EQ(target.Pixel(11, 11), 0x000000F0u);
  canvas.SetCopyMode(cmSrcCopy);
  canvas.Draw(10, 10, mask);
  EXPECT_EQ(target.Pixel(11, 11), 0x000000FFu) << "a bitmap whose canvas was used still copies";

  // Vertical hatch lines in the brush colour over the background colour.
  canvas.Brush().SetStyle(TBrushStyle::bsVertical);
  canvas.Brush().SetColor(clBlack);
  SetBkColor(canvas.Handle(), 0x00FFFFFF);
  canvas.FillRect({0, 12, 8, 20});
  int black = 0;
  for (int x = 0; x < 8; ++x) black += target.Pixel(x, 15) == 0;
  EXPECT_EQ(black, 1);
  EXPECT_EQ(target.Pixel(0, 16), target.Pixel(0, 13)) << "vertical lines";

  // A pattern brush repeats its bitmap.
  TBitmap pattern(8, 8);
  pattern.Canvas().Brush().SetColor(clWhite);
  pattern.Canvas().FillRect({0, 0, 8, 8});
  pattern.Canvas().SetPixel(0, 0, clRed);
  canvas.Brush().SetBitmap(&pattern);
  canvas.FillRect({0, 0, 16, 8});
  canvas.Brush().SetBitmap(nullptr);
  EXPECT_EQ(target.Pixel(0, 0), 0x0000FFu);
  EXPECT_EQ(target.Pixel(8, 0), 0x0000FFu);
  EXPECT_EQ(target.Pixel(1, 0), 0xFFFFFFu);

  canvas.Brush().SetStyle(TBrushStyle::bsSolid);
  canvas.Brush().SetColor(clBlue);
  canvas.Pen().SetStyle(TPenStyle::psClear);
  canvas.Polygon({{0, 0}, {20, 0}, {20, 20}});
  EXPECT_EQ(target.Pixel(18, 3), 0xFF0000u);
  EXPECT_NE(target.Pixel(2, 18), 0xFF0000u);
}

TEST(Bitmap, TwentyFourBitPixelsAndPaddedRows) {
  TBitmap b(3, 2);
  b.Canvas().Brush().SetColor(0x00123456);
  b.Canvas().FillRect({0, 0, 3, 2});
  b.Canvas().SetPixel(2, 1, 0x00ABCDEF);
  b.SetPixelFormat(TPixelFormat::pf24bit);
  EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(b.RowBytes(), 12);
  EXPECT_EQ(b.Pixel(0, 0), 0x123456u);
  EXPECT_EQ(b.Pixel(2, 1), 0xABCDEFu);
  const std::uint8_t* row = b.ScanLine(1);
  EXPECT_EQ(row[6], 0xAB);  // blue, green, red of the third pixel
  EXPECT_EQ(row[8], 0xEF);

  TBitmap copy;
  copy.Assign(b);
  EXPECT_EQ(copy.PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(copy.Pixel(2, 1), 0xABCDEFu);
  copy.SetPixelFormat(TPixelFormat::pf32bit);
  EXPECT_EQ(copy.Pixel(2, 1), 0xABCDEFu);
  EXPECT_EQ(copy.RowBytes(), 12);
}
