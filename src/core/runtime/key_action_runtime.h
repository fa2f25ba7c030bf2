#pragma once
// The key action runtime: carries out the host functions whose key presses the
// keyboard reports (message 0x7EB), using the action text of the key's extra
// record in the current configuration.

#include <cstdint>
#include <string>
#include <vector>

#include "core/config/config_image.h"
#include "core/runtime/host_actions.h"

namespace orlix::runtime {

// Host function subtypes.
inline constexpr int kOpen = 2;
inline constexpr int kSound = 3;
inline constexpr int kOpenFile = 4;
inline constexpr int kOpenFolder = 5;
inline constexpr int kOpenWeb = 8;
inline constexpr int kShotDesktop = 9;
inline constexpr int kShotWindow = 10;
inline constexpr int kShotRegion = 11;

// The screenshot tool, started by bare name (program folder first, then PATH).
inline constexpr const char* kScreenGrabProgram = "ScreenGrab";

// Bits of a key event word.
constexpr bool isHostEvent(uint32_t w) { return (w & 0xC000) == 0xC000; }
constexpr int subtypeOf(uint32_t w) { return int((w >> 8) & 0xF); }
constexpr int keyIndexOf(uint32_t w) { return int(w & 0xFF); }

// Handles one key event word; always returns 1. Events without both bits 15..14
// set, subtypes without an action, key indexes above 180 and empty action texts
// are ignored.
int onKeyEvent(const ConfigImage& image, HostActions& host, uint32_t word);

// A key whose code is a host function this runtime carries out.
struct HostFunctionKey {
  int keyIndex;
  int subtype;
  std::u16string text;  // the action text (empty for the screenshot subtypes)
};
// Every key of the key table with a host function code (type 3, byte 3 0xC0 | s)
// whose subtype has an action, in key index order. A profile brings them: the
// user is told of them when a configuration is imported.
std::vector<HostFunctionKey> hostFunctionKeys(const ConfigImage& image);
// One line for people: "key 9 (Q): open /home/u/notes.txt".
std::string describe(const HostFunctionKey& key);

}  // namespace orlix::runtime
