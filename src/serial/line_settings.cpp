#include "serial/line_settings.h"

namespace kelvo {

namespace {

tcflag_t CharacterSize(uint8_t byteSize) {
  switch (byteSize) {
    case 5:
      return CS5;
    case 6:
      return CS6;
    case 7:
      return CS7;
    default:
      return CS8;
  }
}

// Parity bits of c_cflag: mark and space are "sticky" parity (CMSPAR), odd giving mark.
tcflag_t ParityFlags(uint8_t parity) {
  switch (parity) {
    case 1:
      return PARENB | PARODD;
    case 2:
      return PARENB;
    case 3:
      return PARENB | PARODD | CMSPAR;
    case 4:
      return PARENB | CMSPAR;
    default:
      return 0;
  }
}

std::string Unsupported(const TDeviceControlBlock& b) {
  const uint32_t f = b.Flags;
  if (b.BaudRate == 0) return "speed 0";
  if (b.StopBits == 1) return "1.5 stop bits";
  if (b.StopBits > 2 || b.ByteSize < 5 || b.ByteSize > 8 || b.Parity > 4) return "invalid line format";
  if (dcb::DtrControl(f) == 2) return "DTR handshake";
  if (dcb::DtrControl(f) == 3) return "invalid DTR control";
  if (dcb::RtsControl(f) == 3) return "RTS toggle";
  if (f & dcb::fOutxDsrFlow) return "DSR output flow control";
  if (f & dcb::fDsrSensitivity) return "DSR sensitivity";
  if (((f & dcb::fOutxCtsFlow) != 0) != (dcb::RtsControl(f) == 2)) return "CTS and RTS handshake apart";
  if ((f & dcb::fErrorChar) && b.ErrorChar != 0) return "parity error replacement byte";
  return {};
}

TLineState LineState(uint32_t control) {
  return control == 0 ? TLineState::Off : control == 1 ? TLineState::On : TLineState::Handshake;
}

}  // namespace

std::string MapControlBlock(const TDeviceControlBlock& b, const termios& current, TLineSettings& out) {
  if (auto reason = Unsupported(b); !reason.empty()) return reason;
  termios t = current;
  // A raw binary line: no translation of any byte, no echo, no signals, no line editing.
  t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK |
                 IGNPAR | IUCLC | IMAXBEL);
  t.c_oflag &= ~OPOST;
  t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN | ECHOE | ECHOK);
  t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  t.c_cflag |= CLOCAL | CREAD | HUPCL | CharacterSize(b.ByteSize) | ParityFlags(b.Parity);
  if (b.StopBits == 2) t.c_cflag |= CSTOPB;
  if (b.Flags & dcb::fOutxCtsFlow) t.c_cflag |= CRTSCTS;
  // Without INPCK parity is not checked; with it a byte with a parity error arrives as NUL.
  if (b.Flags & dcb::fParity) t.c_iflag |= INPCK;
  if (b.Flags & dcb::fOutX) t.c_iflag |= IXON;
  if (b.Flags & dcb::fInX) t.c_iflag |= IXOFF;
  t.c_cc[VSTART] = static_cast<cc_t>(b.XonChar);
  t.c_cc[VSTOP] = static_cast<cc_t>(b.XoffChar);
  // With O_NONBLOCK, VMIN 1 makes an empty queue read as EAGAIN, so that 0 means the line hung up.
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
  out.Termios = t;
  out.Speed = b.BaudRate;
  out.Dtr = LineState(dcb::DtrControl(b.Flags));
  out.Rts = LineState(dcb::RtsControl(b.Flags));
  out.DiscardNull = (b.Flags & dcb::fNull) != 0;
  return {};
}

bool LineFormatTaken(const termios& requested, const termios& reported) {
  tcflag_t mask = CSIZE | PARENB | CSTOPB | CRTSCTS;
  if (requested.c_cflag & PARENB) mask |= PARODD | CMSPAR;
  const tcflag_t inputMask = IXON | IXOFF | INPCK;
  return (requested.c_cflag & mask) == (reported.c_cflag & mask) &&
         (requested.c_iflag & inputMask) == (reported.c_iflag & inputMask);
}

}  // namespace kelvo
