// The two ways a script can exhaust the machine, each turned into an engine error that the
// script's own try/except can catch: a native stack guard against deep recursion (a procedure
// calling itself a hundred thousand times), and memory running out (a text doubled until no
// allocation succeeds).
#pragma once

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

// Raises EStackOverflow when less than a safety margin of the current thread's stack is left.
void CheckStackSpace();

}  // namespace kelvo
