#include "core/keys/keyboard_page_model.h"

#include "core/keys/key_names.h"
#include "core/keys/key_picture_map.h"

namespace orlix::keys {

int KeyboardPageModel::keyIndexOf(int n) {
  if (n < 0 || n >= kKeyPictureCount) return 0;
  return keyPictureMap()[size_t(n)].keyIndex;
}

KeyButtonState KeyboardPageModel::buttonState(int n) const { return keyState(keyIndexOf(n)); }

KeyButtonState KeyboardPageModel::keyState(int k) const {
  KeyButtonState s;
  if (k < 0 || k >= kKeyCount || image_.keyTable[size_t(k)] == image_.defaultKeyTable[size_t(k)]) return s;
  s.checked = true;
  s.tooltip = functionDescription(image_, k, layout_, strings_);
  return s;
}

StoreOutcome KeyboardPageModel::store(int k, const SettingResult& r, const KeyAssignmentHooks& hooks) {
  return storeSettingResult(image_, k, r, notices_, hooks);
}

}  // namespace orlix::keys
