// The run of a set-up script, the program's main task: prepare the engine with the host functions and
// compile the script; then, on the run's own thread, open the port, find the modem, execute, restore
// everything whatever happened, and end the log with a line that says how the run ended. The window
// and the command-line runner share it; several runners may execute at once, each with its own
// screen, port and engine.
//
// Every runner has a system library program of its own (see FSystemLibrary), so that runs on
// several threads share no mutable state of the engine.
//
// Threads: Compile runs on the caller's thread while no run executes; Execute runs on the run's
// thread (or on the caller's, for a runner without a window) and uses the engine, the port and the
// screen given to the runner, which nobody else touches meanwhile; Stop may be called from any
// thread, and from a signal handler through StopRequest().Request().
#pragma once

#include <chrono>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "app/modem_line.h"
#include "app/run_screen.h"
#include "app/run_stop.h"
#include "app/script_host.h"
#include "script/program/script.h"
#include "serial/com_port.h"

namespace kelvo {

// How a run ended.
enum class TRunEnd {
  reCompleted,  // the script ran to its end
  reFailed,     // the script stopped through FailScript
  reStopped,    // the user stopped the run, or its time ran out (kelvo-run --timeout)
  reError       // no modem answered, or the port or the engine raised an error
};

struct TRunResult {
  TRunEnd End = TRunEnd::reCompleted;
  std::string Message;       // the log's last line: how the run ended
  std::exception_ptr Error;  // reError: the error, for the application's standard error display
  std::chrono::milliseconds Duration{};
  int DetectedSpeed = 0;  // bits per second at which the modem answered; 0 when none did
};

class TScriptRunner {
 public:
  // stop is the run's stop request, which the screen may wait on too; all four outlive the runner.
  TScriptRunner(TRunScreen& screen, TCustomComPort& port, TfsScript& script, TRunStop& stop);

  // Clears the stop request, prepares the engine with the host functions and compiles text (8-bit,
  // any line breaks); false after a compilation error, whose place and text the engine holds
  // (ErrorPlace, ErrorText). May raise what the engine raises instead of reporting (an imported
  // unit that cannot be read).
  bool Compile(const std::string& text);
  // The run after a successful compilation: opens portName, finds the modem, executes the script,
  // closes the port, hides the wait box and the search progress, and logs the result line. Never
  // raises.
  TRunResult Execute(const std::string& portName);

  // Any thread: the run ends as soon as it can, with "выполнение сценария прервано пользователем".
  void Stop() { FStop.Request(); }
  TRunStop& StopRequest() { return FStop; }
  // A speed to open the port at instead of searching for the modem (kelvo-run --speed); none: the
  // search, as the window runs it.
  void SetFixedSpeed(std::optional<int> bps) { FFixedSpeed = bps; }
  // The last run stopped through FailScript.
  bool RunFailed() const { return FHost.RunFailed(); }
  TModemLine& Line() { return FLine; }
  TScriptHost& Host() { return FHost; }

 private:
  void PrepareEngine();
  TRunResult DetectAndExecute();
  TRunResult Ended(TRunEnd end, std::string message, std::exception_ptr error = nullptr);
  void Restore();
  std::string StoppedText() const;
  void LogResult(const TRunResult& result);

  TRunScreen& FScreen;
  TCustomComPort& FPort;
  TfsScript& FScript;
  // The system library that the script sees, this runner's own: calling a library function stores
  // its arguments in the function's item and try/except writes ExceptionMessage there, so runners
  // on several threads must not share one (the engine's process-wide global unit).
  TfsScript FSystemLibrary;
  int FDetectedSpeed = 0;
  TRunStop& FStop;
  TModemLine FLine;
  TScriptHost FHost;
  std::optional<int> FFixedSpeed;
};

// The lines of a text broken at CR LF, LF or CR.
std::vector<std::string> SplitLines(const std::string& text);
// "4,2": seconds with one decimal and a decimal comma, as the result line shows them.
std::string FormatRunSeconds(std::chrono::milliseconds duration);

}  // namespace kelvo
