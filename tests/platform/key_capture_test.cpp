#include "platform/key_capture.h"

#include <gtest/gtest.h>

#include <map>

#include "core/config/config_image.h"
#include "core/keys/key_codes.h"
#include "core/keys/key_picture_map.h"
#include "core/keys/usage_map.h"

namespace orlix::platform::keycapture {
namespace {

// How Linux turns keyboard-page HID usages into its key codes: an independent
// account of which physical key each usage is, to hold the capture table to.
std::optional<uint16_t> evdevOfUsage(uint8_t usage) {
  static const std::map<uint8_t, uint16_t> kMap = [] {
    std::map<uint8_t, uint16_t> m;
    const uint16_t letters[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                  49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};
    for (int i = 0; i < 26; ++i) m[uint8_t(0x04 + i)] = letters[i];
    for (int i = 0; i < 10; ++i) m[uint8_t(0x1E + i)] = uint16_t(2 + i);  // 1..9, 0
    const std::pair<uint8_t, uint16_t> rest[] = {
        {0x28, 28},  {0x29, 1},   {0x2A, 14},  {0x2B, 15},  {0x2C, 57},  {0x2D, 12},  {0x2E, 13},
        {0x2F, 26},  {0x30, 27},  {0x31, 43},  {0x33, 39},  {0x34, 40},  {0x35, 41},  {0x36, 51},
        {0x37, 52},  {0x38, 53},  {0x39, 58},  {0x44, 87},  {0x45, 88},  {0x46, 99},  {0x47, 70},
        {0x48, 119}, {0x49, 110}, {0x4A, 102}, {0x4B, 104}, {0x4C, 111}, {0x4D, 107}, {0x4E, 109},
        {0x4F, 106}, {0x50, 105}, {0x51, 108}, {0x52, 103}, {0x53, 69},  {0x54, 98},  {0x55, 55},
        {0x56, 74},  {0x57, 78},  {0x58, 96},  {0x59, 79},  {0x5A, 80},  {0x5B, 81},  {0x5C, 75},
        {0x5D, 76},  {0x5E, 77},  {0x5F, 71},  {0x60, 72},  {0x61, 73},  {0x62, 82},  {0x63, 83},
        {0x64, 86},  {0x65, 127}, {0xE0, 29},  {0xE1, 42},  {0xE2, 56},  {0xE3, 125}, {0xE4, 97},
        {0xE5, 54},  {0xE6, 100}, {0xE7, 126},
    };
    for (int i = 0; i < 10; ++i) m[uint8_t(0x3A + i)] = uint16_t(59 + i);  // F1..F10
    for (auto [u, e] : rest) m[u] = e;
    return m;
  }();
  auto it = kMap.find(usage);
  if (it == kMap.end()) return std::nullopt;
  return it->second;
}

TEST(KeyCapture, EveryKeyOfTheUsageMapGivesItsVirtualKey) {
  int checked = 0;
  for (auto [usage, vk] : keys::usageMap()) {
    if (usage >= keys::kMouseLeft) continue;  // mouse buttons do not come through key capture
    auto evdev = evdevOfUsage(usage);
    ASSERT_TRUE(evdev) << std::hex << int(usage);
    EXPECT_EQ(vkFromEvdev(*evdev), vk) << "usage 0x" << std::hex << int(usage);
    EXPECT_EQ(vkFromX11Keycode(*evdev + 8u), vk) << "usage 0x" << std::hex << int(usage);
    // Qt with the native scan code, whatever key value the layout gives.
    EXPECT_EQ(vkFromQtKey(0, 0, *evdev + 8u), vk) << "usage 0x" << std::hex << int(usage);
    ++checked;
  }
  EXPECT_EQ(checked, 104);
}

TEST(KeyCapture, EveryKeyOfThePictureMapCapturesToItsUsage) {
  auto defaults = defaultKeyTable();
  int checked = 0;
  for (int n = 0; n < keys::kKeyPictureCount; ++n) {
    if (keys::isEmptyPictureRecord(n)) continue;
    int k = keys::keyPictureMap()[size_t(n)].keyIndex;
    uint32_t code = defaults[size_t(k)];
    // Keys without a plain key default (left column, lighting, media) send
    // nothing the host sees as a key.
    if (keys::typeOf(code) != keys::kTypePlainKey) continue;
    uint8_t usage = keys::param1(code);
    auto evdev = evdevOfUsage(usage);
    ASSERT_TRUE(evdev) << "key index " << k;
    uint8_t vk = vkFromEvdev(*evdev);
    ASSERT_NE(vk, 0) << "key index " << k;
    // The usage map answers with its first match: keypad Enter reads back as Enter.
    uint8_t expected = usage == 0x58 ? 0x28 : usage;
    EXPECT_EQ(keys::vkToUsage(vk), expected) << "key index " << k << " usage 0x" << std::hex << int(usage);
    ++checked;
  }
  EXPECT_EQ(checked, 104);
}

TEST(KeyCapture, ModifierSidesComeFromTheScanCode) {
  struct Case {
    uint16_t evdev;
    int qtKey;
    uint8_t vk;
  };
  const Case cases[] = {
      {29, qt::kKeyControl, 0xA2}, {97, qt::kKeyControl, 0xA3}, {42, qt::kKeyShift, 0xA0},
      {54, qt::kKeyShift, 0xA1},   {56, qt::kKeyAlt, 0xA4},     {100, qt::kKeyAlt, 0xA5},
      {100, qt::kKeyAltGr, 0xA5},  {125, qt::kKeyMeta, 0x5B},   {126, qt::kKeySuperR, 0x5C},
      {126, qt::kKeyMeta, 0x5C},
  };
  for (auto& c : cases) {
    EXPECT_EQ(vkFromEvdev(c.evdev), c.vk) << c.evdev;
    EXPECT_EQ(vkFromQtKey(c.qtKey, 0, c.evdev + 8u), c.vk) << c.evdev;
  }
}

TEST(KeyCapture, QtKeysWithoutScanCode) {
  struct Case {
    const char* name;
    int key;
    int modifiers;
    uint8_t vk;
  };
  const int kp = qt::kKeypadModifier;
  const Case cases[] = {
      {"Shift is side-neutral", qt::kKeyShift, 0, 0x10},
      {"Ctrl is side-neutral", qt::kKeyControl, 0, 0x11},
      {"Alt is side-neutral", qt::kKeyAlt, 0, 0x12},
      {"AltGr is the right Alt", qt::kKeyAltGr, 0, 0xA5},
      {"Meta", qt::kKeyMeta, 0, 0x5B},
      {"letter", 'Q', 0, 0x51},
      {"lower-case letter", 'q', 0, 0x51},
      {"digit", '7', 0, 0x37},
      {"keypad digit", '7', kp, 0x67},
      {"shifted digit", '&', 0, 0x37},
      {"asterisk", '*', 0, 0x38},
      {"keypad asterisk", '*', kp, 0x6A},
      {"keypad plus", '+', kp, 0x6B},
      {"keypad minus", '-', kp, 0x6D},
      {"keypad dot", '.', kp, 0x6E},
      {"keypad slash", '/', kp, 0x6F},
      {"minus", '-', 0, 0xBD},
      {"underscore", '_', 0, 0xBD},
      {"equal", '=', 0, 0xBB},
      {"brace", '{', 0, 0xDB},
      {"bracket", ']', 0, 0xDD},
      {"bar", '|', 0, 0xDC},
      {"colon", ':', 0, 0xBA},
      {"quote", '"', 0, 0xDE},
      {"less", '<', 0, 0xBC},
      {"greater", '>', 0, 0xBE},
      {"question", '?', 0, 0xBF},
      {"tilde", '~', 0, 0xC0},
      {"space", ' ', 0, 0x20},
      {"Escape", qt::kKeyEscape, 0, 0x1B},
      {"Return", qt::kKeyReturn, 0, 0x0D},
      {"keypad Enter", qt::kKeyEnter, kp, 0x0D},
      {"Shift+Tab", qt::kKeyBacktab, 0, 0x09},
      {"Backspace", qt::kKeyBackspace, 0, 0x08},
      {"Print", qt::kKeyPrint, 0, 0x2C},
      {"Pause", qt::kKeyPause, 0, 0x13},
      {"Menu", qt::kKeyMenu, 0, 0x5D},
      {"F1", qt::kKeyF1, 0, 0x70},
      {"F12", qt::kKeyF1 + 11, 0, 0x7B},
      {"F24", qt::kKeyF24, 0, 0x87},
      {"Page Down", qt::kKeyPageDown, 0, 0x22},
      {"Num Lock", qt::kKeyNumLock, 0, 0x90},
      {"mute", qt::kKeyVolumeMute, 0, 0xAD},
      {"play", qt::kKeyMediaTogglePlayPause, 0, 0xB3},
      {"unknown", 0x01FFFFFF, 0, 0},
      {"nothing", 0, 0, 0},
      {"non-Latin character", 0x416, 0, 0},
  };
  for (auto& c : cases) EXPECT_EQ(vkFromQtKey(c.key, c.modifiers, 0), c.vk) << c.name;
}

TEST(KeyCapture, KeypadFollowsNumLock) {
  EXPECT_EQ(vkFromEvdev(71), 0x67);
  EXPECT_EQ(vkFromEvdev(71, false), 0x24);
  EXPECT_EQ(vkFromEvdev(83, false), 0x2E);
  EXPECT_EQ(vkFromEvdev(76, false), 0x0C);
  EXPECT_EQ(vkFromEvdev(55, false), 0x6A) << "operators do not change";
  // Through Qt, the key value tells whether Num Lock is on.
  EXPECT_EQ(vkFromQtKey('7', qt::kKeypadModifier, 71 + 8), 0x67);
  EXPECT_EQ(vkFromQtKey(qt::kKeyHome, qt::kKeypadModifier, 71 + 8), 0x24);
  EXPECT_EQ(vkFromQtKey(',', qt::kKeypadModifier, 83 + 8), 0x6E) << "decimal comma layouts";
  EXPECT_EQ(vkFromQtKey(qt::kKeyDelete, qt::kKeypadModifier, 83 + 8), 0x2E);
}

TEST(KeyCapture, CodesWithoutAKey) {
  EXPECT_EQ(vkFromEvdev(0), 0);
  EXPECT_EQ(vkFromEvdev(84), 0);
  EXPECT_EQ(vkFromEvdev(256), 0);
  EXPECT_EQ(vkFromEvdev(0xFFFF), 0);
  for (uint32_t k = 0; k < 8; ++k) EXPECT_EQ(vkFromX11Keycode(k), 0) << k;
  EXPECT_EQ(vkFromX11Keycode(0xFFFFFFFF), 0);
  // An unknown scan code falls back to the Qt key value.
  EXPECT_EQ(vkFromQtKey('A', 0, 84 + 8), 0x41);
}

TEST(KeyCapture, Flags) {
  EXPECT_EQ(hookFlags(30, false, false), 0u);
  EXPECT_EQ(hookFlags(30, true, false), kFlagRelease);
  EXPECT_EQ(hookFlags(30, false, true), kFlagAltDown);
  EXPECT_EQ(hookFlags(97, true, false), kFlagRelease | kFlagExtended);
  for (uint16_t e : {96, 97, 98, 99, 100, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 125, 126, 127})
    EXPECT_TRUE(isExtendedKey(e)) << e;
  for (uint16_t e : {1, 28, 29, 42, 54, 56, 71, 82, 83, 55, 74, 78, 119})
    EXPECT_FALSE(isExtendedKey(e)) << e;
}

}  // namespace
}  // namespace orlix::platform::keycapture
