#include "serial/port_list.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "text/ansi_text.h"
#include "text/exception.h"

namespace kelvo {

namespace fs = std::filesystem;

namespace {

// The 8250 driver registers ttyS0..ttyS31 whether or not a UART answers; such a port reports the
// UART type 0 ("unknown") in sysfs.
bool IsLegacyPortWithoutUart(const fs::path& entry) {
  if (entry.filename().string().rfind("ttyS", 0) != 0) return false;
  std::ifstream type(entry / "type");
  int value = -1;
  return type >> value && value == 0;
}

void AppendEnvironmentPorts(const char* kelvoPorts, std::vector<std::string>& ports) {
  if (!kelvoPorts) return;
  std::string all(kelvoPorts);
  size_t start = 0;
  while (start <= all.size()) {
    size_t end = all.find(':', start);
    if (end == std::string::npos) end = all.size();
    std::string name = all.substr(start, end - start);
    if (!name.empty() && std::find(ports.begin(), ports.end(), name) == ports.end()) ports.push_back(name);
    start = end + 1;
  }
}

}  // namespace

std::vector<std::string> EnumerateSerialPorts(const std::string& ttyClassDir, const char* kelvoPorts) {
  std::vector<std::string> ports;
  std::error_code error;
  fs::directory_iterator it(ttyClassDir, error);
  if (error) throw Exception("registry error while enumerationg ports");
  for (const fs::directory_entry& entry : it) {
    std::error_code ignored;
    if (!fs::exists(entry.path() / "device", ignored)) continue;
    if (IsLegacyPortWithoutUart(entry.path())) continue;
    ports.push_back(entry.path().filename().string());
  }
  AppendEnvironmentPorts(kelvoPorts, ports);
  std::stable_sort(ports.begin(), ports.end(),
                   [](const std::string& a, const std::string& b) { return AnsiCompareText(a, b) < 0; });
  return ports;
}

std::vector<std::string> EnumerateSerialPorts() {
  const char* classDir = std::getenv("KELVO_SYSFS_TTY");  // another tty class folder, for tests
  return EnumerateSerialPorts(classDir != nullptr ? classDir : "/sys/class/tty", std::getenv("KELVO_PORTS"));
}

}  // namespace kelvo
