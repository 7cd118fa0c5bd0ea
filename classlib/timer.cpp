#include "classlib/timer.h"

#include <map>

#include "classlib/exceptions.h"

namespace classlib {

namespace {

std::map<UINT_PTR, TTimer*>& Timers() {
  // Never destroyed: timers of forms that the application frees at exit may go after it.
  static auto* timers = new std::map<UINT_PTR, TTimer*>;
  return *timers;
}

VOID CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  auto it = Timers().find(id);
  if (it != Timers().end()) CallGuarded([timer = it->second] { timer->Tick(); });
}

}  // namespace

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) { UpdateTimer(); }

TTimer::~TTimer() {
  BeginDestroy();
  enabled_ = false;
  UpdateTimer();
}

void TTimer::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned value) {
  if (value == interval_) return;
  interval_ = value;
  UpdateTimer();
}

void TTimer::Loaded() { UpdateTimer(); }

// A thread timer with no window; its id keys the object. Re-arming restarts the interval.
void TTimer::UpdateTimer() {
  if (id_) {
    KillTimer(nullptr, id_);
    Timers().erase(id_);
    id_ = 0;
  }
  if (!enabled_ || interval_ == 0 || Loading() || Destroying()) return;
  id_ = SetTimer(nullptr, 0, interval_, TimerProc);
  if (!id_) throw EOSError("Kein Timer mehr verfügbar");
  Timers()[id_] = this;
}

void TTimer::Tick() {
  if (enabled_ && interval_ > 0 && OnTimer) OnTimer(this);
}

}  // namespace classlib
