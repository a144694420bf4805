#include "app/run_stop.h"

#include <poll.h>

#include <cerrno>

namespace kelvo {

namespace {

// Waits until one of the descriptors is readable or ms passes (-1: no limit); the index of the
// first readable one, or -1 after the time.
int WaitReadable(int first, int second, int ms) {
  pollfd fds[2] = {{first, POLLIN, 0}, {second, POLLIN, 0}};
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    int left = ms;
    if (ms >= 0) {
      auto rest = std::chrono::ceil<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
      left = static_cast<int>(std::max<long long>(rest.count(), 0));
    }
    int r = ::poll(fds, 2, left);
    if (r == -1 && errno == EINTR) continue;  // a signal, perhaps the one that requests the stop
    if (r <= 0) return -1;
    return (fds[0].revents & POLLIN) ? 0 : 1;
  }
}

}  // namespace

void TRunStop::RequestForTimeOut() noexcept {
  FTimedOut.store(true, std::memory_order_release);
  Request();
}

void TRunStop::Request() noexcept {
  int saved = errno;  // a signal handler must leave errno as it found it
  FRequested.store(true, std::memory_order_release);
  FSignal.Set();
  errno = saved;
}

void TRunStop::Reset() {
  FRequested.store(false, std::memory_order_release);
  FTimedOut.store(false, std::memory_order_release);
  FSignal.Reset();
}

bool TRunStop::Sleep(std::chrono::milliseconds ms) const {
  if (Requested()) return true;
  if (ms.count() <= 0) return false;
  WaitReadable(FSignal.Fd(), -1, static_cast<int>(std::min<long long>(ms.count(), 0x7FFFFFFF)));
  return Requested();
}

bool TRunStop::WaitFor(const TEventSignal& other) const {
  if (Requested()) return true;
  WaitReadable(FSignal.Fd(), other.Fd(), -1);
  return Requested();
}

void TRunStop::Check() const {
  if (Requested()) throw ERunStopped();
}

}  // namespace kelvo
