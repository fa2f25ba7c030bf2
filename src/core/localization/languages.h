#pragma once
// The twelve interface languages, numbered by their place in the language menu.

#include <array>
#include <filesystem>
#include <optional>
#include <string_view>

namespace orlix::localization {

struct LanguageInfo {
  int id;                      // 1..12
  std::string_view menuText;   // "Chinese", "English", ...
  std::string_view file;       // relative to the program folder: "Language/sc.xml"
  int menuPicture;             // PNG resource shown in the language menu
  int buttonPicture;           // bitmap resource shown on the language button
};

inline constexpr int kLanguageCount = 12;
inline constexpr int kLanguageChinese = 1;
inline constexpr int kLanguageEnglish = 2;
inline constexpr int kLanguageTradChinese = 12;

const std::array<LanguageInfo, kLanguageCount>& languages();
// The language with that id, nothing outside 1..12.
std::optional<LanguageInfo> languageById(int id);

// The language file of a language in the program folder.
std::filesystem::path languageFilePath(const std::filesystem::path& programFolder, const LanguageInfo& lang);

// "skins/languagetype.ini" in the program folder: section "languagetype", key
// "value", default "0", read as a decimal integer into the language flag.
inline constexpr std::string_view kLanguageTypeIni = "skins/languagetype.ini";
inline constexpr std::string_view kLanguageTypeSection = "languagetype";
inline constexpr std::string_view kLanguageTypeKey = "value";

// The language flag the program starts with: the ini file's value, 0 when the
// file or the value is missing.
int startupLanguageFlag(const std::filesystem::path& programFolder);
// The language the program starts in: Chinese (1) for a non-zero flag, else English (2).
const LanguageInfo& startupLanguage(int languageFlag);

}  // namespace orlix::localization
