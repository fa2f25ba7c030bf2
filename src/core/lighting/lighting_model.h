#pragma once
// The lighting model: the commands of the six effects, the LED state record
// fields, build-and-send of an effect page, the slot key exclusion, the replay
// of the effect slots, the LED group commands of an apply, and what the lighting
// page does around an effect page (selection recount, commit on return).

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "core/config/config_image.h"

namespace orlix {
class DriverChannel;
class MessageTarget;
}  // namespace orlix

namespace orlix::lighting {

// Effect codes (byte 0 of a lighting command).
inline constexpr uint8_t kWave = 0xA9;
inline constexpr uint8_t kBreathing = 0xAA;
inline constexpr uint8_t kSingle = 0xAB;
inline constexpr uint8_t kAlwaysOn = 0xAC;
inline constexpr uint8_t kStrength = 0xAD;
inline constexpr uint8_t kSevenColour = 0xAE;

// Send modes (byte 1): built by an effect page's OK or by its Apply button.
inline constexpr uint8_t kSendOk = 0;
inline constexpr uint8_t kSendApply = 5;

// Value of the always-on mark field (kLedAlwaysOnMark in config_image.h).
inline constexpr uint32_t kAlwaysOnMarkValue = 6;

// Effect slot of strength; the exclusion never touches it.
inline constexpr int kStrengthSlot = 2;
// Effect slots of the wave, by direction type.
int waveSlot(uint8_t direction);  // -1 for a direction type that does not exist

// Header length of an effect's page command (count byte at header - 1); 0 for
// an unknown effect code.
uint32_t headerLength(uint8_t effect);

// A colour 0x00BBGGRR (red in the lowest byte).
constexpr uint32_t rgb(uint8_t r, uint8_t g, uint8_t b) { return r | (uint32_t(g) << 8) | (uint32_t(b) << 16); }
constexpr uint8_t red(uint32_t c) { return uint8_t(c); }
constexpr uint8_t green(uint32_t c) { return uint8_t(c >> 8); }
constexpr uint8_t blue(uint32_t c) { return uint8_t(c >> 16); }

// What an effect page sends: its effect, send mode and settings.
struct EffectSettings {
  uint8_t effect = kSevenColour;
  uint8_t sendMode = kSendOk;
  uint32_t colour1 = 0;  // always-on: its one colour
  uint32_t colour2 = 0;
  uint8_t speed = 1;      // breathing 3..30, single 1..10, wave 1..30
  uint8_t option = 2;     // seven-colour: 1 or 2
  uint8_t level = 0;      // strength: 0..6
  uint8_t direction = 3;  // wave: 1, 2, 3, 5 or 6
};

// The settings an effect page starts with. The strength page starts at the
// level of the stored strength command (byte 2 of slot 2; 0 while it is empty).
EffectSettings pageDefaults(uint8_t effect, const ConfigImage& image);
// The effect slot a command of these settings goes to; -1 for settings that
// name no slot (an unknown effect, direction or option).
int effectSlot(const EffectSettings& s);

// A page command: the 256-byte LED command block, its total and header length.
struct PageCommand {
  LightingCommand block{};
  uint32_t total = 0;
  uint32_t header = 0;
};
// The page command of these settings with the given key list (LED codes in
// lighting key map order; strength has no key list). Keys beyond the block's
// room are left out.
PageCommand buildPageCommand(const EffectSettings& s, std::span<const uint8_t> ledCodes);

struct BuildResult {
  bool sent = false;    // the main window was there: slot stored, messages posted
  uint32_t length = 0;  // L, the total length of the command
  int slot = -1;
};
// Build and send of an effect page: builds the command from the settings and
// the LED state records' selected fields into the image's LED command block,
// updates the LED state and per-key lighting records, and, when the main window
// exists, stores the command in its effect slot and posts 0x451 to lightingPage
// (when given) and then 0x706 (0, L) to the main window. Settings that name no
// effect slot change nothing and give an unsent result.
BuildResult buildAndSend(ConfigImage& image, const EffectSettings& s, MessageTarget* lightingPage);

// Message 0x451 with slot a: removes the keys of slot a from every other slot
// but strength's (a wave zeroes every other slot but strength's first).
void slotKeyExclusion(ConfigImage& image, int slot);

// The commands a replay (0x706 with wParam 1) transfers, in order.
std::vector<std::vector<uint8_t>> replayCommands(const ConfigImage& image);

// The LED group commands of an apply, built from per-key lighting records 0..111.
std::vector<std::vector<uint8_t>> buildLedGroupCommands(const ConfigImage& image);

// The sending part of message 0x706: wParam 0 transfers the first lParam bytes
// of the LED command block, 1 replays the effect slots, 2 transfers every LED
// group command followed by one 0 byte. Transfer results are not examined.
void sendLighting(DriverChannel& channel, const ConfigImage& image, uintptr_t wParam, intptr_t lParam);

// Selection recount of the lighting page (message 0x450): copies the 113 light
// buttons' selected states into the LED state records and sets the key
// selection flag. Returns the number of selected buttons.
int selectionRecount(ConfigImage& image, const std::array<bool, kLedRecordCount>& selected);

// Effect buttons of the lighting page, in their order.
enum EffectButton { kButtonSeven = 0, kButtonStrength, kButtonWave, kButtonBreathing, kButtonSingle, kButtonAlwaysOn };
uint8_t effectOfButton(int button);
// What the lighting page does when effect page `button` returns (ok = closed
// with OK): commits the effect on the selected keys and sets the lighting mode.
void afterEffectPage(ConfigImage& image, int button, bool ok);

// The per-key lighting record's text key for these settings, e.g. ac_0_0_1_255_200_0.
std::string textKeyFor(const EffectSettings& s);

}  // namespace orlix::lighting
