#pragma once
// The key listing of "orlixctl keys", on any configuration image.

#include <iosfwd>

#include "core/config/config_image.h"
#include "core/keys/keyboard_layout.h"
#include "core/localization/language_strings.h"

namespace orlix::cli {

// Prints one line per key of the image's key table: index, name, code in hex,
// "default" or "modified", and the description of its function.
void printKeyTable(std::ostream& out, const ConfigImage& image, keys::KeyboardLayout& layout,
                   const localization::LanguageStrings& strings);

}  // namespace orlix::cli
