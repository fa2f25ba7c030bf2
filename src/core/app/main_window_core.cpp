#include "core/app/main_window_core.h"

#include <thread>

#include "core/app/hints.h"
#include "core/device/apply.h"
#include "core/device/messages.h"
#include "core/lighting/lighting_model.h"
#include "core/runtime/key_action_runtime.h"

namespace orlix::app {

namespace {
inline constexpr uint32_t kOpenRetryPause = 10;
inline constexpr std::u16string_view kSettingError = u"Setting Error";

template <typename F, typename... A>
void call(const F& f, A&&... a) {
  if (f) f(std::forward<A>(a)...);
}
}  // namespace

MainWindowCore::MainWindowCore(MainWindowServices services, MainWindowHooks hooks, MessageTarget& self)
    : s_(std::move(services)), h_(std::move(hooks)), self_(self) {
  s_.presence.notices = &s_.notices;
  s_.presence.texts = texts();
  if (!s_.presence.postClose) s_.presence.postClose = [this] { self_.post(kClose, 0, 0); };
  // A take-up may run inside a page's save: the pages are redrawn afterwards.
  if (s_.sync)
    s_.sync->onTakenUp = [this](const TakeUp& t) {
      self_.post(kStoredTakenUp,
                 (t.profileChanged ? kTakenUpProfile : 0) | (t.switchedProfile ? kTakenUpSwitch : 0) |
                     (t.macrosChanged ? kTakenUpMacros : 0),
                 0);
    };
}

MainWindowCore::~MainWindowCore() {
  if (s_.sync) s_.sync->onTakenUp = nullptr;
  if (registered_) windows::unregisterTarget(&self_);
}

TextSource MainWindowCore::texts() const {
  auto* strings = &s_.strings;
  return TextSource{[strings](std::string_view key) -> std::u16string {
                      auto k = localization::stringKeyFromName(key);
                      return k ? strings->text(*k) : std::u16string();
                    },
                    [] { return localization::languageFlag() != 0; }};
}

void MainWindowCore::initialise() {
  const auto& lang = localization::applyStartupLanguage(s_.programFolder, s_.strings);
  call(h_.showLanguageButton, lang);
  call(h_.addTray);
  call(h_.startFirstShowTimer);
  call(h_.buildPages);

  s_.channel.start(&self_);
  if (!s_.channel.openHidHandle()) s_.pacer.pause(kOpenRetryPause);
  if (!s_.channel.open()) s_.pacer.pause(kOpenRetryPause);

  resetPerKeyLighting(s_.image);
  s_.profiles.loadProfileTableAtStartUp();
  call(h_.showSelectedProfile, s_.profiles.current());
  s_.macros.LoadMacroLibrary();
  if (s_.sync) s_.sync->rememberAll();

  if (s_.channel.isOpen()) version_ = device::queryVersion(s_.channel, s_.pacer);
  call(h_.selectMacroEntry21);

  windows::registerTarget(kMainWindowTitle, &self_);
  registered_ = true;

  startupPresenceCheck(s_.presence);
}

std::u16string MainWindowCore::hintText(long hint) const {
  auto key = hintStringKey(hint);
  return key ? s_.strings.text(*key) : std::u16string();
}

intptr_t MainWindowCore::handle(uint32_t id, uintptr_t wParam, intptr_t lParam) {
  switch (id) {
    case msg::kLanguageChoice: {
      localization::LanguageSwitchHooks hooks{h_.showLanguageButton, h_.refreshMacroPage, h_.closeLanguageMenu};
      bool open = h_.languageMenuOpen && h_.languageMenuOpen();
      localization::onLanguageMessage(uint32_t(lParam), open, s_.programFolder, s_.strings, s_.registry,
                                      s_.notices, hooks);
      return 0;
    }
    case msg::kTrayNotify:
      if (lParam == kTrayDoubleClick) call(h_.showWindow);
      else if (lParam == kTrayRightUp) call(h_.openTrayMenu);
      return 1;
    case kCommand:
      if (wParam == kCommandConfig) call(h_.showWindow);
      else if (wParam == kCommandExit) self_.post(kClose, 0, 0);
      return 0;
    case msg::kApplyDone:
      s_.profiles.saveProfileTableAndProfile();
      return 0;
    case msg::kApplyFailed:
      // The worker is done writing; the lock is not held while the notice waits.
      applyHold_.reset();
      s_.notices.showInfo(std::u16string(kSettingError));
      return 0;
    case msg::kStartApply:
      startApply();
      return 0;
    case msg::kLightingSend: {
      lighting::sendLighting(s_.channel, s_.image, wParam, lParam);
      call(h_.refreshLightingPage);
      // During an apply the worker changes key table entries that the save reads.
      std::unique_lock<std::mutex> entries;
      if (runningApply_) entries = std::unique_lock(runningApply_->keyTableLock);
      s_.profiles.saveProfile();
      return 1;
    }
    case msg::kKeyEvent:
      return runtime::onKeyEvent(s_.image, s_.host, uint32_t(wParam));
    case msg::kHint:
      call(h_.setStatusText, hintText(long(lParam)));
      return 0;
    case msg::kRestoreDefaults:
      restoreDefaults(s_.image, s_.profiles.current(), {h_.refreshAllKeys, h_.refreshLightingPage});
      return 0;
    case kDeviceChange:
      return 1;
    case kTakeUpStored:
      takeUpStored();
      return 0;
    case kStoredTakenUp:
      if (applying_) redrawPending_ |= wParam;
      else showTakenUp(wParam);
      return 0;
    case kClose:
      // A close while an apply writes waits for the apply: closing the driver
      // under the worker would leave the keyboard with half a key table.
      if (applying_) closePending_ = true;
      else shutdown();
      return 0;
    default:
      return 0;
  }
}

void MainWindowCore::switchProfile(int k) {
  if (k == s_.profiles.current()) return;
  s_.profiles.switchProfile(k, {h_.showSelectedProfile, h_.refreshAllKeys, h_.refreshLightingPage});
  if (s_.sync) s_.sync->rememberProfile();
}

void MainWindowCore::takeUpStored() {
  if (closed_ || !s_.sync) return;
  if (applying_) {
    takeUpPending_ = true;
    return;
  }
  // A lock kept by another process leaves it to the next save, which takes up first.
  s_.sync->takeUp();
}

void MainWindowCore::showTakenUp(uintptr_t what) {
  if (closed_) return;
  if (what & kTakenUpSwitch) call(h_.showSelectedProfile, s_.profiles.current());
  if (what & (kTakenUpProfile | kTakenUpSwitch)) {
    call(h_.refreshAllKeys);
    call(h_.refreshLightingPage);
  }
  if (what & kTakenUpMacros) call(h_.reloadMacroList);
}

void MainWindowCore::deviceChange(uint32_t event, std::string_view interfaceName) {
  if (closed_) return;
  onDeviceChange(s_.presence, event, interfaceName);
}

void MainWindowCore::startApply() {
  // The window is disabled while an apply runs, but a restore of the defaults
  // could still post another start; a second apply would rebuild the tables
  // the running worker reads, so it is refused.
  if (applying_ || closed_ || !h_.makeProgress) return;
  // The folder's lock from the take-up through the writes and the save, so
  // that an orlixctl apply never interleaves with this one and what is
  // written includes what orlixctl stored. The wait for it is bounded.
  if (s_.sync) {
    applyHold_ = s_.sync->hold();
    if (!applyHold_) {
      s_.sync->showBusy();
      return;
    }
    s_.sync->takeUp();
  }
  applying_ = true;
  std::unique_ptr<ProgressSession> progress = h_.makeProgress();
  ApplyContext ctx{s_.image, s_.channel, s_.pacer, applyLock_};
  runningApply_ = &ctx;
  std::thread worker = orlix::startApply(ctx, progress->target(), h_.refreshAllKeys);
  progress->run();
  worker.join();
  runningApply_ = nullptr;
  applying_ = false;
  applyHold_.reset();
  if (closePending_) {
    shutdown();
    return;
  }
  if (takeUpPending_) {
    takeUpPending_ = false;
    s_.sync->takeUp();
  }
  if (redrawPending_) {
    showTakenUp(redrawPending_);
    redrawPending_ = 0;
  }
}

void MainWindowCore::shutdown() {
  if (closed_) return;
  closed_ = true;
  call(h_.removeTray);
  releaseColourLists(s_.image);
  call(h_.destroyPages);
  s_.channel.close();
  if (registered_) {
    windows::unregisterTarget(&self_);
    registered_ = false;
  }
  call(h_.endLoop);
}

}  // namespace orlix::app
