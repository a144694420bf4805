#include "script/value/stack_guard.h"

#include <pthread.h>

#include <cstddef>
#include <cstdint>

namespace kelvo {

thread_local std::uintptr_t tStackLimit = 0;

std::uintptr_t MeasureStackLimit() {
  pthread_attr_t attr;
  void* addr = nullptr;
  std::size_t size = 0;
  if (pthread_getattr_np(pthread_self(), &attr) == 0) {
    pthread_attr_getstack(&attr, &addr, &size);
    pthread_attr_destroy(&attr);
  }
  // An unknown stack is never refused: the limit 1 is below every address.
  std::uintptr_t limit = 1;
  if (addr != nullptr && size != 0) {
    // Keep a quarter of the stack (at least 256 KiB) for the frames between two checks, for
    // sanitizer builds whose frames are larger, and for unwinding the error.
    std::size_t margin = size / 4 > 256 * 1024 ? size / 4 : 256 * 1024;
    limit = reinterpret_cast<std::uintptr_t>(addr) + margin;
  }
  tStackLimit = limit;
  return limit;
}

}  // namespace kelvo
