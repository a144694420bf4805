// Waits for device events without busy waiting: received bytes by poll(), an empty transmit
// queue after the port has written, and line signal changes, breaks and line errors from the
// driver's counters. Linux offers no wake-up for the counters, so they are looked at every
// 20 ms, and only on a device that has them (never on a pseudo-terminal).
#pragma once

#include <linux/serial.h>

#include <cstdint>

#include "serial/serial_device.h"
#include "serial/unix_fd.h"

namespace kelvo {

class TEventWatcher {
 public:
  // deviceMask: the device event bits to report (EV_RXCHAR ...). txSignal: set by the port after
  // it wrote, or none.
  TEventWatcher(TSerialDevice& device, uint32_t deviceMask, int inputSize, TEventSignal* txSignal);

  // Waits until one of the events happens (events gets their bits), stopFd becomes readable
  // (stopped; -1 for none) or timeoutMs passes (-1: no limit). 0, or the system error of a device
  // that can no longer be watched (EIO after a hang-up).
  int Wait(int stopFd, int timeoutMs, uint32_t& events, bool& stopped);

 private:
  uint32_t Collect();
  uint32_t CounterEvents();
  uint32_t ReceivedEvents(int count);
  bool NeedsLooking() const;

  TSerialDevice& FDevice;
  uint32_t FMask;
  int FInputSize;
  TEventSignal* FTxSignal;
  // Bytes in the receive queue when evRxChar was last reported; -1 while the queue is empty and
  // poll() watches for the next byte.
  int FRxReported = -1;
  bool FTxPending = false;
  bool FHasCounters;
  serial_icounter_struct FCounters{};
};

}  // namespace kelvo
