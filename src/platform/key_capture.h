#pragma once
// Key capture translation: the key events the program sees on Linux (evdev key
// codes, X11 keycodes, Qt key values) turned into the Windows virtual-key codes
// and flags that the capture message 0x40A carries. Modifiers are side-specific
// (0xA0..0xA5, 0x5B, 0x5C) wherever the key code tells the side, side-neutral
// (0x10, 0x11, 0x12) where only a Qt key value is known. Qt values are plain
// ints here so this layer needs no Qt header.

#include <cstdint>

namespace orlix::platform::keycapture {

// Hook message flags.
inline constexpr uint32_t kFlagExtended = 0x01;
inline constexpr uint32_t kFlagAltDown = 0x20;
inline constexpr uint32_t kFlagRelease = 0x80;

// Linux evdev key code -> virtual-key code; 0 for keys without one. Keypad
// keys give VK_NUMPAD0..9 and VK_DECIMAL with Num Lock on, the navigation keys
// with it off.
uint8_t vkFromEvdev(uint16_t code, bool numLock = true);

// X11 keycode (evdev + 8), which Qt reports as the native scan code on xcb
// and Wayland. 0 for keycodes below 8 and keys without a virtual key.
uint8_t vkFromX11Keycode(uint32_t keycode, bool numLock = true);

// True for the keys Windows marks extended (their scan codes carry E0).
bool isExtendedKey(uint16_t evdevCode);

// The lParam flags of a capture message.
uint32_t hookFlags(uint16_t evdevCode, bool release, bool altDown);

// Qt key values and the keypad modifier, as Qt defines them.
namespace qt {
inline constexpr int kKeyEscape = 0x01000000, kKeyTab = 0x01000001, kKeyBacktab = 0x01000002,
                     kKeyBackspace = 0x01000003, kKeyReturn = 0x01000004, kKeyEnter = 0x01000005,
                     kKeyInsert = 0x01000006, kKeyDelete = 0x01000007, kKeyPause = 0x01000008,
                     kKeyPrint = 0x01000009, kKeySysReq = 0x0100000A, kKeyClear = 0x0100000B,
                     kKeyHome = 0x01000010, kKeyEnd = 0x01000011, kKeyLeft = 0x01000012, kKeyUp = 0x01000013,
                     kKeyRight = 0x01000014, kKeyDown = 0x01000015, kKeyPageUp = 0x01000016,
                     kKeyPageDown = 0x01000017, kKeyShift = 0x01000020, kKeyControl = 0x01000021,
                     kKeyMeta = 0x01000022, kKeyAlt = 0x01000023, kKeyCapsLock = 0x01000024,
                     kKeyNumLock = 0x01000025, kKeyScrollLock = 0x01000026, kKeyF1 = 0x01000030,
                     kKeyF24 = 0x01000047, kKeySuperL = 0x01000053, kKeySuperR = 0x01000054,
                     kKeyMenu = 0x01000055, kKeyBack = 0x01000061, kKeyForward = 0x01000062,
                     kKeyStop = 0x01000063, kKeyRefresh = 0x01000064, kKeyVolumeDown = 0x01000070,
                     kKeyVolumeMute = 0x01000071, kKeyVolumeUp = 0x01000072, kKeyMediaPlay = 0x01000080,
                     kKeyMediaStop = 0x01000081, kKeyMediaPrevious = 0x01000082, kKeyMediaNext = 0x01000083,
                     kKeyMediaTogglePlayPause = 0x01000086, kKeyHomePage = 0x01000090,
                     kKeyFavorites = 0x01000091, kKeySearch = 0x01000092, kKeyLaunchMail = 0x010000A0,
                     kKeyLaunchMedia = 0x010000A1, kKeyLaunch0 = 0x010000A2, kKeyLaunch1 = 0x010000A3,
                     kKeyCalculator = 0x010000CB, kKeyAltGr = 0x01001103, kKeyCancel = 0x01020001,
                     kKeySleep = 0x01020004;
inline constexpr int kKeypadModifier = 0x20000000;
}  // namespace qt

// The virtual key of a Qt key event. A native scan code that names a key
// decides (sides of modifiers, keypad with Num Lock told by the Qt key);
// otherwise the Qt key value does, as typed on a US layout, with modifiers
// side-neutral. 0 when neither names a key.
uint8_t vkFromQtKey(int qtKey, int qtModifiers, uint32_t nativeScanCode);

}  // namespace orlix::platform::keycapture
