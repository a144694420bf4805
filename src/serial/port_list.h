// The list of the system's serial ports for the port selector: the tty devices that sysfs shows
// with a device behind them (legacy ttyS* entries without a UART left out), then the paths named
// in KELVO_PORTS (colon-separated, for virtual ports such as the modem simulator's pty).
#pragma once

#include <string>
#include <vector>

namespace kelvo {

// Sorted by text ignoring letter case, character by character (COM10 before COM2). Raises
// Exception("registry error while enumerationg ports") when the tty class cannot be read at all.
// KELVO_SYSFS_TTY, when set, names the tty class folder to read instead of /sys/class/tty, so that
// tests can offer ports of their own.
std::vector<std::string> EnumerateSerialPorts();
// The same from a given sysfs tty class folder and KELVO_PORTS value (nullptr: not set).
std::vector<std::string> EnumerateSerialPorts(const std::string& ttyClassDir, const char* kelvoPorts);

}  // namespace kelvo
