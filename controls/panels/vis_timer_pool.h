// Many logical timers on one window timer. The pool's hidden window receives a WM_TIMER every
// MinInterval milliseconds (a base tick); an item of interval N x MinInterval is due on every N-th
// base tick of the shared grid (tick counter mod N = 0, the counter starting at 1 on each start).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "controls/panels/vis_object.h"

namespace controls {

using TVisTimerInterval = std::uint16_t;
using TVisTimerPoolEvent = std::function<void(TObject* Sender, std::uint16_t Ident, std::int32_t Counter)>;

class TVisTimerPool;

class TVisTimerItem {
 public:
  ~TVisTimerItem();
  TVisTimerItem(const TVisTimerItem&) = delete;
  TVisTimerItem& operator=(const TVisTimerItem&) = delete;

  TVisTimerPool* Owner() const { return owner_; }
  std::uint16_t Ident() const { return ident_; }
  // -1: unlimited; when Counter reaches it the item disables itself (that call still happens).
  std::int32_t RepeatCount() const { return repeatCount_; }
  void SetRepeatCount(std::int32_t value) { repeatCount_ = value; }
  // Calls since the item was last enabled or given an interval.
  std::int32_t Counter() const { return counter_; }
  bool Enabled() const { return enabled_; }
  // Resets Counter; an item whose RepeatCount is 0 cannot be enabled.
  void SetEnabled(bool value);
  TVisTimerInterval Interval() const { return interval_; }
  // Ignores a value that is not a multiple of the pool's MinInterval; 0 becomes MinInterval.
  void SetInterval(TVisTimerInterval value);
  // Base ticks between two calls.
  std::int32_t Ratio() const { return ratio_; }

  // Called with the pool as sender; when empty, the pool's OnTimer is called instead.
  TObjectEvent OnTimer;

 private:
  friend class TVisTimerPool;
  TVisTimerItem(TVisTimerPool* owner, std::uint16_t ident);

  TVisTimerPool* owner_;
  std::uint16_t ident_;
  std::int32_t repeatCount_ = -1;
  std::int32_t counter_ = 0;
  bool enabled_ = true;
  TVisTimerInterval interval_ = 1000;
  std::int32_t ratio_;
  // Visited in the present tick.
  bool ticked_ = false;
};

class TVisTimerPool : public TVisCustomComponent {
 public:
  // A base tick of 1000 ms.
  explicit TVisTimerPool(classlib::TComponent* AOwner);
  // A pool with its own base tick (the application object's runs at 50 ms).
  TVisTimerPool(classlib::TComponent* AOwner, TVisTimerInterval BaseTick);
  ~TVisTimerPool() override;

  TVisTimerInterval MinInterval() const { return minInterval_; }
  // Taken only while loading: the base tick is fixed once the pool runs.
  void SetMinInterval(TVisTimerInterval value);

  // Due items without a handler of their own, with the item's identifier and call number.
  TVisTimerPoolEvent OnTimer;

  // Adds an item and starts the window timer; returns its index. A taken identifier or an
  // interval that is no multiple of MinInterval raises; when the system has no timer left the item
  // is taken out again before EOutOfResources is raised.
  int AddItem(std::uint16_t Ident, TVisTimerInterval Interval, TObjectEvent Handler);
  int IndexOfIdent(std::uint16_t Ident) const;
  TVisTimerItem* FindItem(std::uint16_t Ident) const;
  // Frees the item (a handler may remove its own item); the last one stops the window timer.
  void RemoveItem(std::uint16_t Ident);
  void ClearItems();
  int Count() const { return static_cast<int>(items_.size()); }
  TVisTimerItem* Items(int index) const { return items_[static_cast<size_t>(index)]; }
  int ActiveCount() const;

  // Restarts the window timer (when Run and an item is enabled) with the tick counter at 1, or
  // stops it.
  void Start(bool Run);
  bool Active() const { return active_; }
  std::int32_t TickCounter() const { return tickCounter_; }
  // The hidden window that receives WM_TIMER; null before the first start.
  HWND WindowHandle() const { return window_; }

 protected:
  // The system's window timer; tests refuse it to see the failure path.
  virtual UINT_PTR SetSystemTimer(HWND Window, UINT Period);

 private:
  friend class TVisTimerItem;
  friend LRESULT CALLBACK TimerPoolWindowProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  void Tick();
  void Fire(TVisTimerItem* item);

  TVisTimerInterval minInterval_ = 1000;
  HWND window_ = nullptr;
  std::int32_t tickCounter_ = 0;
  std::vector<TVisTimerItem*> items_;
  bool active_ = false;
  bool inTick_ = false;
  bool suspended_ = false;
};

}  // namespace controls
