#include "core/localization/language_strings.h"

#include <atomic>

namespace orlix::localization {

namespace {
std::atomic<int> gLanguageFlag{0};
constexpr std::u16string_view kSection = u"config";
}  // namespace

LanguageStrings::LanguageStrings(const CodePageConverter& converter) : document_(converter) {}

bool LanguageStrings::LoadLanguageFile(const std::filesystem::path& path) {
  if (!document_.LoadDocumentFile(path)) return false;
  document_.ParseDocument();
  for (StringKey k : allStringKeys()) {
    std::string_view name = stringKeyName(k);
    texts_[size_t(k)] = GetLanguageString(kSection, std::u16string(name.begin(), name.end()));
  }
  return true;
}

std::u16string LanguageStrings::GetLanguageString(std::u16string_view section, std::u16string_view key) {
  document_.ResetPosition();
  // A key that is not under the section sends the search one level deeper, to
  // a section element inside the section, until none is found.
  while (document_.FindChildElement(section)) {
    document_.EnterElement();
    if (document_.FindChildElement(key)) return document_.GetChildText();
  }
  return {};
}

std::string LanguageStrings::utf8(StringKey key) const { return utf16ToUtf8(text(key)); }

LanguageStrings& languageStrings() {
  static LanguageStrings strings;
  return strings;
}

const std::u16string& str(StringKey key) { return languageStrings().text(key); }

int languageFlag() { return gLanguageFlag.load(std::memory_order_relaxed); }
void setLanguageFlag(int flag) { gLanguageFlag.store(flag, std::memory_order_relaxed); }

}  // namespace orlix::localization
