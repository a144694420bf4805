// The enumerations and small sets of the serial port component: line speeds, character format,
// flow control, device events, line signals and line errors, with the conversions between the sets
// and the device's bit masks.
#pragma once

#include <cstdint>
#include <string>

namespace kelvo {

enum TBaudRate {
  brCustom,  // the speed is CustomBaudRate
  br110,
  br300,
  br600,
  br1200,
  br2400,
  br4800,
  br9600,
  br14400,
  br19200,
  br38400,
  br56000,
  br57600,
  br115200,
  br128000,
  br256000
};

enum TStopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum TDataBits { dbFive, dbSix, dbSeven, dbEight };
enum TParityBits { prNone, prOdd, prEven, prMark, prSpace };
enum TDTRFlowControl { dtrDisable, dtrEnable, dtrHandshake };
enum TRTSFlowControl {
  rtsDisable,
  rtsEnable,
  rtsHandshake,
  rtsToggle  // on only while bytes are being sent
};
enum TFlowControl { fcHardware, fcSoftware, fcNone, fcCustom };

enum TComEvent {
  evRxChar,
  evTxEmpty,
  evRxFlag,  // EventChar was received
  evRing,
  evBreak,
  evCTS,
  evDSR,
  evError,  // a line error: framing, overrun, parity
  evRLSD,   // carrier detect changed
  evRx80Full
};

enum TSyncMethod {
  smThreadSync,  // the event thread blocks until the main thread has run the steps
  smWindowSync,  // the event thread posts one message per event and goes on
  smNone         // the steps run on the event thread
};

// Scheduling priority of the event thread.
enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

enum TOperationKind { okWrite, okRead };

enum TComSignal { csCTS, csDSR, csRing, csRLSD };

enum TComError { ceFrame, ceRxParity, ceOverrun, ceBreak, ceIO, ceMode, ceRxOver, ceTxFull };

// A set of an enumeration with at most 16 values: bit n stands for the value of ordinal n.
template <typename E>
class TSmallSet {
 public:
  constexpr TSmallSet() = default;
  constexpr TSmallSet(std::initializer_list<E> values) {
    for (E v : values) Include(v);
  }
  static constexpr TSmallSet FromMask(uint16_t mask) {
    TSmallSet s;
    s.FMask = mask;
    return s;
  }
  constexpr uint16_t Mask() const { return FMask; }
  constexpr bool Contains(E v) const { return (FMask >> static_cast<int>(v)) & 1u; }
  constexpr void Include(E v) { FMask = static_cast<uint16_t>(FMask | (1u << static_cast<int>(v))); }
  constexpr void Exclude(E v) { FMask = static_cast<uint16_t>(FMask & ~(1u << static_cast<int>(v))); }
  constexpr bool Empty() const { return FMask == 0; }
  constexpr bool operator==(const TSmallSet&) const = default;

 private:
  uint16_t FMask = 0;
};

using TComEvents = TSmallSet<TComEvent>;
using TComSignals = TSmallSet<TComSignal>;
using TComErrors = TSmallSet<TComError>;

constexpr TComEvents AllComEvents() {
  return TComEvents::FromMask(0x03FF);
}

// "110" ... "256000", or "Custom" for brCustom.
std::string BaudRateToStr(TBaudRate rate);
// Bits per second of a table speed; 0 for brCustom.
uint32_t BaudRateSpeed(TBaudRate rate);

// Device event bits (EV_RXCHAR 0x0001 ... EV_RX80FULL 0x0400); bits outside the table are dropped.
uint32_t EventsToDeviceMask(TComEvents events);
TComEvents DeviceMaskToEvents(uint32_t mask);

// Modem-status bits (MS_CTS_ON 0x10, MS_DSR_ON 0x20, MS_RING_ON 0x40, MS_RLSD_ON 0x80).
TComSignals ModemStatusToSignals(uint32_t status);
// Device error flags (CE_RXOVER 0x0001 ... CE_MODE 0x8000); parity errors count only when checked.
TComErrors DeviceErrorsToComErrors(uint32_t flags, bool parityChecked);

// The message codes of the smWindowSync hand-over (evRxChar 1, evRxFlag 2, evTxEmpty 4, ...).
uint32_t EventToWindowCode(TComEvent event);

// The order in which the steps of a set of events run.
inline constexpr TComEvent kDoEventsOrder[] = {evError, evRxChar, evTxEmpty, evBreak, evRing,
                                               evCTS,   evDSR,    evRxFlag,  evRLSD,  evRx80Full};

// Device constants shared by the conversions above and the device layer.
namespace device {
inline constexpr uint32_t EV_RXCHAR = 0x0001, EV_RXFLAG = 0x0002, EV_TXEMPTY = 0x0004, EV_CTS = 0x0008,
                          EV_DSR = 0x0010, EV_RLSD = 0x0020, EV_BREAK = 0x0040, EV_ERR = 0x0080,
                          EV_RING = 0x0100, EV_RX80FULL = 0x0400;
inline constexpr uint32_t MS_CTS_ON = 0x10, MS_DSR_ON = 0x20, MS_RING_ON = 0x40, MS_RLSD_ON = 0x80;
inline constexpr uint32_t CE_RXOVER = 0x0001, CE_OVERRUN = 0x0002, CE_RXPARITY = 0x0004, CE_FRAME = 0x0008,
                          CE_BREAK = 0x0010, CE_TXFULL = 0x0100, CE_IOE = 0x0400, CE_MODE = 0x8000;
inline constexpr uint32_t PURGE_TXABORT = 0x0001, PURGE_RXABORT = 0x0002, PURGE_TXCLEAR = 0x0004,
                          PURGE_RXCLEAR = 0x0008;
}  // namespace device

}  // namespace kelvo
