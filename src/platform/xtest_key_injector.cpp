#include "platform/xtest_key_injector.h"

#ifdef ORLIX_HAVE_XTEST
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <X11/extensions/XTest.h>
#endif

#include <cstdlib>

namespace orlix::platform {

namespace {

#ifdef ORLIX_HAVE_XTEST
// Keysym of a Windows virtual-key code; only the keys the program sends.
KeySym keysymOf(uint8_t vk) {
  switch (vk) {
    case 0x5B: return XK_Super_L;
    case 0x5C: return XK_Super_R;
    default: return NoSymbol;
  }
}

class XTestKeyInjector : public keys::KeyInjector {
 public:
  explicit XTestKeyInjector(Display* display) : display_(display) {}
  ~XTestKeyInjector() override { XCloseDisplay(display_); }
  XTestKeyInjector(const XTestKeyInjector&) = delete;
  XTestKeyInjector& operator=(const XTestKeyInjector&) = delete;

  void keybd_event(uint8_t vk, uint8_t, uint32_t flags, uintptr_t) override {
    KeySym sym = keysymOf(vk);
    if (sym == NoSymbol) return;
    KeyCode code = XKeysymToKeycode(display_, sym);
    if (code == 0) return;  // the keymap has no such key
    XTestFakeKeyEvent(display_, code, (flags & keys::kInjectKeyUp) ? False : True, CurrentTime);
    XFlush(display_);
  }

 private:
  Display* display_;
};
#endif

}  // namespace

std::unique_ptr<keys::KeyInjector> makeSessionKeyInjector() {
#ifdef ORLIX_HAVE_XTEST
  const char* name = std::getenv("DISPLAY");
  if (name && *name) {
    if (Display* d = XOpenDisplay(name)) {
      int event, error, major, minor;
      if (XTestQueryExtension(d, &event, &error, &major, &minor)) return std::make_unique<XTestKeyInjector>(d);
      XCloseDisplay(d);
    }
  }
#endif
  return std::make_unique<keys::NullKeyInjector>();
}

}  // namespace orlix::platform
