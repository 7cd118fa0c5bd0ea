#include "app/wizards/burn_controls.h"

#include <utility>

namespace app {

TBurnControls::TBurnControls(classlib::TLabel* status, controls::TVisProgressFill* archive,
                             controls::TVisProgressFill* actual, std::function<bool()> cancelRequested)
    : status_(status), archive_(archive), actual_(actual), cancelRequested_(std::move(cancelRequested)) {}

void TBurnControls::SetStatus(const std::string& text) { status_->SetCaption(text); }
void TBurnControls::SetBarMaximum(BurnBar bar, int maximum) { Bar(bar)->SetMaxValue(maximum); }
void TBurnControls::SetBarValue(BurnBar bar, int value) { Bar(bar)->SetUserValue(value); }
void TBurnControls::FillBar(BurnBar bar) { Bar(bar)->SetUserValue(Bar(bar)->MaxValue()); }
bool TBurnControls::CancelRequested() { return cancelRequested_ && cancelRequested_(); }

}  // namespace app
