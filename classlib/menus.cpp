#include "classlib/menus.h"

#include <algorithm>
#include <map>

#include "classlib/forms.h"
#include "classlib/wide.h"

namespace classlib {

namespace {

std::map<UINT, TMenuItem*>& Commands() {
  // Never destroyed: menus of forms that the application frees at exit may go after it.
  static auto* commands = new std::map<UINT, TMenuItem*>;
  return *commands;
}

UINT NextCommand() {
  static UINT next = 0x100;
  return next++;
}

std::function<TMenuItem*(TPopupMenu&, int, int)>& PopupChooser() {
  static std::function<TMenuItem*(TPopupMenu&, int, int)> chooser;
  return chooser;
}

// "Name\tF1" shows the short cut beside the caption.
std::string ShortCutText(TShortCut shortCut) {
  const WORD key = shortCut & 0xFFFF;
  std::string text;
  if ((shortCut >> 16) & ssCtrl) text += "Strg+";
  if ((shortCut >> 16) & ssShift) text += "Umsch+";
  if ((shortCut >> 16) & ssAlt) text += "Alt+";
  if (key >= VK_F1 && key <= VK_F24) return text + "F" + std::to_string(key - VK_F1 + 1);
  if (key == VK_DELETE) return text + "Entf";
  return text + static_cast<char>(key);
}

}  // namespace

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), command_(NextCommand()) {
  Commands()[command_] = this;
}

TMenuItem::~TMenuItem() {
  BeginDestroy();
  Commands().erase(command_);
  for (TMenuItem* child : items_) child->parent_ = nullptr;
  items_.clear();
  if (parent_) parent_->Remove(this);
  if (handle_) DestroyMenu(handle_);
}

void TMenuItem::SetCaption(const std::string& value) {
  caption_ = value;
  Changed();
}

void TMenuItem::SetChecked(bool value) {
  if (value && radioItem_ && parent_)
    for (TMenuItem* sibling : parent_->items_)
      if (sibling != this && sibling->radioItem_ && sibling->groupIndex_ == groupIndex_) sibling->checked_ = false;
  checked_ = value;
  Changed();
}

void TMenuItem::SetEnabled(bool value) {
  enabled_ = value;
  Changed();
}

void TMenuItem::SetVisible(bool value) {
  visible_ = value;
  Changed();
}

void TMenuItem::SetDefault(bool value) {
  default_ = value;
  Changed();
}

TMenuItem* TMenuItem::Add(const std::string& caption, TNotifyEvent onClick) {
  auto* item = new TMenuItem(Owner() ? Owner() : this);
  item->caption_ = caption;
  item->OnClick = std::move(onClick);
  Add(item);
  return item;
}

void TMenuItem::Add(TMenuItem* item) {
  if (item->parent_) item->parent_->Remove(item);
  items_.push_back(item);
  item->parent_ = this;
  Rebuild();
}

void TMenuItem::Remove(TMenuItem* item) {
  items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
  item->parent_ = nullptr;
  if (!Destroying()) Rebuild();
}

void TMenuItem::Clear() {
  while (!items_.empty()) delete items_.back();
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::Click() {
  if (enabled_ && OnClick) OnClick(this);
}

bool TMenuItem::DispatchCommand(UINT id) {
  auto it = Commands().find(id);
  if (it == Commands().end()) return false;
  it->second->Click();
  return true;
}

HMENU TMenuItem::Handle() {
  if (!handle_) {
    handle_ = (popup_ || parent_) ? CreatePopupMenu() : CreateMenu();
    Rebuild();
  }
  return handle_;
}

void TMenuItem::Changed() {
  if (parent_) parent_->Rebuild();
}

// The system menu mirrors the items: emptied (keeping the submenus) and filled again.
void TMenuItem::Rebuild() {
  if (!handle_) return;
  while (GetMenuItemCount(handle_) > 0) RemoveMenu(handle_, 0, MF_BYPOSITION);
  for (TMenuItem* item : items_) {
    if (!item->visible_) continue;
    if (item->caption_ == "-") {
      AppendMenuW(handle_, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    std::string text = item->caption_;
    if (item->shortCut_) text += "\t" + ShortCutText(item->shortCut_);
    const std::wstring wide = Widen(text);
    UINT flags = MF_STRING | (item->checked_ ? MF_CHECKED : 0) | (item->enabled_ ? 0 : MF_GRAYED);
    UINT_PTR id = item->command_;
    if (!item->items_.empty()) {
      flags |= MF_POPUP;
      id = reinterpret_cast<UINT_PTR>(item->Handle());
    }
    AppendMenuW(handle_, flags, id, wide.c_str());
    if (item->radioItem_ && item->checked_) {
      const int position = GetMenuItemCount(handle_) - 1;
      CheckMenuRadioItem(handle_, position, position, position, MF_BYPOSITION);
    }
    if (item->default_) SetMenuDefaultItem(handle_, item->command_, FALSE);
  }
  if (!parent_)
    if (auto* menu = dynamic_cast<TMenu*>(Owner()))
      if (auto* form = dynamic_cast<TForm*>(menu->Owner()))
        if (form->HandleAllocated() && form->Menu() == menu) DrawMenuBar(form->Handle());
}

TMenuItem* TMenuItem::Find(TShortCut shortCut) {
  for (TMenuItem* item : items_) {
    if (item->shortCut_ == shortCut && item->enabled_ && item->visible_) return item;
    if (TMenuItem* found = item->Find(shortCut)) return found;
  }
  return nullptr;
}

// ===================================================================== TMenu

TMenu::TMenu(TComponent* AOwner, bool popup) : TComponent(AOwner), items_(new TMenuItem(this)) {
  items_->popup_ = popup;
}

bool TMenu::IsShortCut(WORD key, TShiftState shift) {
  TMenuItem* item = items_->Find(ShortCut(key, shift & (ssShift | ssCtrl | ssAlt)));
  if (!item) return false;
  item->Click();
  return true;
}

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup) OnPopup(this);
  TMenuItem* chosen = nullptr;
  if (PopupChooser()) {
    chosen = PopupChooser()(*this, x, y);
  } else {
    HWND owner = Application().Handle();
    // The menu closes when the user clicks elsewhere only while its owner is in front.
    SetForegroundWindow(owner);
    const UINT id = TrackPopupMenu(Handle(), TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr);
    PostMessageW(owner, WM_NULL, 0, 0);
    auto it = Commands().find(id);
    if (it != Commands().end()) chosen = it->second;
  }
  if (chosen) chosen->Click();
}

void SetPopupChooserForTesting(std::function<TMenuItem*(TPopupMenu&, int x, int y)> chooser) {
  PopupChooser() = std::move(chooser);
}

}  // namespace classlib
