// kelvo-run --terminal: the modem under the user's hands on the terminal. The port is opened and
// the modem searched for (or the port opened at --speed), then every line typed on standard input
// is sent and every line the modem sends is printed with its prefix, until the input ends (the last
// answers are awaited first) or Ctrl+C. Each line waits for the answer to the one before it.
// Threads: the terminal runs on the calling thread; a second thread reads standard input and only
// queues lines; the signal handler only requests the stop.
#pragma once

#include "run_options.h"

namespace kelvo {

// The exit status: 0 when the input ended, 1 when the port failed, 130 and 143 when SIGINT or
// SIGTERM closed the terminal.
int RunTerminal(const TRunOptions& options);

}  // namespace kelvo
