#include "platform/driver_select.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/hidraw_discovery.h"
#include "platform/paths.h"

namespace orlix::platform {

namespace fs = std::filesystem;

std::optional<DriverRequest> parseDriver(const std::string& value, bool simulate, std::string& error) {
  auto withArgument = [&](const std::string& name, DriverRequest::Kind kind) -> std::optional<DriverRequest> {
    if (value == name) return DriverRequest{kind, {}};
    if (value.rfind(name + ":", 0) == 0) return DriverRequest{kind, value.substr(name.size() + 1)};
    return std::nullopt;
  };
  std::optional<DriverRequest> request;
  if (value.empty() || value == "auto") request = DriverRequest{};
  else if (!(request = withArgument("sim", DriverRequest::Kind::Virtual)))
    request = withArgument("hidraw", DriverRequest::Kind::Hidraw);
  if (!request) {
    error = "unknown driver '" + value + "' (" + kDriverValues + ")";
    return std::nullopt;
  }
  if (simulate && request->kind != DriverRequest::Kind::Virtual) request = DriverRequest{DriverRequest::Kind::Virtual, {}};
  return request;
}

fs::path virtualKeyboardSocket(const DriverRequest& request) {
  if (request.kind == DriverRequest::Kind::Virtual && !request.argument.empty()) return request.argument;
  return defaultVkbdSocket();
}

namespace {
// The node must be there and usable by this user before anything is sent.
bool checkNode(const fs::path& node, std::string& error) {
  if (::access(node.c_str(), R_OK | W_OK) == 0) return true;
  if (errno == EACCES || errno == EPERM)
    error = "no permission to use " + node.string() +
            " (install the udev rule 70-orlix.rules and plug the keyboard in again)";
  else
    error = "cannot use " + node.string() + ": " + std::strerror(errno);
  return false;
}
}  // namespace

DriverChoice resolveDriver(const DriverRequest& request, std::string& error) {
  DriverChoice choice;
  auto root = sysfsRoot();
  std::optional<HidrawNode> found;
  if (request.kind == DriverRequest::Kind::Auto || (request.kind == DriverRequest::Kind::Hidraw && request.argument.empty()))
    found = findKeyboardNode(root);
  if (request.kind == DriverRequest::Kind::Virtual || (request.kind == DriverRequest::Kind::Auto && !found)) {
    choice.socket = virtualKeyboardSocket(request);
    return choice;
  }
  choice.hidraw = true;
  if (!request.argument.empty()) {
    const std::string& dev = request.argument;
    choice.node = dev.find('/') == std::string::npos ? fs::path("/dev") / dev : fs::path(dev);
  } else if (found) {
    choice.node = found->devnode;
  } else {
    error = "no Orlix keyboard (USB 24AE:4009) among the hidraw devices";
    return choice;
  }
  checkNode(choice.node, error);
  return choice;
}

}  // namespace orlix::platform
