#pragma once
// orlixctl: the command-line front end. Each command is a function over the
// parsed global options and its own arguments; commands of one area live in one
// file and are listed by commandTable().

#include <iosfwd>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/device/driver_endpoint.h"

namespace orlix::cli {

// Exit codes shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;   // the operation failed (device, file, rule)
inline constexpr int kExitUsage = 2;     // bad command line
inline constexpr int kExitSettingError = 3;  // an apply reported "Setting Error"

struct GlobalOptions {
  std::string driver = "auto";  // auto | sim[:SOCKET] | hidraw[:DEVICE]
  bool simulate = false;        // sim, starting the daemon when none runs
  std::string root;             // program folder (--root, ORLIX_ROOT)
  std::string config;           // configuration folder (--config, ORLIX_CONFIG_DIR)
  std::string lang;             // --lang ID where a command shows texts
  bool json = false;            // --json: one JSON document on standard output
  std::string instance;         // --instance NAME: the window program's single-instance name
};

struct Context {
  GlobalOptions options;
  std::ostream& out;
  std::ostream& err;
  // Path of the running orlixctl (to find orlix-vkbd beside it).
  std::string self;
};

struct Command {
  std::string_view name;     // first word, e.g. "sim"
  std::string_view usage;    // e.g. "sim start|stop|status|..."
  std::string_view summary;  // one line
  int (*run)(Context&, std::span<const std::string> args);
};

using CommandTable = std::vector<Command>;

// Every command of orlixctl, in the order the help lists them.
const CommandTable& commandTable();

// The whole program: parses global options, runs the command, returns the exit code.
int runCli(std::span<const std::string> argv, std::ostream& out, std::ostream& err);

// Prints one clear line "orlixctl: <message>" to err and returns code.
int fail(Context& ctx, const std::string& message, int code = kExitFailure);

// Opens the driver endpoint the options select. On failure returns null and sets
// error to a one-line reason.
std::unique_ptr<DriverEndpoint> openDriverEndpoint(Context& ctx, std::string& error);

// Parses a decimal or 0x-prefixed integer in [min, max].
std::optional<long> parseInteger(std::string_view text, long min, long max);

}  // namespace orlix::cli
