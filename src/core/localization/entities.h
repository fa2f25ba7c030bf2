#pragma once
// Named character references the XML reader decodes: the HTML 4 character
// entities and "apos".

#include <cstddef>
#include <span>
#include <string_view>

namespace orlix::localization {

struct Entity {
  std::string_view name;
  char32_t codePoint;
};

inline constexpr size_t kEntityCount = 253;
// References with longer names are never looked up.
inline constexpr size_t kMaxEntityNameLength = 9;

std::span<const Entity> entities();

// Code point of an entity name, 0 when unknown. Names that differ only in the
// case of A-Z still find an entity; an exact spelling wins over such a match.
char32_t entityCodePoint(std::u16string_view name);

}  // namespace orlix::localization
