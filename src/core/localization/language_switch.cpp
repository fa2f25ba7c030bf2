#include "core/localization/language_switch.h"

#include <vector>

#include "core/app/user_notices.h"
#include "core/config/registry.h"

namespace orlix::localization {

const LanguageInfo& applyStartupLanguage(const std::filesystem::path& programFolder, LanguageStrings& strings) {
  setLanguageFlag(startupLanguageFlag(programFolder));
  const LanguageInfo& lang = startupLanguage(languageFlag());
  strings.LoadLanguageFile(languageFilePath(programFolder, lang));
  return lang;
}

bool recordLanguageChoice(Registry& registry, uint32_t id) {
  std::vector<uint8_t> bytes = {uint8_t(id), uint8_t(id >> 8), uint8_t(id >> 16), uint8_t(id >> 24)};
  return registry.write(kLanguageRegistryKey, kLanguageRegistryValue, bytes);
}

bool onLanguageMessage(uint32_t lParam, bool languageMenuOpen, const std::filesystem::path& programFolder,
                       LanguageStrings& strings, Registry& registry, UserNotices& notices,
                       const LanguageSwitchHooks& hooks) {
  if (!languageMenuOpen) return false;
  if (auto lang = languageById(int(lParam))) {
    setLanguageFlag(0);
    strings.LoadLanguageFile(languageFilePath(programFolder, *lang));
    if (lang->id == kLanguageChinese) setLanguageFlag(1);
    if (hooks.showLanguageButton) hooks.showLanguageButton(*lang);
  }
  if (hooks.refreshMacroPage) hooks.refreshMacroPage();
  if (lParam != 0 && !recordLanguageChoice(registry, lParam))
    notices.messageBox(std::u16string(kRegistryFailedText), std::u16string(kRegistryFailedCaption));
  if (hooks.closeLanguageMenu) hooks.closeLanguageMenu();
  return true;
}

}  // namespace orlix::localization
