// The sysfs reader of the tty devices: what the kernel itself tells without udev.
#include <filesystem>
#include <fstream>

#include "serial/port_sources.h"
#include "text/exception.h"

namespace kelvo {

namespace fs = std::filesystem;

namespace {

std::string FirstLine(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  return line;
}

// The 8250 driver registers ttyS0..ttyS31 whether or not a UART answers; such a port reports the
// UART type 0 ("unknown") in sysfs.
bool IsLegacyPortWithoutUart(const fs::path& entry) {
  if (entry.filename().string().rfind("ttyS", 0) != 0) return false;
  std::ifstream type(entry / "type");
  int value = -1;
  return type >> value && value == 0;
}

std::string DriverOf(const fs::path& device) {
  std::error_code error;
  fs::path driver = fs::read_symlink(device / "driver", error);
  return error ? std::string() : driver.filename().string();
}

// The USB device above a tty device (the folder with the USB descriptors), if any.
TPortFacts FactsOf(const fs::path& ttyEntry) {
  TPortFacts facts;
  std::error_code error;
  fs::path device = fs::canonical(ttyEntry / "device", error);
  if (error) return facts;
  facts.Driver = DriverOf(device);
  for (fs::path at = device; at.has_relative_path(); at = at.parent_path()) {
    if (!fs::exists(at / "idVendor", error)) continue;
    facts.VendorId = FirstLine(at / "idVendor");
    facts.ProductId = FirstLine(at / "idProduct");
    facts.Vendor = FirstLine(at / "manufacturer");
    facts.Model = FirstLine(at / "product");
    facts.UsbPath = at.filename().string();
    break;
  }
  return facts;
}

}  // namespace

std::vector<TFoundPort> SysfsPorts(const std::string& ttyClassDir) {
  std::vector<TFoundPort> ports;
  std::error_code error;
  fs::directory_iterator it(ttyClassDir, error);
  if (error) throw Exception("registry error while enumerationg ports");
  for (const fs::directory_entry& entry : it) {
    std::error_code ignored;
    if (!fs::exists(entry.path() / "device", ignored)) continue;
    if (IsLegacyPortWithoutUart(entry.path())) continue;
    ports.push_back({entry.path().filename().string(), FactsOf(entry.path())});
  }
  return ports;
}

}  // namespace kelvo
