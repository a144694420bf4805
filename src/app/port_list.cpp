#include "app/port_list.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "app/app_texts.h"
#include "text/ansi_text.h"
#include "text/exception.h"

namespace kelvo {

namespace {

namespace fs = std::filesystem;

// A legacy 8250 port (ttyS*) is listed only when a UART answered at probe time: its sysfs "type"
// reads non-zero. The same rule keeps other Linux serial tools from listing dozens of dead ports.
bool HasUart(const fs::path& ttyDir) {
  std::ifstream typeFile(ttyDir / "type");
  int type = 0;
  if (!(typeFile >> type)) return true;
  return type != 0;
}

void AddSysfsPorts(const fs::path& classDir, std::vector<std::string>& ports) {
  std::error_code ec;
  fs::directory_iterator it(classDir, ec);
  if (ec) throw Exception(Ansi(texts::kPortListError));
  for (const fs::directory_entry& entry : it) {
    std::string name = entry.path().filename().string();
    if (!fs::exists(entry.path() / "device", ec)) continue;
    if (name.rfind("ttyS", 0) == 0 && !HasUart(entry.path())) continue;
    ports.push_back(name);
  }
}

// KELVO_PORTS names further ports, colon-separated (for virtual ports such as a simulator's pty).
void AddEnvironmentPorts(std::vector<std::string>& ports) {
  const char* value = std::getenv("KELVO_PORTS");
  if (value == nullptr) return;
  std::string list = value;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(':', start);
    if (end == std::string::npos) end = list.size();
    std::string name = list.substr(start, end - start);
    if (!name.empty() && std::find(ports.begin(), ports.end(), name) == ports.end()) ports.push_back(name);
    start = end + 1;
  }
}

}  // namespace

std::vector<std::string> EnumerateSerialPorts() {
  std::vector<std::string> ports;
  const char* sysfs = std::getenv("KELVO_SYSFS_TTY");  // a fake sysfs tree for tests
  AddSysfsPorts(sysfs != nullptr ? fs::path(sysfs) : fs::path("/sys/class/tty"), ports);
  AddEnvironmentPorts(ports);
  std::stable_sort(ports.begin(), ports.end(),
                   [](const std::string& a, const std::string& b) { return AnsiCompareText(a, b) < 0; });
  return ports;
}

std::vector<std::string> PortComboItems() {
  std::vector<std::string> items{Ansi(texts::kChoosePortItem)};
  for (std::string& port : EnumerateSerialPorts()) items.push_back(std::move(port));
  return items;
}

}  // namespace kelvo
