#include "serial/com_types.h"

namespace kelvo {

namespace {

constexpr uint32_t kSpeeds[] = {0,     110,   300,   600,   1200,  2400,   4800,   9600,
                                14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};

struct TEventBit {
  TComEvent Event;
  uint32_t Bit;
  uint32_t WindowCode;
};

constexpr TEventBit kEventBits[] = {
    {evRxChar, device::EV_RXCHAR, 1}, {evTxEmpty, device::EV_TXEMPTY, 4},
    {evRxFlag, device::EV_RXFLAG, 2}, {evRing, device::EV_RING, 256},
    {evBreak, device::EV_BREAK, 64},  {evCTS, device::EV_CTS, 8},
    {evDSR, device::EV_DSR, 16},      {evError, device::EV_ERR, 128},
    {evRLSD, device::EV_RLSD, 32},    {evRx80Full, device::EV_RX80FULL, 1024}};

}  // namespace

std::string BaudRateToStr(TBaudRate rate) {
  if (rate == brCustom) return "Custom";
  return std::to_string(BaudRateSpeed(rate));
}

uint32_t BaudRateSpeed(TBaudRate rate) {
  auto i = static_cast<size_t>(rate);
  return i < std::size(kSpeeds) ? kSpeeds[i] : 0;
}

uint32_t EventsToDeviceMask(TComEvents events) {
  uint32_t mask = 0;
  for (const auto& e : kEventBits)
    if (events.Contains(e.Event)) mask |= e.Bit;
  return mask;
}

TComEvents DeviceMaskToEvents(uint32_t mask) {
  TComEvents events;
  for (const auto& e : kEventBits)
    if (mask & e.Bit) events.Include(e.Event);
  return events;
}

uint32_t EventToWindowCode(TComEvent event) {
  for (const auto& e : kEventBits)
    if (e.Event == event) return e.WindowCode;
  return 0;
}

TComSignals ModemStatusToSignals(uint32_t status) {
  TComSignals s;
  if (status & device::MS_CTS_ON) s.Include(csCTS);
  if (status & device::MS_DSR_ON) s.Include(csDSR);
  if (status & device::MS_RING_ON) s.Include(csRing);
  if (status & device::MS_RLSD_ON) s.Include(csRLSD);
  return s;
}

TComErrors DeviceErrorsToComErrors(uint32_t flags, bool parityChecked) {
  TComErrors e;
  if (flags & device::CE_FRAME) e.Include(ceFrame);
  if ((flags & device::CE_RXPARITY) && parityChecked) e.Include(ceRxParity);
  if (flags & device::CE_OVERRUN) e.Include(ceOverrun);
  if (flags & device::CE_BREAK) e.Include(ceBreak);
  if (flags & device::CE_IOE) e.Include(ceIO);
  if (flags & device::CE_MODE) e.Include(ceMode);
  if (flags & device::CE_RXOVER) e.Include(ceRxOver);
  if (flags & device::CE_TXFULL) e.Include(ceTxFull);
  return e;
}

}  // namespace kelvo
