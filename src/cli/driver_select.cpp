#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "cli/cli.h"
#include "platform/hidraw_discovery.h"
#include "platform/hidraw_endpoint.h"
#include "platform/paths.h"
#include "platform/vkbd_client.h"
#include "platform/vkbd_launcher.h"

namespace orlix::cli {

std::filesystem::path simSocket(const Context& ctx) {
  const std::string& d = ctx.options.driver;
  if (d.rfind("sim:", 0) == 0 && d.size() > 4) return d.substr(4);
  return platform::defaultVkbdSocket();
}

namespace {

// The node must be there and usable by this user before anything is sent;
// the reason goes to the user in one line.
bool checkNode(const std::filesystem::path& node, std::string& error) {
  if (::access(node.c_str(), R_OK | W_OK) == 0) return true;
  if (errno == EACCES || errno == EPERM)
    error = "no permission to use " + node.string() +
            " (install the udev rule 70-orlix.rules and plug the keyboard in again)";
  else
    error = "cannot use " + node.string() + ": " + std::strerror(errno);
  return false;
}

std::unique_ptr<DriverEndpoint> hidrawEndpoint(const std::string& device, std::string& error) {
  std::filesystem::path node;
  if (!device.empty()) {
    node = device.find('/') == std::string::npos ? std::filesystem::path("/dev") / device : std::filesystem::path(device);
  } else {
    auto found = platform::findKeyboardNode(platform::sysfsRoot());
    if (!found) {
      error = "no Orlix keyboard (USB 24AE:4009) among the hidraw devices";
      return nullptr;
    }
    node = found->devnode;
  }
  if (!checkNode(node, error)) return nullptr;
  return std::make_unique<platform::HidrawDriverEndpoint>(node);
}

}  // namespace

std::unique_ptr<DriverEndpoint> openDriverEndpoint(Context& ctx, std::string& error) {
  const std::string& d = ctx.options.driver;
  bool sim = ctx.options.simulate || d == "sim" || d.rfind("sim:", 0) == 0;
  if (!sim && (d == "hidraw" || d.rfind("hidraw:", 0) == 0))
    return hidrawEndpoint(d.size() > 7 ? d.substr(7) : std::string(), error);
  if (!sim && d != "auto") {
    error = "unknown driver '" + d + "' (auto, sim[:SOCKET] or hidraw[:DEVICE])";
    return nullptr;
  }
  // auto: a real keyboard when one is attached, else the virtual keyboard.
  if (!sim && platform::findKeyboardNode(platform::sysfsRoot())) return hidrawEndpoint({}, error);

  auto socket = simSocket(ctx);
  if (ctx.options.simulate && !platform::startVkbd(socket, {}, error)) return nullptr;
  if (!platform::vkbdAnswers(socket)) {
    error = d == "auto" ? "no keyboard found and no virtual keyboard running (try --simulate)"
                        : "no virtual keyboard answers at " + socket.string() + " (try orlixctl sim start)";
    return nullptr;
  }
  return std::make_unique<platform::SocketDriverEndpoint>(socket);
}

}  // namespace orlix::cli
