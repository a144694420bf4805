#include "serial/event_watcher.h"

#include "serial/com_types.h"
#include "serial/deadline.h"

namespace kelvo {

namespace {

constexpr int kLookEveryMs = 20;
constexpr uint32_t kRxBits = device::EV_RXCHAR | device::EV_RXFLAG | device::EV_RX80FULL;
constexpr uint32_t kCounterBits =
    device::EV_CTS | device::EV_DSR | device::EV_RLSD | device::EV_RING | device::EV_BREAK | device::EV_ERR;

}  // namespace

TEventWatcher::TEventWatcher(TSerialDevice& device, uint32_t deviceMask, int inputSize,
                             TEventSignal* txSignal, const TInputTaken* taken)
    : FDevice(device), FMask(deviceMask), FInputSize(inputSize), FTxSignal(txSignal), FTaken(taken) {
  FHasCounters = (FMask & kCounterBits) && FDevice.Counters(FCounters) == 0;
}

bool TEventWatcher::LookAtInput(TInputLook& look) {
  if (FTaken) {
    look.Purges = FTaken->Purges.load();
    look.Taken = FTaken->Bytes.load();
  }
  return FDevice.InputCount(look.Count) == 0;
}

// After a purge every byte in the queue came later; otherwise bytes are new when more have entered
// the queue than at the last report.
bool TEventWatcher::HasNewBytes(const TInputLook& look) const {
  if (look.Purges != FRxReported.Purges) return look.Count > 0;
  return look.Taken + static_cast<uint64_t>(look.Count) >
         FRxReported.Taken + static_cast<uint64_t>(FRxReported.Count);
}

uint32_t TEventWatcher::ReceivedEvents(const TInputLook& look) {
  uint32_t events = device::EV_RXCHAR;
  if (FInputSize > 0 && look.Count * 5 >= FInputSize * 4) events |= device::EV_RX80FULL;
  FRxLooking = true;
  FRxReported = look;
  return events;
}

uint32_t TEventWatcher::CounterEvents() {
  serial_icounter_struct now{};
  if (!FHasCounters || FDevice.Counters(now) != 0) return 0;
  uint32_t events = 0;
  if (now.cts != FCounters.cts) events |= device::EV_CTS;
  if (now.dsr != FCounters.dsr) events |= device::EV_DSR;
  if (now.dcd != FCounters.dcd) events |= device::EV_RLSD;
  if (now.rng != FCounters.rng) events |= device::EV_RING;
  if (now.brk != FCounters.brk) events |= device::EV_BREAK;
  if (now.frame != FCounters.frame || now.overrun != FCounters.overrun || now.parity != FCounters.parity ||
      now.buf_overrun != FCounters.buf_overrun)
    events |= device::EV_ERR;
  FCounters = now;
  return events;
}

// What can only be learnt by looking: more bytes behind an unread queue, the transmit queue
// running empty, and the counters.
uint32_t TEventWatcher::Collect() {
  uint32_t events = CounterEvents();
  TInputLook look;
  if (FRxLooking && LookAtInput(look)) {
    if (look.Count == 0)
      FRxLooking = false;
    else if (HasNewBytes(look))
      events |= ReceivedEvents(look);
  }
  int count = 0;
  if (FTxPending && FDevice.OutputCount(count) == 0 && count == 0) {
    FTxPending = false;
    events |= device::EV_TXEMPTY;
  }
  return events & FMask;
}

bool TEventWatcher::NeedsLooking() const {
  return FHasCounters || FTxPending || (FRxLooking && (FMask & kRxBits));
}

int TEventWatcher::Wait(int stopFd, int timeoutMs, uint32_t& events, bool& stopped) {
  events = 0;
  stopped = false;
  const TTimePoint start = TClock::now();
  TWriteDeadline deadline(0, timeoutMs < 0 ? 0 : static_cast<uint32_t>(timeoutMs), 1, start);
  for (;;) {
    if ((events = Collect())) return 0;
    const bool watchRx = !FRxLooking && (FMask & kRxBits);
    pollfd fds[3] = {{stopFd, POLLIN, 0},
                     {watchRx ? FDevice.Fd() : -1, POLLIN, 0},
                     {FTxSignal && (FMask & device::EV_TXEMPTY) ? FTxSignal->Fd() : -1, POLLIN, 0}};
    int wait = timeoutMs < 0 ? -1 : PollTimeout(deadline.TimeLeft(TClock::now()));
    if (NeedsLooking()) wait = wait < 0 ? kLookEveryMs : std::min(wait, kLookEveryMs);
    if (RetryOnEintr([&] { return ::poll(fds, 3, wait); }) == -1) return errno;
    if (fds[0].revents) {
      stopped = true;
      return 0;
    }
    if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) return EIO;
    TInputLook look;
    if ((fds[1].revents & POLLIN) && LookAtInput(look) && look.Count > 0)
      if ((events = ReceivedEvents(look) & FMask)) return 0;
    if (fds[2].revents) {
      FTxSignal->Reset();
      FTxPending = true;
    }
    if (timeoutMs == 0 || (timeoutMs > 0 && deadline.Expired(TClock::now()))) return 0;
  }
}

}  // namespace kelvo
