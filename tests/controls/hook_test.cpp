#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "classlib/forms.h"
#include "controls/panels/vis_application.h"
#include "controls/panels/vis_hook.h"
#include "controls/panels/vis_themes.h"
#include "tests/support/window_test.h"

using controls::TVisWndProcComponent;

namespace {

constexpr UINT kProbe = WM_APP + 17;

// Records the probe and the end of its window, then passes everything on.
class Recorder : public TVisWndProcComponent {
 public:
  using TVisWndProcComponent::TVisWndProcComponent;
  std::vector<UINT> seen;
  std::vector<UINT> appSeen;
  bool handleAppProbe = false;

 protected:
  void WndProc(classlib::TMessage& m) override {
    if (m.Msg == kProbe || m.Msg == WM_DESTROY || m.Msg == WM_NCDESTROY) seen.push_back(m.Msg);
    TVisWndProcComponent::WndProc(m);
  }
  bool ApplicationWndProc(classlib::TMessage& m) override {
    if (m.Msg != kProbe) return false;
    appSeen.push_back(m.Msg);
    m.Result = 42;
    return handleAppProbe;
  }
};

// A subclasser of the old kind, that swaps the window procedure by hand.
int legacyCalls = 0;
WNDPROC legacyPrevious = nullptr;
LRESULT CALLBACK LegacyProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kProbe) ++legacyCalls;
  return CallWindowProcW(legacyPrevious, window, msg, wParam, lParam);
}

std::unique_ptr<classlib::TForm> NewForm() {
  auto form = std::make_unique<classlib::TForm>(nullptr);
  form->SetBounds(10, 10, 200, 150);
  form->HandleNeeded();
  return form;
}

// Built as a window builds its components: inside the loading bracket, so Loaded hooks.
template <typename T>
T* Place(classlib::TComponent* owner) {
  owner->BeginLoading();
  auto* component = new T(owner);
  owner->EndLoading();
  return component;
}

// The form's own handling still runs: a size change reaches its bounds.
bool FormStillWorks(classlib::TForm& form, int width) {
  SetWindowPos(form.Handle(), nullptr, 0, 0, width, 150, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return form.Width() == width;
}

}  // namespace

TEST(WndProcHook, HooksRemovedOutOfOrderLeaveTheOthersWorking) {
  testing_support::InitWindows();
  auto form = NewForm();
  HWND window = form->Handle();
  auto* first = Place<Recorder>(form.get());
  ASSERT_EQ(first->Window(), window);
  legacyCalls = 0;
  legacyPrevious = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LegacyProc)));
  auto* second = Place<Recorder>(form.get());
  EXPECT_FALSE(second->Hook()) << "hooked once only";

  SendMessageW(window, kProbe, 0, 0);
  EXPECT_EQ(first->seen.size(), 1u);
  EXPECT_EQ(second->seen.size(), 1u);
  EXPECT_EQ(legacyCalls, 1);

  // The first one goes while both later subclassers stay.
  delete first;
  SendMessageW(window, kProbe, 0, 0);
  EXPECT_EQ(second->seen.size(), 2u);
  EXPECT_EQ(legacyCalls, 2);
  EXPECT_TRUE(FormStillWorks(*form, 220));

  second->SetEnabled(false);
  EXPECT_EQ(second->Window(), nullptr);
  SendMessageW(window, kProbe, 0, 0);
  EXPECT_EQ(second->seen.size(), 2u);
  EXPECT_EQ(legacyCalls, 3);
  second->SetEnabled(true);
  SendMessageW(window, kProbe, 0, 0);
  EXPECT_EQ(second->seen.size(), 3u);
  EXPECT_TRUE(FormStillWorks(*form, 240));

  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(legacyPrevious));
  form.reset();
  EXPECT_TRUE(testing_support::TakeBoundaryErrors().empty());
}

namespace {

std::vector<UINT> classProcSeen;
LRESULT CALLBACK RecordingClassProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY || msg == WM_NCDESTROY) classProcSeen.push_back(msg);
  return DefWindowProcW(window, msg, wParam, lParam);
}

// A windowed control of a class whose own procedure records the end of its window.
class RecordingControl : public classlib::TWinControl {
 public:
  using TWinControl::TWinControl;

 protected:
  void CreateParams(classlib::TCreateParams& p) override {
    TWinControl::CreateParams(p);
    static const wchar_t* name = [] {
      WNDCLASSEXW wc = {};
      wc.cbSize = sizeof wc;
      wc.lpfnWndProc = RecordingClassProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"OrvantaHookTest";
      RegisterClassExW(&wc);
      return L"OrvantaHookTest";
    }();
    p.WinClassName = name;
  }
};

}  // namespace

// The window's own procedure hears WM_DESTROY and WM_NCDESTROY through the hook, which then ends.
TEST(WndProcHook, WindowEndPassesThroughAndUnhooks) {
  testing_support::InitWindows();
  auto form = NewForm();
  auto* control = new RecordingControl(form.get());
  control->SetParent(form.get());
  HWND window = control->Handle();
  auto* hook = Place<Recorder>(control);
  ASSERT_EQ(hook->Window(), window);
  classProcSeen.clear();
  DestroyWindow(window);
  EXPECT_EQ(classProcSeen, (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
  EXPECT_EQ(hook->seen, std::vector<UINT>{}) << "the component's own handling stops with WM_DESTROY";
  EXPECT_EQ(hook->Window(), nullptr);
  EXPECT_FALSE(hook->WindowDestroying());
  form.reset();
}

TEST(WndProcHook, WindowsToHook) {
  testing_support::InitWindows();
  Recorder lonely(nullptr);
  EXPECT_EQ(lonely.HookedWindow(), nullptr);
  EXPECT_FALSE(lonely.Hook());

  // An MDI frame: its MDI client is hooked, unless HandleMDI asks for the frame itself.
  auto form = NewForm();
  CLIENTCREATESTRUCT client = {};
  client.idFirstChild = 100;
  HWND mdiClient = CreateWindowExW(0, L"MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, form->Handle(),
                                   nullptr, GetModuleHandleW(nullptr), &client);
  ASSERT_NE(mdiClient, nullptr);
  auto* onClient = Place<Recorder>(form.get());
  EXPECT_EQ(onClient->MDIForm(), 2);
  EXPECT_EQ(onClient->Window(), mdiClient);
  SendMessageW(mdiClient, kProbe, 0, 0);
  EXPECT_EQ(onClient->seen.size(), 1u);
  form->BeginLoading();
  auto* onFrame = new Recorder(form.get());
  onFrame->HandleMDI = true;
  form->EndLoading();
  EXPECT_EQ(onFrame->Window(), form->Handle());
  form.reset();
}

TEST(WndProcHook, ApplicationWindow) {
  testing_support::InitWindows();
  auto form = NewForm();
  form->BeginLoading();
  auto* hook = new Recorder(form.get());
  hook->HandleApp = true;
  form->EndLoading();
  EXPECT_TRUE(hook->Hooked());
  HWND app = classlib::Application().Handle();
  EXPECT_EQ(SendMessageW(app, kProbe, 0, 0), 0) << "not handled: the window's own answer";
  hook->handleAppProbe = true;
  EXPECT_EQ(SendMessageW(app, kProbe, 0, 0), 42);
  EXPECT_EQ(hook->appSeen.size(), 2u);
  hook->Unhook();
  EXPECT_FALSE(hook->Hooked());
  SendMessageW(app, kProbe, 0, 0);
  EXPECT_EQ(hook->appSeen.size(), 2u);
}

// The theme manager follows theme messages and passes every message on.
TEST(WndProcHook, ThemeManagerPassesMessagesOn) {
  testing_support::InitWindows();
  // What themed drawing was switched to, in order: 3 on, 0 off.
  static std::vector<DWORD> switches;
  controls::TVisThemeEntries fake;
  fake.Loaded = true;
  fake.IsThemeActive = [] { return TRUE; };
  fake.SetThemeAppProperties = [](DWORD flags) { switches.push_back(flags); };
  const controls::TVisThemeEntries saved = controls::SetThemeEntriesForTesting(fake);
  auto& app = controls::VisApplication();
  app.SetUseThemes(true);

  auto form = NewForm();
  auto* manager = Place<controls::TVisXPThemeManager>(form.get());
  HWND window = form->Handle();
  ASSERT_EQ(manager->Window(), window);
  switches.clear();
  SendMessageW(window, WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(switches, (std::vector<DWORD>{0, 3})) << "off, then on again";
  EXPECT_TRUE(app.UseThemes());
  app.SetUseThemes(false);
  SendMessageW(window, WM_CREATE, 0, 0);
  EXPECT_TRUE(app.UseThemes()) << "WM_CREATE asks whether themes are there";
  SetWindowTextW(window, L"Weiter");
  wchar_t text[16] = {};
  GetWindowTextW(window, text, 16);
  EXPECT_EQ(std::wstring(text), L"Weiter");
  EXPECT_TRUE(FormStillWorks(*form, 230));
  form.reset();
  controls::SetThemeEntriesForTesting(saved);
  app.RefreshThemes();
  EXPECT_TRUE(testing_support::TakeBoundaryErrors().empty());
}
