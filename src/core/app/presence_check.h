#pragma once
// The keyboard's presence as the main window sees it: the check at the end of
// its initialisation (start the updater, or tell the user and close) and the
// answer to device changes (close when the keyboard is removed). The device
// list, the updater, the notices and the close are injected.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/app/text_source.h"
#include "core/device/messages.h"
#include "core/app/user_notices.h"

namespace orlix::app {

// The hardware id fragment that names the keyboard.
inline constexpr std::string_view kKeyboardFragment = "VID_24AE&PID_4009";
// Device-change events (numbers in messages.h).
using msg::kDeviceArrival;
using msg::kDeviceRemoveComplete;
// Seconds the not-found notice stays before it closes by itself.
inline constexpr int kNotFoundSeconds = 5;

std::u16string_view notFoundAtStartText(const TextSource& texts);
std::u16string_view notFoundRemovedText(const TextSource& texts);

struct PresenceServices {
  std::function<void()> registerNotifications;  // device-change delivery to the window
  std::function<bool()> isPresent;              // false when the devices cannot be listed
  std::function<void()> startUpdater;           // started without waiting
  std::function<void()> postClose;              // WM_CLOSE to the main window
  UserNotices* notices = nullptr;
  TextSource texts;
};

// The start-up check: registers, then starts the updater when the keyboard is
// present; otherwise shows the timed not-found notice and, once it has closed,
// posts the close. Returns whether the keyboard was present.
bool startupPresenceCheck(const PresenceServices& s);

// A device change: only the removal of a device whose interface name contains
// the keyboard's fragment (any case) is answered, with the timed removal
// notice and then the close. Returns true when it was answered.
bool onDeviceChange(const PresenceServices& s, uint32_t event, std::string_view interfaceName);

}  // namespace orlix::app
