#include "app/port_list.h"

#include "app/app_texts.h"
#include "app/visible_text.h"
#include "text/cp1251.h"

namespace kelvo {

// A USB device names itself: its texts are shown as modem text is, control characters named.
std::string PortItemText(const TPortInfo& port) {
  std::string text = Utf8ToAnsi(port.Name);
  if (!port.Description.empty()) text += Ansi(" — ") + VisibleText(Utf8ToAnsi(port.Description));
  return text;
}

std::vector<TPortItem> PortSelectorItems(const std::vector<TPortInfo>& ports) {
  std::vector<TPortItem> items{{Ansi(texts::kChoosePortItem), {}}};
  for (const TPortInfo& port : ports) items.push_back({PortItemText(port), Utf8ToAnsi(port.Name)});
  return items;
}

std::vector<TPortItem> PortSelectorItems() {
  return PortSelectorItems(ListSerialPorts());
}

std::vector<std::string> PortComboItems() {
  std::vector<std::string> texts;
  for (TPortItem& item : PortSelectorItems()) texts.push_back(std::move(item.Text));
  return texts;
}

}  // namespace kelvo
