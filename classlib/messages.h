// Messages as controls receive them, and the layer's own notifications. Controls with and without a
// window get both through the same WndProc, so a graphic control hears a colour change exactly as a
// windowed one does.
#pragma once

#include <windows.h>

namespace classlib {

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

// The layer's notifications, above the system's and the common controls' ranges.
constexpr UINT CM_BASE = 0xA000;
constexpr UINT CM_MOUSEENTER = CM_BASE + 1;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 2;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 3;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 4;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 5;
constexpr UINT CM_COLORCHANGED = CM_BASE + 6;
constexpr UINT CM_FONTCHANGED = CM_BASE + 7;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 9;
// WParam: the character; a control that takes it answers 1.
constexpr UINT CM_DIALOGCHAR = CM_BASE + 10;
// WParam: the virtual key (Tab, Return, Escape); a control that acts on it answers 1.
constexpr UINT CM_DIALOGKEY = CM_BASE + 11;
constexpr UINT CM_ENTER = CM_BASE + 12;
constexpr UINT CM_EXIT = CM_BASE + 13;
// Deferred re-creation of a window, posted to the control itself.
constexpr UINT CM_RECREATEWND = CM_BASE + 14;
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 15;
// Hint text and position are about to be shown; LParam points at a THintInfo.
constexpr UINT CM_HINTSHOW = CM_BASE + 16;
// The system's colours changed; forms pass it down to every control.
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 17;

// 0xB000-0xBBFF belongs to the control library's own notifications. Like the CM_ messages they
// reach controls with and without a window through WndProc (Perform, NotifyControls, Broadcast,
// or SendMessage/PostMessage to a window of the layer) and never go on to a system class.

// Notifications a parent reflects to the child's own object: the system's code plus CN_BASE.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;

}  // namespace classlib
