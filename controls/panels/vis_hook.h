// Non-visual components that see the messages of the form they sit on. The form's window (or, on
// an MDI frame, its MDI client) is subclassed through the system's subclass chain, so components
// and other subclassers may come and go in any order; the hook passes every message on, and ends
// itself when the window is destroyed (after passing WM_DESTROY and WM_NCDESTROY on).
#pragma once

#include <windows.h>

#include <cstdint>

#include "classlib/messages.h"
#include "controls/panels/vis_object.h"

namespace controls {

class TVisWndProcComponent : public TVisCustomComponent {
 public:
  explicit TVisWndProcComponent(classlib::TComponent* AOwner) : TVisCustomComponent(AOwner) {}
  ~TVisWndProcComponent() override;

  bool Enabled() const { return enabled_; }
  // True installs the hook, false removes it.
  void SetEnabled(bool Value);
  // Used by the next Hook: on an MDI frame, hook the frame's own window instead of its MDI client;
  // also see the messages of the application's window (ApplicationWndProc).
  bool HandleMDI = false;
  bool HandleApp = false;

  // 0 no MDI, 1 the owner's window is an MDI child, 2 an MDI frame (it has an MDI client).
  std::uint8_t MDIForm() const;
  // The window to hook: none without a windowed owner.
  HWND HookedWindow() const;
  // The window hooked now, or null.
  HWND Window() const { return window_; }
  // True while the application's window is hooked.
  bool Hooked() const { return appHook_ != 0; }
  // The window is being destroyed; the component's own handling has stopped.
  bool WindowDestroying() const { return windowDestroying_; }

  // False when there is no window or a hook is installed already.
  bool Hook();
  bool Unhook();

 protected:
  virtual bool CanHook() { return true; }
  // Hooks when enabled and not hooked yet.
  virtual void InstallHook();
  virtual void RemoveHook() { Unhook(); }
  // One message of the hooked window; the base passes it on and keeps the answer.
  virtual void WndProc(classlib::TMessage& Message);
  virtual void EnabledChanged() {}
  // One message of the application's window (with HandleApp); true when handled.
  virtual bool ApplicationWndProc(classlib::TMessage&) { return false; }
  // Hooks once the owner has been built.
  void Loaded() override;

 private:
  friend LRESULT CALLBACK VisHookProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

  bool enabled_ = true;
  bool windowDestroying_ = false;
  HWND window_ = nullptr;
  int appHook_ = 0;
};

// Follows the system's visual-style switches for the library; created once at the library's start
// without an owner, so it hooks no window in this program.
class TVisXPThemeManager : public TVisWndProcComponent {
 public:
  using TVisWndProcComponent::TVisWndProcComponent;

 protected:
  // WM_CREATE refreshes the theme state; WM_THEMECHANGED switches themed drawing off and on so
  // that the visual-styles library is asked again. Every message is passed on.
  void WndProc(classlib::TMessage& Message) override;

 private:
  // The switch sends WM_THEMECHANGED to the forms again, this one among them.
  bool switching_ = false;
};

}  // namespace controls
