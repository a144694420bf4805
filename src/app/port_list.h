// The serial ports offered in the main window's port selector.
#pragma once

#include <string>
#include <vector>

#include "serial/port_list.h"

namespace kelvo {

// The items of the port selector: "(выберите порт)" first, then the sorted port names.
std::vector<std::string> PortComboItems();

}  // namespace kelvo
