#pragma once
// Where the user-facing texts of core operations come from: the named texts of
// the language file (string keys) and the language flag, which picks between the
// built-in Chinese and English texts. Operations take a TextSource so that they
// work with a loaded language file, with none, and in tests.

#include <functional>
#include <string>
#include <string_view>

namespace orlix {

struct TextSource {
  // Text of a string key such as "str_msg2"; empty when the key is missing.
  std::function<std::u16string(std::string_view key)> lookup;
  // The language flag: true while the built-in Chinese texts are in force.
  std::function<bool()> chinese;

  std::u16string text(std::string_view key) const { return lookup ? lookup(key) : std::u16string(); }
  bool isChinese() const { return chinese && chinese(); }
  // One of a built-in pair of texts, by the language flag.
  std::u16string_view pick(std::u16string_view zh, std::u16string_view en) const { return isChinese() ? zh : en; }
};

// fmt with its first "%s" replaced by arg (the system's messages carry at most one).
inline std::u16string formatOne(std::u16string_view fmt, std::u16string_view arg) {
  std::u16string s(fmt);
  size_t at = s.find(u"%s");
  if (at != std::u16string::npos) s.replace(at, 2, arg);
  return s;
}

}  // namespace orlix
