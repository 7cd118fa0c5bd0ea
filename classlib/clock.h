// Every "now" of the program comes from here, so tests can pin the time.
#pragma once

#include <functional>

#include "classlib/datetime.h"

namespace classlib {

TDateTime Now();

// An empty function returns to the system clock.
void SetClockForTesting(std::function<TDateTime()> clock);

}  // namespace classlib
