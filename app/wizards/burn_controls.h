// A burn's progress on the controls of the window that burns: its status label and its two bars.
#pragma once

#include <functional>
#include <string>

#include "app/burn_on_cd.h"
#include "classlib/stdctrls.h"
#include "controls/panels/vis_progress_fill.h"

namespace app {

class TBurnControls : public IBurnProgress {
 public:
  // cancelRequested tells whether the window's cancel was pressed; none: never.
  TBurnControls(classlib::TLabel* status, controls::TVisProgressFill* archive, controls::TVisProgressFill* actual,
                std::function<bool()> cancelRequested = nullptr);

  void SetStatus(const std::string& text) override;
  void SetBarMaximum(BurnBar bar, int maximum) override;
  void SetBarValue(BurnBar bar, int value) override;
  void FillBar(BurnBar bar) override;
  bool CancelRequested() override;

 private:
  controls::TVisProgressFill* Bar(BurnBar bar) const { return bar == BurnBar::Archive ? archive_ : actual_; }

  classlib::TLabel* status_;
  controls::TVisProgressFill* archive_;
  controls::TVisProgressFill* actual_;
  std::function<bool()> cancelRequested_;
};

}  // namespace app
