// Top-level windows and the application: forms are created once and shown and hidden; the
// application runs the message loop, handles the dialog keys, and shows exceptions that reach a
// boundary in its error box.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "classlib/controls.h"
#include "classlib/hint_window.h"
#include "classlib/timer.h"

namespace classlib {

class TMainMenu;

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow };
enum class TPosition { poDesigned, poScreenCenter, poMainFormCenter };
enum class TFormStyle { fsNormal, fsStayOnTop };
enum class TCloseAction { caNone, caHide, caMinimize };
enum : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };

using TCloseEvent = std::function<void(TComponent* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TComponent* Sender, bool& CanClose)>;

class TForm : public TCustomControl {
 public:
  explicit TForm(TComponent* AOwner);
  ~TForm() override;

  // Shows the window (centred as Position says) and brings it to the front.
  void Show();
  void Hide();
  // Asks OnCloseQuery, then OnClose decides: hide (default), minimise or nothing. Closing the
  // main form ends the application. A form closed and shown again starts at its first control,
  // unless OnShow focuses another.
  void Close();
  bool CloseQuery();
  void BringToFront();

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle value);
  unsigned BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(unsigned value);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition value) { position_ = value; }
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle value);
  // The size of the client area; the window grows by its frame.
  void SetClientSize(int width, int height);
  RECT ClientRect() const override;
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* menu);
  // The form sees key messages before its controls.
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool value) { keyPreview_ = value; }
  // The control that has or last had the focus on this form.
  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* control);
  // Moves the focus to the next (or previous) focusable tab stop.
  void SelectNext(TWinControl* current, bool forward);
  // Focuses the first tab stop inside Area (the whole form when null) that can take the focus;
  // false when there is none.
  bool SelectFirst(TWinControl* Area = nullptr);
  bool Active() const;
  // The answer of the button pressed last (a button's ModalResult); forms here are never modal.
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int value) { modalResult_ = value; }

  // Tab, Return, Escape that the focused control does not want; true when used. An Escape that no
  // cancel button takes does what the close box does, on every window but the main one.
  virtual bool DialogKey(WORD key, TShiftState shift);
  // An accelerator character, offered to every control; true when one took it.
  virtual bool DialogChar(wchar_t ch);
  // A menu short cut of this form's menu; true when one was run.
  bool IsShortCut(WORD key, TShiftState shift);

  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  static const wchar_t* FormWindowClass();
  void CenterWindow();
  void ApplyFrameStyle();
  // The control that gets the focus: the active one, else the first tab stop that can take it.
  TWinControl* FocusTarget();
  static TWinControl* FirstTabStop(TWinControl* area);

  TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSingle;
  unsigned borderIcons_ = biSystemMenu | biMinimize;
  TPosition position_ = TPosition::poScreenCenter;
  TFormStyle formStyle_ = TFormStyle::fsNormal;
  TMainMenu* menu_ = nullptr;
  TWinControl* activeControl_ = nullptr;
  bool keyPreview_ = false;
  int modalResult_ = 0;
};

// The forms that exist, in the order they were created.
class TScreen {
 public:
  int FormCount() const { return static_cast<int>(forms_.size()); }
  TForm* Forms(int index) const { return forms_[static_cast<size_t>(index)]; }
  // The active control of the form whose window is the active one, or null.
  TWinControl* ActiveControl() const;

 private:
  friend class TForm;
  std::vector<TForm*> forms_;
};

TScreen& Screen();

class TApplication : public TComponent {
 public:
  TApplication();
  ~TApplication() override;

  // Common controls, COM for the shell's objects, the hidden window. Call once before any window.
  void Initialize();
  // The hidden top-level window that owns every form (and receives the tray's and the system's
  // broadcasts).
  HWND Handle() const { return handle_; }
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title);
  TForm* MainForm() const { return mainForm_; }
  void SetMainForm(TForm* form) { mainForm_ = form; }

  // The message loop, until Terminate; Idle whenever it has handled every waiting message.
  void Run();
  // The main loop's pause: OnIdle, guarded. Only Run calls it (tests stand in for Run), so no
  // handler, no wait of its own (ProcessMessages, WaitUntil) and no modal loop is on its way:
  // what runs here runs inside nothing else.
  void Idle();
  std::function<void()> OnIdle;
  // Handles every message waiting now, then returns.
  void ProcessMessages();
  // Handles one message, waiting for it when none is there.
  void HandleMessage();
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Tests that quit the program go on with the next: forgets Terminate and its WM_QUIT.
  void ResetTerminatedForTesting();
  // Pumps messages until done() is true or the application is asked to quit; returns done().
  bool WaitUntil(const std::function<bool()>& done);

  // A hook sees every message of the application window before it is handled; it returns true
  // when it handled the message (its Result is then the answer). The id is for UnhookMainWindow.
  using TWindowHook = std::function<bool(TMessage& Message)>;
  int HookMainWindow(TWindowHook Hook);
  void UnhookMainWindow(int Id);

  // The boundary's handler: OnException when set, else the error box with the message.
  void HandleException(std::exception_ptr error);
  void ShowException(const std::string& message);
  std::function<void(std::exception_ptr)> OnException;

  // Hints: a control's hint opens HintPause milliseconds after the mouse came to rest on it, after
  // HintShortPause when the mouse moves on from a showing hint, and closes after HintHidePause.
  bool ShowHint() const { return showHint_; }
  // Off frees the hint window; the next hint makes a new one of HintWindowClass.
  void SetShowHint(bool value);
  const THintWindowClass& HintWindowClass() const { return hintWindowClass_; }
  // An empty class restores the layer's own hint window.
  void SetHintWindowClass(THintWindowClass value);
  unsigned HintPause() const { return hintPause_; }
  void SetHintPause(unsigned value) { hintPause_ = value; }
  unsigned HintShortPause() const { return hintShortPause_; }
  void SetHintShortPause(unsigned value) { hintShortPause_ = value; }
  unsigned HintHidePause() const { return hintHidePause_; }
  void SetHintHidePause(unsigned value) { hintHidePause_ = value; }
  TShowHintEvent OnShowHint;
  // The mouse is at ScreenPos over Control (null: over nothing of ours); starts, keeps or ends the
  // wait for a hint. The message loop calls it for every mouse move.
  void HintMouseMessage(TControl* Control, POINT ScreenPos);
  // Hides the hint and forgets its control.
  void CancelHint();
  // The hint window while one exists, and the clock of the hint's pauses (tests tick it).
  THintWindow* HintWindow() const { return hintWindow_; }
  TTimer& HintTimer();

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend LRESULT CALLBACK ApplicationWindowProc(HWND, UINT, WPARAM, LPARAM);
  enum class THintStep { None, Show, Hide };
  bool ProcessMessage(MSG& msg);
  bool CallHooks(TMessage& message);
  bool IsKeyMessage(const MSG& msg);
  void WatchHint(const MSG& msg);
  void SetHintControl(TControl* control);
  void StartHintTimer(unsigned pause, THintStep step);
  void HintTimerTick();
  void ShowHintNow();
  void HideHintWindow();

  HWND handle_ = nullptr;
  std::string title_;
  TForm* mainForm_ = nullptr;
  bool terminated_ = false;
  bool initialized_ = false;
  bool showHint_ = true;
  THintWindowClass hintWindowClass_;
  unsigned hintPause_ = 500;
  unsigned hintShortPause_ = 50;
  unsigned hintHidePause_ = 2500;
  THintWindow* hintWindow_ = nullptr;
  TTimer* hintTimer_ = nullptr;
  THintStep hintStep_ = THintStep::None;
  TControl* hintControl_ = nullptr;
  RECT hintCursorRect_ = {0, 0, 0, 0};
  std::vector<std::pair<int, TWindowHook>> hooks_;
  int nextHookId_ = 0;
};

TApplication& Application();

// The message of an exception as the error box shows it.
std::string ExceptionMessage(std::exception_ptr error);

}  // namespace classlib
