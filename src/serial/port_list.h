// The list of the system's serial ports for the port selector and kelvo-run --ports: each port
// with what it is (a USB adapter's vendor, model and USB path; a built-in port's driver), the stable
// /dev/serial/by-id/ names that survive re-plugging, and the paths named in KELVO_PORTS that exist.
// The facts come from udev when it runs, and from sysfs otherwise (containers, tests).
#pragma once

#include <string>
#include <vector>

namespace kelvo {

struct TPortInfo {
  std::string Name;         // as shown and opened: "ttyUSB0", or a path
  std::string Description;  // "Prolific PL2303 (1-1.2)", "serial8250", or empty
};

// Where the list is read from.
struct TPortSources {
  std::string TtyClassDir = "/sys/class/tty";
  std::string DevDir = "/dev";  // its serial/by-id folder holds the stable names
  std::string KelvoPorts;       // colon-separated paths
  bool UseUdev = false;
};

// The sources of this process: KELVO_SYSFS_TTY and KELVO_DEV_DIR, when set, name other folders (for
// tests, which then never use udev); udev is used when it runs (/run/udev/control exists).
TPortSources CurrentPortSources();

// The tty devices with a device behind them (legacy ttyS* entries without a UART left out) and the
// KELVO_PORTS paths that exist, sorted by text ignoring letter case, character by character (COM10
// before COM2); then the by-id names, sorted. Raises Exception("registry error while enumerationg
// ports") when the tty class cannot be read at all.
std::vector<TPortInfo> ListSerialPorts(const TPortSources& sources);
std::vector<TPortInfo> ListSerialPorts();

// The names alone.
std::vector<std::string> EnumerateSerialPorts();
std::vector<std::string> EnumerateSerialPorts(const std::string& ttyClassDir, const char* kelvoPorts);

}  // namespace kelvo
