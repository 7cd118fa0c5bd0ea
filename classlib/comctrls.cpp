#include "classlib/comctrls.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <set>

#include "classlib/wide.h"

namespace classlib {

// ===================================================================== TListItem, TListItems

void TListItem::SetCaption(const std::string& value) {
  caption_ = value;
  owner_.view_.SetCellText(Index(), 0, value);
}

std::string TListItem::SubItem(int index) const {
  return index >= 0 && index < SubItemCount() ? subItems_[static_cast<size_t>(index)] : std::string();
}

void TListItem::SetSubItem(int index, const std::string& value) {
  if (index < 0) return;
  if (index >= SubItemCount()) subItems_.resize(static_cast<size_t>(index) + 1);
  subItems_[static_cast<size_t>(index)] = value;
  owner_.view_.SetCellText(Index(), index + 1, value);
}

int TListItem::Index() const {
  const auto& list = owner_.items_;
  // The item just added, whose texts are set next: filling a long list stays linear.
  if (!list.empty() && list.back().get() == this) return static_cast<int>(list.size() - 1);
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i].get() == this) return static_cast<int>(i);
  return -1;
}

bool TListItem::Selected() const {
  TListView& view = owner_.view_;
  if (!view.HandleAllocated()) return selected_;
  return (ListView_GetItemState(view.Handle(), Index(), LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

void TListItem::SetSelected(bool value) {
  selected_ = value;
  TListView& view = owner_.view_;
  if (view.HandleAllocated()) ListView_SetItemState(view.Handle(), Index(), value ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

TListItem* TListItems::Add() {
  items_.push_back(std::make_unique<TListItem>(*this));
  TListItem* item = items_.back().get();
  if (!view_.HandleAllocated()) return item;
  if (!view_.ownerData_) {
    view_.InsertInWindow(Count() - 1, *item);
  } else if (updating_ == 0) {
    view_.SetWindowRows();
  }
  return item;
}

void TListItems::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  if (view_.HandleAllocated()) {
    ListView_DeleteItem(view_.Handle(), index);
    if (view_.ownerData_) --view_.windowRows_;
  }
  items_.erase(items_.begin() + index);
}

void TListItems::Clear() {
  if (view_.HandleAllocated()) ListView_DeleteAllItems(view_.Handle());
  view_.windowRows_ = 0;
  items_.clear();
}

void TListItems::BeginUpdate() {
  if (updating_++ == 0 && view_.HandleAllocated()) SendMessageW(view_.Handle(), WM_SETREDRAW, FALSE, 0);
}

void TListItems::EndUpdate() {
  if (updating_ == 0 || --updating_ > 0 || !view_.HandleAllocated()) return;
  if (view_.ownerData_) view_.SetWindowRows();
  SendMessageW(view_.Handle(), WM_SETREDRAW, TRUE, 0);
  view_.Invalidate();
}

// ===================================================================== TListView

TListView::TListView(TComponent* AOwner) : TWinControl(AOwner), items_(*this) {
  // Clicks come as the list's notifications only, so a double-click acts once.
  SetControlStyle(ControlStyle() & ~(csClickEvents | csDoubleClicks));
  SetColor(clWindow);
  SetTabStop(true);
  SetBounds(0, 0, 250, 150);
  headerFont_.OnChange = [this] {
    if (HandleAllocated())
      SendMessageW(ListView_GetHeader(Handle()), WM_SETFONT, reinterpret_cast<WPARAM>(headerFont_.Handle()), TRUE);
  };
  captionFont_.OnChange = [this] { Invalidate(); };
}

TListView::~TListView() {
  BeginDestroy();
  headerFont_.OnChange = nullptr;
  captionFont_.OnChange = nullptr;
}

void TListView::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = WC_LISTVIEWW;
  p.Style |= LVS_REPORT | LVS_SHOWSELALWAYS | (multiSelect_ ? 0 : LVS_SINGLESEL) | (ownerData_ ? LVS_OWNERDATA : 0);
  p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TListView::ApplyExtendedStyle() {
  if (HandleAllocated())
    ListView_SetExtendedListViewStyleEx(Handle(), LVS_EX_FULLROWSELECT, rowSelect_ ? LVS_EX_FULLROWSELECT : 0);
}

void TListView::CreateWnd() {
  TWinControl::CreateWnd();
  ApplyExtendedStyle();
  for (size_t i = 0; i < columns_.size(); ++i) {
    const TListColumn& c = columns_[i];
    std::wstring caption = Widen(c.Caption);
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    column.fmt = c.Alignment == TAlignment::taRightJustify ? LVCFMT_RIGHT
                 : c.Alignment == TAlignment::taCenter    ? LVCFMT_CENTER
                                                          : LVCFMT_LEFT;
    column.cx = c.Width;
    column.pszText = caption.data();
    column.iSubItem = static_cast<int>(i);
    ListView_InsertColumn(Handle(), static_cast<int>(i), &column);
  }
  if (!headerFont_.SameAs(Font())) headerFont_.OnChange();
  if (!ownerData_) {
    for (int i = 0; i < items_.Count(); ++i) InsertInWindow(i, *items_[i]);
    return;
  }
  windowRows_ = 0;
  SetWindowRows();
  for (int i = 0; i < items_.Count(); ++i)
    if (items_[i]->selected_) ListView_SetItemState(Handle(), i, LVIS_SELECTED, LVIS_SELECTED);
}

void TListView::DestroyWnd() {
  TakeSelection();
  TWinControl::DestroyWnd();
}

void TListView::SetOwnerData(bool value) {
  if (value == ownerData_) return;
  if (HandleAllocated()) TakeSelection();
  ownerData_ = value;
  if (HandleAllocated()) RecreateWnd();
}

void TListView::SetWindowRows() {
  if (windowRows_ == items_.Count()) return;
  windowRows_ = items_.Count();
  ListView_SetItemCountEx(Handle(), windowRows_, LVSICF_NOSCROLL);
}

void TListView::TakeSelection() {
  for (int i = 0; i < items_.Count(); ++i) items_[i]->selected_ = false;
  for (TListItem* item : SelectedItems()) item->selected_ = true;
}

void TListView::AnswerTextRequest(LVITEMW& row) const {
  if ((row.mask & LVIF_TEXT) == 0 || row.iItem < 0 || row.iItem >= items_.Count() || row.cchTextMax <= 0) return;
  const TListItem& item = *items_[row.iItem];
  const std::wstring text = Widen(row.iSubItem == 0 ? item.caption_ : item.SubItem(row.iSubItem - 1));
  lstrcpynW(row.pszText, text.c_str(), row.cchTextMax);
}

void TListView::AddColumn(const std::string& caption, int width, TAlignment alignment) {
  columns_.push_back({caption, width, alignment});
  if (HandleAllocated()) RecreateWnd();
}

void TListView::SetMultiSelect(bool value) {
  if (value == multiSelect_) return;
  multiSelect_ = value;
  if (!HandleAllocated()) return;
  LONG_PTR style = GetWindowLongPtrW(Handle(), GWL_STYLE);
  style = value ? (style & ~static_cast<LONG_PTR>(LVS_SINGLESEL)) : (style | LVS_SINGLESEL);
  SetWindowLongPtrW(Handle(), GWL_STYLE, style);
}

void TListView::SetRowSelect(bool value) {
  rowSelect_ = value;
  ApplyExtendedStyle();
}

void TListView::InsertInWindow(int index, TListItem& item) {
  std::wstring caption = Widen(item.caption_);
  LVITEMW row = {};
  row.mask = LVIF_TEXT | LVIF_PARAM | LVIF_STATE;
  row.iItem = index;
  row.pszText = caption.data();
  row.lParam = reinterpret_cast<LPARAM>(&item);
  row.state = item.selected_ ? LVIS_SELECTED : 0;
  row.stateMask = LVIS_SELECTED;
  const int at = ListView_InsertItem(Handle(), &row);
  for (int i = 0; i < item.SubItemCount(); ++i) {
    std::wstring text = Widen(item.subItems_[static_cast<size_t>(i)]);
    ListView_SetItemText(Handle(), at, i + 1, text.data());
  }
}

void TListView::SetCellText(int row, int column, const std::string& text) {
  if (!HandleAllocated() || row < 0) return;
  if (ownerData_) {
    // A row the window has not been given yet shows its texts when it is.
    if (row < windowRows_) ListView_RedrawItems(Handle(), row, row);
    return;
  }
  std::wstring wide = Widen(text);
  ListView_SetItemText(Handle(), row, column, wide.data());
}

TListItem* TListView::Selected() const {
  const std::vector<TListItem*> selected = SelectedItems();
  return selected.empty() ? nullptr : selected.front();
}

int TListView::SelCount() const { return static_cast<int>(SelectedItems().size()); }

std::vector<TListItem*> TListView::SelectedItems() const {
  std::vector<TListItem*> selected;
  auto* self = const_cast<TListView*>(this);
  if (!self->HandleAllocated()) {
    for (int i = 0; i < items_.Count(); ++i)
      if (items_[i]->selected_) selected.push_back(items_[i]);
    return selected;
  }
  // Asks the window only for the selected rows: a question per row is slow on long lists.
  for (int i = -1; (i = ListView_GetNextItem(self->Handle(), i, LVNI_SELECTED)) >= 0 && i < items_.Count();)
    selected.push_back(items_[i]);
  return selected;
}

namespace {

using Compare = std::function<int(const TListItem&, const TListItem&)>;

int CALLBACK CompareRows(LPARAM first, LPARAM second, LPARAM context) {
  const auto& compare = *reinterpret_cast<const Compare*>(context);
  return compare(*reinterpret_cast<TListItem*>(first), *reinterpret_cast<TListItem*>(second));
}

}  // namespace

void TListView::CustomSort(const Compare& compare) {
  auto& list = items_.items_;
  if (!HandleAllocated() || ownerData_) {
    // The window keeps the selection by row: it moves with the items.
    const std::vector<TListItem*> selected = SelectedItems();
    std::stable_sort(list.begin(), list.end(),
                     [&](const auto& a, const auto& b) { return compare(*a, *b) < 0; });
    if (!HandleAllocated()) return;
    const std::set<TListItem*> marked(selected.begin(), selected.end());
    ListView_SetItemState(Handle(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    for (int i = 0; i < items_.Count(); ++i)
      if (marked.count(items_[i]) != 0) ListView_SetItemState(Handle(), i, LVIS_SELECTED, LVIS_SELECTED);
    Invalidate();
    return;
  }
  ListView_SortItems(Handle(), CompareRows, reinterpret_cast<LPARAM>(&compare));
  // The window's new order becomes the model's.
  std::map<TListItem*, std::unique_ptr<TListItem>> byAddress;
  for (auto& item : list) {
    TListItem* key = item.get();
    byAddress[key] = std::move(item);
  }
  for (size_t i = 0; i < list.size(); ++i) {
    LVITEMW row = {};
    row.mask = LVIF_PARAM;
    row.iItem = static_cast<int>(i);
    ListView_GetItem(Handle(), &row);
    list[i] = std::move(byAddress[reinterpret_cast<TListItem*>(row.lParam)]);
  }
}

void TListView::WndProc(TMessage& m) {
  // A list without a focused row shows no mark where the focus is; the first row takes it.
  if (m.Msg == WM_SETFOCUS && ListView_GetItemCount(Handle()) > 0 &&
      ListView_GetNextItem(Handle(), -1, LVNI_FOCUSED) < 0)
    ListView_SetItemState(Handle(), 0, LVIS_FOCUSED, LVIS_FOCUSED);
  if (m.Msg == CN_NOTIFY) {
    const auto* header = reinterpret_cast<NMHDR*>(m.LParam);
    switch (header->code) {
      case LVN_COLUMNCLICK:
        if (OnColumnClick) OnColumnClick(this, reinterpret_cast<const NMLISTVIEW*>(m.LParam)->iSubItem);
        break;
      case LVN_GETDISPINFOW:
        AnswerTextRequest(reinterpret_cast<NMLVDISPINFOW*>(m.LParam)->item);
        break;
      case LVN_ODSTATECHANGED: {
        // OwnerData: a range of rows changed at once (a shift-click, say).
        const auto* change = reinterpret_cast<const NMLVODSTATECHANGE*>(m.LParam);
        if ((change->uNewState ^ change->uOldState) & LVIS_SELECTED)
          for (int i = std::max(change->iFrom, 0); i <= change->iTo && i < items_.Count(); ++i)
            items_[i]->selected_ = (change->uNewState & LVIS_SELECTED) != 0;
        break;
      }
      case LVN_ITEMCHANGED: {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(m.LParam);
        // OwnerData: row -1 stands for all rows.
        if (change->iItem == -1 && (change->uChanged & LVIF_STATE) &&
            ((change->uNewState ^ change->uOldState) & LVIS_SELECTED))
          for (int i = 0; i < items_.Count(); ++i) items_[i]->selected_ = (change->uNewState & LVIS_SELECTED) != 0;
        if ((change->uChanged & LVIF_STATE) && ((change->uNewState ^ change->uOldState) & LVIS_SELECTED) &&
            change->iItem >= 0 && change->iItem < items_.Count()) {
          TListItem* item = items_[change->iItem];
          item->selected_ = (change->uNewState & LVIS_SELECTED) != 0;
          if (OnSelectItem) OnSelectItem(this, item, item->selected_);
        }
        break;
      }
      case NM_CLICK:
        Click();
        break;
      case NM_DBLCLK:
        DblClick();
        break;
      case NM_CUSTOMDRAW:
        m.Result = CustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(m.LParam));
        break;
      default:
        break;
    }
    return;
  }
  TWinControl::WndProc(m);
}

// Only a caption font of its own needs drawing per cell; otherwise the list draws as it would.
LRESULT TListView::CustomDraw(tagNMLVCUSTOMDRAW& draw) {
  if (captionFont_.SameAs(Font())) return CDRF_DODEFAULT;
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
      SelectObject(draw.nmcd.hdc, draw.iSubItem == 0 ? captionFont_.Handle() : Font().Handle());
      return CDRF_NEWFONT;
    default:
      return CDRF_DODEFAULT;
  }
}

// ===================================================================== TTabControl

TTabControl::TTabControl(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle(ControlStyle() & ~csClickEvents);
  SetTabStop(true);
  SetBounds(0, 0, 289, 193);
}

void TTabControl::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = WC_TABCONTROLW;
  p.Style |= WS_CLIPCHILDREN;
}

void TTabControl::CreateWnd() {
  TWinControl::CreateWnd();
  for (int i = 0; i < tabs_.Count(); ++i) {
    std::wstring caption = Widen(tabs_[i]);
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    TabCtrl_InsertItem(Handle(), i, &item);
  }
  TabCtrl_SetCurSel(Handle(), tabIndex_);
}

void TTabControl::DestroyWnd() {
  tabIndex_ = TabIndex();
  TWinControl::DestroyWnd();
}

void TTabControl::SetTabs(const TStringList& tabs) {
  tabs_ = tabs;
  if (tabIndex_ >= tabs_.Count()) tabIndex_ = tabs_.Count() > 0 ? 0 : -1;
  if (HandleAllocated()) RecreateWnd();
}

void TTabControl::AddTab(const std::string& caption) {
  tabs_.Add(caption);
  if (!HandleAllocated()) return;
  std::wstring text = Widen(caption);
  TCITEMW item = {};
  item.mask = TCIF_TEXT;
  item.pszText = text.data();
  TabCtrl_InsertItem(Handle(), tabs_.Count() - 1, &item);
  Realign();
}

int TTabControl::TabIndex() const {
  auto* self = const_cast<TTabControl*>(this);
  return self->HandleAllocated() ? TabCtrl_GetCurSel(self->Handle()) : tabIndex_;
}

void TTabControl::SetTabIndex(int value) {
  tabIndex_ = value;
  if (HandleAllocated()) TabCtrl_SetCurSel(Handle(), value);
}

void TTabControl::AdjustClientRect(RECT& r) {
  if (HandleAllocated()) TabCtrl_AdjustRect(Handle(), FALSE, &r);
  TWinControl::AdjustClientRect(r);
}

void TTabControl::WndProc(TMessage& m) {
  if (m.Msg == CN_NOTIFY) {
    const auto* header = reinterpret_cast<NMHDR*>(m.LParam);
    if (header->code == TCN_SELCHANGING) {
      bool allow = true;
      if (OnChanging) OnChanging(this, allow);
      m.Result = allow ? FALSE : TRUE;
    } else if (header->code == TCN_SELCHANGE) {
      tabIndex_ = TabIndex();
      if (OnChange) OnChange(this);
    }
    return;
  }
  TWinControl::WndProc(m);
}

// ===================================================================== TProgressBar

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle(ControlStyle() & ~csClickEvents);
  SetBounds(0, 0, 150, 16);
}

void TProgressBar::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = PROGRESS_CLASSW;
  p.Style |= PBS_SMOOTH;
}

void TProgressBar::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageW(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
  SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
  SendMessageW(Handle(), PBM_SETBARCOLOR, 0, ColorToRGB(barColor_));
  SendMessageW(Handle(), PBM_SETBKCOLOR, 0, ColorToRGB(backColor_));
}

void TProgressBar::SetRange(int min, int max) {
  min_ = min;
  max_ = std::max(min, max);
  position_ = std::clamp(position_, min_, max_);
  if (HandleAllocated()) SendMessageW(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
}

void TProgressBar::SetPosition(int value) {
  position_ = std::clamp(value, min_, max_);
  if (HandleAllocated()) SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::SetBarColor(TColor value) {
  barColor_ = value;
  if (HandleAllocated()) SendMessageW(Handle(), PBM_SETBARCOLOR, 0, ColorToRGB(value));
}

void TProgressBar::SetBackColor(TColor value) {
  backColor_ = value;
  if (HandleAllocated()) SendMessageW(Handle(), PBM_SETBKCOLOR, 0, ColorToRGB(value));
}

// ===================================================================== TUpDown

TUpDown::TUpDown(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle(ControlStyle() & ~csClickEvents);
  SetBounds(0, 0, 17, 21);
}

void TUpDown::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = UPDOWN_CLASSW;
  p.Style |= UDS_ARROWKEYS;
}

void TUpDown::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageW(Handle(), UDM_SETRANGE32, static_cast<WPARAM>(min_), max_);
  SendMessageW(Handle(), UDM_SETPOS32, 0, position_);
  UDACCEL accel = {0, static_cast<UINT>(increment_)};
  SendMessageW(Handle(), UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
}

void TUpDown::SetRange(int min, int max) {
  min_ = min;
  max_ = std::max(min, max);
  position_ = std::clamp(position_, min_, max_);
  if (HandleAllocated()) SendMessageW(Handle(), UDM_SETRANGE32, static_cast<WPARAM>(min_), max_);
}

int TUpDown::Position() const {
  auto* self = const_cast<TUpDown*>(this);
  return self->HandleAllocated() ? static_cast<int>(SendMessageW(self->Handle(), UDM_GETPOS32, 0, 0)) : position_;
}

void TUpDown::SetPosition(int value) {
  position_ = std::clamp(value, min_, max_);
  if (HandleAllocated()) SendMessageW(Handle(), UDM_SETPOS32, 0, position_);
}

void TUpDown::SetIncrement(int value) {
  increment_ = value;
  if (!HandleAllocated()) return;
  UDACCEL accel = {0, static_cast<UINT>(value)};
  SendMessageW(Handle(), UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
}

void TUpDown::WndProc(TMessage& m) {
  if (m.Msg == CN_VSCROLL || m.Msg == CN_HSCROLL) {
    if (LOWORD(m.WParam) == SB_THUMBPOSITION) {
      position_ = Position();
      if (OnChange) OnChange(this);
    }
    return;
  }
  TWinControl::WndProc(m);
}

}  // namespace classlib
