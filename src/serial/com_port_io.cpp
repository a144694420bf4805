// The data side of the port: operation records, reads and writes with the device's time-outs,
// purging, queue counts, line signals and errors.
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "serial/com_port.h"
#include "serial/event_watcher.h"

namespace kelvo {

TAsync::~TAsync() {
  if (Port) Port->Unregister(*this);
}

// --- Records ---------------------------------------------------------------------------------

void TCustomComPort::InitAsync(PAsync& async) {
  async = std::make_unique<TAsync>();
}

void TCustomComPort::DoneAsync(PAsync& async) {
  async.reset();
}

void TCustomComPort::CheckRecord(const PAsync& async) const {
  if (!async) throw EComPort(CError_InvalidAsync);
}

void TCustomComPort::Register(TAsync& async) {
  std::lock_guard lock(FPendingLock);
  FPending.insert(&async);
  async.Port = this;
}

void TCustomComPort::Unregister(TAsync& async) {
  std::lock_guard lock(FPendingLock);
  FPending.erase(&async);
  async.Port = nullptr;
}

void TCustomComPort::StartTransfer(TAsync& async, TOperationKind kind, int count) {
  if (async.Port) Unregister(async);
  async.OpKind = kind;
  async.Count = std::max(count, 0);
  async.Transferred = 0;
  async.Error = 0;
  if (async.Aborted) {
    async.AbortSignal.Reset();
    async.Aborted = false;
  }
  async.State = TAsync::TState::Pending;
  const TTimePoint now = FClock();
  const auto n = static_cast<uint32_t>(async.Count);
  const TComTimeouts& t = FDeviceTimeouts;
  async.ReadDeadline.reset();
  async.WriteDeadline.reset();
  if (kind == okRead)
    async.ReadDeadline.emplace(static_cast<uint32_t>(t.ReadInterval()),
                               static_cast<uint32_t>(t.ReadTotalMultiplier()),
                               static_cast<uint32_t>(t.ReadTotalConstant()), n, now);
  else
    async.WriteDeadline.emplace(static_cast<uint32_t>(t.WriteTotalMultiplier()),
                                static_cast<uint32_t>(t.WriteTotalConstant()), n, now);
  Register(async);
}

bool TCustomComPort::FinishTransfer(TAsync& async, int error) {
  async.Error = error;
  async.State = TAsync::TState::Done;
  Unregister(async);
  return true;
}

int TCustomComPort::WriteAsync(const void* buffer, int count, PAsync& async) {
  CheckRecord(async);
  StartTransfer(*async, okWrite, count);
  async->WriteBuffer = static_cast<const char*>(buffer);
  if (!StepTransfer(*async, false)) return 0;
  if (async->Error) {
    async->State = TAsync::TState::Idle;
    throw EComPort(CError_WriteFailed, async->Error);
  }
  return async->Transferred;
}

int TCustomComPort::WriteStrAsync(const std::string& str, PAsync& async) {
  if (str.empty()) return 0;
  return WriteAsync(str.data(), static_cast<int>(str.size()), async);
}

int TCustomComPort::ReadAsync(void* buffer, int count, PAsync& async) {
  CheckRecord(async);
  StartTransfer(*async, okRead, count);
  async->ReadBuffer = static_cast<char*>(buffer);
  if (!StepTransfer(*async, false)) return 0;
  if (async->Error) {
    async->State = TAsync::TState::Idle;
    throw EComPort(CError_ReadFailed, async->Error);
  }
  return async->Transferred;
}

int TCustomComPort::ReadStrAsync(std::string& str, int count, PAsync& async) {
  if (count <= 0) return 0;
  str.assign(static_cast<size_t>(count), '\0');
  return ReadAsync(str.data(), count, async);
}

int TCustomComPort::WaitForAsync(PAsync& async) {
  CheckRecord(async);
  TAsync& a = *async;
  if (a.State == TAsync::TState::Pending) StepTransfer(a, true);
  if (a.State == TAsync::TState::Done && a.Error)
    throw EComPort(a.OpKind == okWrite ? CError_WriteFailed : CError_ReadFailed, a.Error);
  return a.State == TAsync::TState::Done ? a.Transferred : 0;
}

bool TCustomComPort::IsAsyncCompleted(const PAsync& async) {
  CheckRecord(async);
  TAsync& a = *async;
  if (a.State != TAsync::TState::Pending) return true;
  if (!StepTransfer(a, false)) return false;
  if (a.Error) throw EComPort(CError_AsyncCheck, a.Error);
  return true;
}

namespace {}  // namespace

// The record of a synchronous call, released however the call ends. Released records are kept
// for the next call: making one costs an eventfd, which a byte-at-a-time reader would pay twice
// per byte.
class TCustomComPort::TRecordGuard {
 public:
  TRecordGuard(TCustomComPort& port, PAsync& async) : FPort(port), FAsync(async) {
    std::lock_guard lock(FPort.FPendingLock);
    if (FPort.FSpareRecords.empty()) {
      FPort.InitAsync(FAsync);
    } else {
      FAsync = std::move(FPort.FSpareRecords.back());
      FPort.FSpareRecords.pop_back();
    }
  }
  ~TRecordGuard() {
    if (FAsync->Port) FPort.Unregister(*FAsync);
    FAsync->State = TAsync::TState::Idle;
    std::lock_guard lock(FPort.FPendingLock);
    if (FPort.FSpareRecords.size() < kMaxSpareRecords) FPort.FSpareRecords.push_back(std::move(FAsync));
  }

 private:
  static constexpr size_t kMaxSpareRecords = 4;
  TCustomComPort& FPort;
  PAsync& FAsync;
};

int TCustomComPort::Write(const void* buffer, int count) {
  PAsync async;
  TRecordGuard guard(*this, async);
  WriteAsync(buffer, count, async);
  return WaitForAsync(async);
}

int TCustomComPort::WriteStr(const std::string& str) {
  PAsync async;
  TRecordGuard guard(*this, async);
  WriteStrAsync(str, async);
  return WaitForAsync(async);
}

int TCustomComPort::Read(void* buffer, int count) {
  PAsync async;
  TRecordGuard guard(*this, async);
  ReadAsync(buffer, count, async);
  return WaitForAsync(async);
}

int TCustomComPort::ReadStr(std::string& str, int count) {
  PAsync async;
  TRecordGuard guard(*this, async);
  ReadStrAsync(str, count, async);
  int n = WaitForAsync(async);
  str.resize(static_cast<size_t>(n));
  return n;
}

// --- The transfer loops ----------------------------------------------------------------------

// Moves the operation on; with mayWait it waits until the operation ends. True once it has ended
// (the record then holds the count and the error, if any).
bool TCustomComPort::StepTransfer(TAsync& async, bool mayWait) {
  if (async.State != TAsync::TState::Pending) return true;
  if (async.Aborted) return FinishTransfer(async, 0);
  if (!FDevice.IsOpen()) return FinishTransfer(async, EBADF);
  return async.OpKind == okRead ? StepRead(async, mayWait) : StepWrite(async, mayWait);
}

bool TCustomComPort::StepRead(TAsync& a, bool mayWait) {
  for (;;) {
    if (a.Aborted || a.Transferred == a.Count) return FinishTransfer(a, 0);
    char* at = a.ReadBuffer + a.Transferred;
    ssize_t n = RetryOnEintr([&] { return SystemCalls().Read(FDevice.Fd(), at, a.Count - a.Transferred); });
    if (n > 0) {
      FInputTaken.Bytes += static_cast<uint64_t>(n);
      if (FDeviceDiscardNull) n = std::remove(at, at + n, '\0') - at;
      a.Transferred += static_cast<int>(n);
      if (n > 0) a.ReadDeadline->BytesArrived(FClock());
      continue;
    }
    // A terminal read as 0 with VMIN 1: the line has hung up (the other side went away).
    if (n == 0) return FinishTransfer(a, EIO);
    if (errno != EAGAIN) return FinishTransfer(a, errno);
    const TTimePoint now = FClock();
    if (a.ReadDeadline->Expired(now)) return FinishTransfer(a, 0);
    if (!mayWait) return false;
    if (int e = WaitDevice(a, POLLIN, a.ReadDeadline->TimeLeft(now))) return FinishTransfer(a, e);
  }
}

bool TCustomComPort::StepWrite(TAsync& a, bool mayWait) {
  for (;;) {
    if (a.Aborted || a.Transferred == a.Count) return FinishTransfer(a, 0);
    const char* at = a.WriteBuffer + a.Transferred;
    ssize_t n = RetryOnEintr([&] { return SystemCalls().Write(FDevice.Fd(), at, a.Count - a.Transferred); });
    if (n > 0) {
      a.Transferred += static_cast<int>(n);
      AfterWrite();
      continue;
    }
    if (n == -1 && errno != EAGAIN) return FinishTransfer(a, errno);
    const TTimePoint now = FClock();
    if (a.WriteDeadline->Expired(now)) return FinishTransfer(a, 0);
    if (!mayWait) return false;
    if (int e = WaitDevice(a, POLLOUT, a.WriteDeadline->TimeLeft(now))) return FinishTransfer(a, e);
  }
}

// One wait for the device to become ready, for the time left, for an abort or for the interrupt
// signal. 0 or an error; an interrupt marks the operation aborted, so that its loop ends it.
int TCustomComPort::WaitDevice(TAsync& a, short events, std::optional<TMilliseconds> left) {
  pollfd fds[3] = {{FDevice.Fd(), events, 0}, {a.AbortSignal.Fd(), POLLIN, 0}, {-1, POLLIN, 0}};
  if (FInterrupt != nullptr) fds[2].fd = FInterrupt->Fd();
  int r = RetryOnEintr([&] { return SystemCalls().Poll(fds, 3, PollTimeout(left)); });
  if (r == -1) return errno;
  if (fds[2].revents & POLLIN) a.Aborted = true;
  // A device that has hung up or failed, with nothing left to read or room to write, would wake
  // every poll at once: it is an I/O error. Bytes still queued are read first.
  if ((fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) && !(fds[0].revents & events)) return EIO;
  return 0;
}

void TCustomComPort::AfterWrite() {
  if (FTxSignal) FTxSignal->Set();
}

void TCustomComPort::AbortAllAsync() {
  if (!FDevice.IsOpen()) throw EComPort(CError_PurgeFailed, EBADF);
  std::lock_guard lock(FPendingLock);
  for (TAsync* a : FPending) {
    a->Aborted = true;
    a->AbortSignal.Set();
  }
}

// --- Queues, signals and line state ----------------------------------------------------------

void TCustomComPort::ClearBuffer(bool input, bool output) {
  if (!FDevice.IsOpen()) throw EComPort(CError_PurgeFailed, EBADF);
  if (int e = FDevice.Purge(input, output)) throw EComPort(CError_PurgeFailed, e);
  if (input) ++FInputTaken.Purges;
}

// The status query: error flags since the last query (cleared by it) and both queue counts.
void TCustomComPort::QueryComStatus(int* inputCount, int* outputCount, uint32_t* errors) {
  if (!FDevice.IsOpen()) throw EComPort(CError_ClearComFailed, EBADF);
  uint32_t flags = 0;
  int in = 0, out = 0;
  int e = FDevice.TakeLineErrors(flags);
  if (!e) e = FDevice.InputCount(in);
  if (!e) e = FDevice.OutputCount(out);
  if (e) throw EComPort(CError_ClearComFailed, e);
  if (inputCount) *inputCount = in;
  if (outputCount) *outputCount = out;
  if (errors) *errors = flags;
}

int TCustomComPort::InputCount() {
  int n = 0;
  QueryComStatus(&n, nullptr, nullptr);
  return n;
}

int TCustomComPort::OutputCount() {
  int n = 0;
  QueryComStatus(nullptr, &n, nullptr);
  return n;
}

TComErrors TCustomComPort::LastErrors() {
  uint32_t flags = 0;
  QueryComStatus(nullptr, nullptr, &flags);
  return DeviceErrorsToComErrors(flags, FDeviceParityCheck);
}

// A pseudo-terminal has no modem lines: every signal reads as off.
TComSignals TCustomComPort::Signals() {
  if (!FDevice.IsOpen()) throw EComPort(CError_ModemStatFailed, EBADF);
  if (!FDevice.HasModemLines()) return {};
  uint32_t status = 0;
  if (int e = FDevice.ModemStatus(status)) throw EComPort(CError_ModemStatFailed, e);
  return ModemStatusToSignals(status);
}

namespace {

void Escape(TSerialDevice& device, const std::function<int()>& call) {
  int e = device.IsOpen() ? call() : EBADF;
  if (e) throw EComPort(CError_EscapeComFailed, e);
}

}  // namespace

void TCustomComPort::SetDTR(bool onOff) {
  Escape(FDevice, [&] { return FDevice.SetModemLine(TIOCM_DTR, onOff); });
}
void TCustomComPort::SetRTS(bool onOff) {
  Escape(FDevice, [&] { return FDevice.SetModemLine(TIOCM_RTS, onOff); });
}
void TCustomComPort::SetBreak(bool onOff) {
  Escape(FDevice, [&] { return FDevice.SetBreak(onOff); });
}
void TCustomComPort::SetXonXoff(bool onOff) {
  Escape(FDevice, [&] { return FDevice.SetOutputFlow(onOff); });
}

void TCustomComPort::TransmitChar(char ch) {
  if (!FDevice.IsOpen()) throw EComPort(CError_TransmitFailed, EBADF);
  ssize_t n = RetryOnEintr([&] { return SystemCalls().Write(FDevice.Fd(), &ch, 1); });
  // A full driver queue (EAGAIN) is a failure here: the byte cannot go ahead of the queue.
  if (n != 1) throw EComPort(CError_TransmitFailed, n == -1 ? errno : EAGAIN);
  AfterWrite();
}

void TCustomComPort::WaitForEvent(TComEvents& events, const TEventSignal* stop, int timeoutMs) {
  if (FHasThread) throw EComPort(CError_ThreadCreated);
  if (!FDevice.IsOpen()) throw EComPort(CError_WaitFailed, EBADF);
  TEventWatcher watcher(FDevice, EventsToDeviceMask(events), FBuffer->InputSize(), nullptr);
  uint32_t happened = 0;
  bool stopped = false;
  int e = watcher.Wait(stop ? stop->Fd() : -1, timeoutMs, happened, stopped);
  events = DeviceMaskToEvents(happened);
  if (e) throw EComPort(CError_WaitFailed, e);
}

// --- The steps of device events --------------------------------------------------------------

void TCustomComPort::RunEventStep(TComEvent event) {
  switch (event) {
    case evError:
      if (TComErrors errors = LastErrors(); !errors.Empty()) DoError(errors);
      break;
    case evRxChar: {
      int n = InputCount();
      if (n == 0) break;
      if (FTriggersOnRxChar) {
        DoRxChar(n);
        break;
      }
      std::vector<char> buffer(static_cast<size_t>(n));
      // The bytes actually read, which can be fewer when another reader took some first.
      int got = Read(buffer.data(), n);
      DoRxBuf(buffer.data(), got);
      break;
    }
    case evTxEmpty:
      DoTxEmpty();
      break;
    case evBreak:
      DoBreak();
      break;
    case evRing:
      DoRing();
      break;
    case evCTS:
      DoCTSChange(Signals().Contains(csCTS));
      break;
    case evDSR:
      DoDSRChange(Signals().Contains(csDSR));
      break;
    case evRxFlag:
      DoRxFlag();
      break;
    case evRLSD:
      DoRLSDChange(Signals().Contains(csRLSD));
      break;
    case evRx80Full:
      DoRx80Full();
      break;
  }
}

void TCustomComPort::WindowMethod(uint32_t code) {
  if (!FConnected) return;
  for (TComEvent e : kDoEventsOrder)
    if (EventToWindowCode(e) == code) RunEventStep(e);
}

}  // namespace kelvo
