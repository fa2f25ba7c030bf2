#include <signal.h>

#include <atomic>
#include <ostream>

#include "cli/commands.h"
#include "cli/config_session.h"
#include "core/device/message_target.h"
#include "core/device/messages.h"
#include "core/runtime/key_action_runtime.h"
#include "platform/hidraw_endpoint.h"
#include "platform/host_actions.h"
#include "platform/vkbd_client.h"

namespace orlix::cli {

namespace {

std::atomic<bool> gStop{false};
void onStopSignal(int) { gStop = true; }

// Installs the stop handlers for the life of the object.
struct StopSignals {
  struct sigaction oldInt {}, oldTerm {};
  StopSignals() {
    gStop = false;
    struct sigaction sa {};
    sa.sa_handler = onStopSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, &oldInt);
    sigaction(SIGTERM, &sa, &oldTerm);
  }
  ~StopSignals() {
    sigaction(SIGINT, &oldInt, nullptr);
    sigaction(SIGTERM, &oldTerm, nullptr);
  }
};

int cmdListen(Context& ctx, std::span<const std::string> args) {
  if (!args.empty()) return fail(ctx, "listen takes no arguments", kExitUsage);
  Session s(ctx);
  if (!s.open(false)) return kExitFailure;
  s.releaseLock();  // it only reads from here on, for as long as it listens
  MessageQueue mainWindow;
  StopSignals signals;
  std::atomic<bool> unplugged{false};
  // The hooks are set before the endpoint opens: a hang-up right after the
  // open must not pass unseen, or the loop would wait for key events that can
  // no longer come.
  auto keyboard = connectKeyboard(ctx, &mainWindow, [&](DriverEndpoint& endpoint) {
    if (auto* socket = dynamic_cast<platform::SocketDriverEndpoint*>(&endpoint)) {
      socket->onPresenceChange = [&](bool plugged) {
        if (!plugged) unplugged = true;
        mainWindow.post(0, 0, 0);  // wakes the loop
      };
    } else if (auto* node = dynamic_cast<platform::HidrawDriverEndpoint*>(&endpoint)) {
      // An unplugged keyboard's node hangs up.
      node->onHangUp = [&] {
        unplugged = true;
        mainWindow.post(0, 0, 0);
      };
    }
  });
  if (!keyboard) return kExitFailure;
  platform::LinuxHostActions host(s.programFolder);
  ctx.out << "listening for host-function keys of profile " << s.profiles->current() + 1
          << " (Ctrl+C ends)" << std::endl;

  while (!gStop && !unplugged) {
    auto m = mainWindow.take(std::chrono::milliseconds(200));
    if (!m || m->id != msg::kKeyEvent) continue;
    uint32_t w = uint32_t(m->wParam);
    // Each event is carried out with the configuration as it is now, so that
    // changes other orlixctl commands saved meanwhile count.
    s.profiles->loadProfile(s.profiles->path(s.profiles->current()), false);
    if (runtime::isHostEvent(w) && runtime::keyIndexOf(w) < kKeyCount)
      ctx.out << "key " << runtime::keyIndexOf(w) << ": host function " << runtime::subtypeOf(w) << std::endl;
    runtime::onKeyEvent(*s.image, host, w);
  }
  if (unplugged) return fail(ctx, "the keyboard went away");
  ctx.out << "stopped" << std::endl;
  return kExitOk;
}

}  // namespace

void addListenCommands(CommandTable& t) {
  t.push_back({"listen", "listen",
               "carry out the host functions of pressed keys (open, sound, screenshot) until interrupted", cmdListen});
}

}  // namespace orlix::cli
