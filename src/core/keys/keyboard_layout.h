#pragma once
// The active keyboard layout, for naming keys by the character they type.

#include <cstdint>

namespace orlix::keys {

class KeyboardLayout {
 public:
  virtual ~KeyboardLayout() = default;
  // The character (Unicode, unshifted) that virtual key vk types in the active
  // layout; 0 when it types none (dead keys, keys without a character).
  virtual char32_t characterOf(uint8_t vk) = 0;
};

}  // namespace orlix::keys
