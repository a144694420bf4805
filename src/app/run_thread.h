// TRunThread: the thread on which one run of a script executes, so that the thread that started it
// (the window's) never waits for the modem.
// Threads: Start, Join and Active belong to the owner's thread; the body runs on the new thread and
// must not touch what the owner's thread uses meanwhile.
#pragma once

#include <functional>
#include <thread>

namespace kelvo {

class TRunThread {
 public:
  TRunThread() = default;
  TRunThread(const TRunThread&) = delete;
  TRunThread& operator=(const TRunThread&) = delete;
  // Waits for a body still running: the owner stops the run first.
  ~TRunThread() { Join(); }

  // Starts body on a new thread; the previous one must have been joined.
  void Start(std::function<void()> body) { FThread = std::thread(std::move(body)); }
  // Waits until the body has returned; nothing when no thread was started.
  void Join() {
    if (FThread.joinable()) FThread.join();
  }
  // A thread was started and not yet joined.
  bool Active() const { return FThread.joinable(); }

 private:
  std::thread FThread;
};

}  // namespace kelvo
