#pragma once
// The lighting page without its window: the 113 light buttons' selected state
// and fill colour, the select-all button and the show toggle, the six effect
// buttons' pressed look, and the page's rules (the clicks in their order, the
// selection recount, the rubber band, the right-button clear, the refresh by
// lighting mode). The window draws what this model holds; orlixctl runs the
// same calls.

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/config/config_image.h"
#include "core/geometry/rect.h"

namespace orlix::lighting {

inline constexpr int kEffectButtonCount = 6;
// The current effect index the page starts with (always-on).
inline constexpr int kInitialEffectIndex = 6;

class LightingPageModel {
 public:
  // Runs effect page `button` (0..5) modally; true when it closed with OK.
  using RunEffectPage = std::function<bool(int button)>;

  // The image outlives the model.
  explicit LightingPageModel(ConfigImage& image);

  bool selected(int i) const { return selected_[size_t(i)]; }
  // Fill colour of light button i, 0x00BBGGRR; 0 shows no colour.
  uint32_t fill(int i) const { return fill_[size_t(i)]; }
  bool selectAll() const { return selectAll_; }
  bool showOn() const { return show_; }
  int currentEffect() const { return currentEffect_; }
  bool effectPressed(int button) const { return pressed_[size_t(button)]; }
  ConfigImage& image() { return image_; }

  // Commands of the page's controls. Each runs its click rule and then the
  // effect-button pass, which clears every effect button's pressed look.
  void clickLight(int i);
  void clickSelectAll();
  void clickShowToggle();
  // Effect button `button`: prepares the selection (wave selects 0..111, every
  // effect but strength recounts), runs the page, commits its effect on the
  // selected keys and sets the lighting mode; that button keeps its pressed
  // look. Returns what the page returned.
  bool clickEffect(int button, const RunEffectPage& runPage);

  // Selection recount (message 0x450): copies the selected states into the LED
  // state records, sets the key selection flag and the select-all state.
  // Returns the number of selected buttons.
  int recount();
  // A rubber band from one corner to the other (page pixels, in any order):
  // flips every light button whose centre lies inside, then recounts.
  void rubberBand(int x1, int y1, int x2, int y2);
  // Right button on the page: buttons 0..111 lose selection and colour; no recount.
  void rightClick();
  // The refresh after a lighting send, by lighting mode; ends with a recount.
  void refresh();
  // Message 0x451.
  void slotExclusion(int slot);
  // An effect page's Cancel: all 113 buttons unselected, nothing recounted.
  void clearSelections();
  // Selects button i without a command (orlixctl's key list).
  void setSelected(int i, bool on) { selected_[size_t(i)] = on; }

  // Status text codes (0x805) of the effect buttons whose rectangle, grown by
  // one pixel, holds the point, in button order.
  static std::vector<int> hintsAt(int x, int y);
  // Centre of light button i in page pixels (integer halves of its rectangle).
  static void centreOf(int i, int& x, int& y);

 private:
  void effectPass(int fromButton);
  void clearEffectLooks();

  ConfigImage& image_;
  std::array<bool, kLedRecordCount> selected_{};
  std::array<uint32_t, kLedRecordCount> fill_{};
  std::array<bool, kEffectButtonCount> pressed_{};
  bool selectAll_ = false;
  bool show_ = true;
  int currentEffect_ = kInitialEffectIndex;
};

}  // namespace orlix::lighting
