// Hints: what the application is about to show (THintInfo, which the control and OnShowHint may
// change) and the window that shows it. The application makes its hint window through a
// replaceable class, so a control library can put its own look in place.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "classlib/controls.h"

namespace classlib {

struct THintInfo {
  TControl* HintControl = nullptr;
  // Screen position of the hint window's top left.
  POINT HintPos = {0, 0};
  int HintMaxWidth = 0;
  TColor HintColor = clInfoBk;
  // In the control's client coordinates; leaving it ends the hint.
  RECT CursorRect = {0, 0, 0, 0};
  POINT CursorPos = {0, 0};
  // Milliseconds until the hint closes by itself; 0 keeps it.
  unsigned HideTimeout = 0;
  std::string HintStr;
};

// The application's OnShowHint: may change the text and the info, or refuse with CanShow false.
using TShowHintEvent = std::function<void(std::string& HintStr, bool& CanShow, THintInfo& HintInfo)>;

// A framed box of wrapped text, on top of everything, that never takes the focus or the mouse.
class THintWindow : public TCustomControl {
 public:
  explicit THintWindow(TComponent* AOwner);
  // Shows AHint in Rect (screen coordinates).
  virtual void ActivateHint(RECT Rect, const std::string& AHint);
  // The box AHint needs when wrapped at MaxWidth, at (0, 0).
  virtual RECT CalcHintRect(int MaxWidth, const std::string& AHint);
  void WndProc(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  // Shows the window at its bounds without activating it.
  void ShowOnTop();
};

using THintWindowClass = std::function<THintWindow*(TComponent* AOwner)>;

}  // namespace classlib
