#include "cli/config_session.h"

#include <cctype>
#include <cstdio>
#include <fstream>

#include "cli/language_select.h"
#include "core/device/message_target.h"
#include "core/localization/languages.h"
#include "core/localization/string_keys.h"
#include "core/keys/key_codes.h"
#include "core/keys/key_index.h"
#include "core/util/utf8_utf16.h"
#include "platform/iconv_converter.h"
#include "platform/paths.h"
#include "platform/single_instance.h"
#include "platform/vkbd_client.h"

namespace orlix::cli {

namespace fs = std::filesystem;

std::string narrow(std::u16string_view s) { return utf16ToUtf8(s); }
std::u16string widen(std::string_view s) { return utf8ToUtf16(s); }

std::string hex32(uint32_t v) {
  char b[16];
  std::snprintf(b, sizeof b, "0x%08x", v);
  return b;
}

NoticeResult TerminalNotices::showInfo(const std::u16string& text, bool) {
  err_ << utf16ToUtf8(text) << "\n";
  ++shown_;
  return NoticeResult::Ok;
}

NoticeResult TerminalNotices::messageBox(const std::u16string& text, const std::u16string& caption, bool) {
  err_ << utf16ToUtf8(caption) << ": " << utf16ToUtf8(text) << "\n";
  ++shown_;
  return NoticeResult::Ok;
}

void TerminalNotices::showTimedInfo(const std::u16string& text, int) {
  err_ << utf16ToUtf8(text) << "\n";
  ++shown_;
}

namespace {

// Texts of string keys that the command line shows when the language file has none.
std::u16string builtInText(std::string_view key) {
  if (key == "str_msg2") return u"The macro library %s was not found.";
  return {};
}

}  // namespace

Session::Session(Context& c) : ctx(c), notices(c.err) {}

Session::~Session() {
  // The window takes the lock for its take-up: it is given up first.
  lock.reset();
  if (files.writes() == 0) return;
  std::string name = ctx.options.instance.empty() ? std::string(platform::kInstanceName) : ctx.options.instance;
  // One try: with no window running there is nobody to wait for.
  platform::SingleInstance::signalFirst(platform::kReloadWord, name, 0);
}

bool Session::open(bool withMacros) {
  programFolder = platform::programFolder(ctx.options.root);
  dataFolder = platform::preparedDataFolder(programFolder);
  configFolder = platform::configFolder(ctx.options.config);
  // Profile/ comes with an installation; a program folder given by --root may
  // lack it, so it is made here as an installation would have made it.
  if (!platform::ensureFolder(dataFolder / "Profile")) {
    fail(ctx, "cannot create the folder " + (dataFolder / "Profile").string());
    return false;
  }
  std::string lockError;
  lock = platform::FolderLock::acquire(dataFolder, 30000, lockError);
  if (!lock) {
    fail(ctx, lockError);
    return false;
  }

  // The language: its file gives the string keys (a missing file leaves them
  // empty, as in the program), its id the language flag.
  namespace l10n = localization;
  int flag = l10n::startupLanguageFlag(programFolder);
  l10n::LanguageInfo language = l10n::startupLanguage(flag);
  if (!ctx.options.lang.empty()) {
    auto asked = parseLanguage(ctx.options.lang);
    if (!asked) {
      fail(ctx, "unknown language '" + ctx.options.lang + "' (see orlixctl lang list)", kExitUsage);
      return false;
    }
    language = *asked;
    flag = language.id == l10n::kLanguageChinese ? 1 : 0;
  }
  strings.setConverter(platform::systemConverter());
  strings.LoadLanguageFile(l10n::languageFilePath(programFolder, language));
  bool chinese = flag != 0;
  texts = TextSource{[this](std::string_view name) {
                       auto key = l10n::stringKeyFromName(name);
                       std::u16string t = key ? strings.text(*key) : std::u16string();
                       return t.empty() ? builtInText(name) : t;
                     },
                     [chinese] { return chinese; }};
  registry = std::make_unique<platform::FileRegistry>(configFolder);
  image = makeConfigImage();
  initialiseDefaults(*image);
  resetPerKeyLighting(*image);
  profiles = std::make_unique<Profiles>(*image, files, *registry, notices, dataFolder.string());
  profiles->loadProfileTableAtStartUp();
  macros = std::make_unique<macros::MacroLibrary>(*image, files, (dataFolder / macros::kMacroFileName).string(),
                                                  notices, texts, realPacer());
  // Macro.cfg, too, comes with an installation: an empty library is made where
  // there is none yet, so the first commands do not report it missing.
  if (!files.exists(macros->path())) files.write(macros->path(), std::vector<uint8_t>(macros::kMacroFileSize, 0));
  if (withMacros) macros->LoadMacroLibrary();
  return true;
}

bool Session::commit() {
  if (profiles->saveProfileTableAndProfile()) return true;
  fail(ctx, "cannot write the profile file " + profiles->path(profiles->current()));
  return false;
}

bool Session::saveMacros() {
  if (macros->SaveMacroLibrary(macros::MissingFileNotice::InfoDialog)) return true;
  fail(ctx, "cannot write the macro library " + macros->path());
  return false;
}

Keyboard::~Keyboard() {
  if (channel) channel->close();
  channel.reset();
}

std::unique_ptr<Keyboard> connectKeyboard(Context& ctx, MessageTarget* window,
                                          const std::function<void(DriverEndpoint&)>& prepare) {
  std::string error;
  auto k = std::make_unique<Keyboard>();
  k->endpoint = openDriverEndpoint(ctx, error);
  if (!k->endpoint) {
    fail(ctx, "cannot reach the keyboard: " + error);
    return nullptr;
  }
  if (prepare) prepare(*k->endpoint);
  k->channel = std::make_unique<DriverChannel>(*k->endpoint);
  k->channel->start(window);
  if (!k->channel->open()) {
    fail(ctx, "cannot reach the keyboard: the driver refused to open it (is it unplugged?)");
    return nullptr;
  }
  return k;
}

uint8_t usageOfKeyName(std::string_view name) {
  if (name.rfind("usage:", 0) == 0) {
    auto v = parseInteger(name.substr(6), 1, 255);
    return v ? uint8_t(*v) : 0;
  }
  auto k = keys::keyIndexFromToken(name);
  if (!k || keys::keyIndexInfo(*k).token.empty()) return 0;
  uint32_t code = defaultKeyTable()[size_t(*k)];
  uint8_t type = keys::typeOf(code);
  return type == keys::kTypePlainKey || type == keys::kTypePlainKey2 ? keys::param1(code) : 0;
}

std::string nameOfUsage(uint8_t usage) {
  auto table = defaultKeyTable();
  for (int k = 0; k < kKeyCount; ++k) {
    uint32_t code = table[size_t(k)];
    uint8_t type = keys::typeOf(code);
    if ((type == keys::kTypePlainKey || type == keys::kTypePlainKey2) && keys::param1(code) == usage &&
        !keys::keyIndexInfo(k).token.empty())
      return std::string(keys::keyIndexInfo(k).token);
  }
  char b[16];
  std::snprintf(b, sizeof b, "usage:0x%02x", usage);
  return b;
}

}  // namespace orlix::cli
