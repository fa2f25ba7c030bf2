#include <memory>

#include "cli/cli.h"
#include "platform/driver_select.h"
#include "platform/hidraw_endpoint.h"
#include "platform/vkbd_client.h"
#include "platform/vkbd_launcher.h"

namespace orlix::cli {

std::filesystem::path simSocket(const Context& ctx) {
  std::string ignored;
  auto request = platform::parseDriver(ctx.options.driver, false, ignored);
  return platform::virtualKeyboardSocket(request.value_or(platform::DriverRequest{}));
}

std::unique_ptr<DriverEndpoint> openDriverEndpoint(Context& ctx, std::string& error) {
  auto request = platform::parseDriver(ctx.options.driver, ctx.options.simulate, error);
  if (!request) return nullptr;
  std::string why;
  auto choice = platform::resolveDriver(*request, why);
  if (!why.empty()) {
    error = why;
    return nullptr;
  }
  if (choice.hidraw) return std::make_unique<platform::HidrawDriverEndpoint>(choice.node);

  if (ctx.options.simulate && !platform::startVkbd(choice.socket, {}, error)) return nullptr;
  if (!platform::vkbdAnswers(choice.socket)) {
    error = request->kind == platform::DriverRequest::Kind::Auto
                ? "no keyboard found and no virtual keyboard running (try --simulate)"
                : "no virtual keyboard answers at " + choice.socket.string() + " (try orlixctl sim start)";
    return nullptr;
  }
  return std::make_unique<platform::SocketDriverEndpoint>(choice.socket);
}

}  // namespace orlix::cli
