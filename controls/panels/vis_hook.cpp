#include "controls/panels/vis_hook.h"

#include <commctrl.h>

#include "classlib/controls.h"
#include "classlib/forms.h"
#include "controls/panels/vis_application.h"

namespace controls {

namespace {

HWND MDIClientOf(HWND frame) { return frame ? FindWindowExW(frame, nullptr, L"MDIClient", nullptr) : nullptr; }

HWND OwnerWindow(classlib::TComponent* owner) {
  auto* control = dynamic_cast<classlib::TWinControl*>(owner);
  if (!control) return nullptr;
  try {
    return control->Handle();
  } catch (const std::exception&) {
    return nullptr;
  }
}

}  // namespace

LRESULT CALLBACK VisHookProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR ref) {
  auto* self = reinterpret_cast<TVisWndProcComponent*>(ref);
  classlib::TMessage m{msg, wParam, lParam, 0};
  if (msg == WM_DESTROY) self->windowDestroying_ = true;
  if (self->windowDestroying_) {
    // The window goes: its own procedure still hears the end; then the hook ends with it.
    m.Result = DefSubclassProc(window, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) self->Unhook();
    return m.Result;
  }
  try {
    self->WndProc(m);
  } catch (...) {
    classlib::Application().HandleException(std::current_exception());
  }
  return m.Result;
}

TVisWndProcComponent::~TVisWndProcComponent() { Unhook(); }

void TVisWndProcComponent::SetEnabled(bool Value) {
  if (Value == enabled_) return;
  enabled_ = Value;
  if (Value)
    InstallHook();
  else
    RemoveHook();
  EnabledChanged();
}

std::uint8_t TVisWndProcComponent::MDIForm() const {
  auto* control = dynamic_cast<classlib::TWinControl*>(Owner());
  if (!control || !control->HandleAllocated()) return 0;
  HWND window = control->Handle();
  if (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_MDICHILD) return 1;
  return MDIClientOf(window) ? 2 : 0;
}

HWND TVisWndProcComponent::HookedWindow() const {
  HWND window = OwnerWindow(Owner());
  if (window && !HandleMDI && MDIForm() == 2) return MDIClientOf(window);
  return window;
}

bool TVisWndProcComponent::Hook() {
  HWND window = HookedWindow();
  if (!window || window_) return false;
  windowDestroying_ = false;
  try {
    if (HandleApp)
      appHook_ = classlib::Application().HookMainWindow([this](classlib::TMessage& m) { return ApplicationWndProc(m); });
    if (!SetWindowSubclass(window, VisHookProc, reinterpret_cast<UINT_PTR>(this), reinterpret_cast<DWORD_PTR>(this)))
      throw classlib::EOSError("Das Fenster kann nicht überwacht werden");
    window_ = window;
  } catch (const std::exception&) {
    Unhook();
    return false;
  }
  return true;
}

bool TVisWndProcComponent::Unhook() {
  if (window_ && IsWindow(window_)) RemoveWindowSubclass(window_, VisHookProc, reinterpret_cast<UINT_PTR>(this));
  window_ = nullptr;
  if (appHook_) classlib::Application().UnhookMainWindow(appHook_);
  appHook_ = 0;
  windowDestroying_ = false;
  return true;
}

void TVisWndProcComponent::InstallHook() {
  if (enabled_ && !window_ && CanHook()) Hook();
}

void TVisWndProcComponent::WndProc(classlib::TMessage& Message) {
  Message.Result = DefSubclassProc(window_, Message.Msg, Message.WParam, Message.LParam);
}

void TVisWndProcComponent::Loaded() {
  TVisCustomComponent::Loaded();
  InstallHook();
}

void TVisXPThemeManager::WndProc(classlib::TMessage& Message) {
  if (Message.Msg == WM_CREATE) {
    VisApplication().RefreshThemes();
  } else if (Message.Msg == WM_THEMECHANGED && VisApplication().UseThemes() && !switching_) {
    switching_ = true;
    try {
      VisApplication().SetUseThemes(false);
      VisApplication().SetUseThemes(true);
    } catch (...) {
      switching_ = false;
      throw;
    }
    switching_ = false;
  }
  TVisWndProcComponent::WndProc(Message);
}

}  // namespace controls
