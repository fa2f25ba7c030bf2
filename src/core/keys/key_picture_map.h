#pragma once
// The key picture map: the reassignable keys on the keyboard page's picture, in
// the order the page creates its key buttons and the apply visits keys.

#include <array>
#include <cstddef>

#include "core/geometry/rect.h"

namespace orlix::keys {

struct KeyPictureRecord {
  int keyIndex;
  Rect rect;  // keyboard page client coordinates
};

inline constexpr int kKeyPictureCount = 113;
// Record 96 (Left Ctrl) is the one real record with key index 0.
inline constexpr int kLeftCtrlRecord = 96;

const std::array<KeyPictureRecord, kKeyPictureCount>& keyPictureMap();
// True for records 109..112 (key index 0 anywhere but record 96).
bool isEmptyPictureRecord(int n);

}  // namespace orlix::keys
