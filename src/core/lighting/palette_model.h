#pragma once
// The palette dialog without its window: the colour being edited, where it
// goes back (palette kind and colour index), the three sliders' arithmetic and
// the colour wheel's ellipse.

#include <cstdint>

#include "core/lighting/effect_page_models.h"

namespace orlix::lighting {

// Default colour of a palette whose owner set none: (255, 200, 0).
inline constexpr uint32_t kPaletteDefaultColour = rgb(255, 200, 0);

class PaletteModel {
 public:
  PaletteModel() = default;
  explicit PaletteModel(const PaletteRequest& r) : kind_(r.kind), index_(r.index), colour_(r.colour) {}

  int kind() const { return kind_; }
  int index() const { return index_; }
  uint32_t colour() const { return colour_; }

  // Message 0x800 from a slider: 775 sets red, 776 green, 777 blue; the other
  // two components stay. False for another identifier.
  bool slider(int position, int id);
  // True when (x, y), in dialog pixels, lies inside the colour wheel's ellipse.
  static bool insideWheel(int x, int y);
  // A left click at (x, y) where the dialog shows `pixel`: inside the wheel it
  // becomes the colour (true); outside nothing changes (false).
  bool pick(int x, int y, uint32_t pixel);
  // OK: writes the colour into the owner by kind and index. Cancel writes nothing.
  void writeBack(EffectPageModel& owner) const;

 private:
  int kind_ = kPaletteNone;
  int index_ = 0;
  uint32_t colour_ = kPaletteDefaultColour;
};

}  // namespace orlix::lighting
