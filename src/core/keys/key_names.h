#pragma once
// Names of keys and key functions as people read them: the key name table of
// recorded macro events, the display name of a virtual-key code, and the text
// that describes the function a key carries.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/keys/keyboard_layout.h"

namespace orlix {
struct ConfigImage;
}
namespace orlix::localization {
class LanguageStrings;
}

namespace orlix::keys {

struct KeyNameRow {
  uint32_t vk;
  std::u16string_view name;
};

// The key name table, in its fixed order.
std::span<const KeyNameRow> keyNameTable();
// Name of the first row whose code equals code; empty when none does.
std::u16string keyName(uint8_t code);

// Display name of a virtual-key code: a fixed name for the codes that have one,
// else the character the key types with no modifier in the layout (a letter in
// upper case); empty when it types none.
std::u16string virtualKeyName(unsigned vk, KeyboardLayout& layout);

// The description of key k's current function in the image's key table, with
// the language texts taken from strings. Empty for indexes above 180 and for
// functions without a description.
std::u16string functionDescription(const ConfigImage& image, int k, KeyboardLayout& layout,
                                   const localization::LanguageStrings& strings);
// The description of a code on its own; extra is the key's extra record (for
// macro keys) or empty.
std::u16string describeCode(uint32_t code, const ConfigImage& image, std::span<const uint8_t> extra,
                            KeyboardLayout& layout, const localization::LanguageStrings& strings);

}  // namespace orlix::keys
