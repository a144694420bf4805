// The stop request of one run of a script, and the silent error that carries it out of the line
// primitives. Any thread, and a signal handler, may request the stop; the run's thread asks for it
// between statements, sleeps on it instead of sleeping blindly, and gives its descriptor to the
// serial port, so that a read waiting on a silent modem ends as soon as the stop is requested.
#pragma once

#include <atomic>
#include <chrono>

#include "serial/unix_fd.h"
#include "text/exception.h"

namespace kelvo {

// Raised on the run's thread where a stop was found; the run ends without an error dialog.
class ERunStopped : public EAbort {
 public:
  const char* ClassName() const noexcept override { return "ERunStopped"; }
};

class TRunStop {
 public:
  // Any thread; async-signal-safe: an atomic store and one write() to an eventfd.
  void Request() noexcept;
  // The same, for a run that has gone on longer than it may (kelvo-run --timeout).
  void RequestForTimeOut() noexcept;
  // Any thread: the stop was requested because the time ran out.
  bool TimedOut() const noexcept { return FTimedOut.load(std::memory_order_acquire); }
  // Any thread.
  bool Requested() const noexcept { return FRequested.load(std::memory_order_acquire); }
  // Clears the request. Only while no run uses it: before a run's thread starts.
  void Reset();

  // Waits for ms, or less when the stop is requested meanwhile; true when it was.
  bool Sleep(std::chrono::milliseconds ms) const;
  // Waits until other is set or the stop is requested; true when the stop was requested.
  bool WaitFor(const TEventSignal& other) const;
  // Raises ERunStopped when the stop has been requested.
  void Check() const;

  // Readable while the stop is requested; the serial port polls it.
  const TEventSignal& Signal() const { return FSignal; }

 private:
  std::atomic<bool> FRequested{false};
  std::atomic<bool> FTimedOut{false};
  TEventSignal FSignal;
};

}  // namespace kelvo
