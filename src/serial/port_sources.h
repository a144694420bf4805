// The two readers of the system's tty devices behind the port list: libudev (when udev runs) and
// sysfs (otherwise). Each gives the ports it finds, with their facts, in no particular order.
#pragma once

#include <string>
#include <vector>

#include "serial/port_facts.h"

namespace kelvo {

struct TFoundPort {
  std::string Name;  // "ttyUSB0"
  TPortFacts Facts;
};

// The tty class folder's entries with a device behind them, legacy ttyS* without a UART left out;
// the facts read from the device's sysfs folders (USB descriptors, driver). Raises
// Exception("registry error while enumerationg ports") when the folder cannot be read.
std::vector<TFoundPort> SysfsPorts(const std::string& ttyClassDir);
// The same from udev's database; false when udev cannot be asked (the caller then reads sysfs).
bool UdevPorts(std::vector<TFoundPort>& ports);
// True while udev runs on this system.
bool UdevRunning();

}  // namespace kelvo
