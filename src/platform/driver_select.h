#pragma once
// How a program reaches the keyboard, from its --driver and --simulate
// options: one rule for the window program and orlixctl.
//   auto            the keyboard's hidraw node when one is attached, else the virtual keyboard
//   sim[:SOCKET]    the virtual keyboard (orlix-vkbd) at SOCKET, else the default socket
//   hidraw[:DEVICE] the keyboard's node, or DEVICE (a name under /dev or a path)
// --simulate means sim whatever --driver says.

#include <filesystem>
#include <optional>
#include <string>

namespace orlix::platform {

inline constexpr const char* kDriverValues = "auto, sim[:SOCKET] or hidraw[:DEVICE]";

struct DriverRequest {
  enum class Kind { Auto, Virtual, Hidraw };
  Kind kind = Kind::Auto;
  std::string argument;  // SOCKET or DEVICE; empty for the default
};

// The request a --driver value and --simulate name; nothing, with a message in
// error that lists the known values, for any other value.
std::optional<DriverRequest> parseDriver(const std::string& value, bool simulate, std::string& error);

// The virtual keyboard's socket for a request: its SOCKET, else the default one.
std::filesystem::path virtualKeyboardSocket(const DriverRequest& request);

struct DriverChoice {
  bool hidraw = false;
  std::filesystem::path node;    // hidraw: the keyboard's node (empty when none was found)
  std::filesystem::path socket;  // virtual: the daemon's socket
};

// Resolves a request against the devices present (sysfs under sysfsRoot()). auto
// becomes hidraw when a keyboard is attached, else virtual. For hidraw the node
// must be usable by this user: otherwise, or when no keyboard is attached,
// error says why in one line (the choice still names the node, if any).
DriverChoice resolveDriver(const DriverRequest& request, std::string& error);

}  // namespace orlix::platform
