// The udev reader of the tty devices: the same devices as sysfs, with the names that udev's
// hardware database gives them.
#include <libudev.h>
#include <unistd.h>

#include <cstring>
#include <memory>

#include "serial/port_sources.h"

namespace kelvo {

namespace {

struct TUdevDeleter {
  void operator()(udev* u) const { udev_unref(u); }
  void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
  void operator()(udev_device* d) const { udev_device_unref(d); }
};
template <class T>
using TUdevPtr = std::unique_ptr<T, TUdevDeleter>;

std::map<std::string, std::string> Properties(udev_device* device) {
  std::map<std::string, std::string> properties;
  for (udev_list_entry* e = udev_device_get_properties_list_entry(device); e;
       e = udev_list_entry_get_next(e)) {
    const char* value = udev_list_entry_get_value(e);
    properties[udev_list_entry_get_name(e)] = value ? value : "";
  }
  return properties;
}

// The USB path and the driver live on the parents: the USB device ("1-1.2") and the tty's own
// device (its driver, such as pl2303 or serial8250).
void AddParentFacts(udev_device* tty, TPortFacts& facts) {
  udev_device* parent = udev_device_get_parent(tty);  // owned by tty
  if (parent != nullptr && facts.Driver.empty()) {
    const char* driver = udev_device_get_driver(parent);
    if (driver != nullptr) facts.Driver = driver;
  }
  udev_device* usb = udev_device_get_parent_with_subsystem_devtype(tty, "usb", "usb_device");
  if (usb != nullptr) facts.UsbPath = udev_device_get_sysname(usb);
}

bool WithoutUart(udev_device* tty) {
  const char* name = udev_device_get_sysname(tty);
  const char* type = udev_device_get_sysattr_value(tty, "type");
  return name != nullptr && std::strncmp(name, "ttyS", 4) == 0 && type != nullptr &&
         std::strcmp(type, "0") == 0;
}

}  // namespace

bool UdevRunning() {
  return ::access("/run/udev/control", F_OK) == 0;
}

bool UdevPorts(std::vector<TFoundPort>& ports) {
  TUdevPtr<udev> context(udev_new());
  if (!context) return false;
  TUdevPtr<udev_enumerate> enumerate(udev_enumerate_new(context.get()));
  if (!enumerate || udev_enumerate_add_match_subsystem(enumerate.get(), "tty") < 0 ||
      udev_enumerate_scan_devices(enumerate.get()) < 0)
    return false;
  udev_list_entry* entry = udev_enumerate_get_list_entry(enumerate.get());
  for (; entry != nullptr; entry = udev_list_entry_get_next(entry)) {
    TUdevPtr<udev_device> tty(udev_device_new_from_syspath(context.get(), udev_list_entry_get_name(entry)));
    if (!tty || udev_device_get_parent(tty.get()) == nullptr || WithoutUart(tty.get())) continue;
    TFoundPort port{udev_device_get_sysname(tty.get()), FactsFromUdevProperties(Properties(tty.get()))};
    AddParentFacts(tty.get(), port.Facts);
    ports.push_back(std::move(port));
  }
  return true;
}

}  // namespace kelvo
