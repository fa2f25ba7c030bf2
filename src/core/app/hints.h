#pragma once
// The status hints of the main window: message 0x805 carries a hint number,
// which names the string key whose text the hint line shows.

#include <optional>

#include "core/localization/string_keys.h"

namespace orlix::app {

// Hint 99 clears the status text.
inline constexpr int kClearHint = 99;

// The string key of a hint number; nothing for 99 and for numbers without a
// text (the status text then becomes empty).
std::optional<localization::StringKey> hintStringKey(long hint);

}  // namespace orlix::app
