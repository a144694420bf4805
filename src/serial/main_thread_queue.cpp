#include "serial/main_thread_queue.h"

#include <cstdio>

namespace kelvo {

TMainThreadQueue& TMainThreadQueue::Instance() {
  static TMainThreadQueue queue;
  return queue;
}

TMainThreadQueue::TMainThreadQueue() : FMainThread(std::this_thread::get_id()) {}

void TMainThreadQueue::Enqueue(TRequest request) {
  std::function<void()> wakeUp;
  {
    std::lock_guard lock(FLock);
    FQueue.push_back(std::move(request));
    wakeUp = FWakeUp;
  }
  FChanged.notify_all();
  if (wakeUp) wakeUp();
}

void TMainThreadQueue::Post(TRequest request) {
  Enqueue([this, request = std::move(request)] {
    try {
      request();
    } catch (...) {
      std::function<void(std::exception_ptr)> handler;
      {
        std::lock_guard lock(FLock);
        handler = FErrorHandler;
      }
      if (handler)
        handler(std::current_exception());
      else
        std::fputs("unhandled error in a posted request\n", stderr);
    }
  });
}

// The state that a sender waits on; shared so that it outlives whichever side finishes first.
struct TMainThreadQueue::TSent {
  std::mutex Lock;
  std::condition_variable Done;
  bool Finished = false;
  std::exception_ptr Error;
};

void TMainThreadQueue::Send(TRequest request) {
  if (IsMainThread()) {
    request();
    return;
  }
  auto sent = std::make_shared<TSent>();
  Enqueue([sent, request = std::move(request)] {
    std::exception_ptr error;
    try {
      request();
    } catch (...) {
      error = std::current_exception();
    }
    std::lock_guard lock(sent->Lock);
    sent->Error = error;
    sent->Finished = true;
    sent->Done.notify_all();
  });
  std::unique_lock lock(sent->Lock);
  sent->Done.wait(lock, [&] { return sent->Finished; });
  if (sent->Error) std::rethrow_exception(sent->Error);
}

int TMainThreadQueue::ProcessPending() {
  std::deque<TRequest> batch;
  {
    std::lock_guard lock(FLock);
    batch.swap(FQueue);
  }
  for (auto& request : batch) request();
  return static_cast<int>(batch.size());
}

void TMainThreadQueue::WaitUntil(const std::function<bool()>& done) {
  for (;;) {
    ProcessPending();
    std::unique_lock lock(FLock);
    if (!FQueue.empty()) continue;
    // done() is checked under the lock that Notify takes, so that no wake-up is missed.
    if (done()) return;
    FChanged.wait(lock);
  }
}

void TMainThreadQueue::Notify() {
  { std::lock_guard lock(FLock); }
  FChanged.notify_all();
}

void TMainThreadQueue::SetWakeUp(std::function<void()> wakeUp) {
  std::lock_guard lock(FLock);
  FWakeUp = std::move(wakeUp);
}

void TMainThreadQueue::SetErrorHandler(std::function<void(std::exception_ptr)> handler) {
  std::lock_guard lock(FLock);
  FErrorHandler = std::move(handler);
}

}  // namespace kelvo
