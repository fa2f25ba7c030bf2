#include "platform/xkb_keyboard_layout.h"

#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdlib>
#include <fstream>
#include <map>

namespace orlix::platform {

namespace {

// X keycodes (evdev + 8) of the keys that carry each virtual key on a US
// keyboard: letters, digits and the punctuation keys.
unsigned usKeycodeOf(uint8_t vk) {
  static const std::map<uint8_t, unsigned> kEvdev = {
      {'Q', 16}, {'W', 17}, {'E', 18}, {'R', 19}, {'T', 20}, {'Y', 21}, {'U', 22}, {'I', 23},
      {'O', 24}, {'P', 25}, {'A', 30}, {'S', 31}, {'D', 32}, {'F', 33}, {'G', 34}, {'H', 35},
      {'J', 36}, {'K', 37}, {'L', 38}, {'Z', 44}, {'X', 45}, {'C', 46}, {'V', 47}, {'B', 48},
      {'N', 49}, {'M', 50}, {'1', 2},  {'2', 3},  {'3', 4},  {'4', 5},  {'5', 6},  {'6', 7},
      {'7', 8},  {'8', 9},  {'9', 10}, {'0', 11},
      {0xBA, 39}, {0xBB, 13}, {0xBC, 51}, {0xBD, 12}, {0xBE, 52}, {0xBF, 53}, {0xC0, 41},
      {0xDB, 26}, {0xDC, 43}, {0xDD, 27}, {0xDE, 40}, {0xE2, 86},
  };
  auto it = kEvdev.find(vk);
  return it == kEvdev.end() ? 0 : it->second + 8;
}

// What a US keyboard types, for when no keyboard data can be loaded at all.
char32_t builtinUs(uint8_t vk) {
  if ((vk >= 'A' && vk <= 'Z')) return char32_t(vk - 'A' + 'a');
  if (vk >= '0' && vk <= '9') return char32_t(vk);
  switch (vk) {
    case 0xBA: return U';';
    case 0xBB: return U'=';
    case 0xBC: return U',';
    case 0xBD: return U'-';
    case 0xBE: return U'.';
    case 0xBF: return U'/';
    case 0xC0: return U'`';
    case 0xDB: return U'[';
    case 0xDC: return U'\\';
    case 0xDD: return U']';
    case 0xDE: return U'\'';
    case 0xE2: return U'\\';
    default: return 0;
  }
}

std::map<std::string, std::string> readDefaultKeyboard() {
  std::map<std::string, std::string> v;
  std::ifstream in("/etc/default/keyboard");
  std::string line;
  while (std::getline(in, line)) {
    auto eq = line.find('=');
    if (eq == std::string::npos || line.empty() || line[0] == '#') continue;
    std::string value = line.substr(eq + 1);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    v[line.substr(0, eq)] = value;
  }
  return v;
}

xkb_keymap* keymapFromNames(xkb_context* ctx, const std::string& layout, const std::string& variant,
                            const std::string& model = {}, const std::string& options = {}) {
  xkb_rule_names names{};
  names.rules = "evdev";
  names.model = model.empty() ? "pc105" : model.c_str();
  names.layout = layout.c_str();
  names.variant = variant.c_str();
  names.options = options.empty() ? nullptr : options.c_str();
  return xkb_keymap_new_from_names(ctx, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
}

}  // namespace

XkbKeyboardLayout::XkbKeyboardLayout(xkb_context* ctx, xkb_keymap* keymap, unsigned group, std::string source)
    : ctx_(ctx), keymap_(keymap), group_(group), source_(std::move(source)) {}

XkbKeyboardLayout::~XkbKeyboardLayout() {
  if (keymap_) xkb_keymap_unref(keymap_);
  if (ctx_) xkb_context_unref(ctx_);
}

std::unique_ptr<XkbKeyboardLayout> XkbKeyboardLayout::fromNames(const std::string& layout, const std::string& variant) {
  xkb_context* ctx = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
  if (!ctx) return nullptr;
  xkb_context_set_log_level(ctx, XKB_LOG_LEVEL_CRITICAL);
  xkb_keymap* km = keymapFromNames(ctx, layout, variant);
  if (!km) {
    xkb_context_unref(ctx);
    return nullptr;
  }
  return std::unique_ptr<XkbKeyboardLayout>(new XkbKeyboardLayout(ctx, km, 0, "names:" + layout));
}

std::unique_ptr<XkbKeyboardLayout> XkbKeyboardLayout::us() {
  if (auto l = fromNames("us")) {
    l->source_ = "us";
    return l;
  }
  return std::unique_ptr<XkbKeyboardLayout>(new XkbKeyboardLayout(nullptr, nullptr, 0, "builtin-us"));
}

std::unique_ptr<XkbKeyboardLayout> XkbKeyboardLayout::fromSession() {
  // The X server's keymap and its active group.
  const char* display = std::getenv("DISPLAY");
  if (display && *display) {
    if (xcb_connection_t* conn = xcb_connect(nullptr, nullptr); conn && !xcb_connection_has_error(conn)) {
      uint16_t major = 0, minor = 0;
      uint8_t event = 0, error = 0;
      if (xkb_x11_setup_xkb_extension(conn, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                                      XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, &major, &minor, &event, &error)) {
        int32_t device = xkb_x11_get_core_keyboard_device_id(conn);
        xkb_context* ctx = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
        if (ctx && device >= 0) {
          xkb_context_set_log_level(ctx, XKB_LOG_LEVEL_CRITICAL);
          if (xkb_keymap* km = xkb_x11_keymap_new_from_device(ctx, conn, device, XKB_KEYMAP_COMPILE_NO_FLAGS)) {
            unsigned group = 0;
            if (xkb_state* st = xkb_x11_state_new_from_device(km, conn, device)) {
              group = xkb_state_serialize_layout(st, XKB_STATE_LAYOUT_EFFECTIVE);
              xkb_state_unref(st);
            }
            xcb_disconnect(conn);
            return std::unique_ptr<XkbKeyboardLayout>(new XkbKeyboardLayout(ctx, km, group, "x11"));
          }
        }
        if (ctx) xkb_context_unref(ctx);
      }
    }
    else if (conn) {
      xcb_disconnect(conn);
    }
  }
  // The system's configured layout (Debian keeps it in /etc/default/keyboard);
  // only its first layout is the active one.
  auto conf = readDefaultKeyboard();
  if (!conf["XKBLAYOUT"].empty()) {
    auto first = [](const std::string& s) { return s.substr(0, s.find(',')); };
    xkb_context* ctx = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
    if (ctx) {
      xkb_context_set_log_level(ctx, XKB_LOG_LEVEL_CRITICAL);
      if (xkb_keymap* km = keymapFromNames(ctx, first(conf["XKBLAYOUT"]), first(conf["XKBVARIANT"]),
                                           conf["XKBMODEL"], conf["XKBOPTIONS"]))
        return std::unique_ptr<XkbKeyboardLayout>(
            new XkbKeyboardLayout(ctx, km, 0, "names:" + first(conf["XKBLAYOUT"])));
      xkb_context_unref(ctx);
    }
  }
  return us();
}

char32_t XkbKeyboardLayout::characterAt(unsigned keycode) const {
  if (!keymap_ || keycode == 0) return 0;
  const xkb_keysym_t* syms = nullptr;
  xkb_layout_index_t groups = xkb_keymap_num_layouts_for_key(keymap_, keycode);
  if (groups == 0) return 0;
  xkb_layout_index_t group = group_ < groups ? group_ : 0;
  int n = xkb_keymap_key_get_syms_by_level(keymap_, keycode, group, 0, &syms);
  if (n != 1) return 0;
  return xkb_keysym_to_utf32(syms[0]);
}

char32_t XkbKeyboardLayout::characterOf(uint8_t vk) {
  if (!keymap_) return builtinUs(vk);

  // A letter or digit key is the key that types it, wherever the layout puts it
  // (QWERTZ, AZERTY); layouts without such a key use the US position.
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) {
    char32_t want = (vk >= 'A' && vk <= 'Z') ? char32_t(vk - 'A' + 'a') : char32_t(vk);
    for (unsigned kc = 9; kc < 9 + 88; ++kc) {
      if (characterAt(kc) == want) return want;
    }
  }
  char32_t c = characterAt(usKeycodeOf(vk));
  // Control characters are no names.
  if (c < 0x20 || c == 0x7F) return 0;
  return c;
}

}  // namespace orlix::platform
