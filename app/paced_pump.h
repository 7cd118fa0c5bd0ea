// Loops that report after every small step (a file found, a block compressed, an entry listed)
// pump the messages through here. A look at an empty queue costs about as much as such a step on
// some hosts (under Wine a round trip to its server), so this pumps only when the last pump
// through here ended kPumpIntervalMs or more ago: the windows keep answering, and a click waits
// at most about that long.
#pragma once

namespace app {

constexpr unsigned kPumpIntervalMs = 10;

void ProcessMessagesPaced();

}  // namespace app
