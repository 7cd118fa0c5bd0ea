#include "controls/panels/vis_timer_pool.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>

#include "classlib/exceptions.h"
#include "classlib/forms.h"

namespace controls {

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr UINT_PTR kSubclassId = 1;

void HandToApplication() { classlib::Application().HandleException(std::current_exception()); }

}  // namespace

// ===================================================================== TVisTimerItem

TVisTimerItem::TVisTimerItem(TVisTimerPool* owner, std::uint16_t ident)
    : owner_(owner), ident_(ident), ratio_(std::max(1, 1000 / owner->MinInterval())) {}

TVisTimerItem::~TVisTimerItem() {
  enabled_ = false;
  OnTimer = nullptr;
  auto& list = owner_->items_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void TVisTimerItem::SetEnabled(bool value) {
  if (value == enabled_ || (value && repeatCount_ == 0)) return;
  enabled_ = value;
  counter_ = 0;
}

void TVisTimerItem::SetInterval(TVisTimerInterval value) {
  const TVisTimerInterval base = owner_->MinInterval();
  if (value == interval_ || value % base != 0) return;
  if (value == 0) value = base;
  ratio_ = value / base;
  interval_ = value;
  counter_ = 0;
}

// ===================================================================== TVisTimerPool

LRESULT CALLBACK TimerPoolWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR ref) {
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(window, TimerPoolWindowProc, kSubclassId);
  if (msg != WM_TIMER) return DefSubclassProc(window, msg, wParam, lParam);
  auto* pool = reinterpret_cast<TVisTimerPool*>(ref);
  // A handler that pumps messages must not start a second tick inside the first.
  if (pool->inTick_) return 0;
  pool->inTick_ = true;
  try {
    pool->Tick();
  } catch (...) {
    HandToApplication();
  }
  pool->inTick_ = false;
  return 0;
}

TVisTimerPool::TVisTimerPool(classlib::TComponent* AOwner) : TVisCustomComponent(AOwner) {}

TVisTimerPool::TVisTimerPool(classlib::TComponent* AOwner, TVisTimerInterval BaseTick)
    : TVisCustomComponent(AOwner), minInterval_(BaseTick ? BaseTick : 1) {}

TVisTimerPool::~TVisTimerPool() {
  BeginDestroy();
  ClearItems();
  if (window_) DestroyWindow(window_);
}

void TVisTimerPool::SetMinInterval(TVisTimerInterval value) {
  if (Loading() && value != 0) minInterval_ = value;
}

int TVisTimerPool::AddItem(std::uint16_t Ident, TVisTimerInterval Interval, TObjectEvent Handler) {
  if (FindItem(Ident)) throw classlib::Exception("Listenindex überschreitet das Maximum (%d)");
  if (Interval % minInterval_ != 0 || Interval < minInterval_)
    throw classlib::Exception("Interval not compatible with MinInterval property!");
  auto* item = new TVisTimerItem(this, Ident);
  items_.push_back(item);
  item->SetInterval(Interval);
  item->OnTimer = std::move(Handler);
  try {
    Start(true);
  } catch (...) {
    // An item left behind would hold its identifier (and its caller's slot) for good.
    delete item;
    throw;
  }
  return IndexOfIdent(Ident);
}

int TVisTimerPool::IndexOfIdent(std::uint16_t Ident) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i]->Ident() == Ident) return static_cast<int>(i);
  return -1;
}

TVisTimerItem* TVisTimerPool::FindItem(std::uint16_t Ident) const {
  const int index = IndexOfIdent(Ident);
  return index < 0 ? nullptr : items_[static_cast<size_t>(index)];
}

void TVisTimerPool::RemoveItem(std::uint16_t Ident) {
  // A tick that arrives meanwhile (a handler pumping messages) does nothing.
  suspended_ = true;
  try {
    if (TVisTimerItem* item = FindItem(Ident)) {
      item->SetEnabled(false);
      item->OnTimer = nullptr;
      delete item;
      if (items_.empty()) Start(false);
    }
  } catch (...) {
    suspended_ = false;
    throw;
  }
  suspended_ = false;
}

void TVisTimerPool::ClearItems() {
  Start(false);
  while (!items_.empty()) delete items_.back();
}

int TVisTimerPool::ActiveCount() const {
  return static_cast<int>(std::count_if(items_.begin(), items_.end(), [](const TVisTimerItem* i) { return i->Enabled(); }));
}

UINT_PTR TVisTimerPool::SetSystemTimer(HWND Window, UINT Period) { return SetTimer(Window, kTimerId, Period, nullptr); }

void TVisTimerPool::Start(bool Run) {
  if (!window_ && !Run) {
    active_ = false;
    return;
  }
  if (!window_) {
    // A message-only window of the system's own class.
    window_ = CreateWindowExW(0, L"Message", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    if (!window_) throw classlib::EOutOfResources("Das Fenster des Timer-Pools kann nicht erzeugt werden");
    SetWindowSubclass(window_, TimerPoolWindowProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  }
  active_ = false;
  KillTimer(window_, kTimerId);
  if (!Run || ActiveCount() == 0) return;
  if (!SetSystemTimer(window_, minInterval_)) throw classlib::EOutOfResources("Nicht genügend Timer verfügbar");
  tickCounter_ = 1;
  active_ = true;
}

void TVisTimerPool::Tick() {
  if (suspended_) return;
  // Handlers may add and remove items, their own too: each item listed is visited once, items
  // added meanwhile included.
  for (TVisTimerItem* item : items_) item->ticked_ = false;
  for (;;) {
    auto next = std::find_if(items_.begin(), items_.end(), [](const TVisTimerItem* i) { return !i->ticked_; });
    if (next == items_.end()) break;
    TVisTimerItem* item = *next;
    item->ticked_ = true;
    if (!item->Enabled() || tickCounter_ % item->Ratio() != 0) continue;
    // One failing handler must not starve the items after it nor stop the counter.
    try {
      Fire(item);
    } catch (...) {
      HandToApplication();
    }
  }
  tickCounter_ = tickCounter_ == INT32_MAX ? 0 : tickCounter_ + 1;
}

void TVisTimerPool::Fire(TVisTimerItem* item) {
  if (!item->Enabled()) return;
  item->counter_ = item->counter_ == INT32_MAX ? 0 : item->counter_ + 1;
  const std::int32_t call = item->counter_;
  if (call == item->RepeatCount()) item->SetEnabled(false);
  // Copies: the handler may free the item and with it the stored function.
  if (item->OnTimer) {
    TObjectEvent handler = item->OnTimer;
    handler(this);
  } else if (OnTimer) {
    TVisTimerPoolEvent handler = OnTimer;
    handler(this, item->Ident(), call);
  }
}

}  // namespace controls
