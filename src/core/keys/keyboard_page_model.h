#pragma once
// The keyboard page without its window: how each key button looks (checked
// when the key's code differs from its default, with the key's function
// description as its tooltip) and what a confirmed key setting panel stores.

#include <string>

#include "core/app/user_notices.h"
#include "core/config/config_image.h"
#include "core/keys/key_assignment.h"
#include "core/keys/keyboard_layout.h"
#include "core/localization/language_strings.h"

namespace orlix::keys {

struct KeyButtonState {
  bool checked = false;
  std::u16string tooltip;  // empty when the key is not modified
  bool operator==(const KeyButtonState&) const = default;
};

class KeyboardPageModel {
 public:
  // Everything passed must outlive the model; the page reads the image afresh
  // on every call and keeps no copy of it.
  KeyboardPageModel(ConfigImage& image, UserNotices& notices, KeyboardLayout& layout,
                    const localization::LanguageStrings& strings)
      : image_(image), notices_(notices), layout_(layout), strings_(strings) {}

  // The look of key button n of the key picture map (0..112).
  KeyButtonState buttonState(int n) const;
  // The look of the button of key index k.
  KeyButtonState keyState(int k) const;
  // Key index of button n (0 for the empty records 109..112).
  static int keyIndexOf(int n);

  // Stores a confirmed panel's result for key index k (the 50-macro limit,
  // its message and the macro library save included).
  StoreOutcome store(int k, const SettingResult& r, const KeyAssignmentHooks& hooks);

 private:
  ConfigImage& image_;
  UserNotices& notices_;
  KeyboardLayout& layout_;
  const localization::LanguageStrings& strings_;
};

}  // namespace orlix::keys
