// The two ways a script can exhaust the machine, each turned into an engine error that the
// script's own try/except can catch: a native stack guard against deep recursion (a procedure
// calling itself a hundred thousand times), and memory running out (a text doubled until no
// allocation succeeds).
#pragma once

#include <cstdint>

#include "text/exception.h"

namespace kelvo {

class EOutOfMemory : public Exception {
 public:
  EOutOfMemory() : Exception("Out of memory") {}
  const char* ClassName() const noexcept override { return "EOutOfMemory"; }
};

class EStackOverflow : public Exception {
 public:
  EStackOverflow() : Exception("Stack overflow: too many nested calls") {}
  const char* ClassName() const noexcept override { return "EStackOverflow"; }
};

// The lowest address this thread's stack may grow to before another nested call is refused;
// 0 until measured (MeasureStackLimit, on a thread's first check).
extern thread_local std::uintptr_t tStackLimit;
std::uintptr_t MeasureStackLimit();

// Raises EStackOverflow when less than a safety margin of the current thread's stack is left.
// Called on every call a script makes, so the common case is two loads and a compare.
inline void CheckStackSpace() {
  std::uintptr_t limit = tStackLimit;
  if (limit == 0) limit = MeasureStackLimit();
  if (reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0)) < limit) throw EStackOverflow();
}

}  // namespace kelvo
