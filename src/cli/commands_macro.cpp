#include <algorithm>
#include <cctype>
#include <ostream>
#include <sstream>

#include "cli/commands.h"
#include "cli/config_session.h"
#include "cli/json_output.h"
#include "core/keys/usage_map.h"
#include "core/macros/game_categories.h"
#include "core/macros/macro_editing.h"
#include "core/macros/macro_page_model.h"
#include "core/macros/macro_record.h"

namespace orlix::cli {

namespace {

// Sets the reason a parse failed; always false.
bool refuse(std::string& error, std::string why) {
  error = std::move(why);
  return false;
}

using namespace orlix::macros;

constexpr std::pair<const char*, uint8_t> kMouseButtons[] = {{"lbutton", 1}, {"rbutton", 2}, {"mbutton", 4}};

std::string trim(std::string s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.pop_back();
  size_t b = 0;
  while (b < s.size() && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  return s.substr(b);
}

std::string lower(std::string s) {
  for (auto& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Virtual-key code of a key name, a mouse button or vk:N; 0 when unknown.
uint8_t vkOfName(const std::string& name) {
  for (auto [n, vk] : kMouseButtons)
    if (name == n) return vk;
  if (name.rfind("vk:", 0) == 0) {
    auto v = parseInteger(name.substr(3), 1, 255);
    return v ? uint8_t(*v) : 0;
  }
  uint8_t usage = usageOfKeyName(name);
  return usage ? keys::usageToVk(usage) : 0;
}

std::string nameOfVk(uint32_t vk) {
  for (auto [n, code] : kMouseButtons)
    if (vk == code) return n;
  uint8_t usage = vk < 256 ? keys::vkToUsage(uint8_t(vk)) : 0;
  std::string name = usage ? nameOfUsage(usage) : std::string();
  if (!name.empty() && name.rfind("usage:", 0) != 0) return name;
  char b[16];
  std::snprintf(b, sizeof b, "vk:0x%02x", vk);
  return b;
}

// "A down, 50ms, A up": key events and delays, comma-separated.
bool parseEvents(const std::string& text, EventList& list, std::string& error) {
  std::stringstream in(text);
  std::string item;
  while (std::getline(in, item, ',')) {
    std::string t = lower(trim(item));
    if (t.empty()) continue;
    if (t.size() > 2 && t.compare(t.size() - 2, 2, "ms") == 0) {
      auto ms = parseInteger(trim(t.substr(0, t.size() - 2)), 0, 0xFFFFFF);
      if (!ms) return refuse(error, "a delay is 0..16777215 ms: '" + trim(item) + "'");
      list.push_back({kItemDelay, uint32_t(*ms)});
      continue;
    }
    size_t space = t.rfind(' ');
    std::string what = space == std::string::npos ? "" : trim(t.substr(space + 1));
    std::string key = space == std::string::npos ? t : trim(t.substr(0, space));
    if (what != "down" && what != "up") return refuse(error, "an event is 'KEY down', 'KEY up' or 'Nms': '" + trim(item) + "'");
    uint8_t vk = vkOfName(key);
    if (!vk) return refuse(error, "unknown key '" + key + "' in '" + trim(item) + "'");
    list.push_back({what == "down" ? kItemPress : kItemRelease, vk});
  }
  if (list.empty()) return refuse(error, "the macro needs at least one event");
  return true;
}

std::string describeEvents(const std::vector<uint32_t>& words) {
  std::string s;
  for (uint32_t w : words) {
    if (!s.empty()) s += ", ";
    uint8_t kind = eventKind(w);
    if (kind == kEventDelay) s += std::to_string(eventValue(w)) + "ms";
    else if (kind == kEventPress) s += nameOfVk(eventValue(w)) + " down";
    else if (kind == kEventRelease) s += nameOfVk(eventValue(w)) + " up";
    else s += "event " + hex32(w);
  }
  return s;
}

std::string loopText(uint32_t loop) {
  if (loop == kLoopSecondOption) return "loop option 2";
  if (loop == kLoopThirdOption) return "loop option 3";
  return "played " + std::to_string(loop) + (loop == 1 ? " time" : " times");
}

std::optional<uint32_t> parseId(const std::string& text) {
  auto v = parseInteger(text, 1, 0xFFFFFFFFL);
  if (!v) return std::nullopt;
  return uint32_t(*v);
}

int macroList(Context& ctx, std::optional<long> category) {
  Session s(ctx);
  if (!s.open(true)) return kExitFailure;
  if (ctx.options.json) return printMacroListJson(ctx, s, category);
  bool chinese = s.texts.isChinese();
  int shown = 0;
  for (int c = 1; c <= kCategoryCount; ++c) {
    if (category && c != *category) continue;
    for (const auto& item : s.macros->ListMacros(c)) {
      const auto& r = s.image->macroLibrary[size_t(item.record)];
      ctx.out << hex32(item.id) << "  " << narrow(gameCategoryName(c, chinese)) << "  " << narrow(item.name) << "  ("
              << eventCount(r) << " events, " << loopText(recordLoop(r)) << ")\n";
      ++shown;
    }
  }
  if (shown == 0) ctx.out << "no macros\n";
  return kExitOk;
}

int macroShow(Context& ctx, const std::string& idText) {
  auto id = parseId(idText);
  if (!id) return fail(ctx, "a macro identifier is a number such as 0x15001234: " + idText, kExitUsage);
  Session s(ctx);
  if (!s.open(true)) return kExitFailure;
  if (ctx.options.json) return printMacroShowJson(ctx, s, *id, nameOfVk);
  auto r = s.macros->FindMacroRecord(*id);
  if (!r) return fail(ctx, "no macro " + hex32(*id) + " in the macro library");
  const auto& rec = s.image->macroLibrary[size_t(*r)];
  ctx.out << "macro " << hex32(*id) << "  " << narrow(recordName(rec)) << "\n"
          << "  game: " << narrow(gameCategoryName(categoryOf(*id), s.texts.isChinese())) << "\n"
          << "  loop: " << loopText(recordLoop(rec)) << "\n"
          << "  events: " << describeEvents(events(rec)) << "\n";
  std::string keysUsing;
  for (int k = 0; k < kKeyCount; ++k)
    if (s.image->macroId(k) == *id) keysUsing += (keysUsing.empty() ? "" : ", ") + std::to_string(k);
  ctx.out << "  bound to keys: " << (keysUsing.empty() ? "none" : keysUsing) << "\n";
  return kExitOk;
}

int macroNew(Context& ctx, std::span<const std::string> args) {
  std::optional<long> category, loop, loopOption;
  std::optional<std::string> name, eventsText;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (i + 1 >= args.size()) return fail(ctx, a + " needs a value", kExitUsage);
    const std::string& v = args[++i];
    if (a == "--category") {
      if (!(category = parseInteger(v, 1, kCategoryCount))) return fail(ctx, "--category takes 1..21", kExitUsage);
    } else if (a == "--name") {
      name = v;
    } else if (a == "--loop") {
      if (!(loop = parseInteger(v, 1, 9999))) return fail(ctx, "--loop takes 1..9999", kExitUsage);
    } else if (a == "--loop-option") {
      if (!(loopOption = parseInteger(v, 2, 3))) return fail(ctx, "--loop-option takes 2 or 3", kExitUsage);
    } else if (a == "--events") {
      eventsText = v;
    } else {
      return fail(ctx, "unknown option " + a, kExitUsage);
    }
  }
  if (!category || !name || !eventsText)
    return fail(ctx, "usage: orlixctl macro new --category C --name NAME [--loop N|--loop-option 2|3] --events \"A down, 50ms, A up\"",
                kExitUsage);
  if (loop && loopOption) return fail(ctx, "give either --loop or --loop-option", kExitUsage);
  std::u16string wideName = widen(*name);
  if (wideName.empty() || wideName.size() > kMaxNameChars) return fail(ctx, "a macro name has 1..20 characters", kExitUsage);
  EventList list;
  std::string error;
  if (!parseEvents(*eventsText, list, error)) return fail(ctx, error, kExitUsage);

  Session s(ctx);
  if (!s.open(true)) return kExitFailure;
  uint32_t id = newMacroId(int(*category), realPacer().tickCount(),
                           [&](uint32_t candidate) { return s.macros->FindMacroRecord(candidate).has_value(); });
  LoopOption option = loopOption ? LoopOption(*loopOption) : LoopOption::PlayCount;
  std::u16string countText = widen(std::to_string(loop.value_or(1)));
  if (!storeEventList(*s.macros, list, option, countText, id, wideName))
    return fail(ctx, "the macro library is full (500 macros)");
  ctx.out << "stored macro " << hex32(id) << " (" << *name << ")\n";
  return kExitOk;
}

int macroDelete(Context& ctx, const std::string& idText) {
  auto id = parseId(idText);
  if (!id) return fail(ctx, "a macro identifier is a number such as 0x15001234: " + idText, kExitUsage);
  Session s(ctx);
  if (!s.open(true)) return kExitFailure;
  if (!s.macros->FindMacroRecord(*id)) return fail(ctx, "no macro " + hex32(*id) + " in the macro library");
  if (!deleteMacroUnlessInUse(*s.macros, *id, s.notices, s.texts)) return kExitFailure;
  ctx.out << "deleted macro " << hex32(*id) << "\n";
  return kExitOk;
}

int macroRename(Context& ctx, const std::string& idText, const std::string& name) {
  auto id = parseId(idText);
  if (!id) return fail(ctx, "a macro identifier is a number such as 0x15001234: " + idText, kExitUsage);
  std::u16string wideName = widen(name);
  if (wideName.empty() || wideName.size() > kMaxNameChars) return fail(ctx, "a macro name has 1..20 characters", kExitUsage);
  Session s(ctx);
  if (!s.open(true)) return kExitFailure;
  if (!s.macros->FindMacroRecord(*id)) return fail(ctx, "no macro " + hex32(*id) + " in the macro library");
  s.macros->RenameMacro(*id, wideName);
  ctx.out << "renamed macro " << hex32(*id) << " to " << name << "\n";
  return kExitOk;
}

int cmdMacro(Context& ctx, std::span<const std::string> args) {
  const char* usage =
      "usage: orlixctl macro list [--category C] | show ID | new --category C --name NAME [--loop N|--loop-option 2|3] "
      "--events \"A down, 50ms, A up\" | delete ID | rename ID NAME";
  if (args.empty()) return fail(ctx, usage, kExitUsage);
  const std::string& sub = args[0];
  if (sub == "list") {
    if (args.size() == 1) return macroList(ctx, std::nullopt);
    if (args.size() == 3 && args[1] == "--category") {
      auto c = parseInteger(args[2], 1, kCategoryCount);
      if (!c) return fail(ctx, "--category takes 1..21", kExitUsage);
      return macroList(ctx, c);
    }
  }
  if (sub == "show" && args.size() == 2) return macroShow(ctx, args[1]);
  if (sub == "new") return macroNew(ctx, args.subspan(1));
  if (sub == "delete" && args.size() == 2) return macroDelete(ctx, args[1]);
  if (sub == "rename" && args.size() == 3) return macroRename(ctx, args[1], args[2]);
  return fail(ctx, usage, kExitUsage);
}

}  // namespace

void addMacroCommands(CommandTable& t) {
  t.push_back({"macro",
               "macro list [--category C] | show ID | new --category C --name NAME [--loop N|--loop-option 2|3] "
               "--events \"A down, 50ms, A up\" | delete ID | rename ID NAME",
               "list, show, record, delete and rename macros of the macro library", cmdMacro});
}

}  // namespace orlix::cli
