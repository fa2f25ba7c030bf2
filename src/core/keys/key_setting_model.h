#pragma once
// The key setting panel without its window: the setting result, the tabs and
// the "Disable key" box, the base page's 16 functions, and what OK, Restore and
// the close button return, with the hook calls and synthetic key events each
// step makes. The panel writes nothing into the configuration image; the
// keyboard page stores the result (key_assignment.h).

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "core/config/config_image.h"
#include "core/keys/combo_model.h"
#include "core/keys/key_assignment.h"
#include "core/keys/key_injection.h"
#include "core/localization/string_keys.h"
#include "core/macros/macro_set_model.h"

namespace orlix::keys {

// Tabs of the panel: 1 is the state after the disable box was unchecked
// (combination page shown, capture off).
inline constexpr int kTabAfterDisable = 1, kTabCombination = 2, kTabMacroSet = 3, kTabBase = 4;

struct BasePageItem {
  localization::StringKey text;
  uint32_t code;
};
inline constexpr int kBasePageItemCount = 16;
// The base page's functions in list order; the combinations are built with the
// usage map when called.
std::array<BasePageItem, kBasePageItemCount> basePageItems();

// The results both the panel and the command line give for Restore and Disable.
SettingResult restoreResult(const ConfigImage& image, int keyIndex);
SettingResult disableResult();

// The calls the panel makes into the keyboard hook.
struct KeySettingHooks {
  std::function<void()> receiveAtComboPage;  // SetReciveWindow(combination page)
  std::function<void(int on)> setHookStatus;  // SetHookStatus(on, 0)
};

class KeySettingModel {
 public:
  enum class End { Open, Ok, Cancel };
  enum Page { kComboPage = 0, kMacroPage = 1, kBasePage = 2 };

  // image, macros and injector must outlive the model. Nothing happens until
  // initialise().
  KeySettingModel(const ConfigImage& image, const macros::MacroLibrary& macros, KeyInjector& injector,
                  KeySettingHooks hooks);

  // Before the panel opens: the key it sets.
  void setKeyIndex(int k) { keyIndex_ = k; }
  int keyIndex() const { return keyIndex_; }

  // The panel's initialisation: the base page's items (the last one selected),
  // the Macro set tab opened, tab 2 selected (capture on), and the current
  // function text.
  void initialise(std::u16string currentFunction);

  // Selects tab t (1..4); while the disable box is checked it only hides every
  // page and unchecks every tab.
  void selectTab(int t);
  // A click on the disable box: inverts it, then selects tab 1.
  void toggleDisable();
  // The three buttons; each ends the panel.
  End close();
  End restore();
  End ok();

  // The user picked base page item i (-1: none).
  void selectBaseItem(int i) { baseSelection_ = i >= 0 && i < kBasePageItemCount ? i : -1; }

  const SettingResult& result() const { return result_; }
  int currentTab() const { return tab_; }
  bool disabled() const { return disabled_; }
  // Checked state of the tab buttons (combination, macro, base).
  bool tabChecked(int page) const { return tabChecked_[size_t(page)]; }
  bool pageVisible(int page) const { return visible_[size_t(page)]; }
  const std::u16string& currentFunction() const { return currentFunction_; }
  const std::array<BasePageItem, kBasePageItemCount>& baseItems() const { return items_; }
  int baseSelection() const { return baseSelection_; }
  ComboModel& combo() { return combo_; }
  const ComboModel& combo() const { return combo_; }
  macros::MacroSetModel& macroSet() { return macroSet_; }
  const macros::MacroSetModel& macroSet() const { return macroSet_; }

 private:
  void hook(int on) const;
  void sendWinReleases();

  const ConfigImage& image_;
  KeyInjector& injector_;
  KeySettingHooks hooks_;
  int keyIndex_ = 0;
  SettingResult result_;
  int tab_ = kTabCombination;
  bool disabled_ = false;
  std::array<bool, 3> tabChecked_{};
  std::array<bool, 3> visible_{};
  std::u16string currentFunction_;
  std::array<BasePageItem, kBasePageItemCount> items_{};
  int baseSelection_ = -1;
  ComboModel combo_;
  macros::MacroSetModel macroSet_;
};

// The panel's built-in texts, Chinese while the language flag is set.
struct KeySettingTexts {
  std::u16string_view title, currentFunction, disableLabel, comboTab, macroTab, baseTab, restore, ok;
};
KeySettingTexts keySettingTexts(bool chinese);

}  // namespace orlix::keys
