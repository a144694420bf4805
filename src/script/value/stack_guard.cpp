#include "script/value/stack_guard.h"

#include <pthread.h>

#include <cstddef>
#include <cstdint>

#if defined(__SANITIZE_THREAD__)
#define KELVO_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define KELVO_THREAD_SANITIZER 1
#endif
#endif

namespace kelvo {

thread_local std::uintptr_t tStackLimit = 0;

namespace {

#ifdef KELVO_THREAD_SANITIZER
// ThreadSanitizer keeps the call stack of each access it may report and stops the process (a
// failed check, SIGILL) on a stack of 64 Ki frames or more, long before a deep recursion of small
// frames fills the native stack. A frame holds at least 16 bytes (return address, saved frame
// pointer): allowing 512 KiB of stack keeps every stack below 32 Ki frames.
constexpr std::size_t kSanitizerStackUse = 512 * 1024;
#endif

}  // namespace

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
#ifdef KELVO_THREAD_SANITIZER
    // Counted from the first check, not from the stack's top: ThreadSanitizer's own state of the
    // thread lies there, in thread-local storage that glibc places at the top of the stack.
    const auto here = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
    if (here - reinterpret_cast<std::uintptr_t>(addr) > kSanitizerStackUse &&
        here - kSanitizerStackUse > limit)
      limit = here - kSanitizerStackUse;
#endif
  }
  tStackLimit = limit;
  return limit;
}

}  // namespace kelvo
