#include "core/config/config_image.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/device/message_target.h"
#include "core/device/messages.h"
#include "core/util/bytes.h"

namespace orlix {

std::string PerKeyLightingRecord::text() const {
  auto end = std::find(textKey.begin(), textKey.end(), '\0');
  return std::string(textKey.begin(), end);
}

void PerKeyLightingRecord::setText(const std::string& s) {
  textKey.fill(0);
  std::copy_n(s.begin(), std::min(s.size(), kTextKeySize - 1), textKey.begin());
}

std::u16string ConfigImage::actionText(int k) const {
  const auto& r = keyExtra[size_t(k)];
  std::u16string s;
  for (size_t i = 0; i + 1 < kKeyExtraSize && s.size() < kActionTextChars - 1; i += 2) {
    char16_t c = char16_t(r[i] | (r[i + 1] << 8));
    if (c == 0) break;
    s.push_back(c);
  }
  return s;
}

void ConfigImage::setActionText(int k, std::u16string_view text) {
  auto& r = keyExtra[size_t(k)];
  putU32(r, 0, 0);
  size_t n = std::min(text.size(), kActionTextChars - 1);
  for (size_t i = 0; i < n; ++i) putU16(r, 2 * i, text[i]);
  putU16(r, 2 * n, 0);
}

uint32_t ConfigImage::macroId(int k) const { return getU32(keyExtra[size_t(k)], 0); }
void ConfigImage::setMacroId(int k, uint32_t id) { putU32(keyExtra[size_t(k)], 0, id); }
uint32_t ConfigImage::ledCode(int i) const { return getU32(ledState[size_t(i)], kLedCode); }
void ConfigImage::setLedCode(int i, uint32_t code) { putU32(ledState[size_t(i)], kLedCode, code); }
bool ConfigImage::macroInUse(int r) const { return getU32(macroLibrary[size_t(r)], 0) != 0; }
uint32_t ConfigImage::macroRecordId(int r) const { return getU32(macroLibrary[size_t(r)], 8); }

std::unique_ptr<ConfigImage> makeConfigImage() { return std::make_unique<ConfigImage>(); }

KeyTable defaultKeyTable() {
  KeyTable t{};
  // key index -> HID usage of the plain-key entries (code 0x00UU0001).
  static constexpr std::pair<int, uint8_t> kPlain[] = {
      {0, 0xE0},   {1, 0xE1},   {2, 0x39},   {3, 0x2B},   {4, 0x35},   {5, 0x29},   {6, 0xE3},
      {7, 0x1D},   {8, 0x04},   {9, 0x14},   {10, 0x1E},  {11, 0x3A},  {12, 0xE2},  {13, 0x1B},
      {14, 0x16},  {15, 0x1A},  {16, 0x1F},  {17, 0x3B},  {19, 0x06},  {20, 0x07},  {21, 0x08},
      {22, 0x20},  {23, 0x3C},  {25, 0x19},  {26, 0x09},  {27, 0x15},  {28, 0x21},  {29, 0x3D},
      {30, 0x2C},  {31, 0x05},  {32, 0x0A},  {33, 0x17},  {34, 0x22},  {35, 0x3E},  {37, 0x11},
      {38, 0x0B},  {39, 0x1C},  {40, 0x23},  {41, 0x3F},  {43, 0x10},  {44, 0x0D},  {45, 0x18},
      {46, 0x24},  {47, 0x40},  {48, 0xE6},  {49, 0x36},  {50, 0x0E},  {51, 0x0C},  {52, 0x25},
      {53, 0x41},  {54, 0xE7},  {55, 0x37},  {56, 0x0F},  {57, 0x12},  {58, 0x26},  {59, 0x42},
      {60, 0x65},  {61, 0x38},  {62, 0x33},  {63, 0x13},  {64, 0x27},  {65, 0x43},  {66, 0xE4},
      {67, 0xE5},  {68, 0x34},  {69, 0x2F},  {70, 0x2D},  {71, 0x44},  {74, 0x31},  {75, 0x30},
      {76, 0x2E},  {77, 0x45},  {81, 0x28},  {82, 0x2A},  {83, 0x46},  {84, 0x50},  {87, 0x4C},
      {88, 0x49},  {89, 0x47},  {90, 0x51},  {91, 0x52},  {93, 0x4D},  {94, 0x4A},  {95, 0x48},
      {96, 0x4F},  {99, 0x4E},  {100, 0x4B}, {102, 0x62}, {103, 0x59}, {104, 0x5C}, {105, 0x5F},
      {106, 0x53}, {109, 0x5A}, {110, 0x5D}, {111, 0x60}, {112, 0x54}, {114, 0x63}, {115, 0x5B},
      {116, 0x5E}, {117, 0x61}, {118, 0x55}, {120, 0x58}, {123, 0x57}, {124, 0x56},
  };
  for (auto [k, usage] : kPlain) t[size_t(k)] = keys::plainKey(usage);
  t[73] = 0x00640000;
  t[80] = 0x00320000;
  t[107] = 0x0001000E;
  t[113] = 0xE2000004;
  t[119] = 0x0000000E;
  t[125] = 0x4C200004;
  return t;
}

void initialiseDefaults(ConfigImage& image) { image.defaultKeyTable = defaultKeyTable(); }

void resetPerKeyLighting(ConfigImage& image) {
  for (int k = 0; k < kLightingKeys; ++k) {
    auto& r = image.perKeyLighting[size_t(k)];
    r.textKey.fill(0);
    r.ledCode = 0xFF;
    r.effectCode = 0;
    r.sendMode = 0;
    r.params.fill(0);
    r.colours.clear();
  }
}

void releaseColourLists(ConfigImage& image) {
  for (auto& r : image.perKeyLighting)
    if (r.effectCode >= 0xA9 && r.effectCode <= 0xAC) {
      r.colours.clear();
      r.colours.shrink_to_fit();
    }
}

bool isModified(const ConfigImage& image, int k) {
  return image.keyTable[size_t(k)] != image.defaultKeyTable[size_t(k)];
}

void restoreLedCodesFromMap(ConfigImage& image) {
  const auto& map = lighting::lightingKeyMap();
  for (int i = 0; i < kLedRecordCount; ++i) image.setLedCode(i, map[size_t(i)].ledCode);
}

bool restoreDefaults(ConfigImage& image, int currentProfile, const RestoreDefaultsHooks& hooks) {
  if (currentProfile >= 0 && currentProfile < kProfileCount)
    image.macroAssignment[size_t(currentProfile)].fill(0);
  for (int k = 0; k <= 112; ++k) image.setMacroId(k, 0);
  image.keyTable = image.defaultKeyTable;
  if (hooks.refreshAllKeys) hooks.refreshAllKeys();
  image.lightingMode = kModeSeven;
  for (auto& r : image.ledState) {
    std::fill_n(r.begin(), kLedZeroedBytes, 0);
    putU32(r, kLedSelected, 0);
  }
  if (hooks.refreshLightingPage) hooks.refreshLightingPage();
  image.editedLedCommand.fill(0);
  for (int k = 0; k < kLightingKeys; ++k) {
    auto& r = image.perKeyLighting[size_t(k)];
    r.ledCode = uint8_t(image.ledCode(k));
    r.effectCode = 0xAE;
    r.sendMode = 0;
    r.params[0] = 1;
    char text[32];
    std::snprintf(text, sizeof text, "%x_%d_%d", r.effectCode, r.sendMode, r.params[0]);
    r.setText(text);
  }
  return windows::postTo(kMainWindowTitle, msg::kStartApply, 0, 0);
}

}  // namespace orlix
