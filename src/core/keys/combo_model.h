#pragma once
// The combination page of the key setting panel without its window: the four
// modifier boxes, the key captured from key event messages 0x40A, and the key
// function code the capture stands for.

#include <array>
#include <cstdint>
#include <string>

#include "core/keys/key_assignment.h"
#include "core/keys/keyboard_layout.h"

namespace orlix::keys {

class ComboModel {
 public:
  enum Box { kCtrl = 0, kAlt = 1, kShift = 2, kWin = 3 };

  // What a key event changed, so the window repaints the right part.
  enum class KeyEffect { BoxToggled, KeyCaptured, Ignored };

  // A key event of the hook: virtual-key code vk, key flags. A modifier's press
  // (flags made of 0x01, 0x10 and 0x20 only) inverts its box, its release does
  // not; any other key becomes the captured key on press and release alike.
  KeyEffect onKeyEvent(unsigned vk, uint32_t flags);
  // A mouse click on a box inverts it.
  void toggle(Box box) { boxes_[size_t(box)] = !boxes_[size_t(box)]; }
  bool checked(Box box) const { return boxes_[size_t(box)]; }
  void setChecked(Box box, bool on) { boxes_[size_t(box)] = on; }
  // Virtual-key code of the last non-modifier key event, 0 when none.
  unsigned capturedKey() const { return captured_; }

  // The modifier mask of the checked boxes (Ctrl 1, Shift 2, Alt 4, Win 8).
  uint8_t modifierMask() const;
  // The code of the capture: a combination, a plain key, or the plain key of
  // the winning modifier (Alt over Win over Ctrl over Shift); 0 for nothing.
  uint32_t code() const;
  // Fills the result: code() with category 5; the text is left as it was.
  void fillResult(SettingResult& r) const;
  // The captured key's name as the page paints it; empty when none.
  std::u16string capturedName(KeyboardLayout& layout) const;

 private:
  std::array<bool, 4> boxes_{};
  unsigned captured_ = 0;
};

}  // namespace orlix::keys
