#include "serial/unix_fd.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <system_error>

namespace kelvo {

TUniqueFd& TUniqueFd::operator=(TUniqueFd&& other) noexcept {
  if (this != &other) Reset(other.Release());
  return *this;
}

int TUniqueFd::Release() noexcept {
  int fd = FFd;
  FFd = -1;
  return fd;
}

void TUniqueFd::Reset(int fd) noexcept {
  // close() is not retried on EINTR: on Linux the descriptor is released in any case.
  if (FFd >= 0) ::close(FFd);
  FFd = fd;
}

TEventSignal::TEventSignal(bool initiallySet) : FFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
  if (!FFd.Valid()) throw std::system_error(errno, std::generic_category(), "eventfd");
  if (initiallySet) Set();
}

void TEventSignal::Set() {
  uint64_t one = 1;
  // A full counter (EAGAIN) still leaves the signal readable, which is all that Set promises.
  RetryOnEintr([&] { return ::write(FFd.Get(), &one, sizeof one); });
}

void TEventSignal::Reset() {
  uint64_t value;
  RetryOnEintr([&] { return ::read(FFd.Get(), &value, sizeof value); });
}

bool TEventSignal::IsSet() const {
  pollfd p{FFd.Get(), POLLIN, 0};
  return RetryOnEintr([&] { return ::poll(&p, 1, 0); }) == 1;
}

namespace {
const TSystemCalls kRealCalls{&::read, &::write, &::poll};
}

TSystemCalls& SystemCalls() {
  static TSystemCalls calls = kRealCalls;
  return calls;
}

void ResetSystemCalls() {
  SystemCalls() = kRealCalls;
}

}  // namespace kelvo
