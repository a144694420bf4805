// Guards the native stack against deep script recursion: a script procedure calling itself a
// hundred thousand times must end with an engine error, not a crash of the program.
#pragma once

#include "text/exception.h"

namespace kelvo {

class EStackOverflow : public Exception {
 public:
  EStackOverflow() : Exception("Stack overflow: too many nested calls") {}
  const char* ClassName() const noexcept override { return "EStackOverflow"; }
};

// Raises EStackOverflow when less than a safety margin of the current thread's stack is left.
void CheckStackSpace();

}  // namespace kelvo
