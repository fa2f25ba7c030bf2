#pragma once
// Synthetic key events through the X server's XTest extension.

#include <memory>

#include "core/keys/key_injection.h"

namespace orlix::platform {

// The X display's key injection when an X server with XTest is reachable
// ($DISPLAY, XWayland included); otherwise an injector that sends nothing.
std::unique_ptr<keys::KeyInjector> makeSessionKeyInjector();

}  // namespace orlix::platform
