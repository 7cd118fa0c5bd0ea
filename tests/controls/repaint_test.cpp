// Every control repaints whatever it draws changes. With the mouse parked away from the form, each
// case changes one thing the control shows (by a setter, a message, a key or through another
// control), lets the messages run, and compares what the display shows with the control's own
// fresh paint of its new state: a control that missed the change still shows the old picture.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/datetime.h"
#include "classlib/forms.h"
#include "classlib/graphics.h"
#include "classlib/stdctrls.h"
#include "controls/flat/date_calendar.h"
#include "controls/flat/flat_button.h"
#include "controls/flat/flat_combo_box.h"
#include "controls/flat/flat_edit.h"
#include "controls/flat/flat_hint.h"
#include "controls/flat/flat_tab_control.h"
#include "controls/panels/vis_image_list.h"
#include "controls/panels/vis_progress_fill.h"
#include "controls/panels/vis_simple_panel.h"
#include "controls/panels/vis_spin_edit.h"
#include "tests/support/window_test.h"

using namespace controls;
using classlib::TBitmap;
using classlib::TColor;
using classlib::TForm;

namespace {

constexpr TColor kFormColor = 0x00C08040;

// What a case reads: a control's pixels, with its window's frame for controls that paint there.
struct Subject {
  classlib::TControl* control = nullptr;
  bool frame = false;
};

struct Case {
  std::string name;
  std::function<Subject(TForm&)> make;
  std::function<void()> change;
};

// A case on a control of type T: make builds it on the form, change changes it.
template <typename T>
Case On(const std::string& name, std::function<T*(TForm&)> make, std::function<void(T&)> change, bool frame = false) {
  auto made = std::make_shared<T*>(nullptr);
  return {name,
          [=](TForm& form) {
            *made = make(form);
            return Subject{*made, frame};
          },
          [=] { change(**made); }};
}

// make, then the control made takes the focus (the form gives it to it when it shows).
template <typename T>
std::function<T*(TForm&)> Focused(std::function<T*(TForm&)> make) {
  return [make](TForm& form) {
    T* control = make(form);
    control->SetFocus();
    return control;
  };
}

// The window whose pixels show the subject, and where in it (client or window coordinates).
HWND WindowOf(const Subject& s, RECT& area) {
  if (auto* windowed = dynamic_cast<classlib::TWinControl*>(s.control)) {
    HWND window = windowed->Handle();
    if (s.frame) {
      GetWindowRect(window, &area);
      OffsetRect(&area, -area.left, -area.top);
    } else {
      GetClientRect(window, &area);
    }
    return window;
  }
  area = s.control->BoundsRect();
  return s.control->Parent()->Handle();
}

void Crop(TBitmap& picture, const RECT& area) {
  TBitmap part(area.right - area.left, area.bottom - area.top);
  BitBlt(part.Canvas().Handle(), 0, 0, part.Width(), part.Height(), picture.SourceDC(), area.left, area.top, SRCCOPY);
  picture.Assign(part);
}

// The subject's own paint of its present state, as the display would show it.
void FreshPaint(const Subject& s, TBitmap& into) {
  RECT area;
  HWND window = WindowOf(s, area);
  if (s.frame) {
    into.SetSize(area.right, area.bottom);
    SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(into.Canvas().Handle()),
                 PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
  } else {
    testing_support::PaintControl(*classlib::TWinControl::FindControl(window), into);
    Crop(into, area);
  }
  testing_support::AsDisplayShows(into);
}

void OnDisplay(const Subject& s, TBitmap& into) {
  RECT area;
  HWND window = WindowOf(s, area);
  testing_support::ShownOnDisplay(window, s.frame, into);
  if (!s.frame) Crop(into, area);
}

// The pixels that differ, with the first of them; windowed children of the subject are left out
// (a fresh paint of the subject does not hold them).
std::string Differences(const Subject& s, const TBitmap& shown, const TBitmap& fresh) {
  std::vector<RECT> children;
  if (auto* windowed = dynamic_cast<classlib::TWinControl*>(s.control))
    for (int i = 0; i < windowed->ControlCount(); ++i)
      if (auto* child = dynamic_cast<classlib::TWinControl*>(windowed->Controls(i)); child && child->Visible())
        children.push_back(child->BoundsRect());
  int count = 0;
  std::string first;
  for (int y = 0; y < fresh.Height(); ++y)
    for (int x = 0; x < fresh.Width(); ++x) {
      bool inChild = false;
      for (const RECT& r : children) inChild |= PtInRect(&r, {x, y}) != FALSE;
      if (inChild || shown.Pixel(x, y) == fresh.Pixel(x, y)) continue;
      if (count++ == 0)
        first = " first at " + std::to_string(x) + "," + std::to_string(y) + ": shown " +
                std::to_string(shown.Pixel(x, y)) + ", painted " + std::to_string(fresh.Pixel(x, y));
    }
  return count == 0 ? std::string() : std::to_string(count) + " pixels differ," + first;
}

bool SamePicture(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
  return true;
}

class Repaint : public ::testing::Test {
 protected:
  Repaint() { testing_support::InitWindows(); }
  ~Repaint() override { EXPECT_EQ(testing_support::TakeBoundaryErrors(), std::vector<std::string>()); }

  static std::unique_ptr<TForm> NewForm() {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetPosition(classlib::TPosition::poDesigned);
    form->SetBounds(80, 80, 440, 340);
    form->SetColor(kFormColor);
    // First in the tab order, so the focus starts on none of the controls a case reads.
    auto* focusHolder = new classlib::TButton(form.get());
    focusHolder->SetParent(form.get());
    focusHolder->SetBounds(410, 290, 10, 10);
    return form;
  }

  // The messages run; an edit's blinking caret is hidden, a fresh paint holds none.
  static void Settle() {
    testing_support::Pump();
    HideCaret(nullptr);
  }

  static void Run(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      auto form = NewForm();
      const Subject subject = c.make(*form);
      form->Show();
      SetCursorPos(1270, 1010);
      Settle();
      TBitmap shown, before, after;
      OnDisplay(subject, shown);
      FreshPaint(subject, before);
      ASSERT_EQ(Differences(subject, shown, before), "") << "shows its own paint before the change";
      c.change();
      Settle();
      FreshPaint(subject, after);
      OnDisplay(subject, shown);
      EXPECT_FALSE(SamePicture(before, after)) << "the change shows at all";
      EXPECT_EQ(Differences(subject, shown, after), "") << "redrawn";
    }
  }
};

// ---------------------------------------------------------------- the flat controls

constexpr TColor kLine = 0x996633;
constexpr TColor kLight = 0xF5DEDE;
constexpr TColor kWhite = 0xFFFFFF;

TFlatButton* NewButton(TForm& form, const std::string& caption = "Abbrechen") {
  auto* button = new TFlatButton(&form);
  button->SetParent(&form);
  button->SetBounds(20, 20, 90, 25);
  button->SetCaption(caption);
  button->SetColor(kWhite);
  button->SetColorBorder(kLine);
  button->SetColorHighLight(kLine);
  button->SetColorShadow(kLine);
  button->SetColorFocused(kLight);
  button->SetColorDown(0xECEBEA);
  return button;
}

TFlatButton* NextTo(TFlatButton& button, const std::string& caption) {
  TFlatButton* next = NewButton(*button.ParentForm(), caption);
  next->SetLeft(200);
  return next;
}

TFlatButton* Other(classlib::TControl& control) {
  return static_cast<TFlatButton*>(control.Parent()->Controls(control.Parent()->ControlCount() - 1));
}

// Two images of 8 x 8, red and blue, on magenta (the transparent colour).
void TwoImages(TBitmap& glyph, TColor first, TColor second) {
  glyph.SetSize(16, 8);
  glyph.Canvas().Brush().SetColor(first);
  glyph.Canvas().FillRect({0, 0, 8, 8});
  glyph.Canvas().Brush().SetColor(second);
  glyph.Canvas().FillRect({8, 0, 16, 8});
  glyph.Canvas().SetPixel(0, 7, 0xFF00FF);
  glyph.Canvas().SetPixel(8, 7, 0xFF00FF);
}

TEST_F(Repaint, FlatButton) {
  using B = TFlatButton;
  const auto button = [](TForm& f) { return NewButton(f); };
  const auto grouped = [](TForm& f) {
    TFlatButton* b = NewButton(f);
    b->SetGroupIndex(1);
    NextTo(*b, "Weiter")->SetGroupIndex(1);
    return b;
  };
  Run({
      On<B>("caption", button, [](B& b) { b.SetCaption("Zurück"); }),
      On<B>("caption set by another button's click from the keyboard",
            [](TForm& f) {
              TFlatButton* back = NewButton(f);
              NextTo(*back, "Weiter")->OnClick = [back](classlib::TComponent*) { back->SetCaption("Zurück"); };
              return back;
            },
            [](B& b) {
              Other(b)->SetFocus();
              testing_support::PressKey(Other(b)->Handle(), VK_SPACE);
            }),
      On<B>("font", button, [](B& b) { b.Font().SetStyle(classlib::fsBold); }),
      On<B>("font colour", button, [](B& b) { b.Font().SetColor(0x0000FF); }),
      On<B>("font of the parent", button, [](B& b) { b.Parent()->Font().SetSize(12); }),
      On<B>("colour", button, [](B& b) { b.SetColor(0xE9C7B4); }),
      On<B>("border colour", button, [](B& b) { b.SetColorBorder(0x0000FF); }),
      On<B>("default", button, [](B& b) { b.SetDefault(true); }),
      On<B>("enabled", button, [](B& b) { b.SetEnabled(false); }),
      On<B>("hover colour of a focused button", Focused<B>(button), [](B& b) { b.SetColorFocused(0x00E9C7B4); }),
      On<B>("focus taken by another button",
            Focused<B>([](TForm& f) {
              TFlatButton* b = NewButton(f);
              NextTo(*b, "Weiter");
              return b;
            }),
            [](B& b) { Other(b)->SetFocus(); }),
      On<B>("down in a group", grouped, [](B& b) { b.SetDown(true); }),
      On<B>("down in a group by the space bar", Focused<B>(grouped),
            [](B& b) {
              PostMessageW(b.Handle(), WM_KEYDOWN, VK_SPACE, 1);
              testing_support::Pump();
              Other(b)->SetFocus();
            }),
      On<B>("released by another button of its group",
            [=](TForm& f) {
              TFlatButton* b = grouped(f);
              b->SetDown(true);
              return b;
            },
            [](B& b) { Other(b)->SetDown(true); }),
      On<B>("glyph", button,
            [](B& b) {
              TBitmap glyph;
              TwoImages(glyph, 0x0000FF, 0xFF0000);
              b.SetGlyph(glyph);
            }),
      On<B>("layout",
            [](TForm& f) {
              TFlatButton* b = NewButton(f);
              TBitmap glyph;
              TwoImages(glyph, 0x0000FF, 0xFF0000);
              b->SetGlyph(glyph);
              return b;
            },
            [](B& b) { b.SetLayout(TButtonLayout::blGlyphLeft); }),
      On<B>("spacing between glyph and caption",
            [](TForm& f) {
              TFlatButton* b = NewButton(f);
              TBitmap glyph;
              TwoImages(glyph, 0x0000FF, 0xFF0000);
              b->SetGlyph(glyph);
              return b;
            },
            [](B& b) { b.SetSpacing(12); }),
      On<B>("disabled glyph",
            [](TForm& f) {
              TFlatButton* b = NewButton(f);
              TBitmap glyph;
              TwoImages(glyph, 0x0000FF, 0xFF0000);
              b->SetGlyph(glyph);
              return b;
            },
            [](B& b) { b.SetEnabled(false); }),
      On<B>("advanced colours", button, [](B& b) { b.SetUseAdvColors(true); }),
      On<B>("transparent mode", button, [](B& b) { b.SetTransparentMode(TTransparentMode::tmAlways); }),
      On<B>("the parent's colour behind a transparent button",
            [](TForm& f) {
              TFlatButton* b = NewButton(f);
              b->SetTransparentMode(TTransparentMode::tmAlways);
              return b;
            },
            [](B& b) { b.Parent()->SetColor(0x00336699); }),
  });
}

TFlatTabControl* NewTabs(TForm& form) {
  auto* tabs = new TFlatTabControl(&form);
  tabs->SetParent(&form);
  tabs->SetBounds(10, 10, 300, 150);
  classlib::TStringList captions;
  for (const char* caption : {"&Eins", "&Zwei", "&Drei"}) captions.Add(caption);
  tabs->SetTabs(captions);
  tabs->SetColor(kLight);
  tabs->SetColorBorder(kLine);
  return tabs;
}

TEST_F(Repaint, FlatTabControl) {
  using T = TFlatTabControl;
  const auto tabs = [](TForm& f) { return NewTabs(f); };
  Run({
      On<T>("active tab", tabs, [](T& t) { t.SetActiveTab(2); }),
      On<T>("active tab by the arrow key",
            Focused<T>(tabs),
            [](T& t) { testing_support::PressKey(t.Handle(), VK_RIGHT); }),
      On<T>("active tab by its accelerator", tabs,
            [](T& t) { testing_support::PressAltKey(t.ParentForm()->Handle(), L'z'); }),
      On<T>("tabs",
            tabs,
            [](T& t) {
              classlib::TStringList captions;
              captions.Add("Sicherung");
              t.SetTabs(captions);
            }),
      On<T>("a tab added", tabs, [](T& t) { t.AddTab("Vier"); }),
      On<T>("colour", tabs, [](T& t) { t.SetColor(kWhite); }),
      On<T>("border colour", tabs, [](T& t) { t.SetColorBorder(0x0000FF); }),
      On<T>("colour of the tabs not selected", tabs, [](T& t) { t.SetColorUnselectedTab(0x0000FF); }),
      On<T>("font", tabs, [](T& t) { t.Font().SetStyle(classlib::fsBold); }),
      On<T>("font colour", tabs, [](T& t) { t.Font().SetColor(0x0000FF); }),
      On<T>("enabled", tabs, [](T& t) { t.SetEnabled(false); }),
      On<T>("tab height", tabs, [](T& t) { t.SetTabHeight(24); }),
      On<T>("tab position", tabs, [](T& t) { t.SetTabPosition(TFlatTabPosition::tpBottom); }),
      On<T>("tab spacing", tabs, [](T& t) { t.SetTabSpacing(12); }),
      On<T>("advanced colours", tabs, [](T& t) { t.SetUseAdvColors(true); }),
      On<T>("focus", tabs, [](T& t) { t.SetFocus(); }),
      On<T>("the parent's colour beside the tabs", tabs, [](T& t) { t.Parent()->SetColor(0x00336699); }),
  });
}

TFlatEdit* NewEdit(TForm& form) {
  auto* edit = new TFlatEdit(&form);
  edit->SetParent(&form);
  edit->SetBounds(20, 20, 150, 21);
  edit->SetText("Sicherung");
  edit->SetColorBorder(kLine);
  edit->SetColorFlat(kLight);
  edit->SetColorFocused(kWhite);
  return edit;
}

TEST_F(Repaint, FlatEdit) {
  using E = TFlatEdit;
  const auto edit = [](TForm& f) { return NewEdit(f); };
  const bool frame = true;
  Run({
      On<E>("text", edit, [](E& e) { e.SetText("Zweite Sicherung"); }, frame),
      On<E>("flat colour", edit, [](E& e) { e.SetColorFlat(0x00E9C7B4); }, frame),
      On<E>("border colour", edit, [](E& e) { e.SetColorBorder(0x0000FF); }, frame),
      On<E>("enabled", edit, [](E& e) { e.SetEnabled(false); }, frame),
      On<E>("font", edit, [](E& e) { e.Font().SetStyle(classlib::fsBold); }, frame),
      On<E>("focus", edit, [](E& e) { e.SetFocus(); }, frame),
      On<E>("focus taken by another control",
            Focused<E>(edit),
            [](E& e) { static_cast<classlib::TWinControl*>(e.Parent()->Controls(0))->SetFocus(); }, frame),
      On<E>("focus colour of a focused edit",
            Focused<E>(edit),
            [](E& e) { e.SetColorFocused(0x00E9C7B4); }, frame),
      On<E>("text typed", 
            Focused<E>(edit),
            [](E& e) { testing_support::TypeChars(e.Handle(), L"x"); }, frame),
      On<E>("advanced colours", edit, [](E& e) { e.SetUseAdvColors(true); }, frame),
      On<E>("the parent's colour it follows",
            [](TForm& f) {
              TFlatEdit* e = NewEdit(f);
              e->SetParentColor(true);
              return e;
            },
            [](E& e) { e.Parent()->SetColor(0x00336699); }, frame),
  });
}

TFlatComboBox* NewCombo(TForm& form) {
  auto* combo = new TFlatComboBox(&form);
  combo->SetParent(&form);
  combo->SetStyle(classlib::TComboBoxStyle::csDropDownList);
  combo->SetBounds(20, 20, 150, 21);
  for (const char* item : {"CD-ROM", "Diskette", "ZIP-Laufwerk"}) combo->Items().Add(item);
  combo->SetItemIndex(0);
  combo->SetColor(kWhite);
  combo->SetColorBorder(kLine);
  combo->SetColorArrowBackground(kLight);
  return combo;
}

TEST_F(Repaint, FlatComboBox) {
  using C = TFlatComboBox;
  const auto combo = [](TForm& f) { return NewCombo(f); };
  Run({
      On<C>("item", combo, [](C& c) { c.SetItemIndex(2); }),
      On<C>("item by the arrow key",
            Focused<C>(combo),
            [](C& c) { testing_support::PressKey(c.Handle(), VK_DOWN); }),
      On<C>("colour", combo, [](C& c) { c.SetColor(kLight); }),
      On<C>("border colour", combo, [](C& c) { c.SetColorBorder(0x0000FF); }),
      On<C>("arrow colour", combo, [](C& c) { c.SetColorArrow(0x0000FF); }),
      On<C>("arrow background", combo, [](C& c) { c.SetColorArrowBackground(0x00E9C7B4); }),
      On<C>("enabled", combo, [](C& c) { c.SetEnabled(false); }),
      On<C>("font", combo, [](C& c) { c.Font().SetStyle(classlib::fsBold); }),
      On<C>("focus", combo, [](C& c) { c.SetFocus(); }),
      On<C>("advanced colours", combo, [](C& c) { c.SetUseAdvColors(true); }),
      On<C>("the parent's colour its advanced colours follow",
            [](TForm& f) {
              TFlatComboBox* c = NewCombo(f);
              c->SetUseAdvColors(true);
              return c;
            },
            [](C& c) { c.Parent()->SetColor(0x00336699); }),
      On<C>("items cleared", combo, [](C& c) { c.Items().Clear(); }),
  });
}

TEST_F(Repaint, FlatHintWindow) {
  Run({
      On<TFlatHintWindow>("text shown again in the same place",
                          [](TForm& f) {
                            auto* hint = new TFlatHintWindow(&f);
                            hint->ActivateHint({300, 300, 300, 300}, "Eine Sicherung");
                            return hint;
                          },
                          [](TFlatHintWindow& h) { h.ActivateHint({300, 300, 300, 300}, "Eine Wicherung"); }),
  });
}

// ---------------------------------------------------------------- the panels

TVisSimplePanel* NewPanel(TForm& form) {
  auto* panel = new TVisSimplePanel(&form);
  panel->SetParent(&form);
  panel->SetBounds(20, 20, 200, 120);
  panel->SetColor(kWhite);
  panel->Bevel().SetBorderColor(kLine);
  panel->Bevel().SetBorderWidth(1);
  return panel;
}

TEST_F(Repaint, Panel) {
  using P = TVisSimplePanel;
  const auto panel = [](TForm& f) { return NewPanel(f); };
  Run({
      On<P>("colour", panel, [](P& p) { p.SetColor(kLight); }),
      On<P>("ring colour", panel, [](P& p) { p.Bevel().SetBorderColor(0x0000FF); }),
      On<P>("ring width", panel, [](P& p) { p.Bevel().SetBorderWidth(3); }),
      On<P>("inner bevel", panel, [](P& p) { p.Bevel().SetStyleInner(TVisBevelStyle::bvRaised); }),
      On<P>("bevel mode with the window's edge", panel, [](P& p) { p.Bevel().SetMode(TVisBevelMode::bmWindows); }),
      On<P>("transparent", panel, [](P& p) { p.SetTransparent(true); }),
      On<P>("bevel replaced",
            panel,
            [](P& p) {
              TVisBevel bevel;
              bevel.SetBorderWidth(2);
              bevel.SetBorderColor(0x0000FF);
              p.SetBevel(bevel);
            }),
      On<P>("the parent's colour it follows",
            [](TForm& f) {
              TVisSimplePanel* p = NewPanel(f);
              p->SetParentColor(true);
              return p;
            },
            [](P& p) { p.Parent()->SetColor(0x00336699); }),
  });
}

TVisProgressFill* NewBar(TForm& form) {
  auto* bar = new TVisProgressFill(&form);
  bar->SetParent(&form);
  bar->SetBounds(20, 20, 200, 18);
  TVisFillObject& fill = bar->FillObject();
  fill.SetStyle(TVisFillStyle::sfGradient);
  fill.Gradient().SetColor(kLine);
  fill.Gradient().SetEndColor(kWhite);
  fill.Gradient().SetColorCount(236);
  bar->Bevel().SetStyleOuter(TVisBevelStyle::bvLowered);
  bar->Bevel().SetWidthOuter(0);
  bar->Bevel().SetWidthInner(0);
  bar->Bevel().SetBorderWidth(1);
  bar->Bevel().SetBorderColor(kLine);
  bar->SetColor(kLight);
  bar->SetUserValue(40);
  return bar;
}

// A bar filled from a bitmap list of the form with two pictures, red and blue.
TVisProgressFill* NewPictureBar(TForm& form) {
  TVisProgressFill* bar = NewBar(form);
  auto* list = new TVisBitmapList(&form);
  for (TColor color : {0x0000FFu, 0xFF0000u}) {
    TBitmap picture(8, 8);
    picture.Canvas().Brush().SetColor(color);
    picture.Canvas().FillRect({0, 0, 8, 8});
    static_cast<TVisBitmapListItem*>(list->Add())->SetBitmap(picture);
  }
  bar->FillObject().SetStyle(TVisFillStyle::sfBitmapList);
  bar->SetImageList(list);
  return bar;
}

TEST_F(Repaint, ProgressFill) {
  using F = TVisProgressFill;
  const auto bar = [](TForm& f) { return NewBar(f); };
  const auto pictureBar = [](TForm& f) { return NewPictureBar(f); };
  const auto percent = [](TForm& f) {
    TVisProgressFill* b = NewBar(f);
    b->SetOptionsText(TVisMeterTextOptions::toPercent);
    return b;
  };
  Run({
      On<F>("value", bar, [](F& b) { b.SetUserValue(75); }),
      On<F>("position", bar, [](F& b) { b.SetPosition(0); }),
      On<F>("maximum", bar, [](F& b) { b.SetMaxValue(50); }),
      On<F>("minimum", bar, [](F& b) { b.SetMinValue(30); }),
      On<F>("colour", bar, [](F& b) { b.SetColor(kWhite); }),
      On<F>("picture of the image list", pictureBar, [](F& b) { b.SetListIndex(1); }),
      On<F>("the list's picture changed", pictureBar,
            [](F& b) {
              TBitmap green(8, 8);
              green.Canvas().Brush().SetColor(0x00FF00);
              green.Canvas().FillRect({0, 0, 8, 8});
              static_cast<TVisBitmapList*>(b.ImageList())->Item(0)->SetBitmap(green);
            }),
      On<F>("image list gone", pictureBar, [](F& b) { delete b.ImageList(); }),
      On<F>("gradient", bar, [](F& b) { b.FillObject().Gradient().SetColor(0x0000FF); }),
      On<F>("fill style", bar, [](F& b) { b.FillObject().SetStyle(TVisFillStyle::sfBrush); }),
      On<F>("ring colour", bar, [](F& b) { b.Bevel().SetBorderColor(0x0000FF); }),
      On<F>("direction", bar, [](F& b) { b.SetDirection(TVisMeterDirection::mdHorizontalReverse); }),
      On<F>("bar border", bar, [](F& b) { b.SetBar3D(TVisBorderStyle::lsRaised); }),
      On<F>("bevel replaced",
            bar,
            [](F& b) {
              TVisBevel bevel;
              bevel.SetBorderWidth(2);
              bevel.SetBorderColor(0x0000FF);
              b.SetBevel(bevel);
            }),
      On<F>("fill replaced",
            bar,
            [](F& b) {
              TVisFillObject fill;
              fill.SetStyle(TVisFillStyle::sfBrush);
              fill.Brush().SetColor(0x0000FF);
              b.SetFillObject(fill);
            }),
      On<F>("colour behind the fill's hatch",
            [](TForm& f) {
              TVisProgressFill* b = NewBar(f);
              b->FillObject().SetStyle(TVisFillStyle::sfBrush);
              b->FillObject().Brush().SetStyle(classlib::TBrushStyle::bsVertical);
              return b;
            },
            [](F& b) { b.SetBrushBackColor(0x0000FF); }),
      On<F>("percentage shown", bar, [](F& b) { b.SetOptionsText(TVisMeterTextOptions::toPercent); }),
      On<F>("font colour of the text", percent, [](F& b) { b.Font().SetColor(0x0000FF); }),
      On<F>("alignment of the text", percent, [](F& b) { b.SetAlignment(classlib::TAlignment::taLeftJustify); }),
      On<F>("text in the font's colour",
            [=](TForm& f) {
              TVisProgressFill* b = percent(f);
              b->SetUserValue(50);
              return b;
            },
            [](F& b) { b.SetUseFontColor(true); }),
      On<F>("caption",
            [](TForm& f) {
              TVisProgressFill* b = NewBar(f);
              b->SetOptionsText(TVisMeterTextOptions::toCaption);
              b->SetCaption("Eins");
              return b;
            },
            [](F& b) { b.SetCaption("Zwei"); }),
      On<F>("enabled, with text", percent, [](F& b) { b.SetEnabled(false); }),
      On<F>("3-D text colour",
            [=](TForm& f) {
              TVisProgressFill* b = percent(f);
              b->Font3D().SetStyle(TVisThreeDStyle::tdRaised);
              return b;
            },
            [](F& b) { b.Font3D().SetLightColor(0x0000FF); }),
  });
}

TVisSpinEdit* NewSpin(TForm& form) {
  auto* spin = new TVisSpinEdit(&form);
  spin->SetParent(&form);
  spin->SetBounds(20, 20, 80, 21);
  spin->SetEditorEnabled(false);
  spin->SetValue(5);
  return spin;
}

TEST_F(Repaint, SpinEdit) {
  using S = TVisSpinEdit;
  using Button = TVisSpinButton;
  const auto spin = [](TForm& f) { return NewSpin(f); };
  const auto button = [](TForm& f) { return NewSpin(f)->Button(); };
  Run({
      On<S>("value", spin, [](S& s) { s.SetValue(17); }),
      On<S>("value by the button",
            spin,
            [](S& s) {
              HWND host = s.Button()->Parent()->Handle();
              SendMessageW(host, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
              SendMessageW(host, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
            }),
      On<S>("enabled", spin, [](S& s) { s.SetEnabled(false); }),
      On<S>("value by the arrow key",
            Focused<S>(spin),
            [](S& s) { testing_support::PressKey(s.Handle(), VK_UP); }),
      On<S>("suffix", spin, [](S& s) { s.SetSuffix(" Tage"); }),
      On<S>("maximum below the value", spin, [](S& s) { s.SetMaxValue(3); }),
      On<S>("alignment", spin, [](S& s) { s.SetAlignment(classlib::TAlignment::taRightJustify); }),
      On<Button>("button pressed", button,
                 [](Button& b) { SendMessageW(b.Parent()->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3)); }),
      On<Button>("button of a disabled edit", button,
                 [](Button& b) { static_cast<S*>(b.Parent()->Parent())->SetEnabled(false); }),
  });
}

// ---------------------------------------------------------------- the calendar

// A click on a graphic control, through its parent's window.
void ClickButtonOf(classlib::TControl& button) {
  const RECT r = button.BoundsRect();
  testing_support::ClickAt(button.Parent()->Handle(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

TDateCalendar* NewCalendar(TForm& form) {
  auto* calendar = new TDateCalendar(&form);
  calendar->SetParent(&form);
  calendar->SetBounds(20, 20, 164, 174);
  calendar->SetStartOfWeek(TDayOfWeek::Monday);
  calendar->SetViewStyle(TCalendarView::cvMonthView);
  calendar->Colors().SetBackColor(kLine);
  calendar->Colors().SetTitleBackColor(0xC8A38A);
  calendar->Colors().SetSelectedColor(0xC8A38A);
  calendar->Colors().SetSelectedBorderColor(kLight);
  calendar->SetSelectedDate(classlib::EncodeDate(2024, 3, 12));
  return calendar;
}

TEST_F(Repaint, Calendar) {
  using G = TCalendarGrid;
  using D = TDateCalendar;
  using L = TCalendarButton;
  const auto grid = [](TForm& f) { return NewCalendar(f)->Grid(); };
  const auto calendar = [](TForm& f) { return NewCalendar(f); };
  const auto title = [](TForm& f) { return NewCalendar(f)->TitleButton(); };
  const auto owner = [](classlib::TControl& c) { return static_cast<D*>(c.Owner()); };
  Run({
      On<G>("date", grid, [](G& g) { g.SetCalendarDate(classlib::EncodeDate(2024, 3, 20)); }),
      On<G>("date by the arrow key",
            Focused<G>(grid),
            [](G& g) { testing_support::PressKey(g.Handle(), VK_RIGHT); }),
      On<G>("month by the calendar's arrow button", grid,
            [=](G& g) { ClickButtonOf(*owner(g)->NextButton()); }),
      On<G>("selected colour", grid, [=](G& g) { owner(g)->Colors().SetSelectedColor(0x0000FF); }),
      On<G>("background", grid, [=](G& g) { owner(g)->Colors().SetBackColor(0x00404040); }),
      On<G>("heading colour", grid, [=](G& g) { owner(g)->Colors().SetTitleBackColor(0x0000FF); }),
      On<G>("colour of the trailing days", grid, [=](G& g) { owner(g)->Colors().SetTrailingTextColor(0x0000FF); }),
      On<G>("colours assigned", grid,
            [=](G& g) {
              TDateCalendar other(nullptr);
              other.Colors().SetSelectedColor(0x0000FF);
              owner(g)->Colors().Assign(other.Colors());
            }),
      On<G>("start of the week", grid, [=](G& g) { owner(g)->SetStartOfWeek(TDayOfWeek::Sunday); }),
      On<G>("week numbers", grid, [=](G& g) { owner(g)->SetOptions(owner(g)->Options() & ~coShowWeekNumbers); }),
      On<G>("cell frames", grid,
            [=](G& g) {
              owner(g)->Colors().SetSelectedBorderColor(0x0000FF);
              owner(g)->SetOptions(owner(g)->Options() | coShowCellFrames);
            }),
      On<G>("day", grid, [=](G& g) { owner(g)->SetDay(1); }),
      On<G>("month", grid, [=](G& g) { owner(g)->SetMonth(7); }),
      On<G>("year", grid, [=](G& g) { owner(g)->SetYear(2025); }),
      On<G>("day by the mouse", grid,
            [](G& g) {
              const RECT cell = g.CellRect(3, 4);
              testing_support::ClickAt(g.Handle(), cell.left + 3, cell.top + 3);
            }),
      On<G>("caption of the year view",
            [](TForm& f) {
              TDateCalendar* d = NewCalendar(f);
              d->SetViewStyle(TCalendarView::cvYearView);
              return d->Grid();
            },
            [=](G& g) { owner(g)->SetCaption4Year("Ein Monat"); }),
      On<G>("year view", grid, [=](G& g) { owner(g)->SetViewStyle(TCalendarView::cvYearView); }),
      On<G>("font of the calendar", grid, [=](G& g) { owner(g)->Font().SetStyle(classlib::fsBold); }),
      On<D>("frame", calendar, [](D& d) { d.SetOptions(d.Options() & ~coShowFrame); }),
      On<D>("frame colour", calendar, [](D& d) { d.Colors().SetTitleBackColor(0x0000FF); }),
      On<D>("background", calendar, [](D& d) { d.Colors().SetBackColor(0x00404040); }),
      On<L>("title after the arrow button", title,
            [=](L& l) { ClickButtonOf(*owner(l)->NextButton()); }),
      On<L>("title colour", title, [=](L& l) { owner(l)->Colors().SetTitleTextColor(0x0000FF); }),
  });
}

// ---------------------------------------------------------------- the class library's own

TEST_F(Repaint, ClassLibraryControls) {
  using P = classlib::TPanel;
  using L = classlib::TLabel;
  using I = classlib::TImage;
  const auto panel = [](TForm& f) {
    auto* p = new P(&f);
    p->SetParent(&f);
    p->SetBounds(20, 20, 200, 60);
    p->SetCaption("Sicherung");
    return p;
  };
  const auto label = [](TForm& f) {
    auto* l = new L(&f);
    l->SetParent(&f);
    l->SetBounds(20, 20, 200, 20);
    l->SetAutoSize(false);
    l->SetCaption("Sicherung");
    return l;
  };
  const auto image = [](TForm& f) {
    auto* i = new I(&f);
    i->SetParent(&f);
    i->SetBounds(20, 20, 40, 40);
    i->Picture().SetSize(40, 40);
    i->Picture().Canvas().Brush().SetColor(kLine);
    i->Picture().Canvas().FillRect({0, 0, 40, 40});
    return i;
  };
  Run({
      On<P>("panel caption", panel, [](P& p) { p.SetCaption("Zweite"); }),
      On<P>("panel colour", panel, [](P& p) { p.SetColor(kLight); }),
      On<P>("panel font", panel, [](P& p) { p.Font().SetStyle(classlib::fsBold); }),
      On<P>("panel bevel", panel, [](P& p) { p.SetBevelOuter(classlib::TBevelCut::bvLowered); }),
      On<P>("panel bevel width", panel, [](P& p) { p.SetBevelWidth(3); }),
      On<P>("panel border width", panel,
            [](P& p) {
              p.SetBevelInner(classlib::TBevelCut::bvRaised);
              p.SetBorderWidth(4);
            }),
      On<P>("panel alignment", panel, [](P& p) { p.SetAlignment(classlib::TAlignment::taLeftJustify); }),
      On<L>("label caption", label, [](L& l) { l.SetCaption("Zweite"); }),
      On<L>("label font colour", label, [](L& l) { l.Font().SetColor(0x0000FF); }),
      On<L>("label colour", label, [](L& l) { l.SetColor(kLight); }),
      On<L>("label enabled", label, [](L& l) { l.SetEnabled(false); }),
      On<L>("label alignment", label, [](L& l) { l.SetAlignment(classlib::TAlignment::taRightJustify); }),
      On<L>("label layout", label, [](L& l) { l.SetLayout(classlib::TTextLayout::tlBottom); }),
      On<L>("label font of the parent", label, [](L& l) { l.Parent()->Font().SetStyle(classlib::fsBold); }),
      On<L>("the parent's colour behind a transparent label",
            [=](TForm& f) {
              L* l = label(f);
              l->SetTransparent(true);
              return l;
            },
            [](L& l) { l.Parent()->SetColor(0x00336699); }),
      On<I>("picture", image,
            [](I& i) {
              i.Picture().Canvas().Brush().SetColor(0x0000FF);
              i.Picture().Canvas().FillRect({0, 0, 20, 20});
              i.PictureChanged();
            }),
      On<I>("picture stretched",
            [=](TForm& f) {
              I* i = image(f);
              i->Picture().SetSize(20, 20);
              i->Picture().Canvas().Brush().SetColor(kLine);
              i->Picture().Canvas().FillRect({0, 0, 20, 20});
              return i;
            },
            [](I& i) { i.SetStretch(true); }),
      On<TForm>("form colour", [](TForm& f) { return &f; }, [](TForm& f) { f.SetColor(kLight); }),
      On<classlib::TCheckBox>("check box checked",
                              [](TForm& f) {
                                auto* c = new classlib::TCheckBox(&f);
                                c->SetParent(&f);
                                c->SetBounds(20, 20, 150, 17);
                                c->SetCaption("Sicherung");
                                return c;
                              },
                              [](classlib::TCheckBox& c) { c.SetChecked(true); }),
      On<classlib::TRadioButton>("radio button unchecked by another",
                                 [](TForm& f) {
                                   classlib::TRadioButton* first = nullptr;
                                   for (int top : {20, 50}) {
                                     auto* r = new classlib::TRadioButton(&f);
                                     r->SetParent(&f);
                                     r->SetBounds(20, top, 150, 17);
                                     r->SetCaption("Sicherung");
                                     if (!first) first = r;
                                   }
                                   first->SetChecked(true);
                                   return first;
                                 },
                                 [](classlib::TRadioButton& r) {
                                   static_cast<classlib::TRadioButton*>(r.Parent()->Controls(2))->SetChecked(true);
                                 }),
  });
}

}  // namespace
