// The control library's one program-wide object: whether themed drawing is wanted (and the switch
// for every open window), the shared 50 ms timer pool with its 250 slots, the checkerboard pattern,
// the size of a check-box glyph and the library's log name. StartControlLibrary creates it (after
// loading the visual-styles library) before the program's first window.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "classlib/component.h"
#include "classlib/exceptions.h"
#include "classlib/graphics.h"
#include "controls/panels/vis_ini_ctrl.h"
#include "controls/panels/vis_system.h"
#include "controls/panels/vis_timer_pool.h"

namespace controls {

// Timer slot s (1..250) is the pool item 0xFD00 + s.
constexpr std::uint16_t kFirstTimerSlot = 0xFD01;
constexpr std::uint16_t kLastTimerSlot = 0xFDFA;

class TVisApplication : public classlib::TComponent {
 public:
  TVisApplication();
  ~TVisApplication() override;

  // Flag 0 (0x01): the drawing routines skip their palette step on displays of 8 bits or fewer.
  std::uint8_t Options = 0x36;
  // Theme switching leaves the forms themselves and the process-wide theme properties alone.
  bool PackOnly = false;

  TVisIniCtrl* IniCtrl() const { return iniCtrl_; }
  TVisTimerPool* TimerPool() const { return timerPool_; }

  // The visual-styles library is loaded and a theme is active.
  bool ThemesAvailable() const;
  // What every control asks before drawing with themes.
  bool ThemesInUse() const { return useThemes_ && ThemesAvailable(); }
  bool UseThemes() const { return useThemes_; }
  // Switches themed drawing for every visible form; true is refused while no theme is available.
  void SetUseThemes(bool Value);
  void RefreshThemes() { useThemes_ = ThemesAvailable(); }

  // A pool item in the first free slot; 0 when all 250 are taken. The pool's exceptions pass.
  std::uint16_t AddTimer(TVisTimerInterval Interval, TObjectEvent Handler);
  // Frees the item and its slot; identifiers outside the slots are ignored.
  void RemoveTimer(std::uint16_t Ident);
  TVisTimerItem* TimerItem(std::uint16_t Ident) const { return timerPool_->FindItem(Ident); }

  // The 8 x 8 checkerboard: Color where exactly one coordinate is odd, white elsewhere. Owned here.
  const classlib::TBitmap& PatternBitmap(classlib::TColor Color);

  TVisPathPrefix LogPrefix = TVisPathPrefix::ppProgram;
  std::int32_t LogMaxSize = -1;
  const std::string& LogName() const { return logName_; }
  // An empty name is the program's name; ".LOG" is added when there is no extension. The result
  // never names the program's own log file.
  void SetLogName(const std::string& Name);

  std::int64_t PerfFrequency() const { return perfFrequency_; }
  HANDLE InstanceMutex() const { return instanceMutex_; }
  // Another copy of this program file runs (it does not decide single instance).
  bool MutexExisted() const { return mutexExisted_; }
  int CheckWidth() const { return checkWidth_; }
  int CheckHeight() const { return checkHeight_; }

 private:
  void MeasureCheckBox();

  TVisIniCtrl* iniCtrl_ = nullptr;
  TVisTimerPool* timerPool_ = nullptr;
  bool useThemes_ = true;
  std::array<bool, kLastTimerSlot - kFirstTimerSlot + 1> slots_{};
  std::unique_ptr<classlib::TBitmap> pattern_;
  classlib::TColor patternColor_ = classlib::clNone;
  std::string logName_;
  std::int64_t perfFrequency_ = 0;
  HANDLE instanceMutex_ = nullptr;
  bool mutexExisted_ = false;
  int checkWidth_ = 0;
  int checkHeight_ = 0;
};

// The one instance; raises EInvalidOperation before StartControlLibrary.
TVisApplication& VisApplication();

// The library's start-up, called once by the program's entry (and by test mains) before the
// first window: the platform, the visual-styles library, then the application object. Calls nest;
// the last StopControlLibrary frees them again.
void StartControlLibrary();
void StopControlLibrary();

// Raised by components of which a form may hold only one.
class VisEOneInstError : public classlib::Exception {
 public:
  // Kind 0: a wrong owner or a second instance on a form; kind 1: a second one in the program.
  VisEOneInstError(const std::string& ClassName, int Kind);
};

// True when a component of the class may not be added: Owner is missing or not a form, or already
// holds more than one component of the class.
bool CheckSingleInstance(classlib::TComponent* Owner, const std::function<bool(const classlib::TComponent*)>& IsOfClass);

template <typename T>
bool CheckSingleInstance(classlib::TComponent* Owner) {
  return CheckSingleInstance(Owner, [](const classlib::TComponent* c) { return dynamic_cast<const T*>(c) != nullptr; });
}

}  // namespace controls
