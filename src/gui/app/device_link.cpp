#include "gui/app/device_link.h"

#include "platform/hidraw_discovery.h"
#include "platform/hidraw_endpoint.h"
#include "platform/paths.h"
#include "platform/vkbd_client.h"
#include "platform/vkbd_launcher.h"

namespace orlix::gui {

DeviceLink::DeviceLink(const DeviceLinkOptions& options) {
  const std::string& d = options.driver;
  bool sim = options.simulate || d == "sim" || d.rfind("sim:", 0) == 0;
  bool hidraw = !sim && (d == "hidraw" || d.rfind("hidraw:", 0) == 0);
  auto root = platform::sysfsRoot();
  if (!sim && !hidraw && platform::findKeyboardNode(root)) hidraw = true;

  if (hidraw) {
    std::filesystem::path node;
    if (d.size() > 7) {
      std::string dev = d.substr(7);
      node = dev.find('/') == std::string::npos ? std::filesystem::path("/dev") / dev : std::filesystem::path(dev);
    } else if (auto found = platform::findKeyboardNode(root)) {
      node = found->devnode;
    }
    auto endpoint = std::make_unique<platform::HidrawDriverEndpoint>(node);
    endpoint->onHangUp = [this] {
      monitor_.post({platform::kDeviceRemoveComplete, platform::usbInterfaceName(0x24AE, 0x4009, "hidraw")});
    };
    endpoint_ = std::move(endpoint);
    hidLibrary_ = std::make_unique<platform::HidrawHidLibrary>(root);
    monitor_.watchSystem();
    return;
  }

  simulated_ = true;
  socket_ = d.rfind("sim:", 0) == 0 && d.size() > 4 ? std::filesystem::path(d.substr(4))
                                                     : platform::defaultVkbdSocket();
  if (options.simulate) platform::startVkbd(socket_, {}, error_);
  auto endpoint = std::make_unique<platform::SocketDriverEndpoint>(socket_);
  endpoint->onPresenceChange = [this](bool plugged) { monitor_.postVirtualKeyboard(plugged); };
  endpoint_ = std::move(endpoint);
  monitor_.watchSystem();
}

DeviceLink::~DeviceLink() {
  // The endpoint reports its end (a lost connection, a hang-up) to the
  // monitor from its reader thread: it goes while the monitor still exists.
  endpoint_.reset();
  hidLibrary_.reset();
}

bool DeviceLink::keyboardPresent() {
  platform::DevicePresence presence(platform::sysfsRoot());
  if (simulated_) presence.setVirtualKeyboardPlugged(platform::virtualKeyboardPlugged(socket_).value_or(false));
  return presence.isPresent();
}

}  // namespace orlix::gui
