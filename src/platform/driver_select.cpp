#include "platform/driver_select.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/hidraw_discovery.h"
#include "platform/paths.h"

namespace orlix::platform {

namespace fs = std::filesystem;

std::optional<DriverSpec> parseDriver(const std::string& value, bool simulate, std::string& error) {
  auto withArgument = [&](const std::string& name, DriverSpec::Kind kind) -> std::optional<DriverSpec> {
    if (value == name) return DriverSpec{kind, {}};
    if (value.rfind(name + ":", 0) == 0) return DriverSpec{kind, value.substr(name.size() + 1)};
    return std::nullopt;
  };
  std::optional<DriverSpec> spec;
  if (value.empty() || value == "auto") spec = DriverSpec{};
  else if (!(spec = withArgument("sim", DriverSpec::Kind::Virtual)))
    spec = withArgument("hidraw", DriverSpec::Kind::Hidraw);
  if (!spec) {
    error = "unknown driver '" + value + "' (" + kDriverValues + ")";
    return std::nullopt;
  }
  if (simulate && spec->kind != DriverSpec::Kind::Virtual) spec = DriverSpec{DriverSpec::Kind::Virtual, {}};
  return spec;
}

fs::path virtualKeyboardSocket(const DriverSpec& spec) {
  if (spec.kind == DriverSpec::Kind::Virtual && !spec.argument.empty()) return spec.argument;
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

DriverChoice resolveDriver(const DriverSpec& spec, std::string& error) {
  DriverChoice choice;
  auto root = sysfsRoot();
  std::optional<HidrawNode> found;
  if (spec.kind == DriverSpec::Kind::Auto || (spec.kind == DriverSpec::Kind::Hidraw && spec.argument.empty()))
    found = findKeyboardNode(root);
  if (spec.kind == DriverSpec::Kind::Virtual || (spec.kind == DriverSpec::Kind::Auto && !found)) {
    choice.socket = virtualKeyboardSocket(spec);
    return choice;
  }
  choice.hidraw = true;
  if (!spec.argument.empty()) {
    const std::string& dev = spec.argument;
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
