// SIGINT and SIGTERM during a run: the first one stops every port's run (each port is closed and its
// lock released as after any run), a second one ends the program at once.
// Threads: the handler may run on any thread; it only requests the stops.
#pragma once

#include "app/multi_port_run.h"

namespace kelvo {

// From now on the signals stop run; nullptr restores their default action.
void CatchStopSignals(TMultiPortRun* run);
// The same for one stop request (the terminal's).
void CatchStopSignalsFor(TRunStop* stop);
// The signal that stopped the run, or 0.
int CaughtSignal();

}  // namespace kelvo
