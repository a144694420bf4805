// The run of one set-up script on several ports at once, for workshops that set up a shelf of
// modems: every port gets its own stop request, serial port, engine and runner, and runs exactly as
// a single run does (open, modem search, script, close); the script is compiled before any port is
// opened, and a limited number of ports may run at a time.
//
// Threads: construction, Compile and Execute belong to the caller's thread; Execute starts the
// jobs' threads and returns when every port has ended. A job's thread takes the next port that has
// not started and runs it to its end; a port's runner, serial port, engine and screen are used by
// that one thread only. Stop may be called from any thread and from a signal handler.
#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/run_screen.h"
#include "app/run_stop.h"
#include "app/script_run.h"
#include "script/program/script.h"
#include "serial/com_port.h"

namespace kelvo {

// One port's share of the run.
struct TPortRun {
  TPortRun(std::string portName, TRunScreen& screen);

  const std::string PortName;
  TRunStop Stop;
  TComPort Port;
  TfsScript Engine;
  TScriptRunner Runner;
  // How the port's run ended; written by its job's thread, read after Execute.
  TRunResult Result;
  // The port's turn came (false when the run was stopped before), and when.
  bool Started = false;
  TLogTime StartTime;
};

class TMultiPortRun {
 public:
  // screens[i] shows the run on portNames[i]; they outlive the run.
  TMultiPortRun(const std::vector<std::string>& portNames, const std::vector<TRunScreen*>& screens);

  // Compiles the script for every port; false after a compilation error, whose place and text
  // ErrorPlace and ErrorText hold. No port is opened. May raise what the engine raises.
  bool Compile(const std::string& text);
  const std::string& ErrorPlace() const { return FRuns.front()->Engine.ErrorPlace; }
  const std::string& ErrorText() const { return FRuns.front()->Engine.ErrorText; }

  // Runs the script on every port, at most jobs at a time (0: all at once), and returns when every
  // run has ended. After a successful Compile only.
  void Execute(int jobs);
  // Any thread, async-signal-safe: every run ends as soon as it can; a port whose turn has not
  // come is not opened.
  void Stop() noexcept;
  // The same for a run that has taken longer than it may: each ends as timed out.
  void StopForTimeOut() noexcept;
  // Every port opens at bps instead of searching for the modem (none: the search). Before Execute.
  void SetFixedSpeed(std::optional<int> bps);

  size_t Count() const { return FRuns.size(); }
  const TPortRun& Run(size_t i) const { return *FRuns[i]; }

 private:
  // The body of one job's thread: ports one after another until none is left.
  void RunJob();
  void RunPort(TPortRun& run);

  std::vector<std::unique_ptr<TPortRun>> FRuns;
  std::atomic<size_t> FNext{0};
};

}  // namespace kelvo
