#include <ostream>

#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/json_output.h"
#include "platform/hidraw_discovery.h"
#include "platform/paths.h"
#include "platform/presence.h"

namespace orlix::cli {

std::filesystem::path simSocket(const Context& ctx);

namespace {

int cmdPaths(Context& ctx, std::span<const std::string> args) {
  if (!args.empty()) return fail(ctx, "paths takes no arguments", kExitUsage);
  auto program = platform::programFolder(ctx.options.root);
  if (ctx.options.json) {
    const std::pair<const char*, std::filesystem::path> paths[] = {
        {"program", program},
        {"data", platform::dataFolder(program)},
        {"config", platform::configFolder(ctx.options.config)},
        {"runtime", platform::runtimeFolder()},
        {"state", platform::stateFolder()},
        {"socket", simSocket(ctx)},
        {"sysfs", platform::sysfsRoot()}};
    return printPathsJson(ctx, paths);
  }
  ctx.out << "program " << program.string() << "\n"
          << "data    " << platform::dataFolder(program).string() << "\n"
          << "config  " << platform::configFolder(ctx.options.config).string() << "\n"
          << "runtime " << platform::runtimeFolder().string() << "\n"
          << "state   " << platform::stateFolder().string() << "\n"
          << "socket  " << simSocket(ctx).string() << "\n"
          << "sysfs   " << platform::sysfsRoot().string() << "\n";
  return kExitOk;
}

int cmdDevices(Context& ctx, std::span<const std::string> args) {
  if (!args.empty()) return fail(ctx, "devices takes no arguments", kExitUsage);
  auto root = platform::sysfsRoot();
  auto virtualPlugged = platform::virtualKeyboardPlugged(simSocket(ctx));
  platform::DevicePresence presence(root);
  presence.setVirtualKeyboardPlugged(virtualPlugged.value_or(false));
  auto chosen = platform::findKeyboardNode(root);
  auto nodes = platform::listHidrawNodes(root, platform::kKeyboardVendorId, platform::kKeyboardProductId,
                                         platform::kVendorUsagePage, platform::kVendorUsage);
  if (ctx.options.json) return printDevicesJson(ctx, presence.isPresent(), nodes, chosen, virtualPlugged, simSocket(ctx));
  ctx.out << "keyboard present: " << (presence.isPresent() ? "yes" : "no") << "\n";
  ctx.out << "hidraw nodes of the keyboard:" << (nodes.empty() ? " none" : "") << "\n";
  for (auto& n : nodes) {
    const char* usage = !n.declaresWantedUsage ? "descriptor unreadable"
                        : *n.declaresWantedUsage ? "vendor collection"
                                                 : "other collection";
    ctx.out << "  " << n.devnode.string() << "  interface "
            << (n.interfaceNumber < 0 ? std::string("?") : std::to_string(n.interfaceNumber)) << "  " << usage
            << (chosen && chosen->name == n.name ? "  (used)" : "") << "\n";
  }
  ctx.out << "virtual keyboard: "
          << (!virtualPlugged ? "not running" : *virtualPlugged ? "plugged" : "unplugged") << " ("
          << simSocket(ctx).string() << ")\n";
  return kExitOk;
}

}  // namespace

void addPlatformCommands(CommandTable& t) {
  t.push_back({"paths", "paths", "show the folders in use (program, data, settings, runtime, state)", cmdPaths});
  t.push_back({"devices", "devices", "show whether the keyboard is attached, its hidraw nodes and the virtual keyboard",
               cmdDevices});
}

}  // namespace orlix::cli
