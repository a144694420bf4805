// TComThread: the event thread of an open port. It waits for the device events of the port's
// Events and hands each set of them over as the port's SyncMethod says: through the main-thread
// queue, blocking until the main thread has run the steps (smThreadSync); as one posted message
// per event (smWindowSync); or by running the steps itself (smNone).
#pragma once

#include <atomic>
#include <memory>
#include <thread>

#include "serial/com_types.h"
#include "serial/event_watcher.h"
#include "serial/main_thread_queue.h"
#include "serial/unix_fd.h"

namespace kelvo {

class TCustomComPort;
struct TSyncWindow;

class TComThread {
 public:
  // Takes the port's Events and EventThreadPriority and starts the thread.
  explicit TComThread(TCustomComPort& port);
  // Stops the thread and waits for its end; on the main thread, hand-overs that the thread is
  // waiting on run meanwhile, so a blocked hand-over cannot block the close.
  ~TComThread();
  TComThread(const TComThread&) = delete;
  TComThread& operator=(const TComThread&) = delete;

  void Stop();
  TComEvents LastEvents() const { return FEvents; }

 private:
  void Execute();
  void DispatchComMsg();
  void DoEvents();
  void SendEvents();

  TCustomComPort& FComPort;
  TEventSignal FStopEvent;
  TEventWatcher FWatcher;
  TThreadPriority FPriority;
  TComEvents FEvents;
  // The smWindowSync window, taken when the thread starts: Close drops the port's window while the
  // thread may still be posting, so the thread never reads the port's pointer.
  std::weak_ptr<TSyncWindow> FWindow;
  std::atomic<bool> FFinished{false};
  std::thread FThread;
};

}  // namespace kelvo
