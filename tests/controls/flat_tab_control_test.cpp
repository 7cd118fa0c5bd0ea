#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "classlib/stdctrls.h"
#include "controls/flat/flat_button.h"
#include "controls/flat/flat_tab_control.h"
#include "tests/controls/flat_fixture.h"

using namespace controls;
using classlib::TColor;

namespace {

constexpr TColor kPage = 0xFFFFFF;
constexpr TColor kBorder = 0x996633;
constexpr TColor kUnselected = 0x663399;

class FlatTabs : public flat_testing::FlatFixture {
 protected:
  FlatTabs() {
    tabs = new TFlatTabControl(form);
    tabs->SetParent(form);
    tabs->SetBounds(10, 10, 300, 200);
    tabs->SetColor(kPage);
    tabs->SetColorBorder(kBorder);
    tabs->SetColorUnselectedTab(kUnselected);
    tabs->OnTabChanged = [this](classlib::TComponent*) { changes.push_back(tabs->ActiveTab()); };
  }
  int TextWidth(const std::string& text) {
    classlib::TBitmap bitmap(1, 1);
    bitmap.Canvas().Font().Assign(tabs->Font());
    return bitmap.Canvas().TextWidth(text);
  }
  // A page the window shows for its tab, with a button on it.
  classlib::TPanel* Page(bool visible) {
    auto* page = new classlib::TPanel(form);
    page->SetParent(tabs);
    page->SetAlign(classlib::TAlign::alClient);
    page->SetVisible(visible);
    return page;
  }

  TFlatTabControl* tabs;
  std::vector<int> changes;
};

TEST_F(FlatTabs, TabsAreTheirTextWidePlusTwentyWithoutTheAmpersand) {
  tabs->AddTab("&Datei");
  tabs->AddTab("Zielort wählen   .");
  EXPECT_EQ(tabs->TabRect(0).left, 0);
  EXPECT_EQ(tabs->TabRect(0).right, TextWidth("Datei") + 20);
  EXPECT_EQ(tabs->TabRect(1).left, tabs->TabRect(0).right + 4);
  EXPECT_EQ(tabs->TabRect(1).right - tabs->TabRect(1).left, TextWidth("Zielort wählen   .") + 20);
  EXPECT_EQ(tabs->TabRect(1).bottom, 16);
  tabs->SetTabSpacing(0);
  EXPECT_EQ(tabs->TabSpacing(), 1);
  EXPECT_EQ(tabs->TabRect(1).left, tabs->TabRect(0).right + 1);
  tabs->SetTabHeight(-5);
  EXPECT_EQ(tabs->TabHeight(), 0);
}

TEST_F(FlatTabs, ActiveTabStaysWithinTheTabsAndAlwaysTellsTheWindow) {
  const struct {
    int count, value, expected;
  } cases[] = {{3, 7, 2}, {3, -3, 0}, {3, 1, 1}, {3, 1, 1}, {0, 5, 0}, {0, -1, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.value << " of " << c.count);
    classlib::TStringList list;
    for (int i = 0; i < c.count; ++i) list.Add("Seite " + std::to_string(i));
    tabs->SetTabs(list);
    changes.clear();
    tabs->SetActiveTab(c.value);
    EXPECT_EQ(tabs->ActiveTab(), c.expected);
    EXPECT_EQ(changes, std::vector<int>{c.expected});
  }
}

TEST_F(FlatTabs, NewTabsLoseTheirOuterBlanksAndKeepTheActiveOneInRange) {
  tabs->SetTabs({"a", "b", "c"});
  tabs->SetActiveTab(2);
  changes.clear();
  tabs->SetTabs({"   Einfache Auswahl   .  ", "Erweitert"});
  EXPECT_EQ(tabs->Tabs()[0], "Einfache Auswahl   .");
  EXPECT_EQ(tabs->ActiveTab(), 1);
  EXPECT_TRUE(changes.empty());
}

TEST_F(FlatTabs, ClickSelectsTheTabUnderThePressNotUnderTheCursor) {
  tabs->SetTabs({"Zielort wählen   .", "Nach Sicherung   ."});
  form->Show();
  ParkCursor();
  const RECT r = tabs->TabRect(1);
  SendMessageW(tabs->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 5, r.top + 5));
  SendMessageW(tabs->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(r.left + 5, r.top + 5));
  EXPECT_EQ(tabs->ActiveTab(), 1);
  EXPECT_EQ(changes, std::vector<int>{1});
  EXPECT_TRUE(tabs->Focused());
  // A click on the active tab changes nothing; the arrow keys move on.
  SendMessageW(tabs->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 5, r.top + 5));
  EXPECT_EQ(changes.size(), 1u);
  testing_support::PressKey(tabs->Handle(), VK_LEFT);
  testing_support::PressKey(tabs->Handle(), VK_LEFT);
  EXPECT_EQ(changes, (std::vector<int>{1, 0}));
}

TEST_F(FlatTabs, AcceleratorsReachTheTabsAndTheControlsOnTheActivePage) {
  tabs->SetTabs({"&Einfach", "E&rweitert"});
  // The hidden page comes first: its button must not take the character.
  classlib::TPanel* extended = Page(false);
  classlib::TPanel* simple = Page(true);
  std::vector<std::string> clicked;
  const auto button = [&](classlib::TPanel* page, const std::string& caption) {
    auto* b = new TFlatButton(form);
    b->SetParent(page);
    b->SetCaption(caption);
    b->OnClick = [&clicked, caption](classlib::TComponent*) { clicked.push_back(caption); };
    return b;
  };
  button(extended, "&Hinzufügen (erweitert)");
  button(simple, "&Hinzufügen");
  tabs->OnTabChanged = [&](classlib::TComponent*) {
    simple->SetVisible(tabs->ActiveTab() == 0);
    extended->SetVisible(tabs->ActiveTab() == 1);
  };
  auto* edit = new classlib::TEdit(form);
  edit->SetParent(form);
  edit->SetTop(250);
  form->Show();
  edit->SetFocus();

  testing_support::PressAltKey(edit->Handle(), L'h');
  EXPECT_EQ(clicked, std::vector<std::string>{"&Hinzufügen"});
  testing_support::PressAltKey(edit->Handle(), L'r');
  EXPECT_EQ(tabs->ActiveTab(), 1);
  EXPECT_TRUE(tabs->Focused());
  testing_support::PressAltKey(edit->Handle(), L'h');
  EXPECT_EQ(clicked, (std::vector<std::string>{"&Hinzufügen", "&Hinzufügen (erweitert)"}));

  // A disabled or hidden tab control leaves its accelerators alone.
  tabs->SetEnabled(false);
  testing_support::PressAltKey(edit->Handle(), L'e');
  EXPECT_EQ(tabs->ActiveTab(), 1);
  tabs->SetEnabled(true);
  tabs->Hide();
  testing_support::PressAltKey(edit->Handle(), L'e');
  EXPECT_EQ(tabs->ActiveTab(), 1);
}

TEST_F(FlatTabs, PagesFillTheFrameBelowOrAboveTheStrip) {
  tabs->SetTabs({"Eins"});
  classlib::TPanel* page = Page(true);
  auto* placed = new classlib::TPanel(form);
  placed->SetParent(tabs);
  placed->SetBounds(20, 40, 50, 30);
  form->Show();
  EXPECT_EQ(page->BoundsRect().left, 1);
  EXPECT_EQ(page->BoundsRect().top, 17);
  EXPECT_EQ(page->BoundsRect().right, 299);
  EXPECT_EQ(page->BoundsRect().bottom, 199);

  tabs->SetTabPosition(TFlatTabPosition::tpBottom);
  EXPECT_EQ(page->BoundsRect().top, 1);
  EXPECT_EQ(page->BoundsRect().bottom, 199 - 16);
  EXPECT_EQ(placed->Top(), 40 - 16) << "same distance from the strip";
  EXPECT_EQ(tabs->TabRect(0).top, 200 - 16);

  tabs->SetBorderWidth(3);
  EXPECT_EQ(page->BoundsRect().left, 4);
  EXPECT_EQ(page->BoundsRect().top, 4);
}

TEST_F(FlatTabs, ActiveTabMergesWithThePageTheOthersAreDark) {
  tabs->SetTabs({"Eins", "Zwei"});
  tabs->SetActiveTab(1);
  form->Show();
  const RECT first = tabs->TabRect(0), second = tabs->TabRect(1);
  classlib::TBitmap& shot = Painted(*tabs);
  EXPECT_EQ(shot.Pixel(first.left + 2, 3), kUnselected);
  EXPECT_EQ(shot.Pixel(first.left + 2, 16), kBorder) << "strip line under an inactive tab";
  EXPECT_EQ(shot.Pixel(second.left + 2, 3), kPage);
  EXPECT_EQ(shot.Pixel(second.left, 3), kBorder) << "the active tab's side";
  EXPECT_EQ(shot.Pixel(second.left + 2, 0), kBorder) << "and top";
  EXPECT_EQ(shot.Pixel(second.left + 2, 16), kPage) << "no line under the active tab";
  EXPECT_EQ(shot.Pixel(second.right + 5, 3), flat_testing::kFormColor) << "the parent beside the tabs";
  EXPECT_EQ(shot.Pixel(second.right + 5, 16), kBorder);
  EXPECT_EQ(shot.Pixel(0, 199), kBorder);
  EXPECT_EQ(shot.Pixel(299, 100), kBorder);
  EXPECT_EQ(shot.Pixel(150, 100), kPage);

  tabs->SetTabs({});
  classlib::TBitmap& empty = Painted(*tabs);
  EXPECT_EQ(empty.Pixel(0, 0), kBorder);
  EXPECT_EQ(empty.Pixel(150, 5), kPage);
}

}  // namespace
