#include "core/keys/combo_model.h"

#include "core/keys/key_codes.h"
#include "core/keys/key_names.h"
#include "core/keys/usage_map.h"

namespace orlix::keys {

namespace {

// Flag values of a modifier press: any mix of 0x01, 0x10 and 0x20, never 0x80.
bool isModifierPress(uint32_t flags) { return (flags & ~uint32_t(0x31)) == 0; }

int boxOfModifier(unsigned vk) {
  switch (vk) {
    case 0x11: case 0xA2: case 0xA3: return ComboModel::kCtrl;
    case 0x12: case 0xA4: case 0xA5: return ComboModel::kAlt;
    case 0x10: case 0xA0: case 0xA1: return ComboModel::kShift;
    case 0x5B: case 0x5C: return ComboModel::kWin;
    default: return -1;
  }
}

constexpr uint8_t kUsageLeftCtrl = 0xE0, kUsageLeftShift = 0xE1, kUsageLeftAlt = 0xE2, kUsageLeftWin = 0xE3;

}  // namespace

ComboModel::KeyEffect ComboModel::onKeyEvent(unsigned vk, uint32_t flags) {
  int box = boxOfModifier(vk);
  if (box < 0) {
    captured_ = vk;
    return KeyEffect::KeyCaptured;
  }
  if (!isModifierPress(flags)) return KeyEffect::Ignored;
  toggle(Box(box));
  return KeyEffect::BoxToggled;
}

uint8_t ComboModel::modifierMask() const {
  uint8_t m = 0;
  if (checked(kShift)) m |= kModShift;
  if (checked(kCtrl)) m |= kModCtrl;
  if (checked(kWin)) m |= kModWin;
  if (checked(kAlt)) m |= kModAlt;
  return m;
}

uint32_t ComboModel::code() const {
  uint8_t m = modifierMask();
  // The last checked box in this order names the plain modifier key.
  uint8_t a = 0;
  if (checked(kShift)) a = kUsageLeftShift;
  if (checked(kCtrl)) a = kUsageLeftCtrl;
  if (checked(kWin)) a = kUsageLeftWin;
  if (checked(kAlt)) a = kUsageLeftAlt;
  uint8_t c = captured_ < 256 ? vkToUsage(uint8_t(captured_)) : 0;
  if (m && c) return combination(m, c);
  if (m) return plainKey(a);
  if (c) return plainKey(c);
  return 0;
}

void ComboModel::fillResult(SettingResult& r) const {
  r.code = code();
  r.category = kCategoryCombination;
}

std::u16string ComboModel::capturedName(KeyboardLayout& layout) const {
  return captured_ ? virtualKeyName(captured_, layout) : std::u16string();
}

}  // namespace orlix::keys
