// Time-outs of a port measured on the port's own clock instead of the wall clock, so that a timing
// test neither waits the time out nor fails on a busy machine: while installed, a wait that would
// time out returns after a short real grace and moves the port's clock on by the whole time-out.
// A wait without a limit still blocks for real (until the other side sends or the test signals).
// One at a time per process: it replaces the port's poll system call (serial/unix_fd.h).
#pragma once

#include <poll.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>

#include "serial/com_port.h"

namespace kelvo::testing {

class TVirtualTime {
 public:
  explicit TVirtualTime(TCustomComPort& port) : FPort(port) {
    FActive = this;
    FPort.SetClock([this] { return FStart + std::chrono::milliseconds(FElapsedMs.load()); });
    SystemCalls().Poll = &Poll;
  }
  ~TVirtualTime() {
    ResetSystemCalls();
    FPort.SetClock([] { return TClock::now(); });
    FActive = nullptr;
  }
  TVirtualTime(const TVirtualTime&) = delete;
  TVirtualTime& operator=(const TVirtualTime&) = delete;

  // The time the port's clock has moved on since this was installed.
  std::chrono::milliseconds Elapsed() const { return std::chrono::milliseconds(FElapsedMs.load()); }
  // Runs once, on the thread of the transfer, when the port first waits: a test makes something
  // happen "while the read waits" without sleeping for it.
  void OnFirstWait(std::function<void()> action) { FOnFirstWait = std::move(action); }

 private:
  // Long enough for bytes already on their way through the pty to be seen, short beside any
  // time-out the tests set.
  static constexpr int kGraceMs = 20;

  static int Poll(pollfd* fds, nfds_t count, int timeout) {
    TVirtualTime& self = *FActive;
    if (self.FOnFirstWait) {
      auto action = std::move(self.FOnFirstWait);
      self.FOnFirstWait = nullptr;
      action();
    }
    if (timeout < 0) return ::poll(fds, count, -1);
    int r = ::poll(fds, count, std::min(timeout, kGraceMs));
    if (r == 0) self.FElapsedMs += timeout;
    return r;
  }

  static inline TVirtualTime* FActive = nullptr;
  TCustomComPort& FPort;
  const TTimePoint FStart = TClock::now();
  std::atomic<long long> FElapsedMs{0};
  std::function<void()> FOnFirstWait;
};

}  // namespace kelvo::testing
