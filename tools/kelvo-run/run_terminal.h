// kelvo-run --terminal: the modem under the user's hands on the terminal. The port is opened and
// the modem searched for (or the port opened at --speed), then every line typed on standard input
// is sent and every line the modem sends is printed with its prefix, until the input ends (the last
// answers are awaited first) or Ctrl+C.
#pragma once

#include "run_options.h"

namespace kelvo {

// The exit status: 0 when the terminal was closed, 1 when the port failed.
int RunTerminal(const TRunOptions& options);

}  // namespace kelvo
