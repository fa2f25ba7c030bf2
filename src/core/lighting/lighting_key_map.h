#pragma once
// The lighting key map: for each key of the lighting page its LED code (how
// lighting commands name its light) and its button rectangle. Entry i also
// indexes the LED state records and the per-key lighting records.

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/geometry/rect.h"

namespace orlix::lighting {

struct LightingKeyEntry {
  uint32_t ledCode;  // low byte used
  Rect rect;         // lighting page pixels
};

inline constexpr int kLightingKeyCount = 113;  // entry 112 is empty
inline constexpr int kRealLightingKeys = 112;

const std::array<LightingKeyEntry, kLightingKeyCount>& lightingKeyMap();

}  // namespace orlix::lighting
