// Menus: items with captions, check marks, short cuts and click events, in a form's menu bar or a
// popup menu. A popup's own modal loop goes through a seam, so tests choose an item instead.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "classlib/component.h"
#include "classlib/controls.h"

namespace classlib {

// A key with the shift flags in the high word, as menus store short cuts.
using TShortCut = unsigned;
constexpr TShortCut ShortCut(WORD key, TShiftState shift = 0) { return key | (shift << 16); }

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  bool Checked() const { return checked_; }
  // With RadioItem, checking one item unchecks the others of its GroupIndex in the same menu.
  void SetChecked(bool value);
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool value) { radioItem_ = value; }
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int value) { groupIndex_ = value; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut value) { shortCut_ = value; }
  bool Default() const { return default_; }
  void SetDefault(bool value);

  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const { return items_[static_cast<size_t>(index)]; }
  TMenuItem* Parent() const { return parent_; }
  // Appends an item (owned by this item's owner) and returns it; "-" makes a separator.
  TMenuItem* Add(const std::string& caption, TNotifyEvent onClick = nullptr);
  void Add(TMenuItem* item);
  void Remove(TMenuItem* item);
  void Clear();
  int IndexOf(const TMenuItem* item) const;

  TNotifyEvent OnClick;
  virtual void Click();

  // Runs the click of the item with this command id; false when there is none.
  static bool DispatchCommand(UINT id);
  UINT Command() const { return command_; }
  // The system menu of this item's children, built on demand.
  HMENU Handle();
  TMenuItem* Find(TShortCut shortCut);

 private:
  void Rebuild();
  void Changed();

  std::string caption_;
  bool checked_ = false;
  bool radioItem_ = false;
  int groupIndex_ = 0;
  bool enabled_ = true;
  bool visible_ = true;
  bool default_ = false;
  TShortCut shortCut_ = 0;
  std::vector<TMenuItem*> items_;
  TMenuItem* parent_ = nullptr;
  UINT command_ = 0;
  HMENU handle_ = nullptr;
  bool popup_ = false;
  friend class TMenu;
};

class TMenu : public TComponent {
 public:
  explicit TMenu(TComponent* AOwner, bool popup);
  TMenuItem* Items() const { return items_; }
  HMENU Handle() const { return items_->Handle(); }
  bool IsShortCut(WORD key, TShiftState shift);

 private:
  TMenuItem* items_;
};

class TMainMenu : public TMenu {
 public:
  explicit TMainMenu(TComponent* AOwner) : TMenu(AOwner, false) {}
};

class TPopupMenu : public TMenu {
 public:
  explicit TPopupMenu(TComponent* AOwner) : TMenu(AOwner, true) {}
  // Shows the menu at a screen point and runs the chosen item's click.
  void Popup(int x, int y);
  TNotifyEvent OnPopup;
  // The component that opened the menu last.
  TComponent* PopupComponent = nullptr;
};

// Replaces the popup menus' modal loop: the function returns the chosen item or null.
void SetPopupChooserForTesting(std::function<TMenuItem*(TPopupMenu&, int x, int y)> chooser);

}  // namespace classlib
