#include "serial/serial_device.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "serial/com_types.h"

namespace kelvo {

namespace {

int Ok(int rc) {
  return rc == -1 ? errno : 0;
}

template <typename... A>
int Ioctl(int fd, unsigned long request, A... args) {
  return Ok(RetryOnEintr([&] { return ::ioctl(fd, request, args...); }));
}

// A device without modem-control lines answers the line ioctls with one of these.
bool NoSuchLines(int error) {
  return error == ENOTTY || error == EINVAL;
}

uint32_t ErrorFlags(const serial_icounter_struct& now, const serial_icounter_struct& base) {
  uint32_t flags = 0;
  if (now.frame != base.frame) flags |= device::CE_FRAME;
  if (now.overrun != base.overrun) flags |= device::CE_OVERRUN;
  if (now.parity != base.parity) flags |= device::CE_RXPARITY;
  if (now.brk != base.brk) flags |= device::CE_BREAK;
  if (now.buf_overrun != base.buf_overrun) flags |= device::CE_RXOVER;
  return flags;
}

}  // namespace

TSerialDevice::~TSerialDevice() {
  Close();
}

int TSerialDevice::Open(const std::string& path) {
  Close();
  FLockHolder = -1;
  if (int e = FLock.Acquire(path, FLockHolder)) return e;
  TUniqueFd fd(
      RetryOnEintr([&] { return ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC); }));
  int e = fd.Valid() ? TakeDevice(fd.Get()) : errno;
  if (e) {
    if (FExclusiveSet) Ioctl(fd.Get(), TIOCNXCL);
    FExclusiveSet = false;
    FLock.Release();
    return e;
  }
  FFd = std::move(fd);
  return 0;
}

// The steps after the open: a terminal, not held by another process, marked as ours.
int TSerialDevice::TakeDevice(int fd) {
  if (!::isatty(fd)) return errno;  // ENOTTY: /dev/null, a regular file
  // A privileged opener passes the exclusive mark of another process: the mark is read instead.
  int marked = 0;
  if (Ioctl(fd, TIOCGEXCL, &marked) == 0 && marked) return EBUSY;
  // TIOCEXCL does not hold off a privileged opener; the lock does, and reads as "busy".
  if (RetryOnEintr([&] { return ::flock(fd, LOCK_EX | LOCK_NB); }) == -1)
    return errno == EWOULDBLOCK ? EBUSY : errno;
  if (int e = Ioctl(fd, TIOCEXCL)) return e;
  FExclusiveSet = true;
  if (::tcgetattr(fd, &FSaved) == -1) return errno;
  FHasSaved = true;
  int bits = 0;
  FHasModemLines = Ioctl(fd, TIOCMGET, &bits) == 0;
  FErrorBase = {};
  Ioctl(fd, TIOCGICOUNT, &FErrorBase);
  return 0;
}

void TSerialDevice::Close() noexcept {
  if (!FFd.Valid()) return;
  // Best effort: a device that has gone away refuses both, and is closed all the same.
  if (FHasSaved) ::tcsetattr(FFd.Get(), TCSANOW, &FSaved);
  if (FExclusiveSet) Ioctl(FFd.Get(), TIOCNXCL);
  FExclusiveSet = false;
  FHasSaved = false;
  FFd.Reset();
  FLock.Release();
}

int TSerialDevice::ApplyLine(const TLineSettings& s) {
  const int fd = FFd.Get();
  termios before{};
  uint32_t speedBefore = 0;
  if (::tcgetattr(fd, &before) == -1) return errno;
  if (int e = GetLineSpeed(fd, speedBefore)) return e;
  if (RetryOnEintr([&] { return ::tcsetattr(fd, TCSANOW, &s.Termios); }) == -1) return errno;
  termios reported{};
  uint32_t speed = 0;
  int e = SetLineSpeed(fd, s.Speed);
  if (!e && ::tcgetattr(fd, &reported) == -1) e = errno;
  if (!e) e = GetLineSpeed(fd, speed);
  if (!e && (!LineFormatTaken(s.Termios, reported) || speed != s.Speed)) e = ENOTSUP;
  if (e) {
    // The device keeps its previous configuration when a setting fails.
    ::tcsetattr(fd, TCSANOW, &before);
    SetLineSpeed(fd, speedBefore);
    return e;
  }
  if (s.Dtr != TLineState::Handshake)
    if (int le = SetModemLine(TIOCM_DTR, s.Dtr == TLineState::On); le && !NoSuchLines(le)) return le;
  if (s.Rts != TLineState::Handshake)
    if (int le = SetModemLine(TIOCM_RTS, s.Rts == TLineState::On); le && !NoSuchLines(le)) return le;
  return 0;
}

int TSerialDevice::Purge(bool input, bool output) {
  if (!input && !output) {
    // No queue to discard: the call still reaches the device, which reports whether it is there.
    termios t{};
    return Ok(::tcgetattr(FFd.Get(), &t));
  }
  return Ok(::tcflush(FFd.Get(), input && output ? TCIOFLUSH : input ? TCIFLUSH : TCOFLUSH));
}

int TSerialDevice::InputCount(int& count) {
  return Ioctl(FFd.Get(), TIOCINQ, &count);
}
int TSerialDevice::OutputCount(int& count) {
  return Ioctl(FFd.Get(), TIOCOUTQ, &count);
}

int TSerialDevice::TakeLineErrors(uint32_t& flags) {
  flags = 0;
  serial_icounter_struct now{};
  int e = Counters(now);
  if (NoSuchLines(e)) return 0;
  if (e) return e;
  flags = ErrorFlags(now, FErrorBase);
  FErrorBase = now;
  return 0;
}

int TSerialDevice::Counters(serial_icounter_struct& counters) {
  return Ioctl(FFd.Get(), TIOCGICOUNT, &counters);
}

int TSerialDevice::ModemStatus(uint32_t& status) {
  status = 0;
  int bits = 0;
  if (int e = Ioctl(FFd.Get(), TIOCMGET, &bits)) return e;
  if (bits & TIOCM_CTS) status |= device::MS_CTS_ON;
  if (bits & TIOCM_DSR) status |= device::MS_DSR_ON;
  if (bits & TIOCM_RNG) status |= device::MS_RING_ON;
  if (bits & TIOCM_CAR) status |= device::MS_RLSD_ON;
  return 0;
}

int TSerialDevice::SetModemLine(int tiocmBit, bool on) {
  return Ioctl(FFd.Get(), on ? TIOCMBIS : TIOCMBIC, &tiocmBit);
}

int TSerialDevice::SetBreak(bool on) {
  return Ioctl(FFd.Get(), on ? TIOCSBRK : TIOCCBRK);
}

int TSerialDevice::SetOutputFlow(bool resume) {
  return Ok(::tcflow(FFd.Get(), resume ? TCOON : TCOOFF));
}

std::string PortNameToDevicePath(const std::string& name) {
  return name.find('/') != std::string::npos ? name : "/dev/" + name;
}

}  // namespace kelvo
