// A repeating timer component. Its ticks arrive through the message loop; tests call Tick().
#pragma once

#include <windows.h>

#include "classlib/component.h"
#include "classlib/controls.h"

namespace classlib {

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  // Milliseconds; 0 stops the timer.
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned value);

  // Fires only while enabled, with a positive interval.
  TNotifyEvent OnTimer;
  // One tick, as the system's timer message gives it.
  void Tick();

 protected:
  void Loaded() override;

 private:
  void UpdateTimer();

  bool enabled_ = true;
  unsigned interval_ = 1000;
  UINT_PTR id_ = 0;
};

}  // namespace classlib
