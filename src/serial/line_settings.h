// How a device control block becomes terminal settings on Linux: the termios flags of a raw
// binary line, the speed, the state of DTR and RTS, and what Linux cannot do at all.
#pragma once

#include <termios.h>

#include <cstdint>
#include <string>

#include "serial/device_control_block.h"

namespace kelvo {

enum class TLineState { Off, On, Handshake };

// What the device must be told, derived from a control block.
struct TLineSettings {
  termios Termios{};  // flags and control characters; the speed is carried separately
  uint32_t Speed = 0;
  TLineState Dtr = TLineState::Off;
  TLineState Rts = TLineState::Off;
  bool DiscardNull = false;  // Linux keeps NUL bytes; the port drops them as it reads
};

// Fills `out` from `block`, starting from the device's current termios `current`. Returns an empty
// text, or the reason why the Linux terminal interface cannot produce the setting: 1.5 stop bits,
// DTR handshake, RTS toggle, DSR output flow, DSR sensitivity, RTS handshake without CTS output
// flow (or the reverse: Linux has one flag for both), or replacing parity errors by a byte other
// than NUL (Linux delivers NUL), a speed of 0.
std::string MapControlBlock(const TDeviceControlBlock& block, const termios& current, TLineSettings& out);

// True when the line format bits that the kernel reports back equal those requested; a pseudo-
// terminal, for one, keeps 8 data bits and no parity whatever it is told.
bool LineFormatTaken(const termios& requested, const termios& reported);

// The speed through the kernel's termios2 interface, so that any speed can be set; a speed in the
// classic table is set by its code so that every tool reads it back the classic way.
// Each returns 0 or an error number.
int SetLineSpeed(int fd, uint32_t speed);
int GetLineSpeed(int fd, uint32_t& speed);

}  // namespace kelvo
