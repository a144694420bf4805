#include "serial/port_watcher.h"

#include <libudev.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cstring>

namespace kelvo {

namespace {

// The device nodes that can be serial ports: tty* (ttyS, ttyUSB, ttyACM, ...) and rfcomm*.
bool SerialNodeName(const char* name) {
  return std::strncmp(name, "tty", 3) == 0 || std::strncmp(name, "rfcomm", 6) == 0;
}

}  // namespace

TPortWatcher::TPortWatcher(const TPortSources& sources) {
  if (sources.UseUdev && (FUdev = udev_new()) != nullptr) {
    FMonitor = udev_monitor_new_from_netlink(FUdev, "udev");
    if (FMonitor != nullptr &&
        udev_monitor_filter_add_match_subsystem_devtype(FMonitor, "tty", nullptr) >= 0 &&
        udev_monitor_enable_receiving(FMonitor) >= 0)
      return;
    if (FMonitor != nullptr) udev_monitor_unref(FMonitor);
    FMonitor = nullptr;
  }
  FInotify.Reset(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
  if (!FInotify.Valid()) return;
  const uint32_t events = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
  ::inotify_add_watch(FInotify.Get(), sources.DevDir.c_str(), events | IN_ONLYDIR);
  FByIdWatch =
      ::inotify_add_watch(FInotify.Get(), (sources.DevDir + "/serial/by-id").c_str(), events | IN_ONLYDIR);
}

TPortWatcher::~TPortWatcher() {
  if (FMonitor != nullptr) udev_monitor_unref(FMonitor);
  if (FUdev != nullptr) udev_unref(FUdev);
}

int TPortWatcher::Fd() const {
  return FMonitor != nullptr ? udev_monitor_get_fd(FMonitor) : FInotify.Get();
}

bool TPortWatcher::TakeChanges() {
  return FMonitor != nullptr ? TakeUdevChanges() : TakeFolderChanges();
}

bool TPortWatcher::TakeUdevChanges() {
  bool changed = false;
  // The monitor's socket does not block: it answers nullptr once every notice is taken.
  while (udev_device* device = udev_monitor_receive_device(FMonitor)) {
    changed = true;
    udev_device_unref(device);
  }
  return changed;
}

bool TPortWatcher::TakeFolderChanges() {
  bool changed = false;
  alignas(inotify_event) char buffer[4096];
  for (;;) {
    ssize_t n = RetryOnEintr([&] { return ::read(FInotify.Get(), buffer, sizeof buffer); });
    if (n <= 0) return changed;
    for (ssize_t at = 0; at < n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      if (event->len > 0 && (event->wd == FByIdWatch || SerialNodeName(event->name))) changed = true;
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
}

}  // namespace kelvo
