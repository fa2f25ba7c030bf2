#include "core/keys/key_index.h"

#include <array>
#include <cctype>
#include <charconv>

#include "core/keys/key_codes.h"

namespace orlix::keys {

namespace {
const KeyIndexInfo kNone{"", "", false};

// The keyboard in key index order, six indexes to a row.
const std::array<KeyIndexInfo, 126> kKeys{{
    {"Left Ctrl", "lctrl", true}, {"Left Shift", "lshift", true}, {"Caps Lock", "capslock", true},
    {"Tab", "tab", true}, {"` ~", "grave", true}, {"Esc", "esc", true},
    {"Left Win", "lwin", true}, {"Z", "z", true}, {"A", "a", true},
    {"Q", "q", true}, {"1", "1", true}, {"F1", "f1", true},
    {"Left Alt", "lalt", true}, {"X", "x", true}, {"S", "s", true},
    {"W", "w", true}, {"2", "2", true}, {"F2", "f2", true},
    {"left column key 1", "g1", true}, {"C", "c", true}, {"D", "d", true},
    {"E", "e", true}, {"3", "3", true}, {"F3", "f3", true},
    {"left column key 2", "g2", true}, {"V", "v", true}, {"F", "f", true},
    {"R", "r", true}, {"4", "4", true}, {"F4", "f4", true},
    {"Space", "space", true}, {"B", "b", true}, {"G", "g", true},
    {"T", "t", true}, {"5", "5", true}, {"F5", "f5", true},
    {"left column key 3", "g3", true}, {"N", "n", true}, {"H", "h", true},
    {"Y", "y", true}, {"6", "6", true}, {"F6", "f6", true},
    {"left column key 4", "g4", true}, {"M", "m", true}, {"J", "j", true},
    {"U", "u", true}, {"7", "7", true}, {"F7", "f7", true},
    {"Right Alt", "ralt", true}, {", <", "comma", true}, {"K", "k", true},
    {"I", "i", true}, {"8", "8", true}, {"F8", "f8", true},
    {"Right Win", "rwin", true}, {". >", "period", true}, {"L", "l", true},
    {"O", "o", true}, {"9", "9", true}, {"F9", "f9", true},
    {"Menu", "menu", true}, {"/ ?", "slash", true}, {"; :", "semicolon", true},
    {"P", "p", true}, {"0", "0", true}, {"F10", "f10", true},
    {"Right Ctrl", "rctrl", true}, {"Right Shift", "rshift", true}, {"' \"", "apostrophe", true},
    {"[ {", "lbracket", true}, {"- _", "minus", true}, {"F11", "f11", true},
    {"left column key 5", "g5", true}, {"non-US \\ |", "nonus-backslash", false}, {"\\ |", "backslash", true},
    {"] }", "rbracket", true}, {"= +", "equal", true}, {"F12", "f12", true},
    {"", "", false}, {"", "", false}, {"non-US # ~", "nonus-hash", false},
    {"Enter", "enter", true}, {"Backspace", "backspace", true}, {"Print Screen", "printscreen", true},
    {"Left", "left", true}, {"", "", false}, {"", "", false},
    {"Delete", "delete", true}, {"Insert", "insert", true}, {"Scroll Lock", "scrolllock", true},
    {"Down", "down", true}, {"Up", "up", true}, {"", "", false},
    {"End", "end", true}, {"Home", "home", true}, {"Pause", "pause", true},
    {"Right", "right", true}, {"", "", false}, {"", "", false},
    {"Page Down", "pagedown", true}, {"Page Up", "pageup", true}, {"", "", false},
    {"Num 0", "num0", true}, {"Num 1", "num1", true}, {"Num 4", "num4", true},
    {"Num 7", "num7", true}, {"Num Lock", "numlock", true}, {"lighting effect key", "light-effect", false},
    {"", "", false}, {"Num 2", "num2", true}, {"Num 5", "num5", true},
    {"Num 8", "num8", true}, {"Num /", "numslash", true}, {"mute key", "mute", false},
    {"Num .", "numdot", true}, {"Num 3", "num3", true}, {"Num 6", "num6", true},
    {"Num 9", "num9", true}, {"Num *", "numstar", true}, {"lighting key", "light-level", false},
    {"Num Enter", "numenter", true}, {"", "", false}, {"", "", false},
    {"Num +", "numplus", true}, {"Num -", "numminus", true}, {"consumer key 0x4C20", "consumer-4c20", false},
}};

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}
}  // namespace

const KeyIndexInfo& keyIndexInfo(int k) {
  if (k < 0 || k >= int(kKeys.size())) return kNone;
  return kKeys[size_t(k)];
}

std::optional<int> keyIndexFromToken(std::string_view token) {
  if (token.empty()) return std::nullopt;
  int value = 0;
  auto [p, ec] = std::from_chars(token.data(), token.data() + token.size(), value);
  if (ec == std::errc() && p == token.data() + token.size()) {
    // Plain digits 0..9 are key names; "#N" or numbers of two or more digits are indexes.
    if (token.size() >= 2 && value >= 0 && value < kKeyCount) return value;
  }
  if (token.size() >= 2 && token[0] == '#') {
    auto [p2, ec2] = std::from_chars(token.data() + 1, token.data() + token.size(), value);
    if (ec2 == std::errc() && p2 == token.data() + token.size() && value >= 0 && value < kKeyCount)
      return value;
    return std::nullopt;
  }
  for (size_t i = 0; i < kKeys.size(); ++i)
    if (!kKeys[i].token.empty() && equalsIgnoreCase(kKeys[i].token, token)) return int(i);
  return std::nullopt;
}

}  // namespace orlix::keys
