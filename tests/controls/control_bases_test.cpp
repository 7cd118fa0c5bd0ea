// The bases of the pack's controls: the image list both the graphic and the windowed base link to,
// and how the graphic base answers the pack's redraw and parent-background messages.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/forms.h"
#include "controls/panels/vis_application.h"
#include "controls/panels/vis_form_shape.h"
#include "controls/panels/vis_image_list.h"
#include "controls/panels/vis_messages.h"
#include "controls/panels/vis_meter.h"
#include "controls/panels/vis_simple_panel.h"
#include "tests/controls/pixels.h"
#include "tests/controls/theme_entries.h"
#include "tests/support/window_test.h"

using namespace controls;
using classlib::TBitmap;

namespace {

// Counts the changes of its image list that reach it.
class GraphicHolder : public TVisGraphicControl {
 public:
  using TVisGraphicControl::TVisGraphicControl;
  int changes = 0;

 protected:
  void ImageChanged(int Flag) override {
    ++changes;
    TVisGraphicControl::ImageChanged(Flag);
  }
};

class WindowedHolder : public TVisSimplePanel {
 public:
  using TVisSimplePanel::TVisSimplePanel;
  int changes = 0;

 protected:
  void ImageListChanged(TObject* Sender) override {
    ++changes;
    TVisSimplePanel::ImageListChanged(Sender);
  }
};

// One of the two bases, seen through what they share.
struct Holder {
  const char* name;
  std::function<classlib::TControl*(classlib::TComponent* owner)> make;
  std::function<TVisImageListRef&(classlib::TControl&)> ref;
  std::function<int(classlib::TControl&)> changes;
  std::function<void(classlib::TControl&, int)> setImageIndex;
};

template <typename T>
Holder HolderOf(const char* name) {
  return {name, [](classlib::TComponent* owner) { return new T(owner); },
          [](classlib::TControl& c) -> TVisImageListRef& { return static_cast<T&>(c).ImageListRef(); },
          [](classlib::TControl& c) { return static_cast<T&>(c).changes; },
          [](classlib::TControl& c, int index) { static_cast<T&>(c).SetImageIndex(index); }};
}

const Holder kHolders[] = {HolderOf<GraphicHolder>("graphic"), HolderOf<WindowedHolder>("windowed")};

TBitmap& Picture(TBitmap& bitmap, classlib::TColor color) {
  pixels::Prepare(bitmap, 8, 8, color);
  return bitmap;
}

class ControlBases : public ::testing::Test {
 protected:
  ControlBases() { testing_support::InitWindows(); }
  ~ControlBases() override { EXPECT_EQ(testing_support::TakeBoundaryErrors(), std::vector<std::string>()); }
};

}  // namespace

TEST_F(ControlBases, ImageListLinkFollowsTheListOnBothBases) {
  for (const Holder& h : kHolders) {
    SCOPED_TRACE(h.name);
    std::unique_ptr<classlib::TControl> control(h.make(nullptr));
    TVisImageListRef& ref = h.ref(*control);
    auto* list = new TVisBitmapList(nullptr);
    const auto changesAfter = [&](const std::function<void()>& step) {
      const int before = h.changes(*control);
      step();
      return h.changes(*control) - before;
    };
    EXPECT_EQ(changesAfter([&] { ref.SetList(list); }), 1);
    EXPECT_EQ(changesAfter([&] { list->Add(); }), 1) << "the list's own change";
    TBitmap red;
    EXPECT_EQ(changesAfter([&] { list->Item(0)->SetBitmap(Picture(red, 0x0000FF)); }), 1) << "an item's change";
    EXPECT_EQ(changesAfter([&] { h.setImageIndex(*control, 1); }), 1);
    EXPECT_EQ(changesAfter([&] { h.setImageIndex(*control, -1); }), 0);
    EXPECT_TRUE(ref.ListStored());
    EXPECT_FALSE(ref.InternalStored());

    EXPECT_EQ(changesAfter([&] { delete list; }), 1);
    EXPECT_EQ(ref.List(), nullptr) << "the freed list is let go";

    // One of the global container's lists is named by its signature, and a list set before is
    // no longer listened to.
    auto* other = new TVisImageList(nullptr);
    ref.SetList(other);
    ref.ReadInternal("VISBML30");
    EXPECT_EQ(ref.List(), &VisContainer().BitmapList());
    EXPECT_FALSE(ref.ListStored());
    EXPECT_TRUE(ref.InternalStored());
    EXPECT_EQ(ref.WriteInternal(), "VISBML30");
    EXPECT_EQ(changesAfter([&] { other->Add(); }), 0);
    delete other;
    EXPECT_EQ(ref.List(), &VisContainer().BitmapList());
    ref.SetList(nullptr);
  }
}

TEST_F(ControlBases, LoadingEndsWithTheListsChange) {
  for (const Holder& h : kHolders) {
    SCOPED_TRACE(h.name);
    TVisBitmapList list(nullptr);
    for (bool withList : {false, true}) {
      classlib::TComponent owner(nullptr);
      owner.BeginLoading();
      classlib::TControl* control = h.make(&owner);
      if (withList) h.ref(*control).SetList(&list);
      const int before = h.changes(*control);
      owner.EndLoading();
      EXPECT_EQ(h.changes(*control) - before, withList ? 1 : 0);
    }
  }
}

TEST_F(ControlBases, HasNoImageUntilTheListHoldsOneAtTheIndexes) {
  GraphicHolder control(nullptr);
  EXPECT_TRUE(control.HasNoImage()) << "no list";
  TVisBitmapList list(nullptr);
  control.SetImageList(&list);
  EXPECT_TRUE(control.HasNoImage()) << "an empty list";
  list.Add();
  EXPECT_TRUE(control.HasNoImage()) << "an empty item";
  TBitmap red;
  list.Item(0)->SetBitmap(Picture(red, 0x0000FF));
  EXPECT_FALSE(control.HasNoImage());
  control.SetImageIndex(1);
  EXPECT_TRUE(control.HasNoImage()) << "a bitmap item holds image 0 only";
  control.SetImageIndex(0);
  control.SetListIndex(1);
  EXPECT_TRUE(control.HasNoImage());
  control.SetImageList(nullptr);
}

namespace {

// A graphic control that can be drawn with the theme, and one that cannot (as all of the program's).
class ThemedGraphic : public TVisGraphicControl {
 public:
  using TVisGraphicControl::TVisGraphicControl;

 protected:
  bool ThemeCapable() const override { return true; }
};

// Whether the parent's window holds anything of the control's rectangle to repaint.
bool Invalidated(classlib::TControl& control) {
  HRGN update = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(control.Parent()->Handle(), update, FALSE);
  const RECT r = control.BoundsRect();
  const bool inside = RectInRegion(update, &r) != FALSE;
  DeleteObject(update);
  return inside;
}

void Painted(classlib::TWinControl& window) {
  window.Update();
  ValidateRect(window.Handle(), nullptr);
}

}  // namespace

// The theme switch broadcasts the pack's redraw message: only a control that can draw with the
// theme repaints.
TEST_F(ControlBases, TheThemeSwitchRedrawsOnlyControlsThatDrawWithTheTheme) {
  TVisThemeEntries fake = ScopedThemeEntries::NoTheme();
  fake.IsThemeActive = [] { return TRUE; };
  fake.SetThemeAppProperties = [](DWORD) {};
  ScopedThemeEntries themes(fake);
  TVisApplication& app = VisApplication();
  app.SetUseThemes(true);
  classlib::TForm form(nullptr);
  auto* themed = new ThemedGraphic(&form);
  themed->SetParent(&form);
  themed->SetBounds(10, 10, 30, 30);
  auto* plain = new TVisGraphicControl(&form);
  plain->SetParent(&form);
  plain->SetBounds(60, 10, 30, 30);
  form.Show();
  for (bool on : {false, true}) {
    Painted(form);
    app.SetUseThemes(on);
    EXPECT_TRUE(Invalidated(*themed)) << on;
    EXPECT_FALSE(Invalidated(*plain)) << on;
  }
  form.Hide();
  app.RefreshThemes();
}

// A transparent graphic control on a parent with a background bitmap repaints when the parent's
// background changes; an opaque one, one on an ordinary form and a hidden one do not.
TEST_F(ControlBases, ParentBackgroundChangesRepaintControlsThatShowIt) {
  ScopedThemeEntries themes(ScopedThemeEntries::NoTheme());
  classlib::TForm plainForm(nullptr);
  classlib::TForm shapedForm(nullptr);
  shapedForm.BeginLoading();
  auto* shape = new TVisFormShape(&shapedForm);
  shapedForm.EndLoading();
  pixels::Prepare(shape->Region().Mask().Border(TVisRegionMask::kBorder), 200, 150, 0x00FF00);
  shape->Region().SetShape(TVisRegionShape::rsBitmap);
  const auto place = [](classlib::TForm& form, int left) {
    auto* control = new TVisGraphicControl(&form);
    control->SetParent(&form);
    control->SetBounds(left, 10, 30, 30);
    return control;
  };
  TVisGraphicControl* onShape = place(shapedForm, 10);
  TVisGraphicControl* opaque = place(shapedForm, 50);
  opaque->SetOpaque();
  TVisGraphicControl* hidden = place(shapedForm, 90);
  TVisGraphicControl* onPlain = place(plainForm, 10);
  shapedForm.Show();
  plainForm.Show();
  hidden->Hide();
  for (classlib::TForm* form : {&shapedForm, &plainForm}) {
    Painted(*form);
    form->NotifyControls(CM_VISPARENTBKGNDCHANGED);
  }
  EXPECT_TRUE(Invalidated(*onShape));
  EXPECT_FALSE(Invalidated(*opaque));
  EXPECT_FALSE(Invalidated(*hidden));
  EXPECT_FALSE(Invalidated(*onPlain));

  // Without the region's bitmap the shaped form has no background to take.
  shape->SetUseRgnBitmap(false);
  Painted(shapedForm);
  shapedForm.NotifyControls(CM_VISPARENTBKGNDCHANGED);
  EXPECT_FALSE(Invalidated(*onShape));
  shapedForm.Hide();
  plainForm.Hide();
}
