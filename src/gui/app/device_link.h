#pragma once
// The program's way to its keyboard, chosen from the command line: the
// keyboard's hidraw node when one is attached, else the virtual keyboard
// (started first with --simulate). It holds the driver endpoint, the HID
// library for either, the presence check and the device monitor that reports removals.

#include <filesystem>
#include <memory>
#include <string>

#include "core/device/driver_endpoint.h"
#include "platform/presence.h"
#include "platform/presence_monitor.h"

namespace orlix::gui {

struct DeviceLinkOptions {
  bool simulate = false;       // start the virtual keyboard when none runs, and use it
  std::string driver = "auto"; // auto, sim[:SOCKET], hidraw[:DEVICE]
};

class DeviceLink {
 public:
  // Chooses and builds the endpoint; never fails: without any keyboard the
  // endpoint refuses to open and the presence check says absent. error()
  // tells why the preferred way was not available.
  explicit DeviceLink(const DeviceLinkOptions& options);
  ~DeviceLink();

  DriverEndpoint& endpoint() { return *endpoint_; }
  HidLibrary* hidLibrary() { return hidLibrary_.get(); }
  platform::DeviceMonitor& monitor() { return monitor_; }
  // Is present("VID_24AE&PID_4009") over the USB devices and the virtual keyboard.
  bool keyboardPresent();
  bool simulated() const { return simulated_; }
  const std::filesystem::path& socket() const { return socket_; }
  const std::string& error() const { return error_; }

 private:
  std::unique_ptr<DriverEndpoint> endpoint_;
  std::unique_ptr<HidLibrary> hidLibrary_;
  platform::DeviceMonitor monitor_;
  bool simulated_ = false;
  std::filesystem::path socket_;
  std::string error_;
};

}  // namespace orlix::gui
