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
std::string utf16ToUtf8(std::u16string_view s);

}  // namespace orlix
