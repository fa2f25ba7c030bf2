#pragma once
// Choosing the interface language: the start-up choice and the switch the
// language menu asks for (message 0x401). The windows take part through hooks;
// the rules live here so the window program and orlixctl share them.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>

#include "core/localization/language_strings.h"
#include "core/localization/languages.h"

namespace orlix {
class Registry;
class UserNotices;
}  // namespace orlix

namespace orlix::localization {

inline constexpr std::u16string_view kRegistryFailedText = u"Reg_SaveData Create key failed";
inline constexpr std::u16string_view kRegistryFailedCaption = u"Error";

// Caption of the macro page's game button when no game category was chosen.
inline std::u16string_view customGameText() { return builtIn(u"玩家自定义", u"Customisze"); }

struct LanguageSwitchHooks {
  // Shows the language's button picture (LanguageInfo::buttonPicture).
  std::function<void(const LanguageInfo&)> showLanguageButton;
  // Gives the macro page's record button the caption str_macro_start and,
  // when no game category was chosen on it, the game button customGameText().
  std::function<void()> refreshMacroPage;
  // Closes the language menu and forgets it.
  std::function<void()> closeLanguageMenu;
};

// Start-up: reads languagetype.ini into the language flag and loads Chinese
// for a non-zero flag, else English. Returns the language loaded.
const LanguageInfo& applyStartupLanguage(const std::filesystem::path& programFolder, LanguageStrings& strings);

// Records the chosen language id as the registry value "Language" (4 bytes,
// little-endian). False when the key can be neither opened nor created.
bool recordLanguageChoice(Registry& registry, uint32_t id);

// The language message: lParam is the chosen id 1..12, 0 when the menu closed
// without a choice. Ignored (false) unless the language menu is open. For a
// valid id the flag becomes 0, the file is loaded, then the flag becomes 1 for
// Chinese only; a non-zero lParam is recorded in the registry, and a failure
// to record is told with "Reg_SaveData Create key failed" / "Error".
bool onLanguageMessage(uint32_t lParam, bool languageMenuOpen, const std::filesystem::path& programFolder,
                       LanguageStrings& strings, Registry& registry, UserNotices& notices,
                       const LanguageSwitchHooks& hooks);

}  // namespace orlix::localization
