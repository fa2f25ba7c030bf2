#pragma once
// Which key stands behind each key index 0..180, for naming keys to people and
// for addressing them on the command line.

#include <optional>
#include <string_view>

namespace orlix::keys {

struct KeyIndexInfo {
  std::string_view name;   // what people read: "Left Ctrl", "left column key 1", "; :"
  std::string_view token;  // command-line name: "lctrl", "g1", "semicolon"; empty: no key
  bool hasButton;          // false for keys whose code the pages never change
};

// Info of key index k; an empty record for indexes without a key or out of range.
const KeyIndexInfo& keyIndexInfo(int k);
// Key index of a command-line token (case-insensitive) or of a decimal index.
std::optional<int> keyIndexFromToken(std::string_view token);

}  // namespace orlix::keys
