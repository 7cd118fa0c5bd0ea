// Controls: TControl (bounds, parent, colour, font, text, mouse), TGraphicControl (no window of
// its own: its parent paints it and routes the mouse to it), TWinControl (owns a window, created
// from overridable CreateParams and bound to the object by subclassing; children and alignment)
// and TCustomControl (paints itself off-screen through a canvas).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "classlib/component.h"
#include "classlib/graphics.h"
#include "classlib/messages.h"

namespace classlib {

class TWinControl;
class TForm;
class TPopupMenu;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TMouseButton { mbLeft, mbRight, mbMiddle };
enum class TCursor { crDefault, crArrow, crHandPoint, crHourGlass, crIBeam };

using TShiftState = unsigned;
enum : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };

// Control style flags.
enum : unsigned {
  csAcceptsControls = 1,
  csCaptureMouse = 2,
  csClickEvents = 4,
  csOpaque = 8,
  csDoubleClicks = 16,
  csReplicatable = 32,
  csSetCaption = 64,
};

using TNotifyEvent = std::function<void(TComponent* Sender)>;
using TMouseEvent = std::function<void(TComponent* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TComponent* Sender, TShiftState Shift, int X, int Y)>;
// Setting Key to 0 swallows the key.
using TKeyEvent = std::function<void(TComponent* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TComponent* Sender, wchar_t& Key)>;

TShiftState KeyboardShiftState();

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* AParent);
  // The form this control sits on (itself for a form), or null.
  TForm* ParentForm() const;

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int value) { SetBounds(value, top_, width_, height_); }
  void SetTop(int value) { SetBounds(left_, value, width_, height_); }
  void SetWidth(int value) { SetBounds(left_, top_, value, height_); }
  void SetHeight(int value) { SetBounds(left_, top_, width_, value); }
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  RECT BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
  virtual RECT ClientRect() const { return {0, 0, width_, height_}; }
  int ClientWidth() const;
  int ClientHeight() const;
  // Screen position of the client area's origin.
  virtual POINT ClientOrigin() const;
  POINT ClientToScreen(POINT p) const;
  POINT ScreenToClient(POINT p) const;

  TAlign Align() const { return align_; }
  void SetAlign(TAlign value);
  bool Visible() const { return visible_; }
  virtual void SetVisible(bool value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible here and in every parent up to a shown form.
  virtual bool Showing() const;
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool value);

  virtual std::string Text() const { return text_; }
  void SetText(const std::string& value);
  std::string Caption() const { return Text(); }
  void SetCaption(const std::string& value) { SetText(value); }

  TColor Color() const { return color_; }
  void SetColor(TColor value);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool value);
  TFont& Font() { return font_; }
  const TFont& Font() const { return font_; }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool value);

  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& value) { hint_ = value; }
  // Whether the hint shows: the parent's answer while ParentShowHint, else the control's own.
  bool ShowHint() const;
  // Also ends ParentShowHint.
  void SetShowHint(bool value);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool value);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor value) { cursor_ = value; }
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* value);
  unsigned ControlStyle() const { return controlStyle_; }
  void SetControlStyle(unsigned value) { controlStyle_ = value; }
  // The mouse is over the control (between mouse enter and leave).
  bool MouseInControl() const { return mouseInControl_; }

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnResize;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;

  virtual void Click();
  // Sends the message to this control's object (through its window when it has one).
  virtual LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
  virtual void WndProc(TMessage& Message);
  virtual void Invalidate();
  // Paints at once what is invalid.
  virtual void Update();
  virtual void Repaint() {
    Invalidate();
    Update();
  }
  void BringToFront();
  void SendToBack();

 protected:
  virtual void DefaultHandler(TMessage&) {}
  void Notification(TComponent* AComponent, TOperation Operation) override;
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void DblClick();
  virtual void Resize();
  // The mouse came over the control or left it (CM_MOUSEENTER, CM_MOUSELEAVE).
  virtual void MouseEnter();
  virtual void MouseLeave();
  // Bounds changed: the new rectangle is stored; windowed controls move their window.
  virtual void BoundsChanged() {}
  virtual bool IsWindowed() const { return false; }
  void RequestAlign();
  // The font or colour taken from the parent, without clearing the Parent* flag.
  void TakeParentFont();
  void TakeParentColor();

 private:
  friend class TWinControl;
  void HandleMouse(TMessage& m);
  void FontChanged();

  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TAlign align_ = TAlign::alNone;
  bool visible_ = true;
  bool enabled_ = true;
  std::string text_;
  TColor color_ = clBtnFace;
  bool parentColor_ = true;
  TFont font_;
  bool parentFont_ = true;
  bool takingParentFont_ = false;
  std::string hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  TCursor cursor_ = TCursor::crDefault;
  TPopupMenu* popupMenu_ = nullptr;
  unsigned controlStyle_ = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  bool mouseInControl_ = false;
  bool pressed_ = false;
};

// A control without a window: its parent paints it in z-order, with the origin moved to the
// control and the drawing clipped to it.
class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* AOwner);

  void Invalidate() override;
  void Update() override;
  // Paints the control now, only while it is visible: an opaque one straight into its parent's
  // window (with the graphic siblings above it), any other through its parent's next paint.
  void Repaint() override;
  TCanvas& Canvas() { return canvas_; }
  // Paints into dc, whose origin is the control's top left corner.
  void PaintTo(HDC dc);

 protected:
  virtual void Paint() {}

 private:
  TCanvas canvas_;
};

struct TCreateParams {
  std::wstring WinClassName;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;

  // Creates the window (and its parents') when it does not exist yet.
  HWND Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded() { Handle(); }
  // Destroys and creates the window again, keeping the object's state and its children; deferred
  // until the message loop runs, when asked from inside a message.
  void RecreateWnd();

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const { return controls_[static_cast<size_t>(index)]; }
  // Top-most visible, enabled graphic child at a client point, or null.
  TControl* ControlAtPos(POINT p) const;
  bool ContainsControl(const TControl* control) const;

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  RECT ClientRect() const override;
  POINT ClientOrigin() const override;
  void SetVisible(bool value) override;
  void SetEnabled(bool value) override;
  bool Showing() const override;
  std::string Text() const override;
  LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0) override;
  void Invalidate() override;
  void Update() override;

  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int value);
  // Whether Tab stops here (when the control can take the focus).
  virtual bool TabStop() const { return tabStop_; }
  void SetTabStop(bool value);
  bool CanFocus() const;
  bool Focused() const;
  virtual void SetFocus();
  // Lays the aligned children out again.
  void Realign();
  // Sends the message to every child, with and without a window.
  void NotifyControls(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
  // Sends the message to every descendant until one answers non-zero; returns that answer.
  LRESULT Broadcast(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;

  void WndProc(TMessage& Message) override;
  // The control object of a window of this layer, or null.
  static TWinControl* FindControl(HWND window);

 protected:
  virtual void CreateParams(TCreateParams& Params);
  virtual void CreateWnd();
  // Called before the window goes: copy what only the window knows into the object.
  virtual void DestroyWnd();
  void DefaultHandler(TMessage& Message) override;
  virtual void AlignControls(TControl* AControl, RECT& Rect);
  // The part of the client area that aligned children share.
  virtual void AdjustClientRect(RECT& Rect);
  // Paints the window into dc (own window classes only; system controls paint themselves).
  virtual void PaintWindow(HDC dc);
  void PaintControls(HDC dc);
  virtual void DoEnter();
  virtual void DoExit();
  virtual void KeyDown(WORD& Key, TShiftState Shift);
  virtual void KeyUp(WORD& Key, TShiftState Shift);
  virtual void KeyPress(wchar_t& Key);
  bool IsWindowed() const override { return true; }
  // The brush of the control's colour, for the system's colour questions.
  HBRUSH ColorBrush();

  // Registers the layer's own window class (once) and returns its name.
  static const wchar_t* OwnWindowClass();
  // Registers a window class of the layer's kind under name, with these icons (none: null).
  static void RegisterOwnClass(const wchar_t* name, HICON large, HICON small);

 private:
  friend class TControl;
  friend class TGraphicControl;
  friend LRESULT CALLBACK ControlSubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  void CreateHandle();
  void DestroyHandle();
  void UpdateBoundsFromWindow();
  // Graphic children in z-order, from `first` (null: all) upwards.
  void PaintGraphicChildren(HDC dc, const TControl* first);
  bool RouteMouseToChild(TMessage& m);
  void SetHoverChild(TControl* child);
  bool ReflectToChild(TMessage& m);
  void TrackMouseLeave();

  HWND handle_ = nullptr;
  std::vector<TControl*> controls_;
  int borderWidth_ = 0;
  bool tabStop_ = false;
  bool aligning_ = false;
  bool recreatePending_ = false;
  bool settingBounds_ = false;
  TControl* captureChild_ = nullptr;
  TControl* hoverChild_ = nullptr;
  bool trackingLeave_ = false;
  TBrush colorBrush_;
};

// A windowed control of the layer's own class that paints itself: Paint draws on Canvas into an
// off-screen bitmap, the graphic children follow, and the picture is copied in one step.
class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* AOwner);
  TCanvas& Canvas() { return canvas_; }

 protected:
  void CreateParams(TCreateParams& Params) override;
  void PaintWindow(HDC dc) override;
  // Fills the client area with Color; then the control's own drawing.
  virtual void Paint();
  void WndProc(TMessage& Message) override;

 private:
  TCanvas canvas_;
};

// The control of this layer under a screen point, a graphic one included; disabled graphic
// controls only with AllowDisabled. Null over other windows.
TControl* FindDragTarget(POINT ScreenPos, bool AllowDisabled);

// Runs f; an exception goes to the application's handler instead of through the caller, which is
// a frame of Windows.
void CallGuarded(const std::function<void()>& f);

}  // namespace classlib
