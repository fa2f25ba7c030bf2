#include <memory>

#include "cli/cli.h"
#include "platform/paths.h"
#include "platform/vkbd_client.h"
#include "platform/vkbd_launcher.h"

namespace orlix::cli {

std::filesystem::path simSocket(const Context& ctx) {
  const std::string& d = ctx.options.driver;
  if (d.rfind("sim:", 0) == 0 && d.size() > 4) return d.substr(4);
  return platform::defaultVkbdSocket();
}

std::unique_ptr<DriverEndpoint> openDriverEndpoint(Context& ctx, std::string& error) {
  const std::string& d = ctx.options.driver;
  bool sim = ctx.options.simulate || d == "sim" || d.rfind("sim:", 0) == 0;
  if (!sim && d.rfind("hidraw", 0) == 0) {
    error = "the hidraw driver is not available in this build";
    return nullptr;
  }
  if (!sim && d != "auto") {
    error = "unknown driver '" + d + "' (auto, sim[:SOCKET] or hidraw[:DEVICE])";
    return nullptr;
  }
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
