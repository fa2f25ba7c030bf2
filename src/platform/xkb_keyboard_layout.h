#pragma once
// The keyboard layout through xkbcommon: the character a Windows virtual-key
// code types, unshifted, in the session's layout (the X server's keymap when
// there is one), else the layout named by /etc/default/keyboard, else US.

#include <memory>
#include <string>

#include "core/keys/keyboard_layout.h"

struct xkb_context;
struct xkb_keymap;

namespace orlix::platform {

class XkbKeyboardLayout : public keys::KeyboardLayout {
 public:
  ~XkbKeyboardLayout() override;
  XkbKeyboardLayout(const XkbKeyboardLayout&) = delete;
  XkbKeyboardLayout& operator=(const XkbKeyboardLayout&) = delete;

  // The session's layout, falling back as described above; never null.
  static std::unique_ptr<XkbKeyboardLayout> fromSession();
  // A layout by its rule names ("de", "fr" with variant ""...); null when
  // xkbcommon cannot build it.
  static std::unique_ptr<XkbKeyboardLayout> fromNames(const std::string& layout, const std::string& variant = {});
  // The US layout; without any keyboard data a fixed US table stands in.
  static std::unique_ptr<XkbKeyboardLayout> us();

  char32_t characterOf(uint8_t vk) override;
  // Where the layout came from: "x11", "names:de", "us", "builtin-us".
  const std::string& source() const { return source_; }

 private:
  XkbKeyboardLayout(xkb_context* ctx, xkb_keymap* keymap, unsigned group, std::string source);
  char32_t characterAt(unsigned keycode) const;

  xkb_context* ctx_;
  xkb_keymap* keymap_;
  unsigned group_;
  std::string source_;
};

}  // namespace orlix::platform
