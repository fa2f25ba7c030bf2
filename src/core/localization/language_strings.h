#pragma once
// The interface texts of the current language: the string keys loaded from a
// language file, and the language flag that picks the built-in Chinese or
// English texts.

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/localization/string_keys.h"
#include "core/localization/xml_document.h"

namespace orlix::localization {

class LanguageStrings {
 public:
  explicit LanguageStrings(const CodePageConverter& converter = builtinConverter());

  // Loads the language file and sets every string key from its "config"
  // element; a key missing from the file becomes empty. When the file cannot
  // be read the keys keep their texts (all empty before the first load) and
  // false is returned.
  bool LoadLanguageFile(const std::filesystem::path& path);
  // The text of element `key` under element `section` of the root element of
  // the loaded document; empty when there is none.
  std::u16string GetLanguageString(std::u16string_view section, std::u16string_view key);

  const std::u16string& text(StringKey key) const { return texts_[size_t(key)]; }
  const std::u16string& operator[](StringKey key) const { return text(key); }
  std::string utf8(StringKey key) const;
  // Sets one key (for tests and tools).
  void set(StringKey key, std::u16string text) { texts_[size_t(key)] = std::move(text); }

  XmlDocument& document() { return document_; }
  void setConverter(const CodePageConverter& converter) { document_.setConverter(converter); }

 private:
  XmlDocument document_;
  std::array<std::u16string, kStringKeyCount> texts_;
};

// The process-wide texts and document the program's windows read.
LanguageStrings& languageStrings();
// Shorthand for languageStrings().text(key).
const std::u16string& str(StringKey key);

// The language flag: non-zero selects the Chinese built-in texts, 0 the English ones.
int languageFlag();
void setLanguageFlag(int flag);
// Picks the built-in text by the language flag.
inline std::u16string_view builtIn(std::u16string_view chinese, std::u16string_view english) {
  return languageFlag() ? chinese : english;
}

}  // namespace orlix::localization
