#include "script/value/stack_guard.h"

#include <pthread.h>

#include <cstddef>
#include <cstdint>

namespace kelvo {

namespace {

// The lowest address this thread's stack may grow to before we refuse another nested call.
std::uintptr_t StackLimit() {
  thread_local std::uintptr_t limit = [] {
    pthread_attr_t attr;
    void* addr = nullptr;
    std::size_t size = 0;
    if (pthread_getattr_np(pthread_self(), &attr) == 0) {
      pthread_attr_getstack(&attr, &addr, &size);
      pthread_attr_destroy(&attr);
    }
    if (addr == nullptr || size == 0) return std::uintptr_t{0};
    // Keep a quarter of the stack (at least 256 KiB) for the frames between two checks, for
    // sanitizer builds whose frames are larger, and for unwinding the error.
    std::size_t margin = size / 4 > 256 * 1024 ? size / 4 : 256 * 1024;
    return reinterpret_cast<std::uintptr_t>(addr) + margin;
  }();
  return limit;
}

}  // namespace

void CheckStackSpace() {
  volatile char here = 0;
  if (reinterpret_cast<std::uintptr_t>(&here) < StackLimit()) throw EStackOverflow();
}

}  // namespace kelvo
