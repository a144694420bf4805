// Owners of the operating-system resources that the serial port uses: a file descriptor and an
// eventfd used as a wake-up signal. Also the thin seam over read/write/poll through which tests
// inject faults that a real device cannot produce on demand (EINTR, short writes).
#pragma once

#include <poll.h>
#include <sys/types.h>

#include <cerrno>
#include <cstdint>

namespace kelvo {

// A file descriptor that is closed exactly once; move-only.
class TUniqueFd {
 public:
  TUniqueFd() = default;
  explicit TUniqueFd(int fd) : FFd(fd) {}
  TUniqueFd(TUniqueFd&& other) noexcept : FFd(other.Release()) {}
  TUniqueFd& operator=(TUniqueFd&& other) noexcept;
  TUniqueFd(const TUniqueFd&) = delete;
  TUniqueFd& operator=(const TUniqueFd&) = delete;
  ~TUniqueFd() { Reset(); }

  int Get() const { return FFd; }
  bool Valid() const { return FFd >= 0; }
  int Release() noexcept;
  void Reset(int fd = -1) noexcept;

 private:
  int FFd = -1;
};

// A manual-reset signal made of an eventfd: Set makes it readable until Reset; poll() waits on Fd().
class TEventSignal {
 public:
  // Throws std::system_error when the eventfd cannot be made.
  explicit TEventSignal(bool initiallySet = false);
  void Set();
  void Reset();
  bool IsSet() const;
  int Fd() const { return FFd.Get(); }

 private:
  TUniqueFd FFd;
};

// The system calls that the transfer loops make, replaceable by tests.
struct TSystemCalls {
  ssize_t (*Read)(int fd, void* buffer, size_t count);
  ssize_t (*Write)(int fd, const void* buffer, size_t count);
  int (*Poll)(pollfd* fds, nfds_t count, int timeout);
};
TSystemCalls& SystemCalls();
// Puts the real calls back.
void ResetSystemCalls();

// Repeats a call while it fails with EINTR: an interrupted call is never an error here.
template <typename F>
auto RetryOnEintr(F call) {
  for (;;) {
    auto result = call();
    if (result != -1 || errno != EINTR) return result;
  }
}

}  // namespace kelvo
