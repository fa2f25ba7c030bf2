#include "core/lighting/lighting_page_model.h"

#include <algorithm>

#include "core/lighting/lighting_key_map.h"
#include "core/lighting/lighting_model.h"
#include "core/skin/window_geometry.h"
#include "core/util/bytes.h"

namespace orlix::lighting {

LightingPageModel::LightingPageModel(ConfigImage& image) : image_(image) {}

void LightingPageModel::clearEffectLooks() { pressed_.fill(false); }

void LightingPageModel::effectPass(int fromButton) {
  clearEffectLooks();
  if (fromButton < 0 || fromButton >= kEffectButtonCount) return;
  pressed_[size_t(fromButton)] = true;
  currentEffect_ = fromButton + 1;
  show_ = true;
}

void LightingPageModel::clickLight(int i) {
  // Button 112 has an empty rectangle: nothing can click it.
  if (i >= 0 && i < kLightingKeys) selected_[size_t(i)] = !selected_[size_t(i)];
  effectPass(-1);
}

void LightingPageModel::clickSelectAll() {
  selectAll_ = !selectAll_;
  for (int i = 0; i < kLightingKeys; ++i) selected_[size_t(i)] = selectAll_;
  effectPass(-1);
}

void LightingPageModel::clickShowToggle() {
  if (show_) {
    show_ = false;
    fill_.fill(0);
  } else {
    show_ = true;
    refresh();
  }
  effectPass(-1);
}

bool LightingPageModel::clickEffect(int button, const RunEffectPage& runPage) {
  if (button < 0 || button >= kEffectButtonCount) return false;
  if (button == kButtonWave)
    for (int i = 0; i < kLightingKeys; ++i) selected_[size_t(i)] = true;
  // Strength covers the whole keyboard, so its page opens without a recount.
  if (button != kButtonStrength) recount();
  bool ok = runPage && runPage(button);
  afterEffectPage(image_, button, ok);
  effectPass(button);
  return ok;
}

int LightingPageModel::recount() {
  int n = selectionRecount(image_, selected_);
  if (n <= kLightingKeys - 1) selectAll_ = false;
  else if (n == kLightingKeys) selectAll_ = true;
  return n;
}

void LightingPageModel::centreOf(int i, int& x, int& y) {
  const Rect& r = lightingKeyMap()[size_t(i)].rect;
  x = (r.left + r.right) / 2;
  y = (r.top + r.bottom) / 2;
}

void LightingPageModel::rubberBand(int x1, int y1, int x2, int y2) {
  Rect band{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
  for (int i = 0; i < kLedRecordCount; ++i) {
    int x, y;
    centreOf(i, x, y);
    if (band.contains(x, y)) selected_[size_t(i)] = !selected_[size_t(i)];
  }
  recount();
}

void LightingPageModel::rightClick() {
  for (int i = 0; i < kLightingKeys; ++i) {
    selected_[size_t(i)] = false;
    fill_[size_t(i)] = 0;
  }
}

void LightingPageModel::refresh() {
  uint32_t mode = image_.lightingMode;
  // Byte 1 of the last command is its send mode: only a command sent by OK
  // clears the page; after Apply the user goes on with the same keys.
  bool byOk = image_.editedLedCommand[1] == kSendOk;
  if (mode == 0) {
    fill_.fill(0);
    selected_.fill(false);
    clearEffectLooks();
  } else if (mode <= uint32_t(kEffectButtonCount)) {
    if (byOk) {
      for (int i = 0; i < kLedRecordCount; ++i) {
        const auto& led = image_.ledState[size_t(i)];
        bool lit = (mode == kModeSingle || mode == kModeAlways) && getU32(led, kLedSelected) != 0;
        fill_[size_t(i)] = lit ? getU32(led, kLedColour1) : 0;
        selected_[size_t(i)] = false;
      }
    }
    clearEffectLooks();
    pressed_[size_t(mode - 1)] = true;
  }
  recount();
}

void LightingPageModel::slotExclusion(int slot) { slotKeyExclusion(image_, slot); }

void LightingPageModel::clearSelections() { selected_.fill(false); }

std::vector<int> LightingPageModel::hintsAt(int x, int y) {
  std::vector<int> hints;
  for (int b = 0; b < kEffectButtonCount; ++b) {
    Rect r = skin::boundsOf(skin::lighting_page::kEffectButtons[size_t(b)]);
    Rect grown{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
    if (grown.contains(x, y)) hints.push_back(skin::lighting_page::kEffectHints[size_t(b)]);
  }
  return hints;
}

}  // namespace orlix::lighting
