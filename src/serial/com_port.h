// TCustomComPort / TComPort: one serial device with its whole line configuration, opened and
// closed, configured whenever a setting changes while it is open, read and written with the
// device's time-outs, and watched by an event thread from Open to Close.
//
// What the application uses:
//   TComPort port;                         // defaults: 9600 8N1, no flow control, -1/0/0 reads
//   port.SetPortName("ttyUSB0");           // a name in /dev, or a path such as "/dev/pts/3"
//   port.Open();                           // EComPort code 1 with the system's text on failure
//   port.Timeouts().SetReadInterval(100);  // each time-out setter applies at once while open
//   port.BeginUpdate(); ...; port.EndUpdate();  // a group of changes in one transfer
//   port.SetBaudRate(br19200);             // in force before the next byte is written
//   port.ClearBuffer(true, true); port.WriteStr("AT\r\n");
//   char c; int n = port.Read(&c, 1);      // 0 when the read time-outs expire: no error
//   port.Close();
// Errors are EComPort (serial/com_error.h). Settings, Open and Close belong to the main thread.
// The event thread hands its events over through TMainThreadQueue (serial/main_thread_queue.h):
// the application's "process pending messages" calls TMainThreadQueue::Instance().ProcessPending(),
// and a window toolkit sets its SetWakeUp so that a hand-over also wakes an idle event loop.
// Linux cannot produce some settings (1.5 stop bits, DTR handshake, RTS toggle, DSR flow and
// sensitivity, CTS and RTS handshake apart, a parity replacement byte other than NUL); applying
// one fails with code 7, and so does a format that the device does not keep (a pseudo-terminal
// always has 8 data bits and no parity).
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "serial/com_async.h"
#include "serial/com_error.h"
#include "serial/com_settings.h"
#include "serial/com_types.h"
#include "serial/deadline.h"
#include "serial/device_control_block.h"
#include "serial/input_taken.h"
#include "serial/serial_device.h"

namespace kelvo {

class TComThread;
class TCustomComPort;

// The stand-in for the hidden window of the smWindowSync hand-over: requests posted for it run
// only while it lives, so messages still queued when the port closes are dropped.
struct TSyncWindow {
  TCustomComPort* Port;
};

class TCustomComPort {
 public:
  using TNotifyEvent = std::function<void(TCustomComPort& sender)>;
  using TRxCharEvent = std::function<void(TCustomComPort& sender, int count)>;
  using TRxBufEvent = std::function<void(TCustomComPort& sender, const char* buffer, int count)>;
  using TComErrorEvent = std::function<void(TCustomComPort& sender, TComErrors errors)>;
  using TComSignalEvent = std::function<void(TCustomComPort& sender, bool onOff)>;

  TCustomComPort();
  TCustomComPort(const TCustomComPort&) = delete;
  TCustomComPort& operator=(const TCustomComPort&) = delete;
  // Closes the device first.
  virtual ~TCustomComPort();

  // --- Settings ---------------------------------------------------------------------------
  bool Connected() const { return FConnected; }
  void SetConnected(bool value);
  TBaudRate BaudRate() const { return FBaudRate; }
  void SetBaudRate(TBaudRate value);
  const std::string& Port() const { return FPort; }
  // Exact comparison; while open the old device is closed and the new one opened.
  void SetPortName(const std::string& value);
  TComParity& Parity() { return *FParity; }
  void SetParity(const TComParity& value);
  TStopBits StopBits() const { return FStopBits; }
  void SetStopBits(TStopBits value);
  TDataBits DataBits() const { return FDataBits; }
  void SetDataBits(TDataBits value);
  bool DiscardNull() const { return FDiscardNull; }
  void SetDiscardNull(bool value);
  char EventChar() const { return FEventChar; }
  void SetEventChar(char value);
  // Taken by the event thread when the port opens; a change while open waits for the next Open.
  TComEvents Events() const { return FEvents; }
  void SetEvents(TComEvents value) { FEvents = value; }
  TComBuffer& Buffer() { return *FBuffer; }
  void SetBuffer(const TComBuffer& value);
  TComFlowControl& FlowControl() { return *FFlowControl; }
  void SetFlowControl(const TComFlowControl& value);
  TComTimeouts& Timeouts() { return *FTimeouts; }
  void SetTimeouts(const TComTimeouts& value);
  TSyncMethod SyncMethod() const { return FSyncMethod; }
  void SetSyncMethod(TSyncMethod value);  // code 14 while open
  int CustomBaudRate() const { return FCustomBaudRate; }
  void SetCustomBaudRate(int value);
  bool GetTriggersOnRxChar() const { return FTriggersOnRxChar; }
  void SetTriggersOnRxChar(bool value) { FTriggersOnRxChar = value; }
  TThreadPriority EventThreadPriority() const { return FEventThreadPriority; }
  void SetEventThreadPriority(TThreadPriority value);  // code 14 while open

  // Notification slots, called only when set, with the port as sender.
  TNotifyEvent OnAfterOpen, OnAfterClose, OnBeforeOpen, OnBeforeClose;
  TRxCharEvent OnRxChar;
  TRxBufEvent OnRxBuf;
  TNotifyEvent OnTxEmpty, OnBreak, OnRing, OnRxFlag, OnRx80Full;
  TComSignalEvent OnCTSChange, OnDSRChange, OnRLSDChange;
  TComErrorEvent OnError;

  // --- Lifecycle --------------------------------------------------------------------------
  void Open();
  // Aborts pending transfers, stops and joins the event thread (running its pending hand-overs
  // meanwhile), closes the device.
  void Close();
  // Changes inside a bracket are stored; the outermost EndUpdate applies all three groups.
  void BeginUpdate();
  void EndUpdate();
  // The control block that the current settings give.
  TDeviceControlBlock BuildDCB() const;

  // --- Reading and writing ----------------------------------------------------------------
  void InitAsync(PAsync& async);
  void DoneAsync(PAsync& async);
  int WriteAsync(const void* buffer, int count, PAsync& async);
  int WriteStrAsync(const std::string& str, PAsync& async);
  int ReadAsync(void* buffer, int count, PAsync& async);
  int ReadStrAsync(std::string& str, int count, PAsync& async);
  int WaitForAsync(PAsync& async);
  bool IsAsyncCompleted(const PAsync& async);
  int Write(const void* buffer, int count);
  int WriteStr(const std::string& str);
  int Read(void* buffer, int count);
  int ReadStr(std::string& str, int count);
  void AbortAllAsync();
  void ClearBuffer(bool input, bool output);
  int InputCount();
  int OutputCount();
  TComSignals Signals();
  TComErrors LastErrors();
  void SetDTR(bool onOff);
  void SetRTS(bool onOff);
  void SetBreak(bool onOff);
  void SetXonXoff(bool onOff);
  // True while the open device has modem-control lines (DTR, RTS, CTS, DSR, RI, DCD) and can send
  // a break; a pseudo-terminal has none.
  bool HasModemLines() const { return FDevice.IsOpen() && FDevice.HasModemLines(); }
  // Linux has no priority byte: the byte is written at once, after what the driver holds.
  void TransmitChar(char ch);
  // Waits for one of `events` without the event thread, until `stop` is set (when given) or
  // timeoutMs passes; `events` is then what happened (empty after a stop or a time-out).
  void WaitForEvent(TComEvents& events, const TEventSignal* stop, int timeoutMs);

  // The clock of the read and write time-outs.
  void SetClock(TClockFunction clock) { FClock = std::move(clock); }
  // A signal owned by the caller that ends the wait of every read and write, at once, as an abort
  // does, for as long as it is set: how another thread stops whatever waits on the device. Unlike
  // AbortAllAsync it also ends an operation started after it was set, so a stop cannot fall between
  // two reads. Given while the port is idle; none by default.
  void SetInterruptSignal(const TEventSignal* signal) { FInterrupt = signal; }
  // The smWindowSync hand-over: runs the step of one event code when the port is open.
  void WindowMethod(uint32_t code);

 protected:
  virtual void CreateHandle();
  virtual void DestroyHandle();
  virtual void SetupComPort();
  virtual void DoAfterClose();
  virtual void DoAfterOpen();
  virtual void DoBeforeClose();
  virtual void DoBeforeOpen();
  virtual void DoRxChar(int count);
  virtual void DoRxBuf(const char* buffer, int count);
  virtual void DoTxEmpty();
  virtual void DoBreak();
  virtual void DoRing();
  virtual void DoRxFlag();
  virtual void DoCTSChange(bool onOff);
  virtual void DoDSRChange(bool onOff);
  virtual void DoError(TComErrors errors);
  virtual void DoRLSDChange(bool onOff);
  virtual void DoRx80Full();
  // Each does nothing unless the port is open and outside an update bracket.
  virtual void ApplyDCB();
  virtual void ApplyTimeouts();
  virtual void ApplyBuffer();
  // The device calls of the apply steps, one per transfer; 0 or a system error number.
  virtual int DeviceSetCommState(const TDeviceControlBlock& block);
  virtual int DeviceSetCommTimeouts(const TComTimeouts& timeouts);
  virtual int DeviceSetupComm(int inputSize, int outputSize);

  TSerialDevice& Device() { return FDevice; }

 private:
  friend class TComParity;
  friend class TComFlowControl;
  friend class TComTimeouts;
  friend class TComBuffer;
  friend class TComThread;
  friend class TAsync;

  class TRecordGuard;

  template <typename T>
  void SetDcbValue(T& field, T value);
  void RunEventStep(TComEvent event);
  void QueryComStatus(int* inputCount, int* outputCount, uint32_t* errors);
  void CheckRecord(const PAsync& async) const;
  void StartTransfer(TAsync& async, TOperationKind kind, int count);
  bool StepTransfer(TAsync& async, bool mayWait);
  bool StepRead(TAsync& async, bool mayWait);
  bool StepWrite(TAsync& async, bool mayWait);
  int WaitDevice(TAsync& async, short events, std::optional<TMilliseconds> left);
  // Ends the operation with a system error (0 for none); always true, for "return Finish...".
  bool FinishTransfer(TAsync& async, int error);
  void Register(TAsync& async);
  void Unregister(TAsync& async);
  void AfterWrite();

  bool FConnected = false;
  TBaudRate FBaudRate = br9600;
  std::string FPort = "COM1";
  TStopBits FStopBits = sbOneStopBit;
  TDataBits FDataBits = dbEight;
  bool FDiscardNull = false;
  char FEventChar = 0;
  TComEvents FEvents = AllComEvents();
  TSyncMethod FSyncMethod = smThreadSync;
  int FCustomBaudRate = 9600;
  bool FTriggersOnRxChar = true;
  TThreadPriority FEventThreadPriority = tpNormal;
  // Declared so that they are freed in the order buffer, flow control, time-outs, parity.
  std::unique_ptr<TComParity> FParity;
  std::unique_ptr<TComTimeouts> FTimeouts;
  std::unique_ptr<TComFlowControl> FFlowControl;
  std::unique_ptr<TComBuffer> FBuffer;

  int FUpdateCount = 0;
  TSerialDevice FDevice;
  // What the device was last given: reads and writes follow these, not the holders.
  TComTimeouts FDeviceTimeouts;
  bool FDeviceDiscardNull = false;
  bool FDeviceParityCheck = false;
  std::unique_ptr<TComThread> FEventThread;
  bool FHasThread = false;
  std::shared_ptr<TSyncWindow> FSyncWindow;
  // Set after bytes were written, so that the event thread looks for an empty transmit queue.
  std::unique_ptr<TEventSignal> FTxSignal;
  // Counts the bytes read and the input purges, so that the event thread tells new bytes from
  // the ones it reported when the queue did not run empty between two looks.
  TInputTaken FInputTaken;
  TClockFunction FClock = [] { return TClock::now(); };
  const TEventSignal* FInterrupt = nullptr;
  std::mutex FPendingLock;
  std::set<TAsync*> FPending;
  std::vector<PAsync> FSpareRecords;  // kept by the synchronous forms for reuse
};

// The port that the application creates; it adds nothing to TCustomComPort.
class TComPort : public TCustomComPort {};

}  // namespace kelvo
