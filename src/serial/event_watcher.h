// Waits for device events without busy waiting: received bytes by poll(), an empty transmit
// queue after the port has written, and line signal changes, breaks and line errors from the
// driver's counters. Linux offers no wake-up for the counters, so they are looked at every
// 20 ms, and only on a device that has them (never on a pseudo-terminal).
#pragma once

#include <linux/serial.h>

#include <cstdint>

#include "serial/input_taken.h"
#include "serial/serial_device.h"
#include "serial/unix_fd.h"

namespace kelvo {

class TEventWatcher {
 public:
  // deviceMask: the device event bits to report (EV_RXCHAR ...). txSignal: set by the port after
  // it wrote, or none. taken: what the port's readers took from the receive queue, or none when
  // nobody reads while the watcher waits.
  TEventWatcher(TSerialDevice& device, uint32_t deviceMask, int inputSize, TEventSignal* txSignal,
                const TInputTaken* taken = nullptr);

  // Waits until one of the events happens (events gets their bits), stopFd becomes readable
  // (stopped; -1 for none) or timeoutMs passes (-1: no limit). 0, or the system error of a device
  // that can no longer be watched (EIO after a hang-up).
  int Wait(int stopFd, int timeoutMs, uint32_t& events, bool& stopped);

 private:
  // One look at the receive queue: the readers' counts, taken before the queue's count so that a
  // read between the two can only make the bytes seem fewer (never new when they are not).
  struct TInputLook {
    uint64_t Purges = 0;
    uint64_t Taken = 0;
    int Count = 0;
  };

  uint32_t Collect();
  uint32_t CounterEvents();
  bool LookAtInput(TInputLook& look);
  bool HasNewBytes(const TInputLook& look) const;
  uint32_t ReceivedEvents(const TInputLook& look);
  bool NeedsLooking() const;

  TSerialDevice& FDevice;
  uint32_t FMask;
  int FInputSize;
  TEventSignal* FTxSignal;
  const TInputTaken* FTaken;
  // True from a report of evRxChar until the queue is seen empty: new bytes behind unread ones are
  // found by looking. False while poll() watches the empty queue for the next byte.
  bool FRxLooking = false;
  // The look of the last evRxChar report.
  TInputLook FRxReported;
  bool FTxPending = false;
  bool FHasCounters;
  serial_icounter_struct FCounters{};
};

}  // namespace kelvo
