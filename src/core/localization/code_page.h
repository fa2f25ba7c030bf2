#pragma once
// Conversion of byte text in a code page to UTF-16. The XML reader decodes
// UTF-8 and UTF-32 itself and hands every other code page to a converter; the
// platform layer supplies the full one, the core a small built-in one.

#include <string>
#include <string_view>

namespace orlix::localization {

class CodePageConverter {
 public:
  virtual ~CodePageConverter() = default;
  // Converts bytes in code page cp to UTF-16 into out. Bytes that have no
  // character in cp become "?". False (out empty) when cp is not supported.
  virtual bool toUtf16(unsigned cp, std::string_view bytes, std::u16string& out) const = 0;
  // The code page used for text in no declared encoding.
  virtual unsigned ansiCodePage() const = 0;
};

// The converter of the core: UTF-16 (both orders), US-ASCII, ISO-8859-1 and
// Windows-1252; its ANSI code page is 1252. Used where no platform converter
// is given.
const CodePageConverter& builtinConverter();

// The ANSI code page Windows would use for a POSIX locale name such as
// "zh_CN.UTF-8" or "ru_RU": 936 zh_CN/zh_SG, 950 zh_TW/zh_HK/zh_MO, 932 ja,
// 949 ko, 1251 ru/uk/be/bg/sr/mk, 1250 central European, 1253 el, 1254 tr/az,
// 1255 he, 1256 ar/fa/ur, 874 th, 1257 Baltic, 1258 vi, else 1252.
unsigned ansiCodePageForLocale(std::string_view locale);

// UTF-8 <-> UTF-16 helpers for the reader and its users. Malformed UTF-8
// sequences become "?"; lone surrogates become U+FFFD in UTF-8.
std::u16string utf8ToUtf16(std::string_view bytes);
std::string utf16ToUtf8(std::u16string_view text);
// True when the bytes are well-formed UTF-8 (no overlongs, no surrogates).
bool isValidUtf8(std::string_view bytes);

}  // namespace orlix::localization
