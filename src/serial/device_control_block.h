// The device control block: every line setting of the port in one flat record, built afresh from
// the settings at each apply. Its layout follows the classic 28-byte serial control block so that
// the flag bits and field values named by the component's rules can be checked directly.
#pragma once

#include <cstdint>

namespace kelvo {

struct TDeviceControlBlock {
  uint32_t DCBlength = 28;
  uint32_t BaudRate = 0;  // bits per second
  uint32_t Flags = 0;     // the dcb:: bits below
  uint16_t wReserved = 0;
  uint16_t XonLim = 0;   // XON is sent when the receive queue holds no more than this
  uint16_t XoffLim = 0;  // XOFF is sent when fewer than this many bytes of room remain
  uint8_t ByteSize = 0;  // 5..8
  uint8_t Parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
  uint8_t StopBits = 0;  // 0 one, 1 one and a half, 2 two
  char XonChar = 0;
  char XoffChar = 0;
  char ErrorChar = 0;  // replaces a byte received with a parity error (with fErrorChar)
  char EofChar = 0;
  char EvtChar = 0;  // its arrival signals evRxFlag
  uint16_t wReserved1 = 0;
};

namespace dcb {
inline constexpr uint32_t fBinary = 0x0001, fParity = 0x0002, fOutxCtsFlow = 0x0004, fOutxDsrFlow = 0x0008,
                          fDsrSensitivity = 0x0040, fTXContinueOnXoff = 0x0080, fOutX = 0x0100, fInX = 0x0200,
                          fErrorChar = 0x0400, fNull = 0x0800, fAbortOnError = 0x4000;
inline constexpr int DtrControlShift = 4, RtsControlShift = 12;

inline constexpr uint32_t DtrControl(uint32_t flags) {
  return (flags >> DtrControlShift) & 3u;
}
inline constexpr uint32_t RtsControl(uint32_t flags) {
  return (flags >> RtsControlShift) & 3u;
}
}  // namespace dcb

}  // namespace kelvo
