// The items of the main window's port selector: what each shows and the port it stands for.
#pragma once

#include <string>
#include <vector>

#include "serial/port_list.h"

namespace kelvo {

struct TPortItem {
  std::string Text;  // shown: "ttyUSB0 — Prolific PL2303 (1-1.2)" (Windows-1251)
  std::string Port;  // the port it stands for ("ttyUSB0"); empty for the choice item
};

// "(выберите порт)" first, then the system's serial ports with their descriptions, in the serial
// subsystem's order (sysfs or udev, KELVO_PORTS, the stable by-id names). Raises "registry error
// while enumerationg ports" when the list cannot be read at all.
std::vector<TPortItem> PortSelectorItems();
std::vector<TPortItem> PortSelectorItems(const std::vector<TPortInfo>& ports);
// The texts alone.
std::vector<std::string> PortComboItems();

// One port's line for the selector and kelvo-run --ports: the name, then " — " and the
// description when there is one.
std::string PortItemText(const TPortInfo& port);

}  // namespace kelvo
