#include "platform/key_capture.h"

#include <array>

namespace orlix::platform::keycapture {

namespace {

// Windows virtual-key codes used below.
enum Vk : uint8_t {
  kVkCancel = 0x03, kVkBack = 0x08, kVkTab = 0x09, kVkClear = 0x0C, kVkReturn = 0x0D,
  kVkShift = 0x10, kVkControl = 0x11, kVkMenu = 0x12, kVkPause = 0x13, kVkCapital = 0x14,
  kVkEscape = 0x1B, kVkSpace = 0x20, kVkPrior = 0x21, kVkNext = 0x22, kVkEnd = 0x23, kVkHome = 0x24,
  kVkLeft = 0x25, kVkUp = 0x26, kVkRight = 0x27, kVkDown = 0x28, kVkSnapshot = 0x2C, kVkInsert = 0x2D,
  kVkDelete = 0x2E, kVkLWin = 0x5B, kVkRWin = 0x5C, kVkApps = 0x5D, kVkSleep = 0x5F,
  kVkNumpad0 = 0x60, kVkMultiply = 0x6A, kVkAdd = 0x6B, kVkSubtract = 0x6D, kVkDecimal = 0x6E,
  kVkDivide = 0x6F, kVkF1 = 0x70, kVkNumLock = 0x90, kVkScroll = 0x91,
  kVkLShift = 0xA0, kVkRShift = 0xA1, kVkLControl = 0xA2, kVkRControl = 0xA3, kVkLMenu = 0xA4, kVkRMenu = 0xA5,
  kVkBrowserBack = 0xA6, kVkBrowserForward = 0xA7, kVkBrowserRefresh = 0xA8, kVkBrowserStop = 0xA9,
  kVkBrowserSearch = 0xAA, kVkBrowserFavorites = 0xAB, kVkBrowserHome = 0xAC, kVkVolumeMute = 0xAD,
  kVkVolumeDown = 0xAE, kVkVolumeUp = 0xAF, kVkMediaNext = 0xB0, kVkMediaPrev = 0xB1, kVkMediaStop = 0xB2,
  kVkMediaPlayPause = 0xB3, kVkLaunchMail = 0xB4, kVkLaunchMedia = 0xB5, kVkLaunchApp1 = 0xB6,
  kVkLaunchApp2 = 0xB7, kVkOem1 = 0xBA, kVkOemPlus = 0xBB, kVkOemComma = 0xBC, kVkOemMinus = 0xBD,
  kVkOemPeriod = 0xBE, kVkOem2 = 0xBF, kVkOem3 = 0xC0, kVkOem4 = 0xDB, kVkOem5 = 0xDC, kVkOem6 = 0xDD,
  kVkOem7 = 0xDE, kVkOem102 = 0xE2,
};

struct KeyEntry {
  uint8_t vk = 0;
  bool extended = false;
};

constexpr uint16_t kMaxEvdev = 256;

constexpr std::array<KeyEntry, kMaxEvdev> buildEvdevTable() {
  std::array<KeyEntry, kMaxEvdev> t{};
  auto key = [&](uint16_t code, uint8_t vk) { t[code] = {vk, false}; };
  auto ext = [&](uint16_t code, uint8_t vk) { t[code] = {vk, true}; };
  key(1, kVkEscape);
  for (uint16_t d = 0; d < 9; ++d) key(uint16_t(2 + d), uint8_t('1' + d));  // KEY_1..KEY_9
  key(11, '0');
  key(12, kVkOemMinus);
  key(13, kVkOemPlus);
  key(14, kVkBack);
  key(15, kVkTab);
  const char* rowQ = "QWERTYUIOP";
  for (uint16_t i = 0; i < 10; ++i) key(uint16_t(16 + i), uint8_t(rowQ[i]));
  key(26, kVkOem4);  // [
  key(27, kVkOem6);  // ]
  key(28, kVkReturn);
  key(29, kVkLControl);
  const char* rowA = "ASDFGHJKL";
  for (uint16_t i = 0; i < 9; ++i) key(uint16_t(30 + i), uint8_t(rowA[i]));
  key(39, kVkOem1);  // ;
  key(40, kVkOem7);  // '
  key(41, kVkOem3);  // `
  key(42, kVkLShift);
  key(43, kVkOem5);  // backslash
  const char* rowZ = "ZXCVBNM";
  for (uint16_t i = 0; i < 7; ++i) key(uint16_t(44 + i), uint8_t(rowZ[i]));
  key(51, kVkOemComma);
  key(52, kVkOemPeriod);
  key(53, kVkOem2);  // /
  key(54, kVkRShift);
  key(55, kVkMultiply);
  key(56, kVkLMenu);
  key(57, kVkSpace);
  key(58, kVkCapital);
  for (uint16_t i = 0; i < 10; ++i) key(uint16_t(59 + i), uint8_t(kVkF1 + i));  // F1..F10
  ext(69, kVkNumLock);
  key(70, kVkScroll);
  // Keypad digits and dot with Num Lock on; vkFromEvdev swaps them when it is off.
  key(71, kVkNumpad0 + 7);
  key(72, kVkNumpad0 + 8);
  key(73, kVkNumpad0 + 9);
  key(74, kVkSubtract);
  key(75, kVkNumpad0 + 4);
  key(76, kVkNumpad0 + 5);
  key(77, kVkNumpad0 + 6);
  key(78, kVkAdd);
  key(79, kVkNumpad0 + 1);
  key(80, kVkNumpad0 + 2);
  key(81, kVkNumpad0 + 3);
  key(82, kVkNumpad0 + 0);
  key(83, kVkDecimal);
  key(86, kVkOem102);  // the key between Left Shift and Z on ISO keyboards
  key(87, kVkF1 + 10);
  key(88, kVkF1 + 11);
  ext(96, kVkReturn);  // keypad Enter
  ext(97, kVkRControl);
  ext(98, kVkDivide);
  ext(99, kVkSnapshot);
  ext(100, kVkRMenu);
  ext(102, kVkHome);
  ext(103, kVkUp);
  ext(104, kVkPrior);
  ext(105, kVkLeft);
  ext(106, kVkRight);
  ext(107, kVkEnd);
  ext(108, kVkDown);
  ext(109, kVkNext);
  ext(110, kVkInsert);
  ext(111, kVkDelete);
  ext(113, kVkVolumeMute);
  ext(114, kVkVolumeDown);
  ext(115, kVkVolumeUp);
  key(119, kVkPause);
  ext(125, kVkLWin);
  ext(126, kVkRWin);
  ext(127, kVkApps);  // the Menu key
  ext(128, kVkBrowserStop);
  ext(140, kVkLaunchApp2);  // calculator
  ext(142, kVkSleep);
  ext(155, kVkLaunchMail);
  ext(156, kVkBrowserFavorites);
  ext(157, kVkLaunchApp1);  // computer
  ext(158, kVkBrowserBack);
  ext(159, kVkBrowserForward);
  ext(163, kVkMediaNext);
  ext(164, kVkMediaPlayPause);
  ext(165, kVkMediaPrev);
  ext(166, kVkMediaStop);
  ext(172, kVkBrowserHome);
  ext(173, kVkBrowserRefresh);
  for (uint16_t i = 0; i < 12; ++i) key(uint16_t(183 + i), uint8_t(kVkF1 + 12 + i));  // F13..F24
  ext(217, kVkBrowserSearch);
  ext(226, kVkLaunchMedia);
  return t;
}
constexpr auto kEvdev = buildEvdevTable();
static_assert(kEvdev[194].vk == 0x87, "F24");

// Keypad keys with Num Lock off act as the navigation keys printed on them.
uint8_t keypadWithoutNumLock(uint16_t code) {
  switch (code) {
    case 71: return kVkHome;
    case 72: return kVkUp;
    case 73: return kVkPrior;
    case 75: return kVkLeft;
    case 76: return kVkClear;
    case 77: return kVkRight;
    case 79: return kVkEnd;
    case 80: return kVkDown;
    case 81: return kVkNext;
    case 82: return kVkInsert;
    case 83: return kVkDelete;
    default: return 0;
  }
}

bool isKeypadDigitOrDot(uint16_t code) { return keypadWithoutNumLock(code) != 0; }

// Printable Qt keys (Latin-1 values) on a US layout, shifted symbols on their key.
uint8_t vkFromQtCharacter(int key, bool keypad) {
  if (key >= 'a' && key <= 'z') key -= 'a' - 'A';
  if (key >= 'A' && key <= 'Z') return uint8_t(key);
  if (key >= '0' && key <= '9') return uint8_t(keypad ? kVkNumpad0 + (key - '0') : key);
  if (keypad) {
    switch (key) {
      case '*': return kVkMultiply;
      case '+': return kVkAdd;
      case '-': return kVkSubtract;
      case '.': case ',': return kVkDecimal;
      case '/': return kVkDivide;
      default: break;
    }
  }
  switch (key) {
    case ' ': return kVkSpace;
    case '!': return '1';
    case '@': return '2';
    case '#': return '3';
    case '$': return '4';
    case '%': return '5';
    case '^': return '6';
    case '&': return '7';
    case '*': return '8';
    case '(': return '9';
    case ')': return '0';
    case '-': case '_': return kVkOemMinus;
    case '=': case '+': return kVkOemPlus;
    case '[': case '{': return kVkOem4;
    case ']': case '}': return kVkOem6;
    case '\\': case '|': return kVkOem5;
    case ';': case ':': return kVkOem1;
    case '\'': case '"': return kVkOem7;
    case ',': case '<': return kVkOemComma;
    case '.': case '>': return kVkOemPeriod;
    case '/': case '?': return kVkOem2;
    case '`': case '~': return kVkOem3;
    default: return 0;
  }
}

bool isNavigationKey(int key) {
  return (key >= qt::kKeyInsert && key <= qt::kKeyDelete) || key == qt::kKeyClear ||
         (key >= qt::kKeyHome && key <= qt::kKeyPageDown);
}

uint8_t vkFromQtSpecial(int key) {
  namespace q = qt;
  if (key >= q::kKeyF1 && key <= q::kKeyF24) return uint8_t(kVkF1 + (key - q::kKeyF1));
  switch (key) {
    case q::kKeyEscape: return kVkEscape;
    case q::kKeyTab: case q::kKeyBacktab: return kVkTab;
    case q::kKeyBackspace: return kVkBack;
    case q::kKeyReturn: case q::kKeyEnter: return kVkReturn;
    // Keypad keys without Num Lock report these with the keypad modifier; the
    // virtual keys are the same as for the navigation block.
    case q::kKeyInsert: return kVkInsert;
    case q::kKeyDelete: return kVkDelete;
    case q::kKeyPause: return kVkPause;
    case q::kKeyPrint: case q::kKeySysReq: return kVkSnapshot;
    case q::kKeyClear: return kVkClear;
    case q::kKeyHome: return kVkHome;
    case q::kKeyEnd: return kVkEnd;
    case q::kKeyLeft: return kVkLeft;
    case q::kKeyUp: return kVkUp;
    case q::kKeyRight: return kVkRight;
    case q::kKeyDown: return kVkDown;
    case q::kKeyPageUp: return kVkPrior;
    case q::kKeyPageDown: return kVkNext;
    case q::kKeyShift: return kVkShift;
    case q::kKeyControl: return kVkControl;
    case q::kKeyAlt: return kVkMenu;
    case q::kKeyAltGr: return kVkRMenu;  // AltGr is the right Alt key by definition
    case q::kKeyMeta: case q::kKeySuperL: return kVkLWin;
    case q::kKeySuperR: return kVkRWin;
    case q::kKeyMenu: return kVkApps;
    case q::kKeyCapsLock: return kVkCapital;
    case q::kKeyNumLock: return kVkNumLock;
    case q::kKeyScrollLock: return kVkScroll;
    case q::kKeyBack: return kVkBrowserBack;
    case q::kKeyForward: return kVkBrowserForward;
    case q::kKeyStop: return kVkBrowserStop;
    case q::kKeyRefresh: return kVkBrowserRefresh;
    case q::kKeySearch: return kVkBrowserSearch;
    case q::kKeyFavorites: return kVkBrowserFavorites;
    case q::kKeyHomePage: return kVkBrowserHome;
    case q::kKeyVolumeMute: return kVkVolumeMute;
    case q::kKeyVolumeDown: return kVkVolumeDown;
    case q::kKeyVolumeUp: return kVkVolumeUp;
    case q::kKeyMediaNext: return kVkMediaNext;
    case q::kKeyMediaPrevious: return kVkMediaPrev;
    case q::kKeyMediaStop: return kVkMediaStop;
    case q::kKeyMediaPlay: case q::kKeyMediaTogglePlayPause: return kVkMediaPlayPause;
    case q::kKeyLaunchMail: return kVkLaunchMail;
    case q::kKeyLaunchMedia: return kVkLaunchMedia;
    case q::kKeyLaunch0: return kVkLaunchApp1;
    case q::kKeyLaunch1: case q::kKeyCalculator: return kVkLaunchApp2;
    case q::kKeySleep: return kVkSleep;
    case q::kKeyCancel: return kVkCancel;
    default: return 0;
  }
}

}  // namespace

uint8_t vkFromEvdev(uint16_t code, bool numLock) {
  if (code >= kMaxEvdev) return 0;
  if (!numLock && isKeypadDigitOrDot(code)) return keypadWithoutNumLock(code);
  return kEvdev[code].vk;
}

uint8_t vkFromX11Keycode(uint32_t keycode, bool numLock) {
  if (keycode < 8 || keycode - 8 >= kMaxEvdev) return 0;
  return vkFromEvdev(uint16_t(keycode - 8), numLock);
}

bool isExtendedKey(uint16_t code) { return code < kMaxEvdev && kEvdev[code].extended; }

uint32_t hookFlags(uint16_t evdevCode, bool release, bool altDown) {
  uint32_t f = 0;
  if (isExtendedKey(evdevCode)) f |= kFlagExtended;
  if (altDown) f |= kFlagAltDown;
  if (release) f |= kFlagRelease;
  return f;
}

uint8_t vkFromQtKey(int qtKey, int qtModifiers, uint32_t nativeScanCode) {
  bool keypad = (qtModifiers & qt::kKeypadModifier) != 0;
  if (nativeScanCode >= 8 && nativeScanCode - 8 < kMaxEvdev) {
    auto code = uint16_t(nativeScanCode - 8);
    // A keypad digit key reports a digit with Num Lock on and a navigation key without.
    bool numLock = !(isKeypadDigitOrDot(code) && isNavigationKey(qtKey));
    if (uint8_t vk = vkFromEvdev(code, numLock)) return vk;
  }
  if (qtKey > 0 && qtKey < 0x100) return vkFromQtCharacter(qtKey, keypad);
  return vkFromQtSpecial(qtKey);
}

}  // namespace orlix::platform::keycapture
