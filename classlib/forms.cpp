#include "classlib/forms.h"

#include <commctrl.h>
#include <objbase.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "classlib/exceptions.h"
#include "classlib/gui_thread.h"
#include "classlib/menus.h"
#include "classlib/prompt.h"
#include "classlib/wide.h"

namespace classlib {

namespace {

DWORD FrameStyle(TFormBorderStyle border, unsigned icons) {
  DWORD style = WS_CLIPCHILDREN;
  switch (border) {
    case TFormBorderStyle::bsNone: return style | WS_POPUP;
    case TFormBorderStyle::bsSingle: style |= WS_CAPTION | WS_BORDER; break;
    case TFormBorderStyle::bsSizeable: style |= WS_CAPTION | WS_THICKFRAME; break;
    case TFormBorderStyle::bsDialog: style |= WS_CAPTION | WS_DLGFRAME; break;
    case TFormBorderStyle::bsToolWindow: style |= WS_CAPTION; break;
  }
  if (icons & biSystemMenu) {
    style |= WS_SYSMENU;
    if (border != TFormBorderStyle::bsDialog && border != TFormBorderStyle::bsToolWindow) {
      if (icons & biMinimize) style |= WS_MINIMIZEBOX;
      if (icons & biMaximize) style |= WS_MAXIMIZEBOX;
    }
  }
  return style;
}

DWORD FrameExStyle(TFormBorderStyle border) {
  if (border == TFormBorderStyle::bsDialog) return WS_EX_DLGMODALFRAME;
  if (border == TFormBorderStyle::bsToolWindow) return WS_EX_TOOLWINDOW;
  return 0;
}

// Every windowed descendant in list order, the order of the tab stops.
void CollectTabOrder(TWinControl* parent, std::vector<TWinControl*>& out) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    auto* child = dynamic_cast<TWinControl*>(parent->Controls(i));
    if (!child) continue;
    out.push_back(child);
    CollectTabOrder(child, out);
  }
}

// Focus given by Tab or to a page that shows: a text field's text is selected, so typing replaces
// it, as in the system's dialogs.
void FocusAsTheKeyboardDoes(TWinControl* control) {
  control->SetFocus();
  HWND window = control->Handle();
  if (SendMessageW(window, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(window, EM_SETSEL, 0, -1);
}

// The program's icon in the two sizes a window shows.
struct ProgramIconPair {
  HICON large = nullptr;
  HICON small = nullptr;
};

// The enumeration's first name, a number written "#n"; the enumeration stops there.
BOOL CALLBACK TakeFirstName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
  auto& first = *reinterpret_cast<std::wstring*>(found);
  first = IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name)) : std::wstring(name);
  return FALSE;
}

// The program file's own icon, as the shell shows it (its first icon group), in the sizes of a
// title bar and the task bar; none when the program has no icon.
const ProgramIconPair& ProgramIcons() {
  static const ProgramIconPair icons = [] {
    ProgramIconPair pair;
    HMODULE module = GetModuleHandleW(nullptr);
    std::wstring name;
    EnumResourceNamesW(module, RT_GROUP_ICON, TakeFirstName, reinterpret_cast<LONG_PTR>(&name));
    if (name.empty()) return pair;
    pair.large = static_cast<HICON>(LoadImageW(module, name.c_str(), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                               GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
    pair.small = static_cast<HICON>(LoadImageW(module, name.c_str(), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    return pair;
  }();
  return icons;
}

}  // namespace

// The forms' window class: the program's icon in the title bar and on the task bar.
const wchar_t* TForm::FormWindowClass() {
  static const wchar_t* name = [] {
    RegisterOwnClass(L"OrvantaForm", ProgramIcons().large, ProgramIcons().small);
    return L"OrvantaForm";
  }();
  return name;
}

// ===================================================================== TForm

TWinControl* TScreen::ActiveControl() const {
  HWND active = GetActiveWindow();
  for (TForm* form : forms_)
    if (active && form->HandleAllocated() && form->Handle() == active) return form->ActiveControl();
  return nullptr;
}

TScreen& Screen() {
  // Never destroyed: forms owned by other statics may go after it at exit.
  static TScreen* screen = new TScreen;
  return *screen;
}

TForm::TForm(TComponent* AOwner) : TCustomControl(AOwner) {
  Screen().forms_.push_back(this);
  SetVisible(false);
  SetControlStyle(ControlStyle() & ~csCaptureMouse);
  SetBounds(0, 0, 320, 240);
}

TForm::~TForm() {
  BeginDestroy();
  auto& forms = Screen().forms_;
  forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
  if (Application().MainForm() == this) Application().SetMainForm(nullptr);
}

void TForm::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.Style = FrameStyle(borderStyle_, borderIcons_);
  if (!Enabled()) p.Style |= WS_DISABLED;
  p.ExStyle = FrameExStyle(borderStyle_);
  if (formStyle_ == TFormStyle::fsStayOnTop) p.ExStyle |= WS_EX_TOPMOST;
  // Only the main form has a button on the task bar.
  if (Application().MainForm() == this) p.ExStyle |= WS_EX_APPWINDOW;
  p.WndParent = Application().Handle();
  p.WinClassName = FormWindowClass();
}

void TForm::CreateWnd() {
  TCustomControl::CreateWnd();
  // A dialog frame shows no class icon; the window's own shows in every frame.
  SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(ProgramIcons().large));
  SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(ProgramIcons().small));
  if (menu_) SetMenu(menu_);
}

RECT TForm::ClientRect() const {
  if (const_cast<TForm*>(this)->HandleAllocated()) return TCustomControl::ClientRect();
  RECT frame = {0, 0, 0, 0};
  AdjustWindowRectEx(&frame, FrameStyle(borderStyle_, borderIcons_), menu_ != nullptr, FrameExStyle(borderStyle_));
  return {0, 0, Width() - (frame.right - frame.left), Height() - (frame.bottom - frame.top)};
}

void TForm::SetClientSize(int width, int height) {
  RECT r = {0, 0, width, height};
  AdjustWindowRectEx(&r, FrameStyle(borderStyle_, borderIcons_), menu_ != nullptr, FrameExStyle(borderStyle_));
  SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
}

void TForm::ApplyFrameStyle() {
  if (!HandleAllocated()) return;
  const RECT client = ClientRect();
  LONG_PTR style = GetWindowLongPtrW(Handle(), GWL_STYLE);
  style = (style & (WS_VISIBLE | WS_DISABLED)) | FrameStyle(borderStyle_, borderIcons_);
  SetWindowLongPtrW(Handle(), GWL_STYLE, style);
  LONG_PTR exStyle = GetWindowLongPtrW(Handle(), GWL_EXSTYLE);
  exStyle = (exStyle & (WS_EX_TOPMOST | WS_EX_APPWINDOW)) | FrameExStyle(borderStyle_);
  SetWindowLongPtrW(Handle(), GWL_EXSTYLE, exStyle);
  SetClientSize(client.right, client.bottom);
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TForm::SetBorderStyle(TFormBorderStyle value) {
  if (value == borderStyle_) return;
  const RECT client = ClientRect();
  borderStyle_ = value;
  if (HandleAllocated())
    ApplyFrameStyle();
  else
    SetClientSize(client.right, client.bottom);
}

void TForm::SetBorderIcons(unsigned value) {
  if (value == borderIcons_) return;
  borderIcons_ = value;
  ApplyFrameStyle();
}

void TForm::SetFormStyle(TFormStyle value) {
  formStyle_ = value;
  if (HandleAllocated())
    SetWindowPos(Handle(), value == TFormStyle::fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TForm::SetMenu(TMainMenu* menu) {
  if (menu_ && menu_ != menu) menu_->RemoveFreeNotification(this);
  menu_ = menu;
  if (menu) menu->FreeNotification(this);
  if (HandleAllocated()) ::SetMenu(Handle(), menu ? menu->Handle() : nullptr);
}

void TForm::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation != TOperation::opRemove) return;
  if (AComponent == menu_) menu_ = nullptr;
  if (AComponent == activeControl_) activeControl_ = nullptr;
}

void TForm::SetActiveControl(TWinControl* control) {
  // The form is where the focus rests only while none of its controls can take it.
  if (control == this) control = nullptr;
  if (control == activeControl_) return;
  if (activeControl_) activeControl_->RemoveFreeNotification(this);
  activeControl_ = control;
  if (control) control->FreeNotification(this);
}

void TForm::CenterWindow() {
  RECT area;
  TForm* main = Application().MainForm();
  if (position_ == TPosition::poMainFormCenter && main && main != this && main->HandleAllocated() &&
      IsWindowVisible(main->Handle()) && !IsIconic(main->Handle())) {
    GetWindowRect(main->Handle(), &area);
  } else {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  }
  const int x = area.left + (area.right - area.left - Width()) / 2;
  const int y = area.top + (area.bottom - area.top - Height()) / 2;
  SetBounds(std::max<int>(x, 0), std::max<int>(y, 0), Width(), Height());
}

void TForm::Show() {
  HandleNeeded();
  if (position_ != TPosition::poDesigned) CenterWindow();
  const bool wasVisible = Visible();
  TControl::SetVisible(true);
  if (!wasVisible && OnShow) OnShow(this);
  ShowWindow(Handle(), SW_SHOW);
  BringToFront();
  if (TWinControl* target = FocusTarget()) ::SetFocus(target->Handle());
}

TWinControl* TForm::FocusTarget() {
  if (activeControl_ && activeControl_->CanFocus()) return activeControl_;
  return FirstTabStop(this);
}

TWinControl* TForm::FirstTabStop(TWinControl* area) {
  std::vector<TWinControl*> order;
  CollectTabOrder(area, order);
  for (TWinControl* c : order)
    if (c->TabStop() && c->CanFocus()) return c;
  return nullptr;
}

bool TForm::SelectFirst(TWinControl* Area) {
  TWinControl* first = FirstTabStop(Area ? Area : this);
  if (first) FocusAsTheKeyboardDoes(first);
  return first != nullptr;
}

void TForm::Hide() {
  if (!Visible()) return;
  TControl::SetVisible(false);
  if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
  if (OnHide) OnHide(this);
}

void TForm::BringToFront() {
  if (!HandleAllocated()) return;
  SetWindowPos(Handle(), formStyle_ == TFormStyle::fsStayOnTop ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(Handle());
  SetActiveWindow(Handle());
}

bool TForm::Active() const { return const_cast<TForm*>(this)->HandleAllocated() && GetActiveWindow() == const_cast<TForm*>(this)->Handle(); }

bool TForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TForm::Close() {
  if (!CloseQuery()) return;
  TCloseAction action = TCloseAction::caHide;
  if (OnClose) OnClose(this, action);
  if (action == TCloseAction::caNone) return;
  if (Application().MainForm() == this) {
    Application().Terminate();
  } else if (action == TCloseAction::caMinimize) {
    ShowWindow(Handle(), SW_MINIMIZE);
  } else {
    Hide();
    SetActiveControl(nullptr);
  }
}

void TForm::SelectNext(TWinControl* current, bool forward) {
  std::vector<TWinControl*> order;
  CollectTabOrder(this, order);
  if (order.empty()) return;
  if (!forward) std::reverse(order.begin(), order.end());
  auto at = std::find(order.begin(), order.end(), current);
  const size_t start = at == order.end() ? order.size() - 1 : static_cast<size_t>(at - order.begin());
  for (size_t step = 1; step <= order.size(); ++step) {
    TWinControl* c = order[(start + step) % order.size()];
    if (c->TabStop() && c->CanFocus()) {
      FocusAsTheKeyboardDoes(c);
      return;
    }
  }
}

bool TForm::DialogKey(WORD key, TShiftState shift) {
  if (shift & (ssAlt | ssCtrl)) return false;
  if (key == VK_TAB) {
    SelectNext(activeControl_, !(shift & ssShift));
    return true;
  }
  if (key != VK_RETURN && key != VK_ESCAPE) return false;
  // The focused control has the first say (Return on a button clicks that button).
  if (activeControl_ && activeControl_->Perform(CM_DIALOGKEY, key, 1)) return true;
  if (Broadcast(CM_DIALOGKEY, key) != 0) return true;
  const bool closeBox = (borderIcons_ & biSystemMenu) && borderStyle_ != TFormBorderStyle::bsNone;
  if (key != VK_ESCAPE || !closeBox || Application().MainForm() == this) return false;
  Close();
  return true;
}

bool TForm::DialogChar(wchar_t ch) { return Broadcast(CM_DIALOGCHAR, ch) != 0; }

bool TForm::IsShortCut(WORD key, TShiftState shift) { return menu_ && menu_->IsShortCut(key, shift); }

void TForm::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_CLOSE:
      Close();
      return;
    case WM_COMMAND:
      if (m.LParam == 0 && HIWORD(m.WParam) == 0 && TMenuItem::DispatchCommand(LOWORD(m.WParam))) return;
      break;
    case WM_ACTIVATE:
      if (LOWORD(m.WParam) == WA_INACTIVE) {
        if (OnDeactivate) OnDeactivate(this);
      } else {
        if (activeControl_ && activeControl_->CanFocus() && activeControl_->HandleAllocated())
          ::SetFocus(activeControl_->Handle());
        if (OnActivate) OnActivate(this);
        m.Result = 0;
        return;
      }
      break;
    case WM_SYSCOLORCHANGE:
      Perform(CM_SYSCOLORCHANGE);
      break;
    case WM_SETFOCUS:
      // The system gives an activated form the focus itself; it belongs to a control.
      TCustomControl::WndProc(m);
      if (TWinControl* target = FocusTarget()) ::SetFocus(target->Handle());
      return;
    case WM_SHOWWINDOW:
      // Hidden with its owner (the hidden application window) or by the system: follow it.
      if (!m.WParam && m.LParam) TControl::SetVisible(false);
      break;
    default:
      break;
  }
  TCustomControl::WndProc(m);
}

// ===================================================================== TApplication

LRESULT CALLBACK ApplicationWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  if (Application().CallHooks(m)) return m.Result;
  return DefWindowProcW(window, msg, wParam, lParam);
}

namespace {

THintWindow* NewLayerHintWindow(TComponent* owner) { return new THintWindow(owner); }

// The control whose hint stands for the one under the mouse: the first up the parents with a text.
TControl* HintOwner(TControl* control) {
  while (control && control->Hint().empty()) control = control->Parent();
  return control;
}

// The control of this layer a mouse message is for: the window's own, or its graphic child there.
TControl* MouseMessageTarget(const MSG& msg, POINT& screenPos) {
  screenPos = {GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
  ClientToScreen(msg.hwnd, &screenPos);
  TWinControl* window = nullptr;
  for (HWND w = msg.hwnd; w && !window; w = GetParent(w)) window = TWinControl::FindControl(w);
  if (!window) return nullptr;
  TControl* child = window->ControlAtPos(window->ScreenToClient(screenPos));
  return child ? child : window;
}

}  // namespace

int TApplication::HookMainWindow(TWindowHook Hook) {
  hooks_.emplace_back(++nextHookId_, std::move(Hook));
  return nextHookId_;
}

void TApplication::UnhookMainWindow(int Id) {
  hooks_.erase(std::remove_if(hooks_.begin(), hooks_.end(), [Id](const auto& h) { return h.first == Id; }), hooks_.end());
}

bool TApplication::CallHooks(TMessage& message) {
  // A hook may remove itself or others: only those still registered are asked.
  const auto hooks = hooks_;
  for (const auto& [id, hook] : hooks) {
    if (std::none_of(hooks_.begin(), hooks_.end(), [id = id](const auto& h) { return h.first == id; })) continue;
    try {
      if (hook(message)) return true;
    } catch (...) {
      HandleException(std::current_exception());
    }
  }
  return false;
}

TApplication::TApplication() : TComponent(nullptr), hintWindowClass_(NewLayerHintWindow) {}

TApplication::~TApplication() {
  BeginDestroy();
  while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
  if (handle_) DestroyWindow(handle_);
}

TApplication& Application() {
  static TApplication application;
  return application;
}

void TApplication::Initialize() {
  if (initialized_) return;
  initialized_ = true;
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  OleInitialize(nullptr);
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = ApplicationWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hIcon = ProgramIcons().large;
  wc.hIconSm = ProgramIcons().small;
  wc.lpszClassName = L"OrvantaApplication";
  RegisterClassExW(&wc);
  handle_ = CreateWindowExW(0, wc.lpszClassName, Widen(title_).c_str(), WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            wc.hInstance, nullptr);
  if (!handle_) throw EOSError("Das Anwendungsfenster kann nicht erzeugt werden");
  // Calls that worker threads hand to this thread end in the same error box as the windows'.
  InitGuiThread();
  SetGuiExceptionHook([this](std::exception_ptr error) { HandleException(error); });
}

void TApplication::SetTitle(const std::string& title) {
  title_ = title;
  if (handle_) SetWindowTextW(handle_, Widen(title).c_str());
}

bool TApplication::IsKeyMessage(const MSG& msg) {
  const bool keyDown = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
  if (!keyDown && msg.message != WM_SYSCHAR) return false;
  // The control of the window, or of its nearest ancestor of ours (the edit inside a combo box).
  TWinControl* control = nullptr;
  for (HWND w = msg.hwnd; w && !control; w = GetParent(w)) control = TWinControl::FindControl(w);
  TForm* form = control ? control->ParentForm() : nullptr;
  if (!form || !form->Enabled()) return false;
  if (msg.message == WM_SYSCHAR) return form->DialogChar(static_cast<wchar_t>(msg.wParam));
  const WORD key = static_cast<WORD>(msg.wParam);
  const TShiftState shift = KeyboardShiftState();
  if (form->KeyPreview()) {
    WORD previewed = key;
    if (form->OnKeyDown) form->OnKeyDown(form, previewed, shift);
    if (previewed == 0) return true;
  }
  if (form->IsShortCut(key, shift)) return true;
  if (key != VK_TAB && key != VK_RETURN && key != VK_ESCAPE) return false;
  MSG copy = msg;
  const LRESULT code = SendMessageW(msg.hwnd, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&copy));
  if (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
  if (key == VK_TAB && (code & DLGC_WANTTAB)) return false;
  return form->DialogKey(key, shift);
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  bool handled = false;
  CallGuarded([&] {
    WatchHint(msg);
    handled = IsKeyMessage(msg);
  });
  if (!handled) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg)) WaitMessage();
}

void TApplication::Run() {
  MSG msg;
  bool idled = false;
  while (!terminated_) {
    if (ProcessMessage(msg)) {
      idled = false;
    } else if (!idled) {
      // What the pause posts is handled before the loop waits.
      Idle();
      idled = true;
    } else {
      WaitMessage();
    }
  }
}

void TApplication::Idle() {
  if (OnIdle) CallGuarded(OnIdle);
}

void TApplication::Terminate() {
  if (terminated_) return;
  terminated_ = true;
  PostQuitMessage(0);
}

void TApplication::ResetTerminatedForTesting() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  terminated_ = false;
}

bool TApplication::WaitUntil(const std::function<bool()>& done) {
  while (!done()) {
    if (terminated_) return false;
    HandleMessage();
  }
  return true;
}

// ===================================================================== hints

void TApplication::SetShowHint(bool value) {
  if (!value) {
    CancelHint();
    delete hintWindow_;
    hintWindow_ = nullptr;
  }
  showHint_ = value;
}

void TApplication::SetHintWindowClass(THintWindowClass value) {
  hintWindowClass_ = value ? std::move(value) : THintWindowClass(NewLayerHintWindow);
}

TTimer& TApplication::HintTimer() {
  if (!hintTimer_) {
    hintTimer_ = new TTimer(this);
    hintTimer_->SetEnabled(false);
    hintTimer_->OnTimer = [this](TComponent*) { HintTimerTick(); };
  }
  return *hintTimer_;
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != TOperation::opRemove) return;
  if (AComponent == hintWindow_) hintWindow_ = nullptr;
  if (AComponent == hintTimer_) hintTimer_ = nullptr;
  if (AComponent == hintControl_) {
    hintControl_ = nullptr;
    hintStep_ = THintStep::None;
  }
}

void TApplication::WatchHint(const MSG& msg) {
  switch (msg.message) {
    case WM_MOUSEMOVE: {
      POINT screenPos;
      TControl* control = MouseMessageTarget(msg, screenPos);
      HintMouseMessage(control, screenPos);
      break;
    }
    case WM_MOUSELEAVE: {
      // The mouse may have left for a window that is not ours.
      POINT screenPos;
      GetCursorPos(&screenPos);
      if (HintOwner(FindDragTarget(screenPos, true)) != hintControl_) CancelHint();
      break;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      CancelHint();
      break;
    default:
      break;
  }
}

void TApplication::HintMouseMessage(TControl* Control, POINT ScreenPos) {
  TControl* owner = HintOwner(Control);
  if (!showHint_ || !owner || !owner->ShowHint()) {
    CancelHint();
    return;
  }
  const bool showing = hintWindow_ && hintWindow_->Visible();
  if (owner != hintControl_) {
    HideHintWindow();
    SetHintControl(owner);
    StartHintTimer(showing ? hintShortPause_ : hintPause_, THintStep::Show);
    return;
  }
  const POINT p = owner->ScreenToClient(ScreenPos);
  if (showing && !PtInRect(&hintCursorRect_, p)) CancelHint();
}

void TApplication::CancelHint() {
  if (hintTimer_) hintTimer_->SetEnabled(false);
  hintStep_ = THintStep::None;
  HideHintWindow();
  SetHintControl(nullptr);
}

void TApplication::SetHintControl(TControl* control) {
  if (control == hintControl_) return;
  if (hintControl_) hintControl_->RemoveFreeNotification(this);
  hintControl_ = control;
  if (control) control->FreeNotification(this);
}

void TApplication::StartHintTimer(unsigned pause, THintStep step) {
  TTimer& timer = HintTimer();
  timer.SetEnabled(false);
  timer.SetInterval(std::max(1u, pause));
  hintStep_ = step;
  timer.SetEnabled(true);
}

void TApplication::HintTimerTick() {
  HintTimer().SetEnabled(false);
  const THintStep step = std::exchange(hintStep_, THintStep::None);
  if (step == THintStep::Show) ShowHintNow();
  if (step == THintStep::Hide) HideHintWindow();
}

void TApplication::ShowHintNow() {
  if (!hintControl_ || !showHint_) return;
  POINT cursor;
  GetCursorPos(&cursor);
  THintInfo info;
  info.HintControl = hintControl_;
  info.CursorPos = hintControl_->ScreenToClient(cursor);
  // Below the cursor's picture.
  info.HintPos = {cursor.x, cursor.y + GetSystemMetrics(SM_CYCURSOR)};
  info.HintMaxWidth = GetSystemMetrics(SM_CXSCREEN);
  info.CursorRect = hintControl_->ClientRect();
  info.HideTimeout = hintHidePause_;
  info.HintStr = hintControl_->Hint();
  bool canShow = hintControl_->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
  if (canShow && OnShowHint) OnShowHint(info.HintStr, canShow, info);
  if (!canShow || info.HintStr.empty() || !hintControl_) return;
  if (!hintWindow_) hintWindow_ = hintWindowClass_(this);
  hintWindow_->SetColor(info.HintColor);
  RECT r = hintWindow_->CalcHintRect(info.HintMaxWidth, info.HintStr);
  OffsetRect(&r, info.HintPos.x, info.HintPos.y);
  hintWindow_->ActivateHint(r, info.HintStr);
  hintCursorRect_ = info.CursorRect;
  if (info.HideTimeout > 0) StartHintTimer(info.HideTimeout, THintStep::Hide);
}

void TApplication::HideHintWindow() {
  if (hintWindow_) hintWindow_->Hide();
}

std::string ExceptionMessage(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "Unbekannter Fehler";
  }
}

void TApplication::HandleException(std::exception_ptr error) {
  // Nothing may leave here: the caller is a frame of Windows.
  try {
    if (OnException)
      OnException(error);
    else
      ShowException(ExceptionMessage(error));
  } catch (...) {
    OutputDebugStringW(L"Orvanta: exception in the error handler\n");
  }
}

void TApplication::ShowException(const std::string& message) {
  MessageRequest box;
  box.text = message;
  box.caption = title_;
  box.icon = PromptIcon::Error;
  Prompts().Message(box);
}

void CallGuarded(const std::function<void()>& f) {
  try {
    f();
  } catch (...) {
    Application().HandleException(std::current_exception());
  }
}

}  // namespace classlib
