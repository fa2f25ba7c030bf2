#pragma once
// The game categories under which macros are filed (1..21), with their Chinese
// and English names.

#include <string_view>

namespace orlix::macros {

struct GameCategoryName {
  std::u16string_view chinese;
  std::u16string_view english;
};

// Names of category 1..21; an empty pair for any other number.
const GameCategoryName& gameCategoryName(int category);
// The name by the language flag.
std::u16string_view gameCategoryName(int category, bool chinese);

}  // namespace orlix::macros
