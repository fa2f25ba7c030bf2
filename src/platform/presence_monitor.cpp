#include "platform/presence_monitor.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#ifdef ORLIX_HAVE_LIBUDEV
#include <libudev.h>
#endif

namespace orlix::platform {

struct DeviceMonitor::System {
#ifdef ORLIX_HAVE_LIBUDEV
  udev* context = nullptr;
  udev_monitor* monitor = nullptr;
  ~System() {
    if (monitor) udev_monitor_unref(monitor);
    if (context) udev_unref(context);
  }
#endif
};

DeviceMonitor::DeviceMonitor() {
  epollFd_ = ::epoll_create1(EPOLL_CLOEXEC);
  wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (epollFd_ < 0 || wakeFd_ < 0) {
    if (epollFd_ >= 0) ::close(epollFd_);
    if (wakeFd_ >= 0) ::close(wakeFd_);
    epollFd_ = wakeFd_ = -1;
    return;
  }
  epoll_event e{};
  e.events = EPOLLIN;
  e.data.fd = wakeFd_;
  ::epoll_ctl(epollFd_, EPOLL_CTL_ADD, wakeFd_, &e);
}

DeviceMonitor::~DeviceMonitor() {
  system_.reset();
  if (epollFd_ >= 0) ::close(epollFd_);
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

bool DeviceMonitor::watchSystem() {
#ifdef ORLIX_HAVE_LIBUDEV
  if (system_) return true;
  if (epollFd_ < 0) return false;
  auto s = std::make_unique<System>();
  s->context = udev_new();
  if (!s->context) return false;
  // "udev" events come after the rules ran, so the node's access is settled.
  s->monitor = udev_monitor_new_from_netlink(s->context, "udev");
  // HID devices too: a uhid keyboard has no USB device whose removal is seen.
  if (!s->monitor || udev_monitor_filter_add_match_subsystem_devtype(s->monitor, "usb", "usb_device") < 0 ||
      udev_monitor_filter_add_match_subsystem_devtype(s->monitor, "hid", nullptr) < 0 ||
      udev_monitor_enable_receiving(s->monitor) < 0)
    return false;
  int fd = udev_monitor_get_fd(s->monitor);
  epoll_event e{};
  e.events = EPOLLIN;
  e.data.fd = fd;
  if (fd < 0 || ::epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd, &e) != 0) return false;
  system_ = std::move(s);
  return true;
#else
  return false;
#endif
}

bool DeviceMonitor::watchingSystem() const { return system_ != nullptr; }

std::vector<DeviceChange> DeviceMonitor::drain() {
  std::vector<DeviceChange> out;
  if (wakeFd_ >= 0) {
    uint64_t count;
    [[maybe_unused]] auto n = ::read(wakeFd_, &count, sizeof count);
  }
  {
    std::lock_guard lock(mutex_);
    out.assign(posted_.begin(), posted_.end());
    posted_.clear();
  }
#ifdef ORLIX_HAVE_LIBUDEV
  if (system_) {
    // The monitor's socket does not block: this ends when no event is left.
    while (udev_device* dev = udev_monitor_receive_device(system_->monitor)) {
      std::map<std::string, std::string> props;
      for (auto* e = udev_device_get_properties_list_entry(dev); e; e = udev_list_entry_get_next(e)) {
        const char* value = udev_list_entry_get_value(e);
        props[udev_list_entry_get_name(e)] = value ? value : "";
      }
      const char* action = udev_device_get_action(dev);
      if (auto change = deviceChangeFromUevent(action ? action : "", props)) out.push_back(std::move(*change));
      udev_device_unref(dev);
    }
  }
#endif
  return out;
}

void DeviceMonitor::post(DeviceChange change) {
  {
    std::lock_guard lock(mutex_);
    posted_.push_back(std::move(change));
  }
  if (wakeFd_ >= 0) {
    uint64_t one = 1;
    [[maybe_unused]] auto n = ::write(wakeFd_, &one, sizeof one);
  }
}

void DeviceMonitor::postVirtualKeyboard(bool plugged) {
  post({plugged ? kDeviceArrival : kDeviceRemoveComplete, virtualKeyboardInterfaceName()});
}

}  // namespace orlix::platform
