#include "core/keys/usage_map.h"

namespace orlix::keys {

namespace {
constexpr std::array<UsagePair, kUsageMapSize> build() {
  std::array<UsagePair, kUsageMapSize> m{};
  size_t n = 0;
  auto add = [&](uint8_t u, uint8_t v) { m[n++] = {u, v}; };
  add(0x29, 0x1B);                                                 // Esc
  for (int i = 0; i < 12; ++i) add(uint8_t(0x3A + i), uint8_t(0x70 + i));  // F1..F12
  for (int i = 0; i < 26; ++i) add(uint8_t(0x04 + i), uint8_t(0x41 + i));  // A..Z
  for (int i = 0; i < 9; ++i) add(uint8_t(0x1E + i), uint8_t(0x31 + i));   // 1..9
  add(0x27, 0x30);                                                 // 0
  add(0x2B, 0x09);                                                 // Tab
  add(0x39, 0x14);                                                 // Caps Lock
  add(0x28, 0x0D);                                                 // Enter
  add(0x2A, 0x08);                                                 // Backspace
  add(0x2C, 0x20);                                                 // Space
  constexpr uint8_t punctU[] = {0x2F, 0x30, 0x31, 0x33, 0x34, 0x36, 0x37, 0x38, 0x35, 0x2E, 0x2D};
  constexpr uint8_t punctV[] = {0xDB, 0xDD, 0xDC, 0xBA, 0xDE, 0xBC, 0xBE, 0xBF, 0xC0, 0xBB, 0xBD};
  for (int i = 0; i < 11; ++i) add(punctU[i], punctV[i]);
  constexpr uint8_t modU[] = {0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7};
  constexpr uint8_t modV[] = {0xA2, 0xA0, 0xA4, 0x5B, 0xA3, 0xA1, 0xA5, 0x5C};
  for (int i = 0; i < 8; ++i) add(modU[i], modV[i]);
  add(0x65, 0x5D);                                                 // Menu
  constexpr uint8_t navU[] = {0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E};
  constexpr uint8_t navV[] = {0x2C, 0x91, 0x13, 0x2D, 0x24, 0x21, 0x2E, 0x23, 0x22};
  for (int i = 0; i < 9; ++i) add(navU[i], navV[i]);
  constexpr uint8_t arrU[] = {0x52, 0x51, 0x50, 0x4F};
  constexpr uint8_t arrV[] = {0x26, 0x28, 0x25, 0x27};
  for (int i = 0; i < 4; ++i) add(arrU[i], arrV[i]);
  for (int i = 0; i < 9; ++i) add(uint8_t(0x59 + i), uint8_t(0x61 + i));   // Num 1..9
  add(0x62, 0x60);                                                 // Num 0
  constexpr uint8_t padU[] = {0x57, 0x56, 0x55, 0x54, 0x53, 0x58, 0x63};
  constexpr uint8_t padV[] = {0x6B, 0x6D, 0x6A, 0x6F, 0x90, 0x0D, 0x6E};
  for (int i = 0; i < 7; ++i) add(padU[i], padV[i]);
  add(0xF0, 0x01);
  add(0xF1, 0x02);
  add(0xF2, 0x04);
  return m;
}
constexpr auto kMap = build();
static_assert(kMap[106].usage == 0xF2 && kMap[106].vk == 0x04, "usage map must hold 107 pairs");
}  // namespace

const std::array<UsagePair, kUsageMapSize>& usageMap() { return kMap; }

uint8_t usageToVk(uint8_t usage) {
  for (auto& p : kMap)
    if (p.usage == usage) return p.vk;
  return 0;
}

uint8_t vkToUsage(uint8_t vk) {
  for (auto& p : kMap)
    if (p.vk == vk) return p.usage;
  return 0;
}

}  // namespace orlix::keys
