// The notification-area icon: one icon in the task bar's notification area, the shell's mouse
// notifications as events, the popup menu at the cursor, minimising the owner form into the
// notification area, the icon added again when the task bar is re-created, and an animation that
// steps through a list of icons.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

#include "classlib/component.h"
#include "classlib/controls.h"
#include "classlib/icons.h"
#include "classlib/menus.h"
#include "classlib/timer.h"

namespace controls {

// NextIndex: the frame the animation shows after the present one.
using TCycleEvent = std::function<void(classlib::TComponent* Sender, int NextIndex)>;

// The message the shell sends the callback window; lParam is the mouse message over the icon.
constexpr UINT WM_TRAYICON = WM_USER + 0x400;

class TTrayIcon : public classlib::TComponent {
 public:
  explicit TTrayIcon(classlib::TComponent* AOwner);
  ~TTrayIcon() override;

  // Whether the icon is meant to be in the notification area: true adds it, false removes it.
  bool IconVisible() const { return iconVisible_; }
  void SetIconVisible(bool value);
  const classlib::TIcon& Icon() const { return icon_; }
  // Shows a copy of the icon.
  void SetIcon(const classlib::TIcon& value);
  const std::string& Hint() const { return hint_; }
  // The tool-tip; the shell takes at most 127 characters.
  void SetHint(const std::string& value);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool value);
  // While disabled every mouse notification is dropped; the icon still shows.
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value) { enabled_ = value; }

  // Opens at the cursor on a right press (and on a left one with LeftPopup); a left double click
  // clicks its first top-level item marked Default unless LeftPopup is on. Not owned.
  classlib::TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(classlib::TPopupMenu* value);
  bool LeftPopup() const { return leftPopup_; }
  void SetLeftPopup(bool value) { leftPopup_ = value; }

  // Minimising the owner form hides the main form into the notification area.
  bool MinimizeToTray() const { return minimizeToTray_; }
  void SetMinimizeToTray(bool value) { minimizeToTray_ = value; }
  // The main form is hidden when the owner's loading ends.
  bool StartMinimized() const { return startMinimized_; }
  void SetStartMinimized(bool value) { startMinimized_ = value; }
  // Hides the main form and shows the icon.
  void MinimizeAppToTray();

  // The animation's frames (not owned); setting a list shows its first icon.
  classlib::TImageList* IconList() const { return iconList_; }
  void SetIconList(classlib::TImageList* value);
  int IconIndex() const { return iconIndex_; }
  // Shows the list's icon at value, lowered to the last one past the end. An empty list or a
  // negative index keeps the present icon; without a list the index is 0.
  void SetIconIndex(int value);
  bool CycleIcons() const { return cycleIcons_; }
  // On: starts at frame 0 and steps every CycleInterval milliseconds; off: stops where it is.
  void SetCycleIcons(bool value);
  unsigned CycleInterval() const { return cycleInterval_; }
  void SetCycleInterval(unsigned value);
  // The animation's clock; every tick shows the next frame, wrapping after the last.
  classlib::TTimer& AnimationTimer() { return *animationTimer_; }

  // The shell calls; each returns the shell's answer. Nothing reaches the shell while loading.
  bool AddIcon();
  bool RemoveIcon();
  bool UpdateIcon();

  // The hidden top-level window that receives the shell's notifications and "TaskbarCreated".
  HWND CallbackWindow() const { return callbackWindow_; }

  classlib::TNotifyEvent OnClick;
  classlib::TNotifyEvent OnDblClick;
  TCycleEvent OnCycle;
  classlib::TMouseEvent OnMouseDown;
  classlib::TMouseEvent OnMouseUp;
  classlib::TMouseMoveEvent OnMouseMove;

 protected:
  void Loaded() override;
  void Notification(classlib::TComponent* AComponent, classlib::TOperation Operation) override;

 private:
  static LRESULT CALLBACK CallbackWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK OwnerHookProc(int code, WPARAM wParam, LPARAM lParam);
  void ShellNotification(UINT mouseMessage);
  void OwnerMessage(const CWPSTRUCT& message);
  bool CallShell(DWORD message);
  void FillIconRecord();
  void ShowTrayMenu();
  void ClickDefaultItem();
  void HideMainWindow();
  void AnimationTick();
  int NextIndex() const;

  classlib::TWinControl* ownerControl_ = nullptr;
  bool enabled_ = true;
  classlib::TIcon icon_;
  bool iconVisible_ = true;
  std::string hint_;
  bool showHint_ = true;
  classlib::TPopupMenu* popupMenu_ = nullptr;
  bool leftPopup_ = false;
  bool startMinimized_ = false;
  bool minimizeToTray_ = false;
  bool leftClickPending_ = false;
  bool restoring_ = false;
  classlib::TTimer* animationTimer_ = nullptr;
  classlib::TImageList* iconList_ = nullptr;
  int iconIndex_ = 0;
  bool cycleIcons_ = false;
  unsigned cycleInterval_ = 0;
  HWND callbackWindow_ = nullptr;
  NOTIFYICONDATAW record_ = {};
};

// The shell's Shell_NotifyIcon. Tests put a recorder in its place; an empty function restores the
// shell's own.
using TShellNotifyIcon = std::function<bool(DWORD Message, const NOTIFYICONDATAW& Data)>;
void SetShellNotifyIconForTesting(TShellNotifyIcon call);

}  // namespace controls
