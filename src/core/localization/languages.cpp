#include "core/localization/languages.h"

#include "core/localization/ini_file.h"

namespace orlix::localization {

namespace {
constexpr std::array<LanguageInfo, kLanguageCount> kLanguages = {{
    {1, "Chinese", "Language/sc.xml", 182, 166},
    {2, "English", "Language/en.xml", 193, 159},
    {3, "French", "Language/fre.xml", 184, 160},
    {4, "Korean", "Language/kor.xml", 190, 163},
    {5, "German", "Language/ger.xml", 185, 161},
    {6, "Italian", "Language/ita.xml", 186, 162},
    {7, "Spanish", "Language/span.xml", 191, 167},
    {8, "Dutch", "Language/dutch.xml", 183, 158},
    {9, "Portuguese", "Language/pt.xml", 188, 164},
    {10, "Russian", "Language/rus.xml", 189, 165},
    {11, "Ukrainian", "Language/ukr.xml", 194, 169},
    // Traditional Chinese shows the pictures of language 1.
    {12, "Trad.Chinese", "Language/tw.xml", 182, 166},
}};
}  // namespace

const std::array<LanguageInfo, kLanguageCount>& languages() { return kLanguages; }

std::optional<LanguageInfo> languageById(int id) {
  if (id < 1 || id > kLanguageCount) return std::nullopt;
  return kLanguages[size_t(id - 1)];
}

std::filesystem::path languageFilePath(const std::filesystem::path& programFolder, const LanguageInfo& lang) {
  return programFolder / std::filesystem::path(lang.file);
}

int startupLanguageFlag(const std::filesystem::path& programFolder) {
  std::string value = readIniFileString(programFolder / std::filesystem::path(kLanguageTypeIni),
                                        kLanguageTypeSection, kLanguageTypeKey, "0");
  return iniInteger(value);
}

const LanguageInfo& startupLanguage(int languageFlag) {
  return kLanguages[languageFlag ? kLanguageChinese - 1 : kLanguageEnglish - 1];
}

}  // namespace orlix::localization
