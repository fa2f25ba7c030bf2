#include "core/app/hints.h"

#include <array>

namespace orlix::app {

namespace {
using localization::StringKey;

// Hint numbers 0..56 in order.
constexpr std::array<StringKey, 57> kHintKeys{
    StringKey::str_profile1,      StringKey::str_profile2,     StringKey::str_profile3,
    StringKey::str_profile4,      StringKey::str_profile5,     StringKey::str_ok,
    StringKey::str_main,          StringKey::str_led_title,    StringKey::str_macro_manager,
    StringKey::str_sts,           StringKey::str_help,         StringKey::str_rollingrate,
    StringKey::str_dpiwant,       StringKey::str_sheight,      StringKey::str_30sheight,
    StringKey::str_xyindependent,
    // 16..22 carry no text.
    StringKey{}, StringKey{}, StringKey{}, StringKey{}, StringKey{}, StringKey{}, StringKey{},
    StringKey::str_mode1,         StringKey::str_mode2,        StringKey::str_mode3,
    StringKey::str_led_preSet,    StringKey::str_led_diySet,   StringKey::str_led_off,
    StringKey::str_led_brealways, StringKey::str_led_norbre,   StringKey::str_led_apmbre,
    StringKey::str_ledspe,        StringKey::str_new_macro,    StringKey::str_del_macro,
    StringKey::str_macro_new,     StringKey::str_macro_del,    StringKey::str_macro_modify,
    StringKey::str_macro_start,   StringKey::str_macro_delay,  StringKey::str_macro_loop,
    StringKey::str_macro_msg6,    StringKey::str_macro_msg7,   StringKey::str_click,
    StringKey::str_middle,        StringKey::str_menu,         StringKey::str_resetSts,
    StringKey::str_cups,          StringKey::str_update,       StringKey::str_ulmoraWeb,
    StringKey::str_defaultname,   StringKey::str_file_import,  StringKey::str_file_export,
    StringKey::str_led_serven,    StringKey::str_led_strength, StringKey::str_led_signle,
    StringKey::str_led_wave,
};
constexpr long kFirstSilent = 16, kLastSilent = 22;
}  // namespace

std::optional<localization::StringKey> hintStringKey(long hint) {
  if (hint < 0 || hint >= long(kHintKeys.size())) return std::nullopt;
  if (hint >= kFirstSilent && hint <= kLastSilent) return std::nullopt;
  return kHintKeys[size_t(hint)];
}

}  // namespace orlix::app
