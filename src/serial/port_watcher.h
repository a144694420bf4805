// Tells when the system's serial ports may have come or gone, for a port list that follows
// hot-plugging: a udev monitor of the tty subsystem when udev runs, otherwise inotify on the device
// folder (/dev, where the kernel itself makes and removes the nodes) and its serial/by-id folder.
// It has no thread: the owner waits for Fd() to become readable (the window with a socket notifier
// on its event loop) and then calls TakeChanges(). Everything here belongs to the owner's thread.
#pragma once

#include <memory>
#include <string>

#include "serial/port_list.h"
#include "serial/unix_fd.h"

struct udev;
struct udev_monitor;

namespace kelvo {

class TPortWatcher {
 public:
  // Watches what sources name: udev when sources.UseUdev, else the folder sources.DevDir.
  explicit TPortWatcher(const TPortSources& sources);
  TPortWatcher(const TPortWatcher&) = delete;
  TPortWatcher& operator=(const TPortWatcher&) = delete;
  ~TPortWatcher();

  // The descriptor to wait on for reading, or -1 when nothing can be watched.
  int Fd() const;
  // Reads every pending notice; true when a tty device or a stable name came or went.
  bool TakeChanges();

 private:
  bool TakeUdevChanges();
  bool TakeFolderChanges();

  udev* FUdev = nullptr;
  udev_monitor* FMonitor = nullptr;
  TUniqueFd FInotify;
  int FByIdWatch = -1;
};

}  // namespace kelvo
