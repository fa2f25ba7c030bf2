#include "cli/json_output.h"

#include <nlohmann/json.hpp>

#include <limits>
#include <ostream>
#include <sstream>

#include "cli/config_session.h"
#include "core/config/profiles.h"
#include "core/keys/key_index.h"
#include "core/keys/key_names.h"
#include "core/macros/game_categories.h"
#include "core/macros/macro_record.h"
#include "platform/xkb_keyboard_layout.h"

namespace orlix::cli {

// Fields in the order the manual page lists them.
using json = nlohmann::ordered_json;

namespace {

int print(Context& ctx, const json& doc) {
  // Texts from files (names, descriptions) may hold bytes that are not UTF-8;
  // they are replaced rather than ending the command with an exception.
  ctx.out << doc.dump(2, ' ', false, json::error_handler_t::replace) << "\n";
  return kExitOk;
}

// The play count and loop option of a macro record, as both listings give them.
void putLoop(json& j, uint32_t loop) {
  bool option = loop == macros::kLoopSecondOption || loop == macros::kLoopThirdOption;
  j["play_count"] = option ? json(nullptr) : json(loop);
  j["loop_option"] = !option ? json(nullptr) : json(loop == macros::kLoopSecondOption ? 2 : 3);
}

}  // namespace

bool jsonSupported(std::string_view command, std::span<const std::string> args) {
  auto first = [&](std::string_view word) { return !args.empty() && args[0] == word; };
  if (command == "version" || command == "paths" || command == "devices" || command == "keys") return true;
  if (command == "sim") return first("status");
  if (command == "key") return first("show");
  if (command == "profile") return first("list");
  if (command == "macro") return first("list") || first("show");
  return false;
}

int printVersionJson(Context& ctx, int major, int minor) { return print(ctx, {{"major", major}, {"minor", minor}}); }

int printPathsJson(Context& ctx, std::span<const std::pair<const char*, std::filesystem::path>> paths) {
  json doc = json::object();
  for (const auto& [name, path] : paths) doc[name] = path.string();
  return print(ctx, doc);
}

int printDevicesJson(Context& ctx, bool present, const std::vector<platform::HidrawNode>& nodes,
                     const std::optional<platform::HidrawNode>& used, std::optional<bool> virtualPlugged,
                     const std::filesystem::path& socket) {
  json list = json::array();
  for (const auto& n : nodes) {
    const char* collection = !n.declaresWantedUsage ? "unreadable" : *n.declaresWantedUsage ? "vendor" : "other";
    list.push_back({{"devnode", n.devnode.string()},
                    {"interface", n.interfaceNumber < 0 ? json(nullptr) : json(n.interfaceNumber)},
                    {"collection", collection},
                    {"used", used && used->name == n.name}});
  }
  const char* state = !virtualPlugged ? "not running" : *virtualPlugged ? "plugged" : "unplugged";
  return print(ctx, {{"keyboard_present", present},
                     {"nodes", list},
                     {"virtual_keyboard", {{"state", state}, {"socket", socket.string()}}}});
}

int printSimStatusJson(Context& ctx, std::string_view status) {
  json doc = json::object();
  std::istringstream in{std::string(status)};
  for (std::string line; std::getline(in, line);) {
    size_t space = line.find(' ');
    if (space == std::string::npos || space == 0) continue;
    std::string name = line.substr(0, space), value = line.substr(space + 1);
    for (auto& c : name)
      if (c == '-') c = '_';
    if (name == "plugged") {
      doc[name] = value == "yes";
    } else if (auto n = parseInteger(value, 0, std::numeric_limits<long>::max())) {
      doc[name] = *n;
    } else {
      doc[name] = value;
    }
  }
  return print(ctx, doc);
}

int printKeysJson(Context& ctx, const ConfigImage& image, keys::KeyboardLayout& layout,
                  const localization::LanguageStrings& strings, const localization::LanguageInfo& language) {
  json list = json::array();
  for (int k = 0; k < kKeyCount; ++k) {
    const keys::KeyIndexInfo& info = keys::keyIndexInfo(k);
    if (info.name.empty()) continue;
    list.push_back({{"index", k},
                    {"name", std::string(info.name)},
                    {"token", std::string(info.token)},
                    {"code", image.keyTable[size_t(k)]},
                    {"modified", isModified(image, k)},
                    {"description", narrow(keys::functionDescription(image, k, layout, strings))}});
  }
  return print(ctx, {{"language", {{"id", language.id}, {"name", std::string(language.menuText)}}}, {"keys", list}});
}

int printKeyShowJson(Context& ctx, Session& s, int key, const std::string& function) {
  auto layout = platform::XkbKeyboardLayout::fromSession();
  return print(ctx, {{"index", key},
                     {"name", std::string(keys::keyIndexInfo(key).name)},
                     {"token", std::string(keys::keyIndexInfo(key).token)},
                     {"function", function},
                     {"description", narrow(keys::functionDescription(*s.image, key, *layout, s.strings))},
                     {"code", s.image->keyTable[size_t(key)]},
                     {"default_code", s.image->defaultKeyTable[size_t(key)]},
                     {"modified", isModified(*s.image, key)}});
}

int printProfileListJson(Context& ctx, Session& s) {
  json list = json::array();
  for (int k = 0; k < kProfileCount; ++k) {
    std::string path = s.profiles->path(k);
    list.push_back({{"number", k + 1},
                    {"name", narrow(profile::recordName(s.image->profiles.records[size_t(k)]))},
                    {"path", path},
                    {"file_exists", s.files.exists(path)},
                    {"current", k == s.profiles->current()}});
  }
  return print(ctx, {{"current", s.profiles->current() + 1}, {"profiles", list}});
}

int printMacroListJson(Context& ctx, Session& s, std::optional<long> category) {
  bool chinese = s.texts.isChinese();
  json list = json::array();
  for (int c = 1; c <= macros::kCategoryCount; ++c) {
    if (category && c != *category) continue;
    for (const auto& item : s.macros->ListMacros(c)) {
      const auto& r = s.image->macroLibrary[size_t(item.record)];
      json m = {{"id", item.id},
                {"category", c},
                {"game", narrow(macros::gameCategoryName(c, chinese))},
                {"name", narrow(item.name)},
                {"event_count", macros::eventCount(r)}};
      putLoop(m, macros::recordLoop(r));
      list.push_back(std::move(m));
    }
  }
  return print(ctx, {{"macros", list}});
}

int printMacroShowJson(Context& ctx, Session& s, uint32_t id, const std::function<std::string(uint32_t)>& keyName) {
  auto r = s.macros->FindMacroRecord(id);
  if (!r) return fail(ctx, "no macro " + hex32(id) + " in the macro library");
  const auto& rec = s.image->macroLibrary[size_t(*r)];
  json events = json::array();
  for (uint32_t w : macros::events(rec)) {
    uint8_t kind = macros::eventKind(w);
    if (kind == macros::kEventDelay)
      events.push_back({{"kind", "delay"}, {"ms", macros::eventValue(w)}});
    else if (kind == macros::kEventPress || kind == macros::kEventRelease)
      events.push_back({{"kind", kind == macros::kEventPress ? "down" : "up"}, {"key", keyName(macros::eventValue(w))}});
    else
      events.push_back({{"kind", "other"}, {"word", w}});
  }
  json bound = json::array();
  for (int k = 0; k < kKeyCount; ++k)
    if (s.image->macroId(k) == id) bound.push_back(k);
  int category = macros::categoryOf(id);
  json doc = {{"id", id},
              {"name", narrow(macros::recordName(rec))},
              {"category", category},
              {"game", narrow(macros::gameCategoryName(category, s.texts.isChinese()))}};
  putLoop(doc, macros::recordLoop(rec));
  doc["events"] = events;
  doc["bound_keys"] = bound;
  return print(ctx, doc);
}

}  // namespace orlix::cli
