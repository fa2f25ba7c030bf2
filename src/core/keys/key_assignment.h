#pragma once
// Storing a key setting panel's result into the configuration image (key
// table, key extra record, the current profile's row of the macro assignment
// table), with the limit of 50 distinct macros per profile.

#include <cstdint>
#include <functional>
#include <string>

#include "core/app/user_notices.h"
#include "core/config/config_image.h"

namespace orlix::keys {

// Result categories of the key setting panel.
inline constexpr uint32_t kCategoryBase = 0;  // base page or restore
inline constexpr uint32_t kCategoryCombination = 5;
inline constexpr uint32_t kCategoryMacro = 6;
inline constexpr uint32_t kCategoryDisable = 0x79;

inline constexpr int kMacroLimit = 50;
inline constexpr char16_t kMacroLimitText[] = u"注意：只能分配50个宏到键盘中！";

struct SettingResult {
  uint32_t code = 0;      // key function code, or the macro identifier for category 6
  uint32_t category = kCategoryBase;
  std::u16string text;    // action text; the macro's name for category 6
};

enum class StoreOutcome {
  Stored,
  MacroNotStored,  // no in-use macro record carries the identifier
  MacroLimit,      // a 51st macro: the limit message was shown
};

struct KeyAssignmentHooks {
  std::function<void()> saveMacroLibrary;     // after a key's own macro entry was cleared
  std::function<void(int keyIndex)> refreshKey;  // the key's button on the keyboard page
};

// Stores the result r for key index d (0..180) in the current profile. A macro
// already bound in the profile is always accepted; a new one only while fewer
// than 50 macros (and fewer than 50 other macro keys) are bound, else the limit
// message is shown and nothing is stored.
StoreOutcome storeSettingResult(ConfigImage& image, int d, const SettingResult& r, UserNotices& notices,
                                const KeyAssignmentHooks& hooks = {});

}  // namespace orlix::keys
