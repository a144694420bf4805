// The main-thread queue: how the serial event thread hands work to the program's main thread.
// Another thread either posts a request and goes on, or sends one and blocks until the main thread
// has run it. The main thread runs what is queued whenever the application processes pending
// messages (ProcessPending), and while it waits for an event thread to end (WaitUntil).
#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace kelvo {

class TMainThreadQueue {
 public:
  using TRequest = std::function<void()>;

  // The one queue of the process; its main thread is the thread that first asks for it.
  static TMainThreadQueue& Instance();

  // Queues a request and returns at once. An exception from it goes to the error handler.
  void Post(TRequest request);
  // Queues a request and blocks until the main thread has run it; an exception that it raised is
  // raised again here. On the main thread itself the request runs at once.
  void Send(TRequest request);

  // Main thread: runs every request queued so far; returns how many ran.
  int ProcessPending();
  // Main thread: runs requests as they come until done() holds; Notify() makes it look again.
  void WaitUntil(const std::function<bool()>& done);
  void Notify();

  bool IsMainThread() const { return std::this_thread::get_id() == FMainThread; }

  // Called (on the posting thread) after each request is queued, so that a window toolkit can
  // schedule a call of ProcessPending on its own loop.
  void SetWakeUp(std::function<void()> wakeUp);
  // Receives the exceptions of posted requests: the application's standard error display.
  void SetErrorHandler(std::function<void(std::exception_ptr)> handler);

 private:
  TMainThreadQueue();
  void Enqueue(TRequest request);

  struct TSent;
  std::thread::id FMainThread;
  std::mutex FLock;
  std::condition_variable FChanged;
  std::deque<TRequest> FQueue;
  std::function<void()> FWakeUp;
  std::function<void(std::exception_ptr)> FErrorHandler;
};

}  // namespace kelvo
