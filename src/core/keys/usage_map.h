#pragma once
// The usage map: 107 ordered pairs {HID usage, Windows virtual-key code}. Both
// lookups take the first match, so 0x0D finds Enter (0x28), never Num Enter.

#include <array>
#include <cstddef>
#include <cstdint>

namespace orlix::keys {

struct UsagePair {
  uint8_t usage;
  uint8_t vk;
};

inline constexpr size_t kUsageMapSize = 107;
const std::array<UsagePair, kUsageMapSize>& usageMap();

// 0 when no pair matches.
uint8_t usageToVk(uint8_t usage);
uint8_t vkToUsage(uint8_t vk);

}  // namespace orlix::keys
