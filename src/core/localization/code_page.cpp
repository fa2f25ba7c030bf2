#include "core/localization/code_page.h"

#include "core/util/utf8_utf16.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace orlix::localization {

namespace {

// Windows-1252 0x80..0x9F; 0 marks the five unassigned bytes.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

class BuiltinConverter : public CodePageConverter {
 public:
  bool toUtf16(unsigned cp, std::string_view bytes, std::u16string& out) const override {
    out.clear();
    switch (cp) {
      case 1200:
      case 1201:
        out.reserve(bytes.size() / 2);
        for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
          auto a = uint8_t(bytes[i]), b = uint8_t(bytes[i + 1]);
          out.push_back(cp == 1200 ? char16_t(a | (b << 8)) : char16_t((a << 8) | b));
        }
        return true;
      case 20127:
        for (char c : bytes) out.push_back(uint8_t(c) < 0x80 ? char16_t(uint8_t(c)) : u'?');
        return true;
      case 28591:
        for (char c : bytes) out.push_back(char16_t(uint8_t(c)));
        return true;
      case 1252:
        for (char c : bytes) {
          auto b = uint8_t(c);
          if (b >= 0x80 && b < 0xA0)
            out.push_back(kCp1252High[b - 0x80] ? kCp1252High[b - 0x80] : u'?');
          else
            out.push_back(char16_t(b));
        }
        return true;
      default:
        return false;
    }
  }
  unsigned ansiCodePage() const override { return 1252; }
};

// Decodes one UTF-8 sequence at bytes[i]; returns its length, 0 when malformed.
size_t decodeUtf8(std::string_view bytes, size_t i, char32_t& cp) {
  auto b0 = uint8_t(bytes[i]);
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  }
  size_t len;
  char32_t min;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2, min = 0x80, cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3, min = 0x800, cp = b0 & 0x0F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4, min = 0x10000, cp = b0 & 0x07;
  } else {
    return 0;
  }
  if (i + len > bytes.size()) return 0;
  for (size_t k = 1; k < len; ++k) {
    auto b = uint8_t(bytes[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

bool startsWith(std::string_view s, std::string_view p) { return s.substr(0, p.size()) == p; }

}  // namespace

const CodePageConverter& builtinConverter() {
  static const BuiltinConverter c;
  return c;
}

unsigned ansiCodePageForLocale(std::string_view locale) {
  // Only the language and territory matter: "zh_TW.UTF-8@x" -> "zh_TW".
  size_t end = locale.find_first_of(".@");
  std::string_view id = locale.substr(0, end);
  std::string_view lang = id.substr(0, id.find('_'));
  if (lang == "zh") {
    if (startsWith(id, "zh_TW") || startsWith(id, "zh_HK") || startsWith(id, "zh_MO")) return 950;
    return 936;
  }
  struct {
    std::string_view lang;
    unsigned cp;
  } static constexpr kTable[] = {
      {"ja", 932},   {"ko", 949},   {"ru", 1251},  {"uk", 1251},  {"be", 1251},  {"bg", 1251},
      {"sr", 1251},  {"mk", 1251},  {"kk", 1251},  {"ky", 1251},  {"mn", 1251},  {"tt", 1251},
      {"cs", 1250},  {"sk", 1250},  {"pl", 1250},  {"hu", 1250},  {"sl", 1250},  {"hr", 1250},
      {"ro", 1250},  {"sq", 1250},  {"bs", 1250},  {"el", 1253},  {"tr", 1254},  {"az", 1254},
      {"uz", 1254},  {"he", 1255},  {"ar", 1256},  {"fa", 1256},  {"ur", 1256},  {"th", 874},
      {"lt", 1257},  {"lv", 1257},  {"et", 1257},  {"vi", 1258},
  };
  for (const auto& e : kTable)
    if (e.lang == lang) return e.cp;
  return 1252;
}

std::u16string utf8ToUtf16(std::string_view bytes) {
  // Never more UTF-16 units than bytes: size once, write through a pointer,
  // and cut to length at the end.
  std::u16string out(bytes.size(), u'\0');
  char16_t* o = out.data();
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t n = bytes.size();
  size_t i = 0;
  while (i < n) {
    // Runs of ASCII, eight bytes at a time.
    while (i + 8 <= n) {
      uint64_t w;
      std::memcpy(&w, p + i, 8);
      if (w & 0x8080808080808080ull) break;
      for (int k = 0; k < 8; ++k) o[k] = char16_t(p[i + k]);
      o += 8;
      i += 8;
    }
    if (i >= n) break;
    if (p[i] < 0x80) {
      *o++ = char16_t(p[i++]);
      continue;
    }
    char32_t cp;
    size_t len = decodeUtf8(bytes, i, cp);
    if (len == 0) {
      *o++ = u'?';
      ++i;
      continue;
    }
    o = putUtf16(o, cp);
    i += len;
  }
  out.resize(size_t(o - out.data()));
  return out;
}

std::string utf16ToUtf8(std::u16string_view text) { return orlix::utf16ToUtf8(text); }

bool isValidUtf8(std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    if (uint8_t(bytes[i]) < 0x80) {
      ++i;
      continue;
    }
    char32_t cp;
    size_t n = decodeUtf8(bytes, i, cp);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

}  // namespace orlix::localization
