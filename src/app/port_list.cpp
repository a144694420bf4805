#include "app/port_list.h"

#include "app/app_texts.h"
#include "serial/port_list.h"

namespace kelvo {

std::vector<std::string> PortComboItems() {
  const char* classDir = std::getenv("KELVO_SYSFS_TTY");
  std::vector<std::string> items{Ansi(texts::kChoosePortItem)};
  for (std::string& port :
       EnumerateSerialPorts(classDir != nullptr ? classDir : "/sys/class/tty", std::getenv("KELVO_PORTS"))) {
    items.push_back(std::move(port));
  }
  return items;
}

}  // namespace kelvo
