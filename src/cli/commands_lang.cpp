#include <fstream>
#include <ostream>

#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/language_select.h"
#include "core/localization/ini_file.h"
#include "core/localization/language_switch.h"
#include "core/util/bytes.h"
#include "platform/file_registry.h"
#include "platform/iconv_converter.h"
#include "platform/paths.h"

namespace orlix::cli {

using namespace orlix::localization;
namespace fs = std::filesystem;

namespace {

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto l = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    if (l(a[i]) != l(b[i])) return false;
  }
  return true;
}

int cmdLangList(Context& ctx) {
  const fs::path folder = programFolderOf(ctx);
  const int flag = startupLanguageFlag(folder);
  const LanguageInfo& start = startupLanguage(flag);
  platform::FileRegistry registry(platform::configFolder(ctx.options.config));
  std::optional<uint32_t> recorded;
  if (auto v = registry.read(kLanguageRegistryKey, kLanguageRegistryValue); v && v->size() == 4)
    recorded = getU32(*v, 0);
  for (const LanguageInfo& l : languages()) {
    std::error_code ec;
    bool present = fs::is_regular_file(languageFilePath(folder, l), ec);
    std::string name(l.menuText);
    std::string file(l.file);
    std::string line = (l.id < 10 ? " " : "") + std::to_string(l.id) + "  " + name +
                       std::string(14 - name.size(), ' ') + file + std::string(20 - file.size(), ' ') +
                       (present ? "" : "missing ") + (l.id == start.id ? "start-up " : "") +
                       (recorded && *recorded == uint32_t(l.id) ? "recorded" : "");
    while (!line.empty() && line.back() == ' ') line.pop_back();
    ctx.out << line << "\n";
  }
  ctx.out << "language flag (skins/languagetype.ini): " << flag << "\n";
  return kExitOk;
}

int cmdLangSet(Context& ctx, const std::string& arg) {
  auto lang = parseLanguage(arg);
  if (!lang) return fail(ctx, "unknown language '" + arg + "' (see orlixctl lang list)", kExitUsage);
  const fs::path folder = programFolderOf(ctx);
  platform::FileRegistry registry(platform::configFolder(ctx.options.config));
  if (!recordLanguageChoice(registry, uint32_t(lang->id)))
    return fail(ctx, "cannot record the language choice in " + platform::configFolder(ctx.options.config).string());

  // The start-up language follows the language flag: Chinese for language 1,
  // English for every other language, as after a switch in the program.
  const int flag = lang->id == kLanguageChinese ? 1 : 0;
  const fs::path ini = folder / fs::path(kLanguageTypeIni);
  std::string old;
  {
    std::error_code ec;
    if (fs::exists(ini, ec)) {
      std::ifstream in(ini, std::ios::binary);
      old.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
  }
  std::string text = iniSetValue(old, kLanguageTypeSection, kLanguageTypeKey, std::to_string(flag));
  if (!platform::ensureFolder(ini.parent_path()) ||
      !platform::writeFileAtomically(ini, text.data(), text.size()))
    return fail(ctx, "recorded language " + std::to_string(lang->id) + ", but cannot write " + ini.string());
  ctx.out << "language " << lang->id << " (" << lang->menuText << ") recorded; language flag " << flag
          << " written to " << ini.string() << "\n";
  return kExitOk;
}

int cmdLang(Context& ctx, std::span<const std::string> args) {
  if (args.size() == 1 && args[0] == "list") return cmdLangList(ctx);
  if (args.size() == 2 && args[0] == "set") return cmdLangSet(ctx, args[1]);
  return fail(ctx, "usage: orlixctl lang list | set ID", kExitUsage);
}

}  // namespace

std::optional<LanguageInfo> parseLanguage(std::string_view text) {
  if (auto id = parseInteger(text, 1, kLanguageCount)) return languageById(int(*id));
  for (const LanguageInfo& l : languages()) {
    std::string stem = fs::path(l.file).stem().string();
    std::string file = fs::path(l.file).filename().string();
    if (equalsIgnoreCase(text, stem) || equalsIgnoreCase(text, file) || equalsIgnoreCase(text, l.menuText)) return l;
  }
  return std::nullopt;
}

fs::path programFolderOf(const Context& ctx) { return platform::programFolder(ctx.options.root); }

bool loadCliLanguage(const Context& ctx, const std::string& asked, LanguageStrings& strings, LanguageInfo& chosen,
                     std::string& error) {
  const fs::path folder = programFolderOf(ctx);
  if (asked.empty()) {
    chosen = startupLanguage(startupLanguageFlag(folder));
  } else if (auto l = parseLanguage(asked)) {
    chosen = *l;
  } else {
    error = "unknown language '" + asked + "' (see orlixctl lang list)";
    return false;
  }
  strings.setConverter(platform::systemConverter());
  fs::path file = languageFilePath(folder, chosen);
  if (!strings.LoadLanguageFile(file)) {
    error = "cannot read " + file.string() + ": " + strings.document().resultText();
    return false;
  }
  return true;
}

void addLangCommands(CommandTable& t) {
  t.push_back({"lang", "lang list | set ID",
               "list the interface languages, or record the choice of one (id, file name or name)", cmdLang});
}

}  // namespace orlix::cli
