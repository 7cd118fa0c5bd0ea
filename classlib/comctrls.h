// Thin controls over the common controls: the report list view, the tab strip, the progress bar
// and the up-down buttons. Each object keeps its model (items, tabs, values),
// so its window can be created again without loss.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/controls.h"
#include "classlib/stringlist.h"

struct tagNMLVCUSTOMDRAW;
struct tagLVITEMW;

namespace classlib {

class TListView;
class TListItems;

class TListItem {
 public:
  TListItem(TListItems& owner) : owner_(owner) {}

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  int SubItemCount() const { return static_cast<int>(subItems_.size()); }
  // Text of column index + 1; empty past the end.
  std::string SubItem(int index) const;
  void SetSubItem(int index, const std::string& value);
  void AddSubItem(const std::string& value) { SetSubItem(SubItemCount(), value); }
  // Free for the application's use (an entry's index, say).
  std::intptr_t Data = 0;
  bool Selected() const;
  void SetSelected(bool value);
  int Index() const;

 private:
  friend class TListItems;
  friend class TListView;
  TListItems& owner_;
  std::string caption_;
  std::vector<std::string> subItems_;
  bool selected_ = false;
};

class TListItems {
 public:
  explicit TListItems(TListView& view) : view_(view) {}
  int Count() const { return static_cast<int>(items_.size()); }
  TListItem* operator[](int index) const { return items_.at(static_cast<size_t>(index)).get(); }
  TListItem* Add();
  void Delete(int index);
  void Clear();
  // Suspends the window's redrawing between the two.
  void BeginUpdate();
  void EndUpdate();

 private:
  friend class TListItem;
  friend class TListView;
  TListView& view_;
  std::vector<std::unique_ptr<TListItem>> items_;
  int updating_ = 0;
};

struct TListColumn {
  std::string Caption;
  int Width = 50;
  TAlignment Alignment = TAlignment::taLeftJustify;
};

using TListColumnEvent = std::function<void(TComponent* Sender, int Column)>;
using TListSelectEvent = std::function<void(TComponent* Sender, TListItem* Item, bool Selected)>;

// A list view in report mode.
class TListView : public TWinControl {
 public:
  explicit TListView(TComponent* AOwner);
  ~TListView() override;

  void AddColumn(const std::string& caption, int width, TAlignment alignment = TAlignment::taLeftJustify);
  int ColumnCount() const { return static_cast<int>(columns_.size()); }
  const TListColumn& Column(int index) const { return columns_.at(static_cast<size_t>(index)); }
  TListItems& Items() { return items_; }
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool value);
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool value);
  // The column captions' font (bold captions, say).
  TFont& HeaderFont() { return headerFont_; }
  // The font of the items' captions, the first column; the other columns keep Font().
  TFont& CaptionFont() { return captionFont_; }
  // The window holds only the number of rows and asks the items for their texts as it paints
  // them: a long list fills without a message per row, which costs far more than the row itself
  // under some hosts. Selection, sorting and the texts behave as without it.
  bool OwnerData() const { return ownerData_; }
  void SetOwnerData(bool value);

  // The first selected item, or null.
  TListItem* Selected() const;
  int SelCount() const;
  // The selected items, in list order.
  std::vector<TListItem*> SelectedItems() const;
  // Orders the items by compare (negative, zero, positive), in the window and in Items().
  void CustomSort(const std::function<int(const TListItem&, const TListItem&)>& compare);

  TListColumnEvent OnColumnClick;
  TListSelectEvent OnSelectItem;
  void WndProc(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;

 private:
  friend class TListItem;
  friend class TListItems;
  void InsertInWindow(int index, TListItem& item);
  void SetCellText(int row, int column, const std::string& text);
  // OwnerData: the window learns the number of items.
  void SetWindowRows();
  // The items' selection as the window has it, in their own marks.
  void TakeSelection();
  void AnswerTextRequest(tagLVITEMW& row) const;
  void ApplyExtendedStyle();
  LRESULT CustomDraw(tagNMLVCUSTOMDRAW& draw);

  std::vector<TListColumn> columns_;
  TListItems items_;
  bool multiSelect_ = false;
  bool rowSelect_ = true;
  bool ownerData_ = false;
  // OwnerData: the number of rows the window was given.
  int windowRows_ = 0;
  TFont headerFont_;
  TFont captionFont_;
};

using TTabChangingEvent = std::function<void(TComponent* Sender, bool& AllowChange)>;

// A strip of tabs; the pages below are the application's own panels.
class TTabControl : public TWinControl {
 public:
  explicit TTabControl(TComponent* AOwner);

  const TStringList& Tabs() const { return tabs_; }
  void SetTabs(const TStringList& tabs);
  void AddTab(const std::string& caption);
  int TabIndex() const;
  // Changing the tab by code fires no events.
  void SetTabIndex(int value);

  // After the user chose another tab.
  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;
  void WndProc(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void AdjustClientRect(RECT& Rect) override;

 private:
  TStringList tabs_;
  int tabIndex_ = 0;
};

class TProgressBar : public TWinControl {
 public:
  explicit TProgressBar(TComponent* AOwner);
  int Min() const { return min_; }
  int Max() const { return max_; }
  int Position() const { return position_; }
  void SetRange(int min, int max);
  void SetPosition(int value);
  void SetBarColor(TColor value);
  void SetBackColor(TColor value);

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;

 private:
  int min_ = 0, max_ = 100, position_ = 0;
  TColor barColor_ = clHighlight;
  TColor backColor_ = clBtnFace;
};

// Up and down arrows that step a number; Associate makes them sit beside an edit.
class TUpDown : public TWinControl {
 public:
  explicit TUpDown(TComponent* AOwner);
  int Min() const { return min_; }
  int Max() const { return max_; }
  void SetRange(int min, int max);
  int Position() const;
  void SetPosition(int value);
  int Increment() const { return increment_; }
  void SetIncrement(int value);

  // Position changed by the arrows.
  TNotifyEvent OnChange;
  void WndProc(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;

 private:
  int min_ = 0, max_ = 100, position_ = 0, increment_ = 1;
};

}  // namespace classlib
