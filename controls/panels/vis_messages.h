// The control library's private notifications. They travel like the layer's CM_ messages: through
// WndProc to controls with and without a window.
#pragma once

#include <windows.h>

namespace controls {

// Repaint a graphic control now if it is visible.
constexpr UINT CM_VISREPAINT = 0xB0CD;
// The parent's background changed.
constexpr UINT CM_VISPARENTBKGNDCHANGED = 0xB0CE;
// Posted to a control's own window after it gained or lost the focus.
constexpr UINT CM_VISFOCUSGAINED = 0xB0CF;
constexpr UINT CM_VISFOCUSLOST = 0xB0D0;
// A control's bevel was replaced.
constexpr UINT CM_VISBEVELCHANGED = 0xB0D1;
// Pass CM_VISPARENTBKGNDCHANGED on to the children.
constexpr UINT CM_VISPASSPARENTBKGND = 0xB0D4;
// Redraw; broadcast with WM_THEMECHANGED when the theme is switched.
constexpr UINT CM_VISREDRAW = 0xB0D6;

}  // namespace controls
