#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "classlib/forms.h"
#include "classlib/text.h"
#include "controls/panels/vis_application.h"
#include "controls/panels/vis_messages.h"
#include "controls/panels/vis_themes.h"
#include "tests/support/window_test.h"

using namespace controls;
using classlib::TColor;

namespace {

class VisApp : public ::testing::Test {
 protected:
  void SetUp() override { testing_support::InitWindows(); }
  void TearDown() override { EXPECT_TRUE(testing_support::TakeBoundaryErrors().empty()); }
};

std::string Upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return s;
}

}  // namespace

TEST_F(VisApp, StartedWithItsDefaults) {
  TVisApplication& app = VisApplication();
  EXPECT_EQ(app.TimerPool()->MinInterval(), 50);
  EXPECT_EQ(app.Options, 0x36);
  EXPECT_TRUE(app.UseThemes());
  EXPECT_FALSE(app.MutexExisted());
  EXPECT_NE(app.InstanceMutex(), nullptr);
  EXPECT_GT(app.CheckWidth(), 0);
  EXPECT_GT(app.CheckHeight(), 0);
  EXPECT_GT(app.PerfFrequency(), 0);
  EXPECT_EQ(app.IniCtrl()->Owner(), &app);
  EXPECT_TRUE(IsWinNT);
}

TEST_F(VisApp, SecondObjectOfTheSameProgramSeesTheMutex) {
  TVisApplication second;
  EXPECT_TRUE(second.MutexExisted());
  EXPECT_FALSE(VisApplication().MutexExisted());
}

TEST_F(VisApp, TimerSlots) {
  TVisApplication app;
  std::vector<std::uint16_t> idents;
  for (int i = 0; i < 250; ++i) idents.push_back(app.AddTimer(50, nullptr));
  EXPECT_EQ(idents.front(), 0xFD01);
  EXPECT_EQ(idents.back(), 0xFDFA);
  EXPECT_TRUE(std::is_sorted(idents.begin(), idents.end()));
  EXPECT_EQ(app.AddTimer(50, nullptr), 0) << "the 251st";
  EXPECT_EQ(app.TimerPool()->Count(), 250);

  // Outside the slot table nothing happens, whatever the caller held.
  for (std::uint16_t outside : {0x0000, 0x0001, 0xFD00, 0xFDFB, 0xFFFF}) app.RemoveTimer(outside);
  EXPECT_EQ(app.TimerPool()->Count(), 250);

  app.RemoveTimer(0xFD05);
  EXPECT_EQ(app.TimerItem(0xFD05), nullptr);
  EXPECT_EQ(app.AddTimer(100, nullptr), 0xFD05);
  EXPECT_EQ(app.TimerItem(0xFD05)->Interval(), 100);

  app.RemoveTimer(0xFD01);
  EXPECT_THROW(app.AddTimer(75, nullptr), classlib::Exception);
  EXPECT_EQ(app.AddTimer(50, nullptr), 0xFD01) << "a refused item keeps no slot";
}

TEST_F(VisApp, PatternBitmapIsACheckerboardOfTheLastColour) {
  TVisApplication app;
  const classlib::TBitmap& first = app.PatternBitmap(classlib::clNone);
  EXPECT_EQ(first.Width(), 8);
  const classlib::TBitmap& red = app.PatternBitmap(classlib::clRed);
  EXPECT_EQ(&red, &first);
  EXPECT_EQ(&app.PatternBitmap(classlib::clRed), &red);
  const TColor blue = 0x00996633;
  const classlib::TBitmap& pattern = app.PatternBitmap(blue);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      SCOPED_TRACE(testing::Message() << x << "," << y);
      EXPECT_EQ(pattern.Pixel(x, y), (x + y) % 2 ? blue : classlib::clWhite);
    }
}

TEST_F(VisApp, LogNameNeverTheProgramsOwnLog) {
  TVisApplication app;
  const std::string program = ProgramFileName();
  const std::string base = program.substr(program.rfind('\\') + 1, program.rfind('.') - program.rfind('\\') - 1);
  const std::string ownLog = AppPath() + base + ".log";
  EXPECT_FALSE(classlib::SameTextAscii(app.LogName(), ownLog));
  EXPECT_EQ(Upper(app.LogName()), Upper(AppPath() + base + ".VIS.LOG"));

  const struct {
    TVisPathPrefix prefix;
    const char* name;
    std::string expected;
  } cases[] = {
      {TVisPathPrefix::ppFixed, "bibliothek", "bibliothek.LOG"},
      {TVisPathPrefix::ppFixed, "D:\\Protokolle\\pack.txt", "D:\\Protokolle\\pack.txt"},
      {TVisPathPrefix::ppWindows, "D:\\Protokolle\\pack.txt", WindowsDirectory() + "\\pack.txt"},
      {TVisPathPrefix::ppSystem, "pack", SystemDirectory() + "\\pack.LOG"},
      {TVisPathPrefix::ppProgram, "pack.log", AppPath() + "pack.log"},
      {TVisPathPrefix::ppProgram, base.c_str(), AppPath() + base + ".VIS.LOG"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    app.LogPrefix = c.prefix;
    app.SetLogName(c.name);
    EXPECT_EQ(app.LogName(), c.expected);
  }
}

TEST_F(VisApp, SingleInstanceCheck) {
  classlib::TForm form(nullptr);
  classlib::TComponent plain(nullptr);
  EXPECT_TRUE(CheckSingleInstance<TVisIniCtrl>(nullptr));
  EXPECT_TRUE(CheckSingleInstance<TVisIniCtrl>(&plain));
  new TVisIniCtrl(&form);
  EXPECT_FALSE(CheckSingleInstance<TVisIniCtrl>(&form));
  new TVisTimerPool(&form);
  EXPECT_FALSE(CheckSingleInstance<TVisIniCtrl>(&form));
  new TVisIniCtrl(&form);
  EXPECT_TRUE(CheckSingleInstance<TVisIniCtrl>(&form));
  EXPECT_FALSE(CheckSingleInstance(&form, nullptr));

  EXPECT_STREQ(VisEOneInstError("TVisFormShape", 0).what(),
               "TVisFormShape:\rInvalid owner (<>TForm) or second instance on a form");
  EXPECT_STREQ(VisEOneInstError("TVisFormShape", 1).what(),
               "TVisFormShape:\rAlready one TVisFormShape control in this project!");
  EXPECT_STREQ(VisEOneInstError("TVisFormShape", 2).what(), "");
}

// The theme switch with a stand-in for the visual-styles library.
class ThemeSwitch : public VisApp {
 protected:
  void SetUp() override {
    VisApp::SetUp();
    active = true;
    properties.clear();
    TVisThemeEntries fake;
    fake.Loaded = true;
    fake.IsThemeActive = [] { return active ? TRUE : FALSE; };
    fake.SetThemeAppProperties = [](DWORD flags) { properties.push_back(flags); };
    saved = SetThemeEntriesForTesting(fake);
    SetWindowSubclass(classlib::Application().Handle(), CountThemeChanges, 1, 0);
    appThemeChanges = 0;
  }
  void TearDown() override {
    RemoveWindowSubclass(classlib::Application().Handle(), CountThemeChanges, 1);
    SetThemeEntriesForTesting(saved);
    VisApp::TearDown();
  }
  static LRESULT CALLBACK CountThemeChanges(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    if (msg == WM_THEMECHANGED) ++appThemeChanges;
    return DefSubclassProc(w, msg, wp, lp);
  }
  static inline bool active = true;
  static inline std::vector<DWORD> properties;
  static inline int appThemeChanges = 0;
  TVisThemeEntries saved;
};

namespace {

// Records the library's redraw and the system's theme change, with or without a window.
template <typename Base>
class Listener : public Base {
 public:
  using Base::Base;
  int redraws = 0, themeChanges = 0;
  void WndProc(classlib::TMessage& m) override {
    if (m.Msg == CM_VISREDRAW) ++redraws;
    if (m.Msg == WM_THEMECHANGED) ++themeChanges;
    Base::WndProc(m);
  }
};

using WindowedListener = Listener<classlib::TCustomControl>;
using GraphicListener = Listener<classlib::TGraphicControl>;
using FormListener = Listener<classlib::TForm>;

}  // namespace

TEST_F(ThemeSwitch, ThemesInUseFollowTheLibraryAndTheActiveTheme) {
  TVisApplication app;
  EXPECT_TRUE(app.ThemesInUse());
  active = false;
  EXPECT_FALSE(app.ThemesInUse());
  EXPECT_TRUE(app.UseThemes());
  app.SetUseThemes(false);
  app.SetUseThemes(true);
  EXPECT_FALSE(app.UseThemes()) << "refused while no theme is active";
  active = true;
  app.RefreshThemes();
  EXPECT_TRUE(app.UseThemes());
  EXPECT_EQ(properties, (std::vector<DWORD>{0}));
  EXPECT_EQ(appThemeChanges, 1);

  TVisThemeEntries missing;
  missing.Loaded = true;
  SetThemeEntriesForTesting(missing);
  EXPECT_FALSE(app.ThemesAvailable()) << "an absent entry point is never called";
  SetThemeEntriesForTesting(TVisThemeEntries{});
  EXPECT_FALSE(app.ThemesInUse());
  app.SetUseThemes(false);
  EXPECT_FALSE(app.UseThemes());
  EXPECT_EQ(properties, (std::vector<DWORD>{0})) << "nothing is called or broadcast without the library";
  EXPECT_EQ(appThemeChanges, 1);
}

TEST_F(ThemeSwitch, SwitchReachesEveryVisibleFormAndItsControls) {
  TVisApplication app;
  auto* form = new FormListener(nullptr);
  auto* panel = new WindowedListener(form);
  panel->SetParent(form);
  auto* inner = new WindowedListener(form);
  inner->SetParent(panel);
  auto* graphic = new GraphicListener(form);
  graphic->SetParent(form);
  auto* hidden = new FormListener(nullptr);
  auto* hiddenChild = new WindowedListener(hidden);
  hiddenChild->SetParent(hidden);
  hidden->HandleNeeded();
  form->Show();

  app.SetUseThemes(false);
  EXPECT_EQ(properties, (std::vector<DWORD>{0}));
  EXPECT_EQ(appThemeChanges, 1);
  EXPECT_EQ(panel->redraws, 1);
  EXPECT_EQ(graphic->redraws, 1);
  EXPECT_EQ(inner->redraws, 0) << "the redraw goes to the form's direct controls";
  EXPECT_EQ(panel->themeChanges, 1);
  EXPECT_EQ(inner->themeChanges, 1);
  EXPECT_EQ(form->themeChanges, 1);
  EXPECT_EQ(hiddenChild->redraws + hiddenChild->themeChanges + hidden->themeChanges, 0);

  app.PackOnly = true;
  app.SetUseThemes(true);
  app.SetUseThemes(false);
  EXPECT_EQ(properties, (std::vector<DWORD>{0, 3}));
  EXPECT_EQ(form->themeChanges, 1) << "the form itself is left alone";
  EXPECT_EQ(inner->themeChanges, 3);
  delete hidden;
  delete form;
}
