#include <ostream>

#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/json_output.h"
#include "core/device/virtual_keyboard.h"
#include "core/device/vkbd_protocol.h"
#include "core/util/bytes.h"
#include "platform/paths.h"
#include "platform/vkbd_client.h"
#include "platform/vkbd_launcher.h"

namespace orlix::cli {

std::filesystem::path simSocket(const Context& ctx);

namespace {

bool connectSim(Context& ctx, platform::VkbdConnection& c) {
  auto socket = simSocket(ctx);
  if (c.connect(socket)) return true;
  fail(ctx, "no virtual keyboard answers at " + socket.string() + " (start one with orlixctl sim start)");
  return false;
}

// Sends a request that answers with kResult; prints failures.
int simple(Context& ctx, uint8_t type, std::span<const uint8_t> body, const char* what) {
  platform::VkbdConnection c;
  if (!connectSim(ctx, c)) return kExitFailure;
  auto r = c.request(type, body);
  if (!r) return fail(ctx, std::string("the virtual keyboard did not answer the ") + what + " request");
  if (r->type == vkbd::kError) return fail(ctx, std::string(r->body.begin(), r->body.end()));
  if (r->type != vkbd::kResult || r->body.empty() || r->body[0] != 1)
    return fail(ctx, std::string("the virtual keyboard refused ") + what);
  return kExitOk;
}

int simEvent(Context& ctx, uint32_t word) {
  uint8_t b[4];
  putU32(b, 0, word);
  int rc = simple(ctx, vkbd::kEvent, b, "event (is the keyboard unplugged?)");
  if (rc == kExitOk) ctx.out << "queued event 0x" << std::hex << word << std::dec << "\n";
  return rc;
}

int cmdSim(Context& ctx, std::span<const std::string> args) {
  if (args.empty()) return fail(ctx, "sim needs a subcommand: start|stop|status|press|event|unplug|plug|reset|dump", kExitUsage);
  const std::string& sub = args[0];
  auto rest = args.subspan(1);
  auto noArgs = [&]() {
    if (!rest.empty()) {
      fail(ctx, "sim " + sub + " takes no arguments", kExitUsage);
      return false;
    }
    return true;
  };

  if (sub == "start") {
    std::string state;
    if (rest.size() == 2 && rest[0] == "--state") state = rest[1];
    else if (!rest.empty()) return fail(ctx, "usage: orlixctl sim start [--state DIR]", kExitUsage);
    auto socket = simSocket(ctx);
    bool running = platform::vkbdAnswers(socket);
    std::string error;
    if (!platform::startVkbd(socket, state, error)) return fail(ctx, error);
    ctx.out << (running ? "virtual keyboard already running at " : "virtual keyboard started at ")
            << socket.string() << "\n";
    return kExitOk;
  }
  if (sub == "stop") {
    if (!noArgs()) return kExitUsage;
    auto socket = simSocket(ctx);
    if (!platform::vkbdAnswers(socket)) {
      ctx.out << "no virtual keyboard running at " << socket.string() << "\n";
      return kExitOk;
    }
    int rc = simple(ctx, vkbd::kShutdown, {}, "stop");
    if (rc == kExitOk) ctx.out << "virtual keyboard stopped\n";
    return rc;
  }
  if (sub == "status") {
    if (!noArgs()) return kExitUsage;
    platform::VkbdConnection c;
    if (!connectSim(ctx, c)) return kExitFailure;
    auto r = c.request(vkbd::kStatus);
    if (!r || r->type != vkbd::kText) return fail(ctx, "the virtual keyboard did not answer");
    if (ctx.options.json) return printSimStatusJson(ctx, std::string(r->body.begin(), r->body.end()));
    ctx.out << std::string(r->body.begin(), r->body.end());
    return kExitOk;
  }
  if (sub == "press") {
    if (rest.size() != 2) return fail(ctx, "usage: orlixctl sim press KEYINDEX SUBTYPE", kExitUsage);
    auto key = parseInteger(rest[0], 0, 255);
    auto subtype = parseInteger(rest[1], 0, 15);
    if (!key) return fail(ctx, "key index must be 0..255: " + rest[0], kExitUsage);
    if (!subtype) return fail(ctx, "subtype must be 0..15: " + rest[1], kExitUsage);
    return simEvent(ctx, VirtualKeyboard::hostKeyEvent(int(*key), int(*subtype)));
  }
  if (sub == "event") {
    if (rest.size() != 1) return fail(ctx, "usage: orlixctl sim event WORD", kExitUsage);
    auto word = parseInteger(rest[0], 0, 0xFFFFFFFFL);
    if (!word) return fail(ctx, "event word must be a 32-bit number: " + rest[0], kExitUsage);
    return simEvent(ctx, uint32_t(*word));
  }
  if (sub == "unplug" && rest.size() == 2 && rest[0] == "--after-transfers") {
    auto n = parseInteger(rest[1], 1, 0xFFFFFFFF);
    if (!n) return fail(ctx, "--after-transfers takes a count of 1 or more: " + rest[1], kExitUsage);
    uint8_t b[4];
    putU32(b, 0, uint32_t(*n));
    int rc = simple(ctx, vkbd::kUnplug, b, "unplug");
    if (rc == kExitOk) ctx.out << "virtual keyboard unplugs after " << *n << " more transfers\n";
    return rc;
  }
  if (sub == "unplug" || sub == "plug" || sub == "reset") {
    if (!noArgs()) return kExitUsage;
    uint8_t type = sub == "unplug" ? vkbd::kUnplug : sub == "plug" ? vkbd::kPlug : vkbd::kReset;
    int rc = simple(ctx, type, {}, sub.c_str());
    if (rc == kExitOk) ctx.out << "virtual keyboard " << (sub == "reset" ? "reset" : sub + "ged") << "\n";
    return rc;
  }
  if (sub == "dump") {
    if (!noArgs()) return kExitUsage;
    platform::VkbdConnection c;
    if (!connectSim(ctx, c)) return kExitFailure;
    auto r = c.request(vkbd::kDump);
    if (!r || r->type != vkbd::kMemory) return fail(ctx, "the virtual keyboard did not send its memory");
    ctx.out << describeMemory(r->body);
    auto l = c.request(vkbd::kLighting);
    if (l && l->type == vkbd::kText && !l->body.empty())
      ctx.out << "lighting commands received:\n" << std::string(l->body.begin(), l->body.end());
    return kExitOk;
  }
  return fail(ctx, "unknown sim subcommand '" + sub + "'", kExitUsage);
}

}  // namespace

void addSimCommands(CommandTable& t) {
  t.push_back({"sim",
               "sim start [--state DIR]|stop|status|press KEYINDEX SUBTYPE|event WORD|unplug [--after-transfers N]|plug|reset|dump",
               "control the virtual keyboard (orlix-vkbd)", cmdSim});
}

}  // namespace orlix::cli
