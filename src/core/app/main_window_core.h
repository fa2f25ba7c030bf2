#pragma once
// The main window's rules without the window: its initialisation in order, the
// first-show rule, the handling of every message it receives, and its shutdown
// in order. The window forwards its messages here and takes part through hooks
// (tray, pages, dialogs), so that the whole table runs in tests without a screen.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "core/app/presence_check.h"
#include "core/app/user_notices.h"
#include "core/config/config_image.h"
#include "core/config/config_sync.h"
#include "core/config/profiles.h"
#include "core/config/registry.h"
#include "core/device/apply.h"
#include "core/device/device_commands.h"
#include "core/device/driver_channel.h"
#include "core/device/message_target.h"
#include "core/device/messages.h"
#include "core/device/pacer.h"
#include "core/localization/language_strings.h"
#include "core/localization/language_switch.h"
#include "core/macros/macro_library.h"
#include "core/runtime/host_actions.h"

namespace orlix::app {

// Messages of the main window (numbers in messages.h).
using msg::kClose;
using msg::kCommand;
using msg::kDeviceChange;
using msg::kStoredTakenUp;
using msg::kTakeUpStored;
// wParam values of kCommand.
inline constexpr uintptr_t kCommandConfig = 24576;  // tray menu "Config"
inline constexpr uintptr_t kCommandExit = 24577;    // tray menu "Exit"
// Mouse messages of the tray notification.
inline constexpr intptr_t kTrayDoubleClick = 515;
inline constexpr intptr_t kTrayRightUp = 517;
// wParam bits of kStoredTakenUp: what a take-up changed, to redraw.
inline constexpr uintptr_t kTakenUpProfile = 1, kTakenUpSwitch = 2, kTakenUpMacros = 4;

// The first show: the window shows itself only when the system has been up for
// more than five minutes (a program started with the session stays in the
// tray), or when the user asked for the window on the command line.
inline constexpr uint64_t kFirstShowUpTimeMs = 300000;
constexpr bool showsAtFirstShow(uint64_t upTimeMs, bool forceShow) {
  return forceShow || upTimeMs > kFirstShowUpTimeMs;
}
inline constexpr int kFirstShowTimerId = 3;
inline constexpr int kFirstShowTimerMs = 500;

// The modal progress dialog of an apply: the worker posts its progress and
// the final close to target(); run() returns once the close arrived.
class ProgressSession {
 public:
  virtual ~ProgressSession() = default;
  virtual MessageTarget& target() = 0;
  virtual void run() = 0;
};

struct MainWindowHooks {
  // Initialisation, in the order called.
  std::function<void(const localization::LanguageInfo&)> showLanguageButton;
  std::function<void()> addTray;
  std::function<void()> startFirstShowTimer;
  std::function<void()> buildPages;
  std::function<void()> selectMacroEntry21;  // the macro page's list starts on entry 21
  std::function<void(int profile)> showSelectedProfile;  // profile button k drawn selected

  // Tray and the second copy: show the window (double-click, "Config").
  std::function<void()> showWindow;
  std::function<void()> openTrayMenu;
  // The hint line.
  std::function<void(const std::u16string&)> setStatusText;
  // The pages the main window refreshes, when they exist.
  std::function<void()> refreshAllKeys;
  std::function<void()> refreshLightingPage;
  // Language menu.
  std::function<bool()> languageMenuOpen;
  std::function<void()> refreshMacroPage;
  // The macro library changed under the macro page: its list is read again.
  std::function<void()> reloadMacroList;
  std::function<void()> closeLanguageMenu;
  // The apply's progress dialog.
  std::function<std::unique_ptr<ProgressSession>()> makeProgress;

  // Shutdown, in the order called.
  std::function<void()> removeTray;
  std::function<void()> destroyPages;  // keyboard, macro, support, lighting page, then the overlay
  std::function<void()> endLoop;
};

struct MainWindowServices {
  ConfigImage& image;
  DriverChannel& channel;
  Pacer& pacer;
  Profiles& profiles;
  macros::MacroLibrary& macros;
  HostActions& host;
  UserNotices& notices;
  Registry& registry;
  localization::LanguageStrings& strings;
  std::filesystem::path programFolder;
  // Presence: the notices and texts are filled in by the core.
  PresenceServices presence;
  // The share of the stored configuration with other processes; none: the
  // files are this process's alone.
  ConfigSync* sync = nullptr;
};

class MainWindowCore {
 public:
  // self: the main window as a message target (registered under the main
  // window's title during the initialisation, unregistered at shutdown).
  MainWindowCore(MainWindowServices services, MainWindowHooks hooks, MessageTarget& self);
  ~MainWindowCore();

  // The initialisation: language, tray, first-show timer, pages, driver
  // channel, profiles and macro library, version query, the macro page's
  // entry, registration as the main window, presence check.
  void initialise();

  // Handles one message; the result is the window procedure's.
  intptr_t handle(uint32_t id, uintptr_t wParam, intptr_t lParam);
  // A click on profile button k (0..4): switches unless k is current.
  void switchProfile(int k);
  // A device change as delivered by the device monitor.
  void deviceChange(uint32_t event, std::string_view interfaceName);

  // Timer 3: true when the window is to be shown now.
  bool onFirstShowTimer(uint64_t upTimeMs, bool forceShow) const { return showsAtFirstShow(upTimeMs, forceShow); }

  // Text of a hint number (0x805); empty for 99 and numbers without a text.
  std::u16string hintText(long hint) const;

  bool closed() const { return closed_; }
  bool applying() const { return applying_; }
  std::optional<device::Version> version() const { return version_; }
  TextSource texts() const;

 private:
  void startApply();
  void shutdown();
  void takeUpStored();
  void showTakenUp(uintptr_t what);

  MainWindowServices s_;
  MainWindowHooks h_;
  MessageTarget& self_;
  std::mutex applyLock_;
  ApplyContext* runningApply_ = nullptr;  // the apply under way, on this thread's stack
  bool applying_ = false;
  bool closePending_ = false;
  // Take-ups and their redraws wait while an apply's worker reads the image.
  bool takeUpPending_ = false;
  uintptr_t redrawPending_ = 0;
  // The data folder's lock through an apply: from its take-up to its save.
  std::shared_ptr<void> applyHold_;
  bool closed_ = false;
  bool registered_ = false;
  std::optional<device::Version> version_;
};

}  // namespace orlix::app
