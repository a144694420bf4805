// Which processes hold a serial device open, found the way fuser does: every /proc/PID/fd link
// that leads to the device. Only the processes whose descriptors this user may read are found.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace kelvo {

struct TPortHolder {
  pid_t Pid;
  std::string Program;  // the process's command name (/proc/PID/comm), or empty when unknown
};

// The other processes that have devicePath (symbolic links resolved) open, by pid.
std::vector<TPortHolder> FindPortHolders(const std::string& devicePath);
// The command name of a process, or the empty text.
std::string ProgramOfProcess(pid_t pid);

}  // namespace kelvo
