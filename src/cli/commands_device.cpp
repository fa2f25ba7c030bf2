#include <ostream>

#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/json_output.h"
#include "core/device/device_commands.h"
#include "core/device/driver_channel.h"

namespace orlix::cli {

namespace {

int cmdVersion(Context& ctx, std::span<const std::string> args) {
  if (!args.empty()) return fail(ctx, "version takes no arguments", kExitUsage);
  std::string error;
  auto endpoint = openDriverEndpoint(ctx, error);
  if (!endpoint) return fail(ctx, "cannot reach the keyboard: " + error);
  DriverChannel channel(*endpoint);
  channel.start(nullptr);
  if (!channel.open()) return fail(ctx, "cannot reach the keyboard: the driver refused to open it");
  auto v = device::queryVersion(channel, realPacer());
  channel.close();
  if (!v) return fail(ctx, "the keyboard did not answer the version query");
  if (ctx.options.json) return printVersionJson(ctx, v->major, v->minor);
  ctx.out << int(v->major) << " " << int(v->minor) << "\n";
  return kExitOk;
}

}  // namespace

void addDeviceCommands(CommandTable& t) {
  t.push_back({"version", "version", "query the keyboard's firmware version (prints the two numbers)", cmdVersion});
}

}  // namespace orlix::cli
