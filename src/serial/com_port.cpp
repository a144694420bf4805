// Settings, the apply steps and the lifecycle of the port.
#include "serial/com_port.h"

#include <termios.h>

#include "serial/com_thread.h"
#include "serial/open_failure.h"

namespace kelvo {

TCustomComPort::TCustomComPort() {
  // The hand-over queue's main thread is the thread that creates the first port.
  TMainThreadQueue::Instance();
  FParity = std::make_unique<TComParity>(this);
  FFlowControl = std::make_unique<TComFlowControl>(this);
  FTimeouts = std::make_unique<TComTimeouts>(this);
  FBuffer = std::make_unique<TComBuffer>(this);
}

TCustomComPort::~TCustomComPort() {
  // A destructor must not throw: a failing close still releases the device below.
  try {
    Close();
  } catch (...) {
  }
  FEventThread.reset();
  FDevice.Close();
  std::lock_guard lock(FPendingLock);
  for (TAsync* a : FPending) a->Port = nullptr;
}

// --- Setters ---------------------------------------------------------------------------------

template <typename T>
void TCustomComPort::SetDcbValue(T& field, T value) {
  if (field == value) return;
  field = value;
  ApplyDCB();
}

void TCustomComPort::SetConnected(bool value) {
  if (value)
    Open();
  else
    Close();
}

void TCustomComPort::SetBaudRate(TBaudRate value) {
  SetDcbValue(FBaudRate, value);
}
void TCustomComPort::SetCustomBaudRate(int value) {
  SetDcbValue(FCustomBaudRate, value);
}
void TCustomComPort::SetDataBits(TDataBits value) {
  SetDcbValue(FDataBits, value);
}
void TCustomComPort::SetStopBits(TStopBits value) {
  SetDcbValue(FStopBits, value);
}
void TCustomComPort::SetDiscardNull(bool value) {
  SetDcbValue(FDiscardNull, value);
}
void TCustomComPort::SetEventChar(char value) {
  SetDcbValue(FEventChar, value);
}

void TCustomComPort::SetPortName(const std::string& value) {
  if (FPort == value) return;
  FPort = value;
  if (FConnected) {
    Close();
    Open();
  }
}

void TCustomComPort::SetSyncMethod(TSyncMethod value) {
  if (FSyncMethod == value) return;
  if (FConnected) throw EComPort(CError_ConnChangeProp);
  FSyncMethod = value;
}

void TCustomComPort::SetEventThreadPriority(TThreadPriority value) {
  if (FEventThreadPriority == value) return;
  if (FConnected) throw EComPort(CError_ConnChangeProp);
  FEventThreadPriority = value;
}

void TCustomComPort::SetParity(const TComParity& value) {
  value.AssignTo(*FParity);
  ApplyDCB();
}

void TCustomComPort::SetFlowControl(const TComFlowControl& value) {
  value.AssignTo(*FFlowControl);
  ApplyDCB();
}

void TCustomComPort::SetTimeouts(const TComTimeouts& value) {
  value.AssignTo(*FTimeouts);
  ApplyTimeouts();
}

void TCustomComPort::SetBuffer(const TComBuffer& value) {
  value.AssignTo(*FBuffer);
  ApplyBuffer();
}

void TCustomComPort::BeginUpdate() {
  ++FUpdateCount;
}

void TCustomComPort::EndUpdate() {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount == 0) SetupComPort();
}

// --- The control block and the apply steps ---------------------------------------------------

TDeviceControlBlock TCustomComPort::BuildDCB() const {
  const TComFlowControl& fc = *FFlowControl;
  const TComParity& parity = *FParity;
  TDeviceControlBlock b;
  b.BaudRate = FBaudRate == brCustom ? static_cast<uint32_t>(FCustomBaudRate) : BaudRateSpeed(FBaudRate);
  b.Flags = dcb::fBinary;
  const bool errorChar = parity.Check() && parity.Replace();
  if (parity.Check()) b.Flags |= dcb::fParity;
  if (fc.OutCTSFlow()) b.Flags |= dcb::fOutxCtsFlow;
  if (fc.OutDSRFlow()) b.Flags |= dcb::fOutxDsrFlow;
  b.Flags |= static_cast<uint32_t>(fc.ControlDTR()) << dcb::DtrControlShift;
  if (fc.DSRSensitivity()) b.Flags |= dcb::fDsrSensitivity;
  if (fc.TxContinueOnXoff()) b.Flags |= dcb::fTXContinueOnXoff;
  if (fc.XonXoffOut()) b.Flags |= dcb::fOutX;
  if (fc.XonXoffIn()) b.Flags |= dcb::fInX;
  if (errorChar) b.Flags |= dcb::fErrorChar;
  if (FDiscardNull) b.Flags |= dcb::fNull;
  b.Flags |= static_cast<uint32_t>(fc.ControlRTS()) << dcb::RtsControlShift;
  b.XonLim = static_cast<uint16_t>(FBuffer->InputSize() / 4);
  b.XoffLim = b.XonLim;
  b.ByteSize = static_cast<uint8_t>(5 + FDataBits);
  b.Parity = static_cast<uint8_t>(parity.Bits());
  b.StopBits = static_cast<uint8_t>(FStopBits);
  b.XonChar = fc.XonChar();
  b.XoffChar = fc.XoffChar();
  b.ErrorChar = errorChar ? parity.ReplaceChar() : 0;
  b.EvtChar = FEventChar;
  return b;
}

void TCustomComPort::ApplyDCB() {
  if (!FConnected || FUpdateCount > 0) return;
  if (int e = DeviceSetCommState(BuildDCB())) throw EComPort(CError_SetStateFailed, e);
}

void TCustomComPort::ApplyTimeouts() {
  if (!FConnected || FUpdateCount > 0) return;
  if (int e = DeviceSetCommTimeouts(*FTimeouts)) throw EComPort(CError_TimeoutsFailed, e);
}

void TCustomComPort::ApplyBuffer() {
  if (!FConnected || FUpdateCount > 0) return;
  if (int e = DeviceSetupComm(FBuffer->InputSize(), FBuffer->OutputSize()))
    throw EComPort(CError_SetupComFailed, e);
}

void TCustomComPort::SetupComPort() {
  ApplyBuffer();
  ApplyDCB();
  ApplyTimeouts();
}

int TCustomComPort::DeviceSetCommState(const TDeviceControlBlock& block) {
  termios current{};
  if (::tcgetattr(FDevice.Fd(), &current) == -1) return errno;
  TLineSettings settings;
  if (!MapControlBlock(block, current, settings).empty()) return ENOTSUP;
  if (int e = FDevice.ApplyLine(settings)) return e;
  FDeviceDiscardNull = settings.DiscardNull;
  FDeviceParityCheck = (block.Flags & dcb::fParity) != 0;
  return 0;
}

// Linux keeps the time-outs in the port, where the transfer loops read them; the call only
// confirms that the device is still there.
int TCustomComPort::DeviceSetCommTimeouts(const TComTimeouts& timeouts) {
  termios current{};
  if (::tcgetattr(FDevice.Fd(), &current) == -1) return errno;
  timeouts.AssignTo(FDeviceTimeouts);
  return 0;
}

// The sizes of a Linux terminal's queues are the driver's own; only the device is checked.
int TCustomComPort::DeviceSetupComm(int, int) {
  termios current{};
  return ::tcgetattr(FDevice.Fd(), &current) == -1 ? errno : 0;
}

// --- Lifecycle -------------------------------------------------------------------------------

void TCustomComPort::CreateHandle() {
  const std::string path = PortNameToDevicePath(FPort);
  if (int e = FDevice.Open(path))
    throw EComPort(CError_OpenFailed, e, OpenFailureText(path, e, FDevice.LockHolder()));
}

void TCustomComPort::DestroyHandle() {
  FDevice.Close();
}

void TCustomComPort::Open() {
  if (FConnected) return;
  DoBeforeOpen();
  CreateHandle();
  FConnected = true;
  try {
    SetupComPort();
  } catch (...) {
    DestroyHandle();
    FConnected = false;
    throw;
  }
  if (!FEvents.Empty()) {
    if (FSyncMethod == smWindowSync) FSyncWindow = std::make_shared<TSyncWindow>(TSyncWindow{this});
    FTxSignal = std::make_unique<TEventSignal>();
    FEventThread = std::make_unique<TComThread>(*this);
    FHasThread = true;
  }
  DoAfterOpen();
  DoCTSChange(Signals().Contains(csCTS));
  DoDSRChange(Signals().Contains(csDSR));
  DoRLSDChange(Signals().Contains(csRLSD));
}

void TCustomComPort::Close() {
  if (!FConnected) return;
  DoCTSChange(false);
  DoDSRChange(false);
  DoRLSDChange(false);
  DoBeforeClose();
  AbortAllAsync();
  if (FHasThread) {
    // The window goes first: messages posted for it and not yet run are dropped, also those that
    // the wait for the thread's end would otherwise run.
    FSyncWindow.reset();
    FEventThread.reset();
    FHasThread = false;
    FTxSignal.reset();
  }
  DestroyHandle();
  FConnected = false;
  DoAfterClose();
}

// --- Notification steps ----------------------------------------------------------------------

void TCustomComPort::DoAfterClose() {
  if (OnAfterClose) OnAfterClose(*this);
}
void TCustomComPort::DoAfterOpen() {
  if (OnAfterOpen) OnAfterOpen(*this);
}
void TCustomComPort::DoBeforeClose() {
  if (OnBeforeClose) OnBeforeClose(*this);
}
void TCustomComPort::DoBeforeOpen() {
  if (OnBeforeOpen) OnBeforeOpen(*this);
}
void TCustomComPort::DoRxChar(int count) {
  if (OnRxChar) OnRxChar(*this, count);
}
void TCustomComPort::DoRxBuf(const char* buffer, int count) {
  if (OnRxBuf) OnRxBuf(*this, buffer, count);
}
void TCustomComPort::DoTxEmpty() {
  if (OnTxEmpty) OnTxEmpty(*this);
}
void TCustomComPort::DoBreak() {
  if (OnBreak) OnBreak(*this);
}
void TCustomComPort::DoRing() {
  if (OnRing) OnRing(*this);
}
void TCustomComPort::DoRxFlag() {
  if (OnRxFlag) OnRxFlag(*this);
}
void TCustomComPort::DoCTSChange(bool onOff) {
  if (OnCTSChange) OnCTSChange(*this, onOff);
}
void TCustomComPort::DoDSRChange(bool onOff) {
  if (OnDSRChange) OnDSRChange(*this, onOff);
}
void TCustomComPort::DoError(TComErrors errors) {
  if (OnError) OnError(*this, errors);
}
void TCustomComPort::DoRLSDChange(bool onOff) {
  if (OnRLSDChange) OnRLSDChange(*this, onOff);
}
void TCustomComPort::DoRx80Full() {
  if (OnRx80Full) OnRx80Full(*this);
}

}  // namespace kelvo
