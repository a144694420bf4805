#include "app/port_list.h"

#include "app/app_texts.h"
#include "serial/port_list.h"

namespace kelvo {

std::vector<std::string> PortComboItems() {
  std::vector<std::string> items{Ansi(texts::kChoosePortItem)};
  for (std::string& port : EnumerateSerialPorts()) items.push_back(std::move(port));
  return items;
}

}  // namespace kelvo
