#pragma once
// Character-set names as they appear in XML declarations and HTML meta tags,
// mapped to Windows code page numbers (the numbering the converter speaks).

#include <cstddef>
#include <span>
#include <string_view>

namespace orlix::localization {

inline constexpr unsigned kCodePageUtf16Le = 1200;
inline constexpr unsigned kCodePageUtf16Be = 1201;
inline constexpr unsigned kCodePageUtf7 = 65000;
inline constexpr unsigned kCodePageUtf8 = 65001;
inline constexpr unsigned kCodePageUtf32 = 65005;
inline constexpr unsigned kCodePageUtf32Be = 65006;

struct EncodingName {
  std::string_view name;  // lower case
  unsigned codePage;
};

inline constexpr size_t kEncodingNameCount = 254;

// The whole table, sorted by name.
std::span<const EncodingName> encodingNames();

// Code page of a character-set name, ignoring the case of A-Z; 0 when the name
// is not in the table (the caller then uses the system's ANSI code page).
unsigned codePageOfName(std::u16string_view name);
unsigned codePageOfName(std::string_view name);

}  // namespace orlix::localization
