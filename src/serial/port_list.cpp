#include "serial/port_list.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "serial/port_sources.h"
#include "serial/serial_device.h"
#include "text/ansi_text.h"

namespace kelvo {

namespace fs = std::filesystem;

namespace {

bool ByText(const TPortInfo& a, const TPortInfo& b) {
  return AnsiCompareText(a.Name, b.Name) < 0;
}

bool Listed(const std::vector<TPortInfo>& ports, const std::string& name) {
  return std::any_of(ports.begin(), ports.end(), [&](const TPortInfo& p) { return p.Name == name; });
}

// A path of KELVO_PORTS that leads nowhere (a simulator that has stopped) is not offered.
void AppendEnvironmentPorts(const std::string& all, std::vector<TPortInfo>& ports) {
  size_t start = 0;
  while (start <= all.size()) {
    size_t end = all.find(':', start);
    if (end == std::string::npos) end = all.size();
    std::string name = all.substr(start, end - start);
    std::error_code error;
    if (!name.empty() && fs::exists(PortNameToDevicePath(name), error) && !Listed(ports, name))
      ports.push_back({name, {}});
    start = end + 1;
  }
}

// The stable names: every link of DevDir/serial/by-id whose device is listed, with its description
// and the device's current name.
std::vector<TPortInfo> StableNames(const std::string& devDir, const std::vector<TPortInfo>& ports) {
  std::vector<TPortInfo> names;
  std::error_code error;
  const fs::path folder = fs::path(devDir) / "serial" / "by-id";
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code linkError;
    fs::path target = fs::read_symlink(it->path(), linkError);
    if (linkError) continue;
    const std::string device = target.filename().string();
    auto found =
        std::find_if(ports.begin(), ports.end(), [&](const TPortInfo& p) { return p.Name == device; });
    if (found == ports.end()) continue;
    std::string description = found->Description.empty() ? device : found->Description + ", " + device;
    names.push_back({it->path().string(), description});
  }
  std::sort(names.begin(), names.end(), ByText);
  return names;
}

}  // namespace

TPortSources CurrentPortSources() {
  TPortSources sources;
  const char* tty = std::getenv("KELVO_SYSFS_TTY");
  const char* dev = std::getenv("KELVO_DEV_DIR");
  const char* kelvoPorts = std::getenv("KELVO_PORTS");
  if (tty != nullptr) sources.TtyClassDir = tty;
  if (dev != nullptr) sources.DevDir = dev;
  if (kelvoPorts != nullptr) sources.KelvoPorts = kelvoPorts;
  sources.UseUdev = tty == nullptr && dev == nullptr && UdevRunning();
  return sources;
}

std::vector<TPortInfo> ListSerialPorts(const TPortSources& sources) {
  std::vector<TFoundPort> found;
  if (!sources.UseUdev || !UdevPorts(found)) found = SysfsPorts(sources.TtyClassDir);
  std::vector<TPortInfo> ports;
  ports.reserve(found.size());
  for (const TFoundPort& port : found) ports.push_back({port.Name, DescribePort(port.Facts)});
  AppendEnvironmentPorts(sources.KelvoPorts, ports);
  std::stable_sort(ports.begin(), ports.end(), ByText);
  std::vector<TPortInfo> stable = StableNames(sources.DevDir, ports);
  ports.insert(ports.end(), stable.begin(), stable.end());
  return ports;
}

std::vector<TPortInfo> ListSerialPorts() {
  return ListSerialPorts(CurrentPortSources());
}

std::vector<std::string> EnumerateSerialPorts(const std::string& ttyClassDir, const char* kelvoPorts) {
  TPortSources sources;
  sources.TtyClassDir = ttyClassDir;
  sources.DevDir = ttyClassDir + "/no-dev";  // a tty class alone has no stable names
  sources.KelvoPorts = kelvoPorts != nullptr ? kelvoPorts : "";
  std::vector<std::string> names;
  for (TPortInfo& port : ListSerialPorts(sources)) names.push_back(std::move(port.Name));
  return names;
}

std::vector<std::string> EnumerateSerialPorts() {
  std::vector<std::string> names;
  for (TPortInfo& port : ListSerialPorts()) names.push_back(std::move(port.Name));
  return names;
}

}  // namespace kelvo
