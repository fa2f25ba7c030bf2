#pragma once
// The --json forms of orlixctl's listing commands: each prints one JSON object
// on the context's output, with the field names orlixctl(1) documents, and
// returns kExitOk. Errors stay with the commands (one line on the error stream).

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/cli.h"
#include "core/config/config_image.h"
#include "core/keys/keyboard_layout.h"
#include "core/localization/language_strings.h"
#include "core/localization/languages.h"
#include "platform/hidraw_discovery.h"

namespace orlix::cli {

class Session;

// Whether "orlixctl --json COMMAND ARGS" has a JSON form.
bool jsonSupported(std::string_view command, std::span<const std::string> args);

int printVersionJson(Context& ctx, int major, int minor);
// paths: name and folder, in order.
int printPathsJson(Context& ctx, std::span<const std::pair<const char*, std::filesystem::path>> paths);
// virtualPlugged: nothing when no virtual keyboard answers.
int printDevicesJson(Context& ctx, bool present, const std::vector<platform::HidrawNode>& nodes,
                     const std::optional<platform::HidrawNode>& used, std::optional<bool> virtualPlugged,
                     const std::filesystem::path& socket);
// status: the virtual keyboard's "name value" lines.
int printSimStatusJson(Context& ctx, std::string_view status);
int printKeysJson(Context& ctx, const ConfigImage& image, keys::KeyboardLayout& layout,
                  const localization::LanguageStrings& strings, const localization::LanguageInfo& language);
// function: the key's function in the form "key set" takes.
int printKeyShowJson(Context& ctx, Session& s, int key, const std::string& function);
int printProfileListJson(Context& ctx, Session& s);
int printMacroListJson(Context& ctx, Session& s, std::optional<long> category);
// keyName: the command-line name of a virtual-key code in an event.
int printMacroShowJson(Context& ctx, Session& s, uint32_t id, const std::function<std::string(uint32_t)>& keyName);

}  // namespace orlix::cli
