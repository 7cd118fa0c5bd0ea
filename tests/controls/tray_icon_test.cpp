#include "controls/flat/tray_icon.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "classlib/forms.h"
#include "classlib/graphics.h"
#include "classlib/icons.h"
#include "classlib/menus.h"
#include "classlib/stdctrls.h"
#include "tests/support/window_test.h"

using namespace classlib;
using controls::TTrayIcon;

namespace {

struct ShellCall {
  DWORD message;
  NOTIFYICONDATAW data;
};

// A 16 x 16 icon of one colour, so a frame can be told by its pixels.
HICON SolidIcon(TColor color) {
  TBitmap picture(16, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      std::uint8_t* p = picture.ScanLine(y) + 4 * x;
      p[0] = static_cast<std::uint8_t>(color >> 16);
      p[1] = static_cast<std::uint8_t>(color >> 8);
      p[2] = static_cast<std::uint8_t>(color);
      p[3] = 255;
    }
  HBITMAP mask = CreateBitmap(16, 16, 1, 1, nullptr);
  ICONINFO info = {TRUE, 0, 0, mask, picture.Handle()};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(mask);
  return icon;
}

TColor ColorOf(HICON icon) {
  TBitmap picture(16, 16);
  DrawIconEx(picture.Canvas().Handle(), 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
  return picture.Pixel(8, 8);
}

bool IconAlive(HICON icon) {
  ICONINFO info;
  if (!GetIconInfo(icon, &info)) return false;
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return true;
}

const TColor kFrameColors[] = {0x0000C0, 0x00C000, 0xC00000};

class TrayIcon : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::InitWindows();
    controls::SetShellNotifyIconForTesting([this](DWORD message, const NOTIFYICONDATAW& data) {
      calls.push_back({message, data});
      return true;
    });
    form = new TForm(nullptr);
    frames = new TImageList(form);
    for (TColor color : kFrameColors) {
      TIcon icon;
      icon.SetHandle(SolidIcon(color));
      frames->AddIcon(icon);
    }
  }
  void TearDown() override {
    delete form;
    controls::SetShellNotifyIconForTesting(nullptr);
    SetPopupChooserForTesting(nullptr);
    EXPECT_TRUE(testing_support::TakeBoundaryErrors().empty());
  }

  // A tray icon built inside its owner's loading bracket, as a window builds it.
  TTrayIcon* LoadedTray(bool visible) {
    form->BeginLoading();
    auto* tray = new TTrayIcon(form);
    tray->SetIconVisible(visible);
    tray->SetHint("Orvanta");
    tray->SetIconList(frames);
    form->EndLoading();
    return tray;
  }

  // The colour each frame is drawn in, -1 for another picture.
  static int FrameOf(HICON icon) {
    const TColor color = ColorOf(icon);
    for (int i = 0; i < 3; ++i)
      if (color == kFrameColors[i]) return i;
    return -1;
  }

  std::vector<DWORD> Messages() const {
    std::vector<DWORD> out;
    for (const ShellCall& call : calls) out.push_back(call.message);
    return out;
  }

  TForm* form = nullptr;
  TImageList* frames = nullptr;
  std::vector<ShellCall> calls;
};

TEST_F(TrayIcon, ShellHearsOfTheIconOnlyOnceLoadedThenOfEveryChangeRemovalAndTaskbarRestart) {
  form->BeginLoading();
  auto* tray = new TTrayIcon(form);
  tray->SetHint("Orvanta");
  tray->SetIconList(frames);
  EXPECT_TRUE(calls.empty()) << "the shell was called before the owner finished loading";
  form->EndLoading();
  ASSERT_EQ(Messages(), (std::vector<DWORD>{NIM_MODIFY, NIM_ADD}));

  const NOTIFYICONDATAW& added = calls[1].data;
  // The record's size is that of the running platform, not of a 32-bit build.
  EXPECT_EQ(added.cbSize, sizeof(NOTIFYICONDATAW));
  EXPECT_EQ(added.hWnd, tray->CallbackWindow());
  EXPECT_EQ(added.uID, 1u);
  EXPECT_EQ(added.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(added.uCallbackMessage, 0x800u);
  EXPECT_EQ(added.hIcon, tray->Icon().Handle());
  EXPECT_EQ(FrameOf(added.hIcon), 0);
  EXPECT_STREQ(added.szTip, L"Orvanta");

  calls.clear();
  tray->SetHint("Sicherung läuft");
  ASSERT_EQ(Messages(), (std::vector<DWORD>{NIM_MODIFY}));
  EXPECT_STREQ(calls[0].data.szTip, L"Sicherung läuft");

  // The shell announces a new task bar to every top-level window.
  const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  calls.clear();
  SendNotifyMessageW(HWND_BROADCAST, taskbarCreated, 0, 0);
  testing_support::Pump();
  ASSERT_EQ(Messages(), (std::vector<DWORD>{NIM_ADD}));
  EXPECT_STREQ(calls[0].data.szTip, L"Sicherung läuft");

  calls.clear();
  tray->SetIconVisible(false);
  SendNotifyMessageW(HWND_BROADCAST, taskbarCreated, 0, 0);
  testing_support::Pump();
  EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_DELETE})) << "an icon switched off came back";

  tray->SetIconVisible(true);
  calls.clear();
  delete tray;
  EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_DELETE}));
}

TEST_F(TrayIcon, TipIsTheHintCutToWholeCharactersOrEmpty) {
  const std::string smiley = "\xF0\x9F\x98\x80";
  struct Case {
    std::string hint;
    bool showHint;
    std::wstring tip;
  } cases[] = {
      {"Orvanta – Sicherung läuft", true, L"Orvanta \x2013 Sicherung l\xE4uft"},
      {std::string(200, 'a'), true, std::wstring(127, L'a')},
      // The 127th and 128th units are one character: neither half goes.
      {std::string(126, 'a') + smiley, true, std::wstring(126, L'a')},
      {std::string(125, 'a') + smiley, true, std::wstring(125, L'a') + L"\xD83D\xDE00"},
      {"", true, L""},
      {"Orvanta", false, L""},
  };
  TTrayIcon* tray = LoadedTray(true);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hint);
    tray->SetShowHint(c.showHint);
    calls.clear();
    tray->SetHint(c.hint);
    ASSERT_EQ(calls.size(), 1u);
    const NOTIFYICONDATAW& data = calls[0].data;
    EXPECT_EQ(std::wstring(data.szTip), c.tip);
    for (size_t i = c.tip.size(); i < std::size(data.szTip); ++i) ASSERT_EQ(data.szTip[i], L'\0') << i;
  }
}

TEST_F(TrayIcon, ShellMouseNotificationsBecomeEventsMenuAndDefaultItem) {
  struct Case {
    const char* name;
    std::vector<UINT> notifications;
    bool leftPopup;
    bool enabled;
    bool withMenu;
    std::vector<std::string> expected;
  } cases[] = {
      {"left click", {WM_LBUTTONDOWN, WM_LBUTTONUP}, false, true, true, {"down L", "click", "up L"}},
      {"double click",
       {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP},
       false,
       true,
       true,
       {"down L", "click", "up L", "double", "item Anzeigen", "up L"}},
      {"double click, menu on the left button",
       {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP},
       true,
       true,
       true,
       {"down L", "menu", "click", "up L", "double", "up L"}},
      {"double click without a menu",
       {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP},
       false,
       true,
       false,
       {"down L", "click", "up L", "double", "up L"}},
      {"right click", {WM_RBUTTONDOWN, WM_RBUTTONUP}, false, true, true, {"down R", "menu", "up R"}},
      {"right click without a menu", {WM_RBUTTONDOWN, WM_RBUTTONUP}, false, true, false, {"down R", "up R"}},
      {"middle click", {WM_MBUTTONDOWN, WM_MBUTTONUP}, false, true, true, {"down M", "up M"}},
      {"move", {WM_MOUSEMOVE}, false, true, true, {"move"}},
      {"a release without a press is no click", {WM_LBUTTONUP}, false, true, true, {"up L"}},
      {"others", {WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK, WM_MOUSEWHEEL, 0x400}, false, true, true, {}},
      {"disabled",
       {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MBUTTONDOWN,
        WM_MBUTTONUP},
       false,
       false,
       true,
       {}},
  };

  SetCursorPos(123, 45);
  POINT cursor;
  GetCursorPos(&cursor);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TTrayIcon* tray = LoadedTray(true);
    auto* menu = new TPopupMenu(form);
    menu->Items()->Add("Nicht Standard");
    std::vector<std::string> log;
    // The first top-level item marked default is clicked, not a later one.
    menu->Items()->Add("&Anzeigen", [&](TComponent*) { log.push_back("item Anzeigen"); })->SetDefault(true);
    menu->Items()->Add("B&eenden", [&](TComponent*) { log.push_back("item Beenden"); })->SetDefault(true);
    SetPopupChooserForTesting([&](TPopupMenu& shown, int x, int y) -> TMenuItem* {
      EXPECT_EQ(&shown, menu);
      EXPECT_EQ(shown.PopupComponent, tray);
      EXPECT_EQ(x, cursor.x);
      EXPECT_EQ(y, cursor.y);
      log.push_back("menu");
      return nullptr;
    });
    if (c.withMenu) tray->SetPopupMenu(menu);
    tray->SetLeftPopup(c.leftPopup);
    tray->SetEnabled(c.enabled);

    const char* buttons[] = {"L", "R", "M"};
    const unsigned flags[] = {ssLeft, ssRight, ssMiddle};
    tray->OnMouseDown = [&](TComponent* sender, TMouseButton button, TShiftState shift, int x, int y) {
      EXPECT_EQ(sender, tray);
      EXPECT_EQ(shift, flags[static_cast<int>(button)]);
      EXPECT_EQ(x, cursor.x);
      EXPECT_EQ(y, cursor.y);
      log.push_back(std::string("down ") + buttons[static_cast<int>(button)]);
    };
    tray->OnMouseUp = [&](TComponent*, TMouseButton button, TShiftState shift, int x, int y) {
      EXPECT_EQ(shift, flags[static_cast<int>(button)]);
      EXPECT_EQ(x, cursor.x);
      EXPECT_EQ(y, cursor.y);
      log.push_back(std::string("up ") + buttons[static_cast<int>(button)]);
    };
    tray->OnMouseMove = [&](TComponent*, TShiftState shift, int x, int y) {
      EXPECT_EQ(shift, 0u);
      EXPECT_EQ(x, cursor.x);
      EXPECT_EQ(y, cursor.y);
      log.push_back("move");
    };
    tray->OnClick = [&](TComponent* sender) {
      EXPECT_EQ(sender, tray);
      log.push_back("click");
    };
    tray->OnDblClick = [&](TComponent*) { log.push_back("double"); };

    for (UINT n : c.notifications) SendMessageW(tray->CallbackWindow(), controls::WM_TRAYICON, 1, n);
    EXPECT_EQ(log, c.expected);
    delete tray;
    delete menu;
  }
}

TEST_F(TrayIcon, CallbackWindowStaysHiddenAndNeverBlocksTheSessionEnd) {
  TTrayIcon* tray = LoadedTray(true);
  EXPECT_FALSE(IsWindowVisible(tray->CallbackWindow()));
  EXPECT_EQ(SendMessageW(tray->CallbackWindow(), WM_QUERYENDSESSION, 0, 0), TRUE);
}

TEST_F(TrayIcon, AnimationStepsThroughTheFramesAndWraps) {
  TTrayIcon* tray = LoadedTray(true);
  tray->SetCycleInterval(200);
  EXPECT_FALSE(tray->AnimationTimer().Enabled());
  std::vector<int> cycled;
  tray->OnCycle = [&](TComponent* sender, int next) {
    EXPECT_EQ(sender, tray);
    cycled.push_back(next);
  };
  tray->SetIconIndex(2);
  tray->SetCycleIcons(true);
  EXPECT_EQ(tray->IconIndex(), 0) << "switching the animation on starts at the first frame";
  EXPECT_EQ(tray->AnimationTimer().Interval(), 200u);
  EXPECT_TRUE(tray->AnimationTimer().Enabled());

  std::vector<int> shown;
  for (int tick = 0; tick < 4; ++tick) {
    calls.clear();
    tray->AnimationTimer().Tick();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().message, static_cast<DWORD>(NIM_MODIFY));
    shown.push_back(FrameOf(calls.back().data.hIcon));
    EXPECT_EQ(FrameOf(tray->Icon().Handle()), shown.back());
  }
  EXPECT_EQ(shown, (std::vector<int>{1, 2, 0, 1}));
  EXPECT_EQ(cycled, (std::vector<int>{1, 2, 0, 1}));

  tray->SetCycleIcons(false);
  EXPECT_FALSE(tray->AnimationTimer().Enabled());
  EXPECT_EQ(tray->IconIndex(), 1) << "stopping leaves the frame where it is";
}

TEST_F(TrayIcon, IconIndexOutsideTheListKeepsTheIconShown) {
  TTrayIcon* tray = LoadedTray(true);
  tray->SetIconIndex(1);
  struct Case {
    int set;
    int index;
    int frame;
  } cases[] = {
      {10, 2, 2},  // past the end: the last frame
      {0, 0, 0},
      {-1, -1, 0},  // below 0: no frame there, the icon stays
      {3, 2, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.set);
    tray->SetIconIndex(c.set);
    EXPECT_EQ(tray->IconIndex(), c.index);
    EXPECT_EQ(FrameOf(tray->Icon().Handle()), c.frame);
  }

  // An empty list has no icon to show; neither has a tick on it.
  auto* empty = new TImageList(form);
  tray->SetIconList(empty);
  EXPECT_EQ(FrameOf(tray->Icon().Handle()), 2);
  tray->SetCycleInterval(200);
  tray->SetCycleIcons(true);
  tray->AnimationTimer().Tick();
  EXPECT_EQ(FrameOf(tray->Icon().Handle()), 2);

  // A list that goes away is forgotten.
  delete empty;
  EXPECT_EQ(tray->IconList(), nullptr);
  EXPECT_EQ(tray->IconIndex(), 0);
  tray->AnimationTimer().Tick();
  EXPECT_EQ(FrameOf(tray->Icon().Handle()), 2);

  auto* menu = new TPopupMenu(form);
  tray->SetPopupMenu(menu);
  delete menu;
  EXPECT_EQ(tray->PopupMenu(), nullptr);
  SendMessageW(tray->CallbackWindow(), controls::WM_TRAYICON, 1, WM_RBUTTONDOWN);
}

TEST_F(TrayIcon, ThousandAnimationFramesLeaveNoHandlesBehind) {
  TTrayIcon* tray = LoadedTray(true);
  tray->SetCycleInterval(200);
  tray->SetCycleIcons(true);
  tray->AnimationTimer().Tick();  // anything made once, on the first use, is made now

  HANDLE process = GetCurrentProcess();
  const int gdiBefore = testing_support::GdiObjectCount();
  ASSERT_GT(gdiBefore, 0);
  const DWORD userBefore = GetGuiResources(process, GR_USEROBJECTS);
  std::set<HICON> held;
  for (int frame = 0; frame < 1000; ++frame) {
    tray->AnimationTimer().Tick();
    held.insert(tray->Icon().Handle());
    for (const ShellCall& call : calls) held.insert(call.data.hIcon);
    calls.clear();
  }
  EXPECT_EQ(testing_support::GdiObjectCount(), gdiBefore);
  EXPECT_EQ(GetGuiResources(process, GR_USEROBJECTS), userBefore);
  // Wine counts no USER handles for GetGuiResources; the icons themselves tell: only the one shown lives.
  held.erase(tray->Icon().Handle());
  int alive = 0;
  for (HICON icon : held) alive += IconAlive(icon);
  EXPECT_EQ(alive, 0) << "of " << held.size() << " icons replaced";
  EXPECT_TRUE(IconAlive(tray->Icon().Handle()));
}

TEST_F(TrayIcon, MinimisingTheMainFormHidesItIntoTheTrayAndShowingRestoresIt) {
  // The tray exists before the form's window does, as on the main window.
  auto* tray = new TTrayIcon(form);
  tray->SetMinimizeToTray(true);
  Application().SetMainForm(form);
  form->Show();
  calls.clear();

  SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_FALSE(form->Visible());
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
  EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_ADD}));
  EXPECT_TRUE(tray->IconVisible());

  // A show that arrives while the form is being restored must not start another restore.
  int restores = 0;
  SUBCLASSPROC showAgain = [](HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR ref) {
    int& count = *reinterpret_cast<int*>(ref);
    if (msg == WM_QUERYOPEN && ++count < 5) SendMessageW(window, WM_SHOWWINDOW, TRUE, 0);
    return DefSubclassProc(window, msg, wParam, lParam);
  };
  SetWindowSubclass(form->Handle(), showAgain, 7, reinterpret_cast<DWORD_PTR>(&restores));
  form->Show();
  RemoveWindowSubclass(form->Handle(), showAgain, 7);
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_FALSE(IsIconic(form->Handle())) << "the form came back minimised";
  EXPECT_EQ(restores, 1);

  // Without minimising to the tray the form stays a minimised window.
  tray->SetMinimizeToTray(false);
  calls.clear();
  SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_TRUE(IsIconic(form->Handle()));
  EXPECT_TRUE(calls.empty());
  Application().SetMainForm(nullptr);
}

// The owner form activated again, by a click or otherwise, gives the focus back to the control
// that last had it, not to the first of its controls.
TEST_F(TrayIcon, TheOwnerActivatedAgainFocusesItsLastActiveControl) {
  new TTrayIcon(form);
  auto* first = new classlib::TButton(form);
  first->SetParent(form);
  first->SetBounds(10, 10, 80, 25);
  auto* second = new classlib::TButton(form);
  second->SetParent(form);
  second->SetBounds(10, 50, 80, 25);
  TForm other(nullptr);
  other.SetBounds(400, 300, 200, 100);
  form->Show();
  second->SetFocus();
  for (WORD how : {WA_ACTIVE, WA_CLICKACTIVE}) {
    SCOPED_TRACE(how);
    other.Show();
    SetActiveWindow(other.Handle());
    ASSERT_NE(GetFocus(), second->Handle());
    SetActiveWindow(form->Handle());
    SendMessageW(form->Handle(), WM_ACTIVATE, how, reinterpret_cast<LPARAM>(other.Handle()));
    EXPECT_EQ(GetFocus(), second->Handle());
  }
  other.Hide();
}

TEST_F(TrayIcon, RealShellAddsAndDeletesTheIcon) {
  controls::SetShellNotifyIconForTesting(nullptr);
  TTrayIcon* tray = LoadedTray(false);
  ASSERT_FALSE(tray->Icon().Empty());
  EXPECT_TRUE(tray->AddIcon());
  EXPECT_TRUE(tray->UpdateIcon());
  EXPECT_TRUE(tray->RemoveIcon());
  EXPECT_FALSE(tray->RemoveIcon()) << "the shell deleted an icon it did not have";
}

}  // namespace
