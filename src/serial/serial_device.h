// One open serial device on Linux: the descriptor opened exclusively and non-blocking, the terminal
// settings it had before (put back when it closes), and the ioctls that stand for the component's
// device calls. Every operation returns 0 or the system error number; the port turns those into
// EComPort with the code of its own operation.
#pragma once

#include <linux/serial.h>
#include <termios.h>

#include <cstdint>
#include <string>

#include "serial/line_settings.h"
#include "serial/unix_fd.h"
#include "serial/uucp_lock.h"

namespace kelvo {

class TSerialDevice {
 public:
  TSerialDevice() = default;
  TSerialDevice(TSerialDevice&&) = default;
  TSerialDevice& operator=(TSerialDevice&&) = default;
  ~TSerialDevice();

  // Opens `path` for reading and writing, without becoming its controlling terminal, and only if it
  // is a terminal. The port is taken as other Linux serial programs take one: its UUCP lock file
  // first, then the exclusive mark (TIOCEXCL) and an exclusive flock. A port that another process
  // holds by any of the three is refused with EBUSY (LockHolder() names a lock file's owner); a
  // mark set by someone else is never cleared, also when Kelvo runs as root and could open anyway.
  int Open(const std::string& path);
  // Puts the terminal settings back, clears the exclusive mark this device set, removes the lock.
  void Close() noexcept;
  // The pid of the live process whose lock file refused the last Open, or -1.
  pid_t LockHolder() const { return FLockHolder; }
  bool IsOpen() const { return FFd.Valid(); }
  int Fd() const { return FFd.Get(); }
  // False for a pseudo-terminal, which has no DTR, RTS, CTS, DSR, RI or DCD.
  bool HasModemLines() const { return FHasModemLines; }

  // Applies the settings; when the kernel does not keep the requested format the previous
  // settings are restored and ENOTSUP is returned.
  int ApplyLine(const TLineSettings& settings);
  int Purge(bool input, bool output);
  int InputCount(int& count);
  int OutputCount(int& count);
  // Line error flags (CE_FRAME ...) since the last call, from the driver's error counters; none on
  // a device that keeps no counters.
  int TakeLineErrors(uint32_t& flags);
  // Modem-status bits (MS_CTS_ON ...).
  int ModemStatus(uint32_t& status);
  int SetModemLine(int tiocmBit, bool on);
  int SetBreak(bool on);
  // Resumes (true) or suspends (false) output as if XON/XOFF had been received.
  int SetOutputFlow(bool resume);
  // The driver's counters of line signal changes and errors; ENOTTY where there are none.
  int Counters(serial_icounter_struct& counters);

 private:
  int TakeDevice(int fd);

  TUniqueFd FFd;
  TUucpLock FLock;
  pid_t FLockHolder = -1;
  bool FExclusiveSet = false;  // this device set the exclusive mark, so it clears it
  termios FSaved{};
  bool FHasSaved = false;
  bool FHasModemLines = false;
  serial_icounter_struct FErrorBase{};
};

// The device that a port name stands for: a name holding '/' is a path, any other is in /dev.
std::string PortNameToDevicePath(const std::string& name);

}  // namespace kelvo
