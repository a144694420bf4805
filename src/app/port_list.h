// The serial ports offered in the main window's port selector.
#pragma once

#include <string>
#include <vector>

namespace kelvo {

// The system's serial port names, sorted by text without regard to letter case, character by
// character (so ttyS10 sorts before ttyS2). Raises "registry error while enumerationg ports" when
// the list cannot be read at all.
std::vector<std::string> EnumerateSerialPorts();

// The items of the port selector: "(выберите порт)" first, then the sorted port names.
std::vector<std::string> PortComboItems();

}  // namespace kelvo
