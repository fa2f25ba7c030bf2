#include <iomanip>
#include <ostream>
#include <sstream>

#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/config_session.h"
#include "cli/json_output.h"
#include "cli/key_listing.h"
#include "cli/language_select.h"
#include "core/config/config_image.h"
#include "core/keys/key_index.h"
#include "core/keys/key_names.h"
#include "platform/xkb_keyboard_layout.h"

namespace orlix::cli {

using namespace orlix::localization;

void printKeyTable(std::ostream& out, const ConfigImage& image, keys::KeyboardLayout& layout,
                   const LanguageStrings& strings) {
  for (int k = 0; k < kKeyCount; ++k) {
    const keys::KeyIndexInfo& info = keys::keyIndexInfo(k);
    if (info.name.empty()) continue;
    std::ostringstream code;
    code << "0x" << std::hex << std::uppercase << std::setw(8) << std::setfill('0') << image.keyTable[size_t(k)];
    std::string name(info.name);
    std::ostringstream line;
    line << std::setw(3) << k << "  " << name << std::string(name.size() < 24 ? 24 - name.size() : 1, ' ')
         << code.str() << "  " << (isModified(image, k) ? "modified" : "default ") << "  "
         << utf16ToUtf8(keys::functionDescription(image, k, layout, strings));
    std::string s = line.str();
    while (!s.empty() && s.back() == ' ') s.pop_back();
    out << s << "\n";
  }
}

namespace {

int cmdKeys(Context& ctx, std::span<const std::string> args) {
  std::string lang = ctx.options.lang;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--lang" && i + 1 < args.size())
      lang = args[++i];
    else if (args[i].rfind("--lang=", 0) == 0)
      lang = args[i].substr(7);
    else
      return fail(ctx, "usage: orlixctl keys [--lang ID]", kExitUsage);
  }
  LanguageStrings strings;
  LanguageInfo chosen{};
  std::string error;
  if (!loadCliLanguage(ctx, lang, strings, chosen, error)) return fail(ctx, error);

  // The keys of the current profile, loaded as the program loads it at start.
  ctx.options.lang = lang;
  Session session(ctx);
  if (!session.open(false)) return kExitFailure;

  auto layout = platform::XkbKeyboardLayout::fromSession();
  if (ctx.options.json) return printKeysJson(ctx, *session.image, *layout, strings, chosen);
  ctx.out << "language: " << chosen.menuText << "\n";
  printKeyTable(ctx.out, *session.image, *layout, strings);
  return kExitOk;
}

}  // namespace

void addKeysCommands(CommandTable& t) {
  t.push_back({"keys", "keys [--lang ID]",
               "list every key: index, name, code, default or modified, and its function in the language", cmdKeys});
}

}  // namespace orlix::cli
