// The UUCP-style lock file that Linux serial programs take before they use a port: in /var/lock,
// named "LCK.." and the device's path below /dev with every '/' made '_' (/dev/ttyUSB0 ->
// LCK..ttyUSB0, /dev/pts/3 -> LCK..pts_3; symbolic links resolved first), holding the owner's pid
// as ten ASCII characters right-aligned and a line feed.
#pragma once

#include <sys/types.h>

#include <string>

namespace kelvo {

// The folder of the lock files: KELVO_LOCK_DIR when set (for tests), else /var/lock.
std::string LockDirectory();
// "LCK..ttyUSB0" for the device path, resolved through symbolic links when it exists.
std::string LockFileName(const std::string& devicePath);
// The pid written in a lock file's content ("      1234\n"), or -1 when it holds none.
pid_t ParseLockPid(const std::string& content);

// One held lock; released (its file removed) by Release or the destructor. Move-only.
class TUucpLock {
 public:
  TUucpLock() = default;
  TUucpLock(TUucpLock&& other) noexcept;
  TUucpLock& operator=(TUucpLock&& other) noexcept;
  TUucpLock(const TUucpLock&) = delete;
  TUucpLock& operator=(const TUucpLock&) = delete;
  ~TUucpLock() { Release(); }

  // Takes the lock of devicePath. 0 when taken, and also when the lock folder cannot be written
  // (the port is then used without a lock: its exclusive open still protects it). EBUSY when a
  // live process holds it (holder is then its pid); a lock of a process that is gone is removed
  // and taken.
  int Acquire(const std::string& devicePath, pid_t& holder);
  // Removes the file when it is still this process's lock.
  void Release() noexcept;
  bool Held() const { return !FPath.empty(); }
  const std::string& Path() const { return FPath; }

 private:
  std::string FPath;
};

}  // namespace kelvo
