#include "serial/com_thread.h"

#include <sys/resource.h>
#include <unistd.h>

#include "serial/com_port.h"

namespace kelvo {

namespace {

// Linux schedules ordinary threads by their nice value; raising it needs privileges, so a higher
// priority than normal may silently stay normal.
void ApplyPriority(TThreadPriority priority) {
  static constexpr int kNice[] = {19, 10, 5, 0, -5, -10, -20};
  setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kNice[priority]);
}

}  // namespace

TComThread::TComThread(TCustomComPort& port)
    : FComPort(port),
      FWatcher(port.FDevice, EventsToDeviceMask(port.FEvents), port.FBuffer->InputSize(),
               port.FTxSignal.get(), &port.FInputTaken),
      FPriority(port.FEventThreadPriority),
      FWindow(port.FSyncWindow) {
  FThread = std::thread([this] { Execute(); });
}

TComThread::~TComThread() {
  Stop();
  if (TMainThreadQueue::Instance().IsMainThread())
    TMainThreadQueue::Instance().WaitUntil([this] { return FFinished.load(); });
  FThread.join();
}

void TComThread::Stop() {
  FStopEvent.Set();
  std::this_thread::yield();
}

void TComThread::Execute() {
  ApplyPriority(FPriority);
  for (;;) {
    uint32_t events = 0;
    bool stopped = false;
    // A device that can no longer be watched (it hung up) ends the run; the port stays open.
    if (FWatcher.Wait(FStopEvent.Fd(), -1, events, stopped) != 0 || stopped) break;
    // Events seen while Close is waiting are not handed over: the close would never end on a busy line.
    if (FStopEvent.IsSet()) break;
    FEvents = DeviceMaskToEvents(events);
    try {
      DispatchComMsg();
    } catch (...) {
      // A failed query inside a hand-over ends the run; reads and writes go on without events.
      break;
    }
  }
  FComPort.FDevice.Purge(true, true);
  FFinished = true;
  TMainThreadQueue::Instance().Notify();
}

void TComThread::DispatchComMsg() {
  switch (FComPort.FSyncMethod) {
    case smThreadSync:
      TMainThreadQueue::Instance().Send([this] { DoEvents(); });
      break;
    case smWindowSync:
      SendEvents();
      break;
    case smNone:
      DoEvents();
      break;
  }
}

void TComThread::DoEvents() {
  for (TComEvent e : kDoEventsOrder)
    if (FEvents.Contains(e)) FComPort.RunEventStep(e);
}

void TComThread::SendEvents() {
  for (TComEvent e : kDoEventsOrder) {
    if (!FEvents.Contains(e)) continue;
    TMainThreadQueue::Instance().Post([window = FWindow, code = EventToWindowCode(e)] {
      if (auto w = window.lock()) w->Port->WindowMethod(code);
    });
  }
}

}  // namespace kelvo
