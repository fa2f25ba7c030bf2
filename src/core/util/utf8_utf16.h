#pragma once
// Conversions between UTF-8 (Linux paths, the command line) and UTF-16 (the
// system's stored texts). Malformed input becomes U+FFFD; nothing throws.

#include <string>
#include <string_view>

namespace orlix {

std::u16string utf8ToUtf16(std::string_view s);
// Appends code point cp (at most 0x10FFFF, not a surrogate) as one unit or a
// surrogate pair. The one encoder of code points into UTF-16.
void appendUtf16(std::u16string& out, char32_t cp);
// The same into a buffer with room for two units; returns the end of what it wrote.
inline char16_t* putUtf16(char16_t* out, char32_t cp) {
  if (cp >= 0x10000) {
    cp -= 0x10000;
    *out++ = char16_t(0xD800 + (cp >> 10));
    *out++ = char16_t(0xDC00 + (cp & 0x3FF));
  } else {
    *out++ = char16_t(cp);
  }
  return out;
}
std::string utf16ToUtf8(std::u16string_view s);

}  // namespace orlix
