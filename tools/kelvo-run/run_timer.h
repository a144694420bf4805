// The time limit of a run (kelvo-run --timeout): a thread that waits for the limit or for the
// run's end, whichever comes first, and at the limit calls onTimeOut (which asks the runs to stop
// as timed out). Threads: the timer's thread only waits and calls onTimeOut, which must be safe
// from any thread; construction and destruction belong to the thread that runs the script.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace kelvo {

class TRunTimer {
 public:
  // No limit: no thread.
  TRunTimer(std::function<void()> onTimeOut, std::optional<std::chrono::milliseconds> limit)
      : FOnTimeOut(std::move(onTimeOut)) {
    if (limit) FThread = std::thread([this, ms = *limit] { Wait(ms); });
  }
  TRunTimer(const TRunTimer&) = delete;
  TRunTimer& operator=(const TRunTimer&) = delete;
  // The run has ended: the thread ends at once.
  ~TRunTimer() {
    {
      std::lock_guard lock(FMutex);
      FEnded = true;
    }
    FWake.notify_all();
    if (FThread.joinable()) FThread.join();
  }

 private:
  void Wait(std::chrono::milliseconds limit) {
    std::unique_lock lock(FMutex);
    if (!FWake.wait_for(lock, limit, [this] { return FEnded; })) FOnTimeOut();
  }

  const std::function<void()> FOnTimeOut;
  std::mutex FMutex;
  std::condition_variable FWake;
  bool FEnded = false;
  std::thread FThread;  // last: it starts once the rest is made
};

}  // namespace kelvo
