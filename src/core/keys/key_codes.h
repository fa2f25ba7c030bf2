#pragma once
// Key function codes: the 32-bit value the keyboard's firmware keeps per key.
// Byte 0 is the function type, byte 1 is 0, bytes 2 and 3 its parameters.

#include <cstdint>

namespace orlix::keys {

inline constexpr int kKeyCount = 181;  // key indexes 0..180

enum FunctionType : uint8_t {
  kTypePlainKey2 = 0,   // plain key, second form (default table only)
  kTypePlainKey = 1,    // HID usage or mouse code 0xF0..0xFA
  kTypeCombination = 2, // modifier mask, usage
  kTypeHostFunction = 3,
  kTypeConsumer = 4,    // consumer usage, high byte first
  kTypeMacro = 5,
  kTypeDisabled = 7,
  kTypeLighting = 14,
};

// Modifier mask bits of a combination (the HID boot report's left modifiers).
inline constexpr uint8_t kModCtrl = 1, kModShift = 2, kModAlt = 4, kModWin = 8;

// Mouse codes carried as the usage of a plain key.
inline constexpr uint8_t kMouseLeft = 0xF0, kMouseRight = 0xF1, kMouseMiddle = 0xF2,
                         kMouseForward = 0xF3, kMouseBack = 0xF4;

inline constexpr uint32_t kMacroCode = 5;
inline constexpr uint32_t kDisabledCode = 7;

constexpr uint8_t typeOf(uint32_t code) { return uint8_t(code); }
constexpr uint8_t param1(uint32_t code) { return uint8_t(code >> 16); }
constexpr uint8_t param2(uint32_t code) { return uint8_t(code >> 24); }

constexpr uint32_t plainKey(uint8_t usage) { return 1u + (uint32_t(usage) << 16); }
// Left button double click: mouse code 0xF0 with 1 in byte 3.
constexpr uint32_t mouseDoubleClick() { return plainKey(kMouseLeft) | (1u << 24); }
constexpr uint32_t combination(uint8_t mask, uint8_t usage) {
  return 2u + (uint32_t(mask) << 16) + (uint32_t(usage) << 24);
}
constexpr uint32_t consumer(uint16_t usage) {
  return 4u + (uint32_t(usage >> 8) << 16) + (uint32_t(usage & 0xFF) << 24);
}
constexpr uint16_t consumerUsage(uint32_t code) {
  return uint16_t((uint16_t(param1(code)) << 8) | param2(code));
}
constexpr uint32_t hostFunction(uint8_t subtype) {
  return 3u + (uint32_t(0xC0 | (subtype & 0xF)) << 24);
}
// A macro key placed in slot 0..49 by an apply.
constexpr uint32_t placedMacro(int slot) { return 5u + (uint32_t(slot + 1) << 16); }
constexpr bool isMacro(uint32_t code) { return typeOf(code) == kTypeMacro; }

static_assert(combination(kModAlt, 0x3D) == 0x3D040002);
static_assert(consumer(0x00CD) == 0xCD000004);
static_assert(consumer(0x0183) == 0x83010004);
static_assert(placedMacro(2) == 0x00030005);

}  // namespace orlix::keys
