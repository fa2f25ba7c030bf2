#include "core/keys/key_names.h"

#include <array>
#include <string>

#include "core/config/config_image.h"
#include "core/keys/key_codes.h"
#include "core/keys/usage_map.h"
#include "core/localization/language_strings.h"
#include "core/macros/macro_record.h"
#include "core/util/bytes.h"
#include "core/util/utf8_utf16.h"

namespace orlix::keys {

using localization::StringKey;

namespace {

constexpr KeyNameRow kKeyNames[] = {
    {0x51, u"Q"}, {0x57, u"W"}, {0x45, u"E"}, {0x52, u"R"}, {0x54, u"T"}, {0x59, u"Y"},
    {0x55, u"U"}, {0x49, u"I"}, {0x4F, u"O"}, {0x50, u"P"}, {0x41, u"A"}, {0x53, u"S"},
    {0x44, u"D"}, {0x46, u"F"}, {0x47, u"G"}, {0x48, u"H"}, {0x4A, u"J"}, {0x4B, u"K"},
    {0x4C, u"L"}, {0x5A, u"Z"}, {0x58, u"X"}, {0x43, u"C"}, {0x56, u"V"}, {0x42, u"B"},
    {0x4E, u"N"}, {0x4D, u"M"}, {0xC0, u"~"},
    {0x31, u"1"}, {0x32, u"2"}, {0x33, u"3"}, {0x34, u"4"}, {0x35, u"5"}, {0x36, u"6"},
    {0x37, u"7"}, {0x38, u"8"}, {0x39, u"9"}, {0x30, u"0"},
    {0xBD, u"-"}, {0xBB, u"="}, {0x08, u"Backspace"}, {0xDC, u"|"}, {0xDB, u"["}, {0xDD, u"]"},
    {0xBA, u";"}, {0xDE, u"'"}, {0x0D, u"Enter"}, {0xBC, u"<"}, {0xBE, u">"}, {0xBF, u"?"},
    {0x09, u"Tab"}, {0x14, u"Cap"}, {0xA0, u"L_Shift"}, {0xA2, u"L_Ctrl"}, {0xA4, u"L_Alt"},
    {0x5B, u"L_Win"}, {0xA1, u"R_Shift"}, {0xA3, u"R_Ctrl"}, {0xA5, u"R_Alt"}, {0x5C, u"R_Win"},
    {0x20, u"Space"}, {0x1B, u"ESC"},
    {0x70, u"F1"}, {0x71, u"F2"}, {0x72, u"F3"}, {0x73, u"F4"}, {0x74, u"F5"}, {0x75, u"F6"},
    {0x76, u"F7"}, {0x77, u"F8"}, {0x78, u"F9"}, {0x79, u"F10"}, {0x7A, u"F11"}, {0x7B, u"F12"},
    {0x61, u"NUM 1"}, {0x62, u"NUM 2"}, {0x63, u"NUM 3"}, {0x64, u"NUM 4"}, {0x65, u"NUM 5"},
    {0x66, u"NUM 6"}, {0x67, u"NUM 7"}, {0x68, u"NUM 8"}, {0x69, u"NUM 9"}, {0x60, u"NUM 0"},
    {0x6D, u"NUM -"}, {0x6B, u"NUM +"}, {0x6A, u"NUM *"}, {0x6F, u"NUM /"}, {0x6C, u"NUM Enter"},
    {0x6E, u"NUM Del"}, {0x90, u"NUM Lock"}, {0x2A, u"Print"}, {0x91, u"Scroll"}, {0x13, u"Pause"},
    {0x2D, u"Insert"}, {0x24, u"Home"}, {0x2E, u"Delete"}, {0x23, u"End"}, {0x21, u"Page Up"},
    {0x22, u"Page Down"}, {0x26, u"UP"}, {0x28, u"DOWN"}, {0x25, u"LEFT"}, {0x27, u"RIGHT"},
    {0x01, u"Left Button"}, {0x02, u"Right Button"}, {0x04, u"Middle Button"},
};

// Virtual-key codes with a fixed display name; the rest are named by the layout.
std::u16string_view fixedVkName(unsigned vk, bool& fixed) {
  fixed = true;
  static constexpr std::array<std::u16string_view, 10> kPad = {u"(0)", u"(1)", u"(2)", u"(3)", u"(4)",
                                                                u"(5)", u"(6)", u"(7)", u"(8)", u"(9)"};
  static constexpr std::array<std::u16string_view, 12> kF = {u"F1", u"F2", u"F3", u"F4",  u"F5",  u"F6",
                                                              u"F7", u"F8", u"F9", u"F10", u"F11", u"F12"};
  if (vk >= 0x60 && vk <= 0x69) return kPad[vk - 0x60];
  if (vk >= 0x70 && vk <= 0x7B) return kF[vk - 0x70];
  switch (vk) {
    case 0x00: case 0xFF: return u"";
    case 0x08: return u"Backspace";
    case 0x09: return u"Tab";
    case 0x0C: return u"Clr";
    case 0x0D: case 0x2B: return u"Enter";
    case 0x10: return u"Shift";
    case 0x11: return u"Ctrl";
    case 0x12: return u"Alt";
    case 0x13: return u"Pause";
    case 0x14: return u"CapsLock";
    case 0x1B: return u"Esc";
    case 0x20: return u"Space";
    case 0x21: return u"PageUp";
    case 0x22: return u"PageDown";
    case 0x23: return u"End";
    case 0x24: return u"Home";
    case 0x25: return u"Left";
    case 0x26: return u"Up";
    case 0x27: return u"Right";
    case 0x28: return u"Down";
    case 0x29: return u"Select";
    case 0x2A: return u"Print";
    case 0x2C: return u"PrtSc SysRq";
    case 0x2D: return u"Insert";
    case 0x2E: return u"Delete";
    case 0x2F: return u"Help";
    case 0x5B: return u"LWin";
    case 0x5C: return u"RWin";
    case 0x5D: return u"App";
    case 0x6A: return u"(*)";
    case 0x6B: return u"(+)";
    case 0x6C: return u"\\";
    case 0x6D: return u"(-)";
    case 0x6E: return u"(.)";
    case 0x6F: return u"(/)";
    case 0x90: return u"Numlock";
    case 0x91: return u"Scroll Lock";
    case 0xA0: return u"LShift";
    case 0xA1: return u"RShift";
    case 0xA2: return u"LCtrl";
    case 0xA3: return u"RCtrl";
    case 0xA4: return u"LAlt";
    case 0xA5: return u"RAlt";
    case 0xC1: return u"LButton";
    case 0xC2: return u"RButton";
    case 0xC3: return u"MButton";
    default:
      fixed = false;
      return u"";
  }
}

// The fixed-text shortcuts of combination codes, matched on the whole code.
struct Shortcut {
  uint8_t vk;
  uint8_t mask;
  std::u16string_view text;  // empty: the language text of key
  StringKey key;
};
constexpr Shortcut kShortcuts[] = {
    {0x73, kModAlt, u"", StringKey::str_close},
    {0x4C, kModWin, u"", StringKey::str_lock},
    {0x52, kModWin, u"", StringKey::str_run},
    {0x44, kModWin, u"Win+D", StringKey::str_close},
    {0x4D, kModWin, u"Win+M", StringKey::str_close},
    {0x51, kModWin, u"Win+Q", StringKey::str_close},
    {0x6B, kModWin, u"放大屏幕", StringKey::str_close},
    {0x6D, kModWin, u"缩小屏幕", StringKey::str_close},
    {0x58, kModCtrl, u"", StringKey::str_cut},
    {0x43, kModCtrl, u"", StringKey::str_copy},
    {0x56, kModCtrl, u"", StringKey::str_past},
    {0x41, kModCtrl, u"", StringKey::str_all},
    {0x46, kModCtrl, u"", StringKey::str_find},
    {0x4E, kModCtrl, u"Ctrl+N", StringKey::str_close},
    {0x50, kModCtrl, u"Ctrl+P", StringKey::str_close},
    {0x53, kModCtrl, u"Ctrl+S", StringKey::str_close},
    {0x5A, kModCtrl, u"Ctrl+Z", StringKey::str_close},
};

struct ConsumerText {
  uint8_t b2, b3;
  std::u16string_view text;  // empty: the language text of key
  StringKey key;
};
constexpr ConsumerText kConsumer[] = {
    {0xE2, 0x00, u"", StringKey::str_mute},     {0x02, 0x21, u"搜索", StringKey::str_mute},
    {0x02, 0x23, u"主页", StringKey::str_mute}, {0x02, 0x24, u"", StringKey::str_back},
    {0x02, 0x25, u"前进", StringKey::str_mute}, {0x02, 0x27, u"刷新", StringKey::str_mute},
    {0x01, 0x83, u"播放器", StringKey::str_mute}, {0x01, 0x8A, u"邮件", StringKey::str_mute},
    {0x01, 0x94, u"浏览器", StringKey::str_mute}, {0x00, 0xB5, u"下一首", StringKey::str_mute},
    {0x00, 0xB6, u"上一首", StringKey::str_mute}, {0x00, 0xB7, u"停止", StringKey::str_mute},
    {0x00, 0xCD, u"播放", StringKey::str_mute}, {0x00, 0xE2, u"静音", StringKey::str_mute},
    {0x00, 0xE9, u"音量加大", StringKey::str_mute}, {0x00, 0xEA, u"音量减小", StringKey::str_mute},
};

}  // namespace

std::span<const KeyNameRow> keyNameTable() { return kKeyNames; }

std::u16string keyName(uint8_t code) {
  for (const auto& row : kKeyNames)
    if (row.vk == code) return std::u16string(row.name);
  return {};
}

std::u16string virtualKeyName(unsigned vk, KeyboardLayout& layout) {
  bool fixed;
  std::u16string_view name = fixedVkName(vk, fixed);
  if (fixed || vk > 0xFF) return std::u16string(name);
  char32_t c = layout.characterOf(uint8_t(vk));
  // The character itself, a lower-case letter shown in upper case. (Cut to a
  // byte, as an 8-bit character API would, a Cyrillic or Greek letter would
  // turn into an unrelated Latin-1 one, so the full character is kept.)
  if (c >= U'a' && c <= U'z') c = c - U'a' + U'A';
  if (c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return {};
  std::u16string out;
  appendUtf16(out, c);
  return out;
}

std::u16string describeCode(uint32_t code, const ConfigImage& image, std::span<const uint8_t> extra,
                            KeyboardLayout& layout, const localization::LanguageStrings& strings) {
  const uint8_t b0 = uint8_t(code), b1 = uint8_t(code >> 8), b2 = uint8_t(code >> 16), b3 = uint8_t(code >> 24);
  switch (b0) {
    case kTypePlainKey2:
    case kTypePlainKey:
      if (b1 != 0) return {};
      switch (b2) {
        case kMouseLeft: return b3 == 1 ? u"双击" : u"单击";
        case kMouseRight: return u"右击";
        case kMouseMiddle: return u"中键";
        case kMouseForward: return u"前进";
        case kMouseBack: return u"后退";
        default:
          if (b2 >= 0xF5 && b2 <= 0xFA) return {};
          return virtualKeyName(usageToVk(b2), layout);
      }
    case kTypeCombination: {
      for (const auto& s : kShortcuts) {
        if (code == combination(s.mask, vkToUsage(s.vk)))
          return s.text.empty() ? strings.text(s.key) : std::u16string(s.text);
      }
      std::u16string text;
      auto add = [&](std::u16string_view word) {
        if (!text.empty()) text += u" + ";
        text += word;
      };
      if (b2 & kModShift) add(u"Shift");
      if (b2 & kModCtrl) add(u"Ctrl");
      if (b2 & kModAlt) add(u"Alt");
      if (b2 & kModWin) add(u"Win");
      add(virtualKeyName(usageToVk(b3), layout));
      return text;
    }
    case kTypeHostFunction:
      if ((b3 & 0xF0) != 0xC0) return {};
      if ((b3 & 0x0F) == 5) return strings.text(StringKey::str_advanced_dir);
      if ((b3 & 0x0F) == 8) return strings.text(StringKey::str_advanced_web);
      return {};
    case kTypeConsumer:
      for (const auto& c : kConsumer)
        if (c.b2 == b2 && c.b3 == b3) return c.text.empty() ? strings.text(c.key) : std::u16string(c.text);
      return {};
    case kTypeMacro: {
      if (extra.size() < 4) return {};
      uint32_t id = getU32(extra, 0);
      for (int r = 0; r < kMacroRecordCount; ++r)
        if (image.macroRecordId(r) == id) return macros::recordName(image.macroLibrary[size_t(r)]);
      return {};
    }
    case kTypeDisabled:
      return strings.text(StringKey::str_disable);
    case kTypeLighting:
      if (b2 == 1) return u"灯光效果";
      if (b2 == 2) return u"灯光等级";
      return {};
    default:
      return {};
  }
}

std::u16string functionDescription(const ConfigImage& image, int k, KeyboardLayout& layout,
                                   const localization::LanguageStrings& strings) {
  if (k < 0 || k >= kKeyCount) return {};
  return describeCode(image.keyTable[size_t(k)], image, image.keyExtra[size_t(k)], layout, strings);
}

}  // namespace orlix::keys
