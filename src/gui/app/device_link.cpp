#include "gui/app/device_link.h"

#include "platform/driver_select.h"
#include "platform/hidraw_discovery.h"
#include "platform/hidraw_endpoint.h"
#include "platform/paths.h"
#include "platform/vkbd_client.h"
#include "platform/vkbd_launcher.h"

namespace orlix::gui {

DeviceLink::DeviceLink(const DeviceLinkOptions& options) {
  // An unknown value is refused by the command line (parseAppOptions) before
  // the link is made; here it would mean auto.
  auto request = platform::parseDriver(options.driver, options.simulate, error_).value_or(platform::DriverRequest{});
  error_.clear();
  auto choice = platform::resolveDriver(request, error_);
  auto root = platform::sysfsRoot();

  if (choice.hidraw) {
    // Without a usable node the endpoint refuses to open and the presence
    // check decides, as without a keyboard; error() says why.
    auto endpoint = std::make_unique<platform::HidrawDriverEndpoint>(choice.node);
    endpoint->onHangUp = [this] {
      monitor_.post({platform::kDeviceRemoveComplete, platform::usbInterfaceName(0x24AE, 0x4009, "hidraw")});
    };
    endpoint_ = std::move(endpoint);
    hidLibrary_ = std::make_unique<platform::HidrawHidLibrary>(root);
    monitor_.watchSystem();
    return;
  }

  simulated_ = true;
  socket_ = choice.socket;
  if (options.simulate) platform::startVkbd(socket_, {}, error_);
  auto endpoint = std::make_unique<platform::SocketDriverEndpoint>(socket_);
  endpoint->onPresenceChange = [this](bool plugged) { monitor_.postVirtualKeyboard(plugged); };
  endpoint_ = std::move(endpoint);
  hidLibrary_ = std::make_unique<platform::VkbdHidLibrary>(socket_);
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
