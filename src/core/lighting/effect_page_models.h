#pragma once
// The six effect pages without their windows: each page's settings and their
// defaults, its marked-button group, its colour swatches, its slider, the OK,
// Apply and Cancel rules with the selection check and the page's two messages.
// The dialogs draw what this model holds; orlixctl light runs the same calls.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "core/app/text_source.h"
#include "core/app/user_notices.h"
#include "core/config/config_image.h"
#include "core/lighting/lighting_model.h"

namespace orlix {
class MessageTarget;
}

namespace orlix::lighting {

// Palette kinds: where the palette dialog writes its colour back.
inline constexpr int kPaletteBreathing = 0;
inline constexpr int kPaletteSingle = 1;
inline constexpr int kPaletteAlwaysOn = 2;
inline constexpr int kPaletteNone = 3;

// What distinguishes one effect page from the others. Pages are numbered as the
// lighting page's effect buttons (EffectButton).
struct EffectPageInfo {
  int button;
  uint8_t effect;
  bool selectionCheck;   // OK and Apply refuse to send without a selected key
  int paletteKind;       // kPaletteNone: the page has no colour swatch
  int swatchCount;       // 0, 1 or 2
  int groupSize;         // option, level or direction buttons; 0 for none
  bool groupUnmarksOnCommand;  // strength and wave: every command unmarks the group
  int sliderId;          // 0: no slider
  int sliderMin, sliderMax;
  // The messages without a selected key: OK button, Apply button.
  const char16_t* okZh;
  const char16_t* okEn;
  const char16_t* applyZh;
  const char16_t* applyEn;
};
// The page of effect button 0..5; the seven-colour page for other values.
const EffectPageInfo& effectPageInfo(int button);
// The effect button of an effect code; -1 for an unknown code.
int buttonOfEffect(uint8_t effect);

enum class PageOutcome { Stay, CloseOk, CloseCancelled };

struct EffectPageServices {
  ConfigImage& image;
  UserNotices& notices;  // the two-button info dialog of the selection check
  TextSource texts;      // the language flag picks the message
  MessageTarget* lightingPage = nullptr;  // receives 0x451
  std::function<void()> clearLightSelections;  // Cancel: the lighting page's selections
};

// What a colour swatch asks the palette dialog for.
struct PaletteRequest {
  int kind = kPaletteNone;
  int index = 0;
  uint32_t colour = 0;
};

class EffectPageModel {
 public:
  // A page as it opens: every opening starts from the page's defaults.
  EffectPageModel(int button, EffectPageServices services);

  const EffectPageInfo& info() const { return info_; }
  const EffectSettings& settings() const { return settings_; }
  uint32_t swatchColour(int i) const { return swatches_[size_t(i)]; }
  int markedSwatch() const { return markedSwatch_; }
  // Marked button of the group (index in the page's button order), -1 for none.
  int markedButton() const { return marked_; }
  // The setting behind group button i: option, level or direction type.
  int groupValue(int i) const;
  // The last command this page built and sent.
  const BuildResult& lastBuild() const { return last_; }

  PageOutcome ok();
  PageOutcome apply();
  PageOutcome cancel();
  // Message 0x800 from a slider; true when it was the page's slider (speed set).
  bool slider(int position, int id);
  // A click on group button i: marks it, unmarks the others, sets the setting.
  void clickGroupButton(int i);
  // A click on swatch i: what to open the palette dialog with.
  PaletteRequest swatchRequest(int i) const;
  // After the palette dialog of swatch i returned, whatever it returned.
  void afterPalette(int i);
  // Written by the palette dialog's OK.
  void setSwatchColour(int i, uint32_t colour);
  void setColour(int which, uint32_t colour);  // 0: colour 1, 1: colour 2

  // The page's message when no key is selected, in the current language.
  std::u16string noSelectionMessage(bool applyButton) const;

 private:
  PageOutcome send(uint8_t sendMode, bool applyButton);
  void unmarkOnCommand();

  const EffectPageInfo& info_;
  EffectPageServices s_;
  EffectSettings settings_;
  std::array<uint32_t, 2> swatches_{};
  int markedSwatch_ = -1;
  int marked_ = -1;
  BuildResult last_;
};

}  // namespace orlix::lighting
