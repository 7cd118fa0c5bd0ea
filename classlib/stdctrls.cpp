#include "classlib/stdctrls.h"

#include <commctrl.h>

#include <algorithm>
#include <cwctype>

#include "classlib/forms.h"
#include "classlib/wide.h"

namespace classlib {

bool IsAccel(wchar_t ch, const std::string& caption) {
  const std::wstring text = Widen(caption);
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != L'&') continue;
    if (text[i + 1] == L'&') {
      ++i;
      continue;
    }
    return std::towupper(text[i + 1]) == std::towupper(ch);
  }
  return false;
}

bool IsButtonDialogKey(const TMessage& m, bool isDefault, bool isCancel) {
  // LParam 1: the key reached the focused control first.
  const bool focusedReturn = m.WParam == VK_RETURN && m.LParam == 1;
  return focusedReturn || (m.WParam == VK_RETURN && isDefault) || (m.WParam == VK_ESCAPE && isCancel);
}

// ===================================================================== TLabel

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetControlStyle(ControlStyle() | csReplicatable);
  SetBounds(0, 0, 65, 13);
}

void TLabel::SetAlignment(TAlignment value) {
  alignment_ = value;
  Invalidate();
}

void TLabel::SetAutoSize(bool value) {
  autoSize_ = value;
  AdjustBounds();
}

void TLabel::SetWordWrap(bool value) {
  wordWrap_ = value;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetTransparent(bool value) {
  transparent_ = value;
  Invalidate();
}

void TLabel::SetLayout(TTextLayout value) {
  layout_ = value;
  Invalidate();
}

void TLabel::SetShowAccelChar(bool value) {
  showAccelChar_ = value;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetEndEllipsis(bool value) {
  endEllipsis_ = value;
  Invalidate();
}

UINT TLabel::TextFlags() const {
  UINT flags = DT_EXPANDTABS;
  if (alignment_ == TAlignment::taCenter) flags |= DT_CENTER;
  if (alignment_ == TAlignment::taRightJustify) flags |= DT_RIGHT;
  if (wordWrap_) flags |= DT_WORDBREAK;
  if (!showAccelChar_) flags |= DT_NOPREFIX;
  if (endEllipsis_ && !wordWrap_) flags |= DT_END_ELLIPSIS | DT_SINGLELINE;
  return flags;
}

void TLabel::AdjustBounds() {
  if (!autoSize_ || Loading()) return;
  HDC screen = GetDC(nullptr);
  {
    TCanvas canvas(screen);
    canvas.Font().Assign(Font());
    RECT r = {0, 0, wordWrap_ ? Width() : 0, 0};
    const std::string text = Caption().empty() ? " " : Caption();
    canvas.DrawText(text, r, (TextFlags() & ~static_cast<UINT>(DT_END_ELLIPSIS | DT_SINGLELINE)) | DT_CALCRECT);
    int left = Left();
    const int width = wordWrap_ ? Width() : r.right;
    if (!wordWrap_ && alignment_ == TAlignment::taRightJustify) left += Width() - width;
    if (!wordWrap_ && alignment_ == TAlignment::taCenter) left += (Width() - width) / 2;
    SetBounds(left, Top(), width, r.bottom);
  }
  ReleaseDC(nullptr, screen);
}

void TLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TLabel::WndProc(TMessage& m) {
  if (m.Msg == CM_TEXTCHANGED || m.Msg == CM_FONTCHANGED) AdjustBounds();
  TGraphicControl::WndProc(m);
}

void TLabel::Paint() {
  TCanvas& canvas = Canvas();
  RECT r = ClientRect();
  if (!transparent_) {
    canvas.Brush().SetColor(Color());
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    canvas.FillRect(r);
  }
  canvas.Brush().SetStyle(TBrushStyle::bsClear);
  canvas.Font().Assign(Font());
  if (!Enabled()) canvas.Font().SetColor(clGrayText);
  if (layout_ != TTextLayout::tlTop) {
    RECT measured = r;
    canvas.DrawText(Caption(), measured, TextFlags() | DT_CALCRECT);
    const int free = (r.bottom - r.top) - (measured.bottom - measured.top);
    r.top += layout_ == TTextLayout::tlCenter ? free / 2 : free;
  }
  canvas.DrawText(Caption(), r, TextFlags());
}

// ===================================================================== TImage

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetControlStyle(ControlStyle() | csReplicatable);
  SetBounds(0, 0, 105, 105);
}

void TImage::PictureChanged() { Invalidate(); }

void TImage::SetStretch(bool value) {
  stretch_ = value;
  Invalidate();
}

void TImage::SetCenter(bool value) {
  center_ = value;
  Invalidate();
}

void TImage::Paint() {
  if (picture_.Empty()) return;
  if (stretch_) {
    Canvas().StretchDraw(ClientRect(), picture_);
  } else if (center_) {
    Canvas().Draw((Width() - picture_.Width()) / 2, (Height() - picture_.Height()) / 2, picture_);
  } else {
    Canvas().Draw(0, 0, picture_);
  }
}

// ===================================================================== buttons

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {
  // The system's button reports its own clicks.
  SetControlStyle(ControlStyle() & ~csClickEvents);
  SetTabStop(true);
}

void TButtonControl::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = L"BUTTON";
}

void TButtonControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND:
      if (HIWORD(m.WParam) == BN_CLICKED) Clicked();
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(static_cast<wchar_t>(m.WParam), Caption()) && Showing() && CanFocus()) {
        SetFocus();
        Clicked();
        m.Result = 1;
      }
      return;
    default:
      TWinControl::WndProc(m);
  }
}

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 75, 25); }

void TButton::CreateParams(TCreateParams& p) {
  TButtonControl::CreateParams(p);
  p.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefault(bool value) {
  default_ = value;
  if (HandleAllocated()) SendMessageW(Handle(), BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::WndProc(TMessage& m) {
  if (m.Msg == CM_DIALOGKEY) {
    if (IsButtonDialogKey(m, default_, cancel_) && Showing() && Enabled()) {
      Clicked();
      m.Result = 1;
    }
    return;
  }
  TButtonControl::WndProc(m);
}

TCheckBox::TCheckBox(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 97, 17); }

void TCheckBox::CreateParams(TCreateParams& p) {
  TButtonControl::CreateParams(p);
  p.Style |= BS_AUTOCHECKBOX | BS_MULTILINE;
}

void TCheckBox::CreateWnd() {
  TButtonControl::CreateWnd();
  SendMessageW(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TCheckBox::Checked() const { return checked_; }

void TCheckBox::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  if (HandleAllocated()) SendMessageW(Handle(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
  if (!Loading()) Click();
}

void TCheckBox::Clicked() {
  checked_ = SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
  Click();
}

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 113, 17); }

void TRadioButton::CreateParams(TCreateParams& p) {
  TButtonControl::CreateParams(p);
  p.Style |= BS_RADIOBUTTON | BS_MULTILINE;
}

void TRadioButton::CreateWnd() {
  TButtonControl::CreateWnd();
  ShowCheck();
}

void TRadioButton::ShowCheck() {
  if (HandleAllocated()) SendMessageW(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::vector<TRadioButton*> TRadioButton::Group() const {
  std::vector<TRadioButton*> group;
  if (TWinControl* parent = Parent()) {
    for (int i = 0; i < parent->ControlCount(); ++i)
      if (auto* radio = dynamic_cast<TRadioButton*>(parent->Controls(i))) group.push_back(radio);
  } else {
    group.push_back(const_cast<TRadioButton*>(this));
  }
  return group;
}

bool TRadioButton::TabStop() const {
  if (!TButtonControl::TabStop()) return false;
  if (checked_) return true;
  // An unchecked one while Tab cannot reach a checked one of its group.
  const std::vector<TRadioButton*> group = Group();
  return std::none_of(group.begin(), group.end(), [](const TRadioButton* r) { return r->checked_ && r->CanFocus(); });
}

void TRadioButton::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  ShowCheck();
  if (value)
    for (TRadioButton* other : Group())
      if (other != this) other->SetChecked(false);
  if (value && !Loading()) Click();
}

void TRadioButton::KeyDown(WORD& Key, TShiftState Shift) {
  TButtonControl::KeyDown(Key, Shift);
  const bool back = Key == VK_UP || Key == VK_LEFT;
  if (!back && Key != VK_DOWN && Key != VK_RIGHT) return;
  std::vector<TRadioButton*> group = Group();
  if (back) std::reverse(group.begin(), group.end());
  const size_t at = static_cast<size_t>(std::find(group.begin(), group.end(), this) - group.begin());
  for (size_t step = 1; step < group.size(); ++step) {
    TRadioButton* next = group[(at + step) % group.size()];
    if (!next->CanFocus()) continue;
    next->SetFocus();
    next->SetChecked(true);
    break;
  }
  Key = 0;
}

void TRadioButton::Clicked() {
  if (checked_) {
    Click();
    return;
  }
  SetChecked(true);
}

// ===================================================================== TEdit

TEdit::TEdit(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle(ControlStyle() & ~csClickEvents);
  SetColor(clWindow);
  SetTabStop(true);
  SetBounds(0, 0, 121, 21);
}

void TEdit::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = L"EDIT";
  p.Style |= ES_AUTOHSCROLL;
  if (passwordChar_) p.Style |= ES_PASSWORD;
  if (readOnly_) p.Style |= ES_READONLY;
  p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TEdit::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
  if (passwordChar_) SendMessageW(Handle(), EM_SETPASSWORDCHAR, passwordChar_, 0);
}

void TEdit::SetMaxLength(int value) {
  maxLength_ = value;
  if (HandleAllocated()) SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(value), 0);
}

void TEdit::SetReadOnly(bool value) {
  readOnly_ = value;
  if (HandleAllocated()) SendMessageW(Handle(), EM_SETREADONLY, value, 0);
}

void TEdit::SetPasswordChar(wchar_t value) {
  passwordChar_ = value;
  if (HandleAllocated()) {
    SendMessageW(Handle(), EM_SETPASSWORDCHAR, value, 0);
    Invalidate();
  }
}

void TEdit::SelectAll() {
  if (HandleAllocated()) SendMessageW(Handle(), EM_SETSEL, 0, -1);
}

void TEdit::Change() {
  if (OnChange) OnChange(this);
}

void TEdit::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND) {
    if (HIWORD(m.WParam) == EN_CHANGE && !Loading()) Change();
    return;
  }
  if (m.Msg == CM_TEXTCHANGED && !HandleAllocated() && !Loading()) Change();
  TWinControl::WndProc(m);
}

// ===================================================================== TMaskEdit

namespace {

constexpr char kMaskBlank = '_';

bool IsDigitChar(wchar_t c) { return c >= L'0' && c <= L'9'; }

std::wstring ClipboardText(HWND owner) {
  std::wstring text;
  if (!OpenClipboard(owner)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

}  // namespace

TMaskEdit::TMaskEdit(TComponent* AOwner) : TEdit(AOwner) {}

void TMaskEdit::SetEditMask(const std::string& value) {
  mask_ = value;
  SetMaxLength(static_cast<int>(mask_.size()));
  SetText(Fitted(TControl::Text()));
}

bool TMaskEdit::IsDigitPosition(size_t position) const { return position < mask_.size() && mask_[position] == '0'; }

std::string TMaskEdit::Fitted(const std::string& text) const {
  if (mask_.empty()) return text;
  std::string fitted = mask_;
  for (size_t i = 0; i < mask_.size(); ++i) {
    if (!IsDigitPosition(i)) continue;
    const bool digit = i < text.size() && IsDigitChar(static_cast<unsigned char>(text[i]));
    fitted[i] = digit ? text[i] : kMaskBlank;
  }
  return fitted;
}

bool TMaskEdit::IsComplete() const {
  const std::string text = Text();
  if (text.size() != mask_.size()) return false;
  for (size_t i = 0; i < mask_.size(); ++i)
    if (IsDigitPosition(i) && !IsDigitChar(static_cast<unsigned char>(text[i]))) return false;
  return true;
}

void TMaskEdit::CreateWnd() {
  TEdit::CreateWnd();
  SetWindowTextW(Handle(), Widen(Fitted(TControl::Text())).c_str());
}

int TMaskEdit::Caret() {
  DWORD start = 0;
  if (HandleAllocated()) SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  return static_cast<int>(start);
}

void TMaskEdit::SetCaret(int position) {
  if (HandleAllocated()) SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(position), position);
}

void TMaskEdit::TypeDigits(const std::wstring& typed) {
  std::string text = Fitted(Text());
  size_t at = static_cast<size_t>(Caret());
  for (wchar_t c : typed) {
    if (!IsDigitChar(c)) continue;
    while (at < mask_.size() && !IsDigitPosition(at)) ++at;
    if (at >= mask_.size()) break;
    text[at++] = static_cast<char>(c);
  }
  while (at < mask_.size() && !IsDigitPosition(at)) ++at;
  SetText(text);
  SetCaret(static_cast<int>(at));
}

void TMaskEdit::ClearBefore(int position) {
  std::string text = Fitted(Text());
  int at = position - 1;
  while (at >= 0 && !IsDigitPosition(static_cast<size_t>(at))) --at;
  if (at < 0) return;
  text[static_cast<size_t>(at)] = kMaskBlank;
  SetText(text);
  SetCaret(at);
}

void TMaskEdit::WndProc(TMessage& m) {
  if (mask_.empty()) {
    TEdit::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case CM_TEXTCHANGED: {
      const std::string fitted = Fitted(TControl::Text());
      if (fitted != TControl::Text()) {
        SetText(fitted);
        return;
      }
      break;
    }
    case WM_CHAR: {
      wchar_t key = static_cast<wchar_t>(m.WParam);
      KeyPress(key);
      if (key == VK_BACK) ClearBefore(Caret());
      else if (key == 0x16) TypeDigits(ClipboardText(Handle()));  // Ctrl+V
      else if (key == 0x18) DefSubclassProc(Handle(), WM_COPY, 0, 0);  // Ctrl+X only copies
      else if (IsDigitChar(key)) TypeDigits(std::wstring(1, key));
      else if (key == 0x03 || key == 0x01) DefaultHandler(m);  // Ctrl+C, Ctrl+A
      return;
    }
    case WM_KEYDOWN: {
      const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
      if (m.WParam == VK_DELETE && !shift) {
        WORD key = VK_DELETE;
        KeyDown(key, KeyboardShiftState());
        if (key == 0) return;
        const int caret = Caret();
        int at = caret;
        while (at < static_cast<int>(mask_.size()) && !IsDigitPosition(static_cast<size_t>(at))) ++at;
        if (at < static_cast<int>(mask_.size())) {
          std::string text = Fitted(Text());
          text[static_cast<size_t>(at)] = kMaskBlank;
          SetText(text);
          SetCaret(caret);
        }
        return;
      }
      if (shift && (m.WParam == VK_INSERT || m.WParam == VK_DELETE)) {
        if (m.WParam == VK_INSERT) TypeDigits(ClipboardText(Handle()));
        else DefSubclassProc(Handle(), WM_COPY, 0, 0);
        return;
      }
      break;
    }
    case WM_PASTE:
      TypeDigits(ClipboardText(Handle()));
      return;
    case WM_CUT:
      DefSubclassProc(Handle(), WM_COPY, 0, 0);
      return;
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
      return;
    default:
      break;
  }
  TEdit::WndProc(m);
}

// ===================================================================== TComboBox

int TComboBoxItems::Add(const std::string& text) {
  list_.Add(text);
  if (owner_.HandleAllocated()) SendMessageW(owner_.Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
  return list_.Count() - 1;
}

void TComboBoxItems::Insert(int index, const std::string& text) {
  list_.Insert(index, text);
  if (owner_.HandleAllocated())
    SendMessageW(owner_.Handle(), CB_INSERTSTRING, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

void TComboBoxItems::Delete(int index) {
  list_.Delete(index);
  if (owner_.HandleAllocated()) SendMessageW(owner_.Handle(), CB_DELETESTRING, static_cast<WPARAM>(index), 0);
  if (owner_.itemIndex_ >= list_.Count()) owner_.itemIndex_ = -1;
}

void TComboBoxItems::Clear() {
  list_.Clear();
  owner_.itemIndex_ = -1;
  if (owner_.HandleAllocated()) SendMessageW(owner_.Handle(), CB_RESETCONTENT, 0, 0);
}

void TComboBoxItems::Assign(const TStringList& list) {
  Clear();
  for (const std::string& s : list) Add(s);
}

TComboBox::TComboBox(TComponent* AOwner) : TWinControl(AOwner), items_(*this) {
  SetControlStyle(ControlStyle() & ~csClickEvents);
  SetColor(clWindow);
  SetTabStop(true);
  SetBounds(0, 0, 145, 21);
}

// The window's height takes the dropped list: DropDownCount items.
int TComboBox::DroppedHeight() const {
  return Height() + 2 + std::max(1, dropDownCount_) * (itemHeight_ > 0 ? itemHeight_ : 16);
}

void TComboBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = L"COMBOBOX";
  p.Style |= WS_VSCROLL | CBS_AUTOHSCROLL |
             (style_ == TComboBoxStyle::csDropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN);
  p.Height = DroppedHeight();
}

int TComboBox::ItemHeight() const {
  auto* self = const_cast<TComboBox*>(this);
  if (self->HandleAllocated()) return static_cast<int>(SendMessageW(self->Handle(), CB_GETITEMHEIGHT, 0, 0));
  return itemHeight_;
}

void TComboBox::SetItemHeight(int value) {
  if (value < 1) return;
  itemHeight_ = value;
  if (!HandleAllocated()) return;
  ApplyItemHeight();
  // The window's height for the dropped list follows.
  SetBounds(Left(), Top(), Width(), Height());
}

void TComboBox::ApplyItemHeight() {
  if (itemHeight_ < 1) return;
  // Straight to the list: Wine's combo box passes the height on only for owner-drawn items.
  COMBOBOXINFO info = {};
  info.cbSize = sizeof info;
  if (GetComboBoxInfo(Handle(), &info)) SendMessageW(info.hwndList, LB_SETITEMHEIGHT, 0, itemHeight_);
}

void TComboBox::FillWindow() {
  ApplyItemHeight();
  SendMessageW(Handle(), CB_RESETCONTENT, 0, 0);
  for (const std::string& s : items_.List())
    SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(s).c_str()));
  SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
  if (itemIndex_ < 0 && style_ == TComboBoxStyle::csDropDown) SetWindowTextW(Handle(), Widen(TControl::Text()).c_str());
}

void TComboBox::CreateWnd() {
  TWinControl::CreateWnd();
  FillWindow();
}

void TComboBox::DestroyWnd() {
  itemIndex_ = ItemIndex();
  TWinControl::DestroyWnd();
}

void TComboBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (HandleAllocated())
    SetWindowPos(Handle(), nullptr, 0, 0, AWidth, DroppedHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TComboBox::SetStyle(TComboBoxStyle value) {
  if (value == style_) return;
  style_ = value;
  RecreateWnd();
}

int TComboBox::ItemIndex() const {
  if (const_cast<TComboBox*>(this)->HandleAllocated())
    return static_cast<int>(SendMessageW(const_cast<TComboBox*>(this)->Handle(), CB_GETCURSEL, 0, 0));
  return itemIndex_;
}

void TComboBox::SetItemIndex(int value) {
  if (value < -1 || value >= items_.Count()) value = -1;
  itemIndex_ = value;
  if (HandleAllocated()) SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(value), 0);
}

std::string TComboBox::Text() const {
  if (style_ == TComboBoxStyle::csDropDownList) {
    const int index = ItemIndex();
    return index >= 0 && index < items_.Count() ? items_[index] : std::string();
  }
  return TWinControl::Text();
}

void TComboBox::Change() {
  if (OnChange) OnChange(this);
}

void TComboBox::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND) {
    const WORD code = HIWORD(m.WParam);
    if (code == CBN_SELCHANGE) itemIndex_ = ItemIndex();
    if (code == CBN_SELCHANGE || code == CBN_EDITCHANGE) Change();
    return;
  }
  TWinControl::WndProc(m);
  // A new font sets the list's items to its own height.
  if (m.Msg == CM_FONTCHANGED && HandleAllocated()) ApplyItemHeight();
}

// ===================================================================== TPanel

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(ControlStyle() | csClickEvents | csCaptureMouse | csDoubleClicks);
  SetBounds(0, 0, 185, 41);
}

int TPanel::BevelExtent() const {
  return (bevelOuter_ != TBevelCut::bvNone ? bevelWidth_ : 0) + (bevelInner_ != TBevelCut::bvNone ? bevelWidth_ : 0);
}

void TPanel::SetBevelOuter(TBevelCut value) {
  bevelOuter_ = value;
  Realign();
  Invalidate();
}

void TPanel::SetBevelInner(TBevelCut value) {
  bevelInner_ = value;
  Realign();
  Invalidate();
}

void TPanel::SetBevelWidth(int value) {
  bevelWidth_ = std::max(1, value);
  Realign();
  Invalidate();
}

void TPanel::SetAlignment(TAlignment value) {
  alignment_ = value;
  Invalidate();
}

void TPanel::AdjustClientRect(RECT& r) {
  TCustomControl::AdjustClientRect(r);
  InflateRect(&r, -BevelExtent(), -BevelExtent());
}

void TPanel::Paint() {
  TCustomControl::Paint();
  TCanvas& canvas = Canvas();
  RECT r = ClientRect();
  const auto bevel = [&](TBevelCut cut) {
    if (cut == TBevelCut::bvNone) return;
    for (int i = 0; i < bevelWidth_; ++i) {
      DrawEdge(canvas.Handle(), &r, cut == TBevelCut::bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
      InflateRect(&r, -1, -1);
    }
  };
  bevel(bevelOuter_);
  InflateRect(&r, -BorderWidth(), -BorderWidth());
  bevel(bevelInner_);
  if (Caption().empty()) return;
  canvas.Brush().SetStyle(TBrushStyle::bsClear);
  canvas.Font().Assign(Font());
  UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
  if (alignment_ == TAlignment::taCenter) flags |= DT_CENTER;
  if (alignment_ == TAlignment::taRightJustify) flags |= DT_RIGHT;
  canvas.DrawText(Caption(), r, flags);
}

}  // namespace classlib
