#include <algorithm>
#include <cctype>
#include <ostream>

#include "cli/commands.h"
#include "cli/config_session.h"
#include "cli/json_output.h"
#include "core/keys/key_assignment.h"
#include "core/keys/key_codes.h"
#include "core/keys/key_index.h"
#include "core/keys/key_names.h"
#include "core/keys/key_setting_model.h"
#include "core/macros/macro_record.h"
#include "platform/xkb_keyboard_layout.h"

namespace orlix::cli {

namespace {

using namespace orlix::keys;

std::string lower(std::string s) {
  for (auto& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

struct Named {
  const char* name;
  uint32_t value;
};

constexpr Named kMouse[] = {{"left", plainKey(kMouseLeft)},     {"dblclick", mouseDoubleClick()},
                            {"right", plainKey(kMouseRight)},   {"middle", plainKey(kMouseMiddle)},
                            {"forward", plainKey(kMouseForward)}, {"back", plainKey(kMouseBack)}};
// HID consumer-page usages of the media functions.
constexpr Named kMedia[] = {{"play", 0x00CD},    {"stop", 0x00B7},    {"prev", 0x00B6},    {"next", 0x00B5},
                            {"volup", 0x00E9},   {"voldown", 0x00EA}, {"mute", 0x00E2},    {"player", 0x0183},
                            {"mail", 0x018A},    {"browser", 0x0194}, {"search", 0x0221},  {"home", 0x0223},
                            {"back", 0x0224},    {"forward", 0x0225}, {"refresh", 0x0227}};
constexpr Named kHost[] = {{"open", 2},  {"sound", 3},         {"file", 4},         {"folder", 5},
                           {"web", 8},   {"shot-desktop", 9},  {"shot-window", 10}, {"shot-region", 11}};
constexpr Named kMods[] = {{"ctrl", kModCtrl}, {"shift", kModShift}, {"alt", kModAlt}, {"win", kModWin}};

template <size_t N>
std::optional<uint32_t> lookup(const Named (&table)[N], const std::string& name) {
  for (const auto& n : table)
    if (name == n.name) return n.value;
  return std::nullopt;
}
template <size_t N>
const char* nameOf(const Named (&table)[N], uint32_t value) {
  for (const auto& n : table)
    if (value == n.value) return n.name;
  return nullptr;
}

// The key index of KEY (an index or a key name).
std::optional<int> keyOf(const std::string& token) {
  auto k = keyIndexFromToken(token);
  if (!k || *k < 0 || *k >= orlix::kKeyCount) return std::nullopt;
  return k;
}

// Parses FUNCTION into a setting result as the key setting panel would return it.
std::optional<SettingResult> parseFunction(Session& s, int key, const std::string& text, std::string& error) {
  auto refuse = [&](std::string why) {
    error = std::move(why);
    return std::nullopt;
  };
  std::string f = text;
  size_t colon = f.find(':');
  std::string kind = lower(f.substr(0, colon));
  std::string arg = colon == std::string::npos ? std::string() : f.substr(colon + 1);
  // Restore and Disable give what the key setting panel's buttons give.
  if (kind == "default" && colon == std::string::npos) return restoreResult(*s.image, key);
  if (kind == "disable" && colon == std::string::npos) return disableResult();
  if (kind == "key") {
    uint8_t usage = usageOfKeyName(lower(arg));
    if (!usage) return refuse("unknown key name '" + arg + "'");
    return SettingResult{plainKey(usage), kCategoryCombination, u""};
  }
  if (kind == "combo") {
    std::string a = lower(arg);
    uint8_t mask = 0;
    size_t plus;
    while ((plus = a.find('+')) != std::string::npos) {
      auto m = lookup(kMods, a.substr(0, plus));
      if (!m) return refuse("unknown modifier '" + a.substr(0, plus) + "' (ctrl, shift, alt, win)");
      mask |= uint8_t(*m);
      a = a.substr(plus + 1);
    }
    uint8_t usage = usageOfKeyName(a);
    if (!mask) return refuse("a combination needs a modifier, e.g. combo:ctrl+shift+a");
    if (!usage) return refuse("unknown key name '" + a + "'");
    return SettingResult{combination(mask, usage), kCategoryCombination, u""};
  }
  if (kind == "mouse") {
    auto v = lookup(kMouse, lower(arg));
    if (!v) return refuse("mouse function must be left, dblclick, right, middle, forward or back");
    return SettingResult{*v, kCategoryBase, u""};
  }
  if (kind == "media") {
    auto v = lookup(kMedia, lower(arg));
    if (!v) return refuse("unknown media function '" + arg + "'");
    return SettingResult{consumer(uint16_t(*v)), kCategoryBase, u""};
  }
  if (kind == "macro") {
    auto id = parseInteger(arg, 1, 0xFFFFFFFFL);
    if (!id) return refuse("macro needs its identifier, e.g. macro:0x15001234");
    std::u16string name;
    if (auto r = s.macros->FindMacroRecord(uint32_t(*id)))
      name = macros::recordName(s.image->macroLibrary[size_t(*r)]);
    return SettingResult{uint32_t(*id), kCategoryMacro, name};
  }
  if (kind == "host") {
    size_t c2 = arg.find(':');
    std::string sub = lower(arg.substr(0, c2));
    std::string actionText = c2 == std::string::npos ? std::string() : arg.substr(c2 + 1);
    auto subtype = lookup(kHost, sub);
    if (!subtype) subtype = parseInteger(sub, 0, 15);
    if (!subtype) return refuse("unknown host function '" + sub + "'");
    return SettingResult{hostFunction(uint8_t(*subtype)), kCategoryBase, widen(actionText)};
  }
  return refuse("unknown function '" + text + "' (default, disable, key:, combo:, mouse:, media:, macro:, host:)");
}

// The command-line form of a key function code.
std::string describe(Session& s, int k) {
  uint32_t code = s.image->keyTable[size_t(k)];
  uint8_t b2 = param1(code), b3 = param2(code);
  switch (typeOf(code)) {
    case kTypePlainKey2:
    case kTypePlainKey:
      if (code == 0) return "none";
      if (b2 >= 0xF0) {
        if (auto n = nameOf(kMouse, code)) return std::string("mouse:") + n;
        return "mouse code " + hex32(b2);
      }
      return "key:" + nameOfUsage(b2);
    case kTypeCombination: {
      std::string t = "combo:";
      for (const auto& m : kMods)
        if (b2 & m.value) t += std::string(m.name) + "+";
      return t + nameOfUsage(b3);
    }
    case kTypeHostFunction: {
      const char* n = nameOf(kHost, b3 & 0xF);
      std::string t = "host:" + (n ? std::string(n) : std::to_string(b3 & 0xF));
      std::string text = narrow(s.image->actionText(k));
      return text.empty() ? t : t + ":" + text;
    }
    case kTypeConsumer: {
      const char* n = nameOf(kMedia, consumerUsage(code));
      return n ? std::string("media:") + n : "consumer " + hex32(code);
    }
    case kTypeMacro: {
      uint32_t id = s.image->macroId(k);
      std::string t = "macro:" + hex32(id);
      if (auto r = s.macros->FindMacroRecord(id)) t += " (" + narrow(macros::recordName(s.image->macroLibrary[size_t(*r)])) + ")";
      else t += " (not in the macro library)";
      if (b2) t += ", in macro slot " + std::to_string(b2 - 1);
      return t;
    }
    case kTypeDisabled: return "disable";
    case kTypeLighting: return b2 == 1 ? "lighting effect key" : b2 == 2 ? "lighting level key" : "lighting key";
    default: return "code " + hex32(code);
  }
}

int keyShow(Context& ctx, const std::string& token) {
  auto k = keyOf(token);
  if (!k) return fail(ctx, "unknown key '" + token + "' (a key index 0..180 or a key name)", kExitUsage);
  Session s(ctx);
  if (!s.open(true)) return kExitFailure;
  if (ctx.options.json) return printKeyShowJson(ctx, s, *k, describe(s, *k));
  const auto& info = keyIndexInfo(*k);
  ctx.out << "key " << *k << " (" << (info.name.empty() ? "no key" : std::string(info.name)) << ")\n"
          << "  function: " << describe(s, *k) << "\n"
          << "  description: " << narrow(functionDescription(*s.image, *k, *platform::XkbKeyboardLayout::fromSession(), s.strings))
          << "\n"
          << "  code: " << hex32(s.image->keyTable[size_t(*k)]) << (isModified(*s.image, *k) ? " (modified" : " (default")
          << ", default " << hex32(s.image->defaultKeyTable[size_t(*k)]) << ")\n";
  return kExitOk;
}

int keySet(Context& ctx, std::span<const std::string> args) {
  bool apply = false;
  std::vector<std::string> rest;
  for (const auto& a : args) {
    if (a == "--apply") apply = true;
    else rest.push_back(a);
  }
  if (rest.size() != 2) return fail(ctx, "usage: orlixctl key set KEY FUNCTION [--apply]", kExitUsage);
  auto k = keyOf(rest[0]);
  if (!k) return fail(ctx, "unknown key '" + rest[0] + "' (a key index 0..180 or a key name)", kExitUsage);
  Session s(ctx);
  if (!s.open(true)) return kExitFailure;
  std::string error;
  auto r = parseFunction(s, *k, rest[1], error);
  if (!r) return fail(ctx, error, kExitUsage);

  std::unique_ptr<Keyboard> keyboard;
  if (apply && !(keyboard = connectKeyboard(ctx))) return kExitFailure;
  bool macrosChanged = false;
  auto outcome = storeSettingResult(*s.image, *k, *r, s.notices, {[&] { macrosChanged = true; }, {}});
  if (macrosChanged && !s.saveMacros()) return kExitFailure;
  if (outcome == StoreOutcome::MacroNotStored)
    return fail(ctx, "no macro " + hex32(r->code) + " in the macro library (see orlixctl macro list)");
  if (outcome == StoreOutcome::MacroLimit) return kExitFailure;  // the limit message was shown
  if (!s.commit()) return kExitFailure;
  ctx.out << "key " << *k << ": " << describe(s, *k) << "\n";
  return apply ? runApply(s, *keyboard) : kExitOk;
}

int cmdKey(Context& ctx, std::span<const std::string> args) {
  if (args.size() == 2 && args[0] == "show") return keyShow(ctx, args[1]);
  if (!args.empty() && args[0] == "set") return keySet(ctx, args.subspan(1));
  return fail(ctx, "usage: orlixctl key show KEY | key set KEY FUNCTION [--apply]", kExitUsage);
}

}  // namespace

void addKeyCommands(CommandTable& t) {
  t.push_back({"key", "key show KEY | key set KEY FUNCTION [--apply]",
               "show or set a key's function; FUNCTION is default, disable, key:NAME, combo:MODS+NAME, "
               "mouse:BUTTON, media:NAME, macro:ID or host:SUBTYPE[:TEXT]",
               cmdKey});
}

}  // namespace orlix::cli
