#include "core/lighting/palette_model.h"

#include "core/skin/window_geometry.h"

namespace orlix::lighting {

namespace pal = skin::palette;

bool PaletteModel::slider(int position, int id) {
  uint32_t v = uint32_t(position) & 0xFF;
  switch (id) {
    case pal::kRedId: colour_ = (colour_ & 0xFFFF00u) | v; return true;
    case pal::kGreenId: colour_ = (colour_ & 0xFF00FFu) | (v << 8); return true;
    case pal::kBlueId: colour_ = (colour_ & 0x00FFFFu) | (v << 16); return true;
    default: return false;
  }
}

bool PaletteModel::insideWheel(int x, int y) {
  const Rect& w = pal::kWheel;
  // In doubled coordinates about the pixel's centre, so everything stays integer.
  int64_t a = w.right - w.left, b = w.bottom - w.top;
  int64_t dx = 2 * int64_t(x) + 1 - (w.left + w.right);
  int64_t dy = 2 * int64_t(y) + 1 - (w.top + w.bottom);
  return dx * dx * b * b + dy * dy * a * a < a * a * b * b;
}

bool PaletteModel::pick(int x, int y, uint32_t pixel) {
  if (!insideWheel(x, y)) return false;
  colour_ = pixel & 0xFFFFFFu;
  return true;
}

void PaletteModel::writeBack(EffectPageModel& owner) const {
  switch (kind_) {
    case kPaletteBreathing:
    case kPaletteSingle:
      if (index_ != 0 && index_ != 1) return;
      owner.setSwatchColour(index_, colour_);
      owner.setColour(index_, colour_);
      break;
    case kPaletteAlwaysOn:
      if (index_ != 1) return;
      owner.setSwatchColour(0, colour_);
      owner.setColour(0, colour_);
      break;
    default:
      break;
  }
}

}  // namespace orlix::lighting
