// What kelvo-run does once its command line has been read: list the library, or run a script.
// Each returns the program's exit status.
#pragma once

#include "app/modem_library.h"
#include "run_options.h"

namespace kelvo {

// Exit status: the run succeeded; a run failed; bad arguments or a compilation error.
inline constexpr int kExitOk = 0, kExitRunFailed = 1, kExitUsage = 2;

// Prints the reason on standard error after "kelvo-run: " and returns code.
int Fail(int code, const std::string& ansiMessage);

// Prints "library: PATH" (absolute), then the modems of the library and their scripts.
int ListLibrary(const TModemLibrary& library);
// Prints the serial ports, each with what it is, and the stable by-id names.
int ListPorts();
// Runs the script that options name on the ports that they name; libraryPath is the library's file,
// for the report.
int RunScript(const TRunOptions& options, const std::string& libraryPath, const TModemLibrary& library);

}  // namespace kelvo
