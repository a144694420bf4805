// The items of the main window's port selector.
#pragma once

#include <string>
#include <vector>

#include "serial/port_list.h"

namespace kelvo {

// "(выберите порт)" first, then the system's serial ports sorted by text without regard to letter
// case (the serial subsystem's list: sysfs plus KELVO_PORTS). KELVO_SYSFS_TTY, when set, names the
// tty class folder to read instead of /sys/class/tty, so that tests can offer ports of their own.
// Raises "registry error while enumerationg ports" when the list cannot be read at all.
std::vector<std::string> PortComboItems();

}  // namespace kelvo
