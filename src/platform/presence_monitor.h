#pragma once
// Device-change notifications without an event loop of its own: the monitor
// gathers the system's USB and HID device events (libudev, when built with it) and the
// changes other parts post (the virtual keyboard's unplug and plug, a hidraw
// node hanging up) behind one descriptor. A window watches fd() (for instance
// with a QSocketNotifier) and calls drain() when it is readable.

#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/presence.h"

namespace orlix::platform {

class DeviceMonitor {
 public:
  DeviceMonitor();
  ~DeviceMonitor();
  DeviceMonitor(const DeviceMonitor&) = delete;
  DeviceMonitor& operator=(const DeviceMonitor&) = delete;

  // Starts receiving the system's USB device events (usb_device add and
  // remove, after udev's rules ran) and those of HID devices (a uhid keyboard). False when this build has no libudev or
  // the monitor cannot be made; posted changes still arrive. Without a running
  // udev daemon (containers) it succeeds but no event comes.
  bool watchSystem();
  bool watchingSystem() const;

  // Readable while changes wait; -1 when the monitor could not be made.
  int fd() const { return epollFd_; }
  // Every waiting change, oldest first; never blocks.
  std::vector<DeviceChange> drain();

  // Queues a change; safe from any thread.
  void post(DeviceChange change);
  // The virtual keyboard was unplugged (or went away) or plugged.
  void postVirtualKeyboard(bool plugged);

 private:
  struct System;
  int epollFd_ = -1;
  int wakeFd_ = -1;
  std::unique_ptr<System> system_;
  std::mutex mutex_;
  std::deque<DeviceChange> posted_;
};

}  // namespace orlix::platform
