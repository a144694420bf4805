// Why a port could not be opened, in words the user can act on. The message keeps the port
// component's fixed first words ("Невозможно открыть COM порт"); the device and the reason follow,
// each reason with what to do: not found, not allowed (the owning group and the command that joins
// it), busy (the programs that hold it, from /proc or the lock file; ModemManager with how to make
// it leave the port alone), not a terminal, or the system's own text in the user's language.
#pragma once

#include <sys/types.h>

#include <string>

namespace kelvo {

// The Windows-1251 message for a failed open of devicePath with the error number; lockHolder is
// the pid of a live lock file's owner (-1 for none).
std::string OpenFailureText(const std::string& devicePath, int error, pid_t lockHolder);

}  // namespace kelvo
