#include "core/localization/language_strings.h"

#include <algorithm>
#include <atomic>
#include <vector>

#include "core/localization/xml_tokenizer.h"

namespace orlix::localization {

namespace {
std::atomic<int> gLanguageFlag{0};
constexpr std::u16string_view kSection = u"config";

// The key names sorted for lookup: as they stand, and with A-Z folded for a
// document that ignores case (where names that differ in case alone share an entry).
struct KeyIndex {
  std::vector<std::pair<std::u16string, StringKey>> exact, folded;
};

const KeyIndex& keyIndex() {
  static const KeyIndex index = [] {
    KeyIndex x;
    for (StringKey k : allStringKeys()) {
      std::string_view name = stringKeyName(k);
      std::u16string u(name.begin(), name.end());
      x.exact.emplace_back(u, k);
      for (char16_t& c : u) c = foldAscii(c);
      x.folded.emplace_back(std::move(u), k);
    }
    // Stable: keys whose folded names are equal stay in table order.
    std::stable_sort(x.exact.begin(), x.exact.end(), [](auto& a, auto& b) { return a.first < b.first; });
    std::stable_sort(x.folded.begin(), x.folded.end(), [](auto& a, auto& b) { return a.first < b.first; });
    return x;
  }();
  return index;
}
}  // namespace

LanguageStrings::LanguageStrings(const CodePageConverter& converter) : document_(converter) {}

bool LanguageStrings::LoadLanguageFile(const std::filesystem::path& path) {
  if (!document_.LoadDocumentFile(path)) return false;
  document_.ParseDocument();
  // One walk down the sections gives every key what GetLanguageString(kSection,
  // key) would: the first element of its name in the outermost section that
  // holds one. Asking key by key would scan a section once per key.
  const XmlDocument& d = document_;
  const bool fold = d.flags() & kDocIgnoreCase;
  const auto& table = fold ? keyIndex().folded : keyIndex().exact;
  auto sectionIn = [&d](uint32_t parent) -> uint32_t {
    for (uint32_t n = d.entry(parent).firstChild; n; n = d.entry(n).nextSibling)
      if (d.hasName(n, kSection)) return n;
    return 0;
  };
  for (std::u16string& t : texts_) t.clear();
  std::array<bool, kStringKeyCount> found{};
  size_t left = kStringKeyCount;
  std::u16string folded;
  const uint32_t root = d.entry(0).firstChild;
  for (uint32_t section = root ? sectionIn(root) : 0; section && left; section = sectionIn(section)) {
    for (uint32_t n = d.entry(section).firstChild; n && left; n = d.entry(n).nextSibling) {
      std::u16string_view name = d.tagName(n);
      if (fold) {
        folded.assign(name);
        for (char16_t& c : folded) c = foldAscii(c);
        name = folded;
      }
      auto it = std::lower_bound(table.begin(), table.end(), name,
                                 [](const auto& entry, std::u16string_view v) { return entry.first < v; });
      for (; it != table.end() && it->first == name; ++it) {
        auto k = size_t(it->second);
        if (found[k]) continue;
        found[k] = true;
        --left;
        texts_[k] = d.elementText(n);
      }
    }
  }
  document_.ResetPosition();
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
