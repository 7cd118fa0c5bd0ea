#include "controls/flat/tray_icon.h"

#include <algorithm>
#include <vector>

#include "classlib/exceptions.h"
#include "classlib/forms.h"
#include "classlib/wide.h"

namespace controls {

using namespace classlib;

namespace {

constexpr UINT kIconId = 1;
// The shell's tip holds 128 characters with the terminating zero.
constexpr size_t kTipLength = 127;

TShellNotifyIcon& ShellNotifyIcon() {
  static TShellNotifyIcon call;
  return call;
}

// The shell broadcasts it to every top-level window when the task bar is created again.
UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

const wchar_t* CallbackWindowClass(WNDPROC proc) {
  static const wchar_t* name = [proc] {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"OrvantaTrayIcon";
    if (!RegisterClassExW(&wc)) throw EOSError("Die Fensterklasse des Infobereichs-Symbols fehlt");
    return L"OrvantaTrayIcon";
  }();
  return name;
}

// The shell's notifications are not input messages, so the keys are read as they are now.
TShiftState AsyncShiftState() {
  TShiftState shift = 0;
  if (GetAsyncKeyState(VK_SHIFT) < 0) shift |= ssShift;
  if (GetAsyncKeyState(VK_MENU) < 0) shift |= ssAlt;
  if (GetAsyncKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
  return shift;
}

// Tray icons whose owner is a windowed control; one thread hook serves them all.
struct OwnerHook {
  HHOOK hook = nullptr;
  std::vector<TTrayIcon*> trays;
};

OwnerHook& Hook() {
  static OwnerHook hook;
  return hook;
}

}  // namespace

void SetShellNotifyIconForTesting(TShellNotifyIcon call) { ShellNotifyIcon() = std::move(call); }

TTrayIcon::TTrayIcon(TComponent* AOwner) : TComponent(AOwner), ownerControl_(dynamic_cast<TWinControl*>(AOwner)) {
  // Top-level and unowned, unlike a message-only window, so the "TaskbarCreated" broadcast reaches it.
  callbackWindow_ = CreateWindowExW(WS_EX_TOOLWINDOW, CallbackWindowClass(CallbackWindowProc), L"", WS_POPUP, 0, 0, 0,
                                    0, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  if (!callbackWindow_) throw EOSError("Das Fenster des Infobereichs-Symbols kann nicht erzeugt werden");
  record_.cbSize = sizeof record_;
  record_.hWnd = callbackWindow_;
  record_.uID = kIconId;
  record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record_.uCallbackMessage = WM_TRAYICON;

  animationTimer_ = new TTimer(this);
  animationTimer_->SetEnabled(false);
  animationTimer_->SetInterval(cycleInterval_);
  animationTimer_->OnTimer = [this](TComponent*) { AnimationTick(); };

  // A thread hook rather than a subclass: the owner's window may not exist yet, or be made again.
  if (ownerControl_) {
    OwnerHook& hook = Hook();
    if (!hook.hook) {
      hook.hook = SetWindowsHookExW(WH_CALLWNDPROC, OwnerHookProc, nullptr, GetCurrentThreadId());
      if (!hook.hook) {
        DestroyWindow(callbackWindow_);
        throw EOSError("Das Infobereichs-Symbol kann das Fenster seines Besitzers nicht beobachten");
      }
    }
    hook.trays.push_back(this);
  }
}

TTrayIcon::~TTrayIcon() {
  BeginDestroy();
  RemoveIcon();
  OwnerHook& hook = Hook();
  hook.trays.erase(std::remove(hook.trays.begin(), hook.trays.end(), this), hook.trays.end());
  if (hook.trays.empty() && hook.hook) {
    UnhookWindowsHookEx(hook.hook);
    hook.hook = nullptr;
  }
  DestroyWindow(callbackWindow_);
  delete animationTimer_;
}

void TTrayIcon::Loaded() {
  TComponent::Loaded();
  if (ownerControl_ && startMinimized_) HideMainWindow();
  UpdateIcon();
  SetIconVisible(iconVisible_);
}

void TTrayIcon::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != TOperation::opRemove) return;
  if (AComponent == iconList_) SetIconList(nullptr);
  if (AComponent == popupMenu_) popupMenu_ = nullptr;
}

// ----------------------------------------------------------------------------------- the shell

void TTrayIcon::FillIconRecord() {
  record_.hIcon = icon_.Handle();
  std::fill(std::begin(record_.szTip), std::end(record_.szTip), L'\0');
  if (hint_.empty() || !showHint_) return;
  std::wstring tip = Widen(hint_);
  if (tip.size() > kTipLength) {
    // Half a surrogate pair would show as a broken character.
    const bool splitsPair = IS_HIGH_SURROGATE(tip[kTipLength - 1]);
    tip.resize(splitsPair ? kTipLength - 1 : kTipLength);
  }
  std::copy(tip.begin(), tip.end(), record_.szTip);
}

bool TTrayIcon::CallShell(DWORD message) {
  // The owner's loading sets the state first; Loaded hands it to the shell once.
  if (Loading()) return false;
  FillIconRecord();
  if (ShellNotifyIcon()) return ShellNotifyIcon()(message, record_);
  return Shell_NotifyIconW(message, &record_) != FALSE;
}

bool TTrayIcon::AddIcon() {
  iconVisible_ = true;
  return CallShell(NIM_ADD);
}

bool TTrayIcon::RemoveIcon() {
  iconVisible_ = false;
  return CallShell(NIM_DELETE);
}

bool TTrayIcon::UpdateIcon() { return CallShell(NIM_MODIFY); }

void TTrayIcon::SetIconVisible(bool value) {
  if (value)
    AddIcon();
  else
    RemoveIcon();
}

void TTrayIcon::SetIcon(const TIcon& value) {
  icon_.Assign(value);
  UpdateIcon();
}

void TTrayIcon::SetHint(const std::string& value) {
  hint_ = value;
  UpdateIcon();
}

void TTrayIcon::SetShowHint(bool value) {
  showHint_ = value;
  UpdateIcon();
}

void TTrayIcon::SetPopupMenu(TPopupMenu* value) {
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = value;
  if (value) value->FreeNotification(this);
}

// ----------------------------------------------------------------------------------- the mouse

LRESULT CALLBACK TTrayIcon::CallbackWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE)
    SetWindowLongPtrW(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  auto* tray = reinterpret_cast<TTrayIcon*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (tray && msg == WM_TRAYICON) {
    CallGuarded([&] { tray->ShellNotification(static_cast<UINT>(lParam)); });
    return 0;
  }
  if (tray && msg == TaskbarCreatedMessage()) {
    CallGuarded([&] {
      if (tray->iconVisible_) tray->AddIcon();
    });
    return 0;
  }
  // The icon never objects to the end of the session.
  if (msg == WM_QUERYENDSESSION) return TRUE;
  return DefWindowProcW(window, msg, wParam, lParam);
}

void TTrayIcon::ShellNotification(UINT mouseMessage) {
  if (!enabled_) return;
  POINT at = {0, 0};
  GetCursorPos(&at);
  const TShiftState shift = AsyncShiftState();
  const auto down = [&](TMouseButton button, TShiftState flag) {
    if (OnMouseDown) OnMouseDown(this, button, shift | flag, at.x, at.y);
  };
  const auto up = [&](TMouseButton button, TShiftState flag) {
    if (OnMouseUp) OnMouseUp(this, button, shift | flag, at.x, at.y);
  };
  switch (mouseMessage) {
    case WM_MOUSEMOVE:
      if (OnMouseMove) OnMouseMove(this, shift, at.x, at.y);
      break;
    case WM_LBUTTONDOWN:
      down(TMouseButton::mbLeft, ssLeft);
      leftClickPending_ = true;
      if (leftPopup_) ShowTrayMenu();
      break;
    case WM_LBUTTONUP:
      if (leftClickPending_) {
        leftClickPending_ = false;
        if (OnClick) OnClick(this);
      }
      up(TMouseButton::mbLeft, ssLeft);
      break;
    case WM_LBUTTONDBLCLK:
      if (OnDblClick) OnDblClick(this);
      if (!leftPopup_) ClickDefaultItem();
      break;
    case WM_RBUTTONDOWN:
      down(TMouseButton::mbRight, ssRight);
      ShowTrayMenu();
      break;
    case WM_RBUTTONUP:
      up(TMouseButton::mbRight, ssRight);
      break;
    case WM_MBUTTONDOWN:
      down(TMouseButton::mbMiddle, ssMiddle);
      break;
    case WM_MBUTTONUP:
      up(TMouseButton::mbMiddle, ssMiddle);
      break;
    default:
      break;
  }
}

void TTrayIcon::ShowTrayMenu() {
  POINT at;
  if (!popupMenu_ || !GetCursorPos(&at)) return;
  Application().ProcessMessages();
  // The messages just handled may have freed the menu.
  if (!popupMenu_) return;
  popupMenu_->PopupComponent = this;
  popupMenu_->Popup(at.x, at.y);
}

void TTrayIcon::ClickDefaultItem() {
  if (!popupMenu_) return;
  TMenuItem* items = popupMenu_->Items();
  for (int i = 0; i < items->Count(); ++i)
    if (items->Items(i)->Default()) {
      items->Items(i)->Click();
      return;
    }
}

// ----------------------------------------------------------------------------------- the owner form

LRESULT CALLBACK TTrayIcon::OwnerHookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto& message = *reinterpret_cast<const CWPSTRUCT*>(lParam);
    // By index: a handler may free a tray icon. An owner on its way out is left alone.
    const std::vector<TTrayIcon*>& trays = Hook().trays;
    for (size_t i = 0; i < trays.size(); ++i) {
      TTrayIcon* tray = trays[i];
      const TWinControl* owner = tray->ownerControl_;
      if (!owner->Destroying() && owner->HandleAllocated() && tray->ownerControl_->Handle() == message.hwnd)
        CallGuarded([&] { tray->OwnerMessage(message); });
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void TTrayIcon::OwnerMessage(const CWPSTRUCT& message) {
  HWND owner = message.hwnd;
  const WORD activation = LOWORD(message.wParam);
  if (message.message == WM_SIZE && message.wParam == SIZE_MINIMIZED && minimizeToTray_) {
    MinimizeAppToTray();
  } else if (message.message == WM_ACTIVATE && (activation == WA_ACTIVE || activation == WA_CLICKACTIVE)) {
    // Activated again: the focus goes back to the control that had it.
    if (TWinControl* active = Screen().ActiveControl()) {
      TWinControl* holder = active->Parent() ? active->Parent() : active;
      const bool fromHolder = holder->HandleAllocated() && holder->Handle() == reinterpret_cast<HWND>(message.lParam);
      if (!fromHolder && active->HandleAllocated()) ::SetFocus(active->Handle());
    }
  } else if (message.message == WM_SHOWWINDOW && message.wParam && !message.lParam && !restoring_) {
    // Shown by a call after it was minimised into the tray: it comes back restored. Restoring shows
    // the window again, which must not start another restore.
    restoring_ = true;
    if (IsIconic(owner)) ShowWindow(owner, SW_RESTORE);
    SetForegroundWindow(owner);
    restoring_ = false;
  }
}

void TTrayIcon::MinimizeAppToTray() {
  HideMainWindow();
  SetIconVisible(true);
}

void TTrayIcon::HideMainWindow() {
  // The main form carries the task-bar button; hiding it takes the button away.
  if (ownerControl_ && Application().MainForm()) Application().MainForm()->Hide();
}

// ----------------------------------------------------------------------------------- animation

void TTrayIcon::SetIconList(TImageList* value) {
  if (iconList_) iconList_->RemoveFreeNotification(this);
  iconList_ = value;
  if (value) value->FreeNotification(this);
  SetIconIndex(0);
}

void TTrayIcon::SetIconIndex(int value) {
  if (iconList_) {
    const int count = iconList_->Count();
    iconIndex_ = value >= count ? count - 1 : value;
    // Outside the list there is no icon to show: the present one stays.
    iconList_->GetIcon(iconIndex_, icon_);
  } else {
    iconIndex_ = 0;
  }
  UpdateIcon();
}

void TTrayIcon::SetCycleIcons(bool value) {
  cycleIcons_ = value;
  if (value) SetIconIndex(0);
  animationTimer_->SetEnabled(value);
}

void TTrayIcon::SetCycleInterval(unsigned value) {
  cycleInterval_ = value;
  animationTimer_->SetInterval(value);
}

int TTrayIcon::NextIndex() const {
  return iconList_ && iconIndex_ + 1 < iconList_->Count() ? iconIndex_ + 1 : 0;
}

void TTrayIcon::AnimationTick() {
  if (!iconList_) return;
  if (OnCycle) OnCycle(this, NextIndex());
  // OnCycle may have changed the list. The shell hears of the next frame only: the one shown
  // stays as it is until then.
  SetIconIndex(NextIndex());
}

}  // namespace controls
