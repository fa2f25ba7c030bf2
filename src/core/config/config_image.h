#pragma once
// The configuration image: the complete in-memory configuration of the current
// profile as fixed-size tables. The profile files are byte images of most of
// these tables, so every record whose layout reaches a file is raw bytes with
// named offsets; nothing here is ever written as a packed struct.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/keys/key_codes.h"
#include "core/lighting/lighting_key_map.h"

namespace orlix {

inline constexpr int kKeyCount = keys::kKeyCount;  // 181
inline constexpr int kProfileCount = 5;
inline constexpr int kLedRecordCount = lighting::kLightingKeyCount;  // 113
inline constexpr int kLightingKeys = lighting::kRealLightingKeys;    // 112
inline constexpr int kMacroRecordCount = 500;
inline constexpr int kMacroSlotCount = 50;
inline constexpr int kEffectSlotCount = 11;

inline constexpr size_t kKeyExtraSize = 520;
inline constexpr size_t kActionTextChars = 260;  // buffer, NUL included
inline constexpr size_t kLedStateSize = 116;
inline constexpr size_t kMacroRecordSize = 4104;
inline constexpr size_t kLightingCommandSize = 256;
inline constexpr size_t kTextKeySize = 256;

// Fields of an LED state record (32-bit little-endian values), for this layer
// and the lighting model alike.
inline constexpr size_t kLedColour1 = 0;
inline constexpr size_t kLedColour2 = 4;
inline constexpr size_t kLedCommittedColour = 48;  // colour 1 copied when single/always-on close with OK
inline constexpr size_t kLedCommittedEffect = 96;  // effect committed for the key
inline constexpr size_t kLedCommittedEffectCopy = 100;
inline constexpr size_t kLedCode = 104;
inline constexpr size_t kLedSelected = 108;
inline constexpr size_t kLedAlwaysOnMark = 112;  // 6 once always-on lit the key
inline constexpr size_t kLedZeroedBytes = 96;    // bytes 0..95: what restore defaults and the zeroing rule clear

using KeyTable = std::array<uint32_t, kKeyCount>;
using KeyExtraRecord = std::array<uint8_t, kKeyExtraSize>;
using LedStateRecord = std::array<uint8_t, kLedStateSize>;
using MacroRecord = std::array<uint8_t, kMacroRecordSize>;
using LightingCommand = std::array<uint8_t, kLightingCommandSize>;

static_assert(sizeof(KeyTable) == 724);
static_assert(sizeof(KeyExtraRecord) * kKeyCount == 94120);
static_assert(sizeof(LedStateRecord) * kLedRecordCount == 13108);
static_assert(sizeof(MacroRecord) * kMacroRecordCount == 2052000);

// A key's lighting for the per-key effects, in memory form. Records with equal
// text keys carry equal effect settings.
struct PerKeyLightingRecord {
  std::array<char, kTextKeySize> textKey{};  // NUL-terminated ASCII, "" = no per-key effect
  uint8_t ledCode = 0;
  uint8_t effectCode = 0;  // 0xA9..0xAE, 0 = none
  uint8_t sendMode = 0;    // 0 or 5
  std::array<uint8_t, 4> params{};
  // colour-count entries of 4 bytes; empty when the effect has none.
  std::vector<std::array<uint8_t, 4>> colours;

  std::string text() const;
  void setText(const std::string& s);  // cut to 255 characters
};

struct EffectSlot {
  LightingCommand bytes{};
  uint32_t totalLength = 0;
  uint32_t headerLength = 0;
};

// The profile table: five records of 1740 bytes (their layout belongs to the
// profile files) and the index of the current profile, whose record is the
// current record.
inline constexpr size_t kProfileRecordSize = 1740;
using ProfileRecord = std::array<uint8_t, kProfileRecordSize>;
struct ProfileTable {
  std::array<ProfileRecord, kProfileCount> records{};
  int current = 0;  // 0..4
};
static_assert(sizeof(ProfileRecord) * kProfileCount == 8700);

struct MacroSlotEntry {
  uint32_t macroId = 0;  // 0 = slot free
  uint8_t slot = 0;
};

// Lighting modes (the effect page last applied).
enum LightingMode : uint32_t {
  kModeSeven = 1,
  kModeStrength = 2,
  kModeWave = 3,
  kModeBreathing = 4,
  kModeSingle = 5,
  kModeAlways = 6,
};

struct ConfigImage {
  KeyTable keyTable{};
  KeyTable defaultKeyTable{};
  std::array<KeyExtraRecord, kKeyCount> keyExtra{};
  std::array<std::array<uint32_t, kKeyCount>, kProfileCount> macroAssignment{};
  std::array<LedStateRecord, kLedRecordCount> ledState{};
  std::array<PerKeyLightingRecord, kLedRecordCount> perKeyLighting{};
  uint32_t waveExtraLength = 0;
  LightingCommand waveExtra{};
  uint32_t lightingMode = 0;
  std::array<EffectSlot, kEffectSlotCount> effectSlots{};
  std::array<MacroRecord, kMacroRecordCount> macroLibrary{};
  std::array<MacroSlotEntry, kMacroSlotCount> macroSlotMap{};
  // The LED command block being edited by an effect page, and its length.
  LightingCommand editedLedCommand{};
  std::vector<std::vector<uint8_t>> ledGroupCommands;
  ProfileTable profiles;
  // Key selection flag of the lighting page: 1 when the last selection recount
  // found between 1 and 112 keys selected, 0 when it found none.
  uint32_t keySelectionFlag = 0;

  // Action text of key k (UTF-16, at most 259 characters).
  std::u16string actionText(int k) const;
  // Zeroes the record's first 4 bytes, then stores text cut to 259 characters.
  void setActionText(int k, std::u16string_view text);
  uint32_t macroId(int k) const;
  void setMacroId(int k, uint32_t id);
  uint32_t ledCode(int i) const;
  void setLedCode(int i, uint32_t code);
  // The two fields of a macro record the apply relies on.
  bool macroInUse(int r) const;
  uint32_t macroRecordId(int r) const;
};

// The image is large (about 2.2 MB); it lives on the heap.
std::unique_ptr<ConfigImage> makeConfigImage();

// The default key table of the keyboard.
KeyTable defaultKeyTable();

// Start-up: builds the default key table into the image.
void initialiseDefaults(ConfigImage& image);
// Start-up reset of per-key lighting records 0..111.
void resetPerKeyLighting(ConfigImage& image);
// At close: releases the colour lists of effects 0xA9..0xAC.
void releaseColourLists(ConfigImage& image);
// True when key k's code differs from its default as a whole 32-bit value.
bool isModified(const ConfigImage& image, int k);
// After a profile load: LED codes of the LED state records from the lighting key map.
void restoreLedCodesFromMap(ConfigImage& image);

// Windows refreshed by restore defaults, when they exist.
struct RestoreDefaultsHooks {
  std::function<void()> refreshAllKeys;      // keyboard page
  std::function<void()> refreshLightingPage; // lighting page
};

// Restore defaults for the current profile (0..4): keys, lighting and macro
// bindings back to their defaults, then posts 0x705 to the main window (found by
// its title) to start an apply. Returns whether the main window was found.
bool restoreDefaults(ConfigImage& image, int currentProfile, const RestoreDefaultsHooks& hooks);

}  // namespace orlix
